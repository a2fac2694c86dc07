#!/usr/bin/env bash
# Sets everything up and starts the utility: on Linux rfidnummer.exe runs
# under Wine on the current X display. Without a display it says how to get
# one (or pass --virtual to run it on a private Xvfb and save a screenshot).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$ROOT/scripts/setup.sh"
zel_build_windows
EXE="$BUILD/windows/app/rfidnummer.exe"

if [[ "${1:-}" == "--virtual" ]]; then
  trap zel_stop_display EXIT
  zel_start_display
  "$WINE64" "$EXE" &
  pid=$!
  sleep 3
  import -window root "$BUILD/rfidnummer-virtual.png" && echo "screenshot: $BUILD/rfidnummer-virtual.png"
  echo "rfidnummer runs on a private display; press Ctrl+C to end it."
  wait "$pid"
  exit 0
fi

if [[ -z "${DISPLAY:-}" ]]; then
  cat >&2 <<MSG
No X display is set (DISPLAY is empty), so the window has nowhere to appear.
Run this from a desktop session, or over 'ssh -X', or start a virtual one:
  Xvfb :1 -screen 0 1024x768x24 & export DISPLAY=:1
or let this script do it (and save a screenshot): scripts/run.sh --virtual
Built: $EXE
MSG
  exit 1
fi
mkdir -p "$WINEPREFIX"
exec "$WINE64" "$EXE"
