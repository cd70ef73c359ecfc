#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/window.h"
#include "results/remove.h"
#include "tests/unit/fake_runtime.h"

namespace mv {
namespace {

const Text kFoundList = "D:\\tools\\UM7Y9X4K.txt";
const Text kDone = "原始文件删除完毕！";
const Text kNoCopy = "（保存路径中没有相同的副本）";
const Text kIsCopy = "（它本身就是保存路径中的副本）";
const Text kCannotDelete = "（无法删除）";
const Text kUnreadable = "（无法读取）";
const Text kSameName = "（有同名的不同文件，副本可能被覆盖）";
// 乗 is 0x81 0x5C in GBK: its second byte is a backslash.
const Text kTrailBackslash = "\x81\x5c";

// The window as after a search job: the removal button enabled, a save path.
void prepare(FakeRuntime& rt) {
    rt.start();
    rt.controls[ctl::kRemove].disabled = false;
    rt.controls[ctl::kSavePath].text = "E:\\out";
}

void run(FakeRuntime& rt, const Text& foundList) {
    rt.putFile(kFoundList, foundList);
    rt.click(ctl::kRemove);
}

// Text of the completion box, the last box shown.
Text completion(const FakeRuntime& rt) { return rt.boxes.empty() ? "<no box>" : rt.boxes.back().text; }

Text keptText(size_t deleted, const std::vector<Text>& lines, size_t kept) {
    Text t = kDone + "\r\n已删除 " + std::to_string(deleted) + " 个文件，以下 " + std::to_string(kept) + " 个文件未删除：";
    for (const Text& l : lines) t += "\r\n" + l;
    return t;
}

Text keptText(size_t deleted, const std::vector<Text>& lines) { return keptText(deleted, lines, lines.size()); }

TEST(Remove, DecisionsByFileSituation) {
    struct Case {
        const char* what;
        std::function<void(FakeRuntime&)> setUp;
        Text foundList;
        Text completion;
        std::vector<Text> deleteCalls;
        std::vector<Text> remaining;  // files that must still be there
    } cases[] = {
        {"identical copy",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\a.jpg", "AAA");
             rt.putFile("E:\\out\\a.jpg", "AAA");
         },
         "D:\\s\\a.jpg\r\n", kDone, {"D:\\s\\a.jpg"}, {"E:\\out\\a.jpg"}},
        {"copy with other bytes, as when a same-named file overwrote it",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\1\\a.jpg", "one");
             rt.putFile("E:\\out\\a.jpg", "two");
         },
         "D:\\s\\1\\a.jpg\r\n", keptText(0, {"D:\\s\\1\\a.jpg" + kNoCopy}), {}, {"D:\\s\\1\\a.jpg", "E:\\out\\a.jpg"}},
        {"no copy", [](FakeRuntime& rt) { rt.putFile("D:\\s\\a.jpg", "A"); }, "D:\\s\\a.jpg\r\n",
         keptText(0, {"D:\\s\\a.jpg" + kNoCopy}), {}, {"D:\\s\\a.jpg"}},
        {"listed file is the copy itself (save folder inside the search folder)",
         [](FakeRuntime& rt) { rt.putFile("E:\\out\\a.jpg", "A"); }, "E:\\OUT\\a.jpg\r\n",
         keptText(0, {"E:\\OUT\\a.jpg" + kIsCopy}), {}, {"E:\\out\\a.jpg"}},
        {"listed file is the copy under a second name",
         [](FakeRuntime& rt) {
             rt.putFile("E:\\out\\a.jpg", "A");
             rt.alias("D:\\s\\a.jpg", "E:\\out\\a.jpg");
         },
         "D:\\s\\a.jpg\r\n", keptText(0, {"D:\\s\\a.jpg" + kIsCopy}), {}, {"E:\\out\\a.jpg"}},
        {"same file twice, in two spellings",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\a.jpg", "A");
             rt.putFile("E:\\out\\a.jpg", "A");
         },
         "D:\\s\\a.jpg\r\nd:\\S\\A.JPG\r\n", kDone, {"D:\\s\\a.jpg"}, {"E:\\out\\a.jpg"}},
        {"kept file twice is named once",
         [](FakeRuntime& rt) { rt.putFile("D:\\s\\a.jpg", "A"); }, "D:\\s\\a.jpg\r\nD:\\s\\a.jpg\r\n",
         keptText(0, {"D:\\s\\a.jpg" + kNoCopy}), {}, {"D:\\s\\a.jpg"}},
        {"empty entries", [](FakeRuntime&) {}, "\r\n\r\n", kDone, {}, {}},
        {"vanished file", [](FakeRuntime& rt) { rt.putFile("E:\\out\\a.jpg", "A"); }, "D:\\s\\a.jpg\r\n", kDone,
         {}, {"E:\\out\\a.jpg"}},
        {"file that cannot be deleted",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\a.jpg", "A");
             rt.file("D:\\s\\a.jpg")->readOnly = true;
             rt.putFile("E:\\out\\a.jpg", "A");
         },
         "D:\\s\\a.jpg\r\n", keptText(0, {"D:\\s\\a.jpg" + kCannotDelete}), {"D:\\s\\a.jpg"}, {"D:\\s\\a.jpg"}},
        {"folder whose name matched",
         [](FakeRuntime& rt) {
             rt.putFolder("D:\\s\\a.jpg");
             rt.putFolder("E:\\out\\a.jpg");
         },
         "D:\\s\\a.jpg\r\n", keptText(0, {"D:\\s\\a.jpg" + kCannotDelete}), {}, {}},
        {"same-named folder in the save folder is no copy",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\a.jpg", "A");
             rt.putFolder("E:\\out\\a.jpg");
         },
         "D:\\s\\a.jpg\r\n", keptText(0, {"D:\\s\\a.jpg" + kNoCopy}), {}, {"D:\\s\\a.jpg"}},
        {"save path changed since the search",
         [](FakeRuntime& rt) {
             rt.controls[ctl::kSavePath].text = "F:\\new";
             rt.putFile("D:\\s\\a.jpg", "A");
             rt.putFile("E:\\out\\a.jpg", "A");
         },
         "D:\\s\\a.jpg\r\n", keptText(0, {"D:\\s\\a.jpg" + kNoCopy}), {}, {"D:\\s\\a.jpg"}},
        {"empty save path",
         [](FakeRuntime& rt) {
             rt.controls[ctl::kSavePath].text = "";
             rt.putFile("D:\\s\\a.jpg", "A");
             rt.putFile("\\a.jpg", "A");
         },
         "D:\\s\\a.jpg\r\n", keptText(0, {"D:\\s\\a.jpg" + kNoCopy}), {}, {"D:\\s\\a.jpg"}},
        {"save path ending in a backslash",
         [](FakeRuntime& rt) {
             rt.controls[ctl::kSavePath].text = "E:\\";
             rt.putFile("D:\\s\\a.jpg", "A");
             rt.putFile("E:\\a.jpg", "A");
         },
         "D:\\s\\a.jpg\r\n", kDone, {"D:\\s\\a.jpg"}, {"E:\\a.jpg"}},
        {"save path ending in a trail byte 0x5C",
         [](FakeRuntime& rt) {
             rt.controls[ctl::kSavePath].text = "E:\\" + kTrailBackslash;
             rt.putFile("D:\\s\\a.jpg", "A");
             rt.putFile("E:\\" + kTrailBackslash + "\\a.jpg", "A");
         },
         "D:\\s\\a.jpg\r\n", kDone, {"D:\\s\\a.jpg"}, {"E:\\" + kTrailBackslash + "\\a.jpg"}},
        {"file name holding a trail byte 0x5C",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\" + kTrailBackslash + ".jpg", "A");
             rt.putFile("E:\\out\\" + kTrailBackslash + ".jpg", "A");
         },
         "D:\\s\\" + kTrailBackslash + ".jpg\r\n", kDone, {"D:\\s\\" + kTrailBackslash + ".jpg"}, {}},
        {"original held open elsewhere cannot be held",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\a.jpg", "A");
             rt.file("D:\\s\\a.jpg")->locked = true;
             rt.putFile("E:\\out\\a.jpg", "A");
         },
         "D:\\s\\a.jpg\r\n", keptText(0, {"D:\\s\\a.jpg" + kUnreadable}), {}, {"D:\\s\\a.jpg"}},
        {"copy held open elsewhere cannot be compared",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\a.jpg", "A");
             rt.putFile("E:\\out\\a.jpg", "A");
             rt.file("E:\\out\\a.jpg")->locked = true;
         },
         "D:\\s\\a.jpg\r\n", keptText(0, {"D:\\s\\a.jpg" + kUnreadable}), {}, {"D:\\s\\a.jpg"}},
        // A name outside code page 936 comes back from dir as ?; the system
        // refuses that path (and an overlong one) without saying "missing".
        {"path that cannot be opened",
         [](FakeRuntime& rt) { rt.putFile("E:\\out\\x.jpg", "A"); },
         "D:\\s\\?.jpg\r\nD:\\s\\" + Text(260, 'x') + ".jpg\r\n",
         keptText(0, {"D:\\s\\?.jpg" + kUnreadable, "D:\\s\\" + Text(260, 'x') + ".jpg" + kUnreadable}), {}, {}},
        {"same-named group, all equal to the copy",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\1\\x.jpg", "X");
             rt.putFile("D:\\s\\2\\X.JPG", "X");
             rt.putFile("E:\\out\\x.jpg", "X");
         },
         "D:\\s\\1\\x.jpg\r\nD:\\s\\2\\X.JPG\r\n", kDone, {"D:\\s\\1\\x.jpg", "D:\\s\\2\\X.JPG"},
         {"E:\\out\\x.jpg"}},
        {"same-named group, one differs: a later copy would undo the removal",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\1\\x.jpg", "one");
             rt.putFile("D:\\s\\2\\x.jpg", "two");
             rt.putFile("E:\\out\\x.jpg", "two");
         },
         "D:\\s\\1\\x.jpg\r\nD:\\s\\2\\x.jpg\r\n",
         keptText(0, {"D:\\s\\1\\x.jpg" + kSameName, "D:\\s\\2\\x.jpg" + kSameName}), {},
         {"D:\\s\\1\\x.jpg", "D:\\s\\2\\x.jpg"}},
        // Full-width ａ (A3 E1) and Ａ (A3 C1): one name to Windows.
        {"same-named beyond ASCII, one differs",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\1\\\xa3\xe1.jpg", "one");
             rt.putFile("D:\\s\\2\\\xa3\xc1.jpg", "two");
             rt.putFile("E:\\out\\\xa3\xc1.jpg", "two");
         },
         "D:\\s\\1\\\xa3\xe1.jpg\r\nD:\\s\\2\\\xa3\xc1.jpg\r\n",
         keptText(0, {"D:\\s\\1\\\xa3\xe1.jpg" + kSameName, "D:\\s\\2\\\xa3\xc1.jpg" + kSameName}), {}, {}},
        {"same-named, the other listed file is gone",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\2\\x.jpg", "X");
             rt.putFile("E:\\out\\x.jpg", "X");
         },
         "D:\\s\\1\\x.jpg\r\nD:\\s\\2\\x.jpg\r\n", kDone, {"D:\\s\\2\\x.jpg"}, {"E:\\out\\x.jpg"}},
        {"same-named, the other one cannot be held",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\1\\x.jpg", "X");
             rt.file("D:\\s\\1\\x.jpg")->locked = true;
             rt.putFile("D:\\s\\2\\x.jpg", "X");
             rt.putFile("E:\\out\\x.jpg", "X");
         },
         "D:\\s\\1\\x.jpg\r\nD:\\s\\2\\x.jpg\r\n",
         keptText(0, {"D:\\s\\1\\x.jpg" + kUnreadable, "D:\\s\\2\\x.jpg" + kSameName}), {},
         {"D:\\s\\1\\x.jpg", "D:\\s\\2\\x.jpg"}},
        {"same-named, the other one is the copy itself and equal",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\x.jpg", "X");
             rt.putFile("E:\\out\\x.jpg", "X");
         },
         "E:\\out\\x.jpg\r\nD:\\s\\x.jpg\r\n", keptText(1, {"E:\\out\\x.jpg" + kIsCopy}), {"D:\\s\\x.jpg"},
         {"E:\\out\\x.jpg"}},
        {"same-named, the other one is the copy itself and differs",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\x.jpg", "one");
             rt.putFile("E:\\out\\x.jpg", "two");
         },
         "D:\\s\\x.jpg\r\nE:\\out\\x.jpg\r\n", keptText(0, {"D:\\s\\x.jpg" + kSameName, "E:\\out\\x.jpg" + kIsCopy}),
         {}, {"D:\\s\\x.jpg", "E:\\out\\x.jpg"}},
        {"hard-link pair under two names: each name on its own",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\a.jpg", "A");
             rt.link("D:\\s\\b.jpg", "D:\\s\\a.jpg");
             rt.putFile("E:\\out\\a.jpg", "A");
             rt.putFile("E:\\out\\b.jpg", "A");
         },
         "D:\\s\\a.jpg\r\nD:\\s\\b.jpg\r\n", kDone, {"D:\\s\\a.jpg", "D:\\s\\b.jpg"},
         {"E:\\out\\a.jpg", "E:\\out\\b.jpg"}},
        {"hard-link pair under one name in two folders",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\1\\x.jpg", "X");
             rt.link("D:\\s\\2\\x.jpg", "D:\\s\\1\\x.jpg");
             rt.putFile("E:\\out\\x.jpg", "X");
         },
         "D:\\s\\1\\x.jpg\r\nD:\\s\\2\\x.jpg\r\n", kDone, {"D:\\s\\1\\x.jpg", "D:\\s\\2\\x.jpg"},
         {"E:\\out\\x.jpg"}},
        {"hard-link pair under one name, copy differs",
         [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\1\\x.jpg", "X");
             rt.link("D:\\s\\2\\x.jpg", "D:\\s\\1\\x.jpg");
             rt.putFile("E:\\out\\x.jpg", "Y");
         },
         "D:\\s\\1\\x.jpg\r\nD:\\s\\2\\x.jpg\r\n",
         keptText(0, {"D:\\s\\1\\x.jpg" + kNoCopy, "D:\\s\\2\\x.jpg" + kNoCopy}), {},
         {"D:\\s\\1\\x.jpg", "D:\\s\\2\\x.jpg"}},
        {"no CR LF after the last path", [](FakeRuntime& rt) {
             rt.putFile("D:\\s\\a.jpg", "A");
             rt.putFile("E:\\out\\a.jpg", "A");
         },
         "D:\\s\\a.jpg", kDone, {"D:\\s\\a.jpg"}, {}},
    };
    for (const Case& c : cases) {
        FakeRuntime rt;
        prepare(rt);
        c.setUp(rt);
        run(rt, c.foundList);
        EXPECT_EQ(completion(rt), c.completion) << c.what;
        EXPECT_EQ(rt.deleteCalls, c.deleteCalls) << c.what;
        for (const Text& f : c.remaining) EXPECT_TRUE(rt.hasFile(f)) << c.what << ": " << f;
        EXPECT_TRUE(rt.held.empty()) << c.what << ": a file is still held";
        for (const Text& f : c.deleteCalls) {
            if (std::find(c.remaining.begin(), c.remaining.end(), f) == c.remaining.end()) {
                EXPECT_FALSE(rt.hasFile(f)) << c.what << ": " << f;
            }
        }
    }
}

TEST(Remove, BoxesOfAConfirmedRun) {
    FakeRuntime rt;
    prepare(rt);
    rt.putFile("D:\\s\\1\\a.jpg", "one");
    rt.putFile("D:\\s\\2\\a.jpg", "two");
    rt.putFile("D:\\s\\b.jpg", "B");
    rt.putFile("E:\\out\\a.jpg", "two");
    rt.putFile("E:\\out\\b.jpg", "B");
    rt.putFile("D:\\s\\c.jpg", "C");
    run(rt, "D:\\s\\1\\a.jpg\r\nD:\\s\\2\\a.jpg\r\n\r\nD:\\s\\b.jpg\r\nD:\\s\\c.jpg\r\nD:\\s\\gone.jpg\r\n");

    ASSERT_EQ(rt.boxes.size(), 2u);
    EXPECT_EQ(rt.boxes[0].text, "您确定要删除原始路径文件吗？删除后无法恢复，请慎重！");
    EXPECT_EQ(rt.boxes[0].flags, 1u);
    EXPECT_EQ(rt.boxes[0].title, "删除原始文件");
    EXPECT_EQ(rt.boxes[1].text,
              "原始文件删除完毕！\r\n已删除 1 个文件，以下 3 个文件未删除：\r\n"
              "D:\\s\\1\\a.jpg（有同名的不同文件，副本可能被覆盖）\r\n"
              "D:\\s\\2\\a.jpg（有同名的不同文件，副本可能被覆盖）\r\n"
              "D:\\s\\c.jpg（保存路径中没有相同的副本）");
    EXPECT_EQ(rt.boxes[1].flags, 0u);
    EXPECT_EQ(rt.boxes[1].title, "信息提示！");
    EXPECT_TRUE(rt.hasFile("D:\\s\\1\\a.jpg"));
    EXPECT_TRUE(rt.hasFile("D:\\s\\2\\a.jpg"));
    EXPECT_FALSE(rt.hasFile("D:\\s\\b.jpg"));
    EXPECT_EQ(rt.files.size(), 6u);  // the found list, two copies, three kept originals
}

TEST(Remove, ListsAtMostTenKeptFiles) {
    for (size_t kept : {10, 11, 12}) {
        FakeRuntime rt;
        prepare(rt);
        Text list;
        std::vector<Text> lines;
        for (size_t i = 0; i < kept; ++i) {
            Text path = "D:\\s\\" + std::to_string(i) + ".jpg";
            rt.putFile(path, "x");
            list += path + "\r\n";
            if (i < 10) lines.push_back(path + kNoCopy);
        }
        if (kept > 10) lines.push_back("……");
        run(rt, list);
        EXPECT_EQ(completion(rt), keptText(0, lines, kept)) << kept;
    }
}

// Only an explicit OK confirms: Cancel (also Escape and the close box), and
// a box that could not be shown, which nobody answered.
TEST(Remove, AnythingButOkReadsAndDeletesNothing) {
    for (int answer : {int(kCancel), int(kNoBox)}) {
        FakeRuntime rt;
        prepare(rt);
        rt.putFile("D:\\s\\a.jpg", "A");
        rt.putFile("E:\\out\\a.jpg", "A");
        rt.boxAnswers = {answer};
        run(rt, "D:\\s\\a.jpg\r\n");
        EXPECT_EQ(rt.boxes.size(), 1u) << answer;
        EXPECT_EQ(std::count(rt.fileReads.begin(), rt.fileReads.end(), kFoundList), 0) << answer;
        EXPECT_TRUE(rt.deleteCalls.empty()) << answer;
        EXPECT_TRUE(rt.hasFile("D:\\s\\a.jpg")) << answer;
    }
}

TEST(Remove, RefusedWhileScriptRuns) {
    FakeRuntime rt;
    prepare(rt);
    rt.putFile("D:\\s\\a.jpg", "A");
    rt.putFile("E:\\out\\a.jpg", "A");
    rt.running = true;
    run(rt, "D:\\s\\a.jpg\r\n");
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0].text, "搜索还没有结束，请等它的命令窗口关闭后再删除原路径文件。");
    EXPECT_EQ(rt.boxes[0].flags, 0u);
    EXPECT_EQ(rt.boxes[0].title, "信息：");
    EXPECT_EQ(std::count(rt.fileReads.begin(), rt.fileReads.end(), kFoundList), 0);
    EXPECT_TRUE(rt.deleteCalls.empty());
}

TEST(Remove, MissingFoundListDeletesNothingAndSaysDone) {
    FakeRuntime rt;
    prepare(rt);
    rt.click(ctl::kRemove);
    EXPECT_EQ(std::count(rt.fileReads.begin(), rt.fileReads.end(), kFoundList), 1);
    EXPECT_TRUE(rt.deleteCalls.empty());
    EXPECT_EQ(completion(rt), kDone);
}

TEST(Remove, SecondRunFindsNothingLeftToDelete) {
    FakeRuntime rt;
    prepare(rt);
    rt.putFile("D:\\s\\a.jpg", "A");
    rt.putFile("E:\\out\\a.jpg", "A");
    run(rt, "D:\\s\\a.jpg\r\n");
    rt.click(ctl::kRemove);
    EXPECT_EQ(rt.deleteCalls, std::vector<Text>{"D:\\s\\a.jpg"});
    EXPECT_EQ(completion(rt), kDone);
    EXPECT_TRUE(rt.hasFile("E:\\out\\a.jpg"));
}

}  // namespace
}  // namespace mv
