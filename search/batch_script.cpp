#include "search/batch_script.h"

#include <cstring>

#include "platform/text.h"

namespace mv {

const char* const kNamesFileName = "file.txt";
const char* const kScriptFileName = "XXXX.BAT";

Text escapeSetValue(const Text& value) {
    Text out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); i += charLength(value, i)) {
        char c = value[i];
        if (charLength(value, i) == 2) {
            out.append(value, i, 2);
            continue;
        }
        if (c == '%') out += '%';
        else if (std::strchr("^&|<>", c)) out += '^';
        out += c;
    }
    return out;
}

bool bareScriptPath(const Text& folder) {
    for (size_t i = 0; i < folder.size(); i += charLength(folder, i)) {
        if (charLength(folder, i) == 1 && std::strchr(" &|<>^%(),;=", folder[i])) return false;
    }
    return true;
}

Text foundListPath(Runtime& rt) { return runDirectoryFile(rt, "\\UM7Y9X4K.txt"); }

Text workDirectory(Runtime& rt) {
    Text dir = rt.tempFolder();
    if (dir.empty() || bareScriptPath(dir)) return dir;
    Text shortDir = rt.shortPath(dir);
    if (!shortDir.empty() && !endsWithBackslash(shortDir)) shortDir += '\\';
    return bareScriptPath(shortDir) ? shortDir : Text();
}

Text composeBatchScript(const Text& workDir, const Text& searchPath, const Text& savePath,
                        const Text& batchTemplate) {
    Text search = endsWithBackslash(searchPath) ? searchPath : searchPath + "\\";
    return Text("@echo off\r\n") +
           "set jpgname=" + escapeSetValue(workDir + kNamesFileName) + "\r\n" +
           "set jpgpath=" + escapeSetValue(search) + "\r\n" +
           "set Udrvpath=" + escapeSetValue(savePath) + "\r\n" + batchTemplate;
}

}  // namespace mv
