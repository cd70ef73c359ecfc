// Helpers for the stand-in's tests under Wine: fresh folders, byte-exact
// files, and interpreter runs with their output caught in files.
#pragma once

#include <string>
#include <vector>

#include "tests/support/winfiles.h"

namespace st {

// A fresh empty folder for one test, below the build's work folder.
std::string freshDir(const std::string& name);

using mv::testfiles::fileExists;
using mv::testfiles::folderEntries;
using mv::testfiles::makeDirs;
using mv::testfiles::readFile;
using mv::testfiles::writeFile;

struct Result {
    unsigned long code = 0;
    std::string out, err;
};

// Runs a command line in a folder, stdin empty, and waits for its end.
Result run(const std::string& commandLine, const std::string& cwd);

// The stand-in and Wine's own interpreter, as Windows paths.
std::string standinExe();
std::string wineCmdExe();

// Runs a batch file as Wine starts one: INTERPRETER /s/c "PATH".
Result runBatch(const std::string& interpreter, const std::string& script, const std::string& cwd);

// A batch file's lines joined with CR LF, ending with CR LF.
std::string lines(const std::vector<std::string>& ls);

}  // namespace st
