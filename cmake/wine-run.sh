#!/bin/sh
# Runs a Windows program under Wine for CTest.
#
# Wine may start background processes from the program (the desktop
# process, when the first window appears). They inherit the program's
# output, and CTest would wait on its pipes until they end, long after the
# program itself. So the program writes to a file, which is passed on once
# the program has exited.
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=wine
log=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 1
"$wine" "$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
exit $status
