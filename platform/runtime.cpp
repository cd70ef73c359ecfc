#include "platform/runtime.h"

namespace mv {

const char* const kDefaultTitle = "信息：";

bool sameFile(const FileInfo& a, const FileInfo& b) {
    return a.exists && b.exists && a.volume == b.volume && a.index == b.index && a.indexHigh == b.indexHigh;
}

Text runDirectoryFile(Runtime& rt, const char* backslashName) { return rt.runDirectory() + backslashName; }

}  // namespace mv
