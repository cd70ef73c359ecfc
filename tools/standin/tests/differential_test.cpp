// The search script under the stand-in and under Wine's own interpreter,
// where Wine's can run it: a letter as the loop variable, ASCII names.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/window.h"
#include "tools/standin/tests/harness.h"

namespace {

struct Outcome {
    std::string found;
    std::vector<std::string> saved;   // names in the save folder
    std::vector<std::string> copies;  // their contents, in the same order
};

Outcome searchWith(const std::string& interpreter, const std::string& dir, const std::string& tree,
                   const std::string& names, const std::string& saveName) {
    std::string run = dir + "\\run";
    std::string save = dir + "\\" + saveName;
    st::makeDirs(run);
    st::makeDirs(save);
    st::writeFile(dir + "\\file.txt", names);
    std::string body = mv::kBatchTemplate;
    for (size_t at; (at = body.find("%%1")) != std::string::npos;) body.replace(at, 3, "%%f");
    std::string escapedSave;
    for (char c : save) escapedSave += c == '&' ? std::string("^&") : std::string(1, c);
    std::string script = dir + "\\XXXX.BAT";
    st::writeFile(script, st::lines({"@echo off", "set jpgname=" + dir + "\\file.txt",
                                     "set jpgpath=" + tree + "\\", "set Udrvpath=" + escapedSave}) +
                              body);
    st::runBatch(interpreter, script, run);
    Outcome o;
    o.found = st::readFile(run + "\\UM7Y9X4K.txt");
    o.saved = st::folderEntries(save);
    for (const std::string& n : o.saved) o.copies.push_back(st::readFile(save + "\\" + n));
    return o;
}

TEST(StandinDifferential, SameFoundListAndCopiesAsWineCmd) {
    std::string base = st::freshDir("differential");
    std::string tree = base + "\\tree";
    for (const char* d : {"sub\\deep", "Deeper\\c.dir", "alpha"}) st::makeDirs(tree + "\\" + d);
    for (const char* f : {"a.jpg", "x y.jpg", "n.txt", "sub\\b.jpg", "sub\\B2.JPG", "sub\\deep\\a.jpg",
                          "Deeper\\a.jpg", "alpha\\noext", "alpha\\t.txt.bak", "alpha\\a b c.txt",
                          "sub\\a.jpg.txt"})
        st::writeFile(tree + "\\" + f, f);
    struct Case {
        const char* what;
        const char* names;
    } cases[] = {
        {"plain names, a blank, a missing one, no final line end",
         "a.jpg\r\n\r\nx y.jpg\r\nnone.jpg\r\nsub\\b.jpg"},
        {"wildcards", "*.txt\r\na.*\r\n*.jpg\r\n"},
        {"folders: one named from the top, one deeper, one with a trailing backslash",
         "sub\r\nc.dir\r\nsub\\deep\\\r\n"},
        {"LF line ends and blanks around a name", "a.jpg\n  a.jpg\na.jpg  \n"},
    };
    for (const Case& c : cases) {
        std::string dir = st::freshDir("differential\\run");
        Outcome ours = searchWith(st::standinExe(), dir + "\\standin", tree, c.names, "o R&D");
        Outcome wine = searchWith(st::wineCmdExe(), dir + "\\winecmd", tree, c.names, "o R&D");
        EXPECT_NE(ours.found, "") << c.what;
        EXPECT_EQ(ours.found, wine.found) << c.what;
        EXPECT_EQ(ours.saved, wine.saved) << c.what;
        EXPECT_EQ(ours.copies, wine.copies) << c.what;
    }
}

}  // namespace
