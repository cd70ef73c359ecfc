// The result buttons after a real search through the window: the
// not-found list and the program the shell opens it with, the save folder
// in the file browser, and the removal of originals with its boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
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
const char* const kRemovalRefused = "搜索还没有结束，请等它的命令窗口关闭后再删除原路径文件。";
const char* const kNotFoundRefused = "搜索还没有结束，请等它的命令窗口关闭后再查看未搜索到的文件。";
const char* const kSameName = "（有同名的不同文件，副本可能被覆盖）";

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

// Ends whatever the program started (the interpreter, notepad) with the test.
struct EndChildren {
    DWORD pid;
    ~EndChildren() { e2e::endChildren(pid); }
};

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
    HWND box = app_->waitMessageBox("删除原始文件");
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

TEST_F(AfterSearch, FoundListHeldOpenByAnotherProgramIsSaidAndNothingDeleted) {
    const std::string found = e2e::foundListPath(*app_);
    const std::string notFound = app_->runDir() + "\\未搜到文件列表.txt";
    DeleteFileA(notFound.c_str());
    const auto treeBefore = e2e::treeContents(tree_);
    app_->type("保存路径框", save_);
    HANDLE held = CreateFileA(found.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    struct Close {
        HANDLE h;
        ~Close() { CloseHandle(h); }
    } close{held};

    app_->click("按钮_未搜索到文件");
    HWND box = app_->waitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::dialogText(box), "无法读取搜索结果列表：\r\n" + found);
    EXPECT_EQ(e2e::windowText(box), "信息：");
    e2e::press(box, IDOK);
    ASSERT_TRUE(app_->waitDialogsClosed());
    ASSERT_TRUE(e2e::syncWith(*app_));
    EXPECT_FALSE(e2e::fileExists(notFound));
    EXPECT_TRUE(e2e::childProcesses(app_->processId(), "notepad.exe").empty());

    EXPECT_EQ(e2e::confirmRemoval(*app_), "无法读取搜索结果列表：\r\n" + found + "\r\n没有删除任何文件。");
    EXPECT_EQ(e2e::treeContents(tree_), treeBefore);
}

TEST_F(AfterSearch, OkDeletesOnlyOriginalsWithAnIdenticalCopy) {
    app_->type("保存路径框", save_);
    app_->click("按钮_删除原始路径文件");
    HWND confirm = app_->waitMessageBox("删除原始文件");
    ASSERT_NE(confirm, nullptr);
    e2e::press(confirm, IDOK);
    HWND done = app_->waitMessageBox("信息提示！");
    ASSERT_NE(done, nullptr);
    // The folder that matched a name cannot be deleted as a file; the first
    // 同名.txt was overwritten in the save folder by the second one, so
    // neither goes: deleting the second would leave a later search free to
    // copy the first over its only copy.
    EXPECT_EQ(e2e::dialogText(done), "原始文件删除完毕！\r\n已删除 6 个文件，以下 3 个文件未删除：\r\n" + tree_ +
                                         "\\旅行\\相册（无法删除）\r\n" + tree_ +
                                         "\\同名.txt（有同名的不同文件，副本可能被覆盖）\r\n" + tree_ +
                                         "\\旅行\\同名.txt（有同名的不同文件，副本可能被覆盖）");
    EXPECT_TRUE(e2e::hasButton(done, IDOK));
    EXPECT_FALSE(e2e::hasButton(done, IDCANCEL));
    e2e::press(done, IDOK);
    ASSERT_TRUE(app_->waitDialogsClosed());

    // Left: everything the found list does not hold, and the three kept.
    EXPECT_EQ(e2e::treeContents(tree_), e2e::treeMap(e2e::kRoadFolders, {
                                                                            {"docs\\c.jpg", "not below 2024"},
                                                                            {"旅行\\相册\\海边.jpg", "海边"},
                                                                            {"旅行\\相册\\旧\\老.jpg", "老"},
                                                                            {"同名.txt", "甲"},
                                                                            {"旅行\\同名.txt", "乙乙"},
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
    EndChildren cleanUp{app.processId()};

    e2e::ProcessHold hold;
    ASSERT_NE(e2e::startHeldSearch(app, tree + "\\", save, hold), 0u) << "the script was not caught running";

    const auto treeBefore = e2e::treeContents(tree);
    app.click("按钮_删除原始路径文件");
    HWND box = app.waitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::dialogText(box), kRemovalRefused);
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
    HWND confirm = app.waitMessageBox("删除原始文件");
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(e2e::dialogText(confirm), kConfirm);
    e2e::press(confirm, IDCANCEL);
    ASSERT_TRUE(app.waitDialogsClosed());
}

// A window of its own, with an empty save folder beside the run folder;
// the tree to search is the test's.
class OwnWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(app.start());
        base = e2e::testFolder(app);
        tree = base + "\\tree";
        save = base + "\\save";
        ASSERT_TRUE(CreateDirectoryA(save.c_str(), nullptr));
    }
    // Ends whatever the program started: the interpreter, notepad.
    void TearDown() override { e2e::endChildren(app.processId()); }

    App app;
    std::string base, tree, save;
};

// Enough files to keep the script's copy loop busy for seconds.
TEST_F(OwnWindow, NotFoundListIsRefusedWhileTheScriptCopiesAndExactOnceItHasEnded) {
    std::vector<std::string> folders;
    std::vector<e2e::TreeFile> files;
    for (int f = 0; f < 10; ++f) {
        folders.push_back("卷" + std::to_string(f));
        for (int i = f * 100; i < f * 100 + 100; ++i) {
            files.push_back({folders.back() + "\\p" + std::to_string(i) + ".jpg", "照片 " + std::to_string(i)});
        }
    }
    ASSERT_TRUE(e2e::makeTree(tree, folders, files));
    ASSERT_TRUE(e2e::registerTextFiles());
    const std::string notFound = app.runDir() + "\\未搜到文件列表.txt";

    const DWORD start = GetTickCount();
    e2e::startSearch(app, "*.jpg\r\np7.jpg\r\n缺失.jpg\r\np999.jpg\r\n", tree + "\\", save);
    // Caught in its copy loop: every hit listed, not every copy made.
    const size_t hits = files.size() + 2;
    DWORD script = 0;
    ASSERT_TRUE(e2e::waitUntil([&] {
        script = e2e::runningScript(app);
        const std::string found = e2e::readFile(e2e::foundListPath(app));
        return script != 0 && static_cast<size_t>(std::count(found.begin(), found.end(), '\n')) == hits;
    }, 60000)) << "the script's list was not seen complete";
    RecordProperty("click_to_list_ms", static_cast<int>(GetTickCount() - start));
    e2e::ProcessHold hold;
    ASSERT_TRUE(hold.hold(script));
    ASSERT_LT(e2e::folderEntries(save).size(), files.size()) << "the copies ended before the script was held";

    app.click("按钮_未搜索到文件");
    HWND box = app.waitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::dialogText(box), kNotFoundRefused);
    EXPECT_EQ(e2e::windowText(box), "信息：");
    EXPECT_TRUE(e2e::hasButton(box, IDOK));
    EXPECT_FALSE(e2e::hasButton(box, IDCANCEL));
    e2e::press(box, IDOK);
    ASSERT_TRUE(app.waitDialogsClosed());
    ASSERT_TRUE(e2e::syncWith(app));
    EXPECT_FALSE(e2e::fileExists(notFound));
    EXPECT_TRUE(e2e::childProcesses(app.processId(), "notepad.exe").empty());

    hold.release();
    ASSERT_TRUE(e2e::waitScriptEnded(app, 120000));
    RecordProperty("click_to_script_end_ms", static_cast<int>(GetTickCount() - start));
    ASSERT_TRUE(e2e::closeNotice(app));
    EXPECT_EQ(e2e::folderEntries(save).size(), files.size());

    app.click("按钮_未搜索到文件");
    DWORD notepad = e2e::waitChild(app.processId(), "notepad.exe");
    ASSERT_NE(notepad, 0u) << "the shell started no notepad";
    EXPECT_EQ(e2e::readFile(notFound), "*.jpg\r\n缺失.jpg\r\n");
    EXPECT_TRUE(e2e::endProcess(notepad));
}

// The fault this guards against: the 2023 originals deleted in the pause,
// then their copies replaced by the 2024 files of the same names.
TEST_F(OwnWindow, RemovalIsRefusedInTheNextSearchsPauseAndNothingIsLost) {
    const std::string y2023 = base + "\\2023", y2024 = base + "\\2024";
    ASSERT_TRUE(e2e::makeTree(y2023, {}, {{"IMG_0001.jpg", "2023 一"}, {"IMG_0002.jpg", "2023 二"}}));
    ASSERT_TRUE(e2e::makeTree(y2024, {}, {{"IMG_0001.jpg", "2024 一"}, {"IMG_0002.jpg", "2024 二"}}));
    const std::string names = "IMG_0001.jpg\r\nIMG_0002.jpg\r\n";
    ASSERT_TRUE(e2e::runSearch(app, names, y2023 + "\\", save));
    const auto before2023 = e2e::treeContents(y2023);
    const auto before2024 = e2e::treeContents(y2024);

    e2e::startSearch(app, names, y2024 + "\\", save);
    HWND ask = app.waitMessageBox("覆盖同名文件");
    ASSERT_NE(ask, nullptr);
    // Both clicks are queued for the window's thread: the removal's runs in
    // the pause that follows the answer.
    e2e::press(ask, IDOK);
    app.click("按钮_删除原始路径文件");
    HWND box = app.waitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::dialogText(box), kRemovalRefused);
    EXPECT_TRUE(e2e::childProcesses(app.processId(), "cmd.exe").empty()) << "the box came after the pause";
    e2e::press(box, IDOK);
    ASSERT_TRUE(app.waitDialogsClosed());

    const std::string found = y2024 + "\\IMG_0001.jpg\r\n" + y2024 + "\\IMG_0002.jpg\r\n";
    ASSERT_TRUE(e2e::waitUntil([&] {
        return e2e::readFile(e2e::foundListPath(app)) == found && e2e::runningScript(app) == 0;
    }, 60000)) << "the search of 2024 did not run to its end";
    std::string notice;
    ASSERT_TRUE(e2e::closeNotice(app, &notice));
    EXPECT_EQ(notice, "搜索完成，找到 2 个文件。");
    EXPECT_EQ(e2e::treeContents(y2023), before2023);
    EXPECT_EQ(e2e::treeContents(y2024), before2024);
    EXPECT_EQ(e2e::treeContents(save), before2024);
}

// a\x.jpg and b\x.jpg differ; the save folder keeps the copy of b. Deleting
// b would let the next run of the search copy a over b's only copy.
TEST_F(OwnWindow, RemovalKeepsDifferentSameNamedFilesSoTheSameSearchAgainLosesNothing) {
    ASSERT_TRUE(e2e::makeTree(tree, {"a", "b"}, {{"a\\x.jpg", "甲的照片"}, {"b\\x.jpg", "乙的照片"}}));
    const auto before = e2e::treeContents(tree);

    ASSERT_TRUE(e2e::runSearch(app, "x.jpg\r\n", tree + "\\", save));
    EXPECT_EQ(e2e::readFile(save + "\\x.jpg"), "乙的照片");
    EXPECT_EQ(e2e::confirmRemoval(app), "原始文件删除完毕！\r\n已删除 0 个文件，以下 2 个文件未删除：\r\n" + tree +
                                       "\\a\\x.jpg" + kSameName + "\r\n" + tree + "\\b\\x.jpg" + kSameName);

    ASSERT_TRUE(e2e::runSearch(app, "x.jpg\r\n", tree + "\\", save, IDOK));
    EXPECT_EQ(e2e::treeContents(tree), before);
    EXPECT_EQ(e2e::readFile(save + "\\x.jpg"), "乙的照片");
}

// Two names of one file share its sharing rules: holding one for the
// removal refuses the other, which is handled once the first is deleted.
TEST_F(OwnWindow, RemovalDeletesEveryNameOfAHardLinkedFile) {
    ASSERT_TRUE(e2e::makeTree(tree, {"a", "b"}, {{"a\\x.jpg", "同一张"}, {"y.jpg", "另一张"}}));
    ASSERT_TRUE(CreateHardLinkA((tree + "\\b\\x.jpg").c_str(), (tree + "\\a\\x.jpg").c_str(), nullptr));
    ASSERT_TRUE(CreateHardLinkA((tree + "\\z.jpg").c_str(), (tree + "\\y.jpg").c_str(), nullptr));

    ASSERT_TRUE(e2e::runSearch(app, "x.jpg\r\ny.jpg\r\nz.jpg\r\n", tree + "\\", save));
    EXPECT_EQ(e2e::confirmRemoval(app), "原始文件删除完毕！");
    EXPECT_EQ(e2e::treeContents(tree), e2e::treeMap({"a", "b"}, {}));
    EXPECT_EQ(e2e::treeContents(save), e2e::treeMap({}, {{"x.jpg", "同一张"}, {"y.jpg", "另一张"}, {"z.jpg", "另一张"}}));
}

// dir writes a character outside code page 936 as ?, a path no program can
// open; the original stays and the box names it as dir wrote it.
TEST_F(OwnWindow, RemovalKeepsAnOriginalNamedOutsideTheCodePage) {
    ASSERT_TRUE(e2e::makeTree(tree, {}, {{"照片.jpg", "照片"}}));
    // 사진.jpg (Korean for photo), made through the wide API: on disk it is
    // the UTF-8 name a Linux program would make.
    const int n = MultiByteToWideChar(CP_ACP, 0, tree.c_str(), -1, nullptr, 0);
    std::wstring koreanPath(static_cast<size_t>(n - 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, tree.c_str(), -1, &koreanPath[0], n);
    koreanPath += L"\\\uC0AC\uC9C4.jpg";
    HANDLE h = CreateFileW(koreanPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    // The next run's clean-up sees the name as ?? and could not delete it.
    struct Remove {
        const std::wstring& path;
        ~Remove() { DeleteFileW(path.c_str()); }
    } remove{koreanPath};
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, "kr", 2, &written, nullptr));
    CloseHandle(h);

    ASSERT_TRUE(e2e::runSearch(app, "*.jpg\r\n", tree + "\\", save));
    const std::string found = e2e::readFile(e2e::foundListPath(app));
    ASSERT_NE(found.find(tree + "\\??.jpg\r\n"), std::string::npos) << found;

    EXPECT_EQ(e2e::confirmRemoval(app), "原始文件删除完毕！\r\n已删除 1 个文件，以下 1 个文件未删除：\r\n" + tree +
                                       "\\??.jpg（无法读取）");
    EXPECT_FALSE(e2e::fileExists(tree + "\\照片.jpg"));
    EXPECT_EQ(e2e::readFile(save + "\\照片.jpg"), "照片");
    EXPECT_NE(GetFileAttributesW(koreanPath.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace mv
