#include <gtest/gtest.h>

#include "app/window.h"
#include "tests/unit/fake_runtime.h"

namespace mv {
namespace {

const Text kIni = "D:\\tools\\config.ini";
const Text kSearchKey = "搜索路径";
const Text kSaveKey = "保存路径";

using Writes = std::vector<std::pair<Text, Text>>;  // key, value

Writes writes(const FakeRuntime& rt) {
    Writes out;
    for (const auto& w : rt.settingWrites) {
        EXPECT_EQ(w.file, kIni);
        EXPECT_EQ(w.section, "zhuce");
        out.emplace_back(w.key, w.value);
    }
    return out;
}

TEST(RestoreSettings, PutsStoredValuesBackAndWritesEachOnce) {
    FakeRuntime rt;
    rt.ini[{kIni, "zhuce", kSearchKey}] = "D:\\照片\\";
    rt.ini[{kIni, "zhuce", kSaveKey}] = "E:\\out";
    rt.start();
    EXPECT_EQ(rt.controls["搜索路径框"].text, "D:\\照片\\");
    EXPECT_EQ(rt.controls["保存路径框"].text, "E:\\out");
    EXPECT_EQ(writes(rt), (Writes{{kSearchKey, "D:\\照片\\"}, {kSaveKey, "E:\\out"}}));
    EXPECT_EQ(rt.events, (std::vector<std::string>{":created", "搜索路径框:changed", "保存路径框:changed"}));
}

TEST(RestoreSettings, EmptyOrMissingValuesLeaveTheBoxAndWriteNothing) {
    FakeRuntime none;
    none.start();
    EXPECT_TRUE(none.settingWrites.empty());
    EXPECT_EQ(none.controls["搜索路径框"].text, "");

    FakeRuntime half;
    half.ini[{kIni, "zhuce", kSearchKey}] = "";
    half.ini[{kIni, "zhuce", kSaveKey}] = "E:\\no such folder";
    half.start();
    EXPECT_EQ(half.controls["搜索路径框"].text, "");
    EXPECT_EQ(half.controls["保存路径框"].text, "E:\\no such folder");
    EXPECT_EQ(writes(half), (Writes{{kSaveKey, "E:\\no such folder"}}));
}

TEST(RestoreSettings, SettingsFileOfAnExecutableInADriveRoot) {
    FakeRuntime rt;
    rt.runDir = "D:";
    rt.ini[{"D:\\config.ini", "zhuce", kSearchKey}] = "D:\\a\\";
    rt.start();
    ASSERT_EQ(rt.settingWrites.size(), 1u);
    EXPECT_EQ(rt.settingWrites[0].file, "D:\\config.ini");
}

TEST(RememberPath, EveryChangeWritesTheWholeText) {
    FakeRuntime rt;
    rt.start();
    rt.type("保存路径框", "E");
    rt.type("保存路径框", "E:");
    rt.type("保存路径框", "");
    rt.write("搜索路径框", "D:\\");
    rt.write("搜索路径框", "D:\\");
    EXPECT_EQ(writes(rt), (Writes{{kSaveKey, "E"}, {kSaveKey, "E:"}, {kSaveKey, ""}, {kSearchKey, "D:\\"},
                                  {kSearchKey, "D:\\"}}));
}

TEST(ChooseFolder, ResultForms) {
    struct Case {
        bool search;
        Text chosen;  // empty: cancelled, or an item without a file-system path
        Text box;
        Writes written;
    } cases[] = {
        {true, "D:\\data", "D:\\data\\", {{kSearchKey, "D:\\data\\"}}},
        {true, "C:\\", "C:\\", {{kSearchKey, "C:\\\\"}, {kSearchKey, "C:\\"}}},
        {true, "C:\\users\\li\\Documents\\", "C:\\users\\li\\Documents\\",
         {{kSearchKey, "C:\\users\\li\\Documents\\\\"}, {kSearchKey, "C:\\users\\li\\Documents\\"}}},
        // 乗 ends in byte 0x5C: the folder keeps its path.
        {true, "D:\\\x81\x5c", "D:\\\x81\x5c\\", {{kSearchKey, "D:\\\x81\x5c\\"}}},
        {true, "", "\\", {{kSearchKey, "\\"}}},
        {false, "E:\\out", "E:\\out", {{kSaveKey, "E:\\out"}}},
        {false, "E:\\", "E:\\", {{kSaveKey, "E:\\"}}},
        {false, "", "", {{kSaveKey, ""}}},
    };
    for (const Case& c : cases) {
        for (bool byMenu : {false, true}) {
            FakeRuntime rt;
            rt.start();
            rt.write(c.search ? "搜索路径框" : "保存路径框", "old");
            rt.settingWrites.clear();
            rt.folderAnswers.push_back(c.chosen);
            if (byMenu) {
                rt.choose(c.search ? "选择搜索路径" : "选择保存路径");
            } else {
                rt.click(c.search ? "按钮_选择搜索路径" : "按钮_选择保存路径");
            }
            SCOPED_TRACE(c.chosen + (byMenu ? " by menu" : " by button"));
            EXPECT_EQ(rt.prompts, std::vector<Text>{c.search ? "搜索路径" : "保存路径"});
            EXPECT_EQ(rt.controls[c.search ? "搜索路径框" : "保存路径框"].text, c.box);
            EXPECT_EQ(writes(rt), c.written);
        }
    }
}

}  // namespace
}  // namespace mv
