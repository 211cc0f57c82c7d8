#!/usr/bin/env bash
# Configures and builds the project.
#   scripts/build.sh              release build in build/
#   scripts/build.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build_dir=build
options=(-DCMAKE_BUILD_TYPE=Release -DGRULO_WERROR=ON)
if [[ "${1:-}" == "--sanitize" ]]; then
  build_dir=build-sanitize
  options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRULO_WERROR=ON -DGRULO_SANITIZE=ON)
fi

generator=()
if [[ ! -f "$build_dir/CMakeCache.txt" ]] && command -v ninja >/dev/null 2>&1; then
  generator=(-G Ninja)
fi
cmake -S . -B "$build_dir" "${generator[@]}" "${options[@]}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
