// Files, paths and the profile API, over the ANSI Win32 calls.
#pragma once

#include "platform/runtime.h"

namespace mv::win32 {

// Folder of the executable, cut before its last backslash character.
Text runDirectory();
Text tempFolder();
Text shortPath(const Text& path);

// No default value; a stored value longer than the buffer comes back cut.
Text readSetting(const Text& file, const Text& section, const Text& key);
void writeSetting(const Text& file, const Text& section, const Text& key, const Text& value);

bool writeFile(const Text& path, const Text& bytes);
Text readFile(const Text& path);
bool deleteFile(const Text& path);
FileInfo fileInfo(const Text& path);
bool sameContent(const Text& a, const Text& b);

}  // namespace mv::win32
