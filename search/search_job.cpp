#include "search/search_job.h"

#include "app/controls.h"
#include "platform/text.h"
#include "search/batch_script.h"

namespace mv {

namespace {

const char* const kBusy = "上一次搜索还没有结束，请等它的命令窗口关闭后再开始新的搜索。";
const char* const kNoSearchPath = "请选择搜索路径";
const char* const kNoSavePath = "请选择保存路径";
const char* const kNoNames = "您没有输入任何要搜索的文件名";
const char* const kSaveNotFolder = "保存路径不是一个已存在的文件夹：\r\n";
const char* const kTempUnusable = "临时文件夹不可用，无法开始搜索：\r\n";

// The temporary folder in a form the script can name unquoted, or empty.
Text workDirectory(Runtime& rt) {
    Text dir = rt.tempFolder();
    if (dir.empty() || bareScriptPath(dir)) return dir;
    Text shortDir = rt.shortPath(dir);
    if (!shortDir.empty() && !endsWithBackslash(shortDir)) shortDir += '\\';
    return bareScriptPath(shortDir) ? shortDir : Text();
}

bool isFolder(Runtime& rt, const Text& path) {
    FileInfo info = rt.fileInfo(path);
    return info.exists && info.folder;
}

}  // namespace

void runSearchJob(Runtime& rt) {
    // The running script reads the names file and writes the found list.
    if (rt.pausing() || rt.programRunning()) {
        rt.messageBox(kBusy, kMbOk);
        return;
    }
    Text names = rt.read(ctl::kNames);
    Text temp = rt.tempFolder();
    if (!temp.empty()) rt.writeFile(temp + kNamesFileName, names);

    if (rt.read(ctl::kSearchPath).empty()) {
        rt.messageBox(kNoSearchPath, kMbOk);
        return;
    }
    Text savePath = rt.read(ctl::kSavePath);
    if (savePath.empty()) {
        rt.messageBox(kNoSavePath, kMbOk);
        return;
    }
    if (rt.read(ctl::kNames).empty()) {
        rt.messageBox(kNoNames, kMbOk);
        return;
    }
    // copy would write every hit onto one file of that name.
    if (!isFolder(rt, savePath)) {
        rt.messageBox(kSaveNotFolder + savePath, kMbOk);
        return;
    }
    Text scriptDir = workDirectory(rt);
    if (scriptDir.empty()) {
        rt.messageBox(kTempUnusable + rt.tempFolder(), kMbOk);
        return;
    }
    Text scriptPath = scriptDir + kScriptFileName;

    Text script = composeBatchScript(workDirectory(rt), rt.read(ctl::kSearchPath), rt.read(ctl::kSavePath),
                                     rt.read(ctl::kBatch));
    rt.writeFile(scriptPath, script);
    rt.pause(1000);
    rt.startProgram(scriptPath, false, kShowNormal);

    rt.setDisabled(ctl::kViewFound, false);
    rt.setDisabled(ctl::kRemove, false);
    rt.setDisabled(ctl::kNotFound, false);
}

}  // namespace mv
