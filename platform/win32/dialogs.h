// The two modal boxes handlers can show: the message box and the shell's
// folder browser.
#pragma once

#include "platform/runtime.h"

namespace mv::win32 {

// MessageBoxA with no owner, task-modal unless system-modal; an empty title
// gives the default one. Returns a BoxCode.
int messageBox(const Text& text, unsigned flags, const Text& title);

// The shell folder browser, modal for every window of the process. The
// chosen item's file-system path, or empty for Cancel and for an item with
// no path.
Text folderDialog(const Text& prompt);

}  // namespace mv::win32
