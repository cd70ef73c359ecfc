// Helpers for the stand-in's tests under Wine: fresh folders, byte-exact
// files, and interpreter runs with their output caught in files.
#pragma once

#include <string>
#include <vector>

namespace st {

// A fresh empty folder for one test, below the build's work folder.
std::string freshDir(const std::string& name);

void makeDirs(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
// Names in a folder, sorted, without "." and "..".
std::vector<std::string> listDir(const std::string& path);

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
