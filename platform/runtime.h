// The form runtime as handlers see it: controls by name, and every other
// operation the program needs from the platform. Texts are GBK bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mv {

using Text = std::string;

// Title of a message box whose caller gives none.
extern const char* const kDefaultTitle;

// MessageBoxA style bits the handlers use.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbOkCancel = 0x1;
constexpr unsigned kMbDefButton2 = 0x100;
constexpr unsigned kMbSystemModal = 0x1000;
constexpr unsigned kMbTaskModal = 0x2000;

// Button codes a message box returns.
// kNoBox: the box could not be shown, so nobody answered it.
enum BoxCode { kNoBox = -1, kOk = 0, kCancel = 1, kAbort = 2, kRetry = 3, kIgnore = 4, kYes = 5, kNo = 6 };

// ShowWindow modes.
constexpr int kShowNormal = 1;

// What the file system says of a path. Two paths name the same file when
// both exist and volume and index are equal.
struct FileInfo {
    bool exists = false;
    bool folder = false;
    uint64_t volume = 0;
    uint64_t index = 0;
    uint64_t size = 0;
    uint64_t indexHigh = 0;  // upper half of a 128-bit file id
};

bool sameFile(const FileInfo& a, const FileInfo& b);

// How opening a path went. Only "no such file" and "no such path" mean
// missing; any other refusal (access, sharing, a name or length the system
// cannot take) is a failure.
enum class Opened { kOk, kMissing, kFailed };

enum class Compared { kSame, kDifferent, kFailed };

// A file the runtime holds open; id 0 when the open failed.
struct HeldFile {
    Opened status = Opened::kFailed;
    uint64_t id = 0;
    FileInfo info;
};

// A process as the system knows it: an id alone may be reused once the
// process has ended, the id with its creation time is not.
struct ProcessStamp {
    uint32_t id = 0;  // 0: none
    uint64_t created = 0;
};

class Runtime {
  public:
    virtual ~Runtime() = default;

    // Controls. write() raises the box's content-changed event exactly once
    // before it returns.
    virtual Text read(const char* control) = 0;
    virtual void write(const char* control, const Text& text) = 0;
    virtual void setDisabled(const char* control, bool disabled) = 0;

    // Task-modal box with no owner; returns a BoxCode.
    virtual int messageBox(const Text& text, unsigned flags, const Text& title) = 0;
    int messageBox(const Text& text, unsigned flags) { return messageBox(text, flags, kDefaultTitle); }

    // Shell folder browser; the chosen folder's path, or empty.
    virtual Text folderDialog(const Text& prompt) = 0;

    // Folder of the executable, without trailing backslash.
    virtual Text runDirectory() = 0;
    virtual Text readSetting(const Text& file, const Text& section, const Text& key) = 0;
    virtual void writeSetting(const Text& file, const Text& section, const Text& key, const Text& value) = 0;

    // Temporary-files folder ending in one backslash, or empty.
    virtual Text tempFolder() = 0;
    // Short (8.3) form of an existing path, or empty.
    virtual Text shortPath(const Text& path) = 0;

    // Whole-file operations, raw bytes. readFile gives empty when the file
    // cannot be opened.
    virtual bool writeFile(const Text& path, const Text& bytes) = 0;
    virtual Text readFile(const Text& path) = 0;
    virtual bool deleteFile(const Text& path) = 0;
    virtual FileInfo fileInfo(const Text& path) = 0;
    // Reads a whole file while others may go on reading, writing and
    // deleting it.
    virtual Opened readSharedFile(const Text& path, Text& bytes) = 0;
    // Opens an existing file or folder with delete access, letting others
    // only read it, and holds it until releaseFile: nobody can change or
    // delete it meanwhile.
    virtual HeldFile holdFile(const Text& path) = 0;
    // The held file's bytes, from its start, against the file at path.
    virtual Compared compareHeld(uint64_t held, const Text& path) = 0;
    // Deletes the held file's name; it goes when the file is released.
    virtual bool deleteHeld(uint64_t held) = 0;
    virtual void releaseFile(uint64_t held) = 0;

    // Waits ms milliseconds while window messages keep being dispatched.
    virtual void pause(unsigned ms) = 0;
    // True while a pause is in progress.
    virtual bool pausing() = 0;
    // Starts a program; the runtime keeps the last started process.
    virtual bool startProgram(const Text& commandLine, bool wait, int showMode) = 0;
    // True while the process started last still runs.
    virtual bool programRunning() = 0;
    // The process started last; id 0 when none was.
    virtual ProcessStamp lastProgram() = 0;
    // True while a process with this id runs and was created at that time.
    virtual bool processRuns(const ProcessStamp& process) = 0;
    // False once the main window has been closed.
    virtual bool windowOpen() = 0;

    // Names of the files (not folders) directly in a folder.
    virtual std::vector<Text> folderFiles(const Text& folder) = 0;
    // A key under which two file names are equal exactly when Windows takes
    // them for the same name (its upper-case table, not only ASCII).
    virtual Text nameKey(const Text& name) = 0;
    // True when a new file can be created in the folder.
    virtual bool canCreateIn(const Text& folder) = 0;
    // True when the file is missing or could be deleted now.
    virtual bool canDelete(const Text& path) = 0;

    virtual void shellExecute(const Text& verb, const Text& file, const Text& params, const Text& dir,
                              int show) = 0;
    virtual void shellOpen(const Text& path) = 0;
};

// Run directory joined with the given file name ("\config.ini" and so on).
Text runDirectoryFile(Runtime& rt, const char* backslashName);

}  // namespace mv
