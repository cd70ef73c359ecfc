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

namespace {

uint64_t creationTime(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

ProcessStamp stampOf(HANDLE process) {
    ProcessStamp p;
    if (!process) return p;
    p.created = creationTime(process);
    if (p.created != 0) p.id = GetProcessId(process);
    return p;
}

bool processRuns(const ProcessStamp& p) {
    if (p.id == 0) return false;
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, p.id);
    // A process we may not look at is not ours to ignore: it may be the
    // script under another account.
    if (!h) return GetLastError() == ERROR_ACCESS_DENIED;
    bool runs = WaitForSingleObject(h, 0) == WAIT_TIMEOUT && creationTime(h) == p.created;
    CloseHandle(h);
    return runs;
}

void shellExecute(const Text& verb, const Text& file, const Text& params, const Text& dir, int show) {
    ShellExecuteA(nullptr, orNull(verb), file.c_str(), orNull(params), orNull(dir), show);
}

void shellOpen(const Text& path) { ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL); }

}  // namespace mv::win32
