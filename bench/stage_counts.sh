#!/usr/bin/env bash
# Instructions per summary of each stage of the grouping, counted by
# valgrind's callgrind on a fixed workload (stages_bench --single-pass: the
# 20,000 generated lines recognized and grouped once). Unlike timings, the
# counts do not depend on what else the machine is doing, so two builds can
# be compared on a busy machine.
#
#   bench/stage_counts.sh [BUILD_DIR]      (default build)
#
# Prints, per well-formed summary, the instructions of each stage including
# everything it calls, then of some primitives wherever they are called
# (a function inlined everywhere counts 0 and is counted in its callers).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if ! command -v valgrind >/dev/null || ! command -v callgrind_annotate >/dev/null; then
  echo "bench/stage_counts.sh needs valgrind (Debian package 'valgrind')" >&2
  exit 2
fi
program="$build/bench/stages_bench"
[[ -x "$program" ]] || { echo "no $program: build the benchmarks first" >&2; exit 2; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$program" --single-pass >"$out/pass.txt"  # makes the input outside valgrind
valgrind --tool=callgrind --callgrind-out-file="$out/callgrind.out" \
  "$program" --single-pass >"$out/pass.txt" 2>"$out/valgrind.txt"
read -r _ lines _ grouped _ digest <"$out/pass.txt"
callgrind_annotate --inclusive=yes --threshold=100 "$out/callgrind.out" >"$out/annotate.txt"

# count NAME: the inclusive instructions of grulo::NAME, 0 when it never ran
# (or was inlined everywhere).
count() {
  awk -v name="grulo::$1(" '
    index($0, name) { gsub(",", "", $1); sum += $1 }
    END { print sum + 0 }' "$out/annotate.txt"
}

printf '%d lines, %d grouped; digest of the outcomes %s\n' "$lines" "$grouped" "$digest"
printf '%-34s %12s\n' "per summary" "instructions"
row() {  # row LABEL FUNCTION...
  local label=$1 total=0
  shift
  for f in "$@"; do total=$((total + $(count "$f"))); done
  printf '%-34s %12.0f\n' "$label" "$(awk -v t="$total" -v n="$grouped" 'BEGIN { print t / n }')"
}
row "GroupSummary (whole)" GroupingContext::GroupSummary
row "format recognition" RecognizeFormat
row "working record" BuildWorkingRecord
row "diagnosis lookups (23)" LookupDiags
row "act slots and lookups" TakeActSlots LookupAct
row "derived dates" DeriveDates
row "presence days, score sum" CountPresenceDays SumScores
row "checks (ValidateSummary)" ValidateSummary
row "tree walk" WalkTree
# MatchMask and IsOneOf are compiled into their callers and count there.
echo "primitives, wherever called:"
for f in ReadNumber ParseCount calendar_internal::SplitAnyDate DayNumber WeekOfDate SlotHasPair FirstBlockingError \
  DiagRecordNumber; do
  row "  $f" "$f"
done
