// Usage help and about box, shown from the menu.
#pragma once

#include "platform/runtime.h"

namespace mv {

extern const char* const kUsageTitle;
extern const char* const kUsageText;
extern const char* const kAboutText;

void showUsageHelp(Runtime& rt);
void showAbout(Runtime& rt);

}  // namespace mv
