#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <set>
#include <string>

#include "app/settings.h"
#include "app/window.h"
#include "help/help.h"
#include "results/notice.h"
#include "results/remove.h"
#include "results/review.h"
#include "search/search_job.h"

namespace mv {
namespace {

const WindowDesc& w = mainWindow();

TEST(WindowDescription, Window) {
    EXPECT_STREQ(w.caption, "Morvane");
    EXPECT_EQ(w.width, 312);
    EXPECT_EQ(w.height, 458);
}

TEST(WindowDescription, MenuItemsInOrder) {
    struct Row {
        const char* menu;
        const char* item;
    } expected[] = {{"设置", "选择搜索路径"}, {"设置", "选择保存路径"}, {"设置", "关于"}, {"帮助", "使用说明"}};
    ASSERT_EQ(w.menu.count, 4u);
    std::set<int> ids;
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_STREQ(w.menu.rows[i].menu, expected[i].menu);
        EXPECT_STREQ(w.menu.rows[i].item, expected[i].item);
        ids.insert(w.menu.rows[i].id);
    }
    EXPECT_EQ(ids.size(), 4u);
}

TEST(WindowDescription, ControlsInCreationOrder) {
    struct Row {
        Kind kind;
        const char* name;
        int left, top, width, height;
        const char* text;
        bool visible, enabled;
        const char* container;
    } expected[] = {
        {Kind::EditBox, "批处理框", 11, 3, 256, 2, kBatchTemplate, false, true, nullptr},
        {Kind::Button, "按钮_开始搜索", 16, 337, 64, 25, "开始搜索", true, true, nullptr},
        {Kind::EditBox, "搜索路径框", 91, 7, 157, 25, "", true, true, nullptr},
        {Kind::EditBox, "保存路径框", 91, 37, 157, 25, "", true, true, nullptr},
        {Kind::Label, "标签2", 27, 7, 55, 25, "搜索路径：", true, true, nullptr},
        {Kind::Label, "标签3", 27, 37, 55, 25, "保存路径：", true, true, nullptr},
        {Kind::Button, "按钮_选择搜索路径", 257, 7, 32, 24, "<<<", true, true, nullptr},
        {Kind::Button, "按钮_选择保存路径", 257, 37, 32, 24, "<<<", true, true, nullptr},
        {Kind::EditBox, "编辑框1", 16, 120, 272, 210, "", true, true, nullptr},
        {Kind::Button, "按钮_查看搜索保存结果", 81, 337, 104, 25, "查看搜索到的文件", true, false, nullptr},
        {Kind::Button, "按钮_删除原始路径文件", 16, 368, 192, 24, "删除原路径文件(慎重：不可恢复)", true, false, nullptr},
        {Kind::Button, "按钮_未搜索到文件", 186, 337, 102, 25, "未搜索到的文件", true, false, nullptr},
        {Kind::GroupBox, "分组框1", 5, 61, 296, 55, "", true, true, nullptr},
        {Kind::Label, "标签1", 8, 11, 283, 40,
         " 将要搜索的文件名(含扩展名)输入到下面文本框。\r\n\r\n 注意：每行只能一个文件名。", true, true, "分组框1"},
    };
    ASSERT_EQ(w.controls.count, 14u);
    std::set<int> ids;
    for (size_t i = 0; i < 14; ++i) {
        const ControlDesc& c = w.controls.rows[i];
        const Row& e = expected[i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(c.kind, e.kind);
        EXPECT_STREQ(c.name, e.name);
        EXPECT_EQ(c.left, e.left);
        EXPECT_EQ(c.top, e.top);
        EXPECT_EQ(c.width, e.width);
        EXPECT_EQ(c.height, e.height);
        EXPECT_STREQ(c.text, e.text);
        EXPECT_EQ(c.visible, e.visible);
        EXPECT_EQ(c.enabled, e.enabled);
        if (e.container) {
            ASSERT_NE(c.container, nullptr);
            EXPECT_STREQ(c.container, e.container);
        } else {
            EXPECT_EQ(c.container, nullptr);
        }
        ids.insert(c.id);
    }
    EXPECT_EQ(ids.size(), 14u);
    EXPECT_EQ(std::strlen(kBatchTemplate), 369u);
}

TEST(WindowDescription, EditBoxSettings) {
    EXPECT_EQ(findControl(w, "编辑框1")->options, unsigned(kMultiLine | kHScroll | kVScroll | kNoWrap | kWantReturn));
    EXPECT_EQ(findControl(w, "批处理框")->options, unsigned(kMultiLine | kVScroll));
    EXPECT_EQ(findControl(w, "搜索路径框")->options, 0u);
    EXPECT_EQ(findControl(w, "保存路径框")->options, 0u);
}

TEST(WindowDescription, BindingsAreTheEventTable) {
    struct Row {
        const char* source;
        Event event;
        Handler handler;
    } expected[] = {
        {"", Event::Created, restoreSettings},
        {"", Event::ProgramEnded, showSearchNotice},
        {"按钮_选择搜索路径", Event::Clicked, chooseSearchFolder},
        {"选择搜索路径", Event::Chosen, chooseSearchFolder},
        {"按钮_选择保存路径", Event::Clicked, chooseSaveFolder},
        {"选择保存路径", Event::Chosen, chooseSaveFolder},
        {"搜索路径框", Event::Changed, rememberSearchPath},
        {"保存路径框", Event::Changed, rememberSavePath},
        {"按钮_开始搜索", Event::Clicked, runSearchJob},
        {"按钮_查看搜索保存结果", Event::Clicked, viewFoundFiles},
        {"按钮_未搜索到文件", Event::Clicked, makeNotFoundList},
        {"按钮_删除原始路径文件", Event::Clicked, removeOriginals},
        {"关于", Event::Chosen, showAbout},
        {"使用说明", Event::Chosen, showUsageHelp},
    };
    ASSERT_EQ(w.bindings.count, std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].source);
        EXPECT_STREQ(w.bindings.rows[i].source, expected[i].source);
        EXPECT_EQ(w.bindings.rows[i].event, expected[i].event);
        EXPECT_EQ(w.bindings.rows[i].handler, expected[i].handler);
    }
}

TEST(WindowDescription, NamesAreUniqueAndBindingsReachRealSources) {
    std::set<std::string> names;
    for (const ControlDesc& c : w.controls) EXPECT_TRUE(names.insert(c.name).second) << c.name;
    for (const ControlDesc& c : w.controls) {
        if (c.container) {
            EXPECT_TRUE(names.count(c.container)) << c.name;
        }
    }
    std::set<std::string> items;
    for (const MenuItemDesc& m : w.menu) EXPECT_TRUE(items.insert(m.item).second) << m.item;
    for (const BindingDesc& b : w.bindings) {
        const ControlDesc* c = findControl(w, b.source);
        switch (b.event) {
            case Event::Created:
            case Event::ProgramEnded: EXPECT_STREQ(b.source, kWindowSource); break;
            case Event::Chosen: EXPECT_TRUE(items.count(b.source)) << b.source; break;
            case Event::Clicked: ASSERT_NE(c, nullptr); EXPECT_EQ(c->kind, Kind::Button); break;
            case Event::Changed: ASSERT_NE(c, nullptr); EXPECT_EQ(c->kind, Kind::EditBox); break;
        }
    }
}

}  // namespace
}  // namespace mv
