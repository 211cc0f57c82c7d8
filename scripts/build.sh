#!/usr/bin/env bash
# Configures and builds the project.
#   scripts/build.sh              release build in build/
#   scripts/build.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
#   scripts/build.sh --tsan       ThreadSanitizer build in build-tsan/ of the programs and
#                                 of the tests that group on several threads
#   scripts/build.sh --programs   the release build in build/ of the three programs only
# The release build is optimised with a profile of the programs at work, taken
# the first time (scripts/pgo-profile.sh); GRULO_PGO=0 builds it without.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build_dir=build
options=(-DCMAKE_BUILD_TYPE=Release -DGRULO_WERROR=ON)
targets=()
case "${1:-}" in
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
esac

# The release build is compiled with a profile of the programs at work
# (scripts/pgo-profile.sh), taken once, when build/ has none (remove
# build/pgo-profile to take it again).
if [[ $build_dir == build && ${GRULO_PGO:-1} != 0 ]]; then
  profile="$(pwd)/build/pgo-profile"
  if ! compgen -G "$profile/*.gcda" >/dev/null; then
    scripts/pgo-profile.sh "$profile" >/dev/null
    # What was compiled before, without this profile, is compiled again.
    if [[ -f build/build.ninja || -f build/Makefile ]]; then
      cmake --build build --target clean >/dev/null
    fi
  fi
  options+=(-DGRULO_PGO=USE -DGRULO_PGO_DIR="$profile")
else
  options+=(-DGRULO_PGO=OFF)
fi

generator=()
if [[ ! -f "$build_dir/CMakeCache.txt" ]] && command -v ninja >/dev/null 2>&1; then
  generator=(-G Ninja)
fi
cmake -S . -B "$build_dir" "${generator[@]}" "${options[@]}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)" "${targets[@]}"
