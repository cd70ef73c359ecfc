// An in-memory form runtime for handler tests. It builds its controls from
// the window description and follows the same event rule as the Win32 one:
// events are held back while building, and write() raises the box's
// content-changed handler exactly once, synchronously.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/window.h"
#include "platform/runtime.h"

namespace mv {

class FakeRuntime : public Runtime {
  public:
    explicit FakeRuntime(const WindowDesc& desc = mainWindow()) : desc_(desc) {}

    // Builds the controls with their initial texts and states, then raises
    // the window's created event.
    void start();

    // What the user does. A disabled button raises nothing.
    void click(const char* button);
    void choose(const char* menuItem);
    void type(const char* box, const Text& text);  // one keystroke's change
    // A search as a user starts it: the three boxes filled, 开始搜索 clicked.
    void search(const Text& searchPath, const Text& savePath, const Text& names);
    // The program started last ends: ProgramEnded is raised now, or, while
    // a handler runs or a box is open, as soon as that is over.
    void endProgram();

    struct Control {
        Kind kind;
        Text text;
        bool disabled;
        bool visible;
    };
    std::map<std::string, Control> controls;
    std::vector<std::string> events;  // "<source>:<event>" in the order raised
    std::vector<std::string> stateChanges;  // "<button>=<disabled 0/1>" in call order

    struct Box {
        Text text;
        unsigned flags;
        Text title;
    };
    std::vector<Box> boxes;
    std::deque<int> boxAnswers;  // empty: OK
    std::function<void()> duringBox;

    std::vector<Text> prompts;
    std::deque<Text> folderAnswers;  // empty: cancelled

    Text runDir = "D:\\tools";
    Text temp = "C:\\TEMP\\";
    std::map<Text, Text> shortPaths;

    struct IniKey {
        Text file, section, key;
        bool operator<(const IniKey& o) const;
    };
    std::map<IniKey, Text> ini;
    struct SettingWrite {
        Text file, section, key, value;
    };
    std::vector<SettingWrite> settingWrites;

    // Files, keyed by path with ASCII letters folded, as Windows compares.
    // A path holding * or ?, or longer than 259 bytes, names no file: opening
    // it fails, as it fails on Windows, without meaning "missing".
    struct File {
        Text path;  // as first written, letters in their case
        Text bytes;
        uint64_t index = 0;
        bool readOnly = false;  // cannot be deleted or written
        bool locked = false;    // held open by another program, sharing nothing
    };
    void putFile(const Text& path, const Text& bytes);
    void putFolder(const Text& path);
    void alias(const Text& path, const Text& samePath);  // another spelling of one name
    void link(const Text& path, const Text& existing);  // a hard link: a name of its own
    bool hasFile(const Text& path) const;
    const File* file(const Text& path) const;
    File* file(const Text& path);
    std::map<Text, File> files;
    std::set<Text> folders;
    std::map<Text, Text> aliases;
    std::vector<Text> fileReads, fileWrites, deleteCalls, contentCompares;
    // Files this runtime holds open, by id: the path they were opened by.
    std::map<uint64_t, Text> held;
    std::set<Text> unwritableFolders;  // canCreateIn() says no

    struct Start {
        Text commandLine;
        bool wait;
        int showMode;
    };
    std::vector<Start> starts;
    bool running = false;  // programRunning() also without a start of ours
    // Processes that run, for processRuns(); each start adds its own with a
    // new id unless startsEnded is set.
    std::vector<ProcessStamp> alive;
    bool startsEnded = false;
    bool open = true;  // what windowOpen() answers
    std::vector<unsigned> pauses;
    std::function<void()> duringPause;

    struct Shell {
        Text verb, file, params, dir;
        int show;
    };
    std::vector<Shell> shellCalls;
    std::vector<Text> shellOpens;

    // Runtime
    Text read(const char* control) override;
    void write(const char* control, const Text& text) override;
    void setDisabled(const char* control, bool disabled) override;
    using Runtime::messageBox;
    int messageBox(const Text& text, unsigned flags, const Text& title) override;
    Text folderDialog(const Text& prompt) override;
    Text runDirectory() override { return runDir; }
    Text readSetting(const Text& file, const Text& section, const Text& key) override;
    void writeSetting(const Text& file, const Text& section, const Text& key, const Text& value) override;
    Text tempFolder() override { return temp; }
    Text shortPath(const Text& path) override;
    bool writeFile(const Text& path, const Text& bytes) override;
    Text readFile(const Text& path) override;
    bool deleteFile(const Text& path) override;
    FileInfo fileInfo(const Text& path) override;
    Opened readSharedFile(const Text& path, Text& bytes) override;
    HeldFile holdFile(const Text& path) override;
    Compared compareHeld(uint64_t id, const Text& path) override;
    bool deleteHeld(uint64_t id) override;
    void releaseFile(uint64_t id) override;
    void pause(unsigned ms) override;
    bool pausing() override { return pausing_; }
    bool startProgram(const Text& commandLine, bool wait, int showMode) override;
    bool programRunning() override { return running || (last_.id != 0 && processRuns(last_)); }
    ProcessStamp lastProgram() override { return last_; }
    bool processRuns(const ProcessStamp& process) override;
    bool windowOpen() override { return open; }
    std::vector<Text> folderFiles(const Text& folder) override;
    Text nameKey(const Text& name) override;
    bool canCreateIn(const Text& folder) override { return !unwritableFolders.count(key(folder)); }
    bool canDelete(const Text& path) override;
    void shellExecute(const Text& verb, const Text& file, const Text& params, const Text& dir, int show) override;
    void shellOpen(const Text& path) override { shellOpens.push_back(path); }

  private:
    void raise(const char* source, Event event, const char* eventName);
    Control& control(const char* name);
    Text key(const Text& path) const;

    void deliverProgramEnded();

    const WindowDesc& desc_;
    bool building_ = false;
    int handlerDepth_ = 0;
    bool inBox_ = false;
    bool lastEnded_ = false;
    bool endWaiting_ = false;
    bool pausing_ = false;
    uint64_t nextIndex_ = 1;
    uint64_t nextHeld_ = 1;
    std::set<uint64_t> deleting_;  // held files whose name goes at release
    ProcessStamp last_;
};

}  // namespace mv
