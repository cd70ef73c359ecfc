#include <gtest/gtest.h>

#include "app/window.h"
#include "results/notice.h"
#include "tests/unit/fake_runtime.h"

namespace mv {
namespace {

const char* const kFoundList = "D:\\tools\\UM7Y9X4K.txt";

// A window whose search has been started; the test plays the script.
struct Notice : ::testing::Test {
    FakeRuntime rt;
    void SetUp() override {
        rt.putFolder("D:\\pics");
        rt.putFolder("E:\\out");
        rt.start();
    }
    void search(const Text& names) {
        rt.search("D:\\pics\\", "E:\\out", names);
        ASSERT_EQ(rt.boxes.size(), 0u);
        ASSERT_TRUE(rt.programRunning());
    }
    std::vector<Text> notices() const {
        std::vector<Text> texts;
        for (const FakeRuntime::Box& b : rt.boxes) {
            if (b.title == "搜索完成") texts.push_back(b.text);
        }
        return texts;
    }
};

TEST_F(Notice, CountsFoundFilesMissingNamesAndSameNamedCopies) {
    const Text done = "搜索完成，找到 ";
    const Text missing = " 个文件名没有找到，请点击“未搜索到的文件”查看。";
    const Text same = " 个找到的文件与别的文件同名，保存路径中只留下了最后复制的一个。";
    struct Case {
        Text names;
        const char* found;  // nullptr: the script made no found list
        Text text;
    } cases[] = {
        {"a.jpg\r\nb.jpg", "D:\\pics\\a.jpg\r\nD:\\pics\\x\\b.jpg\r\n", done + "2 个文件。"},
        {"a.jpg\r\nb.jpg\r\nc.jpg", "D:\\pics\\a.jpg\r\n", done + "1 个文件。\r\n有 2" + missing},
        // Same names as Windows compares them: case, and fullwidth letters.
        {"x.jpg\r\n\xa3\xe1.jpg",
         "D:\\pics\\a\\x.jpg\r\nD:\\pics\\b\\X.JPG\r\nD:\\pics\\c\\\xa3\xe1.jpg\r\nD:\\pics\\d\\\xa3\xc1.jpg\r\n",
         done + "4 个文件。\r\n有 2" + same},
        {"a.jpg", "", done + "0 个文件。\r\n有 1" + missing},
        {"a.jpg", nullptr, done + "0 个文件。\r\n有 1" + missing},
        // Empty lines are not searched, and an empty found line is no file.
        {"a.jpg\r\n\r\nb.jpg\r\n\r\n", "D:\\pics\\a.jpg\r\n\r\n", done + "1 个文件。\r\n有 1" + missing},
        {"a.jpg\r\nb.jpg\r\nb.jpg", "D:\\1\\a.jpg\r\nD:\\2\\a.jpg\r\n", done + "2 个文件。\r\n有 2" + missing +
                                                                          "\r\n有 1" + same},
    };
    for (const Case& c : cases) {
        FakeRuntime rt;
        rt.putFolder("D:\\pics");
        rt.putFolder("E:\\out");
        rt.start();
        rt.search("D:\\pics\\", "E:\\out", c.names);
        if (c.found) rt.putFile(kFoundList, c.found);
        rt.endProgram();
        SCOPED_TRACE(c.names);
        ASSERT_EQ(rt.boxes.size(), 1u);
        EXPECT_EQ(rt.boxes[0].text, c.text);
        EXPECT_EQ(rt.boxes[0].title, "搜索完成");
        EXPECT_EQ(rt.boxes[0].flags, kMbOk);
    }
}

TEST_F(Notice, WaitsForAnOpenBoxAndComesOncePerScript) {
    search("a.jpg");
    rt.putFile(kFoundList, "D:\\pics\\a.jpg\r\n");
    // The script ends while the about box is up: the notice follows it.
    rt.duringBox = [&] {
        rt.duringBox = nullptr;
        rt.endProgram();
        EXPECT_TRUE(notices().empty());
    };
    rt.choose("关于");
    ASSERT_EQ(rt.boxes.size(), 2u);
    EXPECT_EQ(rt.boxes[1].title, "搜索完成");

    rt.endProgram();
    rt.choose("使用说明");
    EXPECT_EQ(notices().size(), 1u);

    // The next search gets its own notice.
    rt.putFile(kFoundList, "");
    rt.click(ctl::kStart);
    rt.endProgram();
    EXPECT_EQ(notices(), (std::vector<Text>{"搜索完成，找到 1 个文件。",
                                            "搜索完成，找到 0 个文件。\r\n有 1 个文件名没有找到，请点击“未搜索到的文件”查看。"}));
}

TEST_F(Notice, SaysSoWhenTheFoundListCannotBeRead) {
    search("a.jpg");
    rt.putFile(kFoundList, "D:\\pics\\a.jpg\r\n");
    rt.file(kFoundList)->locked = true;
    rt.endProgram();
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0].text, "无法读取搜索结果列表：\r\nD:\\tools\\UM7Y9X4K.txt");
    EXPECT_EQ(rt.boxes[0].title, "搜索完成");
}

TEST_F(Notice, NeverAfterTheWindowHasClosed) {
    search("a.jpg");
    rt.open = false;
    rt.endProgram();
    EXPECT_TRUE(rt.boxes.empty());
}

}  // namespace
}  // namespace mv
