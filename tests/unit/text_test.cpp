#include "platform/text.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using Pieces = std::vector<Text>;

// 乗 is 0x81 0x5C in GBK: its second byte is a backslash.
const Text kTrailBackslash = "\x81\x5c";

TEST(SplitCrLf, Table) {
    struct Case {
        Text text;
        Pieces pieces;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\n\r\n", {"a", ""}},
        {"\r\na", {"", "a"}},
        {"\r\n", {""}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\nb\rc", {"a\nb\rc"}},                   // bare LF and CR stay in the piece
        {"\x81\r\nb", {"\x81\r\nb"}},               // CR after a lead byte is its trail byte
        {"\x81\x40\r\nb", {"\x81\x40", "b"}},       // a whole character, then CR LF
        {"a\x81", {"a\x81"}},                       // lone lead byte at the end
        {"\xb1\xed\r\n\xb1\xed", {"\xb1\xed", "\xb1\xed"}},
        {"a\r\x81\n", {"a\r\x81\n"}},
        {"\x80\r\nb", {"\x80\r\nb"}},  // split keeps its rule: 0x80 starts a pair
    };
    for (const Case& c : cases) EXPECT_EQ(splitCrLf(c.text), c.pieces) << c.text;
}

TEST(FindText, Table) {
    struct Case {
        Text haystack, needle;
        bool ignoreCase;
        long position;
    } cases[] = {
        {"D:\\docs\\report.doc", "Report.DOC", true, 9},
        {"D:\\docs\\report.doc", "Report.DOC", false, -1},
        {"D:\\x\\data.txt\r\n", "a.txt", true, 9},
        {"D:\\x\\a.txt\r\n", "a.txt ", true, -1},
        {"D:\\x\\a.txt\r\n", " a.txt", true, -1},
        {"D:\\x\\a.txt\r\n", "*.txt", true, -1},
        {"abc", "", true, 1},
        {"", "", true, -1},
        {"", "a", true, -1},
        {"ab", "abc", true, -1},
        // Non-ASCII letters compare exactly: fullwidth Ａ (A3C1) against ａ (A3E1).
        {"\xa3\xc1.txt", "\xa3\xe1.txt", true, -1},
        // A match may not start on a trail byte: 0x81 0x41 holds "A" as its second byte.
        {"\x81\x41", "a", true, -1},
        {"\x81\x41" "a", "a", true, 3},
        // ASCII folding applies to trail bytes too: 0x81 0x41 matches 0x81 0x61.
        {"\x81\x41", "\x81\x61", true, 1},
        {"\x81\x41", "\x81\x61", false, -1},
        // The needle may begin right after a two-byte character.
        {"\x81\x5c" "\\b", "\\b", true, 3},
        {"x\x81", "\x81", true, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(findText(c.haystack, c.needle, c.ignoreCase), c.position) << c.haystack << " / " << c.needle;
    }
}

TEST(LeftRightPart, CountBytes) {
    EXPECT_EQ(leftPart("D:\\\\", 3), "D:\\");
    EXPECT_EQ(leftPart("ab", 3), "ab");
    EXPECT_EQ(rightPart("D:\\\\", 2), "\\\\");
    EXPECT_EQ(rightPart("a", 2), "a");
    EXPECT_EQ(rightPart("", 2), "");
}

TEST(BytesToText, EndsAtFirstZero) {
    EXPECT_EQ(bytesToText(Text("ab\0cd", 5)), "ab");
    EXPECT_EQ(bytesToText("abc"), "abc");
    EXPECT_EQ(bytesToText(Text("\0", 1)), "");
}

TEST(Backslash, LooksAtCharacters) {
    EXPECT_EQ(lastBackslash("D:\\tools\\Morvane.exe"), 8u);
    EXPECT_EQ(lastBackslash("D:\\" + kTrailBackslash), 2u);
    EXPECT_EQ(lastBackslash("abc"), Text::npos);
    EXPECT_TRUE(endsWithBackslash("D:\\"));
    EXPECT_FALSE(endsWithBackslash("D:\\" + kTrailBackslash));
    EXPECT_FALSE(endsWithBackslash(""));
    EXPECT_TRUE(endsWithBackslash(kTrailBackslash + "\\"));
    // 0x80 is the euro sign, a character of its own: the backslash after it
    // is a backslash.
    EXPECT_EQ(lastBackslash("D:\\工具\x80\\Morvane.exe"), 8u);
    EXPECT_TRUE(endsWithBackslash("D:\\\x80\\"));
    EXPECT_EQ(lastComponent("D:\\pics\\a.jpg"), "a.jpg");
    EXPECT_EQ(lastComponent("a.jpg"), "a.jpg");
    EXPECT_EQ(lastComponent("D:\\" + kTrailBackslash), kTrailBackslash);
}

TEST(WildcardMatch, AsDirMatchesOneName) {
    struct Case {
        Text pattern, name;
        bool match;
    } cases[] = {
        {"*.jpg", "IMG_0001.JPG", true},
        {"img_????.jpg", "IMG_0001.JPG", true},
        {"img_???.jpg", "IMG_0001.JPG", false},
        {"*", "a", true},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYbZ", false},
        {"?.jpg", "照.jpg", true},          // ? takes a whole character
        {"??.jpg", "照.jpg", false},
        {"照*", "照片.jpg", true},
        {"\xa3\xe1*", "\xa3\xc1.jpg", false},  // only ASCII letters fold here
        {"\x81\x41", "\x81\x61", false},      // nor a trail byte that looks like one
        {"*.txt", "a.txt.bak", false},
    };
    for (const Case& c : cases) EXPECT_EQ(wildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

TEST(FoldPath, LowersAsciiLettersAtCharacterStartsOnly) {
    EXPECT_EQ(foldPath("D:\\Photos\\IMG.JPG"), "d:\\photos\\img.jpg");
    EXPECT_EQ(foldPath("\x81\x41" "B"), "\x81\x41" "b");  // the trail byte "A" stays
    EXPECT_EQ(foldPath("\xa3\xc1"), "\xa3\xc1");          // fullwidth letters are not ASCII
}

}  // namespace
}  // namespace mv
