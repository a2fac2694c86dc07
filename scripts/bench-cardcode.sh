#!/usr/bin/env bash
# Throughput of cardcode on 1,000,000 input lines, each kind of run against
# a baseline in the same run:
#   plain conversion   against the obvious C filter (fgets, strtoll, printf
#                      of the same code), goal at most 0.5x, fails above 1.0x;
#   --tsv, --csv, UTF-16 input (as lines and with --csv), Windows-1252
#                      input with --csv and --verify   against plain
#                      conversion, targets 1.3x for --csv, UTF-16 and
#                      Windows-1252 --csv.
# Each comparison is PAIRS interleaved pairs (baseline, then candidate, the
# order swapped every other pair, so that a load change on the shared
# machine hits both alike); the figure is the median of the per-pair ratios
# of CPU time (user + system). Then the peak memory for one 1 GiB line.
# Fails when a target is missed.
#   scripts/bench-cardcode.sh [BUILD-DIR] [PAIRS]   (default build/native, 11)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

dir="${1:-$BUILD/native}"
PAIRS="${2:-11}"
CARDCODE="$dir/app/cardcode"
if [[ ! -x "$CARDCODE" ]]; then zel_build_native "$dir" >/dev/null; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
LINES=1000000
# Card numbers of every size, some with leading zeros or signs, as lists
# from real enrolment look.
awk -v n=$LINES 'BEGIN { srand(7); for (i = 0; i < n; i++) {
  r = rand(); v = int(rand() * 4294967296);
  if (r < 0.1) printf "00%d\n", v; else if (r < 0.15) printf "-%d\n", v;
  else if (r < 0.2) printf "%d%06d\n", v, i; else printf "%d\n", v } }' > "$work/numbers.txt"
# The same numbers as Notepad's "Unicode", under a header in Windows-1252
# (Excel's "CSV (Trennzeichen-getrennt)": decoded, the echo encoded back)
# and as a spreadsheet export with a name in front of each.
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$work/numbers.txt"; } > "$work/numbers-utf16.txt"
{ printf 'Schl\xfcssel-Nr\r\n'; cat "$work/numbers.txt"; } > "$work/numbers-ansi.csv"
awk '{ printf "\"Person %d\";%s\r\n", NR, $0 }' "$work/numbers.txt" > "$work/export.csv"
"$CARDCODE" < "$work/numbers.txt" > "$work/codes.txt"

# The obvious C filter, built with the same compiler and optimisation.
cat > "$work/filter.c" <<'C'
#include <stdio.h>
#include <stdlib.h>
int main(void) {
  char line[4096];
  while (fgets(line, sizeof line, stdin)) {
    long long n = strtoll(line, NULL, 10);
    printf("1D %08llX %lld\n", (unsigned long long)n, 10 - n % 10);
  }
  return 0;
}
C
clang -O2 -o "$work/filter" "$work/filter.c"
# The filter must print what cardcode prints (the numbers fit strtoll).
"$work/filter" < "$work/numbers.txt" | cmp -s - "$work/codes.txt" || { echo "FAIL: filter differs" >&2; exit 1; }

TIMEFORMAT='%3U %3S'
cpu() {  # COMMAND... with standard input from $input: CPU seconds
  local t
  t=$( { time "$@" < "$input" > /dev/null 2>&1; } 2>&1 )
  echo "$t" | awk '{ print $1 + $2 }'
}
# median_ratio BASE-INPUT CANDIDATE-INPUT -- BASE-COMMAND -- CANDIDATE-COMMAND
median_ratio() {
  local baseInput=$1 candInput=$2
  shift 3
  local base=() cand=()
  while [[ $1 != -- ]]; do base+=("$1"); shift; done
  shift
  cand=("$@")
  local ratios=() b c i
  for ((i = 0; i < PAIRS; i++)); do
    if ((i % 2)); then
      input=$candInput c=$(cpu "${cand[@]}"); input=$baseInput b=$(cpu "${base[@]}")
    else
      input=$baseInput b=$(cpu "${base[@]}"); input=$candInput c=$(cpu "${cand[@]}")
    fi
    ratios+=("$(echo "$c $b" | awk '{ printf "%.4f", ($2 > 0 ? $1 / $2 : 0) }')")
  done
  printf '%s\n' "${ratios[@]}" | sort -n | awk '{ r[NR] = $1 } END { printf "%.2f", r[int((NR + 1) / 2)] }'
}

n=$work/numbers.txt
plain_filter=$(median_ratio "$n" "$n" -- "$work/filter" -- "$CARDCODE")
tsv_plain=$(median_ratio "$n" "$n" -- "$CARDCODE" -- "$CARDCODE" --tsv)
csv_plain=$(median_ratio "$n" "$n" -- "$CARDCODE" -- "$CARDCODE" --csv)
utf16_plain=$(median_ratio "$n" "$work/numbers-utf16.txt" -- "$CARDCODE" -- "$CARDCODE")
utf16_csv_plain=$(median_ratio "$n" "$work/numbers-utf16.txt" -- "$CARDCODE" -- "$CARDCODE" --csv)
ansi_csv_plain=$(median_ratio "$n" "$work/numbers-ansi.csv" -- "$CARDCODE" -- "$CARDCODE" --csv --column Schlüssel-Nr)
export_plain=$(median_ratio "$n" "$work/export.csv" -- "$CARDCODE" -- "$CARDCODE" --csv --column 2)
verify_plain=$(median_ratio "$n" "$work/codes.txt" -- "$CARDCODE" -- "$CARDCODE" --verify)

printf 'cardcode on %d lines (%s), median CPU-time ratio of %d interleaved pairs\n' $LINES "$CARDCODE" "$PAIRS"
printf '  %-44s %6sx  (goal 0.5x, target 1.0x)\n' "plain / C filter (strtoll + printf)" "$plain_filter"
printf '  %-44s %6sx\n' "--tsv / plain" "$tsv_plain"
printf '  %-44s %6sx  (target 1.3x)\n' "--csv / plain (same numbers)" "$csv_plain"
printf '  %-44s %6sx  (target 1.3x)\n' "UTF-16 input / plain" "$utf16_plain"
printf '  %-44s %6sx  (target 1.3x)\n' "UTF-16 input --csv / plain" "$utf16_csv_plain"
printf '  %-44s %6sx  (target 1.3x)\n' "Windows-1252 --csv --column NAME / plain" "$ansi_csv_plain"
printf '  %-44s %6sx\n' "--csv --column 2 on \"name\";number / plain" "$export_plain"
printf '  %-44s %6sx\n' "--verify of the codes / plain" "$verify_plain"

# One line of 1 GiB (digits, no newline): streamed, so the peak memory stays
# that of a small program.
if [[ -x /usr/bin/time ]]; then
  head -c 1073741824 /dev/zero | tr '\0' '7' | /usr/bin/time -o "$work/peak" -f '%M' "$CARDCODE" > "$work/huge.out" 2>/dev/null
  peak=$(cat "$work/peak")
  printf '  %-44s %6s KiB peak resident, result: %s\n' "one 1 GiB line" "$peak" "$(cat "$work/huge.out")"
fi

status=0
over() { awk -v r="$1" -v t="$2" 'BEGIN { exit !(r > t) }'; }
if over "$plain_filter" 1.0; then echo "FAIL: plain conversion above 1.0x the C filter" >&2; status=1; fi
if over "$csv_plain" 1.3; then echo "FAIL: --csv above 1.3x plain" >&2; status=1; fi
if over "$utf16_plain" 1.3; then echo "FAIL: UTF-16 input above 1.3x plain" >&2; status=1; fi
if over "$utf16_csv_plain" 1.3; then echo "FAIL: UTF-16 input --csv above 1.3x plain" >&2; status=1; fi
if over "$ansi_csv_plain" 1.3; then echo "FAIL: Windows-1252 input --csv above 1.3x plain" >&2; status=1; fi
exit $status
