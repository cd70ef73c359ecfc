#include "app/settings.h"

#include "app/controls.h"
#include "platform/text.h"

namespace mv {

namespace {

const char* const kSection = "zhuce";
const char* const kSearchKey = "搜索路径";
const char* const kSaveKey = "保存路径";

Text settingsFile(Runtime& rt) { return runDirectoryFile(rt, "\\config.ini"); }

void restoreOne(Runtime& rt, const char* key, const char* box) {
    Text value = rt.readSetting(settingsFile(rt), kSection, key);
    if (!value.empty()) rt.write(box, value);
}

void rememberOne(Runtime& rt, const char* key, const char* box) {
    Text file = settingsFile(rt);
    rt.writeSetting(file, kSection, key, rt.read(box));
}

}  // namespace

void restoreSettings(Runtime& rt) {
    restoreOne(rt, kSearchKey, ctl::kSearchPath);
    restoreOne(rt, kSaveKey, ctl::kSavePath);
}

void rememberSearchPath(Runtime& rt) { rememberOne(rt, kSearchKey, ctl::kSearchPath); }

void rememberSavePath(Runtime& rt) { rememberOne(rt, kSaveKey, ctl::kSavePath); }

void chooseSaveFolder(Runtime& rt) { rt.write(ctl::kSavePath, rt.folderDialog("保存路径")); }

void chooseSearchFolder(Runtime& rt) {
    rt.write(ctl::kSearchPath, rt.folderDialog("搜索路径") + "\\");
    // A path the shell already ended in a backslash (a drive root, or a
    // special folder under Wine) now ends in two: drop the extra one. Looked
    // at by characters, so a trail byte 0x5C is not taken for a backslash.
    Text path = rt.read(ctl::kSearchPath);
    Text head = path.substr(0, path.size() - 1);
    if (endsWithBackslash(head)) rt.write(ctl::kSearchPath, head);
}

}  // namespace mv
