#!/usr/bin/env bash
# Throughput of cardcode on 1,000,000 input lines: plain conversion, --tsv
# and --verify, each beside baselines measured in the same run over the same
# file (cat, wc -l), with the ratios; then the peak memory for one 1 GiB
# line. Fails when --tsv or --verify takes more than 1.5x the plain
# conversion.
#   scripts/bench-cardcode.sh [BUILD-DIR]   (default build/native; built if missing)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

dir="${1:-$BUILD/native}"
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
"$CARDCODE" < "$work/numbers.txt" > "$work/codes.txt"

# Five rounds, each running every measurement once, so that a load change
# on the machine hits all of them alike; each keeps its fastest round.
declare -A best
run_timed() {  # NAME COMMAND...
  local name=$1 start end t
  shift
  start=$(date +%s.%N)
  "$@" > /dev/null
  end=$(date +%s.%N)
  t=$(echo "$end - $start" | bc -l)
  if [[ -z "${best[$name]:-}" ]] || (( $(echo "$t < ${best[$name]}" | bc -l) )); then best[$name]=$t; fi
}
for _ in 1 2 3 4 5; do
  run_timed cat_numbers cat "$work/numbers.txt"
  run_timed wc_numbers wc -l "$work/numbers.txt"
  run_timed cat_codes cat "$work/codes.txt"
  run_timed plain "$CARDCODE" -f "$work/numbers.txt"
  run_timed tsv "$CARDCODE" --tsv -f "$work/numbers.txt"
  run_timed verify "$CARDCODE" --verify -f "$work/codes.txt"
done
ratio() { echo "scale=2; $1 / $2" | bc -l; }
cat_numbers=${best[cat_numbers]} wc_numbers=${best[wc_numbers]} cat_codes=${best[cat_codes]}
plain=${best[plain]} tsv=${best[tsv]} verify=${best[verify]}

printf 'cardcode on %d lines (%s), fastest of 5 rounds\n' $LINES "$CARDCODE"
printf '  %-28s %8.3f s\n' "cat numbers (baseline)" "$cat_numbers"
printf '  %-28s %8.3f s\n' "wc -l numbers (baseline)" "$wc_numbers"
printf '  %-28s %8.3f s\n' "cat codes (baseline)" "$cat_codes"
printf '  %-28s %8.3f s  %6.2fx cat  %6.2fx wc -l  %5.1f M lines/s\n' "cardcode (plain)" "$plain" \
  "$(ratio "$plain" "$cat_numbers")" "$(ratio "$plain" "$wc_numbers")" "$(echo "$LINES / $plain / 1000000" | bc -l)"
printf '  %-28s %8.3f s  %6.2fx plain\n' "cardcode --tsv" "$tsv" "$(ratio "$tsv" "$plain")"
printf '  %-28s %8.3f s  %6.2fx plain\n' "cardcode --verify" "$verify" "$(ratio "$verify" "$plain")"

# One line of 1 GiB (digits, no newline): streamed, so the peak memory stays
# that of a small program.
if [[ -x /usr/bin/time ]]; then
  peak=$( { head -c 1073741824 /dev/zero | tr '\0' '7' | /usr/bin/time -f '%M' "$CARDCODE" > "$work/huge.out"; } 2>&1 )
  printf '  %-28s %8s KiB peak resident, result: %s\n' "one 1 GiB line" "$peak" "$(cat "$work/huge.out")"
fi

status=0
for name in tsv verify; do
  if (( $(echo "${!name} > 1.5 * $plain" | bc -l) )); then
    echo "FAIL: --$name takes more than 1.5x the plain conversion" >&2
    status=1
  fi
done
exit $status
