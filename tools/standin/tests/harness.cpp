#include "tools/standin/tests/harness.h"

#include <windows.h>

#include <algorithm>

namespace st {

namespace {

std::string windowsPath(std::string p) {
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

void removeTree(const std::string& path) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

int runCounter = 0;

}  // namespace

std::string freshDir(const std::string& name) {
    std::string dir = windowsPath(MV_STANDIN_WORK) + "\\" + name;
    removeTree(dir);
    makeDirs(dir);
    return dir;
}

void makeDirs(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i) {
        // A backslash that is the second byte of a GBK character does not part folders.
        if (i < path.size() && static_cast<unsigned char>(path[i]) >= 0x80) {
            ++i;
            continue;
        }
        if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
}

void writeFile(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD done = 0;
    if (h != INVALID_HANDLE_VALUE) {
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
        CloseHandle(h);
    }
}

std::string readFile(const std::string& path) {
    std::string out;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    char buf[8192];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
    CloseHandle(h);
    return out;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> listDir(const std::string& path) {
    std::vector<std::string> out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        std::string name = fd.cFileName;
        if (name != "." && name != "..") out.push_back(name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(out.begin(), out.end());
    return out;
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
