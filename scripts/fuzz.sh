#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on the whole library) in build-fuzz/ and runs
# them.
#   scripts/fuzz.sh                     every target for 60 seconds
#   scripts/fuzz.sh TARGET [SECONDS]    one target (summary_line, table_bytes,
#                                       ini_file, line_reader, table_source,
#                                       table_dump) for SECONDS (default 60)
#   scripts/fuzz.sh --build             only build
# New inputs go to build-fuzz/corpus/TARGET/, crashes to
# build-fuzz/artifacts/TARGET/; the seeds of fuzz/corpus/TARGET/ are read
# and never changed. Extra libFuzzer flags: FUZZ_FLAGS="-jobs=2 -workers=2".
source "$(dirname "$0")/common.sh"
scripts/install-deps.sh fuzz

targets=(summary_line table_bytes ini_file line_reader table_source table_dump)

flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
flags+=" -fno-omit-frame-pointer -g"
CC=clang CXX=clang++ configure_build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGRULO_FUZZ=ON -DGRULO_BUILD_TESTS=OFF -DGRULO_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags"
cmake --build build-fuzz -j "$GRULO_JOBS" --target "${targets[@]/%/_fuzzer}"

[[ "${1:-}" == "--build" ]] && exit 0
if (($# > 0)); then
  targets=("$1")
fi
seconds="${2:-60}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
for target in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$target" "build-fuzz/artifacts/$target"
  echo "== $target: $seconds s"
  # shellcheck disable=SC2086
  "build-fuzz/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="build-fuzz/artifacts/$target/" ${FUZZ_FLAGS:-} \
    "build-fuzz/corpus/$target" "fuzz/corpus/$target"
done
