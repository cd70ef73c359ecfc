#include "app/window.h"

#include "app/settings.h"
#include "help/help.h"
#include "results/notice.h"
#include "results/remove.h"
#include "results/review.h"
#include "search/search_job.h"

namespace mv {

// Lines 5 to 19 of every batch script; the search job puts four header
// lines in front of it.
const char* const kBatchTemplate =
    "echo 清空临时文件UM7Y9X4K.txt\r\n"
    "if exist UM7Y9X4K.txt del UM7Y9X4K.txt\r\n"
    "echo.\r\n"
    "for /f \"delims=\" %%1 in (%jpgname%) do (\r\n"
    "echo 查找文件: %%1,请等待。。。\r\n"
    "dir/b/s \"%jpgpath%%%1\">>UM7Y9X4K.txt\r\n"
    ")\r\n"
    "echo.\r\n"
    "echo 查找结果保存在:UM7Y9X4K.txt\r\n"
    "echo.\r\n"
    "echo 正在复制文件，请等待。。。\r\n"
    "for /f \"delims=\" %%1 in (UM7Y9X4K.txt) do copy \"%%1\" \"%Udrvpath%\"\r\n"
    "echo.\r\n"
    "echo 完成！\r\n"
    "echo.\r\n";

namespace {

const char* const kSearchMenu = "设置";
const char* const kHelpMenu = "帮助";
const char* const kChooseSearchItem = "选择搜索路径";
const char* const kChooseSaveItem = "选择保存路径";
const char* const kAboutItem = "关于";
const char* const kUsageItem = "使用说明";

const MenuItemDesc kMenu[] = {
    {2001, kSearchMenu, kChooseSearchItem},
    {2002, kSearchMenu, kChooseSaveItem},
    {2003, kSearchMenu, kAboutItem},
    {2004, kHelpMenu, kUsageItem},
};

constexpr unsigned kPathBox = 0;
constexpr unsigned kNamesBox = kMultiLine | kHScroll | kVScroll | kNoWrap | kWantReturn;
constexpr unsigned kBatchBox = kMultiLine | kVScroll;

const ControlDesc kControls[] = {
    {1001, Kind::EditBox, ctl::kBatch, 11, 3, 256, 2, kBatchTemplate, false, true, kBatchBox, nullptr},
    {1002, Kind::Button, ctl::kStart, 16, 337, 64, 25, "开始搜索", true, true, 0, nullptr},
    {1003, Kind::EditBox, ctl::kSearchPath, 91, 7, 157, 25, "", true, true, kPathBox, nullptr},
    {1004, Kind::EditBox, ctl::kSavePath, 91, 37, 157, 25, "", true, true, kPathBox, nullptr},
    {1005, Kind::Label, "标签2", 27, 7, 55, 25, "搜索路径：", true, true, 0, nullptr},
    {1006, Kind::Label, "标签3", 27, 37, 55, 25, "保存路径：", true, true, 0, nullptr},
    {1007, Kind::Button, ctl::kChooseSearch, 257, 7, 32, 24, "<<<", true, true, 0, nullptr},
    {1008, Kind::Button, ctl::kChooseSave, 257, 37, 32, 24, "<<<", true, true, 0, nullptr},
    {1009, Kind::EditBox, ctl::kNames, 16, 120, 272, 210, "", true, true, kNamesBox, nullptr},
    {1010, Kind::Button, ctl::kViewFound, 81, 337, 104, 25, "查看搜索到的文件", true, false, 0, nullptr},
    {1011, Kind::Button, ctl::kRemove, 16, 368, 192, 24, "删除原路径文件(慎重：不可恢复)", true, false, 0, nullptr},
    {1012, Kind::Button, ctl::kNotFound, 186, 337, 102, 25, "未搜索到的文件", true, false, 0, nullptr},
    {1013, Kind::GroupBox, "分组框1", 5, 61, 296, 55, "", true, true, 0, nullptr},
    {1014, Kind::Label, "标签1", 8, 11, 283, 40,
     " 将要搜索的文件名(含扩展名)输入到下面文本框。\r\n\r\n 注意：每行只能一个文件名。", true, true, 0, "分组框1"},
};

const BindingDesc kBindings[] = {
    {kWindowSource, Event::Created, restoreSettings},
    {kWindowSource, Event::ProgramEnded, showSearchNotice},
    {ctl::kChooseSearch, Event::Clicked, chooseSearchFolder},
    {kChooseSearchItem, Event::Chosen, chooseSearchFolder},
    {ctl::kChooseSave, Event::Clicked, chooseSaveFolder},
    {kChooseSaveItem, Event::Chosen, chooseSaveFolder},
    {ctl::kSearchPath, Event::Changed, rememberSearchPath},
    {ctl::kSavePath, Event::Changed, rememberSavePath},
    {ctl::kStart, Event::Clicked, runSearchJob},
    {ctl::kViewFound, Event::Clicked, viewFoundFiles},
    {ctl::kNotFound, Event::Clicked, makeNotFoundList},
    {ctl::kRemove, Event::Clicked, removeOriginals},
    {kAboutItem, Event::Chosen, showAbout},
    {kUsageItem, Event::Chosen, showUsageHelp},
};

const WindowDesc kMainWindow = {kProgramName, 312, 458, table(kMenu), table(kControls), table(kBindings)};

}  // namespace

const WindowDesc& mainWindow() { return kMainWindow; }

}  // namespace mv
