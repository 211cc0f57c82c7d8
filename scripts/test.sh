#!/usr/bin/env bash
# Builds everything and runs the whole test suite (installing what they lack,
# see scripts/install-deps.sh).
#   scripts/test.sh              release build in build/
#   scripts/test.sh --sanitize   the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   scripts/test.sh --tsan       the tests that group on several threads, under ThreadSanitizer
source "$(dirname "$0")/common.sh"
scripts/install-deps.sh test
scripts/build.sh "$@"

build_dir=build
selection=()
case "${1:-}" in
  --sanitize)
    build_dir=build-sanitize
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ;;
  --tsan)
    build_dir=build-tsan
    export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
    selection=(-R 'Thread')
    ;;
esac
ctest --test-dir "$build_dir" --output-on-failure -j "$GRULO_JOBS" "${selection[@]}"
