// Starting programs and asking the shell to open things.
#pragma once

#include <windows.h>

#include "platform/runtime.h"

namespace mv::win32 {

// CreateProcessA of the command line as given. A showMode below zero means
// none: the window is shown normally. Without wait, gives the program up to
// a second to become idle. The process handle, or nullptr when it could not
// be started; the caller closes it.
HANDLE startProgram(const Text& commandLine, bool wait, int showMode);

// Id and creation time of a process handle; id 0 when unknown.
ProcessStamp stampOf(HANDLE process);
// True while a process with that id runs and was created at that time.
bool processRuns(const ProcessStamp& p);

void shellExecute(const Text& verb, const Text& file, const Text& params, const Text& dir, int show);
void shellOpen(const Text& path);

}  // namespace mv::win32
