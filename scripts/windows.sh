#!/usr/bin/env bash
# The Windows build, cross-compiled on this machine with MinGW-w64, and its
# tests run under Wine:
#   1. installs what it needs from Debian's packages (the cross compiler,
#      Wine, GoogleTest's sources, zip) and builds the Linux programs
#      (scripts/build.sh --programs), which the outputs are compared with;
#   2. builds build-windows/ with cmake/mingw-w64-x86_64.cmake: grulo.exe,
#      grulo-tables.exe and grulo-gen.exe, statically linked (they need no
#      DLL but the system's), the unit tests and the whole-program tests;
#   3. runs the tests under Wine (ctest), then compares the outputs of the
#      Windows and the Linux programs (tests/windows/compare_outputs.sh);
#   4. packs, for an operator, the programs, README-Windows.txt, an example
#      grulo.ini (docs/windows/, in Windows' line endings, the example in
#      Windows-1252) and the user docs into
#      build-windows/grulo-<version>-windows-x86_64.zip.
#
#   scripts/windows.sh        all of it
#   scripts/windows.sh --ci   the lean run of the continuous integration: of
#                             the unit tests only those of the platform layer
#                             and of the layers above the grouper that use it
#                             (io, config, batch, run, cli: the code that
#                             differs between the systems, and the
#                             configuration files); the
#                             other components' unit tests run on Linux, and
#                             their code runs here through the whole-program
#                             tests and the comparison
source "$(dirname "$0")/common.sh"
root=$(pwd)
lean=false
case "${1:-}" in
  --ci) lean=true ;;
  "") ;;
  *) echo "usage: scripts/windows.sh [--ci]" >&2; exit 2 ;;
esac

scripts/install-deps.sh windows

# The Linux programs, for the comparison (nothing to do when the release
# build is there already).
scripts/build.sh --programs >/dev/null

build_dir=build-windows
configure_build "$build_dir" -DCMAKE_BUILD_TYPE=Release -DGRULO_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
targets=()
tests=()
if $lean; then
  targets=(--target grulo grulo-tables grulo-gen platform_test io_test config_test batch_test run_test
           cli_test)
  for source in tests/*_test.cc; do
    name=$(basename "$source" .cc)
    targets+=("e2e_$name")
  done
  tests=(-R '^(e2e_.*|platform_test|io_test|config_test|batch_test|run_test|cli_test)$')
fi
cmake --build "$build_dir" -j "$GRULO_JOBS" "${targets[@]}"

# Nothing but the system's DLLs.
for program in grulo grulo-tables grulo-gen; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$build_dir/$program.exe" | sed -n 's/.*DLL Name: //p' |
         grep -viE '^(kernel32|msvcrt|advapi32|user32|ws2_32|ntdll)\.dll$' || true)
  if [[ -n $dlls ]]; then
    echo "$program.exe needs DLLs beside it: $dlls" >&2
    exit 1
  fi
done

# Wine keeps its settings in a prefix of its own, made on the first run.
export WINEPREFIX=${WINEPREFIX:-$root/$build_dir/wine-prefix}
export WINEDEBUG=-all
wine wineboot --init >/dev/null 2>&1 || true

ctest --test-dir "$build_dir" --output-on-failure -j "$GRULO_JOBS" "${tests[@]}"
tests/windows/compare_outputs.sh build "$build_dir"

version=$(sed -n 's/^project(grulo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
package="grulo-$version-windows-x86_64"
staging="$build_dir/$package"
rm -rf "$staging" "$build_dir/$package.zip"
mkdir -p "$staging/docs"
cp "$build_dir"/grulo.exe "$build_dir"/grulo-tables.exe "$build_dir"/grulo-gen.exe "$staging/"
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' docs/windows/README-Windows.txt; } >"$staging/README-Windows.txt"
iconv -f UTF-8 -t WINDOWS-1252 docs/windows/grulo.ini | sed 's/$/\r/' >"$staging/grulo.ini"
# The user docs only: not the developer's README, design, coverage, fuzzing
# or library docs.
cp docs/running.md docs/explain.md docs/report.md docs/errors.md docs/group.md docs/table-formats.md \
   docs/generator.md "$staging/docs/"
(cd "$build_dir" && zip -q -r "$package.zip" "$package")
echo "packed $build_dir/$package.zip"
