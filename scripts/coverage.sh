#!/usr/bin/env bash
# Builds with gcc's coverage instrumentation in build-coverage/, runs the
# whole test suite and reports line and branch coverage per folder of src/
# with gcovr (installed from Debian's packages when missing, with what the
# tests need).
#   scripts/coverage.sh                 build, test, report
#   scripts/coverage.sh --report-only   report on the counts of the last run
# The per-file report goes to build-coverage/coverage.txt, an HTML one to
# build-coverage/coverage/index.html.
source "$(dirname "$0")/common.sh"
scripts/install-deps.sh coverage

build=build-coverage
tests_failed=0
if [[ "${1:-}" != "--report-only" ]]; then
  configure_build "$build" -DCMAKE_BUILD_TYPE=Debug -DGRULO_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="--coverage -fprofile-update=atomic -O0" \
    -DCMAKE_C_FLAGS="--coverage -fprofile-update=atomic -O0" \
    -DCMAKE_EXE_LINKER_FLAGS="--coverage" -DCMAKE_SHARED_LINKER_FLAGS="--coverage"
  cmake --build "$build" -j "$GRULO_JOBS"
  find "$build" -name '*.gcda' -delete
  # install_test links the installed libgrulo.a into programs built without
  # --coverage, which cannot link: it is left out here.
  ctest --test-dir "$build" -j "$GRULO_JOBS" --output-on-failure -E '^install_test$' || tests_failed=1
fi

# Branches: only those of the code as written (no branches that the
# compiler adds for exceptions), in src/ only.
# The headers are seen through the include roots of the build
# (build-coverage/include-roots/<component>/<component>/x.h); the summary
# below counts them in their folder of src/.
common=(--root . --object-directory "$build" --filter 'src/' --filter '.*/include-roots/'
        --exclude '.*_test\.cc' --exclude '.*_testutil\.(cc|h)' --exclude-unreachable-branches --exclude-throw-branches)
mkdir -p "$build/coverage"
gcovr "${common[@]}" --branches --txt "$build/coverage.txt" \
  --html-details "$build/coverage/index.html" >/dev/null 2>"$build/coverage/gcovr.log" ||
  { tail -5 "$build/coverage/gcovr.log" >&2; exit 1; }
gcovr "${common[@]}" --json-summary "$build/coverage/summary.json" >/dev/null \
  2>>"$build/coverage/gcovr.log" || { tail -5 "$build/coverage/gcovr.log" >&2; exit 1; }

# One line per folder: lines and branches taken (both ways counts each
# direction), from the per-file summary.
python3 - "$build/coverage/summary.json" <<'PY'
import collections, json, sys
files = json.load(open(sys.argv[1]))["files"]
folders = collections.OrderedDict()
for f in sorted(files, key=lambda f: f["filename"]):
    name = f["filename"]
    if "include-roots/" in name:
        name = "src/" + name.split("include-roots/", 1)[1].split("/", 1)[1]
    parts = name.split("/")
    folder = "/".join(parts[:2]) if len(parts) > 2 else parts[0]
    t = folders.setdefault(folder, [0, 0, 0, 0])
    t[0] += f["line_covered"]; t[1] += f["line_total"]
    t[2] += f["branch_covered"]; t[3] += f["branch_total"]
def pct(a, b):
    return "%5.1f%%" % (100.0 * a / b) if b else "    - "
print("%-16s %16s %8s %16s %8s" % ("folder", "lines", "", "branches", ""))
total = [0, 0, 0, 0]
for folder, t in folders.items():
    total = [a + b for a, b in zip(total, t)]
    print("%-16s %7d / %6d %8s %7d / %6d %8s" % (folder, t[0], t[1], pct(t[0], t[1]),
                                                  t[2], t[3], pct(t[2], t[3])))
print("%-16s %7d / %6d %8s %7d / %6d %8s" % ("all", total[0], total[1], pct(total[0], total[1]),
                                              total[2], total[3], pct(total[2], total[3])))
PY
echo "per file: $build/coverage.txt, $build/coverage/index.html"
if ((tests_failed)); then
  echo "some tests failed: the figures above are of a failing suite" >&2
  exit 1
fi
