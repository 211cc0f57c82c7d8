#!/usr/bin/env bash
# Configures and builds the project (installing what the build lacks, see
# scripts/install-deps.sh).
#   scripts/build.sh              release build in build/
#   scripts/build.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
#   scripts/build.sh --tsan       ThreadSanitizer build in build-tsan/ of the programs and
#                                 of the tests that group on several threads
#   scripts/build.sh --programs   the release build in build/ of the three programs only
# Every build stops at a compiler warning. The release build is optimised with
# a profile of the programs at work, taken in build/ when it has none or when
# a source of the programs changed since it was taken (scripts/pgo-profile.sh);
# GRULO_PGO=0 builds it without.
source "$(dirname "$0")/common.sh"
scripts/install-deps.sh build

build_dir=build
options=(-DCMAKE_BUILD_TYPE=Release -DGRULO_WERROR=ON)
targets=()
case "${1:-}" in
  "") ;;
  --programs)
    targets=(--target grulo grulo-tables grulo-gen)
    ;;
  --sanitize)
    build_dir=build-sanitize
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRULO_WERROR=ON -DGRULO_SANITIZE=ON
             -DGRULO_BUILD_BENCH=OFF)
    ;;
  --tsan)
    build_dir=build-tsan
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRULO_WERROR=ON -DGRULO_TSAN=ON
             -DGRULO_BUILD_BENCH=OFF)
    targets=(--target grulo grulo-tables grulo-gen e2e_library_test e2e_threads_test)
    ;;
  *)
    echo "usage: scripts/build.sh [--programs|--sanitize|--tsan]" >&2
    exit 2
    ;;
esac

if [[ $build_dir == build && ${GRULO_PGO:-1} != 0 ]]; then
  if ! scripts/pgo-profile.sh --check build; then
    scripts/pgo-profile.sh build
  fi
  options+=(-DGRULO_PGO=USE -DGRULO_PGO_DIR="$(pwd)/build/pgo-profile")
else
  options+=(-DGRULO_PGO=OFF)
fi

configure_build "$build_dir" "${options[@]}"
cmake --build "$build_dir" -j "$GRULO_JOBS" "${targets[@]}"
