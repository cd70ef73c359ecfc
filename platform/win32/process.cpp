#include "platform/win32/process.h"

#include <shellapi.h>

#include <vector>

namespace mv::win32 {

namespace {

const char* orNull(const Text& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

HANDLE startProgram(const Text& commandLine, bool wait, int showMode) {
    // CreateProcessA may write into the command line.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showMode < 0 ? SW_SHOWNORMAL : showMode);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        return nullptr;
    }
    if (wait) {
        WaitForSingleObject(pi.hProcess, INFINITE);
    } else {
        WaitForInputIdle(pi.hProcess, 1000);
    }
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

void shellExecute(const Text& verb, const Text& file, const Text& params, const Text& dir, int show) {
    ShellExecuteA(nullptr, orNull(verb), file.c_str(), orNull(params), orNull(dir), show);
}

void shellOpen(const Text& path) { ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL); }

}  // namespace mv::win32
