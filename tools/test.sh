#!/usr/bin/env bash
# Installs what is missing, builds both tiers and runs every test: host unit
# tests, then the Windows programs under Wine on a private display. The
# Windows tests also build the release package and check what it holds.
source "$(dirname "$0")/setup.sh"
mv_install

mv_build host
ctest --test-dir "$MV_ROOT/build/host" --output-on-failure -j"$(nproc)"

mv_build_windows
mv_display
WINEPREFIX="$MV_ROOT/build/win/wineprefix" wineserver -k 2>/dev/null || true
ctest --test-dir "$MV_ROOT/build/win" --output-on-failure
