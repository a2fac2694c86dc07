#!/usr/bin/env bash
# Runs the benchmarks of the Windows build (bench/windows) under Wine on a
# private Xvfb display and wineserver, as the utility is built: block pools
# against HeapAlloc/HeapFree, the event queue against a std::deque. The
# native benchmarks are scripts/bench.sh.
#   scripts/wine-bench.sh [BUILD_DIR] [COUNT]   (defaults: build/windows, 3000000)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

DIR="${1:-$BUILD/windows}"
COUNT="${2:-3000000}"
zel_build_windows "$DIR" >/dev/null

trap zel_stop_display EXIT
zel_start_display
for name in block_pool event_queue; do
  echo "== ${name}_bench (Windows build under Wine; ns per round, median of 9)"
  timeout 900 "$WINE64" "$DIR/bench/windows/${name}_bench.exe" "$COUNT"
done
