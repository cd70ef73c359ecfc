// The question before a search about same-named files in the save folder:
// a click of 开始搜索 with a names list of n lines against a save folder of
// n / 10 files, through the in-memory runtime of the unit tests. The box is
// answered Cancel, so the time is the checks and the guard alone.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "app/controls.h"
#include "tests/unit/fake_runtime.h"

namespace mv {
namespace {

Text photoName(size_t i, const char* ext) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%06zu%s", i, ext);
    return name;
}

void BM_OverwriteGuard(benchmark::State& state) {
    const size_t n = static_cast<size_t>(state.range(0));
    FakeRuntime rt;
    rt.putFolder("D:\\pics");
    rt.putFolder("E:\\out");
    // Every tenth name has a file of its name in the save folder, in
    // another case; one line in a hundred is a wildcard.
    for (size_t i = 0; i < n; i += 10) rt.putFile("E:\\out\\" + photoName(i, ".jpg"), "x");
    Text names;
    for (size_t i = 0; i < n; ++i) {
        names += i % 100 == 99 ? "2024\\客户" + std::to_string(i) + "\\*_" + std::to_string(i) + ".CR?"
                               : "2024\\客户\\" + photoName(i, ".JPG");
        names += "\r\n";
    }
    rt.start();
    rt.write(ctl::kSearchPath, "D:\\pics\\");
    rt.write(ctl::kSavePath, "E:\\out");
    rt.write(ctl::kNames, names);
    for (auto _ : state) {
        rt.boxAnswers = {kCancel};
        rt.click(ctl::kStart);
    }
    if (rt.starts.size() != 0 || rt.boxes.empty() || rt.boxes.back().title != "覆盖同名文件") {
        state.SkipWithError("the guard did not ask");
    }
    state.counters["names"] = static_cast<double>(n);
    state.counters["save_files"] = static_cast<double>((n + 9) / 10);
}

BENCHMARK(BM_OverwriteGuard)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace mv
