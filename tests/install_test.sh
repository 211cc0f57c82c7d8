#!/usr/bin/env bash
# Installs the build into a staging prefix and uses it from outside the build
# tree: the C example through pkg-config, the C++ example through
# find_package(grulo), the Python example through the installed module; the
# three must print the same results. Then cpack builds the Debian package.
#   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/stage

cmake --install "$build" --prefix "$stage" >/dev/null
for f in bin/grulo bin/grulo-tables bin/grulo-gen include/grulo/grulo.h include/grulo/grouper.h \
         lib/libgrulo.a lib/pkgconfig/grulo.pc lib/cmake/grulo/gruloConfig.cmake; do
  [[ -e $stage/$f ]] || { echo "not installed: $f"; exit 1; }
done
[[ $(readlink "$stage/lib/libgrulo.so.1") == libgrulo.so.1.* ]] || { echo "no libgrulo.so.1"; exit 1; }

# The demo tables, built by the installed tool; three demo lines.
mkdir "$work/tables"
"$stage/bin/grulo-tables" build --tree "$source/data/demo/tree.txt" \
  --acts "$source/data/demo/acts.txt" --diag "$source/data/demo/diag.txt" --out "$work/tables"
head -n 3 "$source/data/demo/input.txt" >"$work/input.txt"

# C, through pkg-config.
export PKG_CONFIG_PATH=$stage/lib/pkgconfig
cc -std=c99 -Wall -Werror "$source/examples/c/group_lines.c" -o "$work/c_example" \
  $(pkg-config --cflags --libs grulo)
LD_LIBRARY_PATH=$stage/lib "$work/c_example" "$work/tables" "$work/input.txt" >"$work/c.out"
# ... and statically.
cc -std=c99 "$source/examples/c/group_lines.c" -o "$work/c_static" \
  $(pkg-config --cflags grulo) "$stage/lib/libgrulo.a" -lstdc++ -lm
"$work/c_static" "$work/tables" "$work/input.txt" >"$work/c_static.out"

# C++, through find_package.
cmake -S "$source/examples/cpp" -B "$work/cpp" -DCMAKE_PREFIX_PATH="$stage" >/dev/null
cmake --build "$work/cpp" >/dev/null
LD_LIBRARY_PATH=$stage/lib "$work/cpp/group_lines" "$work/tables" "$work/input.txt" >"$work/cpp.out"

# Python, from the installed module.
module=$(find "$stage/lib" -name 'grulo.cpython-*.so' | head -n 1)
if [[ -n $module ]]; then
  PYTHONPATH=$(dirname "$module") /usr/bin/python3 "$source/examples/python/group_lines.py" \
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

# The Debian package.
if command -v dpkg-deb >/dev/null 2>&1; then
  (cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
  deb=$(ls "$work"/package/grulo_*.deb)
  dpkg-deb -c "$deb" >"$work/contents"
  grep -q '/usr/lib/.*libgrulo.so.1' "$work/contents" || { echo "package lacks the library"; exit 1; }
  grep -q '/usr/bin/grulo$' "$work/contents" || { echo "package lacks grulo"; exit 1; }
  grep -q '/usr/lib/python3/dist-packages/grulo' "$work/contents" || { echo "package lacks the module"; exit 1; }
  echo "package: $(basename "$deb")"
fi
echo "install test passed"
