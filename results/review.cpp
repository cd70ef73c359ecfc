#include "results/review.h"

#include "app/controls.h"
#include "platform/text.h"
#include "results/name_match.h"

namespace mv {

namespace {

const char* const kNotFoundList = "\\未搜到文件列表.txt";

}  // namespace

Text readFoundList(Runtime& rt) { return bytesToText(rt.readFile(runDirectoryFile(rt, "\\UM7Y9X4K.txt"))); }

NameTable& nameTable() {
    static NameTable table;
    return table;
}

void releaseNameTable() {
    nameTable() = NameTable{};
}

void viewFoundFiles(Runtime& rt) { rt.shellOpen(rt.read(ctl::kSavePath)); }

void makeNotFoundList(Runtime& rt) {
    NameTable& table = nameTable();
    table.names = splitCrLf(rt.read(ctl::kNames));
    table.count = table.names.size();

    std::vector<bool> found(table.count, false);
    if (table.count > 0 && !rt.programRunning()) {
        // No script of ours can touch the found list now, so one read and
        // one pass give what a read per name would.
        found = findNames(readFoundList(rt), table.names);
    } else {
        // A running script may still be growing or replacing the list: each
        // name is looked up in the list as it stands at that moment.
        for (size_t i = 0; i < table.count; ++i) {
            found[i] = findText(readFoundList(rt), table.names[i], true) != -1;
        }
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
