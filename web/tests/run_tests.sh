#!/usr/bin/env bash
# One part of the web build's tests, run by CTest (web_module, web_package,
# web_page) against the native programs of GRULO_BUILD_DIR:
#   module    grulo.mjs under Node (module_test.mjs)
#   package   the npm package installed into a scratch project and used
#             from a Node script
#   page      index.html in headless Chromium (page_test.py)
# Exit status 77 (skipped) with the reason when the web build or a tool is
# missing; with GRULO_WEB_REQUIRED=1 (scripts/web.sh --ci) that is a failure.
set -euo pipefail
part=$1
: "${GRULO_BUILD_DIR:?}" "${GRULO_SOURCE_DIR:?}" "${GRULO_WEB_DIR:?}"
site=$GRULO_WEB_DIR/site
here=$(cd "$(dirname "$0")" && pwd)

skip() {
  if [[ ${GRULO_WEB_REQUIRED:-0} == 1 ]]; then  # scripts/web.sh --ci: nothing may be missing
    echo "failed: $*" >&2
    exit 1
  fi
  echo "skipped: $*"
  exit 77
}
[[ -f $site/grulo.mjs ]] || skip "no web build in $GRULO_WEB_DIR (bash scripts/web.sh makes it)"
command -v node >/dev/null 2>&1 || skip "no node"
export GRULO_WEB_SITE=$site
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
today=07122026

# The demo tables, a generated week with faulty and malformed lines, and the
# batch's outputs for it.
batch_outputs() {
  "$GRULO_BUILD_DIR/grulo-tables" build --tree "$GRULO_SOURCE_DIR/data/demo/tree.txt" \
    --acts "$GRULO_SOURCE_DIR/data/demo/acts.txt" --diag "$GRULO_SOURCE_DIR/data/demo/diag.txt" \
    --out "$scratch/tables" >/dev/null
  "$GRULO_BUILD_DIR/grulo-gen" --count 3000 --seed 11 --faulty-share 0.3 \
    --malformed-share 0.05 --diag "$GRULO_SOURCE_DIR/data/demo/diag.txt" \
    --acts "$GRULO_SOURCE_DIR/data/demo/acts.txt" --out "$scratch/week.rss"
  mkdir -p "$scratch/out"
  printf '[G\xe9n\xe9ral]\r\nRepTab=%s/\r\nFicEnt=%s\r\nRepSor=%s\r\n' \
    "$scratch/tables" "$scratch/week.rss" "$scratch/out" >"$scratch/grulo.ini"
  GRULO_TODAY=$today "$GRULO_BUILD_DIR/grulo" --config "$scratch/grulo.ini"
}

case $part in
  module)
    node --test "$here/module_test.mjs"
    ;;
  package)
    command -v npm >/dev/null 2>&1 || skip "no npm"
    tarball=$(ls "$GRULO_WEB_DIR"/grulo-*.tgz 2>/dev/null | head -n 1)
    [[ -n $tarball ]] || skip "no npm package in $GRULO_WEB_DIR (bash scripts/web.sh makes it)"
    batch_outputs
    mkdir "$scratch/project"
    cd "$scratch/project"
    echo '{"name": "uses-grulo", "private": true, "type": "module"}' >package.json
    npm install --offline --no-audit --no-fund --silent "$tarball"
    cat >use.mjs <<'SCRIPT'
import {readFileSync} from 'node:fs';
import {load, version} from 'grulo';
const [tables, input, grp, err, today] = process.argv.slice(2);
const grulo = await load();
const table = (name) => new Uint8Array(readFileSync(`${tables}/${name}`));
const run = grulo.groupFile({tree: table('arbressr.tab'), acts: table('ccamcssr.tab'),
                             diags: table('diag10sr.tab')}, readFileSync(input), {today});
const same = (bytes, path) => Buffer.from(bytes).equals(readFileSync(path));
if (!same(run.grp, grp) || !same(run.err, err) || version !== grulo.version) process.exit(1);
console.log(`grulo ${version} from npm: ${run.counters.NbLus} lines, outputs as the batch's`);
SCRIPT
    node use.mjs "$scratch/tables" "$scratch/week.rss" "$scratch/out/week.grp" \
      "$scratch/out/week.err" "$today"
    # The declarations describe what a TypeScript caller writes.
    command -v tsc >/dev/null 2>&1 || skip "no tsc (node-typescript): the declarations are not checked"
    cat >use.ts <<'SCRIPT'
import {load, version, Explanation, Grulo, Result, RunOutputs, Tables} from 'grulo';
async function main(tree: Uint8Array, acts: Uint8Array | null, input: Uint8Array): Promise<string> {
  const grulo: Grulo = await load();
  const run: RunOutputs = grulo.groupFile({tree, acts, diags: null}, input, {
    today: '07122026', progressEvery: 1000,
    onProgress: (p) => console.log(p.lines, p.bytesRead, p.totalBytes)});
  const open: Tables = grulo.openTables({tree, acts, diags: tree});
  const result: Result = open.group('M04', {today: '07122026'});
  const [number, blocking] = result.errors[0];
  const why: Explanation = open.explain(input, {today: '07122026'});
  const first = why.errors === null ? '' : `${why.errors[0].columns} ${why.errors[0].description}`;
  const page: string = grulo.report({input, grp: run.grp!, err: run.err!, names: {input: 'w'}});
  open.close();
  return `${version} ${run.counters.NbLus} ${result.return_code} ${number} ${blocking} ${page} ` +
         `${why.outcome} ${first}`;
}
main(new Uint8Array(0), null, new Uint8Array(0));
SCRIPT
    tsc --noEmit --strict --target es2020 --module es2020 --moduleResolution node use.ts
    ;;
  page)
    command -v chromium >/dev/null 2>&1 || skip "no chromium"
    command -v chromedriver >/dev/null 2>&1 || skip "no chromedriver (chromium-driver)"
    /usr/bin/python3 -c 'import selenium' 2>/dev/null || skip "no selenium (python3-selenium)"
    batch_outputs
    shots=${GRULO_WEB_SCREENSHOTS:-$scratch}
    /usr/bin/python3 "$here/page_test.py" "$site" "$scratch/tables" "$scratch/week.rss" \
      "$scratch/out/week.grp" "$scratch/out/week.err" "$today" "$shots"
    ;;
  *)
    echo "usage: run_tests.sh module|package|page" >&2
    exit 2
    ;;
esac
