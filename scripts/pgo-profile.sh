#!/usr/bin/env bash
# Takes the profile that a release build directory is compiled with: builds
# the three programs there instrumented (GRULO_PGO=GENERATE), then has them
# build the demo tables, generate 20,000 summaries and group them, each run
# adding its counts to BUILD_DIR/pgo-profile.
#   scripts/pgo-profile.sh BUILD_DIR          take the profile
#   scripts/pgo-profile.sh --check BUILD_DIR  exit 0 when BUILD_DIR holds a
#                                             profile taken after the last
#                                             change of the programs'
#                                             sources; else say why, exit 1
# The profile is taken in the directory that it optimises, so that every
# source and header has the same path in both compilations (GCC checks
# them). Besides the counts, the profile holds sources.stamp, whose time is
# that of the sources it was taken from, and profile.id, a digest of the
# counts that the optimised build puts in its command lines (a new profile
# compiles everything again, and a compiler cache never mixes two profiles).
# scripts/build.sh runs this when the release build has no profile or an
# older one, then compiles the directory with it (GRULO_PGO=USE).
source "$(dirname "$0")/common.sh"

# The sources a profile describes: those of the programs and their library,
# not the tests (cmake/pgo-check.cmake reads the same).
changed_sources() {
  find src include tools CMakeLists.txt \
    -newer "$1" -type f ! -name '*_test.cc' ! -name '*_testutil.*' -print
}

if [[ ${1:-} == --check ]]; then
  profile=${2:?usage: scripts/pgo-profile.sh --check BUILD_DIR}/pgo-profile
  if ! compgen -G "$profile/*.gcda" >/dev/null || [[ ! -f $profile/sources.stamp ]]; then
    echo "no profile in $profile yet: taking it" >&2
    exit 1
  fi
  newer=$(changed_sources "$profile/sources.stamp" | head -n 1)
  if [[ -n $newer ]]; then
    echo "the profile in $profile is older than $newer: taking it again" >&2
    exit 1
  fi
  exit 0
fi

build_dir=$(realpath -m "${1:?usage: scripts/pgo-profile.sh [--check] BUILD_DIR}")
profile=$build_dir/pgo-profile
mkdir -p "$build_dir"
stamp=$build_dir/pgo-sources.stamp
touch "$stamp"  # before the sources are read

configure_build "$build_dir" -DCMAKE_BUILD_TYPE=Release -DGRULO_WERROR=ON \
  -DGRULO_PGO=GENERATE -DGRULO_PGO_DIR="$profile"
cmake --build "$build_dir" -j "$GRULO_JOBS" --target grulo grulo-tables grulo-gen >/dev/null

rm -rf "$profile"
train=$build_dir/pgo-train
rm -rf "$train"
mkdir -p "$train/tables" "$train/out"
"$build_dir/grulo-tables" build --tree data/demo/tree.txt --acts data/demo/acts.txt \
  --diag data/demo/diag.txt --out "$train/tables" >/dev/null
"$build_dir/grulo-gen" --count 20000 --seed 20261207 --diag data/demo/diag.txt \
  --acts data/demo/acts.txt --out "$train/input.txt"
cp "$build_dir/grulo" "$train/grulo"
# grulo.ini is Windows-1252 text: "G\xE9n\xE9ral" is "Général".
printf '[G\xe9n\xe9ral]\r\nRepTab=%s/\r\nFicEnt=%s\r\nRepSor=%s\r\n' \
  "$train/tables" "$train/input.txt" "$train/out" >"$train/grulo.ini"
"$train/grulo" --threads 1 >/dev/null
compgen -G "$profile/*.gcda" >/dev/null || { echo "no profile written in $profile" >&2; exit 1; }
cat "$profile"/*.gcda | sha256sum | cut -c1-16 >"$profile/profile.id"
mv "$stamp" "$profile/sources.stamp"
rm -rf "$train"
