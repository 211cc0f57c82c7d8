// grulo.mjs under Node against the native programs: groupFile against the
// batch on every kind of line and on broken table sets, group and explain
// against `grulo explain --json`, and the errors a caller gets.
//
// Environment: GRULO_BUILD_DIR (the native build: grulo, grulo-tables,
// grulo-gen), GRULO_SOURCE_DIR, GRULO_WEB_SITE (the directory of grulo.mjs).

import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {after, before, test} from 'node:test';

const build = process.env.GRULO_BUILD_DIR;
const source = process.env.GRULO_SOURCE_DIR;
const {load, version} = await import(join(process.env.GRULO_WEB_SITE, 'grulo.mjs'));

const TODAY = '07122026';
const FILES = {tree: 'arbressr.tab', acts: 'ccamcssr.tab', diags: 'diag10sr.tab'};
let scratch;
let grulo;
let good;   // the demo tables' bytes by role
let input;  // every kind of line

// The table sets of the batch's threads test: each edits the good tables'
// bytes (null: the file is missing).
const TABLE_SETS = {
  'good': {},
  'no-tree': {tree: () => null},
  'no-acts': {acts: () => null},
  'acts-version': {acts: (b) => { b[9] = 'Z'.charCodeAt(0); return b; }},
  'diags-refused': {diags: (b) => { b[32 + 32 + 20] = 0; return b; }},
  'diags-cut': {diags: (b) => b.slice(0, Math.floor(b.length / 3))},
  'tree-scrambled': {tree: (b) => {
    for (let i = 64; i < b.length; i += 7) b[i] = (i * 31) & 0xff;
    return b;
  }},
};

function tableSet(name) {
  const set = {};
  for (const role of Object.keys(FILES)) {
    const edit = TABLE_SETS[name][role];
    set[role] = edit ? edit(good[role].slice()) : good[role].slice();
  }
  return set;
}

// The batch's outputs for `input` with the tables: {grp, err, counters}.
function batch(name, tables, bytes) {
  const dir = join(scratch, `batch-${name}`);
  mkdirSync(join(dir, 'tables'), {recursive: true});
  mkdirSync(join(dir, 'out'));
  for (const role of Object.keys(FILES)) {
    if (tables[role] !== null) writeFileSync(join(dir, 'tables', FILES[role]), tables[role]);
  }
  writeFileSync(join(dir, 'week.rss'), bytes);
  const config = join(dir, 'grulo.ini');
  writeFileSync(config, Buffer.from(`[G\xe9n\xe9ral]\r\nRepTab=${dir}/tables/\r\n` +
                                    `FicEnt=${dir}/week.rss\r\nRepSor=${dir}/out\r\n`, 'latin1'));
  execFileSync(join(build, 'grulo'), ['--config', config, '--threads', '1'],
               {env: {...process.env, GRULO_TODAY: TODAY}, stdio: 'ignore'});
  const counters = {};
  for (const [, key, value] of readFileSync(config, 'latin1').matchAll(/^(Nb\w+)=(\d+)/gm)) {
    counters[key] = Number(value);
  }
  return {grp: readFileSync(join(dir, 'out/week.grp')), err: readFileSync(join(dir, 'out/week.err')),
          counters};
}

before(async () => {
  scratch = mkdtempSync(join(tmpdir(), 'grulo-web-'));
  execFileSync(join(build, 'grulo-tables'), [
    'build', '--tree', join(source, 'data/demo/tree.txt'), '--acts',
    join(source, 'data/demo/acts.txt'), '--diag', join(source, 'data/demo/diag.txt'),
    '--out', join(scratch, 'tables')], {stdio: 'ignore'});
  good = {};
  for (const role of Object.keys(FILES)) {
    good[role] = new Uint8Array(readFileSync(join(scratch, 'tables', FILES[role])));
  }
  const generated = execFileSync(join(build, 'grulo-gen'), [
    '--count', '2500', '--seed', '3', '--faulty-share', '0.4', '--malformed-share', '0.08',
    '--diag', join(source, 'data/demo/diag.txt'), '--acts', join(source, 'data/demo/acts.txt')]);
  // Then over-long lines, a NUL byte, CR LF, an empty line and a last line
  // without its line feed.
  const goodLine = generated.subarray(0, generated.indexOf(10));
  input = Buffer.concat([
    generated, Buffer.from('7'.repeat(5000) + '\n'), goodLine, Buffer.from('8'.repeat(100000) + '\n'),
    goodLine.subarray(0, 100), Buffer.from([0]), goodLine.subarray(101), Buffer.from('\n'),
    goodLine, Buffer.from('\r\n\n'), goodLine]);
  grulo = await load();
});

after(() => rmSync(scratch, {recursive: true, force: true}));

test('groupFile writes the batch outputs on every kind of line and every table set', () => {
  for (const name of Object.keys(TABLE_SETS)) {
    const tables = tableSet(name);
    const expected = batch(name, tables, input);
    const got = grulo.groupFile(tables, new Uint8Array(input), {today: TODAY});
    assert.deepEqual(got.counters, expected.counters, name);
    assert.ok(Buffer.from(got.grp).equals(expected.grp), `${name}: .grp differs`);
    assert.ok(Buffer.from(got.err).equals(expected.err), `${name}: .err differs`);
  }
});

test('groupFile streams an input read in slices, with its progress', () => {
  const expected = batch('slices', good, input);
  let at = 0;
  const reader = (into) => {  // odd slices, so that lines straddle them
    const n = Math.min(into.length, 1237, input.length - at);
    into.set(input.subarray(at, at + n));
    at += n;
    return n;
  };
  const seen = [];
  const grp = [];
  const got = grulo.groupFile(good, reader, {today: TODAY, progressEvery: 1000,
                                             onProgress: (p) => seen.push(p),
                                             onGrp: (chunk) => grp.push(Buffer.from(chunk))});
  assert.equal(got.grp, null);
  assert.ok(Buffer.concat(grp).equals(expected.grp));
  assert.ok(Buffer.from(got.err).equals(expected.err));
  assert.deepEqual(seen.at(-1), {lines: expected.counters.NbLus, bytesRead: input.length,
                                 totalBytes: null});
  assert.ok(seen.length > 1, 'progress is told during the run');
});

test('group and explain say what grulo explain --json says', () => {
  const tables = grulo.openTables(good);
  assert.equal(tables.version, 'D1');
  const lines = input.toString('latin1').split('\n').slice(0, 2500)
      .filter((line, i) => i % 25 === 0 || line.length < 343);
  for (const text of lines.map((l) => l.replace(/\r$/, '')).filter((l) => !l.includes('\0'))) {
    const expected = JSON.parse(execFileSync(join(build, 'grulo'), [
      'explain', '--json', '--tables', join(scratch, 'tables'), '--today', TODAY, '-'],
      {input: Buffer.from(`${text}\n`, 'latin1')}));
    const explained = tables.explain(Buffer.from(text, 'latin1'), {today: TODAY});
    expected.source = 'the command line';
    expected.tables.directory = '';
    assert.deepEqual(explained, expected, text);

    const result = tables.group(text, {today: TODAY});
    const formats = {'well-formed': 'WELL_FORMED', 'unreadable': 'UNREADABLE',
                     'unknown-format': 'UNKNOWN_FORMAT', 'size-problem': 'SIZE_PROBLEM'};
    assert.equal(result.format, formats[expected.format.status], text);
    if (result.format !== 'WELL_FORMED') continue;
    assert.deepEqual([result.category, result.number, result.return_code],
                     [expected.result.category, expected.result.number, expected.result.return]);
    assert.deepEqual(result.errors, expected.errors.map((e) => [e.number, e.blocking]));
    assert.equal(result.blocked, expected.outcome === 'blocked');
    assert.equal(result.version, 'D1');
  }
  tables.close();
});

test('tables that cannot be used are Errors naming each table and its problem', () => {
  const cases = [
    ['no-tree', /tree table arbressr\.tab: not given/],
    ['no-acts', /act table ccamcssr\.tab: not given/],
    ['acts-version', /act table ccamcssr\.tab: .*version/],
    ['diags-refused', /diagnosis table diag10sr\.tab: .*record size/],
  ];
  for (const [name, message] of cases) {
    assert.throws(() => grulo.openTables(tableSet(name)),
                  (e) => e instanceof Error && message.test(e.message), name);
  }
});

test('bad arguments are refused with the reason', () => {
  const cases = [
    [() => grulo.groupFile(good, input, {today: '31022026'}), RangeError, /DDMMYYYY/],
    [() => grulo.groupFile(good, 'M04', {today: TODAY}), TypeError, /input/],
    [() => grulo.groupFile(good, input, {report: {labels: '1,x,y'}}), Error, /the labels:1: /],
    [() => grulo.groupFile(null, input), TypeError, /tables/],
    [() => grulo.groupFile({tree: 'x'}, input), TypeError, /tree table/],
    [() => grulo.openTables(good).group('M04\u4e00'), RangeError, /Windows-1252/],
    [() => grulo.openTables(good).group(42), TypeError, /line/],
    [() => grulo.groupFile(good, input, {progressEvery: 1, onProgress: () => {
      grulo.groupFile(good, input);
    }}), Error, /in progress/],
  ];
  for (const [call, type, message] of cases) {
    assert.throws(call, (e) => e instanceof type && message.test(e.message), String(call));
  }
});

// The marks of a report page that tools read: the counters, the group bars
// and the error rows.
function pageMarks(page) {
  return [...page.matchAll(/data-(?:counter|group|count|error)="[^"]*"(?:[^>]*>[0-9,\u202f ]+<)?/g)]
      .map((m) => m[0]);
}

test('the report and the rejected list are those grulo report makes of the run', () => {
  const expected = batch('report', good, input);
  const dir = join(scratch, 'batch-report');
  const labels = '1,20,Demo group\n';
  writeFileSync(join(dir, 'labels.csv'), labels);
  execFileSync(join(build, 'grulo'), [
    'report', '--config', join(dir, 'grulo.ini'), '--today', TODAY, '--labels',
    join(dir, 'labels.csv'), '--rejected', join(dir, 'rejected.csv'), '--output',
    join(dir, 'page.html')], {stdio: 'ignore'});
  const native = readFileSync(join(dir, 'page.html'), 'utf8');
  const run = grulo.groupFile(good, input, {today: TODAY, rejected: true, report: {labels}});
  assert.ok(Buffer.from(run.grp).equals(expected.grp));
  assert.ok(Buffer.from(run.rejected).equals(readFileSync(join(dir, 'rejected.csv'))));
  assert.ok(pageMarks(native).length > 20);
  assert.deepEqual(pageMarks(run.report), pageMarks(native));
  assert.ok(run.report.includes('Demo group'));
  // Set beside an earlier page: that page's name and its counters.
  const beside = grulo.groupFile(good, input, {today: TODAY, report: {
    previous: native, names: {previous: 'week11.html'}}}).report;
  assert.match(beside, /week11\.html/);
  assert.match(beside, new RegExp(`data-previous="NbLus" data-before="${run.counters.NbLus}"`));

  // Regrouped from the tables, or read from the outputs alone: the same
  // marks; outputs that the tables do not give are refused.
  assert.deepEqual(pageMarks(grulo.report({tables: good, input, today: TODAY, labels,
                                           grp: run.grp, err: run.err})), pageMarks(native));
  const other = Buffer.from(run.err);
  other[other.indexOf(10) + 1] ^= 1;
  assert.throws(() => grulo.report({tables: good, input, today: TODAY, grp: run.grp, err: other}),
                /the \.err file 'input\.err' .* from its line 2 on/);
  const readBack = grulo.report({input, grp: run.grp, err: run.err});
  for (const counter of Object.keys(run.counters)) {
    const mark = new RegExp(`data-counter="${counter}"[^>]*>[^<]*<`);
    assert.equal(mark.exec(readBack)[0], mark.exec(native)[0], counter);
  }
  assert.equal(grulo.version, version);
});
