// Whether a search is still unfinished, known to every window of the
// program: the job records the script it starts in a file beside it, so a
// window started later still sees a script whose window has gone.
#pragma once

#include "platform/runtime.h"

namespace mv {

extern const char* const kRecordFileName;  // "XXXX.PID"

// Records the program started last as the running script.
void recordScript(Runtime& rt);

// True while the recorded script runs: the same process id with the same
// creation time.
bool recordedScriptRuns(Runtime& rt);

// True while a job of this window pauses before its start, or while the
// last script (this window's, or one recorded by any window) still runs.
bool searchUnfinished(Runtime& rt);

}  // namespace mv
