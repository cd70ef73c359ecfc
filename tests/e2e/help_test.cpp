// The two boxes of the menu: usage help and about.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/window.h"
#include "platform/text.h"
#include "tests/e2e/driver.h"

namespace mv {
namespace {

using e2e::App;

TEST(Help, UsageHelpShowsItsFiveLinesWithOnlyAnOkButton) {
    App app;
    ASSERT_TRUE(app.start());
    app.choose("使用说明");
    HWND box = app.waitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::windowText(box), "使用帮助");
    const std::vector<std::string> expected = {
        "1.首先请将需要搜索的文件名(包含扩展名)粘贴到本软件下方的文本框内，注意：每行必须是一个文件名且包含扩展名.",
        "2.分别选择搜索路径和保存路径.",
        "3.点击开始搜索.",
        "4.待搜索执行完毕，可点击查看按钮查看搜到的文件和未搜索到的文件列表.",
        "5.如果想删除搜索到的文件的原始路径，可以点击删除原路径文件(删除后不可恢复，慎用).",
    };
    std::string text = e2e::dialogText(box);
    EXPECT_EQ(splitCrLf(text), expected);
    EXPECT_EQ(text.size(), 305u);
    EXPECT_TRUE(e2e::hasButton(box, IDOK));
    for (int id : {IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) EXPECT_FALSE(e2e::hasButton(box, id)) << id;
    EXPECT_FALSE(e2e::hasIcon(box));
    // Task-modal: the main window takes no input meanwhile.
    EXPECT_FALSE(IsWindowEnabled(app.window()));
    e2e::press(box, IDOK);
    EXPECT_TRUE(app.waitDialogsClosed());
}

TEST(Help, AboutBoxIsTitledWithTheProgramsName) {
    App app;
    ASSERT_TRUE(app.start());
    app.choose("关于");
    HWND box = app.waitMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::windowText(box), "Morvane");
    // The version is the project's, carried by the built program.
    EXPECT_EQ(e2e::dialogText(box),
              "Morvane 按文件名批量查找并复制文件。\r\n"
              "版本 " MV_VERSION "\r\n"
              "粘贴文件名列表，选择搜索路径和保存路径，即可把找到的文件复制到一处，并列出未找到的文件名。");
    EXPECT_TRUE(e2e::hasButton(box, IDOK));
    EXPECT_FALSE(e2e::hasButton(box, IDCANCEL));
    EXPECT_FALSE(e2e::hasIcon(box));
    e2e::press(box, IDOK);
    ASSERT_TRUE(app.waitDialogsClosed());
    // The window works as before: a change is stored.
    app.type(ctl::kSavePath, "E:\\out");
    EXPECT_EQ(e2e::readFile(app.configPath()), "[zhuce]\r\n保存路径=E:\\out\r\n");
}

// A click that reaches a button while a box is up starts nothing.
TEST(Help, WhileABoxIsOpenTheWindowStartsNoOtherHandler) {
    App app;
    ASSERT_TRUE(app.start());
    app.choose("关于");
    HWND box = app.waitMessageBox();
    ASSERT_NE(box, nullptr);
    app.click("按钮_选择搜索路径");
    app.choose("使用说明");
    e2e::press(box, IDOK);
    ASSERT_TRUE(app.waitDialogsClosed());
    // Both were dropped, not queued: no dialog follows the first.
    app.choose("关于");
    HWND next = app.waitMessageBox();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(e2e::windowText(next), "Morvane");
    e2e::press(next, IDOK);
    EXPECT_TRUE(app.waitDialogsClosed());
}

}  // namespace
}  // namespace mv
