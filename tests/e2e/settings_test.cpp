// config.ini beside the program: restored at start, rewritten on every
// change of a path box, and nothing else in it touched.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/window.h"
#include "tests/e2e/driver.h"

namespace mv {
namespace {

using e2e::App;

TEST(Settings, StoredPathsFillTheBoxesAndAreWrittenBackAsTheProfileApiDoes) {
    App app;
    // A quoted value reads back without its quotes, so the write-back of
    // restore shows in the file.
    const std::string original =
        "[other]\r\n搜索路径=别处\r\n\r\n"
        "[zhuce]\r\n搜索路径=\"D:\\数据\\\"\r\n其他=保留\r\n保存路径 = E:\\输出\r\n";
    ASSERT_TRUE(e2e::writeFile(app.configPath(), original));
    // What the profile API makes of the same two writes, on a copy.
    const std::string reference = app.tempDir() + "\\reference.ini";
    ASSERT_TRUE(e2e::writeFile(reference, original));
    WritePrivateProfileStringA("zhuce", "搜索路径", "D:\\数据\\", reference.c_str());
    WritePrivateProfileStringA("zhuce", "保存路径", "E:\\输出", reference.c_str());

    ASSERT_TRUE(app.start());
    EXPECT_EQ(app.text(ctl::kSearchPath), "D:\\数据\\");
    EXPECT_EQ(app.text(ctl::kSavePath), "E:\\输出");
    const std::string written = e2e::readFile(app.configPath());
    EXPECT_EQ(written, e2e::readFile(reference));
    EXPECT_NE(written, original);
    EXPECT_EQ(written.find("[other]\r\n搜索路径=别处\r\n"), 0u);
    EXPECT_NE(written.find("\r\n其他=保留\r\n"), std::string::npos);
}

TEST(Settings, EmptyStoredValuesLeaveTheBoxesAloneAndTheFileUnwritten) {
    App app;
    // Written back, either value would lose its blank or its quotes.
    const std::string original = "[zhuce]\r\n搜索路径 =\r\n保存路径=\"\"\r\n";
    ASSERT_TRUE(e2e::writeFile(app.configPath(), original));
    ASSERT_TRUE(app.start());
    EXPECT_EQ(app.text(ctl::kSearchPath), "");
    EXPECT_EQ(app.text(ctl::kSavePath), "");
    EXPECT_EQ(e2e::readFile(app.configPath()), original);
}

TEST(Settings, NoFileIsCreatedUntilAPathBoxChanges) {
    App app;
    ASSERT_TRUE(app.start());  // the window shows once restore has run
    EXPECT_FALSE(e2e::fileExists(app.configPath()));
    app.type(ctl::kNames, "a.jpg");  // not a path box
    EXPECT_FALSE(e2e::fileExists(app.configPath()));
    app.type(ctl::kSearchPath, "D:\\");
    EXPECT_EQ(e2e::readFile(app.configPath()), "[zhuce]\r\n搜索路径=D:\\\r\n");
}

TEST(Settings, EveryChangeOfTheSavePathBoxRewritesItsKey) {
    App app;
    ASSERT_TRUE(app.start());
    // The file is removed before each change, so each one has to write it.
    for (const char* text : {"E", "E:", "E:\\输", "E:\\输", "E:\\输出", ""}) {
        SCOPED_TRACE(text);
        DeleteFileA(app.configPath().c_str());
        app.type(ctl::kSavePath, text);
        EXPECT_EQ(e2e::readFile(app.configPath()), std::string("[zhuce]\r\n保存路径=") + text + "\r\n");
    }
    // Changes go on into an existing file, key by key.
    app.type(ctl::kSearchPath, "D:\\数据\\");
    app.type(ctl::kSavePath, "E:\\x");
    EXPECT_EQ(e2e::readFile(app.configPath()), "[zhuce]\r\n保存路径=E:\\x\r\n搜索路径=D:\\数据\\\r\n");
}

// The run directory is cut at the last backslash character: here both the
// folder and the program's name end in 誠, whose second byte is 0x5C.
TEST(Settings, TheFileLivesBesideTheProgramWhateverItsName) {
    App app("Settings.RunDirectoryByCharacters", "资料誠", "工具誠.exe");
    ASSERT_TRUE(app.start());
    app.type(ctl::kSavePath, "E:\\out");
    EXPECT_EQ(e2e::readFile(app.configPath()), "[zhuce]\r\n保存路径=E:\\out\r\n");
}

}  // namespace
}  // namespace mv
