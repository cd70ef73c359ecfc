#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "app/window.h"
#include "search/batch_script.h"
#include "search/search_job.h"
#include "tests/unit/fake_runtime.h"

namespace mv {
namespace {

const char* const kBusy = "上一次搜索还没有结束，请等它的命令窗口关闭后再开始新的搜索。";
const char* const kResultButtons[] = {ctl::kViewFound, ctl::kRemove, ctl::kNotFound};

Text readGolden(const char* name) {
    std::ifstream in(std::string(MV_SOURCE_DIR) + "/tests/unit/golden/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

struct SearchJob : ::testing::Test {
    FakeRuntime rt;
    void SetUp() override {
        rt.putFolder("D:\\pics");
        rt.putFolder("E:\\out");
        rt.putFile("C:\\TEMP\\file.txt", "old names");
        rt.start();
    }
    void fill(const Text& search, const Text& save, const Text& names) {
        rt.write(ctl::kSearchPath, search);
        rt.write(ctl::kSavePath, save);
        rt.write(ctl::kNames, names);
    }
    Text script() {
        const FakeRuntime::File* f = rt.file("C:\\TEMP\\XXXX.BAT");
        return f ? f->bytes : "<none>";
    }
    bool buttonsEnabled() {
        bool all = true, none = true;
        for (const char* b : kResultButtons) {
            all = all && !rt.controls[b].disabled;
            none = none && rt.controls[b].disabled;
        }
        EXPECT_TRUE(all || none);
        return all;
    }
};

TEST_F(SearchJob, ExampleGivesGoldenScriptAndNamesFile) {
    fill("D:\\pics\\", "E:\\out", "a.jpg\r\nb.jpg");
    rt.click(ctl::kStart);

    EXPECT_EQ(rt.file("C:\\TEMP\\file.txt")->bytes, "a.jpg\r\nb.jpg");
    EXPECT_EQ(rt.file("C:\\TEMP\\file.txt")->bytes.size(), 12u);
    Text golden = readGolden("example_script.bat");
    ASSERT_EQ(golden.size(), 453u);
    EXPECT_EQ(script(), golden);
    EXPECT_EQ(script().substr(script().size() - 369), kBatchTemplate);
    EXPECT_TRUE(rt.boxes.empty());
}

TEST_F(SearchJob, ValidatesInOrderAfterWritingTheNamesFile) {
    struct Case {
        Text search, save, names;
        const char* message;  // nullptr: the script starts
    } cases[] = {
        {"", "", "", "请选择搜索路径"},
        {"", "E:\\out", "a.jpg", "请选择搜索路径"},
        {"D:\\pics\\", "", "a.jpg", "请选择保存路径"},
        {"D:\\pics\\", "E:\\out", "", "您没有输入任何要搜索的文件名"},
        {"D:\\pics\\", "E:\\nowhere", "a.jpg", "保存路径不是一个已存在的文件夹：\r\nE:\\nowhere"},
        {"D:\\pics\\", "D:\\pics\\a.jpg", "a.jpg", "保存路径不是一个已存在的文件夹：\r\nD:\\pics\\a.jpg"},
        {" ", " ", "\r\n", "保存路径不是一个已存在的文件夹：\r\n "},
        // The search folder: full, existing, and free of the loop variable.
        {"\\", "E:\\out", "a.jpg", "搜索路径不是一个已存在的文件夹：\r\n\\"},
        {"D:\\nowhere\\", "E:\\out", "a.jpg", "搜索路径不是一个已存在的文件夹：\r\nD:\\nowhere\\"},
        {"pics\\", "E:\\out", "a.jpg", "搜索路径不是一个已存在的文件夹：\r\npics\\"},
        {"D:pics\\", "E:\\out", "a.jpg", "搜索路径不是一个已存在的文件夹：\r\nD:pics\\"},
        {"D:\\pics\\a.jpg", "E:\\out", "a.jpg", "搜索路径不是一个已存在的文件夹：\r\nD:\\pics\\a.jpg"},
        {"D:\\利润15%12月\\", "E:\\out", "a.jpg", "路径中含有“%1”或“%~”，搜索脚本无法处理：\r\nD:\\利润15%12月\\"},
        {"D:\\pics\\", "E:\\x%~y", "a.jpg", "路径中含有“%1”或“%~”，搜索脚本无法处理：\r\nE:\\x%~y"},
        {"D:\\pics\\", "E:\\out", "\r\n", nullptr},
        {"D:\\", "E:\\out", "a.jpg", nullptr},
        {"\\\\nas\\photos\\", "E:\\out", "a.jpg", nullptr},
        {"D:\\pics", "E:\\x%2", "a.jpg", nullptr},
        {"D:\\pics\\", "E:\\out", "a.jpg", nullptr},
    };
    for (const Case& c : cases) {
        FakeRuntime rt;
        for (const char* folder : {"D:\\", "D:\\pics", "D:\\利润15%12月", "E:\\out", "E:\\x%~y", "E:\\x%2",
                                   "\\\\nas\\photos"}) {
            rt.putFolder(folder);
        }
        rt.putFile("D:\\pics\\a.jpg", "jpeg");
        rt.start();
        rt.search(c.search, c.save, c.names);

        SCOPED_TRACE(c.search + "|" + c.save + "|" + c.names);
        EXPECT_EQ(rt.file("C:\\TEMP\\file.txt")->bytes, c.names);
        EXPECT_EQ(rt.hasFile("C:\\TEMP\\XXXX.BAT"), c.message == nullptr);
        EXPECT_EQ(rt.starts.size(), c.message ? 0u : 1u);
        if (c.message) {
            ASSERT_EQ(rt.boxes.size(), 1u);
            EXPECT_EQ(rt.boxes[0].text, c.message);
            EXPECT_EQ(rt.boxes[0].flags, kMbOk);
            EXPECT_EQ(rt.boxes[0].title, "信息：");
            for (const char* b : kResultButtons) EXPECT_TRUE(rt.controls[b].disabled) << b;
        } else {
            EXPECT_TRUE(rt.boxes.empty());
            for (const char* b : kResultButtons) EXPECT_FALSE(rt.controls[b].disabled) << b;
        }
    }
}

TEST_F(SearchJob, PausesThenStartsTheScriptThenEnablesButtonsInOrder) {
    fill("D:\\pics\\", "E:\\out", "a.jpg");
    bool scriptWrittenBeforePause = false;
    size_t startsDuringPause = 1;
    rt.duringPause = [&] {
        scriptWrittenBeforePause = rt.hasFile("C:\\TEMP\\XXXX.BAT");
        startsDuringPause = rt.starts.size();
    };
    rt.click(ctl::kStart);

    EXPECT_TRUE(scriptWrittenBeforePause);
    EXPECT_EQ(startsDuringPause, 0u);
    EXPECT_EQ(rt.pauses, std::vector<unsigned>{1000});
    ASSERT_EQ(rt.starts.size(), 1u);
    EXPECT_EQ(rt.starts[0].commandLine, "C:\\TEMP\\XXXX.BAT");
    EXPECT_FALSE(rt.starts[0].wait);
    EXPECT_EQ(rt.starts[0].showMode, kShowNormal);
    EXPECT_EQ(rt.stateChanges, (std::vector<std::string>{"按钮_查看搜索保存结果=0", "按钮_删除原始路径文件=0",
                                                         "按钮_未搜索到文件=0"}));
}

TEST_F(SearchJob, SecondStartIsIgnoredDuringThePauseAndRefusedWhileTheScriptRuns) {
    fill("D:\\pics\\", "E:\\out", "a.jpg");
    rt.duringPause = [&] {
        rt.write(ctl::kNames, "b.jpg");
        rt.click(ctl::kStart);
    };
    rt.click(ctl::kStart);
    EXPECT_TRUE(rt.boxes.empty());
    EXPECT_EQ(rt.pauses.size(), 1u);
    EXPECT_EQ(rt.starts.size(), 1u);
    EXPECT_EQ(rt.file("C:\\TEMP\\file.txt")->bytes, "a.jpg");

    rt.duringPause = nullptr;
    rt.running = true;
    size_t writes = rt.fileWrites.size();
    rt.click(ctl::kStart);
    EXPECT_EQ(rt.boxes.back().text, kBusy);
    EXPECT_EQ(rt.fileWrites.size(), writes);  // not even the names file
    EXPECT_EQ(rt.starts.size(), 1u);

    rt.running = false;
    rt.alive.clear();  // the script has ended
    rt.click(ctl::kStart);
    EXPECT_EQ(rt.starts.size(), 2u);
    EXPECT_EQ(rt.file("C:\\TEMP\\file.txt")->bytes, "b.jpg");
}

TEST_F(SearchJob, WorkDirectoryWithBlanksUsesItsShortForm) {
    rt.temp = "C:\\Documents and Settings\\li\\Temp\\";
    rt.shortPaths[rt.temp] = "C:\\DOCUME~1\\li\\Temp";
    fill("D:\\pics\\", "E:\\out", "a.jpg");
    rt.click(ctl::kStart);

    EXPECT_EQ(rt.file("C:\\Documents and Settings\\li\\Temp\\file.txt")->bytes, "a.jpg");
    ASSERT_EQ(rt.starts.size(), 1u);
    EXPECT_EQ(rt.starts[0].commandLine, "C:\\DOCUME~1\\li\\Temp\\XXXX.BAT");
    const FakeRuntime::File* script = rt.file("C:\\DOCUME~1\\li\\Temp\\XXXX.BAT");
    ASSERT_NE(script, nullptr);
    EXPECT_NE(script->bytes.find("\r\nset jpgname=C:\\DOCUME~1\\li\\Temp\\file.txt\r\n"), Text::npos);
}

TEST_F(SearchJob, UnusableWorkDirectoryEndsTheJob) {
    struct Case {
        Text temp, shortForm;
        bool namesWritten;
    } cases[] = {
        {"C:\\Temp (x)\\", "", true},             // no short form
        {"C:\\a b\\", "C:\\a b\\", true},          // short form still has the blank
        {"C:\\R&D\\", "C:\\R&D\\", true},
        {"", "", false},                          // the platform reports no folder
    };
    for (const Case& c : cases) {
        FakeRuntime rt;
        rt.putFolder("D:\\pics");
        rt.putFolder("E:\\out");
        rt.temp = c.temp;
        if (!c.shortForm.empty()) rt.shortPaths[c.temp] = c.shortForm;
        rt.start();
        rt.search("D:\\pics\\", "E:\\out", "a.jpg");
        SCOPED_TRACE(c.temp);
        ASSERT_EQ(rt.boxes.size(), 1u);
        EXPECT_EQ(rt.boxes[0].text, "临时文件夹不可用，无法开始搜索：\r\n" + c.temp);
        EXPECT_EQ(rt.hasFile(c.temp + "file.txt"), c.namesWritten);
        EXPECT_EQ(rt.fileWrites.size(), c.namesWritten ? 1u : 0u);
        EXPECT_TRUE(rt.starts.empty());
        EXPECT_TRUE(rt.controls[ctl::kViewFound].disabled);
    }
}

// An old script held open by another program would otherwise be started.
TEST_F(SearchJob, ScriptThatCannotBeWrittenStartsNothing) {
    rt.putFile("C:\\TEMP\\XXXX.BAT", "@echo an older search\r\n");
    rt.file("C:\\TEMP\\XXXX.BAT")->locked = true;
    rt.search("D:\\pics\\", "E:\\out", "a.jpg");
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0].text, "临时文件夹不可用，无法开始搜索：\r\nC:\\TEMP\\");
    EXPECT_TRUE(rt.starts.empty());
    EXPECT_TRUE(rt.pauses.empty());
    EXPECT_FALSE(buttonsEnabled());
}

// A second window clicks during this one's pause: they share the work files.
TEST_F(SearchJob, WorkFilesRewrittenInThePauseStartNothing) {
    for (const char* file : {"C:\\TEMP\\file.txt", "C:\\TEMP\\XXXX.BAT"}) {
        FakeRuntime rt;
        rt.putFolder("D:\\pics");
        rt.putFolder("E:\\out");
        rt.start();
        rt.duringPause = [&] { rt.putFile(file, "the other window's"); };
        rt.search("D:\\pics\\", "E:\\out", "a.jpg");
        SCOPED_TRACE(file);
        EXPECT_TRUE(rt.starts.empty());
        ASSERT_EQ(rt.boxes.size(), 1u);
        EXPECT_EQ(rt.boxes[0].text, kBusy);
        EXPECT_TRUE(rt.controls[ctl::kRemove].disabled);
    }
}

TEST_F(SearchJob, ClosedDuringThePauseStartsNothing) {
    fill("D:\\pics\\", "E:\\out", "a.jpg");
    rt.duringPause = [&] { rt.open = false; };
    rt.click(ctl::kStart);
    EXPECT_TRUE(rt.starts.empty());
    EXPECT_FALSE(buttonsEnabled());
}

// Each check's box, in order: every row makes one more check pass.
TEST_F(SearchJob, ChecksComeInOrderWithTheirExactBoxes) {
    rt.putFile("E:\\file", "not a folder");
    rt.putFile("E:\\out\\a.jpg", "client's own");
    rt.putFolder("D:\\15%1");
    rt.temp = "C:\\a b\\";
    rt.unwritableFolders.insert("d:\\tools");
    fill("\\", "E:\\file", "a.jpg");
    struct Step {
        std::function<void()> mend;
        Text box;
    } steps[] = {
        {[] {}, "保存路径不是一个已存在的文件夹：\r\nE:\\file"},
        {[&] { rt.write(ctl::kSavePath, "E:\\out"); }, "搜索路径不是一个已存在的文件夹：\r\n\\"},
        {[&] { rt.write(ctl::kSearchPath, "D:\\15%1\\"); }, "路径中含有“%1”或“%~”，搜索脚本无法处理：\r\nD:\\15%1\\"},
        {[&] { rt.write(ctl::kSearchPath, "D:\\pics\\"); }, "临时文件夹不可用，无法开始搜索：\r\nC:\\a b\\"},
        {[&] { rt.temp = "C:\\TEMP\\"; }, "程序所在的文件夹无法写入，搜索结果无法保存：\r\nD:\\tools"},
        {[&] { rt.unwritableFolders.clear(); },
         "保存路径中已有 1 个同名文件，搜索到的同名文件会覆盖它们，覆盖后无法恢复：\r\na.jpg\r\n要继续搜索吗？"},
    };
    for (Step& step : steps) {
        step.mend();
        rt.boxes.clear();
        rt.boxAnswers = {kCancel};
        rt.click(ctl::kStart);
        ASSERT_EQ(rt.boxes.size(), 1u);
        EXPECT_EQ(rt.boxes[0].text, step.box);
        EXPECT_TRUE(rt.starts.empty());
        EXPECT_FALSE(rt.hasFile("C:\\TEMP\\XXXX.BAT"));
    }
    // A found list that the script could not delete is the run folder's fault too.
    rt.putFile("D:\\tools\\UM7Y9X4K.txt", "D:\\pics\\a.jpg\r\n");
    rt.file("D:\\tools\\UM7Y9X4K.txt")->readOnly = true;
    rt.boxes.clear();
    rt.click(ctl::kStart);
    ASSERT_EQ(rt.boxes.size(), 1u);
    EXPECT_EQ(rt.boxes[0].text, "程序所在的文件夹无法写入，搜索结果无法保存：\r\nD:\\tools");
    EXPECT_EQ(rt.boxes[0].flags, kMbOk);
}

TEST(OverwriteGuard, AsksBeforeACopyCouldReplaceAFileOfTheSaveFolder) {
    const Text head = "保存路径中已有 ";
    const Text tail = " 个同名文件，搜索到的同名文件会覆盖它们，覆盖后无法恢复：\r\n";
    const Text ask = "要继续搜索吗？";
    struct Case {
        Text names;
        Text listed;  // the box's file lines; empty: no box
        size_t count;
    } cases[] = {
        {"report.doc", "report.doc\r\n", 1},
        {"REPORT.DOC", "report.doc\r\n", 1},                   // other case
        {"2024\\客户\\Report.doc", "report.doc\r\n", 1},       // a name with a folder part
        {"?eport.*", "report.doc\r\n", 1},
        {"img_*.jpg\r\nreport.doc", "IMG_0001.JPG\r\nreport.doc\r\n", 2},
        {"\xa3\xe1.jpg", "\xa3\xc1.jpg\r\n", 1},                // fullwidth ａ finds Ａ
        {"sub", "", 0},                                         // a folder is no file to replace
        {"  \r\n\r\n2024\\\r\n\t", "", 0},                    // blank and empty last parts
        {"other.doc\r\nx*.jpg", "", 0},
        {"*.txt", "f01.txt\r\nf02.txt\r\nf03.txt\r\nf04.txt\r\nf05.txt\r\nf06.txt\r\nf07.txt\r\nf08.txt\r\n"
                  "f09.txt\r\nf10.txt\r\n……\r\n", 12},
    };
    for (const Case& c : cases) {
        for (int answer : {kOk, kCancel, kNoBox}) {
            FakeRuntime rt;
            rt.putFolder("D:\\pics");
            rt.putFolder("E:\\out");
            rt.putFolder("E:\\out\\sub");
            rt.putFile("E:\\out\\report.doc", "mine");
            rt.putFile("E:\\out\\IMG_0001.JPG", "2023");
            rt.putFile("E:\\out\\\xa3\xc1.jpg", "fullwidth");
            rt.putFile("E:\\out\\sub\\other.doc", "deeper");
            for (int i = 1; i <= 12; ++i) rt.putFile("E:\\out\\f" + Text(i < 10 ? "0" : "") + std::to_string(i) + ".txt", "t");
            rt.start();
            rt.write(ctl::kSearchPath, "D:\\pics\\");
            rt.write(ctl::kSavePath, "E:\\out");
            rt.write(ctl::kNames, c.names);
            rt.boxAnswers = {answer};
            rt.click(ctl::kStart);

            SCOPED_TRACE(c.names + " / answer " + std::to_string(answer));
            const bool asked = !c.listed.empty();
            ASSERT_EQ(rt.boxes.size(), asked ? 1u : 0u);
            if (asked) {
                EXPECT_EQ(rt.boxes[0].text, head + std::to_string(c.count) + tail + c.listed + ask);
                EXPECT_EQ(rt.boxes[0].flags, kMbOkCancel | kMbDefButton2);
                EXPECT_EQ(rt.boxes[0].title, "覆盖同名文件");
            }
            const bool goesOn = !asked || answer == kOk;
            EXPECT_EQ(rt.hasFile("C:\\TEMP\\XXXX.BAT"), goesOn);
            EXPECT_EQ(rt.starts.size(), goesOn ? 1u : 0u);
            EXPECT_EQ(rt.controls[ctl::kRemove].disabled, !goesOn);
            EXPECT_EQ(rt.file("E:\\out\\report.doc")->bytes, "mine");
        }
    }
}

TEST(ScriptRecord, AScriptRecordedByAnyWindowRefusesANewSearchWhileItRuns) {
    // The first window starts a search and records its script.
    FakeRuntime first;
    first.putFolder("D:\\pics");
    first.putFolder("E:\\out");
    first.start();
    first.search("D:\\pics\\", "E:\\out", "a.jpg");
    ASSERT_EQ(first.starts.size(), 1u);
    const ProcessStamp script = first.lastProgram();
    const Text record = first.file("C:\\TEMP\\XXXX.PID")->bytes;
    EXPECT_EQ(record, std::to_string(script.id) + " " + std::to_string(script.created) + "\r\n");

    // A second window sees the same disk; only its own process handle is new.
    struct Case {
        const char* what;
        std::vector<ProcessStamp> alive;
        bool refused;
    } cases[] = {
        {"still runs", {script}, true},
        {"has ended", {}, false},
        {"id reused by another process", {{script.id, script.created + 1}}, false},
    };
    for (const Case& c : cases) {
        FakeRuntime second;
        second.putFolder("D:\\pics");
        second.putFolder("E:\\out");
        second.putFile("C:\\TEMP\\XXXX.PID", record);
        second.alive = c.alive;
        second.start();
        second.search("D:\\pics\\", "E:\\out", "b.jpg");
        SCOPED_TRACE(c.what);
        EXPECT_EQ(second.starts.size(), c.refused ? 0u : 1u);
        EXPECT_EQ(second.boxes.size(), c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_EQ(second.boxes[0].text, kBusy);
        }
        EXPECT_EQ(second.file("C:\\TEMP\\file.txt") != nullptr, !c.refused);
    }
}

TEST(EscapeSetValue, Table) {
    struct Case {
        Text value, escaped;
    } cases[] = {
        {"E:\\out", "E:\\out"},
        {"E:\\R&D", "E:\\R^&D"},
        {"E:\\100%", "E:\\100%%"},
        {"E:\\%out%", "E:\\%%out%%"},
        {"a^b|c<d>e", "a^^b^|c^<d^>e"},
        {"D:\\照片 2024\\(新)", "D:\\照片 2024\\(新)"},
        {"\x81\x7c", "\x81\x7c"},  // 亅: second byte is |
        {"\x81\x5e", "\x81\x5e"},  // 乛: second byte is ^
        {"\x81\x25", "\x81\x25"},  // second byte is %
        {"\x81\x7c|", "\x81\x7c^|"},
        {"E:\\R\x80&D", "E:\\R\x80^&D"},  // 0x80 is the euro sign, not a lead byte
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(escapeSetValue(c.value), c.escaped) << c.value;
}

TEST(ComposeBatchScript, HeaderCarriesPathsExactly) {
    struct Case {
        Text search, save;
        Text line3, line4;
    } cases[] = {
        {"D:\\pics\\", "E:\\out", "set jpgpath=D:\\pics\\", "set Udrvpath=E:\\out"},
        {"D:\\", "E:\\", "set jpgpath=D:\\", "set Udrvpath=E:\\"},
        {"D:\\pics", "E:\\R&D", "set jpgpath=D:\\pics\\", "set Udrvpath=E:\\R^&D"},
        {"D:\\\x81\x5c", "E:\\50%", "set jpgpath=D:\\\x81\x5c\\", "set Udrvpath=E:\\50%%"},
        {"\\\\server\\share\\", "E:\\a b", "set jpgpath=\\\\server\\share\\", "set Udrvpath=E:\\a b"},
    };
    for (const Case& c : cases) {
        Text s = composeBatchScript("C:\\TEMP\\", c.search, c.save, kBatchTemplate);
        EXPECT_EQ(s, "@echo off\r\nset jpgname=C:\\TEMP\\file.txt\r\n" + c.line3 + "\r\n" + c.line4 + "\r\n" +
                         kBatchTemplate);
    }
}

TEST(BareScriptPath, RejectsWhatTheForLineWouldSplit) {
    EXPECT_TRUE(bareScriptPath("C:\\users\\li\\AppData\\Local\\Temp\\"));
    EXPECT_TRUE(bareScriptPath("C:\\临时\\"));
    EXPECT_TRUE(bareScriptPath("C:\\\x81\x7c\\"));
    EXPECT_FALSE(bareScriptPath("C:\\\x80&\\"));
    for (const char* bad : {"C:\\a b\\", "C:\\a&b\\", "C:\\a|b\\", "C:\\a<b\\", "C:\\a>b\\", "C:\\a^b\\",
                            "C:\\a%b\\", "C:\\a(b\\", "C:\\a)b\\", "C:\\a,b\\", "C:\\a;b\\", "C:\\a=b\\"}) {
        EXPECT_FALSE(bareScriptPath(bad)) << bad;
    }
}

}  // namespace
}  // namespace mv
