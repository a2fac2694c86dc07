#!/bin/sh
# Runs a Windows program under Wine for CTest.
#
# Wine may start background processes from the program (the desktop
# process, when the first window appears). They inherit the program's
# output, and CTest would wait on its pipes until they end, long after the
# program itself. So the program writes to files, which are passed on (each
# to its own stream) once the program has exited.
. "$(dirname "$0")/wine-path.sh"
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 1
err=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || { rm -f "$out"; exit 1; }
"$WINE64" "$@" >"$out" 2>"$err" </dev/null
status=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $status
