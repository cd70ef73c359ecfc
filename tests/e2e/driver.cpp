#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/window.h"

namespace mv::e2e {

namespace {

constexpr DWORD kPoll = 20;


std::string currentTestName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "e2e";
    for (char& c : name) {
        if (c == '/' || c == '\\' || c == ':') c = '_';
    }
    return name;
}

struct Search {
    DWORD pid;
    bool folderBrowser;
    HWND found;
};

BOOL CALLBACK hasTreeChild(HWND child, LPARAM param) {
    if (className(child) == "SysTreeView32") {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}

bool isFolderBrowser(HWND dialog) {
    bool tree = false;
    EnumChildWindows(dialog, hasTreeChild, reinterpret_cast<LPARAM>(&tree));
    return tree;
}

BOOL CALLBACK findDialogOf(HWND hwnd, LPARAM param) {
    Search* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || !IsWindowVisible(hwnd) || className(hwnd) != "#32770") return TRUE;
    if (isFolderBrowser(hwnd) != s->folderBrowser) return TRUE;
    s->found = hwnd;
    return FALSE;
}

struct MainSearch {
    DWORD pid;
    const char* caption;
    HWND found;
};

BOOL CALLBACK findMainOf(HWND hwnd, LPARAM param) {
    MainSearch* s = reinterpret_cast<MainSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && IsWindowVisible(hwnd) && windowText(hwnd) == s->caption) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK findChildById(HWND hwnd, LPARAM param) {
    ChildSearch* s = reinterpret_cast<ChildSearch*>(param);
    if (GetDlgCtrlID(hwnd) == s->id) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct StaticText {
    bool icon = false;
    std::string text;
};

BOOL CALLBACK collectStatics(HWND hwnd, LPARAM param) {
    StaticText* s = reinterpret_cast<StaticText*>(param);
    if (className(hwnd) != "Static" || !IsWindowVisible(hwnd)) return TRUE;
    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
        // Wine keeps an empty icon control in a box without icon.
        s->icon = s->icon || SendMessageA(hwnd, STM_GETICON, 0, 0) != 0;
    } else if (s->text.empty()) {
        s->text = windowText(hwnd);
    }
    return TRUE;
}

StaticText statics(HWND dialog) {
    StaticText s;
    EnumChildWindows(dialog, collectStatics, reinterpret_cast<LPARAM>(&s));
    return s;
}

}  // namespace

bool waitUntil(const std::function<bool()>& ready, DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (ready()) return true;
        if (GetTickCount() - start >= limitMs) return ready();
        Sleep(kPoll);
    }
}

std::string programPath() { return windowsPath(MV_MORVANE_EXE); }

std::string windowText(HWND hwnd) {
    LRESULT length = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    LRESULT n = SendMessageA(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

std::string className(HWND hwnd) {
    char name[256] = "";
    int n = GetClassNameA(hwnd, name, sizeof name);
    return std::string(name, n > 0 ? n : 0);
}

bool pressKeys(const std::string& keys) {
    // Wine starts Unix programs too, but gives no handle to wait on: the
    // shell leaves xdotool's exit status in a file once it is done.
    static int count = 0;
    std::string done = std::string(MV_E2E_WORK) + "/keys-" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(++count);
    std::string line = "/bin/sh -c \"/usr/bin/xdotool key --delay 60 " + keys + "; echo $? >" + done + ".tmp; mv " +
                       done + ".tmp " + done + "\"";
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start " << line << ": error " << GetLastError();
        return false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string status = windowsPath(done);
    if (!waitUntil([&] { return fileExists(status); })) {
        ADD_FAILURE() << line << " did not end";
        return false;
    }
    std::string code = readFile(status);
    DeleteFileA(status.c_str());
    if (code != "0\n") ADD_FAILURE() << line << " failed: " << code;
    return code == "0\n";
}

std::string dialogText(HWND dialog) { return statics(dialog).text; }

bool hasIcon(HWND dialog) { return statics(dialog).icon; }

bool hasButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return button && IsWindowVisible(button) && className(button) == "Button";
}

void press(HWND dialog, int id) {
    if (HWND button = GetDlgItem(dialog, id)) PostMessageA(button, BM_CLICK, 0, 0);
}

App::App() : App(currentTestName()) {}

App::App(const std::string& name, const std::string& runFolder, const std::string& exeName) : exeName_(exeName) {
    std::string root = windowsPath(MV_E2E_WORK);
    CreateDirectoryA(root.c_str(), nullptr);
    std::string base = root + "\\" + name;
    testfiles::removeTree(base);
    CreateDirectoryA(base.c_str(), nullptr);
    runDir_ = base + "\\" + runFolder;
    tempDir_ = base + "\\temp";
    CreateDirectoryA(runDir_.c_str(), nullptr);
    CreateDirectoryA(tempDir_.c_str(), nullptr);
}

App::App(const App& first, const std::string& runFolder) : exeName_(first.exeName_) {
    std::string base = first.runDir_.substr(0, first.runDir_.rfind('\\'));
    runDir_ = base + "\\" + runFolder;
    tempDir_ = first.tempDir_;
    CreateDirectoryA(runDir_.c_str(), nullptr);
}

App::~App() {
    if (!pi_.hProcess) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, kWaitLimit);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

bool App::start() {
    std::string exe = runDir_ + "\\" + exeName_;
    if (!CopyFileA(programPath().c_str(), exe.c_str(), FALSE)) return false;
    // The child inherits the environment; set its temp folder for the start.
    char oldTmp[MAX_PATH] = "", oldTemp[MAX_PATH] = "";
    GetEnvironmentVariableA("TMP", oldTmp, MAX_PATH);
    GetEnvironmentVariableA("TEMP", oldTemp, MAX_PATH);
    SetEnvironmentVariableA("TMP", tempDir_.c_str());
    SetEnvironmentVariableA("TEMP", tempDir_.c_str());
    std::string line = "\"" + exe + "\"";
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    bool started = CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, tempDir_.c_str(),
                                  &si, &pi_);
    SetEnvironmentVariableA("TMP", oldTmp[0] ? oldTmp : nullptr);
    SetEnvironmentVariableA("TEMP", oldTemp[0] ? oldTemp : nullptr);
    if (!started) return false;
    MainSearch s{pi_.dwProcessId, mainWindow().caption, nullptr};
    waitUntil([&] {
        s.found = nullptr;
        EnumWindows(findMainOf, reinterpret_cast<LPARAM>(&s));
        return s.found != nullptr;
    });
    window_ = s.found;
    return window_ != nullptr;
}

HWND App::control(const char* name) const {
    const ControlDesc* c = findControl(mainWindow(), name);
    if (!c || !window_) return nullptr;
    // Not GetDlgItem: a control inside a container is no direct child.
    ChildSearch s{c->id, nullptr};
    EnumChildWindows(window_, findChildById, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::string App::text(const char* name) const {
    HWND h = control(name);
    return h ? windowText(h) : std::string();
}

void App::type(const char* name, const std::string& text) {
    if (HWND h = control(name)) SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void App::click(const char* name) {
    if (HWND h = control(name)) PostMessageA(h, BM_CLICK, 0, 0);
}

void App::choose(const char* item) {
    for (const MenuItemDesc& m : mainWindow().menu) {
        if (std::strcmp(m.item, item) == 0) PostMessageA(window_, WM_COMMAND, MAKEWPARAM(m.id, 0), 0);
    }
}

HWND App::focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(pi_.dwThreadId, &info)) return nullptr;
    return info.hwndFocus;
}

HWND App::findDialog(bool folderBrowser) const {
    Search s{pi_.dwProcessId, folderBrowser, nullptr};
    EnumWindows(findDialogOf, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND App::waitMessageBox(DWORD limitMs) const {
    HWND box = nullptr;
    waitUntil([&] { return (box = findDialog(false)) != nullptr; }, limitMs);
    return box;
}

HWND App::waitMessageBox(const std::string& title, DWORD limitMs) const {
    HWND box = nullptr;
    waitUntil([&] { return (box = findDialog(false)) != nullptr && windowText(box) == title; }, limitMs);
    return box && windowText(box) == title ? box : nullptr;
}

HWND App::waitFolderBrowser(DWORD limitMs) const {
    HWND dialog = nullptr;
    // Keys go to the foreground window: wait until the browser is it.
    waitUntil([&] { return (dialog = findDialog(true)) != nullptr && GetForegroundWindow() == dialog; }, limitMs);
    return dialog && GetForegroundWindow() == dialog ? dialog : nullptr;
}

bool App::waitDialogsClosed(DWORD limitMs) const {
    return waitUntil([&] { return !findDialog(false) && !findDialog(true) && IsWindowEnabled(window_); }, limitMs);
}

bool App::waitExit(DWORD* code, DWORD limitMs) {
    if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, limitMs) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(pi_.hProcess, code) != 0;
}

}  // namespace mv::e2e
