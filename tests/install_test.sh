#!/usr/bin/env bash
# Installs the build into a staging prefix and uses it from outside the build
# tree: the C example through pkg-config, the C++ example through
# find_package(grulo), the Python example through the installed module; the
# three must print the same results. The C example of whole files must write
# the installed batch program's files and counters. Then cpack builds the Debian packages,
# whose contents, dependencies and lintian's verdict are checked.
#   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/stage

cmake --install "$build" --prefix "$stage" >/dev/null
# Libraries in the multiarch directory where the system has one.
lib=lib
multiarch=$(cc -print-multiarch 2>/dev/null || true)
[[ -z $multiarch ]] || lib=lib/$multiarch
for f in bin/grulo bin/grulo-tables bin/grulo-gen include/grulo/grulo.h include/grulo/grouper.h \
         $lib/libgrulo.a $lib/pkgconfig/grulo.pc $lib/cmake/grulo/gruloConfig.cmake \
         share/man/man1/grulo.1.gz share/doc/grulo/copyright share/doc/grulo/README.md; do
  [[ -e $stage/$f ]] || { echo "not installed: $f"; exit 1; }
done
[[ $(readlink "$stage/$lib/libgrulo.so.1") == libgrulo.so.1.* ]] || { echo "no libgrulo.so.1"; exit 1; }

# The demo tables, built by the installed tool; three demo lines.
mkdir "$work/tables"
"$stage/bin/grulo-tables" build --tree "$source/data/demo/tree.txt" \
  --acts "$source/data/demo/acts.txt" --diag "$source/data/demo/diag.txt" --out "$work/tables"
head -n 3 "$source/data/demo/input.txt" >"$work/input.txt"

# C, through pkg-config.
export PKG_CONFIG_PATH=$stage/$lib/pkgconfig
cc -std=c99 -Wall -Werror "$source/examples/c/group_lines.c" -o "$work/c_example" \
  $(pkg-config --cflags --libs grulo)
LD_LIBRARY_PATH=$stage/$lib "$work/c_example" "$work/tables" "$work/input.txt" >"$work/c.out"
# ... and statically.
cc -std=c99 "$source/examples/c/group_lines.c" -o "$work/c_static" \
  $(pkg-config --cflags grulo) "$stage/$lib/libgrulo.a" -lstdc++ -lm
"$work/c_static" "$work/tables" "$work/input.txt" >"$work/c_static.out"

# C++, through find_package.
cmake -S "$source/examples/cpp" -B "$work/cpp" -DCMAKE_PREFIX_PATH="$stage" >/dev/null
cmake --build "$work/cpp" >/dev/null
LD_LIBRARY_PATH=$stage/$lib "$work/cpp/group_lines" "$work/tables" "$work/input.txt" >"$work/cpp.out"

# Python, from the installed module.
module=$(find "$stage/lib" -path '*/grulo/_grulo.cpython-*.so' | head -n 1)
if [[ -n $module ]]; then
  PYTHONPATH=$(dirname "$(dirname "$module")") /usr/bin/python3 "$source/examples/python/group_lines.py" \
    "$work/tables" "$work/input.txt" >"$work/python.out"
else
  echo "the Python module was not built: skipping it"
  cp "$work/c.out" "$work/python.out"
fi

cat "$work/c.out"
[[ $(wc -l <"$work/c.out") -eq 3 ]] || { echo "expected three result lines"; exit 1; }
for other in c_static cpp python; do
  cmp "$work/c.out" "$work/$other.out" || { echo "$other differs from C"; exit 1; }
done

# Whole files: the C example writes what the installed batch program writes.
cc -std=c99 -Wall -Werror "$source/examples/c/group_file.c" -o "$work/c_file" \
  $(pkg-config --cflags --libs grulo)
mkdir -p "$work/batch/out"
cp "$stage/bin/grulo" "$work/batch/grulo"
printf '[G\xe9n\xe9ral]\r\nRepTab=%s/\r\nFicEnt=%s\r\nRepSor=%s/out\r\n' "$work/tables" \
  "$source/data/demo/input.txt" "$work/batch" >"$work/batch/grulo.ini"
(cd "$work/batch" && GRULO_TODAY=07122026 ./grulo >/dev/null)
LD_LIBRARY_PATH=$stage/$lib "$work/c_file" "$work/tables" "$source/data/demo/input.txt" 07122026 \
  "$work/c.grp" "$work/c.err" >"$work/c_file.out"
cmp "$work/batch/out/input.grp" "$work/c.grp" || { echo "group_file: .grp differs"; exit 1; }
cmp "$work/batch/out/input.err" "$work/c.err" || { echo "group_file: .err differs"; exit 1; }
grep -aE '^(NbLus|NbErrBloq|NbErrNonBloq|NbErrForm)=' "$work/batch/grulo.ini" | tr -d '\r' |
  cmp - "$work/c_file.out" || { echo "group_file: the counters differ"; exit 1; }

# The Debian packages: the programs, the runtime library, the development
# files and the Python module apart, each with what Debian asks of it.
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
debs=$work/package
package_of() { ls "$debs/$1"_*.deb; }
contents() { dpkg-deb -c "$(package_of "$1")" | awk '{print $6}' | sed 's|^\./|/|'; }
field() { dpkg-deb -f "$(package_of "$1")" "$2"; }
expect_in() {  # PACKAGE PATTERN...
  local package=$1 pattern
  shift
  for pattern in "$@"; do
    contents "$package" | grep -qx "$pattern" || { echo "$package lacks $pattern"; exit 1; }
  done
}
expect_in grulo /usr/bin/grulo /usr/bin/grulo-tables /usr/share/man/man1/grulo.1.gz
expect_in libgrulo1 "/usr/lib/$multiarch/libgrulo.so.1.*"
expect_in libgrulo-dev /usr/include/grulo/grulo.h "/usr/lib/$multiarch/libgrulo.a" \
  "/usr/lib/$multiarch/pkgconfig/grulo.pc"
for package in grulo libgrulo1 libgrulo-dev; do
  expect_in "$package" "/usr/share/doc/$package/copyright" "/usr/share/doc/$package/changelog.Debian.gz"
done
! contents libgrulo1 | grep -q 'libgrulo\.so$' || { echo "libgrulo1 holds the link libgrulo.so"; exit 1; }
[[ $(field libgrulo-dev Depends) == "libgrulo1 (= "* ]] || { echo "libgrulo-dev: $(field libgrulo-dev Depends)"; exit 1; }
[[ $(field libgrulo-dev Suggests) == *libstdc++-12-dev* ]] || { echo "libgrulo-dev suggests no libstdc++"; exit 1; }
# Stripped programs and library.
mkdir "$work/unpacked"
for package in grulo libgrulo1; do dpkg-deb -x "$(package_of "$package")" "$work/unpacked"; done
for binary in "$work/unpacked/usr/bin/grulo" "$work/unpacked/usr/lib/$multiarch"/libgrulo.so.1.*; do
  file -L "$binary" | grep -q ', stripped' || { echo "not stripped: $binary"; exit 1; }
done
if [[ -n $module ]]; then
  expect_in python3-grulo "/usr/lib/python3/dist-packages/grulo/_grulo\.cpython-.*\.so" \
    /usr/lib/python3/dist-packages/grulo/__init__.py /usr/lib/python3/dist-packages/grulo/py.typed
  python=$(/usr/bin/python3 -c 'import sys; print("%d.%d" % sys.version_info[:2])')
  [[ $(field python3-grulo Depends) == *"python3 (>= $python), python3 (<< "* ]] ||
    { echo "python3-grulo: $(field python3-grulo Depends)"; exit 1; }
  [[ $(field python3-grulo Suggests) == *python3-pandas* ]] ||
    { echo "python3-grulo suggests no pandas"; exit 1; }
fi
# lintian finds nothing but what the packages' overrides explain (see
# docs/library.md); its informational tags are shown, not counted.
if command -v lintian >/dev/null 2>&1; then
  lintian --fail-on error,warning --info "$debs"/*.deb
else
  echo "lintian is not installed (bash scripts/install-deps.sh test installs it): not run"
fi
echo "packages: $(cd "$debs" && echo *.deb)"
echo "install test passed"
