// The result buttons after a real search through the window: the
// not-found list and the program the shell opens it with, the save folder
// in the file browser, and the removal of originals with its boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/tree_fixture.h"

namespace mv {
namespace {

using e2e::App;

const char* const kConfirm = "您确定要删除原始路径文件吗？删除后无法恢复，请慎重！";

bool startsWith(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// True once the process shows a window whose title begins with head.
bool waitTitle(DWORD pid, const std::string& head) {
    return e2e::waitUntil([&] {
        for (const std::string& t : e2e::windowTitles(pid)) {
            if (startsWith(t, head)) return true;
        }
        return false;
    });
}

// A message box of the program with this title, or nullptr.
HWND waitBoxTitled(const App& app, const std::string& title) {
    HWND box = nullptr;
    e2e::waitUntil([&] {
        box = app.waitMessageBox(0);
        return box && e2e::windowText(box) == title;
    });
    return box && e2e::windowText(box) == title ? box : nullptr;
}

// One search over the road's tree serves every test of the suite: none of
// them changes the found list, and only the removal with OK the tree.
class AfterSearch : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        app_ = new App("AfterSearch");
        const std::string base = app_->runDir().substr(0, app_->runDir().rfind('\\'));
        tree_ = base + "\\tree";
        save_ = base + "\\save";
        ready_ = app_->start() && e2e::makeTree(tree_, e2e::kRoadFolders, e2e::kRoadFiles) &&
                 CreateDirectoryA(save_.c_str(), nullptr) &&
                 e2e::runSearch(*app_, e2e::kRoadNames, tree_ + "\\", save_);
    }
    static void TearDownTestSuite() {
        e2e::endChildren(app_->processId());
        delete app_;
        app_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(ready_) << "the search over the tree did not run to its end"; }
    // Ends what the shell opened for the test.
    void TearDown() override { e2e::endChildren(app_->processId()); }

    static App* app_;
    static std::string tree_, save_;
    static bool ready_;
};

App* AfterSearch::app_ = nullptr;
std::string AfterSearch::tree_;
std::string AfterSearch::save_;
bool AfterSearch::ready_ = false;

TEST_F(AfterSearch, NotFoundListHoldsTheUnmatchedNamesAndOpensInNotepad) {
    ASSERT_TRUE(e2e::registerTextFiles());
    const std::string path = app_->runDir() + "\\未搜到文件列表.txt";
    app_->click("按钮_未搜索到文件");
    DWORD notepad = e2e::waitChild(app_->processId(), "notepad.exe");
    ASSERT_NE(notepad, 0u) << "the shell started no notepad";

    // A wildcard name is listed: its text is in no found path.
    EXPECT_EQ(e2e::readFile(path), e2e::kRoadNotFound);
    EXPECT_NE(e2e::commandLine(notepad).find(path), std::string::npos) << e2e::commandLine(notepad);
    EXPECT_TRUE(waitTitle(notepad, "未搜到文件列表.txt"));
    EXPECT_TRUE(e2e::endProcess(notepad));
}

TEST_F(AfterSearch, ViewOpensTheFolderNowInTheSavePathBox) {
    // The second folder is typed after the search: the box's text is opened.
    const std::string other = tree_ + "\\旅行\\乗換";
    struct Case {
        std::string folder, title;
    };
    for (const Case& c : {Case{save_, "save"}, Case{other, "乗換"}}) {
        SCOPED_TRACE(c.folder);
        app_->type("保存路径框", c.folder);
        app_->click("按钮_查看搜索保存结果");
        DWORD browser = e2e::waitChild(app_->processId(), "explorer.exe");
        ASSERT_NE(browser, 0u) << "the shell started no file browser";
        EXPECT_TRUE(endsWith(e2e::commandLine(browser), "\"" + c.folder + "\"")) << e2e::commandLine(browser);
        EXPECT_TRUE(waitTitle(browser, c.title));
        EXPECT_TRUE(e2e::endProcess(browser));
        EXPECT_EQ(app_->waitMessageBox(0), nullptr);
    }
    app_->type("保存路径框", save_);
}

TEST_F(AfterSearch, CancelAtTheConfirmationDeletesNothing) {
    const auto treeBefore = e2e::treeContents(tree_);
    const auto saveBefore = e2e::treeContents(save_);
    app_->type("保存路径框", save_);
    app_->click("按钮_删除原始路径文件");
    HWND box = waitBoxTitled(*app_, "删除原始文件");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::dialogText(box), kConfirm);
    EXPECT_TRUE(e2e::hasButton(box, IDOK));
    EXPECT_TRUE(e2e::hasButton(box, IDCANCEL));
    e2e::press(box, IDCANCEL);
    ASSERT_TRUE(app_->waitDialogsClosed());
    // A completion box would be up by now.
    ASSERT_TRUE(e2e::syncWith(*app_));
    EXPECT_EQ(app_->waitMessageBox(0), nullptr);

    EXPECT_EQ(e2e::treeContents(tree_), treeBefore);
    EXPECT_EQ(e2e::treeContents(save_), saveBefore);
}

TEST_F(AfterSearch, OkDeletesOnlyOriginalsWithAnIdenticalCopy) {
    app_->type("保存路径框", save_);
    app_->click("按钮_删除原始路径文件");
    HWND confirm = waitBoxTitled(*app_, "删除原始文件");
    ASSERT_NE(confirm, nullptr);
    e2e::press(confirm, IDOK);
    HWND done = waitBoxTitled(*app_, "信息提示！");
    ASSERT_NE(done, nullptr);
    // The folder that matched a name cannot be deleted as a file; the first
    // 同名.txt was overwritten in the save folder by the second one.
    EXPECT_EQ(e2e::dialogText(done), "原始文件删除完毕！\r\n已删除 7 个文件，以下 2 个文件未删除：\r\n" + tree_ +
                                         "\\旅行\\相册（无法删除）\r\n" + tree_ +
                                         "\\同名.txt（保存路径中没有相同的副本）");
    EXPECT_TRUE(e2e::hasButton(done, IDOK));
    EXPECT_FALSE(e2e::hasButton(done, IDCANCEL));
    e2e::press(done, IDOK);
    ASSERT_TRUE(app_->waitDialogsClosed());

    // Left: everything the found list does not hold, and the two kept.
    EXPECT_EQ(e2e::treeContents(tree_), e2e::treeMap(e2e::kRoadFolders, {
                                                                            {"docs\\c.jpg", "not below 2024"},
                                                                            {"旅行\\相册\\海边.jpg", "海边"},
                                                                            {"旅行\\相册\\旧\\老.jpg", "老"},
                                                                            {"同名.txt", "甲"},
                                                                        }));
    EXPECT_EQ(e2e::treeContents(save_), e2e::roadCopies());
}

// A search of its own, held while it runs.
TEST(RemovalWhileSearching, IsRefusedUntilTheScriptHasEnded) {
    App app;
    ASSERT_TRUE(app.start());
    const std::string base = e2e::testFolder(app);
    const std::string tree = base + "\\tree", save = base + "\\save";
    ASSERT_TRUE(e2e::makeTree(tree, e2e::kRoadFolders, e2e::kRoadFiles));
    ASSERT_TRUE(CreateDirectoryA(save.c_str(), nullptr));
    struct EndChildren {
        DWORD pid;
        ~EndChildren() { e2e::endChildren(pid); }
    } cleanUp{app.processId()};

    e2e::ProcessHold hold;
    ASSERT_NE(e2e::startHeldSearch(app, tree + "\\", save, hold), 0u) << "the script was not caught running";

    const auto treeBefore = e2e::treeContents(tree);
    app.click("按钮_删除原始路径文件");
    HWND box = app.waitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::dialogText(box), "搜索还没有结束，请等它的命令窗口关闭后再删除原路径文件。");
    EXPECT_EQ(e2e::windowText(box), "信息：");
    e2e::press(box, IDOK);
    ASSERT_TRUE(app.waitDialogsClosed());
    ASSERT_TRUE(e2e::syncWith(app));
    EXPECT_EQ(app.waitMessageBox(0), nullptr);
    EXPECT_EQ(e2e::treeContents(tree), treeBefore);

    hold.release();
    ASSERT_TRUE(e2e::waitScriptEnded(app));
    ASSERT_TRUE(e2e::closeNotice(app));
    // Now the removal asks.
    app.click("按钮_删除原始路径文件");
    HWND confirm = waitBoxTitled(app, "删除原始文件");
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(e2e::dialogText(confirm), kConfirm);
    e2e::press(confirm, IDCANCEL);
    ASSERT_TRUE(app.waitDialogsClosed());
}

}  // namespace
}  // namespace mv
