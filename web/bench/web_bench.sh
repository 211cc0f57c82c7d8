#!/usr/bin/env bash
# The page against the batch on one large week: COUNT generated summaries
# (default 1,000,000), grouped by `grulo --threads 1` (the release build in
# build/; the median of three runs) and by the page in headless Chromium
# (build-web/, from file://), with the page's peak memory; then the same page
# on a tenth of the input, to show that the memory does not grow with it.
#
#   bash web/bench/web_bench.sh [COUNT]
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
count=${1:-1000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
today=07122026

build/grulo-tables build --tree data/demo/tree.txt --acts data/demo/acts.txt \
  --diag data/demo/diag.txt --out "$work/tables" >/dev/null
for n in "$count" $((count / 10)); do
  build/grulo-gen --count "$n" --seed 5 --diag data/demo/diag.txt --acts data/demo/acts.txt \
    --out "$work/week-$n.rss"
done
mkdir -p "$work/out"
printf '[G\xe9n\xe9ral]\r\nRepTab=%s/\r\nFicEnt=%s\r\nRepSor=%s\r\n' \
  "$work/tables" "$work/week-$count.rss" "$work/out" >"$work/grulo.ini"
times=()
for _ in 1 2 3; do
  start=$(date +%s.%N)
  GRULO_TODAY=$today build/grulo --config "$work/grulo.ini" --threads 1
  times+=("$(echo "$(date +%s.%N) - $start" | bc)")
done
native=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 2p)
printf 'native grulo --threads 1, %d summaries: %.2f s (median of 3)\n' "$count" "$native"
for n in "$count" $((count / 10)); do
  line=$(/usr/bin/python3 web/bench/page_bench.py "$root/build-web/site" "$work/tables" \
         "$work/week-$n.rss" "$today")
  echo "$n summaries: $line"
  if [[ $n == "$count" ]]; then
    page=$(sed -n 's/^page \([0-9.]*\) s.*/\1/p' <<<"$line")
    printf 'ratio page / native: %.2f\n' "$(echo "$page / $native" | bc -l)"
  fi
done
