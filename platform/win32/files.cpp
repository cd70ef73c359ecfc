#include "platform/win32/files.h"

#include <windows.h>

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

}  // namespace mv::win32
