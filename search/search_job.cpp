#include "search/search_job.h"

#include <unordered_set>
#include <vector>

#include "app/controls.h"
#include "platform/text.h"
#include "search/batch_script.h"
#include "search/script_record.h"

namespace mv {

namespace {

const char* const kBusy = "上一次搜索还没有结束，请等它的命令窗口关闭后再开始新的搜索。";
const char* const kNoSearchPath = "请选择搜索路径";
const char* const kNoSavePath = "请选择保存路径";
const char* const kNoNames = "您没有输入任何要搜索的文件名";
const char* const kSaveNotFolder = "保存路径不是一个已存在的文件夹：\r\n";
const char* const kSearchNotFolder = "搜索路径不是一个已存在的文件夹：\r\n";
const char* const kLoopVariable = "路径中含有“%1”或“%~”，搜索脚本无法处理：\r\n";
const char* const kTempUnusable = "临时文件夹不可用，无法开始搜索：\r\n";
const char* const kRunDirUnusable = "程序所在的文件夹无法写入，搜索结果无法保存：\r\n";
const char* const kOverwriteTitle = "覆盖同名文件";
const char* const kOverwriteHead = "保存路径中已有 ";
const char* const kOverwriteTail = " 个同名文件，搜索到的同名文件会覆盖它们，覆盖后无法恢复：\r\n";
const char* const kOverwriteMore = "……\r\n";
const char* const kOverwriteAsk = "要继续搜索吗？";
constexpr size_t kOverwriteShown = 10;

bool isFolder(Runtime& rt, const Text& path) {
    FileInfo info = rt.fileInfo(path);
    return info.exists && info.folder;
}

// A drive path (D:\...) or a share (\\server\share...): the only forms
// that name one folder whatever the current drive and folder are.
bool isFullPath(const Text& path) {
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (path.size() >= 3 && letter(path[0]) && path[1] == ':' && path[2] == '\\') return true;
    if (path.compare(0, 2, "\\\\") != 0) return false;
    size_t server = path.find('\\', 2);
    return server != Text::npos && server > 2 && server + 1 < path.size() && path[server + 1] != '\\';
}

// Inside the script's loops the interpreter reads %1 and %~ as the loop
// variable, even in text that came out of a variable.
bool holdsLoopVariable(const Text& path) {
    return path.find("%1") != Text::npos || path.find("%~") != Text::npos;
}

bool isBlank(const Text& text) { return text.find_first_not_of(" \t") == Text::npos; }

// Files directly in the save folder that a copy of the search may replace:
// those a name's last component matches as dir would.
std::vector<Text> filesAtRisk(Runtime& rt, const Text& saveFolder, const Text& names) {
    std::unordered_set<Text> plain;
    std::vector<Text> patterns;
    for (const Text& name : splitCrLf(names)) {
        Text last = lastComponent(name);
        if (isBlank(last)) continue;
        if (last.find_first_of("*?") == Text::npos) {
            plain.insert(rt.nameKey(last));
        } else {
            patterns.push_back(last);
        }
    }
    std::vector<Text> atRisk;
    if (plain.empty() && patterns.empty()) return atRisk;
    for (const Text& file : rt.folderFiles(saveFolder)) {
        bool hit = plain.count(rt.nameKey(file)) > 0;
        for (size_t i = 0; !hit && i < patterns.size(); ++i) hit = wildcardMatch(patterns[i], file);
        if (hit) atRisk.push_back(file);
    }
    return atRisk;
}

// True when the user lets the copies replace those files.
bool overwriteAccepted(Runtime& rt, const std::vector<Text>& atRisk) {
    if (atRisk.empty()) return true;
    Text text = kOverwriteHead + std::to_string(atRisk.size()) + kOverwriteTail;
    for (size_t i = 0; i < atRisk.size() && i < kOverwriteShown; ++i) text += atRisk[i] + kCrLf;
    if (atRisk.size() > kOverwriteShown) text += kOverwriteMore;
    text += kOverwriteAsk;
    return rt.messageBox(text, kMbOkCancel | kMbDefButton2, kOverwriteTitle) == kOk;
}

bool refuse(Runtime& rt, const Text& text) {
    rt.messageBox(text, kMbOk);
    return false;
}

// The checks after the names file is written; false once one has shown its
// box.
bool inputsUsable(Runtime& rt, bool namesWritten) {
    if (rt.read(ctl::kSearchPath).empty()) return refuse(rt, kNoSearchPath);
    Text savePath = rt.read(ctl::kSavePath);
    if (savePath.empty()) return refuse(rt, kNoSavePath);
    if (rt.read(ctl::kNames).empty()) return refuse(rt, kNoNames);
    // copy would write every hit onto one file of that name.
    if (!isFolder(rt, savePath)) return refuse(rt, kSaveNotFolder + savePath);
    Text searchPath = rt.read(ctl::kSearchPath);
    Text searchFolder = searchPath;
    if (searchFolder.size() > 3 && endsWithBackslash(searchFolder)) searchFolder.pop_back();
    if (!isFullPath(searchPath) || !isFolder(rt, searchFolder)) {
        return refuse(rt, kSearchNotFolder + searchPath);
    }
    for (const Text& path : {searchPath, savePath}) {
        if (holdsLoopVariable(path)) return refuse(rt, kLoopVariable + path);
    }
    if (!namesWritten || workDirectory(rt).empty()) return refuse(rt, kTempUnusable + rt.tempFolder());
    Text runDir = rt.runDirectory();
    if (!rt.canCreateIn(runDir) || !rt.canDelete(foundListPath(rt))) {
        return refuse(rt, kRunDirUnusable + runDir);
    }
    return overwriteAccepted(rt, filesAtRisk(rt, savePath, rt.read(ctl::kNames)));
}

// Called where this window's own pause is not under way.
bool refuseWhileRunning(Runtime& rt) {
    if (!searchUnfinished(rt)) return false;
    rt.messageBox(kBusy, kMbOk);
    return true;
}

}  // namespace

void runSearchJob(Runtime& rt) {
    // A click during this window's own pause would only start the same
    // search twice.
    if (rt.pausing()) return;
    // The running script reads the names file and writes the found list.
    if (refuseWhileRunning(rt)) return;

    Text temp = rt.tempFolder();
    Text names = rt.read(ctl::kNames);
    bool namesWritten = !temp.empty() && rt.writeFile(temp + kNamesFileName, names);
    if (!inputsUsable(rt, namesWritten)) return;

    Text scriptDir = workDirectory(rt);
    Text script = composeBatchScript(scriptDir, rt.read(ctl::kSearchPath), rt.read(ctl::kSavePath),
                                     rt.read(ctl::kBatch));
    if (!rt.writeFile(scriptDir + kScriptFileName, script)) {
        rt.messageBox(kTempUnusable + rt.tempFolder(), kMbOk);
        return;
    }
    rt.pause(1000);
    // Closed during the pause: nobody is left to see the search or act on it.
    if (!rt.windowOpen()) return;
    // Another window may have started its search meanwhile, or be about to:
    // it shares the work files, and its script must not run with ours.
    if (refuseWhileRunning(rt)) return;
    if (rt.readFile(temp + kNamesFileName) != names || rt.readFile(scriptDir + kScriptFileName) != script) {
        rt.messageBox(kBusy, kMbOk);
        return;
    }
    if (rt.startProgram(scriptDir + kScriptFileName, false, kShowNormal)) recordScript(rt);

    rt.setDisabled(ctl::kViewFound, false);
    rt.setDisabled(ctl::kRemove, false);
    rt.setDisabled(ctl::kNotFound, false);
}

}  // namespace mv
