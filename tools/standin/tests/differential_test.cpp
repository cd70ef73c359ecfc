// The search script under the stand-in and under Wine's own interpreter,
// where Wine's can run it: a letter as the loop variable, ASCII names. And
// the stand-in's one walk per run against a walk per name.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>

#include "app/window.h"
#include "search/batch_script.h"
#include "tools/standin/tests/harness.h"

namespace {

struct Outcome {
    std::string found, out, err;
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

// A random tree with ASCII and GBK names, case variants, names without an
// extension, and the run and save folders sometimes inside it; the names
// list mixes those names in other cases, wildcards, folder parts, folders
// and names that match nothing. Built the same for the same seed.
struct RandomSearch {
    std::string tree, run, save, work;
    std::string names;
};

const char* const kFolders[] = {"sub", "Sub2", "photos", "图片", "乗", "Ω组", "x y", "a.dir", "b\x80"};
const char* const kStems[] = {"a", "A", "b", "img_01", "IMG_01", "图", "乗", "Ω", "ω", "ａ",
                              "Ａ", "я", "Я", "x y", "noext", "c.d", "\x80"};
const char* const kExts[] = {".jpg", ".JPG", ".txt", "", ".jpeg"};
const char* const kWild[] = {"*.jpg", "*.JPG", "a.*", "?.jpg", "*", "*.", "img*", "*.txt",
                             "??.*", "图*", "ω*", "я?.jpg", "*.jp?", "um7y9x4k.*"};
// Letters whose other case is another GBK character.
const char* const kCasePairs[][2] = {{"Ω", "ω"}, {"ａ", "Ａ"}, {"я", "Я"}};

std::string otherCase(std::string s, std::mt19937& rng) {
    for (const auto& pair : kCasePairs)
        for (int k = 0; k < 2; ++k)
            for (size_t at; rng() % 2 && (at = s.find(pair[k])) != std::string::npos;)
                s.replace(at, std::string(pair[k]).size(), pair[1 - k]);
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        if (b >= 0x81 && b <= 0xFE) {
            ++i;
        } else if (std::isalpha(b) && rng() % 2) {
            s[i] = static_cast<char>(std::isupper(b) ? std::tolower(b) : std::toupper(b));
        }
    }
    return s;
}

RandomSearch makeRandomSearch(const std::string& base, unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](auto& list) { return std::string(list[rng() % (sizeof list / sizeof list[0])]); };
    RandomSearch r;
    r.tree = base + "\\tree";
    r.work = base + "\\work\\";
    st::makeDirs(r.tree);
    st::makeDirs(r.work);
    std::vector<std::string> folders = {""};  // below the tree, "" for the tree itself
    for (int i = 0; i < 8; ++i) {
        std::string parent = folders[rng() % folders.size()];
        if (std::count(parent.begin(), parent.end(), '\\') >= 2) continue;
        std::string f = parent + (parent.empty() ? "" : "\\") + pick(kFolders);
        CreateDirectoryA((r.tree + "\\" + f).c_str(), nullptr);
        folders.push_back(f);
    }
    std::vector<std::string> files;
    for (int i = 0; i < 30; ++i) {
        std::string folder = folders[rng() % folders.size()];
        std::string name = pick(kStems) + pick(kExts);
        std::string rel = folder + (folder.empty() ? "" : "\\") + name;
        st::writeFile(r.tree + "\\" + rel, rel);
        files.push_back(rel);
    }
    auto place = [&](const char* leaf) {
        bool inside = rng() % 2;
        std::string path = inside ? r.tree + "\\" + folders[rng() % folders.size()] : base;
        path += (path.back() == '\\' ? "" : "\\") + std::string(leaf);
        st::makeDirs(path);
        return path;
    };
    r.run = place("run");
    r.save = place("save");
    // An earlier run's found list, perhaps in another case.
    if (rng() % 2) st::writeFile(r.run + "\\" + otherCase("UM7Y9X4K.txt", rng), "stale\r\n");
    for (int i = 0; i < 16; ++i) {
        std::string name;
        switch (rng() % 6) {
        case 0:
        case 1: {
            const std::string& f = files[rng() % files.size()];
            name = otherCase(f.substr(f.rfind('\\') == std::string::npos ? 0 : f.rfind('\\') + 1), rng);
            break;
        }
        case 2: name = pick(kWild); break;
        case 3: name = otherCase(files[rng() % files.size()], rng); break;  // with its folder part
        case 4: {
            const std::string& f = folders[1 + rng() % (folders.size() - 1)];
            name = otherCase(rng() % 2 ? f : f + "\\" + pick(kWild), rng);
            break;
        }
        default: name = rng() % 2 ? "none.jpg" : "缺.jpg";
        }
        r.names += name + "\r\n";
    }
    return r;
}

Outcome searchOnce(unsigned seed, bool walkPerName) {
    std::string base = st::freshDir("differential\\walk");
    RandomSearch r = makeRandomSearch(base, seed);
    st::writeFile(r.work + "file.txt", r.names);
    st::writeFile(r.work + "XXXX.BAT",
                  mv::composeBatchScript(r.work, r.tree + "\\", r.save, mv::kBatchTemplate));
    SetEnvironmentVariableA("MVCMD_WALK", walkPerName ? "each" : nullptr);
    st::Result res = st::runBatch(st::standinExe(), r.work + "XXXX.BAT", r.run);
    SetEnvironmentVariableA("MVCMD_WALK", nullptr);
    Outcome o{st::readFile(r.run + "\\UM7Y9X4K.txt"), res.out, res.err, st::folderEntries(r.save), {}};
    for (const std::string& n : o.saved) o.copies.push_back(st::readFile(r.save + "\\" + n));
    return o;
}

TEST(StandinOneWalk, SameFoundListAndCopiesAsAWalkPerName) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        Outcome once = searchOnce(seed, false);
        Outcome each = searchOnce(seed, true);
        EXPECT_NE(once.found, "") << "seed " << seed;
        EXPECT_EQ(once.found, each.found) << "seed " << seed;
        EXPECT_EQ(once.out, each.out) << "seed " << seed;
        EXPECT_EQ(once.err, each.err) << "seed " << seed;
        EXPECT_EQ(once.saved, each.saved) << "seed " << seed;
        EXPECT_EQ(once.copies, each.copies) << "seed " << seed;
    }
}

}  // namespace
