#!/usr/bin/env bash
# Sets everything up and runs every test: installs missing packages, builds
# the native and the Windows tree, starts its own Xvfb and wineserver, runs
# all tests (native under ASan/UBSan, Windows under Wine) in one CTest run,
# and stops the display again. Ends with CTest's summary; non-zero on any
# failure.
#
#   scripts/test.sh [--quick] [CTest arguments...]
#
# --quick builds only the native tree and runs its tests but the fuzz
# targets (-L native -LE fuzz): seconds, for the loop of editing and
# testing. Other arguments go to CTest (-L gui, -R cardcode), GTEST_FILTER
# through the environment to the test programs, under Wine too.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$ROOT/scripts/setup.sh"
if [[ "${1:-}" == --quick ]]; then
  shift
  zel_build_native
  exec ctest --test-dir "$BUILD/native" --output-on-failure -j "$JOBS" -L native -LE fuzz "$@"
fi
zel_build_native
zel_build_windows

# One CTest run over both trees, so there is one summary at the end.
cat > "$BUILD/CTestTestfile.cmake" <<'CTEST'
subdirs("native")
subdirs("windows")
CTEST

trap zel_stop_display EXIT
zel_start_display
status=0
ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS" "$@" || status=$?
exit $status
