#!/usr/bin/env bash
# Footprint of rfidnummer.exe against the floor, a raw Win32 program that
# makes the same window and controls directly (bench/footprint):
#   - file sizes (stripped, icon and manifest included) and imported DLLs;
#   - start-up time from process start to the window being visible with its
#     four controls, measured under Wine on a private Xvfb display, both
#     programs interleaved in the same run, median of several runs.
# Targets: rfidnummer.exe at most 80 KiB, only Windows system DLLs
# imported, start-up within 1.2x of the floor.
#
#   scripts/footprint.sh [BUILD_DIR] [RUNS]     (defaults: build/windows, 9)
# Exits 1 when the size or import target is missed; the time ratio is
# reported, not enforced, since a shared machine makes it noisy.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

DIR="${1:-$BUILD/windows}"
RUNS="${2:-9}"
zel_build_windows "$DIR" >/dev/null

APP="$DIR/app/rfidnummer.exe"
FLOOR="$DIR/bench/footprint/raw_window.exe"
PROBE="$DIR/bench/footprint/startup_probe.exe"
SIZE_LIMIT=$((80 * 1024))
# The DLLs every Windows installation has in its system directory.
SYSTEM_DLLS="kernel32.dll user32.dll gdi32.dll comctl32.dll ole32.dll msvcrt.dll advapi32.dll shell32.dll
uxtheme.dll msimg32.dll comdlg32.dll oleaut32.dll shlwapi.dll"
WINE_DLL_DIR=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows

failed=0

imports() { x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print $3}'; }

report_program() {
  local name="$1" exe="$2"
  local size
  size=$(stat -c %s "$exe")
  printf '%-16s %7d bytes (%.1f KiB)\n' "$name" "$size" "$(echo "$size / 1024" | bc -l)"
  local dll lower
  for dll in $(imports "$exe"); do
    lower=$(echo "$dll" | tr 'A-Z' 'a-z')
    local kind="system" wine_size="-"
    if ! grep -qw "$lower" <<<"$SYSTEM_DLLS"; then
      kind="NOT A SYSTEM DLL"
      [[ "$name" == rfidnummer.exe ]] && failed=1
    fi
    [[ -f "$WINE_DLL_DIR/$lower" ]] && wine_size=$(stat -c %s "$WINE_DLL_DIR/$lower")
    printf '    imports %-14s %-16s (Wine builtin: %s bytes)\n' "$dll" "$kind" "$wine_size"
  done
}

echo "== Size and imports"
report_program rfidnummer.exe "$APP"
report_program raw_window.exe "$FLOOR"
app_size=$(stat -c %s "$APP")
floor_size=$(stat -c %s "$FLOOR")
if [[ $app_size -le $SIZE_LIMIT ]]; then
  echo "size target (<= $SIZE_LIMIT bytes): met, $((SIZE_LIMIT - app_size)) bytes to spare"
else
  echo "size target (<= $SIZE_LIMIT bytes): MISSED by $((app_size - SIZE_LIMIT)) bytes"
  failed=1
fi
printf 'size ratio to the floor: %.2f\n' "$(echo "$app_size / $floor_size" | bc -l)"

echo "== Start-up time under Wine ($RUNS runs each, interleaved, after one warm-up run)"
trap zel_stop_display EXIT
zel_start_display
winpath() { echo "Z:${1//\//\\}"; }
probe() {
  # Prints the milliseconds of one run; the exit code must be 0.
  local line
  line=$(timeout 120 "$WINE64" "$PROBE" "$(winpath "$1")" 1 2>/dev/null | tr -d '\r' | grep '^startup_ms')
  [[ "$line" == *" exit 0" ]] || { echo "probe failed for $1: '$line'" >&2; return 1; }
  awk '{print $2}' <<<"$line"
}
probe "$APP" >/dev/null
probe "$FLOOR" >/dev/null
app_times=() floor_times=()
for ((run = 0; run < RUNS; run++)); do
  app_times+=("$(probe "$APP")")
  floor_times+=("$(probe "$FLOOR")")
done
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
app_median=$(median "${app_times[@]}")
floor_median=$(median "${floor_times[@]}")
echo "rfidnummer.exe runs (ms): ${app_times[*]}"
echo "raw_window.exe runs (ms): ${floor_times[*]}"
ratio=$(echo "$app_median / $floor_median" | bc -l)
printf 'median start-up: rfidnummer.exe %.1f ms, floor %.1f ms, ratio %.2f (target <= 1.20: %s)\n' \
  "$app_median" "$floor_median" "$ratio" "$(echo "$ratio <= 1.2" | bc -l | sed 's/1/met/;s/0/missed/')"

exit $failed
