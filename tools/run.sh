#!/usr/bin/env bash
# Builds Morvane.exe and starts it under Wine with the Chinese locale and the
# command-interpreter stand-in. Its run directory is build/run: config.ini,
# the found list and the not-found list land there. Without a display it
# runs on a private Xvfb display, saves a screenshot and ends.
source "$(dirname "$0")/setup.sh"
mv_install
mv_build_windows
win="$MV_ROOT/build/win"
sh "$MV_ROOT/tools/prepare-prefix.sh" "$win/wine-run.sh" "$(find "$win" -name mvcmd.exe | head -n1)" >/dev/null
run="$MV_ROOT/build/run"
mkdir -p "$run"
cp "$(find "$win" -name Morvane.exe -not -path '*/run*' | head -n1)" "$run/Morvane.exe"
cd "$run"
mv_display
# Through start, as a desktop shortcut would: a program that Wine starts
# directly inherits Wine's own console, and the search script would then
# write into this terminal (or nowhere) instead of opening its console window.
if [ -z "${MV_PRIVATE_DISPLAY:-}" ]; then
    exec "$win/wine-run.sh" start /wait /unix "$run/Morvane.exe"
fi
# No window manager here: Wine's own desktop draws the frames. It is large
# enough for the main window and the script's console.
"$win/wine-run.sh" explorer /desktop=Morvane,1024x768 start /unix "$run/Morvane.exe" &
for _ in $(seq 300); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Morvane"' && break
    sleep 0.2
done
sleep 1
shot="$MV_ROOT/build/screenshot.png"
import -window root -crop 1024x768+0+0 "$shot"
echo "Morvane ran on the private display $DISPLAY; screenshot: $shot"
WINEPREFIX="$win/wineprefix" wineserver -k 2>/dev/null || true
