// The release as a user gets it: the package's contents and the icon of the
// shipped program, which is the built one whose version window_e2e checks.
// Everything is read from the built files; the expected version is the
// project's (MV_VERSION).
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace mv {
namespace {

using e2e::readFile;

// The package as the build names it, and the folder the package fixture
// unpacked it into.
std::string packagePath() { return e2e::windowsPath(MV_BUILD_DIR "/Morvane-" MV_VERSION "-win64.zip"); }
std::string unpacked(const std::string& name) { return e2e::windowsPath(MV_PACKAGE_DIR) + "\\" + name; }

const char* const kGuideName = "使用说明.txt";  // GBK, as Windows' ANSI calls see it

uint32_t le(const std::string& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

struct ZipEntry {
    std::string name;  // the stored bytes
    unsigned flags;
};

// The entries of a zip's central directory; empty when it has none or the
// file is no zip.
std::vector<ZipEntry> zipEntries(const std::string& zip) {
    std::vector<ZipEntry> entries;
    size_t end = zip.size() < 22 ? std::string::npos : zip.rfind("PK\x05\x06");
    if (end == std::string::npos || end + 22 > zip.size()) return entries;
    size_t count = le(zip, end + 10, 2);
    size_t at = le(zip, end + 16, 4);
    for (size_t i = 0; i < count; ++i) {
        if (at + 46 > zip.size() || le(zip, at, 4) != 0x02014b50) return {};
        size_t nameLength = le(zip, at + 28, 2);
        entries.push_back({zip.substr(at + 46, nameLength), le(zip, at + 8, 2)});
        at += 46 + nameLength + le(zip, at + 30, 2) + le(zip, at + 32, 2);
    }
    return entries;
}

TEST(Package, HoldsTheProgramAndTheGuideOnly) {
    std::string zip = readFile(packagePath());
    ASSERT_FALSE(zip.empty()) << packagePath();
    // Explorer reads a name as UTF-8 when the entry's UTF-8 flag (bit 11) is
    // set, and in the system's code page otherwise.
    const unsigned kUtf8Name = 1u << 11;
    std::vector<ZipEntry> entries = zipEntries(zip);
    std::sort(entries.begin(), entries.end(), [](const ZipEntry& a, const ZipEntry& b) { return a.name < b.name; });
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "Morvane.exe");
    EXPECT_EQ(entries[1].name, u8"使用说明.txt");
    EXPECT_TRUE(entries[1].flags & kUtf8Name);

    // Unpacked by a real unzipper, the same two files; the program is the
    // one the other tests ran.
    const std::vector<std::string> files = {"Morvane.exe", kGuideName};
    EXPECT_EQ(testfiles::folderEntries(e2e::windowsPath(MV_PACKAGE_DIR)), files);
    std::string shipped = readFile(unpacked("Morvane.exe"));
    EXPECT_FALSE(shipped.empty());
    EXPECT_TRUE(shipped == readFile(e2e::programPath()));
}

TEST(Package, GuideIsGbkTextWithCrLfLineEnds) {
    std::string guide = readFile(unpacked(kGuideName));
    ASSERT_GT(guide.size(), 100u);
    EXPECT_EQ(guide.substr(0, guide.find("\r\n")), "Morvane 使用说明");
    EXPECT_GT(MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, guide.data(), static_cast<int>(guide.size()), nullptr, 0), 0);
    for (size_t i = 0; i < guide.size(); ++i) {
        if (guide[i] == '\n') {
            EXPECT_TRUE(i > 0 && guide[i - 1] == '\r') << "bare LF at " << i;
        }
        if (guide[i] == '\r') {
            EXPECT_TRUE(i + 1 < guide.size() && guide[i + 1] == '\n') << "bare CR at " << i;
        }
    }
    EXPECT_EQ(guide.substr(guide.size() - 2), "\r\n");
}

BOOL CALLBACK firstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
    *reinterpret_cast<LPSTR*>(found) = name;
    return FALSE;
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// Explorer and the task bar show the first icon group of the program.
TEST(Executable, IconInTheSizesWindowsUses) {
    std::string exe = unpacked("Morvane.exe");
    HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    LPSTR group = nullptr;
    EnumResourceNamesA(image, RT_GROUP_ICON, firstName, reinterpret_cast<LONG_PTR>(&group));
    ASSERT_NE(group, nullptr);
    HRSRC res = FindResourceA(image, group, RT_GROUP_ICON);
    ASSERT_NE(res, nullptr);
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(image, res)));
    WORD count = reinterpret_cast<const WORD*>(dir)[2];
    ASSERT_EQ(count, 4);
    ASSERT_EQ(SizeofResource(image, res), 6 + count * sizeof(GroupIconEntry));
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        GroupIconEntry entry;
        std::memcpy(&entry, dir + 6 + i * sizeof(GroupIconEntry), sizeof entry);
        int side = entry.width ? entry.width : 256;
        SCOPED_TRACE(side);
        EXPECT_EQ(entry.width, entry.height);
        EXPECT_EQ(entry.bitCount, 32);  // with an alpha channel
        sizes.insert(side);
        // Each image is there and Windows makes an icon of that size from it.
        HRSRC icon = FindResourceA(image, MAKEINTRESOURCEA(entry.id), RT_ICON);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(SizeofResource(image, icon), entry.bytes);
        HICON made = CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(image, icon))),
                                              entry.bytes, TRUE, 0x00030000, side, side, LR_DEFAULTCOLOR);
        ASSERT_NE(made, nullptr);
        ICONINFO parts = {};
        ASSERT_TRUE(GetIconInfo(made, &parts));
        BITMAP color = {};
        ASSERT_TRUE(GetObjectA(parts.hbmColor, sizeof color, &color));
        EXPECT_EQ(color.bmWidth, side);
        EXPECT_EQ(color.bmHeight, side);
        DeleteObject(parts.hbmColor);
        DeleteObject(parts.hbmMask);
        DestroyIcon(made);
    }
    FreeLibrary(image);
    EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 256}));
    // The shell finds it as the program's icon.
    EXPECT_EQ(ExtractIconExA(exe.c_str(), -1, nullptr, nullptr, 0), 1u);
}

}  // namespace
}  // namespace mv
