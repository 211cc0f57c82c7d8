#!/usr/bin/env bash
# Whole-process benchmark, every program on the same input in one run:
#   - the I/O floor (build/bench/io_floor: reads each line and writes a
#     .grp-shaped line, with the batch's buffering),
#   - grulo --threads 1, --threads 2 and --threads <cores>,
# alternated REPEAT times (default 3), the median kept; summaries per second,
# the ratio of each to the floor, and peak memory. Peak memory is measured
# again on ten times the input (BIG=0 skips it): it must not grow with the
# input. Then grulo with standard error on a pseudo-terminal, where it draws
# its progress line, for what the progress display costs; where valgrind is
# installed the instructions of both are counted exactly on a hundredth of
# the input.
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
repeat=${REPEAT:-3}
big=${BIG:-1}
cores=$(nproc)
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

config() {  # config INPUT: grulo.ini for INPUT
  printf '[G\xe9n\xe9ral]\r\nRepTab=%s/\r\nFicEnt=%s\r\nRepSor=%s\r\n' \
    "$work/tables" "$1" "$work/out" >"$work/grulo.ini"
}

# timed COMMAND...: runs it; prints "seconds peak_kib"
timed() {
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -f '%M' -o "$work/time.txt" "$@" 2>/dev/null
  end=$(date +%s.%N)
  echo "$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }') $(cat "$work/time.txt")"
}

# program NAME INPUT: one run of a program of the comparison
program() {
  case $1 in
    floor) timed build/bench/io_floor "$2" "$work/out/floor.grp" ;;
    t*) config "$2"; timed "$work/grulo" --threads "${1#t}" ;;
  esac
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

gen "$count" "$work/input.txt"
size=$(stat -c %s "$work/input.txt")
cat "$work/input.txt" >/dev/null  # into the page cache

programs=(floor t1 t2)
[[ $cores -gt 2 ]] && programs+=("t$cores")
declare -A times peaks
for ((i = 0; i < repeat; i++)); do
  for p in "${programs[@]}"; do
    read -r seconds peak <<<"$(program "$p" "$work/input.txt")"
    times[$p]+="$seconds "
    peaks[$p]=$peak
  done
done

printf 'input: %d summaries, %d bytes; %d cores; median of %d runs\n' "$count" "$size" "$cores" \
  "$repeat"
floor=$(tr ' ' '\n' <<<"${times[floor]}" | grep . | median)
for p in "${programs[@]}"; do
  m=$(tr ' ' '\n' <<<"${times[$p]}" | grep . | median)
  name=$([[ $p == floor ]] && echo "I/O floor" || echo "grulo --threads ${p#t}")
  printf '%-20s %6.2f s  %9.0f summaries/s  %5.2f x floor  peak %6d KiB\n' "$name" "$m" \
    "$(awk -v n="$count" -v s="$m" 'BEGIN { print n / s }')" \
    "$(awk -v a="$m" -v b="$floor" 'BEGIN { print a / b }')" "${peaks[$p]}"
done

if [[ $big == 1 ]]; then
  gen $((count * 10)) "$work/big.txt"
  for p in t1 t2; do
    read -r seconds peak <<<"$(program "$p" "$work/big.txt")"
    printf 'grulo --threads %s on %d summaries: %.2f s, peak %d KiB\n' "${p#t}" $((count * 10)) \
      "$seconds" "$peak"
  done
  rm -f "$work/big.txt" "$work/out/big.grp" "$work/out/big.err"
fi

# The progress display: the same run with standard error on a terminal.
if command -v script >/dev/null; then
  config "$work/input.txt"
  start=$(date +%s.%N)
  script -qec "'$work/grulo' --threads 1" /dev/null >/dev/null
  end=$(date +%s.%N)
  printf 'grulo --threads 1, progress on a terminal: %.2f s\n' \
    "$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')"
fi
if command -v valgrind >/dev/null && command -v script >/dev/null; then
  gen $((count / 100)) "$work/tiny.txt"
  config "$work/tiny.txt"
  cmd="valgrind --tool=callgrind --callgrind-out-file=/dev/null --log-file='$work/cg.txt'"
  cmd+=" '$work/grulo' --threads 1"
  bash -c "$cmd" 2>/dev/null
  plain=$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/cg.txt")
  script -qec "$cmd" /dev/null >/dev/null
  tty=$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/cg.txt")
  printf 'instructions on %d summaries: %d; progress on a terminal: %d (%+.3f%%)\n' \
    $((count / 100)) "$plain" "$tty" "$(awk -v a="$plain" -v b="$tty" 'BEGIN { print (b - a) * 100 / a }')"
fi
