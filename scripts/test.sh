#!/usr/bin/env bash
# Sets everything up and runs every test: installs missing packages, builds
# the native and the Windows tree, starts its own Xvfb and wineserver, runs
# all tests (native under ASan/UBSan, Windows under Wine) in one CTest run,
# and stops the display again. Ends with CTest's summary; non-zero on any
# failure.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$ROOT/scripts/setup.sh"
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
