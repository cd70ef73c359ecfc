// The Win32 form runtime: builds the main window from its description,
// turns window messages into named events for the bound handlers, and
// offers the handlers every platform operation.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "platform/form.h"
#include "platform/runtime.h"

namespace mv {

class Win32Runtime : public Runtime {
  public:
    Win32Runtime(const WindowDesc& desc, HINSTANCE instance);
    ~Win32Runtime() override;
    Win32Runtime(const Win32Runtime&) = delete;
    Win32Runtime& operator=(const Win32Runtime&) = delete;

    // Builds the window hidden with events held back, raises its created
    // event, then shows it. False when the window could not be made.
    bool load(int showMode);
    // Dispatches messages until the main window is gone.
    void run();
    HWND window() const { return window_; }

    // Runtime
    Text read(const char* control) override;
    void write(const char* control, const Text& text) override;
    void setDisabled(const char* control, bool disabled) override;
    using Runtime::messageBox;
    int messageBox(const Text& text, unsigned flags, const Text& title) override;
    Text folderDialog(const Text& prompt) override;
    Text runDirectory() override;
    Text readSetting(const Text& file, const Text& section, const Text& key) override;
    void writeSetting(const Text& file, const Text& section, const Text& key, const Text& value) override;
    Text tempFolder() override;
    Text shortPath(const Text& path) override;
    bool writeFile(const Text& path, const Text& bytes) override;
    Text readFile(const Text& path) override;
    bool deleteFile(const Text& path) override;
    FileInfo fileInfo(const Text& path) override;
    Opened readSharedFile(const Text& path, Text& bytes) override;
    HeldFile holdFile(const Text& path) override;
    Compared compareHeld(uint64_t held, const Text& path) override;
    bool deleteHeld(uint64_t held) override;
    void releaseFile(uint64_t held) override;
    void pause(unsigned ms) override;
    bool pausing() override { return pauseDepth_ > 0; }
    bool startProgram(const Text& commandLine, bool wait, int showMode) override;
    bool programRunning() override;
    ProcessStamp lastProgram() override;
    bool processRuns(const ProcessStamp& process) override;
    bool windowOpen() override { return window_ && IsWindow(window_); }
    std::vector<Text> folderFiles(const Text& folder) override;
    Text nameKey(const Text& name) override;
    bool canCreateIn(const Text& folder) override;
    bool canDelete(const Text& path) override;
    void shellExecute(const Text& verb, const Text& file, const Text& params, const Text& dir, int show) override;
    void shellOpen(const Text& path) override;

    // Window procedure side; public for the message functions in form.cpp.
    void onCommand(int id, HWND control, UINT code);
    HBRUSH onCtlColorStatic(HDC dc, HWND control);
    void onActivate(UINT state);
    void onSetFont(HFONT font) { font_ = font; }
    HFONT onGetFont() const { return font_; }
    // The program started last has ended (posted by the wait on it).
    void onProgramEnded(unsigned generation);
    // Raises a waiting ProgramEnded once nothing else holds the window.
    void deliverProgramEnded();

    // Keys the window handles itself, before any control sees them. True
    // when the message was used up.
    bool preTranslate(const MSG& msg);

  private:
    bool create();
    HWND createControl(const ControlDesc& c);
    void raise(const char* source, Event event);
    const ControlDesc* controlById(int id) const;
    HWND handleOf(const char* name) const;
    void moveFocus(HWND from, bool backwards);
    void dispatchQueued();

    const WindowDesc& desc_;
    HINSTANCE instance_;
    HWND window_ = nullptr;
    std::vector<HWND> controls_;  // in creation order, as desc_.controls
    bool building_ = false;
    HWND writing_ = nullptr;  // the box whose own EN_CHANGE a write swallows
    HWND lastFocus_ = nullptr;
    HFONT font_ = nullptr;  // the window's own, as a dialog keeps one
    int pauseDepth_ = 0;
    HANDLE process_ = nullptr;  // the program started last
    HANDLE processWait_ = nullptr;
    unsigned generation_ = 0;       // counts started programs
    bool endWaiting_ = false;       // ProgramEnded not yet raised
    int handlerDepth_ = 0;
    std::pair<HWND, unsigned> posted_;  // what the wait posts, and where
    void watchProcess();  // of process_, once the previous wait has stopped
    void stopWatching();
};

}  // namespace mv
