#include "platform/win32/files.h"

#include <windows.h>

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
    File f(openForReading(path));
    if (!f.ok()) return Text();
    // Read to the end rather than to the size seen at open: the found list
    // may still be growing.
    Text bytes;
    std::vector<char> block(kBlock);
    for (;;) {
        DWORD got = readBlock(f.h, block.data(), kBlock);
        bytes.append(block.data(), got);
        if (got < kBlock) break;
    }
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
    BY_HANDLE_FILE_INFORMATION data;
    if (!f.ok() || !GetFileInformationByHandle(f.h, &data)) return info;
    info.exists = true;
    info.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.volume = data.dwVolumeSerialNumber;
    info.index = (static_cast<uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
    info.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return info;
}

bool sameContent(const Text& a, const Text& b) {
    File fa(openForReading(a));
    File fb(openForReading(b));
    LARGE_INTEGER sa, sb;
    if (!fa.ok() || !fb.ok() || !GetFileSizeEx(fa.h, &sa) || !GetFileSizeEx(fb.h, &sb)) return false;
    if (sa.QuadPart != sb.QuadPart) return false;
    std::vector<char> ba(kBlock), bb(kBlock);
    for (LONGLONG left = sa.QuadPart; left > 0;) {
        DWORD want = static_cast<DWORD>(left < kBlock ? left : kBlock);
        if (readBlock(fa.h, ba.data(), want) != want || readBlock(fb.h, bb.data(), want) != want) return false;
        if (std::char_traits<char>::compare(ba.data(), bb.data(), want) != 0) return false;
        left -= want;
    }
    return true;
}

namespace {

// The folder with one backslash behind it, ready for a name.
Text folderPrefix(const Text& folder) { return endsWithBackslash(folder) ? folder : folder + "\\"; }

}  // namespace

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
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
    // The interpreter's del needs exactly this: delete access while others
    // may hold the file open only with delete sharing.
    File f(CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return f.ok();
}

}  // namespace mv::win32
