#!/usr/bin/env bash
# Installs, from Debian 12's packages, what a task of this project needs and
# this machine lacks; a machine that has it all is left alone (no apt-get).
#   scripts/install-deps.sh [build]   build everything, run the demo: a C++20
#                                     compiler, CMake, Ninja, ccache,
#                                     GoogleTest, Google Benchmark, pybind11
#                                     and the Python headers
#   scripts/install-deps.sh test      build, and run the whole test suite:
#                                     pytest, pandas, Dask and its
#                                     distributed scheduler (the Python data
#                                     frames and the Dask example),
#                                     pkg-config, dpkg-dev and file (the
#                                     installation test and its Debian
#                                     packages), lintian (their check),
#                                     Chromium (the report rendered in a
#                                     browser)
#   scripts/install-deps.sh windows   the Windows build: MinGW-w64, Wine,
#                                     GoogleTest's sources, zip
#   scripts/install-deps.sh coverage  test, and gcovr
#   scripts/install-deps.sh fuzz      clang with libFuzzer, CMake, Ninja
# Several tasks may be named at once. The scripts that need a task's
# packages run this themselves.
source "$(dirname "$0")/common.sh"

build=(g++ cmake ninja-build ccache libgtest-dev libbenchmark-dev pybind11-dev python3-dev)
test=("${build[@]}" python3-pytest python3-pandas python3-dask python3-distributed pkg-config
      dpkg-dev file lintian chromium)

packages=()
for task in "${@:-build}"; do
  case $task in
    build) packages+=("${build[@]}") ;;
    test) packages+=("${test[@]}") ;;
    windows) packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 googletest zip) ;;
    coverage) packages+=("${test[@]}" gcovr) ;;
    fuzz) packages+=(clang libclang-rt-dev cmake ninja-build) ;;
    *)
      echo "usage: scripts/install-deps.sh [build|test|windows|coverage|fuzz]..." >&2
      exit 2
      ;;
  esac
done
require_packages "${packages[@]}"
