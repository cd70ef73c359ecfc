#include "platform/win32/files.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/text.h"

namespace mv::win32 {

namespace {

constexpr DWORD kPathBuffer = 260;
constexpr DWORD kSettingBuffer = 10240;
constexpr DWORD kBlock = 1 << 20;

// Closes a file handle when it goes out of scope.
struct File {
    HANDLE h;
    explicit File(HANDLE handle) : h(handle) {}
    ~File() {
        if (ok()) CloseHandle(h);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool ok() const { return h != INVALID_HANDLE_VALUE; }
};

HANDLE openForReading(const Text& path) {
    if (path.empty()) return INVALID_HANDLE_VALUE;
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// Reads up to size bytes; fewer only at the end of the file or on failure.
DWORD readBlock(HANDLE h, char* buffer, DWORD size) {
    DWORD total = 0;
    while (total < size) {
        DWORD got = 0;
        if (!ReadFile(h, buffer + total, size - total, &got, nullptr) || got == 0) break;
        total += got;
    }
    return total;
}

// What the last failed open means: only a missing file or folder on the
// way is "missing".
Opened openFailure() {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Opened::kMissing : Opened::kFailed;
}

// Kind, size and identity of an open file: the 128-bit file id where the
// volume offers one, the volume serial number and 64-bit index otherwise.
bool describe(HANDLE h, FileInfo& info) {
    BY_HANDLE_FILE_INFORMATION data;
    if (!GetFileInformationByHandle(h, &data)) return false;
    info.exists = true;
    info.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    FILE_ID_INFO id;
    if (GetFileInformationByHandleEx(h, FileIdInfo, &id, sizeof id)) {
        info.volume = id.VolumeSerialNumber;
        std::memcpy(&info.index, id.FileId.Identifier, sizeof info.index);
        std::memcpy(&info.indexHigh, id.FileId.Identifier + sizeof info.index, sizeof info.indexHigh);
    } else {
        info.volume = data.dwVolumeSerialNumber;
        info.index = (static_cast<uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
    }
    return true;
}

// Reads the rest of an open file, to its end rather than to the size seen
// at open: the found list may still be growing.
Text readRest(HANDLE h) {
    Text bytes;
    std::vector<char> block(kBlock);
    for (;;) {
        DWORD got = readBlock(h, block.data(), kBlock);
        bytes.append(block.data(), got);
        if (got < kBlock) return bytes;
    }
}

// The folder with one backslash behind it, ready for a name.
Text folderPrefix(const Text& folder) { return endsWithBackslash(folder) ? folder : folder + "\\"; }

HANDLE handleOf(uint64_t held) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(held)); }

}  // namespace

Text runDirectory() {
    char buffer[kPathBuffer];
    DWORD n = GetModuleFileNameA(nullptr, buffer, kPathBuffer);
    Text path(buffer, n < kPathBuffer ? n : 0);
    size_t cut = lastBackslash(path);
    return cut == Text::npos ? path : path.substr(0, cut);
}

Text tempFolder() {
    char buffer[kPathBuffer + 1];
    DWORD n = GetTempPathA(kPathBuffer, buffer);
    if (n == 0 || n > kPathBuffer) return Text();
    Text dir(buffer, n);
    if (!endsWithBackslash(dir)) dir += '\\';
    return dir;
}

Text shortPath(const Text& path) {
    if (path.empty()) return Text();
    DWORD need = GetShortPathNameA(path.c_str(), nullptr, 0);
    if (need == 0) return Text();
    std::vector<char> buffer(need + 1);
    DWORD n = GetShortPathNameA(path.c_str(), buffer.data(), need + 1);
    return n == 0 || n > need ? Text() : Text(buffer.data(), n);
}

Text readSetting(const Text& file, const Text& section, const Text& key) {
    std::vector<char> buffer(kSettingBuffer);
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), nullptr, buffer.data(), kSettingBuffer,
                                       file.c_str());
    return Text(buffer.data(), n);
}

void writeSetting(const Text& file, const Text& section, const Text& key, const Text& value) {
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

bool writeFile(const Text& path, const Text& bytes) {
    if (path.empty()) return false;
    File f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.ok()) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(bytes.size() - done < kBlock ? bytes.size() - done : kBlock);
        DWORD written = 0;
        if (!WriteFile(f.h, bytes.data() + done, chunk, &written, nullptr) || written != chunk) return false;
        done += written;
    }
    return true;
}

Text readFile(const Text& path) {
    Text bytes;
    readSharedFile(path, bytes);
    return bytes;
}

bool deleteFile(const Text& path) { return !path.empty() && DeleteFileA(path.c_str()); }

FileInfo fileInfo(const Text& path) {
    FileInfo info;
    if (path.empty()) return info;
    // No access rights are needed to ask for the information, and the backup
    // flag lets a folder be opened too.
    File f(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!f.ok() || !describe(f.h, info)) return FileInfo{};
    return info;
}

std::vector<Text> folderFiles(const Text& folder) {
    std::vector<Text> names;
    if (folder.empty()) return names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folderPrefix(folder) + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

Text nameKey(const Text& name) {
    if (name.empty()) return Text();
    int n = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    if (n <= 0) return foldPath(name);
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(), n);
    // The invariant upper case is the table file names are compared by.
    std::vector<wchar_t> upper(static_cast<size_t>(n));
    int m = LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide.data(), n, upper.data(), n);
    if (m != n) return foldPath(name);
    return Text(reinterpret_cast<const char*>(upper.data()), upper.size() * sizeof(wchar_t));
}

bool canCreateIn(const Text& folder) {
    if (folder.empty()) return false;
    Text probe = folderPrefix(folder) + "~mv" + std::to_string(GetCurrentProcessId()) + "_" +
                 std::to_string(GetTickCount()) + ".tmp";
    HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

bool canDelete(const Text& path) {
    if (path.empty()) return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return openFailure() == Opened::kMissing;
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
    // The interpreter's del needs exactly this: delete access while others
    // may hold the file open only with delete sharing.
    File f(CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return f.ok();
}

Opened readSharedFile(const Text& path, Text& bytes) {
    bytes.clear();
    if (path.empty()) return Opened::kMissing;
    File f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.ok()) return openFailure();
    bytes = readRest(f.h);
    return Opened::kOk;
}

HeldFile holdFile(const Text& path) {
    HeldFile held;
    if (path.empty()) {
        held.status = Opened::kMissing;
        return held;
    }
    // The backup flag lets a folder be opened too, so it is told apart.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        held.status = openFailure();
        return held;
    }
    if (!describe(h, held.info)) {
        CloseHandle(h);
        return held;
    }
    held.status = Opened::kOk;
    held.id = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(h));
    return held;
}

Compared compareHeld(uint64_t held, const Text& path) {
    HANDLE h = handleOf(held);
    File other(openForReading(path));
    LARGE_INTEGER start = {}, sa, sb;
    if (!other.ok() || !SetFilePointerEx(h, start, nullptr, FILE_BEGIN) || !GetFileSizeEx(h, &sa) ||
        !GetFileSizeEx(other.h, &sb)) {
        return Compared::kFailed;
    }
    if (sa.QuadPart != sb.QuadPart) return Compared::kDifferent;
    std::vector<char> ba(kBlock), bb(kBlock);
    for (LONGLONG left = sa.QuadPart; left > 0;) {
        DWORD want = static_cast<DWORD>(left < kBlock ? left : kBlock);
        if (readBlock(h, ba.data(), want) != want || readBlock(other.h, bb.data(), want) != want) {
            return Compared::kFailed;
        }
        if (std::memcmp(ba.data(), bb.data(), want) != 0) return Compared::kDifferent;
        left -= want;
    }
    return Compared::kSame;
}

bool deleteHeld(uint64_t held) {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return SetFileInformationByHandle(handleOf(held), FileDispositionInfo, &disposition, sizeof disposition);
}

void releaseFile(uint64_t held) { CloseHandle(handleOf(held)); }

}  // namespace mv::win32
