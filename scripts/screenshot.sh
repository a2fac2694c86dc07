#!/usr/bin/env bash
# Makes docs/screenshot.png (or the file given): rfidnummer.exe under Wine
# on a private display, with Wine's own fonts and Wine drawing the frame,
# after the sample number has been typed and the field left; the picture is
# the window with its frame and nothing else.
#
#   scripts/screenshot.sh [PNG]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

PNG="${1:-$ROOT/docs/screenshot.png}"
"$ROOT/scripts/setup.sh"
zel_build_windows "$BUILD/windows" rfidnummer sample_input >/dev/null

trap zel_stop_display EXIT
zel_start_display
"$WINE64" "$BUILD/windows/app/rfidnummer.exe" >/dev/null 2>&1 </dev/null &
code=$(zel_sample_picture "$PNG")
echo "$PNG: the window showing \"$code\" ($(identify -format '%wx%h' "$PNG") pixels)"
