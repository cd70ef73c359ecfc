// Choosing the two folders through the shell's real folder browser, by
// keys in its tree. Wine 8's browser shows no edit field; focus starts on
// OK, Shift+Tab reaches the tree: 桌面, "/", 回收站, 文档, 我的电脑.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "app/window.h"
#include "tests/e2e/driver.h"

namespace mv {
namespace {

using e2e::App;

// The path the shell gives for the tree's 文档 item (Wine ends it in a
// backslash).
std::string documentsAsTheShellGivesIt() {
    PIDLIST_ABSOLUTE item = nullptr;
    char path[MAX_PATH] = "";
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_MYDOCUMENTS, &item))) {
        SHGetPathFromIDListA(item, path);
        CoTaskMemFree(item);
    }
    return path;
}

std::string withOneTrailingBackslash(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path + "\\";
}

std::string stored(const App& app, const char* key) {
    char value[1024] = "";
    GetPrivateProfileStringA("zhuce", key, "<none>", value, sizeof value, app.configPath().c_str());
    return value;
}

struct Pick {
    const char* what;
    const char* keys;
    std::string search;  // the search path box afterwards
    std::string save;    // the save path box afterwards
};

std::vector<Pick> picks() {
    const std::string documents = documentsAsTheShellGivesIt();
    return {
        {"文档", "shift+Tab Down Down Down Return", withOneTrailingBackslash(documents), documents},
        {"C:", "shift+Tab Down Down Down Down Right Down Return", "C:\\", "C:\\"},
        {"我的电脑", "shift+Tab Down Down Down Down Return", "\\", ""},  // no file-system path
        {"Cancel", "Escape", "\\", ""},
    };
}

struct Source {
    const char* name;
    bool menu;  // a menu item caption, else a button name
    const char* prompt;
    const char* box;
    const char* key;
};

const Source kSources[] = {
    {"按钮_选择搜索路径", false, "搜索路径", ctl::kSearchPath, "搜索路径"},
    {"选择搜索路径", true, "搜索路径", ctl::kSearchPath, "搜索路径"},
    {"按钮_选择保存路径", false, "保存路径", ctl::kSavePath, "保存路径"},
    {"选择保存路径", true, "保存路径", ctl::kSavePath, "保存路径"},
};

class FolderChoice : public ::testing::TestWithParam<Source> {};

TEST_P(FolderChoice, ThroughTheRealBrowser) {
    const Source& source = GetParam();
    const bool search = std::string(source.box) == ctl::kSearchPath;
    ASSERT_FALSE(documentsAsTheShellGivesIt().empty());
    App app;
    ASSERT_TRUE(app.start());
    for (const Pick& pick : picks()) {
        SCOPED_TRACE(pick.what);
        app.type(source.box, "X:\\before");
        ASSERT_TRUE(e2e::waitUntil([&] { return GetForegroundWindow() == app.window(); }));
        if (source.menu) {
            app.choose(source.name);
        } else {
            app.click(source.name);
        }
        HWND dialog = app.waitFolderBrowser();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(e2e::dialogText(dialog), source.prompt);  // above the tree
        EXPECT_NE(e2e::windowText(dialog), source.prompt);  // not the title
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), app.window());
        EXPECT_FALSE(IsWindowEnabled(app.window()));
        ASSERT_TRUE(e2e::pressKeys(pick.keys));
        ASSERT_TRUE(app.waitDialogsClosed());
        const std::string& expected = search ? pick.search : pick.save;
        EXPECT_EQ(app.text(source.box), expected);
        EXPECT_EQ(stored(app, source.key), expected);
        EXPECT_TRUE(e2e::waitUntil([&] { return GetForegroundWindow() == app.window(); }));
    }
}

INSTANTIATE_TEST_SUITE_P(ButtonsAndMenuItems, FolderChoice, ::testing::ValuesIn(kSources),
                         [](const ::testing::TestParamInfo<Source>& info) {
                             return std::string(info.param.menu ? "Menu" : "Button") +
                                    (std::string(info.param.box) == ctl::kSearchPath ? "Search" : "Save");
                         });

}  // namespace
}  // namespace mv
