// Drives the real Morvane.exe from a GoogleTest program running under the
// same Wine prefix: starts it in a run folder of its own, finds its window
// and controls, types and clicks through window messages, presses keys on
// the X display, answers its dialogs, and ends it.
//
//   mv::e2e::App app;                        // fresh folder for this test
//   ASSERT_TRUE(app.start());                // copy of Morvane.exe started
//   app.type("保存路径框", "E:\\out");        // handlers have run on return
//   app.click("按钮_开始搜索");               // posted; wait for what follows
//   HWND box = app.waitMessageBox();
//   EXPECT_EQ(mv::e2e::dialogText(box), "请选择搜索路径");
//   mv::e2e::press(box, IDOK);
//
// Texts are GBK bytes, as the program holds them. Every wait has a time
// limit; nothing sleeps a fixed time.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tests/support/winfiles.h"

namespace mv::e2e {

// Default limit of every wait, in milliseconds.
constexpr DWORD kWaitLimit = 15000;

// True as soon as ready() holds, false when it still fails after limitMs.
bool waitUntil(const std::function<bool()>& ready, DWORD limitMs = kWaitLimit);

// Whole-file helpers on Windows paths. readFile gives empty for a missing file.
using testfiles::fileExists;
using testfiles::readFile;
using testfiles::writeFile;

using testfiles::windowsPath;  // a Unix path as Wine names it

// The built Morvane.exe that App copies and starts.
std::string programPath();

// Window text (WM_GETTEXT, across processes) and window class.
std::string windowText(HWND hwnd);
std::string className(HWND hwnd);

// Presses keys on the X display, to whichever window has the focus:
// xdotool key names separated by blanks ("shift+Tab Down Return").
// Returns when xdotool has sent them all.
bool pressKeys(const std::string& keys);

// Dialog boxes of the program (message boxes and the folder browser).
// The text of a message box; the prompt of the folder browser.
std::string dialogText(HWND dialog);
// True when the dialog has a visible button with this id (IDOK, IDCANCEL...).
bool hasButton(HWND dialog, int id);
// True when a message box shows an icon.
bool hasIcon(HWND dialog);
// Clicks a dialog button by id (posted, so the program's own loop runs it).
void press(HWND dialog, int id);

class App {
  public:
    // A fresh folder named after the running test (or the given name) under
    // the e2e work folder, holding the run folder (named runFolder) and a
    // temp folder of its own.
    // The program is copied as exeName (Morvane.exe unless given).
    App();
    explicit App(const std::string& name, const std::string& runFolder = "run",
                 const std::string& exeName = "Morvane.exe");
    // A second program beside first: a run folder of its own in the same
    // test folder, and the same temp folder, as a second start of the
    // program by the same user would have.
    App(const App& first, const std::string& runFolder);
    ~App();  // ends the program if it still runs
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Run folder (holds Morvane.exe and its config.ini) and temp folder,
    // Windows paths without trailing backslash.
    const std::string& runDir() const { return runDir_; }
    const std::string& tempDir() const { return tempDir_; }
    std::string configPath() const { return runDir_ + "\\config.ini"; }

    // Copies Morvane.exe into the run folder, starts it with TMP and TEMP
    // set to the temp folder, and waits for its main window to be visible.
    bool start();

    DWORD processId() const { return pi_.dwProcessId; }
    HWND window() const { return window_; }
    // A control by its name in the window description; nullptr if missing.
    HWND control(const char* name) const;
    std::string text(const char* name) const;

    // WM_SETTEXT, sent: the box's change handlers have run when it returns.
    void type(const char* name, const std::string& text);
    // BM_CLICK, posted: the program may be showing a dialog afterwards.
    void click(const char* name);
    // WM_COMMAND with the id of the menu item of that caption, posted.
    void choose(const char* item);

    // The program's control that has the keyboard focus, or nullptr.
    HWND focus() const;

    // A visible message box of the program, or nullptr after the limit.
    HWND waitMessageBox(DWORD limitMs = kWaitLimit) const;
    // The same, for a box with this title.
    HWND waitMessageBox(const std::string& title, DWORD limitMs = kWaitLimit) const;
    // The folder browser once it is up and in the foreground, or nullptr.
    HWND waitFolderBrowser(DWORD limitMs = kWaitLimit) const;
    // True once the program shows no dialog and its window is enabled again.
    bool waitDialogsClosed(DWORD limitMs = kWaitLimit) const;

    // Waits for the program to end; its exit code in *code.
    bool waitExit(DWORD* code, DWORD limitMs = kWaitLimit);

  private:
    HWND findDialog(bool folderBrowser) const;

    std::string runDir_, tempDir_, exeName_;
    PROCESS_INFORMATION pi_ = {};
    HWND window_ = nullptr;
};

}  // namespace mv::e2e
