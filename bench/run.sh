#!/bin/sh
# Builds the host Release tree, runs the not-found benchmarks and prints one
# table: the one-pass handler, the per-name reference (kept in the benchmark
# only) and grep -F -i on the same generated files.
set -e
src=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$src/build/host}
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target morvane_bench >/dev/null
out=$(mktemp /tmp/morvane-bench-XXXXXX.json)
trap 'rm -f "$out"' EXIT
"$build/bench/morvane_bench" --benchmark_format=json --benchmark_out="$out" --benchmark_out_format=json \
    --benchmark_filter="${BENCH_FILTER:-BM_(OnePass|PerName|GrepFixed)}" >/dev/null

echo "machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), $(grep -m1 MemTotal /proc/meminfo | awk '{printf "%.0f GB RAM", $2/1048576}')"
echo "grep:    $(grep --version | head -1)"
python3 - "$out" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
ms = {}
info = {}
for r in runs:
    if r.get("error_occurred"):
        print("ERROR", r["name"], r.get("error_message")); continue
    kind, n = r["name"].split("/")[0:2]
    ms[(kind, int(n))] = r["real_time"]  # milliseconds
    info[int(n)] = r.get("list_bytes", 0)
def cell(v): return "%10.1f" % v if v is not None else "%10s" % "-"
print("%8s %10s %10s %10s %10s %12s %12s" % ("names", "list KB", "one-pass", "per-name", "grep -F", "per-name /", "grep /"))
print("%8s %10s %10s %10s %10s %12s %12s" % ("= lines", "", "ms", "ms", "-i ms", "one-pass", "one-pass"))
for n in sorted(info):
    one = ms.get(("BM_OnePass", n)); per = ms.get(("BM_PerName", n)); grep = ms.get(("BM_GrepFixed", n))
    print("%8d %10.0f %s %s %s %12s %12s" % (n, info[n] / 1024, cell(one), cell(per), cell(grep),
          "%.0fx" % (per / one) if per and one else "-", "%.1fx" % (grep / one) if grep and one else "-"))
PY
