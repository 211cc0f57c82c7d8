#!/usr/bin/env bash
# Takes the profile that the optimised release build is compiled with: builds
# the three programs instrumented in build-pgo/, then has them build the demo
# tables, generate 50,000 summaries and group them, each run adding its counts
# to the profile.
#   scripts/pgo-profile.sh PROFILE_DIR
# (scripts/build.sh runs it when build/ has no profile yet, then compiles
# build/ anew; remove build/pgo-profile to take it again.)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
profile=${1:?usage: scripts/pgo-profile.sh PROFILE_DIR}
gen_dir="$root/build-pgo"

generator=()
if [[ ! -f "$gen_dir/CMakeCache.txt" ]] && command -v ninja >/dev/null 2>&1; then
  generator=(-G Ninja)
fi
cmake -S . -B "$gen_dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DGRULO_BUILD_TESTS=OFF -DGRULO_BUILD_BENCH=OFF \
  -DGRULO_PGO=GENERATE -DGRULO_PGO_DIR="$profile" >/dev/null
cmake --build "$gen_dir" -j "$(nproc)" --target grulo grulo-tables grulo-gen

rm -rf "$profile"
train="$gen_dir/train"
rm -rf "$train"
mkdir -p "$train/tables" "$train/out"
"$gen_dir/grulo-tables" build --tree data/demo/tree.txt --acts data/demo/acts.txt \
  --diag data/demo/diag.txt --out "$train/tables" >/dev/null
"$gen_dir/grulo-gen" --count 50000 --seed 20261207 --diag data/demo/diag.txt \
  --acts data/demo/acts.txt --out "$train/input.txt"
cp "$gen_dir/grulo" "$train/grulo"
# grulo.ini is Windows-1252 text: "G\xE9n\xE9ral" is "Général".
printf '[G\xe9n\xe9ral]\r\nRepTab=%s/\r\nFicEnt=%s\r\nRepSor=%s\r\n' \
  "$train/tables" "$train/input.txt" "$train/out" >"$train/grulo.ini"
"$train/grulo" --threads 1 >/dev/null
compgen -G "$profile/*.gcda" >/dev/null || { echo "no profile written in $profile" >&2; exit 1; }
