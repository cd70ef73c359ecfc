// The not-found list at scale: the handler's one-pass search against the
// per-name reference (a read and scan per name, kept only here), and grep
// -F -i as an outside reference, on generated archives.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "app/controls.h"
#include "platform/text.h"
#include "results/review.h"

namespace mv {
namespace {

// A runtime over the host's files. Windows paths from the handlers are
// mapped to POSIX ones by turning backslash characters (not trail bytes)
// into slashes.
class HostRuntime : public Runtime {
  public:
    Text runDir, names;

    static std::string hostPath(const Text& path) {
        std::string p = path;
        for (size_t i = 0; i < p.size(); i += charLength(p, i)) {
            if (p[i] == '\\') p[i] = '/';
        }
        return p;
    }

    Text read(const char* control) override { return Text(control) == ctl::kNames ? names : Text(); }
    void write(const char*, const Text&) override {}
    void setDisabled(const char*, bool) override {}
    using Runtime::messageBox;
    int messageBox(const Text&, unsigned, const Text&) override { return kOk; }
    Text folderDialog(const Text&) override { return Text(); }
    Text runDirectory() override { return runDir; }
    Text readSetting(const Text&, const Text&, const Text&) override { return Text(); }
    void writeSetting(const Text&, const Text&, const Text&, const Text&) override {}
    Text tempFolder() override { return Text(); }
    Text shortPath(const Text&) override { return Text(); }
    bool writeFile(const Text& path, const Text& bytes) override {
        std::ofstream out(hostPath(path), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out);
    }
    Text readFile(const Text& path) override {
        Text bytes;
        readSharedFile(path, bytes);
        return bytes;
    }
    bool deleteFile(const Text&) override { return false; }
    FileInfo fileInfo(const Text&) override { return FileInfo{}; }
    Opened readSharedFile(const Text& path, Text& bytes) override {
        std::ifstream in(hostPath(path), std::ios::binary);
        if (!in) return Opened::kMissing;
        std::ostringstream all;
        all << in.rdbuf();
        bytes = all.str();
        return Opened::kOk;
    }
    HeldFile holdFile(const Text&) override { return HeldFile{}; }
    Compared compareHeld(uint64_t, const Text&) override { return Compared::kFailed; }
    bool deleteHeld(uint64_t) override { return false; }
    void releaseFile(uint64_t) override {}
    void pause(unsigned) override {}
    bool pausing() override { return false; }
    bool startProgram(const Text&, bool, int) override { return false; }
    bool programRunning() override { return false; }
    ProcessStamp lastProgram() override { return ProcessStamp{}; }
    bool processRuns(const ProcessStamp&) override { return false; }
    bool windowOpen() override { return true; }
    std::vector<Text> folderFiles(const Text&) override { return {}; }
    Text nameKey(const Text& name) override { return name; }
    bool canCreateIn(const Text&) override { return true; }
    bool canDelete(const Text&) override { return true; }
    void shellExecute(const Text&, const Text&, const Text&, const Text&, int) override {}
    void shellOpen(const Text&) override {}
};

// n found-list lines like a photo studio's archive, and n names: half of
// them listed (a fifth of those in another case, a fifth only as the tail of
// a longer name), half absent.
struct Archive {
    std::string dir;            // holds the found list and the not-found list
    Text foundList;             // CR LF lines
    Text names;                 // CR LF between names, as the names box holds them
    std::string namesFile;      // LF lines, for grep
    std::string foundListFile;  // host path
};

Archive makeArchive(size_t n) {
    std::mt19937 rng(static_cast<unsigned>(n));
    const char* const roots[] = {"D:\\影楼\\", "E:\\摄影存档\\", "D:\\照片备份\\"};
    const char* const surnames[] = {"张", "王", "李", "赵", "刘", "陈", "杨", "黄", "周", "吴"};
    const char* const given[] = {"三", "伟", "芳", "娜", "敏", "静", "磊", "洋", "艳", "勇", "军", "杰"};
    const char* const kinds[] = {"原片", "精修", "婚纱", "儿童", "写真"};
    const char* const prefixes[] = {"DSC_", "IMG_", "_MG_", "P"};
    const char* const exts[] = {".JPG", ".jpg", ".CR2", ".NEF"};
    auto pick = [&](size_t count) { return std::uniform_int_distribution<size_t>(0, count - 1)(rng); };

    // Distinct (prefix, number, extension) triples: the first n are listed,
    // the rest are names of files that do not exist.
    std::vector<uint32_t> codes(4 * 100000);
    for (uint32_t i = 0; i < codes.size(); ++i) codes[i] = i;
    std::shuffle(codes.begin(), codes.end(), rng);
    auto fileName = [&](uint32_t code) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%05u", code % 100000);
        return Text(prefixes[code / 100000]) + digits + exts[code % 4];
    };

    Archive a;
    std::vector<Text> listed;
    for (size_t i = 0; i < n; ++i) {
        Text name = fileName(codes[i]);
        Text folder = Text(roots[pick(3)]) + std::to_string(2019 + pick(7)) + "\\客户" + surnames[pick(10)] +
                      given[pick(12)] + "\\" + kinds[pick(5)] + "\\";
        a.foundList += folder + name + "\r\n";
        listed.push_back(name);
    }
    std::vector<Text> names;
    for (size_t i = 0; i < n; ++i) {
        if (i % 2 == 1) {
            names.push_back(fileName(codes[n + i]));
            continue;
        }
        Text name = listed[pick(n)];
        switch (pick(5)) {
            case 0:
                for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                break;
            case 1:
                name = name.substr(name.find_first_of("0123456789") + 1);  // only inside the longer name
                break;
            default:
                break;
        }
        names.push_back(name);
    }
    for (size_t i = 0; i < names.size(); ++i) {
        a.names += (i ? "\r\n" : "") + names[i];
        a.namesFile += names[i] + "\n";
    }

    char tmpl[] = "/tmp/morvane-bench-XXXXXX";
    a.dir = mkdtemp(tmpl);
    a.foundListFile = a.dir + "/UM7Y9X4K.txt";
    HostRuntime rt;
    rt.writeFile(a.foundListFile, a.foundList);
    rt.writeFile(a.dir + "/names.txt", a.namesFile);
    return a;
}

// Archives made so far; their folders go when the program ends.
struct Archives {
    std::map<size_t, std::unique_ptr<Archive>> made;
    ~Archives() {
        for (auto& [n, a] : made) {
            for (const char* f : {"/UM7Y9X4K.txt", "/names.txt", "/未搜到文件列表.txt"}) std::remove((a->dir + f).c_str());
            rmdir(a->dir.c_str());
        }
    }
};

const Archive& archive(size_t n) {
    static Archives archives;
    std::unique_ptr<Archive>& a = archives.made[n];
    if (!a) a = std::make_unique<Archive>(makeArchive(n));
    return *a;
}

Text runHandler(const Archive& a) {
    HostRuntime rt;
    rt.runDir = a.dir;
    rt.names = a.names;
    makeNotFoundList(rt);
    return rt.readFile(a.dir + "/未搜到文件列表.txt");
}

// The algorithm the handler once used while a script ran, kept here as the
// reference the one pass must agree with: a read of the found list and a
// find-text scan of it for every name. The handler itself now refuses to
// run before the script has ended.
Text perNameNotFound(HostRuntime& rt) {
    Text result;
    for (const Text& name : splitCrLf(rt.names)) {
        Text list = bytesToText(rt.readFile(runDirectoryFile(rt, "\\UM7Y9X4K.txt")));
        if (findText(list, name, true) == -1) result.append(name).append(kCrLf);
    }
    return result;
}

void setCounters(benchmark::State& state, const Archive& a) {
    state.counters["names"] = static_cast<double>(state.range(0));
    state.counters["list_bytes"] = static_cast<double>(a.foundList.size());
}

// One read of the found list, one pass for all names, the not-found list
// written to disk.
void BM_OnePass(benchmark::State& state) {
    const Archive& a = archive(static_cast<size_t>(state.range(0)));
    HostRuntime rt;
    rt.runDir = a.dir;
    rt.names = a.names;
    for (auto _ : state) makeNotFoundList(rt);
    setCounters(state, a);
    if (state.range(0) <= 10000 && runHandler(a) != perNameNotFound(rt)) {
        state.SkipWithError("one-pass and per-name results differ");
    }
}

// The per-name reference: a read and a scan of the found list for every
// name.
void BM_PerName(benchmark::State& state) {
    const Archive& a = archive(static_cast<size_t>(state.range(0)));
    HostRuntime rt;
    rt.runDir = a.dir;
    rt.names = a.names;
    for (auto _ : state) benchmark::DoNotOptimize(perNameNotFound(rt));
    setCounters(state, a);
}

void BM_GrepFixed(benchmark::State& state) {
    const Archive& a = archive(static_cast<size_t>(state.range(0)));
    std::string command = "LC_ALL=C grep -F -i -c -f '" + a.dir + "/names.txt' '" + a.foundListFile + "' >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) == -1) state.SkipWithError("grep did not start");
    }
    setCounters(state, a);
}

BENCHMARK(BM_OnePass)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PerName)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrepFixed)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace mv

BENCHMARK_MAIN();
