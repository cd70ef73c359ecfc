#!/bin/sh
# Draws Morvane's application icon, a folder with a magnifier, in the sizes
# Windows asks an executable for (16, 32, 48 and 256 pixels), and writes them
# into one .ico file: platform/win32/morvane.ico unless a path is given.
# The build uses the committed file; run this only to change the drawing.
# Needs ImageMagick 6 (convert).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/platform/win32/morvane.ico}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One drawing on a 256-unit grid, scaled to each size. Line widths are whole
# pixels at every size, and a one-pixel outline sits on pixel centres (the
# grid lines are multiples of 16 units), so the small sizes stay sharp.
draw() {
    size=$1
    set -- $(awk -v s="$size" 'function px(w, least) { w = int(w * s / 256 + 0.5); return w < least ? least : w }
        BEGIN {
            f = s / 256; line = px(8, 1); rim = px(16, 1); handle = px(30, 2)
            shift = line % 2 ? 0 : 0.5
            printf "%.6f %.3f %.3f %.3f %.3f\n", f, shift, line / f, rim / f, handle / f
        }')
    f=$1 shift=$2 line=$3 rim=$4 handle=$5
    highlight=""
    [ "$size" -ge 32 ] && highlight="stroke #FFFFFF stroke-width $rim fill none arc 112,112 176,176 195,255"
    convert -size "${size}x${size}" xc:none -draw "
        translate $shift,$shift scale $f,$f
        stroke #8C5E0C stroke-width $line
        fill #E9A92B roundrectangle 16,48 112,96 12,12
        fill #E9A92B roundrectangle 16,64 240,208 14,14
        fill #FFD45C roundrectangle 16,96 240,208 14,14
        stroke #3B2A1A stroke-width $handle stroke-linecap round
        line 184,184 228,228
        stroke #1F4E79 stroke-width $rim fill #CFE8FF
        circle 144,144 144,84
        $highlight
    " -define png:exclude-chunks=date,time "PNG32:$work/$size.png"
}

for size in 16 32 48 256; do draw "$size"; done
# The 256-pixel image is stored as PNG inside the .ico, the others as bitmaps.
convert "$work/16.png" "$work/32.png" "$work/48.png" "$work/256.png" \
    -define png:exclude-chunks=date,time "$out"
echo "$out"
