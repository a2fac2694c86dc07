#!/usr/bin/env bash
# Runs the benchmarks of the Windows build (bench/windows) under Wine on a
# private Xvfb display and wineserver: the event queue against a std::deque,
# both as the utility is built. The native benchmarks are scripts/bench.sh.
#   scripts/wine-bench.sh [BUILD_DIR] [EVENTS]   (defaults: build/windows, 3000000)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

DIR="${1:-$BUILD/windows}"
EVENTS="${2:-3000000}"
zel_build_windows "$DIR" >/dev/null

trap zel_stop_display EXIT
zel_start_display
echo "== event_queue_bench (Windows build under Wine; ns per round, median of 9)"
timeout 900 "$WINE64" "$DIR/bench/windows/event_queue_bench.exe" "$EVENTS"
