#!/usr/bin/env bash
# Sets everything up and runs every test: installs missing packages, builds
# the native and the Windows tree, starts its own Xvfb and wineserver, runs
# all tests (native under ASan/UBSan, Windows under Wine) in one CTest run,
# and stops the display again. Non-zero on any failure.
#
#   scripts/test.sh [--quick] [CTest arguments...]
#
# --quick builds only the native tree and runs its tests but the fuzz
# targets (-L native -LE fuzz): seconds, for the loop of editing and
# testing. Other arguments go to CTest (-L gui, -R cardcode), GTEST_FILTER
# through the environment to the test programs, under Wine too.
#
# A full run (no arguments, as CI runs it) also builds the Clang tree and
# runs its tests in the same CTest run, fills build/packages, and checks
# afterwards that two more builds give the same bytes; each step reports
# its time. With arguments, CTest runs over the GCC trees only.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

full=0
[[ $# -eq 0 ]] && full=1
step_start=0
step() { step_start=$(date +%s); echo "== $1"; }
step_done() { echo "== $1: $(($(date +%s) - step_start)) s"; }

"$ROOT/scripts/setup.sh"
if [[ "${1:-}" == --quick ]]; then
  shift
  zel_build_native
  exec ctest --test-dir "$BUILD/native" --output-on-failure -j "$JOBS" -L native -LE fuzz "$@"
fi
zel_build_native
zel_build_windows
trees=(native windows)
if [[ $full == 1 ]]; then
  step "Clang build of the Windows tree (build/windows-clang)"
  zel_build_windows_clang
  step_done "Clang build"
  trees+=(windows-clang)
  step "Packages (build/packages)"
  "$ROOT/scripts/package.sh"
  step_done "Packages"
fi

# One CTest run over the trees, so there is one summary at the end.
printf 'subdirs("%s")\n' "${trees[@]}" > "$BUILD/CTestTestfile.cmake"

trap zel_stop_display EXIT
zel_start_display
status=0
ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS" "$@" || status=$?
if [[ $full == 1 ]]; then
  step "Identical bytes: two more builds of the packages, compared"
  "$ROOT/scripts/reproduce.sh" || status=1
  step_done "Identical bytes"
fi
exit $status
