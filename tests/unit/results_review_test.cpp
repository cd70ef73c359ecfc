#include <gtest/gtest.h>

#include <algorithm>

#include "app/window.h"
#include "results/review.h"
#include "tests/unit/fake_runtime.h"

namespace mv {
namespace {

const Text kFoundList = "D:\\tools\\UM7Y9X4K.txt";
const Text kNotFoundList = "D:\\tools\\未搜到文件列表.txt";

struct Review : ::testing::Test {
    void SetUp() override {
        rt.start();
        // As after a search job has started its script.
        for (const char* b : {ctl::kViewFound, ctl::kNotFound, ctl::kRemove}) rt.controls[b].disabled = false;
        releaseNameTable();
    }
    // Clicks "files not found" with this names list and returns the bytes
    // of the not-found list.
    Text notFound(const Text& names) {
        rt.controls[ctl::kNames].text = names;
        rt.click(ctl::kNotFound);
        const FakeRuntime::File* f = rt.file(kNotFoundList);
        return f ? f->bytes : "<not written>";
    }
    long foundListReads() const { return std::count(rt.fileReads.begin(), rt.fileReads.end(), kFoundList); }
    FakeRuntime rt;
};

TEST_F(Review, NotFoundListByMatchingRule) {
    struct Case {
        const char* what;
        Text names;
        bool listExists;
        Text list;
        Text expected;
    } cases[] = {
        {"case of ASCII letters", "Report.DOC", true, "D:\\docs\\report.doc\r\n", ""},
        {"end of a longer name", "a.txt", true, "D:\\x\\data.txt\r\n", ""},
        {"folder part", "docs", true, "D:\\DOCS\\r.doc\r\n", ""},
        // Bare CR and LF stay in a name, which is sought across line ends.
        {"across a line end", "txt\r\r\n\nD", true, "D:\\a.txt\r\nD:\\b", ""},
        {"wildcard", "*.jpg", true, "D:\\p\\x.jpg\r\n", "*.jpg\r\n"},
        {"trailing blank", "a.txt ", true, "D:\\x\\a.txt\r\n", "a.txt \r\n"},
        {"leading blank", " a.txt", true, "D:\\x\\a.txt\r\n", " a.txt\r\n"},
        {"same missing name twice", "b.jpg\r\na.jpg\r\nb.jpg\r\n", true, "D:\\a.jpg\r\n", "b.jpg\r\nb.jpg\r\n"},
        // Fullwidth Ａ (A3 C1) and ａ (A3 E1) differ beyond ASCII: not found.
        {"non-ASCII case", "\xa3\xe1.jpg", true, "D:\\\xa3\xc1.jpg\r\n", "\xa3\xe1.jpg\r\n"},
        {"non-ASCII exact", "照片.jpg", true, "D:\\照片.JPG\r\n", ""},
        {"empty name, list not empty", "a\r\n\r\nb", true, "D:\\a b\r\n", ""},
        {"empty name, list empty", "a\r\n\r\nb", true, "", "a\r\n\r\nb\r\n"},
        {"missing list", "\r\na.jpg\r\n\r\n", false, "", "\r\na.jpg\r\n\r\n"},
        // 0x81 0x41 holds "A" as its second byte: no match may start there.
        {"start on a trail byte", "Ab", true, "\x81\x41" "b\r\n", "Ab\r\n"},
        {"start after a whole character", "Ab", true, "\x81\x41" "ab\r\n", ""},
        {"a match may end in a character", "x\x81", true, "x\x81\x41\r\n", ""},
        // After the long name matches, its suffix "Ab" starts on a trail byte.
        {"overlap on a trail byte", "x\x81" "A\r\nAb", true, "x\x81" "Ab", "Ab\r\n"},
        {"overlapping names", "abc\r\nbcd\r\nc\r\nabcde\r\ncx", true, "zabcdz", "abcde\r\ncx\r\n"},
        {"text ends at its first zero byte", "b.jpg", true, Text("a.jpg\0b.jpg", 11), "b.jpg\r\n"},
        {"bare LF stays in a name", "a\nb", true, "a\r\nb", "a\nb\r\n"},
        {"all found", "a\r\nb\r\n", true, "ab", ""},
    };
    for (const Case& c : cases) {
        rt.files.clear();
        if (c.listExists) rt.putFile(kFoundList, c.list);
        EXPECT_EQ(notFound(c.names), c.expected) << c.what;
    }
}

TEST_F(Review, EmptyNamesListWritesEmptyFileWithoutReading) {
    rt.putFile(kFoundList, "D:\\a.jpg\r\n");
    EXPECT_EQ(notFound(""), "");
    EXPECT_EQ(foundListReads(), 0);
    EXPECT_EQ(rt.fileWrites, std::vector<Text>{kNotFoundList});
}

TEST_F(Review, NotFoundListIsWrittenThenOpened) {
    notFound("a.jpg");
    ASSERT_EQ(rt.shellCalls.size(), 1u);
    const FakeRuntime::Shell& s = rt.shellCalls[0];
    EXPECT_EQ(s.verb, "");
    EXPECT_EQ(s.file, kNotFoundList);
    EXPECT_EQ(s.params, "");
    EXPECT_EQ(s.dir, "");
    EXPECT_EQ(s.show, kShowNormal);
    EXPECT_EQ(rt.file(kNotFoundList)->bytes, "a.jpg\r\n");
}

TEST_F(Review, UnwritableNotFoundListIsStillOpened) {
    rt.putFile(kNotFoundList, "old\r\n");
    rt.file(kNotFoundList)->locked = true;
    EXPECT_EQ(notFound("a.jpg"), "old\r\n");
    EXPECT_EQ(rt.shellCalls.size(), 1u);
}

TEST_F(Review, FoundListIsReadOncePerClick) {
    rt.putFile(kFoundList, "D:\\a.jpg\r\n");
    EXPECT_EQ(notFound("a.jpg\r\nb.jpg\r\nc.jpg"), "b.jpg\r\nc.jpg\r\n");
    EXPECT_EQ(foundListReads(), 1);
}

TEST_F(Review, NameTableHoldsTheLastRunsNames) {
    notFound("a\r\n\r\nb\r\n");
    EXPECT_EQ(nameTable().names, (std::vector<Text>{"a", "", "b"}));
    EXPECT_EQ(nameTable().count, 3u);
    notFound("c");
    EXPECT_EQ(nameTable().names, std::vector<Text>{"c"});
    EXPECT_EQ(nameTable().count, 1u);
}

TEST_F(Review, ViewFoundFilesOpensSavePathAsItStands) {
    for (Text path : {"E:\\out", "E:\\新 文件夹 ", ""}) {
        rt.shellOpens.clear();
        rt.controls[ctl::kSavePath].text = path;
        rt.click(ctl::kViewFound);
        EXPECT_EQ(rt.shellOpens, std::vector<Text>{path});
    }
    EXPECT_TRUE(rt.boxes.empty());
}

}  // namespace
}  // namespace mv
