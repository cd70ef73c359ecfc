// Whole files and folder trees on Windows paths, for the test programs that
// run under Wine. Paths are GBK bytes.
#pragma once

#include <string>
#include <vector>

namespace mv::testfiles {

// All bytes of a file, empty when it cannot be opened.
std::string readFile(const std::string& path);
// Creates or truncates the file; false when it could not be written whole.
bool writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);
// Creates the folder and every missing folder above it.
void makeDirs(const std::string& path);
// Deletes the folder with everything in it, read-only files included.
void removeTree(const std::string& path);
// Names in a folder, sorted bytewise, without "." and "..".
std::vector<std::string> folderEntries(const std::string& folder);
// A Unix path as Wine names it (Z:\...).
std::string windowsPath(const std::string& unixPath);

}  // namespace mv::testfiles
