#!/usr/bin/env bash
# Whole-process benchmark: generates summaries with grulo-gen from the demo
# table sources, runs grulo on them and reports summaries per second and peak
# memory, with `cat` over the same input as the floor. Peak memory is also
# measured on a tenth of the input: it must not grow with the input.
#
#   bench/grulo_bench.sh [COUNT]      (default 1000000)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
if [[ ! -x /usr/bin/time ]]; then
  echo "bench/grulo_bench.sh needs /usr/bin/time (Debian package 'time')" >&2
  exit 2
fi
count=${1:-1000000}
scripts/build.sh >/dev/null

work="$root/build/bench-run"
rm -rf "$work"
mkdir -p "$work/tables" "$work/out"
build/grulo-tables build --tree data/demo/tree.txt --acts data/demo/acts.txt \
  --diag data/demo/diag.txt --out "$work/tables" >/dev/null
cp build/grulo "$work/grulo"

gen() {  # gen COUNT FILE
  build/grulo-gen --count "$1" --seed 20261207 --diag data/demo/diag.txt \
    --acts data/demo/acts.txt --out "$2"
}

# run INPUT: runs grulo on INPUT; prints "seconds peak_kib"
run() {
  printf '[G\xe9n\xe9ral]\r\nRepTab=%s/\r\nFicEnt=%s\r\nRepSor=%s\r\n' \
    "$work/tables" "$1" "$work/out" >"$work/grulo.ini"
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -f '%M' -o "$work/time.txt" "$work/grulo"
  end=$(date +%s.%N)
  echo "$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }') $(cat "$work/time.txt")"
}

small=$((count / 10))
gen "$count" "$work/input.txt"
gen "$small" "$work/small.txt"
size=$(stat -c %s "$work/input.txt")

# Warm the page cache, then time cat as the floor.
cat "$work/input.txt" >/dev/null
start=$(date +%s.%N)
cat "$work/input.txt" >/dev/null
end=$(date +%s.%N)
cat_seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')

read -r seconds peak <<<"$(run "$work/input.txt")"
read -r small_seconds small_peak <<<"$(run "$work/small.txt")"

printf 'input: %d summaries, %d bytes\n' "$count" "$size"
printf 'grulo: %.2f s, %.0f summaries/s, peak RSS %d KiB\n' "$seconds" \
  "$(awk -v n="$count" -v s="$seconds" 'BEGIN { print n / s }')" "$peak"
printf 'grulo on %d summaries: %.2f s, peak RSS %d KiB\n' "$small" "$small_seconds" "$small_peak"
printf 'cat (floor): %.3f s\n' "$cat_seconds"
