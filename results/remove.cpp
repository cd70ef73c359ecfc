#include "results/remove.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/controls.h"
#include "platform/text.h"
#include "results/review.h"

namespace mv {

namespace {

const char* const kStillRunning = "搜索还没有结束，请等它的命令窗口关闭后再删除原路径文件。";
const char* const kConfirm = "您确定要删除原始路径文件吗？删除后无法恢复，请慎重！";
const char* const kConfirmTitle = "删除原始文件";
const char* const kDone = "原始文件删除完毕！";
const char* const kDoneTitle = "信息提示！";
const char* const kNoCopy = "（保存路径中没有相同的副本）";
const char* const kIsCopy = "（它本身就是保存路径中的副本）";
const char* const kCannotDelete = "（无法删除）";
constexpr size_t kMaxListed = 10;

struct Kept {
    Text path;
    const char* reason;
};

// Where the script's copy of original went: the save folder joined with the
// original's last path component. Empty when either is missing.
Text copyPath(const Text& savePath, const Text& original) {
    size_t slash = lastBackslash(original);
    Text name = slash == Text::npos ? original : original.substr(slash + 1);
    if (savePath.empty() || name.empty()) return Text();
    return endsWithBackslash(savePath) ? savePath + name : savePath + "\\" + name;
}

// Remembers the files already handled. Two spellings of one file (case,
// short name, a second link) share volume and index, as Windows sees them;
// a file system that reports neither falls back to the case-folded path.
class SeenFiles {
  public:
    // True when the file was already handled; otherwise records it.
    bool check(const Text& path, const FileInfo& info) {
        if (info.volume != 0 || info.index != 0) return !ids_.insert({info.volume, info.index}).second;
        return !paths_.insert(foldPath(path)).second;
    }

  private:
    std::set<std::pair<uint64_t, uint64_t>> ids_;
    std::set<Text> paths_;
};

Text completionText(size_t deleted, const std::vector<Kept>& kept) {
    if (kept.empty()) return kDone;
    Text text = kDone;
    text += kCrLf;
    text += "已删除 " + std::to_string(deleted) + " 个文件，以下 " + std::to_string(kept.size()) + " 个文件未删除：";
    for (size_t i = 0; i < kept.size() && i < kMaxListed; ++i) {
        text += kCrLf + kept[i].path + kept[i].reason;
    }
    if (kept.size() > kMaxListed) {
        text += kCrLf;
        text += "……";
    }
    return text;
}

}  // namespace

void removeOriginals(Runtime& rt) {
    // While the script runs, its found list may be partial and its copy
    // loop may not have reached a file yet.
    if (rt.programRunning()) {
        rt.messageBox(kStillRunning, kMbOk);
        return;
    }
    if (rt.messageBox(kConfirm, kMbOkCancel, kConfirmTitle) != kOk) return;

    std::vector<Text> paths = splitCrLf(readFoundList(rt));
    Text savePath = rt.read(ctl::kSavePath);
    SeenFiles seen;
    size_t deleted = 0;
    std::vector<Kept> kept;
    for (const Text& path : paths) {
        if (path.empty()) continue;
        FileInfo info = rt.fileInfo(path);
        // Gone already: deleted by an earlier spelling, or by someone else.
        if (!info.exists || seen.check(path, info)) continue;
        // dir lists a folder whose name matches like a file; copy took only
        // the files directly inside it, and those are not in the list.
        if (info.folder) {
            kept.push_back({path, kCannotDelete});
            continue;
        }
        Text copy = copyPath(savePath, path);
        FileInfo copyInfo = copy.empty() ? FileInfo{} : rt.fileInfo(copy);
        if (sameFile(info, copyInfo)) {
            kept.push_back({path, kIsCopy});
        } else if (!copyInfo.exists || copyInfo.folder || !rt.sameContent(path, copy)) {
            kept.push_back({path, kNoCopy});
        } else if (rt.deleteFile(path)) {
            ++deleted;
        } else {
            kept.push_back({path, kCannotDelete});
        }
    }
    rt.messageBox(completionText(deleted, kept), kMbOk, kDoneTitle);
}

}  // namespace mv
