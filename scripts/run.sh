#!/usr/bin/env bash
# Sets everything up and starts the utility: on Linux rfidnummer.exe runs
# under Wine on the current X display. Builds only what it starts.
#
#   scripts/run.sh             on $DISPLAY; without a display as --virtual
#   scripts/run.sh --virtual   on a private Xvfb display: types a sample
#                              number, saves a picture of the window and,
#                              at a terminal, keeps running until Ctrl+C
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

virtual=0
[[ "${1:-}" == "--virtual" ]] && virtual=1
if [[ $virtual == 0 && -z "${DISPLAY:-}" ]]; then
  echo "No X display (DISPLAY is empty): running on a private virtual display instead."
  virtual=1
fi

"$ROOT/scripts/setup.sh"
if [[ $virtual == 1 ]]; then
  zel_build_windows "$BUILD/windows" rfidnummer sample_input
else
  zel_build_windows "$BUILD/windows" rfidnummer
fi
EXE="$BUILD/windows/app/rfidnummer.exe"

if [[ $virtual == 0 ]]; then
  zel_prefix_fonts
  # The desktop's window manager draws the frame.
  zel_prefix_frames Y
  exec "$WINE64" "$EXE"
fi

trap zel_stop_display EXIT
zel_start_display
"$WINE64" "$EXE" >/dev/null 2>&1 </dev/null &
program=$!
PNG="$BUILD/rfidnummer-virtual.png"
code=$(zel_sample_picture "$PNG")
echo "rfidnummer.exe runs on the private display $DISPLAY; typed 12345678, it shows \"$code\"."
echo "Picture of the window: $PNG"
if [[ -t 0 ]]; then
  echo "Press Ctrl+C to end it."
  wait "$program"
fi
