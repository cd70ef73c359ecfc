#include "tools/standin/tests/harness.h"

#include <windows.h>

#include <algorithm>

namespace st {

namespace {

std::string windowsPath(std::string p) {
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

int runCounter = 0;

}  // namespace

std::string freshDir(const std::string& name) {
    std::string dir = windowsPath(MV_STANDIN_WORK) + "\\" + name;
    mv::testfiles::removeTree(dir);
    makeDirs(dir);
    return dir;
}

Result run(const std::string& commandLine, const std::string& cwd) {
    std::string io = windowsPath(MV_STANDIN_WORK) + "\\io";
    makeDirs(io);
    std::string tag = io + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
                      std::to_string(++runCounter);
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    auto open = [&](const std::string& p, DWORD access, DWORD how) {
        return CreateFileA(p.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, how,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    writeFile(tag + ".in", "");
    HANDLE in = open(tag + ".in", GENERIC_READ, OPEN_EXISTING);
    HANDLE out = open(tag + ".out", GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = open(tag + ".err", GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    Result r;
    r.code = 0xFFFFFFFF;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, cwd.c_str(), &si,
                       &pi)) {
        // A limit only so that a hanging interpreter fails the test instead of the run.
        if (WaitForSingleObject(pi.hProcess, 120000) != WAIT_OBJECT_0)
            TerminateProcess(pi.hProcess, 0xDEAD);
        GetExitCodeProcess(pi.hProcess, &r.code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    CloseHandle(in);
    CloseHandle(out);
    CloseHandle(err);
    r.out = readFile(tag + ".out");
    r.err = readFile(tag + ".err");
    return r;
}

std::string standinExe() { return windowsPath(MV_STANDIN_EXE); }

std::string wineCmdExe() {
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\winecmd.exe";
}

Result runBatch(const std::string& interpreter, const std::string& script, const std::string& cwd) {
    return run("\"" + interpreter + "\" /s/c \"" + script + "\"", cwd);
}

std::string lines(const std::vector<std::string>& ls) {
    std::string out;
    for (const std::string& l : ls) out += l + "\r\n";
    return out;
}

}  // namespace st
