#!/usr/bin/env bash
# Runs the Windows programs under Wine and the Linux ones on the same inputs
# and requires the same bytes: the tables grulo-tables.exe builds, the lines
# grulo-gen.exe writes, and the .grp, .err and counters of grulo.exe, with
# grulo.ini beside each program. The Windows configuration names its paths
# the Windows way (a drive letter, backslashes) and its output directory has
# an accented name, "sortie-\xE9" in Windows-1252 as the file holds it; one
# more run has its configuration in UTF-16, as Notepad saves "Unicode", and
# one in UTF-8 with a byte order mark, as Notepad saves "UTF-8 with BOM"
# (the accented name then in UTF-8 bytes).
#   tests/windows/compare_outputs.sh <linux build dir> <windows build dir>
set -euo pipefail
linux_build=$(cd "$1" && pwd)
windows_build=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
wine=${GRULO_WINE:-wine}
export WINEDEBUG=${WINEDEBUG:--all}
# Wine names the Unix files in UTF-8 under a UTF-8 locale: the accented
# directory is then "sortie-é" in UTF-8 on the Linux side.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
today=15062024

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

same() {  # same <what> <file a> <file b>
  if cmp -s "$2" "$3"; then
    echo "same: $1 ($(wc -c <"$2") bytes)"
  else
    fail "$1 differs: $2 $3"
    cmp "$2" "$3" | head -n 3 >&2 || true
  fi
}

# A Unix path as Wine shows it to a Windows program: drive Z:, backslashes.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The tables, built on both sides.
mkdir -p "$work/tables-linux" "$work/tables-windows"
"$linux_build/grulo-tables" build --tree "$root/data/demo/tree.txt" \
  --acts "$root/data/demo/acts.txt" --diag "$root/data/demo/diag.txt" --out "$work/tables-linux"
"$wine" "$windows_build/grulo-tables.exe" build --tree "$root/data/demo/tree.txt" \
  --acts "$root/data/demo/acts.txt" --diag "$root/data/demo/diag.txt" \
  --out "$(windows_path "$work/tables-windows")" >/dev/null
for table in arbressr.tab diag10sr.tab ccamcssr.tab; do
  same "table $table" "$work/tables-linux/$table" "$work/tables-windows/$table"
done

# The generated lines, every kind of them.
gen_args=(--count 5000 --faulty-share 0.3 --malformed-share 0.05
          --diag "$root/data/demo/diag.txt" --acts "$root/data/demo/acts.txt")
"$linux_build/grulo-gen" "${gen_args[@]}" >"$work/generated-linux.txt"
"$wine" "$windows_build/grulo-gen.exe" "${gen_args[@]}" >"$work/generated-windows.txt"
same "grulo-gen output" "$work/generated-linux.txt" "$work/generated-windows.txt"

# The configuration as Notepad saves it in "Unicode": UTF-16LE with its mark.
to_utf16() {
  local file=$1
  { printf '\xff\xfe'; iconv -f WINDOWS-1252 -t UTF-16LE "$file"; } >"$file.utf16"
  mv "$file.utf16" "$file"
}

# The configuration as Notepad saves it in "UTF-8 with BOM".
to_utf8() {
  local file=$1
  { printf '\xef\xbb\xbf'; iconv -f WINDOWS-1252 -t UTF-8 "$file"; } >"$file.utf8"
  mv "$file.utf8" "$file"
}

# The counters of a configuration file after a run, as Windows-1252 text.
counters() {  # counters <grulo.ini> <encoding>
  if [[ $2 == utf8 ]]; then
    tail -c +4 "$1" | iconv -f UTF-8 -t WINDOWS-1252
  elif [[ $2 == utf16 ]]; then
    if [[ $(head -c 2 "$1" | od -An -tx1 | tr -d ' ') != fffe ]]; then
      echo "$1 is no longer UTF-16" >&2
      return
    fi
    iconv -f UTF-16 -t WINDOWS-1252 "$1"
  else
    cat "$1"
  fi | LC_ALL=C sed -n '/^\[R\xe9sultats\]/,$p'
}

# One run of each grulo on an input: <name> <input file> [utf16|utf8].
compare_run() {
  local name=$1 input=$2 encoding=${3:-single-byte}
  local case_dir="$work/$name"
  mkdir -p "$case_dir/linux/bin" "$case_dir/linux/out" "$case_dir/windows/bin" \
           "$case_dir/windows/sortie-é"
  cp "$linux_build/grulo" "$case_dir/linux/bin/"
  cp "$windows_build/grulo.exe" "$case_dir/windows/bin/"
  cp "$input" "$case_dir/week.rss"
  printf '[G\xe9n\xe9ral]\r\nRepTab=%s/\r\nFicEnt=%s\r\nRepSor=%s\r\n' \
    "$work/tables-linux" "$case_dir/week.rss" "$case_dir/linux/out" >"$case_dir/linux/bin/grulo.ini"
  printf '[G\xe9n\xe9ral]\r\nRepTab=%s\\\r\nFicEnt=%s\r\nRepSor=%s\\sortie-\xe9\r\n' \
    "$(windows_path "$work/tables-windows")" "$(windows_path "$case_dir/week.rss")" \
    "$(windows_path "$case_dir/windows")" >"$case_dir/windows/bin/grulo.ini"
  if [[ $encoding == utf16 ]]; then
    to_utf16 "$case_dir/linux/bin/grulo.ini"
    to_utf16 "$case_dir/windows/bin/grulo.ini"
  elif [[ $encoding == utf8 ]]; then
    to_utf8 "$case_dir/linux/bin/grulo.ini"
    to_utf8 "$case_dir/windows/bin/grulo.ini"
  fi
  local linux_status=0 windows_status=0
  GRULO_TODAY=$today "$case_dir/linux/bin/grulo" 2>"$case_dir/linux.stderr" || linux_status=$?
  GRULO_TODAY=$today "$wine" "$case_dir/windows/bin/grulo.exe" 2>"$case_dir/windows.stderr" ||
    windows_status=$?
  if [[ $linux_status != "$windows_status" ]]; then
    fail "$name: exit status $linux_status on Linux, $windows_status on Windows"
    cat "$case_dir/windows.stderr" >&2
  fi
  if [[ ! -s $case_dir/linux.stderr && -s $case_dir/windows.stderr ]]; then
    fail "$name: messages on Windows only:"
    cat "$case_dir/windows.stderr" >&2
  fi
  same "$name .grp" "$case_dir/linux/out/week.grp" "$case_dir/windows/sortie-é/week.grp"
  same "$name .err" "$case_dir/linux/out/week.err" "$case_dir/windows/sortie-é/week.err"
  counters "$case_dir/linux/bin/grulo.ini" "$encoding" >"$case_dir/linux.counters"
  counters "$case_dir/windows/bin/grulo.ini" "$encoding" >"$case_dir/windows.counters"
  if [[ ! -s $case_dir/linux.counters ]]; then fail "$name: no counters written on Linux"; fi
  same "$name counters" "$case_dir/linux.counters" "$case_dir/windows.counters"
}

compare_run demo "$root/data/demo/input.txt"
compare_run generated "$work/generated-linux.txt"
compare_run unicode-configuration "$root/data/demo/input.txt" utf16
compare_run utf8-configuration "$root/data/demo/input.txt" utf8

if ((failures > 0)); then
  echo "$failures differences between the Windows and the Linux programs" >&2
  exit 1
fi
echo "the Windows programs under Wine give the bytes of the Linux ones"
