#include <gtest/gtest.h>

#include <cstring>

#include "help/help.h"
#include "platform/text.h"
#include "tests/unit/fake_runtime.h"

namespace mv {
namespace {

TEST(UsageHelp, FiveLinesOf305Bytes) {
    Text text = kUsageText;
    EXPECT_EQ(text.size(), 305u);
    std::vector<Text> lines = splitCrLf(text);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "2.分别选择搜索路径和保存路径.");
    EXPECT_EQ(lines[2], "3.点击开始搜索.");
    EXPECT_EQ(lines[4], "5.如果想删除搜索到的文件的原始路径，可以点击删除原路径文件(删除后不可恢复，慎用).");
    EXPECT_NE(text.substr(text.size() - 2), "\r\n");
    // ASCII step numbers and parentheses, full-width comma and colon.
    EXPECT_EQ(lines[0].substr(0, 2), "1.");
    EXPECT_NE(lines[0].find("\xa3\xac"), Text::npos);  // ，
    EXPECT_NE(lines[0].find("\xa3\xba"), Text::npos);  // ：
    EXPECT_NE(lines[0].find("(包含扩展名)"), Text::npos);
}

TEST(HelpMenu, BoxesHaveOneOkButtonAndTheirTitles) {
    FakeRuntime rt;
    rt.start();
    rt.choose("使用说明");
    rt.choose("关于");
    ASSERT_EQ(rt.boxes.size(), 2u);
    EXPECT_EQ(rt.boxes[0].text, kUsageText);
    EXPECT_EQ(rt.boxes[0].title, "使用帮助");
    EXPECT_EQ(rt.boxes[0].flags, 0u);
    // The about text, byte for byte, with the version the build gives.
    EXPECT_EQ(rt.boxes[1].text,
              "Morvane 按文件名批量查找并复制文件。\r\n"
              "版本 " MV_VERSION "\r\n"
              "粘贴文件名列表，选择搜索路径和保存路径，即可把找到的文件复制到一处，并列出未找到的文件名。");
    EXPECT_EQ(rt.boxes[1].title, "Morvane");
    EXPECT_EQ(rt.boxes[1].flags, 0u);
}

}  // namespace
}  // namespace mv
