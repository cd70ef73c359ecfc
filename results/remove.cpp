#include "results/remove.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "app/controls.h"
#include "platform/text.h"
#include "results/review.h"
#include "search/script_record.h"

namespace mv {

namespace {

const char* const kStillRunning = "搜索还没有结束，请等它的命令窗口关闭后再删除原路径文件。";
const char* const kConfirm = "您确定要删除原始路径文件吗？删除后无法恢复，请慎重！";
const char* const kConfirmTitle = "删除原始文件";
const char* const kDone = "原始文件删除完毕！";
const char* const kDoneTitle = "信息提示！";
const char* const kNothingDeleted = "没有删除任何文件。";
const char* const kNoCopy = "（保存路径中没有相同的副本）";
const char* const kIsCopy = "（它本身就是保存路径中的副本）";
const char* const kSameName = "（有同名的不同文件，副本可能被覆盖）";
const char* const kUnreadable = "（无法读取）";
const char* const kCannotDelete = "（无法删除）";
constexpr size_t kMaxListed = 10;

// One path of the found list and what became of it.
struct Original {
    size_t line = 0;  // place in the found list, for the report
    Text path;
    HeldFile held;
    const char* keep = nullptr;  // why it stays; nullptr while it may go
    bool nameOfHeld = false;     // refused only because another name of it is held
};

struct Outcome {
    size_t deleted = 0;
    std::vector<const Original*> kept;
};

// Where the script's copy of original went: the save folder joined with the
// original's last path component. Empty when either is missing.
Text copyPath(const Text& savePath, const Text& original) {
    Text name = lastComponent(original);
    if (savePath.empty() || name.empty()) return Text();
    return endsWithBackslash(savePath) ? savePath + name : savePath + "\\" + name;
}

// Each path of the list once, compared as Windows compares paths.
std::vector<Original> listedOnce(Runtime& rt, const std::vector<Text>& lines) {
    std::vector<Original> originals;
    std::unordered_set<Text> seen;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty() || !seen.insert(rt.nameKey(lines[i])).second) continue;
        Original o;
        o.line = i;
        o.path = lines[i];
        originals.push_back(std::move(o));
    }
    return originals;
}

// Holds the original and sets keep unless its copy holds the same bytes.
void judge(Runtime& rt, const Text& savePath, Original& o, const std::vector<Original*>& held) {
    o.held = rt.holdFile(o.path);
    if (o.held.status == Opened::kMissing) return;
    if (o.held.status == Opened::kFailed) {
        o.keep = kUnreadable;
        // Two names of one file share its sharing rules: our own hold on
        // the other name refuses this one.
        FileInfo info = rt.fileInfo(o.path);
        for (const Original* h : held) o.nameOfHeld = o.nameOfHeld || sameFile(info, h->held.info);
        return;
    }
    if (o.held.info.folder) {
        // dir lists a folder whose name matches like a file; copy took only
        // the files directly inside it, and those are not in the list.
        o.keep = kCannotDelete;
        return;
    }
    Text copy = copyPath(savePath, o.path);
    FileInfo copyInfo = copy.empty() ? FileInfo{} : rt.fileInfo(copy);
    if (sameFile(o.held.info, copyInfo)) {
        o.keep = kIsCopy;
    } else if (!copyInfo.exists || copyInfo.folder) {
        o.keep = kNoCopy;
    } else {
        Compared c = rt.compareHeld(o.held.id, copy);
        if (c == Compared::kDifferent) o.keep = kNoCopy;
        if (c == Compared::kFailed) o.keep = kUnreadable;
    }
}

// True when the group names two or more different files and the copy may
// not hold the bytes of all of them: a later copy of one would replace the
// only other copy of another.
bool differentFilesAtStake(const std::vector<Original*>& group) {
    std::set<std::pair<uint64_t, std::pair<uint64_t, uint64_t>>> files;
    size_t unknown = 0;
    bool allLikeCopy = true;
    for (const Original* o : group) {
        if (o->held.status == Opened::kMissing || o->nameOfHeld || o->keep == kCannotDelete) continue;
        if (o->held.id != 0) {
            files.insert({o->held.info.volume, {o->held.info.index, o->held.info.indexHigh}});
        } else {
            ++unknown;  // exists, but whether it is another file is unknown
        }
        if (o->keep && o->keep != kIsCopy) allLikeCopy = false;
    }
    return files.size() + unknown >= 2 && !allLikeCopy;
}

// Removes what may go of a group of originals with names equal as Windows
// compares names, all of which share one copy. Returns the members to try
// again once the group's files are released.
std::vector<Original*> removeGroup(Runtime& rt, const Text& savePath, const std::vector<Original*>& group,
                                   Outcome& out) {
    std::vector<Original*> held;
    for (Original* o : group) {
        judge(rt, savePath, *o, held);
        if (o->held.id != 0) held.push_back(o);
    }
    const bool keepAll = differentFilesAtStake(group);
    std::vector<Original*> again;
    for (Original* o : group) {
        if (o->held.status == Opened::kMissing) continue;
        if (keepAll) {
            if (!o->keep || o->keep == kNoCopy || o->nameOfHeld) o->keep = kSameName;
        } else if (o->nameOfHeld) {
            o->held = HeldFile{};
            o->keep = nullptr;
            o->nameOfHeld = false;
            again.push_back(o);
            continue;
        } else if (!o->keep) {
            if (rt.deleteHeld(o->held.id)) {
                ++out.deleted;
                continue;
            }
            o->keep = kCannotDelete;
        }
        out.kept.push_back(o);
    }
    for (const Original* o : held) rt.releaseFile(o->held.id);
    return again;
}

Text completionText(const Outcome& out) {
    if (out.kept.empty()) return kDone;
    Text text = kDone;
    text += kCrLf;
    text += "已删除 " + std::to_string(out.deleted) + " 个文件，以下 " + std::to_string(out.kept.size()) +
            " 个文件未删除：";
    for (size_t i = 0; i < out.kept.size() && i < kMaxListed; ++i) {
        text += kCrLf + out.kept[i]->path + out.kept[i]->keep;
    }
    if (out.kept.size() > kMaxListed) {
        text += kCrLf;
        text += "……";
    }
    return text;
}

}  // namespace

void removeOriginals(Runtime& rt) {
    // Until the script has ended its found list may be partial or still the
    // previous search's, and its copies may not all be made.
    if (searchUnfinished(rt)) {
        rt.messageBox(kStillRunning, kMbOk);
        return;
    }
    // Only an answered OK goes on; a box that could not be shown is no answer.
    if (rt.messageBox(kConfirm, kMbOkCancel, kConfirmTitle) != kOk) return;
    // Another window may have started a search while the box was open.
    if (searchUnfinished(rt)) {
        rt.messageBox(kStillRunning, kMbOk);
        return;
    }

    Text list;
    if (!readFoundList(rt, list)) {
        rt.messageBox(unreadableFoundList(rt) + kCrLf + kNothingDeleted, kMbOk, kDoneTitle);
        return;
    }
    std::vector<Original> originals = listedOnce(rt, splitCrLf(list));
    // Groups in the order of their first path.
    std::map<Text, size_t> groupOf;
    std::vector<std::vector<Original*>> groups;
    for (Original& o : originals) {
        auto [at, fresh] = groupOf.emplace(rt.nameKey(lastComponent(o.path)), groups.size());
        if (fresh) groups.emplace_back();
        groups[at->second].push_back(&o);
    }

    Text savePath = rt.read(ctl::kSavePath);
    Outcome out;
    for (const std::vector<Original*>& group : groups) {
        for (std::vector<Original*> left = group; !left.empty();) left = removeGroup(rt, savePath, left, out);
    }
    std::sort(out.kept.begin(), out.kept.end(),
              [](const Original* a, const Original* b) { return a->line < b->line; });
    rt.messageBox(completionText(out), kMbOk, kDoneTitle);
}

}  // namespace mv
