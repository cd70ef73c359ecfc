#include "search/script_record.h"

#include <cstdlib>
#include <string>

#include "search/batch_script.h"

namespace mv {

const char* const kRecordFileName = "XXXX.PID";

namespace {

Text recordPath(Runtime& rt) {
    Text dir = workDirectory(rt);
    return dir.empty() ? Text() : dir + kRecordFileName;
}

}  // namespace

void recordScript(Runtime& rt) {
    Text path = recordPath(rt);
    ProcessStamp p = rt.lastProgram();
    if (path.empty() || p.id == 0) return;
    rt.writeFile(path, std::to_string(p.id) + " " + std::to_string(p.created) + "\r\n");
}

bool recordedScriptRuns(Runtime& rt) {
    Text path = recordPath(rt);
    if (path.empty()) return false;
    Text record = rt.readFile(path);
    char* end = nullptr;
    ProcessStamp p;
    p.id = static_cast<uint32_t>(std::strtoul(record.c_str(), &end, 10));
    if (p.id == 0 || *end != ' ') return false;
    p.created = std::strtoull(end + 1, nullptr, 10);
    return rt.processRuns(p);
}

bool searchUnfinished(Runtime& rt) { return rt.pausing() || rt.programRunning() || recordedScriptRuns(rt); }

}  // namespace mv
