#include "tests/e2e/tree_fixture.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>

namespace mv::e2e {

namespace {

std::string folded(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

struct WindowsOf {
    DWORD pid;
    std::vector<std::string> titles;
};

BOOL CALLBACK collectTitles(HWND hwnd, LPARAM param) {
    WindowsOf* w = reinterpret_cast<WindowsOf*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == w->pid && IsWindowVisible(hwnd)) w->titles.push_back(windowText(hwnd));
    return TRUE;
}

}  // namespace

namespace {

// A photo's first bytes, with a zero byte and a line end inside.
std::string photoBytes() { return std::string("\xff\xd8") + "照片" + std::string(1, '\0') + "\r\n"; }

}  // namespace

const std::vector<std::string> kRoadFolders = {
    "旅行", "旅行\\乗換", "旅行\\相册", "旅行\\相册\\旧", "docs", "图", "图\\深", "2024",
};

const std::vector<TreeFile> kRoadFiles = {
    {"照片.jpg", photoBytes()},
    {"旅行\\乗換\\乗車券.txt", "乗車券 东京\r\n"},
    {"docs\\my report 2024.doc", "report"},
    {"docs\\c.jpg", "not below 2024"},
    {"a.png", "PNG a"},
    {"图\\深\\b.png", "PNG b"},
    {"2024\\c.jpg", "c of 2024"},
    {"旅行\\相册\\海边.jpg", "海边"},
    {"旅行\\相册\\旧\\老.jpg", "老"},
    {"同名.txt", "甲"},
    {"旅行\\同名.txt", "乙乙"},
};

const char* const kRoadNames =
    "照片.jpg\r\n乗車券.txt\r\nmy report 2024.doc\r\n*.png\r\n2024\\c.jpg\r\n相册\r\n同名.txt\r\n缺失.jpg\r\n";

const std::vector<std::string> kRoadFound = {
    "照片.jpg",
    "旅行\\乗換\\乗車券.txt",
    "docs\\my report 2024.doc",
    "a.png",
    "图\\深\\b.png",
    "2024\\c.jpg",
    "旅行\\相册",  // a folder is listed like a file
    "同名.txt",
    "旅行\\同名.txt",
};

std::map<std::string, std::string> roadCopies() {
    // copy of a folder takes the files directly inside it, not its subfolders.
    return {
        {"照片.jpg", photoBytes()},
        {"乗車券.txt", "乗車券 东京\r\n"},
        {"my report 2024.doc", "report"},
        {"a.png", "PNG a"},
        {"b.png", "PNG b"},
        {"c.jpg", "c of 2024"},
        {"海边.jpg", "海边"},
        {"同名.txt", "乙乙"},
    };
}

const char* const kRoadNotFound = "*.png\r\n缺失.jpg\r\n";

const char* const kResultButtons[3] = {"按钮_查看搜索保存结果", "按钮_删除原始路径文件", "按钮_未搜索到文件"};

bool makeTree(const std::string& root, const std::vector<std::string>& folders,
              const std::vector<TreeFile>& files) {
    if (!CreateDirectoryA(root.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    for (const std::string& f : folders) {
        if (!CreateDirectoryA((root + "\\" + f).c_str(), nullptr)) return false;
    }
    for (const TreeFile& f : files) {
        if (!writeFile(root + "\\" + f.path, f.bytes)) return false;
    }
    return true;
}


namespace {

void collectTree(const std::string& root, const std::string& prefix, std::map<std::string, std::string>* out) {
    std::string folder = prefix.empty() ? root : root + "\\" + prefix.substr(0, prefix.size() - 1);
    for (const std::string& name : folderEntries(folder)) {
        std::string path = folder + "\\" + name;
        DWORD attrs = GetFileAttributesA(path.c_str());
        if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
            (*out)[prefix + name + "\\"] = "";
            collectTree(root, prefix + name + "\\", out);
        } else {
            (*out)[prefix + name] = readFile(path);
        }
    }
}

}  // namespace

std::map<std::string, std::string> treeContents(const std::string& root) {
    std::map<std::string, std::string> out;
    collectTree(root, "", &out);
    return out;
}

std::map<std::string, std::string> treeMap(const std::vector<std::string>& folders, const std::vector<TreeFile>& files) {
    std::map<std::string, std::string> out;
    for (const std::string& f : folders) out[f + "\\"] = "";
    for (const TreeFile& f : files) out[f.path] = f.bytes;
    return out;
}

std::string testFolder(const App& app) {
    const std::string& run = app.runDir();
    return run.substr(0, run.rfind('\\'));
}

std::vector<ProcessEntry> processes() {
    std::vector<ProcessEntry> list;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return list;
    PROCESSENTRY32 e = {};
    e.dwSize = sizeof e;
    for (BOOL ok = Process32First(snap, &e); ok; ok = Process32Next(snap, &e)) {
        list.push_back({e.th32ProcessID, e.th32ParentProcessID, e.szExeFile});
    }
    CloseHandle(snap);
    return list;
}

std::vector<DWORD> childProcesses(DWORD parent, const char* exe) {
    std::vector<DWORD> pids;
    for (const ProcessEntry& p : processes()) {
        if (p.parent == parent && folded(p.exe) == folded(exe)) pids.push_back(p.pid);
    }
    return pids;
}

std::vector<std::string> windowTitles(DWORD pid) {
    WindowsOf w{pid, {}};
    EnumWindows(collectTitles, reinterpret_cast<LPARAM>(&w));
    return w.titles;
}

std::string commandLine(DWORD pid) {
    HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!h) return std::string();
    // The line lives in the process's parameters block, found through its PEB.
    std::wstring line;
    PROCESS_BASIC_INFORMATION basic = {};
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS params = {};
    if (NtQueryInformationProcess(h, ProcessBasicInformation, &basic, sizeof basic, nullptr) == 0 &&
        ReadProcessMemory(h, basic.PebBaseAddress, &peb, sizeof peb, nullptr) &&
        ReadProcessMemory(h, peb.ProcessParameters, &params, sizeof params, nullptr)) {
        line.resize(params.CommandLine.Length / sizeof(wchar_t));
        if (!ReadProcessMemory(h, params.CommandLine.Buffer, &line[0], params.CommandLine.Length, nullptr)) {
            line.clear();
        }
    }
    CloseHandle(h);
    if (line.empty()) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, line.data(), static_cast<int>(line.size()), &text[0], n, nullptr, nullptr);
    return text;
}

bool endProcess(DWORD pid) {
    HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!h) return true;  // already gone
    TerminateProcess(h, 1);
    bool gone = WaitForSingleObject(h, kWaitLimit) == WAIT_OBJECT_0;
    CloseHandle(h);
    return gone;
}

void endChildren(DWORD parent) {
    // Parent 0 is what a program that never started reports; Wine lists
    // the test itself under it.
    if (parent == 0) return;
    for (const ProcessEntry& p : processes()) {
        if (p.parent == parent && p.pid != GetCurrentProcessId()) endProcess(p.pid);
    }
}

DWORD waitChild(DWORD parent, const char* exe, DWORD limitMs) {
    DWORD pid = 0;
    waitUntil([&] {
        std::vector<DWORD> pids = childProcesses(parent, exe);
        pid = pids.empty() ? 0 : pids.front();
        return pid != 0;
    }, limitMs);
    return pid;
}

bool registerTextFiles() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, ".txt", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    char value[64] = "";
    DWORD size = sizeof value - 1;
    bool ok = RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
              std::string(value) == "txtfile";
    if (!ok) {
        static const char kClass[] = "txtfile";
        ok = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kClass), sizeof kClass) ==
             ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return ok;
}

bool ProcessHold::hold(DWORD pid) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return false;
    THREADENTRY32 e = {};
    e.dwSize = sizeof e;
    for (BOOL ok = Thread32First(snap, &e); ok; ok = Thread32Next(snap, &e)) {
        if (e.th32OwnerProcessID != pid) continue;
        HANDLE t = OpenThread(THREAD_SUSPEND_RESUME, FALSE, e.th32ThreadID);
        if (!t) continue;
        if (SuspendThread(t) == static_cast<DWORD>(-1)) {
            CloseHandle(t);
        } else {
            threads_.push_back(t);
        }
    }
    CloseHandle(snap);
    return !threads_.empty();
}

void ProcessHold::release() {
    for (HANDLE t : threads_) {
        ResumeThread(t);
        CloseHandle(t);
    }
    threads_.clear();
}

DWORD runningScript(const App& app) {
    std::vector<DWORD> pids = childProcesses(app.processId(), "cmd.exe");
    return pids.empty() ? 0 : pids.front();
}

bool waitScriptEnded(const App& app, DWORD limitMs) {
    return waitUntil([&] { return runningScript(app) == 0; }, limitMs);
}

bool syncWith(const App& app) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(app.window(), WM_NULL, 0, 0, SMTO_NORMAL, kWaitLimit, &result) != 0;
}

bool resultButtonsEnabled(const App& app) {
    for (const char* name : kResultButtons) {
        HWND h = app.control(name);
        if (!h || !IsWindowEnabled(h)) return false;
    }
    return true;
}

void startSearch(App& app, const std::string& names, const std::string& searchPath, const std::string& savePath) {
    app.type("编辑框1", names);
    app.type("搜索路径框", searchPath);
    app.type("保存路径框", savePath);
    app.click("按钮_开始搜索");
}

std::string foundListPath(const App& app) { return app.runDir() + "\\UM7Y9X4K.txt"; }

const char* const kOverwriteTitle = "覆盖同名文件";

const char* const kNoticeTitle = "搜索完成";

std::string confirmRemoval(App& app) {
    app.click("按钮_删除原始路径文件");
    HWND confirm = app.waitMessageBox("删除原始文件");
    if (!confirm) return std::string();
    press(confirm, IDOK);
    HWND done = app.waitMessageBox("信息提示！");
    if (!done) return std::string();
    std::string text = dialogText(done);
    press(done, IDOK);
    return app.waitDialogsClosed() ? text : std::string();
}

bool closeNotice(const App& app, std::string* text) {
    HWND box = app.waitMessageBox(kNoticeTitle);
    if (!box) return false;
    if (text) *text = dialogText(box);
    press(box, IDOK);
    return app.waitDialogsClosed();
}

bool runSearch(App& app, const std::string& names, const std::string& searchPath, const std::string& savePath,
               int overwriteAnswer, std::string* notice) {
    const std::string found = foundListPath(app);
    DeleteFileA(found.c_str());
    if (fileExists(found)) return false;
    startSearch(app, names, searchPath, savePath);
    if (overwriteAnswer != 0) {
        HWND box = app.waitMessageBox(kOverwriteTitle);
        if (!box) return false;
        press(box, overwriteAnswer);
    }
    // Only the new script makes the list; once it exists, no interpreter
    // left means that script has ended, copies included.
    return waitUntil([&] { return fileExists(found) && runningScript(app) == 0; }, 60000) && closeNotice(app, notice);
}

std::string longNames() {
    std::string names = kRoadNames;
    for (int i = 0; i < 1000; ++i) names += "缺" + std::to_string(i) + ".jpg\r\n";
    return names;
}

DWORD startHeldSearch(App& app, const std::string& searchPath, const std::string& savePath, ProcessHold& hold) {
    startSearch(app, longNames(), searchPath, savePath);
    DWORD script = waitChild(app.processId(), "cmd.exe");
    if (script == 0 || !hold.hold(script)) return 0;
    return waitUntil([&] { return resultButtonsEnabled(app); }) ? script : 0;
}

}  // namespace mv::e2e
