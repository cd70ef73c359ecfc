// The notice that a search has ended: how much it found, how many names it
// did not, and how many copies a later one of the same name replaced.
#pragma once

#include "platform/runtime.h"

namespace mv {

// The notice's text for a found list and the names the script searched.
Text searchNoticeText(Runtime& rt, const Text& foundList, const Text& names);

// Bound to the end of the script this window started last.
void showSearchNotice(Runtime& rt);

}  // namespace mv
