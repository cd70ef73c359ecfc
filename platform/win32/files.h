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

std::vector<Text> folderFiles(const Text& folder);
// The name in UTF-16, upper-cased by the system's table, as bytes.
Text nameKey(const Text& name);
bool canCreateIn(const Text& folder);
bool canDelete(const Text& path);

// Others may go on reading, writing and deleting the file meanwhile.
Opened readSharedFile(const Text& path, Text& bytes);
// Read and delete access, others may only read; the id is the handle.
HeldFile holdFile(const Text& path);
Compared compareHeld(uint64_t held, const Text& path);
// Through the handle, by its delete disposition.
bool deleteHeld(uint64_t held);
void releaseFile(uint64_t held);

}  // namespace mv::win32
