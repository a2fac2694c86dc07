#!/usr/bin/env bash
# Draws the program icon, app/rfidnummer/rfidnummer.ico: a card on a dark
# tile with its chip, the contactless waves and the boxes of the printed
# number. One drawing in a 256-pixel square is rendered at 256 px (stored
# PNG-compressed) and scaled down to 48, 32, 24 and 16 px (32-bit with
# alpha). The build only embeds the committed file; run this after changing
# the drawing. Needs ImageMagick (scripts/setup.sh installs it).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OUT="$ROOT/app/rfidnummer/rfidnummer.ico"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# A contactless wave: an arc of radius r around the chip's centre line,
# drawn as a polyline (ImageMagick 6 closes arcs of a path).
wave() {
  awk -v r="$1" 'BEGIN {
    printf "polyline";
    for (a = -40; a <= 40; a += 5) printf " %.1f,%.1f", 118 + r * cos(a * 3.14159265 / 180), 99 + r * sin(a * 3.14159265 / 180);
    print "" }'
}

DRAWING="
viewbox 0 0 256 256
stroke none
fill #0D3464 roundrectangle 0,0 255,255 40,40
fill #1F5FA8 stroke #3A72B2 stroke-width 6 roundrectangle 14,40 242,216 24,24
stroke #A8842C stroke-width 5 fill #E8C452 roundrectangle 34,70 102,128 9,9
push graphic-context
fill none stroke white stroke-width 12 stroke-linecap round stroke-linejoin round
$(wave 30)
$(wave 52)
$(wave 74)
pop graphic-context
stroke none fill white
roundrectangle 34,160 76,192 5,5
roundrectangle 84,160 126,192 5,5
roundrectangle 134,160 176,192 5,5
roundrectangle 184,160 226,192 5,5
"

convert -size 256x256 xc:none -draw "$DRAWING" -depth 8 -define png:compression-level=9 "$WORK/icon-256.png"
sizes=()
for size in 16 24 32 48; do
  convert "$WORK/icon-256.png" -filter Box -resize "${size}x${size}" -depth 8 "$WORK/icon-$size.png"
  sizes+=("$WORK/icon-$size.png")
done
# Smallest first; the 256-pixel image is stored as PNG, the others as
# 32-bit bitmaps with alpha.
convert "${sizes[@]}" "$WORK/icon-256.png" "$OUT"
identify "$OUT"
