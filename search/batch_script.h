// The names file and the batch script that the interpreter runs.
#pragma once

#include "platform/runtime.h"

namespace mv {

extern const char* const kNamesFileName;   // "file.txt"
extern const char* const kScriptFileName;  // "XXXX.BAT"

// Value for a `set NAME=VALUE` line: ^ before each ^ & | < >, each %
// doubled, looking at characters only.
Text escapeSetValue(const Text& value);

// True when the folder can be named unquoted in the script's for /f line:
// no blank and none of & | < > ^ % ( ) , ; =.
bool bareScriptPath(const Text& folder);

// The found list the script writes into its current folder, the run
// directory.
Text foundListPath(Runtime& rt);

// The temporary folder in a form the script can name unquoted (its short
// form when the long one holds a blank or the like), or empty.
Text workDirectory(Runtime& rt);

// Four header lines followed by the template. The search path gets a
// trailing backslash here when it has none, since the names are put
// directly behind it.
Text composeBatchScript(const Text& workDir, const Text& searchPath, const Text& savePath,
                        const Text& batchTemplate);

}  // namespace mv
