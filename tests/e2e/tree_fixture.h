// Helpers for end-to-end tests that run real searches: a folder tree to
// search, the processes the program starts (the script's interpreter, the
// programs the shell opens), and one search driven through the window.
// Texts and paths are GBK bytes; every wait has a time limit.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace mv::e2e {

// A file of a test tree: its path below the root and its bytes.
struct TreeFile {
    std::string path;
    std::string bytes;
};

// Creates the folders (in the given order) and files below root, a Windows
// path without trailing backslash. False when one cannot be made.
bool makeTree(const std::string& root, const std::vector<std::string>& folders,
              const std::vector<TreeFile>& files);

// The names in a folder, byte-wise sorted, without "." and "..".
using testfiles::folderEntries;

// Everything below root: relative path to bytes; a folder's path ends with
// a backslash and has no bytes.
std::map<std::string, std::string> treeContents(const std::string& root);

// The same map for folders and files not yet made.
std::map<std::string, std::string> treeMap(const std::vector<std::string>& folders, const std::vector<TreeFile>& files);

// The tree of photos and papers that the search road runs over, with names
// that try the script's corners: Chinese names, 乗 (whose second byte is a
// backslash) in a folder and a file name, blanks, a wildcard, a folder part,
// a folder that matches a name, and one name in two folders with different
// bytes. Relative to the tree's root.
extern const std::vector<std::string> kRoadFolders;
extern const std::vector<TreeFile> kRoadFiles;
// The names list typed for it (ends with CR LF, as pasted lines do).
extern const char* const kRoadNames;
// The found list's lines, relative to the search path, in the order the
// script appends them: name by name, the start folder before subfolders.
extern const std::vector<std::string> kRoadFound;
// What the save folder holds afterwards: the last copy of a name wins.
std::map<std::string, std::string> roadCopies();
// The names that nothing in the tree matches, as the not-found list has them.
extern const char* const kRoadNotFound;

// The test's own folder (the parent of the run folder), for trees and
// save folders that must not be inside the run folder.
std::string testFolder(const App& app);

// A process as a Toolhelp snapshot lists it.
struct ProcessEntry {
    DWORD pid;
    DWORD parent;
    std::string exe;  // file name only, e.g. "cmd.exe"
};
std::vector<ProcessEntry> processes();
// Running children of parent whose file name is exe (any case).
std::vector<DWORD> childProcesses(DWORD parent, const char* exe);
// Titles of the visible top-level windows of a process.
std::vector<std::string> windowTitles(DWORD pid);
// The command line a process was started with, in the ANSI code page;
// empty when it cannot be read.
std::string commandLine(DWORD pid);
// Ends a process by its id and waits for it; true once it is gone.
bool endProcess(DWORD pid);
// Ends every process started by parent (the script's interpreter, what the
// shell opened): for a test's clean-up.
void endChildren(DWORD parent);
// Waits for a new child of parent with that file name; its id, or 0.
DWORD waitChild(DWORD parent, const char* exe, DWORD limitMs = kWaitLimit);

// Windows opens .txt files with notepad through HKCR\.txt = txtfile. Wine 8's
// fresh prefix lacks that key, so its shell would open nothing; this adds
// it when missing. True when the key holds txtfile afterwards.
bool registerTextFiles();

// Keeps every thread of a process suspended until release() or the end of
// the hold, so a test sees it running for as long as it needs.
class ProcessHold {
  public:
    ProcessHold() = default;
    ~ProcessHold() { release(); }
    ProcessHold(const ProcessHold&) = delete;
    ProcessHold& operator=(const ProcessHold&) = delete;

    // False when the process has no thread left to suspend.
    bool hold(DWORD pid);
    void release();

  private:
    std::vector<HANDLE> threads_;
};

// The interpreter process running the program's script, or 0 when none runs.
DWORD runningScript(const App& app);
// True once no script of the program runs any more.
bool waitScriptEnded(const App& app, DWORD limitMs = 60000);

// Returns once the program's window thread has handled a message sent now:
// a handler that was running has returned or sits in a dialog's loop, so a
// box it opened is up. False when the thread does not answer in time.
bool syncWith(const App& app);

// The three result buttons, in the order the search job enables them.
extern const char* const kResultButtons[3];
// True when all three result buttons are enabled.
bool resultButtonsEnabled(const App& app);

// Types the names list and both paths and clicks 开始搜索.
void startSearch(App& app, const std::string& names, const std::string& searchPath, const std::string& savePath);

// The found list in the run folder.
std::string foundListPath(const App& app);

// A whole search: removes the found list of an earlier run, starts the
// search and waits until the new script has made the found list and ended.
// The names list must hold a line. False when that does not happen.
// With overwriteAnswer (IDOK or IDCANCEL) the search first waits for the
// question about same-named files in the save folder and answers it. Once
// the script has ended it closes the notice that says so, whose text goes
// to *notice when given.
bool runSearch(App& app, const std::string& names, const std::string& searchPath, const std::string& savePath,
               int overwriteAnswer = 0, std::string* notice = nullptr);

// Waits for the notice that the program's script has ended and closes it;
// its text goes to *text when given. False when none came.
bool closeNotice(const App& app, std::string* text = nullptr);
extern const char* const kNoticeTitle;

// Clicks the removal, confirms it and returns the text of the completion
// box, which it closes; empty when a box did not come.
std::string confirmRemoval(App& app);

// The title of the question about same-named files in the save folder.
extern const char* const kOverwriteTitle;

// The road's names and a thousand that match nothing: a script that keeps
// walking the tree long enough to be caught running.
std::string longNames();

// Starts a search of longNames() and holds its interpreter as soon as it
// shows, so that the script runs for as long as the test needs. Its process
// id, or 0 when it ended before it could be held or the result buttons
// stayed disabled.
DWORD startHeldSearch(App& app, const std::string& searchPath, const std::string& savePath, ProcessHold& hold);

}  // namespace mv::e2e
