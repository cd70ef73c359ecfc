// Files, paths and the profile API, over the ANSI Win32 calls.
#pragma once

#include <vector>

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

std::vector<Text> folderFiles(const Text& folder);
// The name in UTF-16, upper-cased by the system's table, as bytes.
Text nameKey(const Text& name);
bool canCreateIn(const Text& folder);
bool canDelete(const Text& path);

}  // namespace mv::win32
