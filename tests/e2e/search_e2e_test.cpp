// The search road through the real window: names and paths typed, 开始搜索
// clicked, the script run by the interpreter on a real folder tree, and
// the found list, the copies and the buttons checked byte for byte.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/tree_fixture.h"

namespace mv {
namespace {

using e2e::App;

const char* const kBusy = "上一次搜索还没有结束，请等它的命令窗口关闭后再开始新的搜索。";

// Lines of a text cut at CR LF, each with its CR LF kept, so a missing or
// extra line end shows.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        end = end == std::string::npos ? text.size() : end + 2;
        out.push_back(text.substr(start, end - start));
        start = end;
    }
    return out;
}

// The road's names followed by many that match nothing: each costs the
// script a walk of the tree, so it is still at work when the test looks.
class Search : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(app.start());
        base = e2e::testFolder(app);
        tree = base + "\\tree";
        save = base + "\\save";
        ASSERT_TRUE(e2e::makeTree(tree, e2e::kRoadFolders, e2e::kRoadFiles));
        ASSERT_TRUE(CreateDirectoryA(save.c_str(), nullptr));
    }
    // Whatever the program started (the interpreter above all) ends with the test.
    void TearDown() override { e2e::endChildren(app.processId()); }

    std::string foundText() const {
        std::string text;
        for (const std::string& line : e2e::kRoadFound) text += tree + "\\" + line + "\r\n";
        return text;
    }
    std::string scriptPath() const { return app.tempDir() + "\\XXXX.BAT"; }
    std::string namesPath() const { return app.tempDir() + "\\file.txt"; }

    App app;
    std::string base, tree, save;
};

TEST_F(Search, RoadListsEveryHitInOrderAndCopiesIt) {
    for (const char* b : e2e::kResultButtons) EXPECT_FALSE(IsWindowEnabled(app.control(b))) << b;

    const DWORD start = GetTickCount();
    std::string notice;
    ASSERT_TRUE(e2e::runSearch(app, e2e::kRoadNames, tree + "\\", save, 0, &notice));
    RecordProperty("click_to_script_end_ms", static_cast<int>(GetTickCount() - start));
    // Nine hits, two names without one, and 同名.txt twice: one copy left.
    EXPECT_EQ(notice, "搜索完成，找到 9 个文件。\r\n有 2 个文件名没有找到，请点击“未搜索到的文件”查看。\r\n"
                      "有 1 个找到的文件与别的文件同名，保存路径中只留下了最后复制的一个。");

    const std::string found = e2e::readFile(e2e::foundListPath(app));
    EXPECT_EQ(lines(found), lines(foundText()));
    EXPECT_EQ(found, foundText());
    EXPECT_EQ(e2e::treeContents(save), e2e::roadCopies());
    // The search only reads the originals.
    EXPECT_EQ(e2e::treeContents(tree), e2e::treeMap(e2e::kRoadFolders, e2e::kRoadFiles));
    EXPECT_EQ(e2e::readFile(namesPath()), e2e::kRoadNames);
    EXPECT_TRUE(e2e::resultButtonsEnabled(app));
}

TEST_F(Search, EmptyNamesListIsRefusedBeforeAnyScript) {
    e2e::startSearch(app, "", tree + "\\", save);
    HWND box = app.waitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::dialogText(box), "您没有输入任何要搜索的文件名");
    EXPECT_EQ(e2e::windowText(box), "信息：");
    EXPECT_TRUE(e2e::hasButton(box, IDOK));
    EXPECT_FALSE(e2e::hasButton(box, IDCANCEL));
    e2e::press(box, IDOK);
    ASSERT_TRUE(app.waitDialogsClosed());

    // The names file is written before the checks; nothing after them.
    EXPECT_TRUE(e2e::fileExists(namesPath()));
    EXPECT_EQ(e2e::readFile(namesPath()), "");
    EXPECT_FALSE(e2e::fileExists(scriptPath()));
    EXPECT_FALSE(e2e::fileExists(e2e::foundListPath(app)));
    for (const char* b : e2e::kResultButtons) EXPECT_FALSE(IsWindowEnabled(app.control(b))) << b;
    EXPECT_EQ(e2e::treeContents(save), (std::map<std::string, std::string>{}));
}

TEST_F(Search, SecondStartWhileTheScriptRunsIsRefused) {
    const std::string names = e2e::longNames();
    e2e::ProcessHold hold;
    DWORD script = e2e::startHeldSearch(app, tree + "\\", save, hold);
    ASSERT_NE(script, 0u) << "the script was not caught running";

    e2e::startSearch(app, "照片.jpg", tree + "\\", save);
    HWND box = app.waitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::dialogText(box), kBusy);
    EXPECT_EQ(e2e::windowText(box), "信息：");
    e2e::press(box, IDOK);
    ASSERT_TRUE(app.waitDialogsClosed());
    ASSERT_TRUE(e2e::syncWith(app));

    // The running script reads the names file: it stays as the first job wrote it.
    EXPECT_EQ(e2e::readFile(namesPath()), names);
    EXPECT_EQ(e2e::childProcesses(app.processId(), "cmd.exe"), std::vector<DWORD>{script});

    hold.release();
    ASSERT_TRUE(e2e::waitScriptEnded(app));
    ASSERT_TRUE(e2e::closeNotice(app));
    EXPECT_EQ(e2e::readFile(e2e::foundListPath(app)), foundText());
    EXPECT_EQ(e2e::treeContents(save), e2e::roadCopies());

    // Once it has ended, the same click starts a new search (whose copy
    // would replace the first one's, so it asks first).
    ASSERT_TRUE(e2e::runSearch(app, "照片.jpg\r\n", tree + "\\", save, IDOK));
    EXPECT_EQ(e2e::readFile(e2e::foundListPath(app)), tree + "\\照片.jpg\r\n");
    EXPECT_EQ(app.waitMessageBox(0), nullptr);
}

TEST_F(Search, SavePathsWithBatchCharactersGetTheCopies) {
    // Unescaped, R&D would end the set at R and 50%off% would lose %off%.
    const std::vector<std::string> folders = {"R&D", "涨价50%off%", "a^b"};
    std::vector<std::string> expected = {"run", "save", "temp", "tree"};
    for (const std::string& name : folders) {
        SCOPED_TRACE(name);
        const std::string target = base + "\\" + name;
        ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
        ASSERT_TRUE(e2e::runSearch(app, "同名.txt\r\n2024\\c.jpg\r\n", tree + "\\", target));
        EXPECT_EQ(e2e::treeContents(target), (std::map<std::string, std::string>{
                                                 {"同名.txt", "乙乙"},
                                                 {"c.jpg", "c of 2024"},
                                             }));
        expected.push_back(name);
    }
    // No stray file where a broken path would have put the copies.
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(e2e::folderEntries(base), expected);
    EXPECT_EQ(e2e::treeContents(save), (std::map<std::string, std::string>{}));
}

// The script ends while the about box is up: the notice waits for it.
TEST_F(Search, NoticeWaitsForAnOpenBox) {
    e2e::ProcessHold hold;
    ASSERT_NE(e2e::startHeldSearch(app, tree + "\\", save, hold), 0u) << "the script was not caught running";
    app.choose("关于");
    HWND about = app.waitMessageBox("Morvane");
    ASSERT_NE(about, nullptr);
    hold.release();
    ASSERT_TRUE(e2e::waitScriptEnded(app));
    EXPECT_EQ(app.waitMessageBox(e2e::kNoticeTitle, 1500), nullptr);
    EXPECT_TRUE(IsWindowVisible(about));
    e2e::press(about, IDOK);
    std::string notice;
    ASSERT_TRUE(e2e::closeNotice(app, &notice));
    EXPECT_EQ(notice.rfind("搜索完成，找到 9 个文件。\r\n有 1002 个文件名没有找到", 0), 0u) << notice;
    // Once per script.
    EXPECT_EQ(app.waitMessageBox(1000), nullptr);
}

// Paths a search cannot serve are refused before any script is written.
TEST_F(Search, PathsItCannotServeAreRefusedAndNothingRuns) {
    const std::string file = base + "\\out.jpg";
    const std::string bytes = std::string("keep\0me\r\n", 9);
    ASSERT_TRUE(e2e::writeFile(file, bytes));
    struct Case {
        std::string search, save, message;
    } cases[] = {
        {tree + "\\", file, "保存路径不是一个已存在的文件夹：\r\n" + file},
        // A cancelled folder choice leaves this: the whole current drive.
        {"\\", save, "搜索路径不是一个已存在的文件夹：\r\n\\"},
        {base + "\\tree2\\", save, "搜索路径不是一个已存在的文件夹：\r\n" + base + "\\tree2\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.search + " -> " + c.save);
        e2e::startSearch(app, e2e::kRoadNames, c.search, c.save);
        HWND box = app.waitMessageBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(e2e::dialogText(box), c.message);
        EXPECT_EQ(e2e::windowText(box), "信息：");
        e2e::press(box, IDOK);
        ASSERT_TRUE(app.waitDialogsClosed());
        ASSERT_TRUE(e2e::syncWith(app));

        EXPECT_EQ(e2e::readFile(file), bytes);
        EXPECT_FALSE(e2e::fileExists(scriptPath()));
        EXPECT_FALSE(e2e::fileExists(e2e::foundListPath(app)));
        EXPECT_EQ(e2e::childProcesses(app.processId(), "cmd.exe"), std::vector<DWORD>{});
        for (const char* b : e2e::kResultButtons) EXPECT_FALSE(IsWindowEnabled(app.control(b))) << b;
    }
}

// Search the 2023 archive, remove the originals (the save folder now holds
// the only copy), then search the 2024 archive for the same name.
TEST_F(Search, SameNameFromAnotherFolderAsksBeforeReplacingTheOnlyCopy) {
    const std::string y2023 = base + "\\2023", y2024 = base + "\\2024";
    ASSERT_TRUE(e2e::makeTree(y2023, {}, {{"IMG_0001.JPG", "picture of 2023"}}));
    ASSERT_TRUE(e2e::makeTree(y2024, {}, {{"IMG_0001.JPG", "picture of 2024"}}));
    ASSERT_TRUE(e2e::runSearch(app, "IMG_0001.JPG\r\n", y2023 + "\\", save));
    ASSERT_NE(e2e::confirmRemoval(app), "");
    ASSERT_FALSE(e2e::fileExists(y2023 + "\\IMG_0001.JPG"));
    const std::string found = e2e::readFile(e2e::foundListPath(app));

    e2e::startSearch(app, "img_0001.jpg\r\n", y2024 + "\\", save);
    HWND box = app.waitMessageBox(e2e::kOverwriteTitle);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::dialogText(box),
              "保存路径中已有 1 个同名文件，搜索到的同名文件会覆盖它们，覆盖后无法恢复：\r\nIMG_0001.JPG\r\n要继续搜索吗？");
    EXPECT_TRUE(e2e::hasButton(box, IDOK));
    EXPECT_TRUE(e2e::hasButton(box, IDCANCEL));
    e2e::press(box, IDCANCEL);
    ASSERT_TRUE(app.waitDialogsClosed());
    ASSERT_TRUE(e2e::syncWith(app));

    EXPECT_EQ(e2e::treeContents(save), (std::map<std::string, std::string>{{"IMG_0001.JPG", "picture of 2023"}}));
    EXPECT_EQ(e2e::readFile(e2e::foundListPath(app)), found);
    EXPECT_EQ(e2e::childProcesses(app.processId(), "cmd.exe"), std::vector<DWORD>{});
    EXPECT_EQ(e2e::readFile(y2024 + "\\IMG_0001.JPG"), "picture of 2024");
}

// A script whose window has gone still runs: a new window must see it.
TEST_F(Search, NewWindowWaitsForTheScriptOfAClosedOne) {
    e2e::ProcessHold hold;
    DWORD script = e2e::startHeldSearch(app, tree + "\\", save, hold);
    ASSERT_NE(script, 0u) << "the script was not caught running";
    PostMessageA(app.window(), WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(app.waitExit(&code));
    // A window that has closed says nothing when its script ends.

    App second(app, "run2");
    ASSERT_TRUE(second.start());
    const std::string other = base + "\\save2";
    ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
    e2e::startSearch(second, "照片.jpg\r\n", tree + "\\", other);
    HWND box = second.waitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::dialogText(box), kBusy);
    e2e::press(box, IDOK);
    ASSERT_TRUE(second.waitDialogsClosed());
    ASSERT_TRUE(e2e::syncWith(second));
    EXPECT_EQ(e2e::childProcesses(second.processId(), "cmd.exe"), std::vector<DWORD>{});

    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, script);
    ASSERT_NE(process, nullptr);
    hold.release();
    EXPECT_EQ(WaitForSingleObject(process, 60000), WAIT_OBJECT_0);
    CloseHandle(process);
    EXPECT_EQ(e2e::treeContents(save), e2e::roadCopies());
    // Nor does the second window: the script was not its own.
    EXPECT_EQ(second.waitMessageBox(2000), nullptr);

    ASSERT_TRUE(e2e::runSearch(second, "照片.jpg\r\n", tree + "\\", other));
    EXPECT_EQ(e2e::treeContents(other), (std::map<std::string, std::string>{{"照片.jpg", e2e::roadCopies()["照片.jpg"]}}));
    e2e::endChildren(second.processId());
}

// Esc in the second before the script starts closes the window; the
// script must not start after it.
TEST_F(Search, ClosedInThePauseStartsNoScript) {
    e2e::startSearch(app, e2e::kRoadNames, tree + "\\", save);
    PostMessageA(app.window(), WM_KEYDOWN, VK_ESCAPE, 0);
    DWORD code = 1;
    ASSERT_TRUE(app.waitExit(&code));
    EXPECT_EQ(code, 0u);
    // The script was written before the pause; nothing ran it.
    EXPECT_TRUE(e2e::fileExists(scriptPath()));
    EXPECT_EQ(e2e::childProcesses(app.processId(), "cmd.exe"), std::vector<DWORD>{});
    EXPECT_FALSE(e2e::waitUntil([&] { return e2e::fileExists(e2e::foundListPath(app)); }, 3000));
    EXPECT_EQ(e2e::treeContents(save), (std::map<std::string, std::string>{}));
}

}  // namespace
}  // namespace mv
