#!/usr/bin/env bash
# Whole-process benchmark: generates summaries with grulo-gen from the demo
# table sources, runs grulo on them and reports summaries per second and peak
# memory, with `cat` over the same input as the floor. Peak memory is also
# measured on a tenth of the input: it must not grow with the input. The
# same run with standard error on a pseudo-terminal (through `script`), where
# grulo draws its progress line, shows what the progress display costs; each
# of these two is timed REPEAT times (default 3), the best time kept. On a
# busy machine the times vary more than that cost: where valgrind is
# installed, the instructions that both runs execute are counted exactly
# (callgrind, on a hundredth of the input).
#
#   bench/grulo_bench.sh [COUNT]      (default 1000000)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
if [[ ! -x /usr/bin/time ]]; then
  echo "bench/grulo_bench.sh needs /usr/bin/time (Debian package 'time')" >&2
  exit 2
fi
if ! command -v script >/dev/null; then
  echo "bench/grulo_bench.sh needs script (Debian package 'bsdutils')" >&2
  exit 2
fi
count=${1:-1000000}
repeat=${REPEAT:-3}
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

# run INPUT [terminal]: runs grulo on INPUT, its standard error on a
# pseudo-terminal when asked; prints "seconds peak_kib cpu_seconds" (cpu:
# user + system, steadier than the elapsed time on a busy machine)
run() {
  printf '[G\xe9n\xe9ral]\r\nRepTab=%s/\r\nFicEnt=%s\r\nRepSor=%s\r\n' \
    "$work/tables" "$1" "$work/out" >"$work/grulo.ini"
  local start end
  start=$(date +%s.%N)
  if [[ "${2:-}" == terminal ]]; then
    script -qec "/usr/bin/time -f '%M %U %S' -o '$work/time.txt' '$work/grulo'" /dev/null \
      >/dev/null
  else
    /usr/bin/time -f '%M %U %S' -o "$work/time.txt" "$work/grulo" 2>/dev/null
  fi
  end=$(date +%s.%N)
  local peak user sys
  read -r peak user sys <"$work/time.txt"
  echo "$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }') $peak" \
    "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')"
}

# best INPUT [terminal]: the fastest of $repeat runs; prints what run prints
best() {
  local i line best_line=""
  for ((i = 0; i < repeat; i++)); do
    line=$(run "$@")
    if [[ -z "$best_line" ]] || awk -v a="${line%% *}" -v b="${best_line%% *}" \
        'BEGIN { exit !(a < b) }'; then
      best_line=$line
    fi
  done
  echo "$best_line"
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

read -r seconds peak cpu <<<"$(best "$work/input.txt")"
read -r tty_seconds tty_peak tty_cpu <<<"$(best "$work/input.txt" terminal)"
read -r small_seconds small_peak _ <<<"$(run "$work/small.txt")"

printf 'input: %d summaries, %d bytes\n' "$count" "$size"
printf 'grulo: %.2f s (cpu %.2f s), %.0f summaries/s, peak RSS %d KiB\n' "$seconds" "$cpu" \
  "$(awk -v n="$count" -v s="$seconds" 'BEGIN { print n / s }')" "$peak"
printf 'grulo, progress on a terminal: %.2f s (cpu %.2f s), %.0f summaries/s, peak RSS %d KiB\n' \
  "$tty_seconds" "$tty_cpu" "$(awk -v n="$count" -v s="$tty_seconds" 'BEGIN { print n / s }')" "$tty_peak"
printf 'grulo on %d summaries: %.2f s, peak RSS %d KiB\n' "$small" "$small_seconds" "$small_peak"
printf 'cat (floor): %.3f s\n' "$cat_seconds"

# instructions INPUT [terminal]: the instructions grulo executes on INPUT
instructions() {
  printf '[G\xe9n\xe9ral]\r\nRepTab=%s/\r\nFicEnt=%s\r\nRepSor=%s\r\n' \
    "$work/tables" "$1" "$work/out" >"$work/grulo.ini"
  local command="valgrind --tool=callgrind --callgrind-out-file=/dev/null"
  command+=" --log-file='$work/callgrind.txt' '$work/grulo'"
  if [[ "${2:-}" == terminal ]]; then
    script -qec "$command" /dev/null >/dev/null
  else
    bash -c "$command" 2>/dev/null
  fi
  sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/callgrind.txt"
}

if command -v valgrind >/dev/null; then
  tiny=$((count / 100))
  gen "$tiny" "$work/tiny.txt"
  plain_ir=$(instructions "$work/tiny.txt")
  tty_ir=$(instructions "$work/tiny.txt" terminal)
  printf 'instructions on %d summaries: %d; progress on a terminal: %d (%+.3f%%)\n' "$tiny" \
    "$plain_ir" "$tty_ir" "$(awk -v a="$plain_ir" -v b="$tty_ir" 'BEGIN { print (b - a) * 100 / a }')"
fi
