#!/bin/sh
# Creates the private Wine prefix once and installs the command-interpreter
# stand-in as its cmd.exe. Usage: prepare-prefix.sh WINE_RUN STANDIN_EXE
set -eu
run="$1"
standin="$2"
prefix=$(sed -n 's/^export WINEPREFIX="\(.*\)"$/\1/p' "$run")
if [ ! -f "$prefix/system.reg" ]; then
  WINEDLLOVERRIDES="mscoree,mshtml=" "$run" wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" wineserver -w
fi
# Wine links Desktop, Documents and the like to $HOME; folders of their own
# keep whatever lies in the home folder out of the shell's folder tree.
for link in "$prefix"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
done
sys32="$prefix/drive_c/windows/system32"
[ -f "$sys32/cmd.exe" ] || { echo "no prefix at $prefix" >&2; exit 1; }
# Keep Wine's own interpreter beside it for the differential test.
[ -f "$sys32/winecmd.exe" ] || cp "$sys32/cmd.exe" "$sys32/winecmd.exe"
cp "$standin" "$sys32/cmd.exe"
# Wine's own setup defines txtfile (notepad) but maps no .txt to it, so the
# shell would open the not-found list with nothing.
"$run" reg add 'HKEY_CLASSES_ROOT\.txt' /ve /d txtfile /f >/dev/null 2>&1 || true
echo "prefix ready: $prefix"
