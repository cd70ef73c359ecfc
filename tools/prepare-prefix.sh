#!/bin/sh
# Creates the private Wine prefix once, installs the command-interpreter
# stand-in as its cmd.exe and sets up the console and fonts the way a Chinese
# Windows desktop has them. The tests and tools/run.sh share this prefix.
# Usage: prepare-prefix.sh WINE_RUN STANDIN_EXE
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
# Title-bar buttons are drawn with Marlett's symbols; Debian's wine does not
# look in its own font folder, so without a copy they draw as letters ("r").
marlett=/usr/share/wine/fonts/marlett.ttf
[ -f "$marlett" ] || { echo "no $marlett (Debian package fonts-wine)" >&2; exit 1; }
cp "$marlett" "$prefix/drive_c/windows/Fonts/"
# The script's console: a font with Chinese glyphs (Wine's default console
# font has none, so every Chinese character would be a box), 16 pixels high.
# Wine gives every character one cell as wide as the font's widest glyph
# (24 pixels here), so 40 columns keep the window inside a 1024-pixel screen;
# a buffer as wide as the window wraps long lines instead of hiding them.
console() { "$run" reg add 'HKCU\Console' /v "$1" /t "$2" /d "$3" /f >/dev/null; }
console FaceName REG_SZ 'WenQuanYi Micro Hei Mono'
console FontSize REG_DWORD 0x00100000
console WindowSize REG_DWORD 0x00140028
console ScreenBufferSize REG_DWORD 0x03e80028
echo "prefix ready: $prefix"
