#include "help/help.h"

#include "app/controls.h"

namespace mv {

const char* const kUsageTitle = "使用帮助";

const char* const kUsageText =
    "1.首先请将需要搜索的文件名(包含扩展名)粘贴到本软件下方的文本框内，注意：每行必须是一个文件名且包含扩展名.\r\n"
    "2.分别选择搜索路径和保存路径.\r\n"
    "3.点击开始搜索.\r\n"
    "4.待搜索执行完毕，可点击查看按钮查看搜到的文件和未搜索到的文件列表.\r\n"
    "5.如果想删除搜索到的文件的原始路径，可以点击删除原路径文件(删除后不可恢复，慎用).";

// MV_VERSION is the project's version, given by the build.
const char* const kAboutText =
    "Morvane 按文件名批量查找并复制文件。\r\n"
    "版本 " MV_VERSION "\r\n"
    "粘贴文件名列表，选择搜索路径和保存路径，即可把找到的文件复制到一处，并列出未找到的文件名。";

void showUsageHelp(Runtime& rt) { rt.messageBox(kUsageText, kMbOk, kUsageTitle); }

void showAbout(Runtime& rt) { rt.messageBox(kAboutText, kMbOk, kProgramName); }

}  // namespace mv
