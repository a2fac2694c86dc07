#!/usr/bin/env bash
# Builds a native release tree without sanitizers (build/bench) and runs
# every bench_* program in it, 5 repetitions each, reporting mean, median
# and spread; then every scripts/bench-*.sh, given that tree. Arguments go
# to the benchmark programs (for example --benchmark_filter=CardCode).
#   scripts/bench.sh [BENCHMARK-ARGS...]     (ZEL_BENCH_DIR overrides the tree)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

dir="${ZEL_BENCH_DIR:-$BUILD/bench}"
cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DZEL_SANITIZE=OFF -DZEL_BUILD_TESTS=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$dir" -j "$JOBS" >/dev/null

status=0
found=0
while IFS= read -r program; do
  found=1
  echo "== $(basename "$program")"
  "$program" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@" || status=1
  echo
done < <(find "$dir" -type f -name 'bench_*' -perm -u+x | sort)
if [[ $found == 0 ]]; then echo "no bench_* programs in $dir" >&2; status=1; fi

for script in "$ROOT"/scripts/bench-*.sh; do
  [[ -e "$script" ]] || continue
  echo "== $(basename "$script")"
  bash "$script" "$dir" || status=1
  echo
done
exit $status
