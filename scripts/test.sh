#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
#   scripts/test.sh              release build in build/
#   scripts/test.sh --sanitize   the same under AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh "$@"

build_dir=build
if [[ "${1:-}" == "--sanitize" ]]; then
  build_dir=build-sanitize
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
