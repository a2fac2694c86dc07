#!/usr/bin/env bash
# Builds what the packages need in both trees and puts them, with one
# SHA256SUMS of them, into one folder: the portable ZIP and the MSI from the
# Windows tree (GCC), the cardcode tar.gz from the native tree.
#   scripts/package.sh [TREES [PACKAGES]]   (defaults: build, TREES/packages)
# TREES holds the trees native/ and windows/. The same commit gives the same
# bytes in any TREES (scripts/test.sh compares two).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

trees=$(realpath -m "${1:-$BUILD}")
out=$(realpath -m "${2:-$trees/packages}")
"$ROOT/scripts/setup.sh"
zel_build_native "$trees/native" tgz >/dev/null
zel_build_windows "$trees/windows" zip msi >/dev/null

version=$(sed -n 's/^project(rfidnummer VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
rm -rf "$out"
mkdir -p "$out"
cp "$trees/windows/rfidnummer-$version-win64.zip" "$trees/windows/rfidnummer-$version-win64.msi" \
   "$trees/native"/cardcode-"$version"-*.tar.gz "$out/"
(cd "$out" && sha256sum -- * >SHA256SUMS.part && mv SHA256SUMS.part SHA256SUMS)
for file in "$out"/*; do
  printf '%-40s %8d bytes\n' "${file##*/}" "$(stat -c %s "$file")"
done
