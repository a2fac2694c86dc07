# Sets WINE64 to the program that runs the Windows builds: wine64 itself
# where it is installed (the plain "wine" launcher nags about a missing
# 32-bit Wine on every start), else "wine". Sourced by cmake/wine-run.sh
# and scripts/common.sh.
WINE64=/usr/lib/wine/wine64
[ -x "$WINE64" ] || WINE64=wine
