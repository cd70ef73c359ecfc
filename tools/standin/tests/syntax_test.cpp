// The stand-in's text rules, without the file system; names are compared
// through the system's table, so these run under Wine too.
#include "tools/standin/syntax.h"

#include <gtest/gtest.h>

#include "tools/standin/listing.h"

namespace mvcmd {
namespace {

TEST(StandinExpand, PercentRulesInBatchFilesAndOnCommandLines) {
    Env env;
    env.set("jpgpath", "D:\\pics\\");
    env.set("Pct", "100%x");
    std::vector<Bytes> args = {"s.bat", "first"};
    struct Case {
        const char* line;
        const char* batch;
        const char* commandLine;
    } cases[] = {
        {"dir \"%jpgpath%%%1\"", "dir \"D:\\pics\\%1\"", "dir \"D:\\pics\\%%1\""},
        {"%JPGPATH%", "D:\\pics\\", "D:\\pics\\"},
        {"[%undefined%]", "[]", "[%undefined%]"},
        {"a%b", "ab", "a%b"},
        {"%1-%2", "first-", "%1-%2"},
        {"%%jpgpath%%", "%jpgpath%", "%%jpgpath%%"},
        // A value is not expanded again.
        {"%pct%%%", "100%x%", "100%x%%"},
        {"乗%jpgpath%", "乗D:\\pics\\", "乗D:\\pics\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(expandPercent(c.line, env, args, true), c.batch) << c.line;
        EXPECT_EQ(expandPercent(c.line, env, args, false), c.commandLine) << c.line;
    }
}

// A single command's text and redirections after the parser.
struct Simple {
    Bytes text;
    std::vector<Bytes> targets;
};

Simple parseOne(const Bytes& line) {
    std::vector<Command> cmds;
    EXPECT_EQ(parseLine(line, &cmds), Parse::Ok) << line;
    Simple s;
    if (cmds.size() != 1) {
        ADD_FAILURE() << line << " gave " << cmds.size() << " commands";
        return s;
    }
    s.text = cmds[0].text;
    for (const Redirect& r : cmds[0].redirects)
        s.targets.push_back(Bytes(r.handle == 2 ? "2" : "") + (r.append ? ">>" : ">") + r.target);
    return s;
}

TEST(StandinParse, CaretsQuotesAndRedirections) {
    struct Case {
        const char* line;
        const char* text;
        std::vector<Bytes> targets;
    } cases[] = {
        {"set Udrvpath=E:\\R^&D", "set Udrvpath=E:\\R&D", {}},
        {"set a=^^^|^<^>", "set a=^|<>", {}},
        {"echo \"^&\"", "echo \"^&\"", {}},
        {"dir/b/s \"D:\\a b\\%1\">>UM7Y9X4K.txt", "dir/b/s \"D:\\a b\\%1\"", {">>UM7Y9X4K.txt"}},
        // Blanks around redirections stay in the text, as echo shows.
        {"echo x >out.txt 2>>err.txt", "echo x  ", {">out.txt", "2>>err.txt"}},
        {"echo \"a>b\"", "echo \"a>b\"", {}},
        // Second bytes 0x7C and 0x5E are parts of characters, not operators.
        {"set a=亅乛乗", "set a=亅乛乗", {}},
        // 0x80 is a character of its own: the quote after it closes.
        {"dir/b/s \"pics\\b\x80\">>f2.txt", "dir/b/s \"pics\\b\x80\"", {">>f2.txt"}},
        {"echo \x80^&x", "echo \x80&x", {}},
    };
    for (const Case& c : cases) {
        Simple s = parseOne(c.line);
        EXPECT_EQ(s.text, c.text) << c.line;
        EXPECT_EQ(s.targets, c.targets) << c.line;
    }
}

TEST(StandinParse, ForWithBlockSpanningLines) {
    std::vector<Command> cmds;
    Bytes text = "for /f \"delims=\" %1 in (C:\\TEMP\\file.txt) do (";
    ASSERT_EQ(parseLine(text, &cmds), Parse::NeedMore);
    text += "\necho 查找文件: %1,请等待。。。\ndir/b/s \"D:\\(x)\\%1\">>UM7Y9X4K.txt";
    ASSERT_EQ(parseLine(text, &cmds), Parse::NeedMore);
    text += "\n)";
    ASSERT_EQ(parseLine(text, &cmds), Parse::Ok);
    ASSERT_EQ(cmds.size(), 1u);
    const Command& f = cmds[0];
    EXPECT_EQ(f.kind, Command::For);
    EXPECT_EQ(f.forSwitch, "/f");
    EXPECT_EQ(f.forOptions, "delims=");
    EXPECT_EQ(f.forVar, '1');
    EXPECT_EQ(f.forSet, "C:\\TEMP\\file.txt");
    ASSERT_EQ(f.body.size(), 1u);
    ASSERT_EQ(f.body[0].kind, Command::Block);
    const std::vector<Command>& block = f.body[0].body;
    ASSERT_EQ(block.size(), 2u);
    EXPECT_EQ(block[0].text, "echo 查找文件: %1,请等待。。。");
    EXPECT_EQ(block[1].text, "dir/b/s \"D:\\(x)\\%1\"");
    ASSERT_EQ(block[1].redirects.size(), 1u);
    EXPECT_EQ(block[1].redirects[0].target, "UM7Y9X4K.txt");
}

TEST(StandinParse, IfExistAndOneLineForBodies) {
    std::vector<Command> cmds;
    ASSERT_EQ(parseLine("if exist UM7Y9X4K.txt del UM7Y9X4K.txt", &cmds), Parse::Ok);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].kind, Command::If);
    EXPECT_EQ(cmds[0].ifExist, "UM7Y9X4K.txt");
    ASSERT_EQ(cmds[0].body.size(), 1u);
    EXPECT_EQ(cmds[0].body[0].text, "del UM7Y9X4K.txt");

    ASSERT_EQ(parseLine("for /f \"delims=\" %1 in (UM7Y9X4K.txt) do copy \"%1\" \"E:\\out\"", &cmds),
              Parse::Ok);
    ASSERT_EQ(cmds.size(), 1u);
    ASSERT_EQ(cmds[0].body.size(), 1u);
    EXPECT_EQ(cmds[0].body[0].text, "copy \"%1\" \"E:\\out\"");

    EXPECT_EQ(parseLine("for /f %1 in (x) echo", &cmds), Parse::Bad);
}

TEST(StandinSubstitute, ForVariableValuesGoInAsTheyAre) {
    ForVars vars = {{'1', "a&b %x 乗"}, {'x', "inner"}};
    EXPECT_EQ(substitute("echo %1,%x,%2,100%", vars), "echo a&b %x 乗,inner,%2,100%");
}

TEST(StandinForLines, LineEndsEmptyAndCommentLines) {
    ForOptions whole = parseForOptions("delims=");
    ASSERT_TRUE(whole.ok);
    struct Case {
        const char* content;
        std::vector<Bytes> lines;
    } cases[] = {
        {"a.jpg\r\nb.jpg", {"a.jpg", "b.jpg"}},
        {"a.jpg\r\nb.jpg\r\n", {"a.jpg", "b.jpg"}},
        {"a\nb\r\n\r\n\nc", {"a", "b", "c"}},
        {";x\r\n ;y\r\na;b\r\n;\r\n", {" ;y", "a;b"}},
        {"  a b \t\r\n", {"  a b \t"}},
        {"乗\\\r\n", {"乗\\"}},
        {"\r\n\r\n", {}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(forFileLines(c.content, whole), c.lines) << c.content;

    ForOptions blanks = parseForOptions("");
    EXPECT_EQ(forFileLines("  a b\r\n\t;c\r\n", blanks), (std::vector<Bytes>{"a"}));
}

TEST(StandinWildcard, MatchesAsFindFirstFileDoesOnLongNames) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"a.jpg", "A.JPG", true},
        {"*.jpg", "x y.jpg", true},
        {"*.jpg", "a.jpeg", false},  // no short-name match
        {"*.jpg", "a.b.jpg", true},
        {"*", "noext", true},
        {"*.*", "noext", true},
        {"*.", "noext", true},
        {"*.", "a.txt", false},
        {"a.*", "a", true},
        {"a.*", "a.b", true},
        {"?.jpg", "乗.jpg", true},  // one character of two bytes
        {"?.jpg", "乗乗.jpg", false},
        {"??.jpg", "乗.jpg", true},
        {"a?", "a", true},           // ? may match nothing at the end
        {"a?.txt", "a.txt", true},   // or before a dot
        {"a?b", "a.b", false},
        {"乗*", "乗乗.jpg", true},
        {"\x81\x61", "\x81\x41", false},  // second bytes never fold
        // Letters beyond ASCII fold through the system's upper-case table:
        // full-width A, omega, ya, and a Latin letter with an accent.
        {"ａ.jpg", "Ａ.jpg", true},
        {"ω.jpg", "Ω.JPG", true},
        {"я*.jpg", "Я.jpg", true},
        {"Ｊ?.jpg", "ｊ乗.jpg", true},
        {"α.jpg", "β.jpg", false},
        {"乗.jpg", "亅.jpg", false},
        // 0x80 is a character of its own (the euro sign), not a lead byte.
        {"\x80.jpg", "\x80.jpg", true},
        {"?.jpg", "\x80.jpg", true},
        {"\x80?", "\x80" "a", true},
        {"ab", "abc", false},
        {"*c", "abc", true},
        {"*b*", "abc", true},
    };
    for (const Case& c : cases) {
        Wildcard w(widen(c.pattern), sameLetter);
        Wide name = widen(c.name);
        EXPECT_EQ(w.match(name), c.match) << c.pattern << " ~ " << c.name;
        // The quick first look never turns a match away.
        if (c.match) {
            EXPECT_TRUE(w.mayMatch(namePrint(name))) << c.pattern << " ~ " << c.name;
        }
    }
}

TEST(StandinText, LastSlashSkipsSecondBytes) {
    EXPECT_EQ(lastSlash("D:\\乗"), 2u);
    EXPECT_EQ(lastSlash("D:\\\x80\\a.jpg"), 4u);  // 0x80 is no lead byte
    EXPECT_EQ(lastSlash("D:\\乗\\x"), 5u);
    EXPECT_EQ(lastSlash("乗"), Bytes::npos);
    EXPECT_EQ(splitArgs("/b/s \"D:\\a b\\乗\" x"), (std::vector<Bytes>{"/b/s", "\"D:\\a b\\乗\"", "x"}));
    EXPECT_EQ(splitArgs("\"%1\" \"E:\\out\x80\""), (std::vector<Bytes>{"\"%1\"", "\"E:\\out\x80\""}));
}

}  // namespace
}  // namespace mvcmd
