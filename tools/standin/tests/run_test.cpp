// The stand-in run under Wine on small batch files and folder trees.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/window.h"
#include "tools/standin/tests/harness.h"

namespace {

using st::lines;

// Runs one batch file of the given lines in dir with the stand-in.
st::Result runLines(const std::string& dir, const std::vector<std::string>& ls) {
    std::string script = dir + "\\t.bat";
    st::writeFile(script, lines(ls));
    return st::runBatch(st::standinExe(), script, dir);
}

// root holds a.jpg and "A B.jpg"; photos\ (a.jpg, sub\photos\); z\ (a.JPG,
// b.jpeg, c.jpg\ a folder); 乗\ (a.jpg, 乗.jpg), 乗 ending in byte 0x5C.
std::string makeTree(const std::string& dir) {
    std::string root = dir + "\\root";
    for (const char* d : {"photos\\sub\\photos", "z\\c.jpg", "乗"}) st::makeDirs(root + "\\" + d);
    for (const char* f : {"a.jpg", "A B.jpg", "photos\\a.jpg", "z\\a.JPG", "z\\b.jpeg", "乗\\a.jpg",
                          "乗\\乗.jpg"})
        st::writeFile(root + "\\" + f, f);
    return root;
}

TEST(StandinDir, MatchesInFolderThenSubfoldersDepthFirst) {
    std::string dir = st::freshDir("dir");
    std::string r = makeTree(dir) + "\\";
    struct Case {
        const char* name;
        std::vector<std::string> found;
    } cases[] = {
        {"a.jpg", {r + "a.jpg", r + "photos\\a.jpg", r + "z\\a.JPG", r + "乗\\a.jpg"}},
        {"*.jpg",
         {r + "A B.jpg", r + "a.jpg", r + "photos\\a.jpg", r + "z\\a.JPG", r + "z\\c.jpg",
          r + "乗\\a.jpg", r + "乗\\乗.jpg"}},
        {"?.jpg",
         {r + "a.jpg", r + "photos\\a.jpg", r + "z\\a.JPG", r + "z\\c.jpg", r + "乗\\a.jpg",
          r + "乗\\乗.jpg"}},
        {"a b.JPG", {r + "A B.jpg"}},
        {"乗.jpg", {r + "乗\\乗.jpg"}},
        {"乗\\a.jpg", {r + "乗\\a.jpg"}},
        // A folder deeper down that matches is listed like a file...
        {"c.jpg", {r + "z\\c.jpg"}},
        // ...but a folder the name itself names stands for all below it.
        {"photos", {r + "photos\\a.jpg", r + "photos\\sub", r + "photos\\sub\\photos"}},
    };
    for (const Case& c : cases) {
        std::string found = dir + "\\found.txt";
        DeleteFileA(found.c_str());
        st::Result res = runLines(dir, {"@echo off", "dir/b/s \"" + r + c.name + "\">>found.txt"});
        EXPECT_EQ(st::readFile(found), lines(c.found)) << c.name;
        EXPECT_EQ(res.out, "") << c.name;
        EXPECT_EQ(res.err, "") << c.name;
    }
}

TEST(StandinDir, NoMatchCreatesTheFileAndComplainsOnStderr) {
    std::string dir = st::freshDir("dirnone");
    std::string r = makeTree(dir) + "\\";
    st::Result res = runLines(dir, {"@echo off", "dir/b/s \"" + r + "none.jpg\">>found.txt",
                                    "dir/b/s \"" + r + "nofolder\\a.jpg\">>found.txt"});
    EXPECT_TRUE(st::fileExists(dir + "\\found.txt"));
    EXPECT_EQ(st::readFile(dir + "\\found.txt"), "");
    EXPECT_EQ(res.err, "找不到文件\r\n找不到文件\r\n");
    EXPECT_EQ(res.out, "");
}

TEST(StandinDir, AppendsToWhatIsThere) {
    std::string dir = st::freshDir("dirappend");
    std::string r = makeTree(dir) + "\\";
    st::writeFile(dir + "\\found.txt", "old\r\n");
    runLines(dir, {"@echo off", "dir/b/s \"" + r + "乗.jpg\">>found.txt",
                   "dir/b/s \"" + r + "乗.jpg\">>found.txt"});
    EXPECT_EQ(st::readFile(dir + "\\found.txt"), lines({"old", r + "乗\\乗.jpg", r + "乗\\乗.jpg"}));
}

// The stand-in's own changes between listings show in the next one, with
// one walk per run as with a walk per dir call.
TEST(StandinDir, SeesItsOwnChangesToTheTree) {
    for (const char* walk : {"once", "each"}) {
        std::string dir = st::freshDir("dirchanges");
        std::string t = dir + "\\tree", run = t + "\\run";
        st::makeDirs(t + "\\sub");
        st::makeDirs(run);
        st::writeFile(t + "\\a.jpg", "a");
        st::writeFile(t + "\\sub\\b.jpg", "b");
        std::string list = "dir/b/s \"" + t + "\\*.jpg\">>found.txt";
        SetEnvironmentVariableA("MVCMD_WALK", walk);
        st::writeFile(run + "\\t.bat",
                      lines({"@echo off", "dir/b/s \"" + t + "\\*.txt\">>found.txt", list,
                             "copy \"" + t + "\\a.jpg\" \"" + t + "\\sub\\c.jpg\">nul", list,
                             "del \"" + t + "\\a.jpg\"", list, "echo d>\"" + t + "\\sub\\d.jpg\"", list}));
        st::Result res = st::runBatch(st::standinExe(), run + "\\t.bat", run);
        SetEnvironmentVariableA("MVCMD_WALK", nullptr);
        std::string a = t + "\\a.jpg", b = t + "\\sub\\b.jpg", c = t + "\\sub\\c.jpg",
                    d = t + "\\sub\\d.jpg";
        EXPECT_EQ(st::readFile(run + "\\found.txt"),
                  lines({run + "\\found.txt", a, b, a, b, c, b, c, b, c, d}))
            << walk;
        EXPECT_EQ(res.err, "") << walk;
    }
}

// Code page 936 as Windows has it: 0x80 is the euro sign, a character of
// its own, and names compare through the system's upper-case table.
TEST(StandinDir, EuroSignAndLettersBeyondAscii) {
    std::string dir = st::freshDir("dirgbk");
    std::string r = dir + "\\pics\\";
    st::makeDirs(r);
    for (const char* d : {"\x80", "b\x80"}) CreateDirectoryA((r + d).c_str(), nullptr);
    for (const char* f : {"\x80\\a.jpg", "Ａ.jpg", "Ω.jpg", "b\x80\\Я.jpg", "b\x80\\Яz.jpg"})
        st::writeFile(r + f, f);
    struct Case {
        std::string name;
        std::vector<std::string> found;
    } cases[] = {
        {"\x80\\a.jpg", {r + "\x80\\a.jpg"}},
        {"b\x80", {r + "b\x80\\Я.jpg", r + "b\x80\\Яz.jpg"}},
        {"ａ.jpg", {r + "Ａ.jpg"}},
        {"ω.jpg", {r + "Ω.jpg"}},
        {"я*.jpg", {r + "b\x80\\Я.jpg", r + "b\x80\\Яz.jpg"}},
        {"я?.jpg", {r + "b\x80\\Я.jpg", r + "b\x80\\Яz.jpg"}},
    };
    for (const Case& c : cases) {
        DeleteFileA((dir + "\\found.txt").c_str());
        st::Result res = runLines(dir, {"@echo off", "dir/b/s \"" + r + c.name + "\">>found.txt"});
        EXPECT_EQ(st::readFile(dir + "\\found.txt"), lines(c.found)) << c.name;
        EXPECT_EQ(res.err, "") << c.name;
    }
}

TEST(StandinCopy, IntoSavePathEndingInEuroSign) {
    std::string dir = st::freshDir("copyeuro");
    CreateDirectoryA((dir + "\\out\x80").c_str(), nullptr);
    st::writeFile(dir + "\\a.jpg", "a");
    st::Result res = runLines(dir, {"@echo off", "set Udrvpath=" + dir + "\\out\x80",
                                    "copy \"" + dir + "\\a.jpg\" \"%Udrvpath%\""});
    EXPECT_EQ(st::readFile(dir + "\\out\x80\\a.jpg"), "a");
    EXPECT_EQ(res.out, "已复制         1 个文件。\r\n");
    EXPECT_EQ(res.err, "");
}

TEST(StandinFor, TakesEachLineWholeAndSkipsEmptyAndSemicolonLines) {
    std::string dir = st::freshDir("for");
    struct Case {
        const char* content;
        std::vector<std::string> taken;
    } cases[] = {
        {"a.jpg\r\n\r\n;skip\r\nx y.jpg\r\n  blank \r\nlast", {"a.jpg", "x y.jpg", "  blank ", "last"}},
        {"lf\nonly\n\n", {"lf", "only"}},
        {"乗\\\r\n亅|乛^&<>%1\r\n", {"乗\\", "亅|乛^&<>%1"}},
        {"\r\n\r\n", {}},
    };
    for (const Case& c : cases) {
        st::writeFile(dir + "\\names.txt", c.content);
        DeleteFileA((dir + "\\one.txt").c_str());
        DeleteFileA((dir + "\\block.txt").c_str());
        // A digit and a letter as the variable, a one-line body and a block.
        st::Result res = runLines(dir, {"@echo off", "set names=names.txt",
                                        "for /f \"delims=\" %%1 in (%names%) do echo [%%1]>>one.txt",
                                        "for /f \"delims=\" %%v in (names.txt) do (",
                                        "echo {%%v}>>block.txt", ")"});
        std::vector<std::string> one, block;
        for (const std::string& t : c.taken) {
            one.push_back("[" + t + "]");
            block.push_back("{" + t + "}");
        }
        EXPECT_EQ(st::readFile(dir + "\\one.txt"), one.empty() ? "" : lines(one)) << c.content;
        EXPECT_EQ(st::readFile(dir + "\\block.txt"), block.empty() ? "" : lines(block)) << c.content;
        EXPECT_EQ(res.err, "") << c.content;
    }
}

TEST(StandinFor, BlockIsExpandedOnceWhenRead) {
    std::string dir = st::freshDir("forblock");
    st::writeFile(dir + "\\names.txt", "1\r\n2\r\n");
    runLines(dir, {"@echo off", "set v=before", "for /f \"delims=\" %%1 in (names.txt) do (",
                   "echo %%1 %v%>>out.txt", "set v=after", ")", "echo %v%>>out.txt"});
    EXPECT_EQ(st::readFile(dir + "\\out.txt"), lines({"1 before", "2 before", "after"}));
}

TEST(StandinFor, MissingFileIsReported) {
    std::string dir = st::freshDir("formissing");
    st::Result res = runLines(dir, {"@echo off", "for /f \"delims=\" %%1 in (UM7Y9X4K.txt) do echo %%1"});
    EXPECT_EQ(res.err, "系统找不到文件 UM7Y9X4K.txt。\r\n");
    EXPECT_EQ(res.out, "");
}

// How lines are read, joined and run, after the interpreter's documented
// behaviour.
TEST(StandinLines, ContinuationPrecedenceAndReadingOrder) {
    std::string dir = st::freshDir("lines");
    struct Case {
        const char* what;
        std::vector<std::string> script;
        std::string out, err;
    } cases[] = {
        {"a caret at the end of a line joins the next",
         {"echo one ^", "two>>out.txt", "echo \"q^\">>out.txt"}, lines({"one two", "\"q^\""}), ""},
        {"the next line's first character is taken as it is",
         {"echo a^", "&echo b>>out.txt"}, lines({"a&echo b"}), ""},
        {"an empty next line gives a line feed", {"set NL=^", "", "", "set NL>>out.txt"}, "NL=\n\r\n", ""},
        {"&& binds tighter than ||",
         {"echo a>>out.txt||echo b>>out.txt&&echo c>>out.txt",
          "dir/b none.jpg 2>nul||echo d>>out.txt&&echo e>>out.txt",
          "dir/b none.jpg 2>nul&&echo f>>out.txt||echo g>>out.txt"},
         lines({"a", "d", "e", "g"}), ""},
        {"for /f runs each file's lines before it reads the next",
         {"for /f \"delims=\" %%v in (a.txt b.txt) do (echo %%v>>out.txt& echo late>>b.txt)"},
         lines({"1", "2", "x", "late", "late"}), ""},
        {"for /f stops at a missing file, after the files before it",
         {"for /f \"delims=\" %%v in (a.txt none.txt b.txt) do echo %%v>>out.txt"}, lines({"1", "2"}),
         "系统找不到文件 none.txt。\r\n"},
        {"the batch file is read as it runs", {"echo echo added^>^>out.txt>>t.bat"}, lines({"added"}), ""},
        {"a redirection's file is made only when its command runs",
         {"echo a>>out.txt||echo b>never.txt", "if exist never.txt echo made>>out.txt"}, lines({"a"}), ""},
    };
    for (const Case& c : cases) {
        st::writeFile(dir + "\\a.txt", "1\r\n2\r\n");
        st::writeFile(dir + "\\b.txt", "x\r\n");
        DeleteFileA((dir + "\\out.txt").c_str());
        std::vector<std::string> script = {"@echo off"};
        script.insert(script.end(), c.script.begin(), c.script.end());
        st::Result res = runLines(dir, script);
        EXPECT_EQ(st::readFile(dir + "\\out.txt"), c.out) << c.what;
        EXPECT_EQ(res.err, c.err) << c.what;
    }
}

TEST(StandinSet, UndoesCaretsAndDoubledPercents) {
    std::string dir = st::freshDir("set");
    struct Case {
        const char* written;
        const char* value;
    } cases[] = {
        {"E:\\R^&D", "E:\\R&D"},
        {"E:\\100%%", "E:\\100%"},
        {"a^^b^|c^<d^>e", "a^b|c<d>e"},
        {"%%jpgname%%", "%jpgname%"},
        {"D:\\乗\\亅乛\\", "D:\\乗\\亅乛\\"},  // second bytes 0x5C, 0x7C, 0x5E
        {"D:\\a b (x)\\", "D:\\a b (x)\\"},
    };
    for (const Case& c : cases) {
        DeleteFileA((dir + "\\out.txt").c_str());
        runLines(dir, {"@echo off", std::string("set Udrvpath=") + c.written, "set Udrvpath>>out.txt"});
        EXPECT_EQ(st::readFile(dir + "\\out.txt"), std::string("Udrvpath=") + c.value + "\r\n")
            << c.written;
    }
}

TEST(StandinEcho, TextAndEmptyLine) {
    std::string dir = st::freshDir("echo");
    st::Result res = runLines(dir, {"@echo off", "echo 查找文件: a.jpg,请等待。。。", "echo.",
                                    "echo 完成！"});
    EXPECT_EQ(res.out, lines({"查找文件: a.jpg,请等待。。。", "", "完成！"}));
}

const char kCopied1[] = "已复制         1 个文件。\r\n";
const char kCopied0[] = "已复制         0 个文件。\r\n";

TEST(StandinCopy, IntoFolderOverwritingWithoutQuestion) {
    std::string dir = st::freshDir("copy");
    st::makeDirs(dir + "\\src\\乗");
    st::makeDirs(dir + "\\out 乗");
    st::writeFile(dir + "\\src\\乗\\乗.jpg", "new");
    st::writeFile(dir + "\\out 乗\\乗.jpg", "old");
    st::Result res = runLines(dir, {"@echo off", "copy \"" + dir + "\\src\\乗\\乗.jpg\" \"" + dir +
                                                     "\\out 乗\""});
    EXPECT_EQ(st::readFile(dir + "\\out 乗\\乗.jpg"), "new");
    EXPECT_EQ(res.out, kCopied1);
    EXPECT_EQ(res.err, "");

    res = runLines(dir, {"@echo off", "copy \"" + dir + "\\src\\乗\\乗.jpg\" \"" + dir + "\\b.jpg\""});
    EXPECT_EQ(st::readFile(dir + "\\b.jpg"), "new");
    EXPECT_EQ(res.out, kCopied1);
}

TEST(StandinCopy, OntoItselfFailsAndLeavesTheFile) {
    std::string dir = st::freshDir("copyself");
    st::makeDirs(dir + "\\out");
    st::writeFile(dir + "\\out\\a.jpg", "keep");
    st::Result res = runLines(dir, {"@echo off", "copy \"" + dir + "\\out\\a.jpg\" \"" + dir + "\\out\""});
    EXPECT_EQ(st::readFile(dir + "\\out\\a.jpg"), "keep");
    EXPECT_EQ(res.err, "文件不能复制到其自身。\r\n");
    EXPECT_EQ(res.out, kCopied0);
}

TEST(StandinCopy, MissingSource) {
    std::string dir = st::freshDir("copymissing");
    st::Result res = runLines(dir, {"@echo off", "copy \"" + dir + "\\none.jpg\" \"" + dir + "\""});
    EXPECT_EQ(res.err, "系统找不到指定的文件。\r\n");
    EXPECT_EQ(res.out, kCopied0);
}

// The header as the search job writes it: ^ before ^ & | < >, % doubled.
std::string escaped(const std::string& path) {
    std::string out;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(path[i]);
        if (b >= 0x80 && i + 1 < path.size()) {
            out += path.substr(i++, 2);
            continue;
        }
        if (std::string("^&|<>").find(path[i]) != std::string::npos) out += '^';
        if (path[i] == '%') out += '%';
        out += path[i];
    }
    return out;
}

std::string script(const std::string& work, const std::string& search, const std::string& save) {
    return lines({"@echo off", "set jpgname=" + escaped(work + "file.txt"),
                  "set jpgpath=" + escaped(search), "set Udrvpath=" + escaped(save)}) +
           mv::kBatchTemplate;
}

TEST(StandinScript, SearchesAndCopiesAsTheSearchJobStartsIt) {
    std::string dir = st::freshDir("script");
    std::string work = dir + "\\tmp\\";
    std::string run = dir + "\\run";
    std::string save = dir + "\\存 R&D 100%";
    st::makeDirs(work);
    st::makeDirs(run);
    st::makeDirs(save);
    std::string r = makeTree(dir) + "\\";
    st::writeFile(run + "\\UM7Y9X4K.txt", "stale\r\n");
    st::writeFile(work + "file.txt", "乗.jpg\r\n\r\na b.jpg\r\nnone.jpg\r\nz\\*.jpg\r\nphotos\\a.jpg");
    st::writeFile(work + "XXXX.BAT", script(work, r, save));
    // As the search job does: the script path is the whole command line.
    st::Result res = st::run(work + "XXXX.BAT", run);

    EXPECT_EQ(st::readFile(run + "\\UM7Y9X4K.txt"),
              lines({r + "乗\\乗.jpg", r + "A B.jpg", r + "z\\a.JPG", r + "z\\c.jpg",
                     r + "photos\\a.jpg"}));
    EXPECT_EQ(st::folderEntries(save), (std::vector<std::string>{"A B.jpg", "a.JPG", "乗.jpg"}));
    EXPECT_EQ(st::readFile(save + "\\乗.jpg"), "乗\\乗.jpg");
    EXPECT_EQ(st::readFile(save + "\\a.JPG"), "photos\\a.jpg");  // the later hit wins
    EXPECT_EQ(res.out, lines({"清空临时文件UM7Y9X4K.txt", "", "查找文件: 乗.jpg,请等待。。。",
                              "查找文件: a b.jpg,请等待。。。", "查找文件: none.jpg,请等待。。。",
                              "查找文件: z\\*.jpg,请等待。。。", "查找文件: photos\\a.jpg,请等待。。。",
                              "", "查找结果保存在:UM7Y9X4K.txt", "", "正在复制文件，请等待。。。",
                              // c.jpg is a folder holding no file
                              "已复制         1 个文件。", "已复制         1 个文件。",
                              "已复制         1 个文件。", "已复制         0 个文件。",
                              "已复制         1 个文件。", "", "完成！", ""}));
    EXPECT_EQ(res.err, "找不到文件\r\n系统找不到指定的文件。\r\n");
}

TEST(StandinScript, NoNamesLeavesNoFoundList) {
    std::string dir = st::freshDir("scriptempty");
    std::string work = dir + "\\tmp\\";
    std::string run = dir + "\\run";
    st::makeDirs(work);
    st::makeDirs(run);
    std::string r = makeTree(dir) + "\\";
    st::writeFile(run + "\\UM7Y9X4K.txt", "stale\r\n");
    st::writeFile(work + "file.txt", "\r\n\r\n");
    st::writeFile(work + "XXXX.BAT", script(work, r, dir));
    st::Result res = st::run(work + "XXXX.BAT", run);
    EXPECT_FALSE(st::fileExists(run + "\\UM7Y9X4K.txt"));
    EXPECT_EQ(res.err, "系统找不到文件 UM7Y9X4K.txt。\r\n");
}

}  // namespace

namespace {

TEST(StandinCommandLine, TakesTheBatchFileAfterSlashC) {
    std::string dir = st::freshDir("cmdline");
    std::string plain = dir + "\\y.bat";
    std::string blank = dir + "\\a b\\x.bat";
    st::makeDirs(dir + "\\a b");
    st::writeFile(plain, lines({"@echo off", "echo plain %1"}));
    st::writeFile(blank, lines({"@echo off", "echo blank %1"}));
    std::string exe = "\"" + st::standinExe() + "\"";
    struct Case {
        std::string line;
        std::string out;
    } cases[] = {
        {exe + " /c " + plain, "plain \r\n"},
        {exe + " /c \"" + plain + "\"", "plain \r\n"},
        {exe + " /s/c \"" + blank + "\"", "blank \r\n"},
        {exe + " /S /C \"\"" + blank + "\" arg\"", "blank arg\r\n"},
        {exe + " /c \"" + blank + "\" arg", "blank arg\r\n"},
        {exe + " /c echo one&echo two", "one\r\ntwo\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(st::run(c.line, dir).out, c.out) << c.line;
}

}  // namespace
