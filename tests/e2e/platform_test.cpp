// The runtime's platform operations in this process, on real files, the
// real profile API and real processes under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/window.h"
#include "platform/text.h"
#include "platform/win32/form.h"
#include "tests/e2e/driver.h"

namespace mv {
namespace {

class Platform : public ::testing::Test {
  protected:
    Platform() : rt(mainWindow(), GetModuleHandleA(nullptr)) {}
    // A fresh folder of the e2e work tree for this test's files.
    std::string folder() { return app.tempDir(); }
    e2e::App app;  // used for its fresh folders only; never started
    Win32Runtime rt;
};

TEST_F(Platform, WholeFilesAreWrittenAndReadAsRawBytes) {
    const std::string path = folder() + "\\数据.txt";
    const std::string cases[] = {
        std::string(),                              // empty file
        std::string("a\0b\r\n", 5),                 // zero byte and line end kept
        "名单\r\n" + std::string(3 << 20, 'x'),      // more than one block
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        ASSERT_TRUE(rt.writeFile(path, bytes));
        EXPECT_EQ(rt.readFile(path), bytes);
        FileInfo info = rt.fileInfo(path);
        EXPECT_TRUE(info.exists);
        EXPECT_FALSE(info.folder);
        EXPECT_EQ(info.size, bytes.size());
    }
    EXPECT_TRUE(rt.deleteFile(path));
    EXPECT_FALSE(rt.deleteFile(path));
    EXPECT_EQ(rt.readFile(path), "");
    EXPECT_FALSE(rt.fileInfo(path).exists);
}

TEST_F(Platform, WritesFailForNoPathAFolderAndAFileHeldOpen) {
    EXPECT_FALSE(rt.writeFile("", "x"));
    EXPECT_FALSE(rt.writeFile(folder(), "x"));
    const std::string path = folder() + "\\held.txt";
    ASSERT_TRUE(rt.writeFile(path, "old"));
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(rt.writeFile(path, "new"));
    EXPECT_EQ(rt.readFile(path), "");  // cannot be opened either
    CloseHandle(held);
    EXPECT_EQ(rt.readFile(path), "old");
}

TEST_F(Platform, FileInfoTellsFoldersAndSameFilesApart) {
    const std::string a = folder() + "\\a.txt";
    const std::string b = folder() + "\\b.txt";
    ASSERT_TRUE(rt.writeFile(a, "same"));
    ASSERT_TRUE(rt.writeFile(b, "same"));
    FileInfo dir = rt.fileInfo(folder());
    EXPECT_TRUE(dir.exists);
    EXPECT_TRUE(dir.folder);
    EXPECT_TRUE(sameFile(rt.fileInfo(a), rt.fileInfo(folder() + "\\.\\A.TXT")));
    EXPECT_FALSE(sameFile(rt.fileInfo(a), rt.fileInfo(b)));
    EXPECT_FALSE(rt.fileInfo("").exists);
}

// The held file is read from its start at every comparison.
TEST_F(Platform, AHeldFileIsComparedByBytes) {
    const std::string big(2 << 20, 'q');
    struct Case {
        std::string a, b;
        Compared result;
    };
    const Case cases[] = {
        {"", "", Compared::kSame},
        {"abc", "abc", Compared::kSame},
        {"abc", "abd", Compared::kDifferent},
        {"abc", "abcd", Compared::kDifferent},
        {big, big, Compared::kSame},
        {big, big.substr(0, big.size() - 1) + "r", Compared::kDifferent},  // differs in the last block
    };
    const std::string a = folder() + "\\a.bin";
    const std::string b = folder() + "\\b.bin";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.a.size());
        ASSERT_TRUE(rt.writeFile(a, c.a));
        ASSERT_TRUE(rt.writeFile(b, c.b));
        HeldFile held = rt.holdFile(a);
        ASSERT_EQ(held.status, Opened::kOk);
        EXPECT_EQ(rt.compareHeld(held.id, b), c.result);
        EXPECT_EQ(rt.compareHeld(held.id, b), c.result);
        rt.releaseFile(held.id);
    }
    HeldFile held = rt.holdFile(a);
    EXPECT_EQ(rt.compareHeld(held.id, folder() + "\\missing.bin"), Compared::kFailed);
    HANDLE other = CreateFileA(b.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(rt.compareHeld(held.id, b), Compared::kFailed);  // the other file held by another program
    CloseHandle(other);
    rt.releaseFile(held.id);
}

TEST_F(Platform, OpeningTellsMissingFromRefused) {
    const std::string file = folder() + "\\a.txt";
    ASSERT_TRUE(rt.writeFile(file, "a"));
    struct Case {
        const char* what;
        std::string path;
        Opened result;
    };
    const Case cases[] = {
        {"file", file, Opened::kOk},
        {"no such file", folder() + "\\b.txt", Opened::kMissing},
        {"no such folder", folder() + "\\none\\b.txt", Opened::kMissing},
        // What dir writes for a name outside code page 936.
        {"question mark", folder() + "\\?.txt", Opened::kFailed},
        {"too long", folder() + "\\" + std::string(300, 'x') + ".txt", Opened::kFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = "old";
        EXPECT_EQ(rt.readSharedFile(c.path, bytes), c.result);
        EXPECT_EQ(bytes, c.result == Opened::kOk ? "a" : "");
        HeldFile held = rt.holdFile(c.path);
        EXPECT_EQ(held.status, c.result);
        EXPECT_EQ(held.id != 0, c.result == Opened::kOk);
        if (held.id) rt.releaseFile(held.id);
    }
    HeldFile dir = rt.holdFile(folder());
    EXPECT_EQ(dir.status, Opened::kOk);
    EXPECT_TRUE(dir.info.folder);
    rt.releaseFile(dir.id);
}

// The script appends to the found list with writers of its own; our read
// must neither fail for that nor make its append fail.
TEST_F(Platform, ASharedReadLeavesWritersAlone) {
    const std::string path = folder() + "\\list.txt";
    ASSERT_TRUE(rt.writeFile(path, "a\r\n"));
    HANDLE writer = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    std::string bytes;
    EXPECT_EQ(rt.readSharedFile(path, bytes), Opened::kOk);
    EXPECT_EQ(bytes, "a\r\n");
    EXPECT_EQ(rt.readFile(path), "a\r\n");
    CloseHandle(writer);

    HANDLE exclusive = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_EQ(rt.readSharedFile(path, bytes), Opened::kFailed);
    CloseHandle(exclusive);
}

TEST_F(Platform, AHeldFileStaysAsItWasUntilDeletedThroughTheHold) {
    const std::string path = folder() + "\\原片.jpg";
    ASSERT_TRUE(rt.writeFile(path, "photo"));
    HeldFile held = rt.holdFile(path);
    ASSERT_EQ(held.status, Opened::kOk);
    EXPECT_TRUE(sameFile(held.info, rt.fileInfo(path)));
    EXPECT_FALSE(held.info.folder);
    EXPECT_EQ(held.info.size, 5u);
    // Nobody writes, renames or deletes it meanwhile; reading stays possible.
    EXPECT_FALSE(rt.writeFile(path, "other"));
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_FALSE(MoveFileA(path.c_str(), (folder() + "\\moved.jpg").c_str()));
    EXPECT_EQ(rt.holdFile(path).status, Opened::kFailed);
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);

    EXPECT_TRUE(rt.deleteHeld(held.id));
    rt.releaseFile(held.id);
    EXPECT_FALSE(rt.fileInfo(path).exists);

    // A read-only file is held, but its deletion fails and it stays.
    ASSERT_TRUE(rt.writeFile(path, "photo"));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    held = rt.holdFile(path);
    ASSERT_EQ(held.status, Opened::kOk);
    EXPECT_FALSE(rt.deleteHeld(held.id));
    rt.releaseFile(held.id);
    EXPECT_EQ(rt.readFile(path), "photo");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    // A file another program holds open without sharing deletion.
    HANDLE viewer = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(rt.holdFile(path).status, Opened::kFailed);
    CloseHandle(viewer);
}

TEST_F(Platform, TwoLinksAreOneFileAndDeletingOneLeavesTheOther) {
    const std::string a = folder() + "\\a.jpg";
    const std::string b = folder() + "\\b.jpg";
    ASSERT_TRUE(rt.writeFile(a, "A"));
    ASSERT_TRUE(CreateHardLinkA(b.c_str(), a.c_str(), nullptr));
    EXPECT_TRUE(sameFile(rt.fileInfo(a), rt.fileInfo(b)));
    HeldFile held = rt.holdFile(a);
    ASSERT_EQ(held.status, Opened::kOk);
    // The links share their sharing rules; asking what file b is still works.
    EXPECT_EQ(rt.holdFile(b).status, Opened::kFailed);
    EXPECT_TRUE(sameFile(held.info, rt.fileInfo(b)));
    EXPECT_TRUE(rt.deleteHeld(held.id));
    rt.releaseFile(held.id);
    EXPECT_FALSE(rt.fileInfo(a).exists);
    EXPECT_EQ(rt.readFile(b), "A");
}

TEST_F(Platform, SettingsGoThroughTheProfileApi) {
    const std::string ini = folder() + "\\config.ini";
    EXPECT_EQ(rt.readSetting(ini, "zhuce", "搜索路径"), "");  // no file
    rt.writeSetting(ini, "zhuce", "搜索路径", "D:\\数据\\");
    rt.writeSetting(ini, "zhuce", "保存路径", "");
    EXPECT_EQ(e2e::readFile(ini), "[zhuce]\r\n搜索路径=D:\\数据\\\r\n保存路径=\r\n");
    EXPECT_EQ(rt.readSetting(ini, "zhuce", "搜索路径"), "D:\\数据\\");
    EXPECT_EQ(rt.readSetting(ini, "zhuce", "保存路径"), "");
    EXPECT_EQ(rt.readSetting(ini, "其他", "搜索路径"), "");
    // A value longer than the buffer comes back cut to 10,239 bytes.
    const std::string longValue(12000, 'v');
    rt.writeSetting(ini, "zhuce", "保存路径", longValue);
    EXPECT_EQ(rt.readSetting(ini, "zhuce", "保存路径"), longValue.substr(0, 10239));
}

TEST_F(Platform, PathsOfThePlatform) {
    const std::string exe = [] {
        char path[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
        return std::string(path, n);
    }();
    EXPECT_EQ(rt.runDirectory(), exe.substr(0, exe.rfind('\\')));
    const std::string temp = rt.tempFolder();
    EXPECT_TRUE(endsWithBackslash(temp));
    EXPECT_FALSE(endsWithBackslash(temp.substr(0, temp.size() - 1)));
    const std::string shortForm = rt.shortPath(folder());
    EXPECT_FALSE(shortForm.empty());
    EXPECT_TRUE(sameFile(rt.fileInfo(shortForm), rt.fileInfo(folder())));
    EXPECT_EQ(rt.shortPath(folder() + "\\missing"), "");
}

BOOL CALLBACK closeNotepad(HWND hwnd, LPARAM) {
    if (e2e::className(hwnd) == "Notepad") PostMessageA(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

TEST_F(Platform, AStartedProgramIsWatchedUntilItEnds) {
    EXPECT_FALSE(rt.programRunning());
    EXPECT_FALSE(rt.startProgram(folder() + "\\missing.exe", false, kShowNormal));
    EXPECT_FALSE(rt.programRunning());
    // Notepad runs until its window is closed.
    ASSERT_TRUE(rt.startProgram("notepad.exe", false, kShowNormal));
    EXPECT_TRUE(rt.programRunning());
    ASSERT_TRUE(e2e::waitUntil([] {
        EnumWindows(closeNotepad, 0);
        return FindWindowA("Notepad", nullptr) == nullptr;
    }));
    EXPECT_TRUE(e2e::waitUntil([&] { return !rt.programRunning(); }));
    // With wait the call returns once the program has ended.
    ASSERT_TRUE(rt.startProgram("hostname.exe", true, 0));
    EXPECT_FALSE(rt.programRunning());
}

TEST_F(Platform, PauseDispatchesMessagesAndLeavesAQuitForTheMainLoop) {
    ASSERT_TRUE(rt.load(SW_HIDE));
    HWND w = rt.window();
    // The close is dispatched during the pause; the quit it posts stays.
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(rt.pausing());
    rt.pause(300);
    EXPECT_FALSE(rt.pausing());
    EXPECT_FALSE(IsWindow(w));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

}  // namespace
}  // namespace mv
