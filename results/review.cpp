#include "results/review.h"

#include "app/controls.h"
#include "platform/text.h"
#include "results/name_match.h"
#include "search/batch_script.h"
#include "search/script_record.h"

namespace mv {

namespace {

const char* const kNotFoundList = "\\未搜到文件列表.txt";
const char* const kUnfinished = "搜索还没有结束，请等它的命令窗口关闭后再查看未搜索到的文件。";

}  // namespace

bool readFoundList(Runtime& rt, Text& text) {
    Text bytes;
    Opened opened = rt.readSharedFile(foundListPath(rt), bytes);
    text = bytesToText(bytes);
    return opened != Opened::kFailed;
}

Text unreadableFoundList(Runtime& rt) { return Text("无法读取搜索结果列表：") + kCrLf + foundListPath(rt); }

NameTable& nameTable() {
    static NameTable table;
    return table;
}

void releaseNameTable() {
    nameTable() = NameTable{};
}

void viewFoundFiles(Runtime& rt) { rt.shellOpen(rt.read(ctl::kSavePath)); }

void makeNotFoundList(Runtime& rt) {
    // Until the script has ended its list may be partial, or still the
    // previous search's.
    if (searchUnfinished(rt)) {
        rt.messageBox(kUnfinished, kMbOk);
        return;
    }
    NameTable& table = nameTable();
    table.names = splitCrLf(rt.read(ctl::kNames));
    table.count = table.names.size();

    std::vector<bool> found(table.count, false);
    if (table.count > 0) {
        Text list;
        if (!readFoundList(rt, list)) {
            rt.messageBox(unreadableFoundList(rt), kMbOk);
            return;
        }
        found = findNames(list, table.names);
    }

    Text result;
    for (size_t i = 0; i < table.count; ++i) {
        if (!found[i]) result.append(table.names[i]).append(kCrLf);
    }
    Text path = runDirectoryFile(rt, kNotFoundList);
    rt.writeFile(path, result);
    rt.shellExecute("", path, "", "", kShowNormal);
}

}  // namespace mv
