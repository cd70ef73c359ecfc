#include "results/notice.h"

#include <string>
#include <unordered_set>
#include <vector>

#include "platform/text.h"
#include "results/name_match.h"
#include "results/review.h"
#include "search/batch_script.h"

namespace mv {

namespace {

const char* const kTitle = "搜索完成";

}  // namespace

Text searchNoticeText(Runtime& rt, const Text& foundList, const Text& names) {
    size_t found = 0, sameNamed = 0;
    std::unordered_set<Text> seen;
    for (const Text& line : splitCrLf(foundList)) {
        if (line.empty()) continue;
        ++found;
        if (!seen.insert(rt.nameKey(lastComponent(line))).second) ++sameNamed;
    }
    // The script's loop skips empty lines: they were never searched.
    std::vector<Text> searched;
    for (const Text& name : splitCrLf(names)) {
        if (!name.empty()) searched.push_back(name);
    }
    size_t missing = 0;
    for (bool hit : findNames(foundList, searched)) missing += hit ? 0 : 1;

    Text text = "搜索完成，找到 " + std::to_string(found) + " 个文件。";
    if (missing > 0) text += "\r\n有 " + std::to_string(missing) + " 个文件名没有找到，请点击“未搜索到的文件”查看。";
    if (sameNamed > 0) {
        text += "\r\n有 " + std::to_string(sameNamed) + " 个找到的文件与别的文件同名，保存路径中只留下了最后复制的一个。";
    }
    return text;
}

void showSearchNotice(Runtime& rt) {
    Text found;
    // Counts from a list that could not be read would be made up.
    if (!readFoundList(rt, found)) {
        rt.messageBox(unreadableFoundList(rt), kMbOk, kTitle);
        return;
    }
    Text names = bytesToText(rt.readFile(rt.tempFolder() + kNamesFileName));
    rt.messageBox(searchNoticeText(rt, found, names), kMbOk, kTitle);
}

}  // namespace mv
