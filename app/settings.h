// Start-up restore of the two folder choices, their write-back on every
// change, and the two folder choices.
#pragma once

#include "platform/runtime.h"

namespace mv {

void restoreSettings(Runtime& rt);
void rememberSearchPath(Runtime& rt);
void rememberSavePath(Runtime& rt);
void chooseSearchFolder(Runtime& rt);
void chooseSaveFolder(Runtime& rt);

}  // namespace mv
