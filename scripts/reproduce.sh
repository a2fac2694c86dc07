#!/usr/bin/env bash
# Checks that the same commit gives the same bytes wherever and whenever it
# is built: makes the packages twice from scratch, in two folders of
# different depth, one after the other, and compares their programs and
# packages with each other and with build/packages (scripts/package.sh).
#   scripts/reproduce.sh [WORK]     (default: build/reproduce)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

work=$(realpath -m "${1:-$BUILD/reproduce}")
first="$work/a"
second="$work/deeper/by/three/b"
rm -rf "$work"
"$ROOT/scripts/package.sh" "$first" >/dev/null
"$ROOT/scripts/package.sh" "$second" >/dev/null

failed=0
compare() {  # compare NAME FILE FILE
  if cmp -s "$2" "$3"; then
    return
  fi
  echo "differ: $1: $2 and $3 (first difference: $(cmp "$2" "$3" | sed 's/.*differ: //'))" >&2
  failed=1
}
for program in app/rfidnummer.exe app/cardcode.exe; do
  compare "$program" "$first/windows/$program" "$second/windows/$program"
done
compare cardcode "$first/native/app/cardcode" "$second/native/app/cardcode"
for file in "$first/packages"/*; do
  name=${file##*/}
  compare "$name" "$file" "$second/packages/$name"
  if [[ -d "$BUILD/packages" ]]; then
    compare "$name (against build/packages)" "$file" "$BUILD/packages/$name"
  fi
done
if [[ $failed != 0 ]]; then
  echo "the two builds differ; they are kept in $work" >&2
  exit 1
fi
echo "identical: rfidnummer.exe, cardcode.exe, cardcode and $(cd "$first/packages" && echo *)"
rm -rf "$work"
