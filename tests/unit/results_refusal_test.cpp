// When the two result buttons that read the found list act on nothing: a
// search not yet ended, and a found list that exists but cannot be read.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/window.h"
#include "platform/text.h"
#include "results/remove.h"
#include "results/review.h"
#include "tests/unit/fake_runtime.h"

namespace mv {
namespace {

const Text kFoundList = "D:\\tools\\UM7Y9X4K.txt";
const Text kNotFoundList = "D:\\tools\\未搜到文件列表.txt";
const Text kRecord = "C:\\TEMP\\XXXX.PID";

struct Button {
    const char* name;
    Text refusal;
};
const Button kButtons[] = {
    {ctl::kNotFound, "搜索还没有结束，请等它的命令窗口关闭后再查看未搜索到的文件。"},
    {ctl::kRemove, "搜索还没有结束，请等它的命令窗口关闭后再删除原路径文件。"},
};

// The window after a search of D:\s into E:\out whose script has copied
// a.jpg; the found list names it.
void prepare(FakeRuntime& rt) {
    rt.start();
    for (const char* b : {ctl::kViewFound, ctl::kNotFound, ctl::kRemove}) rt.controls[b].disabled = false;
    rt.controls[ctl::kNames].text = "a.jpg\r\nb.jpg";
    rt.controls[ctl::kSavePath].text = "E:\\out";
    rt.putFile(kFoundList, "D:\\s\\a.jpg\r\n");
    rt.putFile("D:\\s\\a.jpg", "A");
    rt.putFile("E:\\out\\a.jpg", "A");
}

// Nothing was read from the found list, written, opened or deleted.
void expectUntouched(const FakeRuntime& rt, const char* what) {
    EXPECT_EQ(std::count(rt.fileReads.begin(), rt.fileReads.end(), kFoundList), 0) << what;
    EXPECT_TRUE(rt.fileWrites.empty()) << what;
    EXPECT_TRUE(rt.shellCalls.empty()) << what;
    EXPECT_TRUE(rt.deleteCalls.empty()) << what;
    EXPECT_TRUE(rt.hasFile("D:\\s\\a.jpg")) << what;
}

TEST(ResultButtons, RefuseUntilTheSearchHasEnded) {
    struct Situation {
        const char* what;
        // Clicks the button in the situation.
        std::function<void(FakeRuntime&, const char*)> click;
    } situations[] = {
        {"this window's job pauses before starting its script",
         [](FakeRuntime& rt, const char* button) {
             rt.duringPause = [&rt, button] { rt.click(button); };
             rt.pause(1000);
         }},
        {"this window's script runs",
         [](FakeRuntime& rt, const char* button) {
             rt.running = true;
             rt.click(button);
         }},
        {"a script recorded by another window runs",
         [](FakeRuntime& rt, const char* button) {
             rt.putFile(kRecord, "4100 131234567890123456\r\n");
             rt.alive = {{4100, 131234567890123456ull}};
             rt.click(button);
         }},
    };
    for (const Button& b : kButtons) {
        for (const Situation& s : situations) {
            SCOPED_TRACE(b.name);
            FakeRuntime rt;
            prepare(rt);
            s.click(rt, b.name);
            ASSERT_EQ(rt.boxes.size(), 1u) << s.what;
            EXPECT_EQ(rt.boxes[0].text, b.refusal) << s.what;
            EXPECT_EQ(rt.boxes[0].flags, kMbOk) << s.what;
            EXPECT_EQ(rt.boxes[0].title, "信息：") << s.what;
            expectUntouched(rt, s.what);
        }
    }
}

TEST(ResultButtons, RemovalRefusesASearchStartedElsewhereWhileItsConfirmationWasOpen) {
    FakeRuntime rt;
    prepare(rt);
    rt.duringBox = [&rt] {
        rt.putFile(kRecord, "4100 131234567890123456\r\n");
        rt.alive = {{4100, 131234567890123456ull}};
    };
    rt.click(ctl::kRemove);
    ASSERT_EQ(rt.boxes.size(), 2u);
    EXPECT_EQ(rt.boxes[0].title, "删除原始文件");
    EXPECT_EQ(rt.boxes[1].text, kButtons[1].refusal);
    expectUntouched(rt, "search started during the confirmation");
}

TEST(ResultButtons, ActOnceTheRecordedScriptHasEnded) {
    for (const Button& b : kButtons) {
        FakeRuntime rt;
        prepare(rt);
        // The same process id, now another process: not the recorded script.
        rt.putFile(kRecord, "4100 131234567890123456\r\n");
        rt.alive = {{4100, 131234567890123457ull}};
        rt.click(b.name);
        for (const FakeRuntime::Box& box : rt.boxes) EXPECT_NE(box.text, b.refusal) << b.name;
        EXPECT_EQ(std::count(rt.fileReads.begin(), rt.fileReads.end(), kFoundList), 1) << b.name;
    }
}

TEST(ResultButtons, SayWhenTheFoundListCannotBeRead) {
    struct Case {
        const char* what;
        std::function<void(FakeRuntime&)> setUp;
    } cases[] = {
        {"held open by another program", [](FakeRuntime& rt) { rt.file(kFoundList)->locked = true; }},
        {"a folder of that name",
         [](FakeRuntime& rt) {
             rt.files.erase(foldPath(kFoundList));
             rt.putFolder(kFoundList);
         }},
    };
    for (const Case& c : cases) {
        FakeRuntime rt;
        prepare(rt);
        c.setUp(rt);
        rt.click(ctl::kNotFound);
        ASSERT_EQ(rt.boxes.size(), 1u) << c.what;
        EXPECT_EQ(rt.boxes[0].text, "无法读取搜索结果列表：\r\n" + kFoundList) << c.what;
        EXPECT_EQ(rt.boxes[0].flags, kMbOk) << c.what;
        EXPECT_EQ(rt.boxes[0].title, "信息：") << c.what;
        EXPECT_FALSE(rt.hasFile(kNotFoundList)) << c.what;
        EXPECT_TRUE(rt.shellCalls.empty()) << c.what;

        rt.boxes.clear();
        rt.click(ctl::kRemove);
        ASSERT_EQ(rt.boxes.size(), 2u) << c.what;
        EXPECT_EQ(rt.boxes[0].title, "删除原始文件") << c.what;
        EXPECT_EQ(rt.boxes[1].text, "无法读取搜索结果列表：\r\n" + kFoundList + "\r\n没有删除任何文件。") << c.what;
        EXPECT_EQ(rt.boxes[1].flags, kMbOk) << c.what;
        EXPECT_EQ(rt.boxes[1].title, "信息提示！") << c.what;
        EXPECT_TRUE(rt.deleteCalls.empty()) << c.what;
        EXPECT_TRUE(rt.held.empty()) << c.what;
        EXPECT_TRUE(rt.hasFile("D:\\s\\a.jpg")) << c.what;
    }
}

}  // namespace
}  // namespace mv
