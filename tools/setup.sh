# Sourced by test.sh and run.sh: installs what a fresh Debian machine lacks
# and offers the shared steps of both.
set -euo pipefail

MV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
MV_PACKAGES="cmake make g++ libgtest-dev googletest libbenchmark-dev g++-mingw-w64-x86-64 wine wine64 \
xvfb xdotool x11-utils locales fonts-wqy-microhei fonts-wine imagemagick"

mv_install() {
    local missing=()
    for p in $MV_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" = 0 ] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
    # Wine takes its code page (936) from the Unix locale.
    if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf-\?8$'; then
        local sudo=""
        [ "$(id -u)" = 0 ] || sudo=sudo
        $sudo sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
        grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
        $sudo locale-gen >/dev/null
    fi
}

# Configures and builds one tier into build/$1; the rest are cmake options.
mv_build() {
    local dir="$MV_ROOT/build/$1"
    shift
    cmake -S "$MV_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

mv_build_windows() {
    mv_build win -DCMAKE_TOOLCHAIN_FILE="$MV_ROOT/cmake/mingw-w64.cmake"
}

# Starts a private Xvfb display when none is set; it ends with the script.
mv_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    MV_XVFB_PID=$!
    trap 'kill $MV_XVFB_PID 2>/dev/null || true' EXIT
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    export DISPLAY=":$n"
    MV_PRIVATE_DISPLAY=1
}
