#!/usr/bin/env bash
# Times the search script under the command-interpreter stand-in in Wine, on
# a generated tree, with 1 name and with 200 names, once with one walk of the
# tree per run (the stand-in's way) and once with a walk per name
# (MVCMD_WALK=each), and prints one table. The found lists of both ways are
# compared byte for byte.
#
# Environment: YEARS, SHOOTS, PICTURES shape the tree (50 x 40 x 100 =
# 200,000 files); RUNS repeats each timing (the median is shown; 3);
# SLOW_RUNS repeats the slow case, 200 names walked once each (1).
source "$(dirname "$0")/../tools/setup.sh"
mv_install

YEARS=${YEARS:-50}
SHOOTS=${SHOOTS:-40}
PICTURES=${PICTURES:-100}
RUNS=${RUNS:-3}
SLOW_RUNS=${SLOW_RUNS:-1}

host="$MV_ROOT/build/host"
win="$MV_ROOT/build/win"
cmake -S "$MV_ROOT" -B "$host" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$host" --target standin_script >/dev/null
cmake -S "$MV_ROOT" -B "$win" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$MV_ROOT/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$win" --target mvcmd >/dev/null
built=$(find "$win" -name mvcmd.exe | head -n1)
sh "$MV_ROOT/tools/prepare-prefix.sh" "$win/wine-run.sh" "$built" >/dev/null

tmp=$(mktemp -d /tmp/morvane-standin-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
# A copy, so that a rebuild meanwhile does not change what is timed.
standin="$tmp/mvcmd.exe"
cp "$built" "$standin"
winpath() { echo "Z:${1//\//\\}"; }

# The tree: YEAR年\第NN组\IMG_YEAR_NN_PPPP.jpg, empty files, made by a
# few mkdir and touch processes.
start=$(date +%s.%N)
mkdir -p "$tmp/tree"
(
    cd "$tmp/tree"
    tree_names() { # 1: folders only
        awk -v Y="$YEARS" -v S="$SHOOTS" -v P="$PICTURES" -v dirs="$1" 'BEGIN {
            for (y = 1976; y < 1976 + Y; y++)
                for (s = 1; s <= S; s++) {
                    d = sprintf("%d年/第%02d组", y, s)
                    if (dirs) print d
                    else for (p = 1; p <= P; p++) printf "%s/IMG_%d_%02d_%04d.jpg\n", d, y, s, p
                }
        }'
    }
    tree_names 1 | xargs -d '\n' mkdir -p
    tree_names "" | xargs -d '\n' touch
)
files=$(find "$tmp/tree" -type f | wc -l)
made=$(echo "$(date +%s.%N) - $start" | bc)

# 200 names of files spread over the tree, typed in lower case; each
# matches one file.
for ((i = 0; i < 200; i++)); do
    printf 'img_%d_%02d_%04d.jpg\r\n' $((1976 + i % YEARS)) $((1 + i * 7 % SHOOTS)) $((1 + i * 13 % PICTURES))
done >"$tmp/names200"
head -c "$(head -n1 "$tmp/names200" | wc -c)" "$tmp/names200" >"$tmp/names1"

mkdir -p "$tmp/work" "$tmp/run" "$tmp/save"
"$host/bench/standin_script" "$(winpath "$tmp/work")\\" "$(winpath "$tmp/tree")\\" "$(winpath "$tmp/save")" \
    >"$tmp/work/XXXX.BAT"
script=$(winpath "$tmp/work/XXXX.BAT")

# One run of the script; prints its wall seconds and keeps its found list.
run_once() { # names mode
    cp "$tmp/names$1" "$tmp/work/file.txt"
    rm -rf "$tmp/save" && mkdir "$tmp/save"
    local t0 t1
    t0=$(date +%s.%N)
    (cd "$tmp/run" && MVCMD_WALK=$2 "$win/wine-run.sh" "$standin" /s/c "$script" >"$tmp/out" 2>&1)
    t1=$(date +%s.%N)
    cp "$tmp/run/UM7Y9X4K.txt" "$tmp/found-$1-$2"
    echo "$t1 - $t0" | bc
}
median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
timed() { # names mode runs
    for ((k = 0; k < $3; k++)); do run_once "$1" "$2"; done | median
}

# Wine's server stays up between the runs (it ends 30 s after the last).
WINEPREFIX="$win/wineprefix" wineserver -p30 2>/dev/null || true
run_once 1 once >/dev/null  # warm-up: the server and the file cache
one1=$(timed 1 once "$RUNS")
one200=$(timed 200 once "$RUNS")
each1=$(timed 1 each "$RUNS")
each200=$(timed 200 each "$SLOW_RUNS")

for n in 1 200; do
    cmp -s "$tmp/found-$n-once" "$tmp/found-$n-each" || echo "FOUND LISTS DIFFER for $n names"
done
hits=$(grep -c . "$tmp/found-200-once" || true)
copies=$(find "$tmp/save" -type f | wc -l)

echo "machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), $(grep -m1 MemTotal /proc/meminfo | awk '{printf "%.0f GB RAM", $2/1048576}')"
echo "wine:    $(wine --version 2>/dev/null)"
echo "tree:    $files files in $((YEARS * SHOOTS)) folders, made in $(printf %.1f "$made") s; 200 names find $hits entries, $copies copies"
echo "times:   wall seconds, script start to end, median of $RUNS runs ($SLOW_RUNS for 200 names walked per name)"
printf '%8s %12s %14s %16s\n' names "one walk s" "walk/name s" "walk/name / one"
for n in 1 200; do
    o=one$n e=each$n
    printf '%8d %12.2f %14.2f %15.1fx\n' "$n" "${!o}" "${!e}" "$(echo "${!e} / ${!o}" | bc -l)"
done
printf '%8s %12.2fx %13.2fx\n' "200 / 1" "$(echo "$one200 / $one1" | bc -l)" "$(echo "$each200 / $each1" | bc -l)"
