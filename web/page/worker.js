// The page's worker: groups the week with the engine above it (load()), so
// that the page stays responsive, and explains the rejected summaries.
//
// From the page: {type: 'run', tables: {tree, acts, diags} (ArrayBuffers or
// null), input: File, today: 'DDMMYYYY', labels, previous (ArrayBuffers or
// null: the groups' names, an earlier report)} and {type: 'explain', line: N}.
// To the page: 'progress', 'done', 'explanation' and 'failed' messages.

const KEPT_REJECTED = 2000;  // rejected summaries listed in the page
const BLOB_PART = 16 << 20;  // output bytes gathered before they become a Blob

// The engine is loaded as soon as the page starts the worker, while the
// coder chooses the files.
const engineLoading = load();
let engine = null;
let openTables = null;
let today = '';
let input = null;  // the week's file of the last run
const keptLines = new Map();  // line number: the text of a listed rejected summary

// An output gathered into Blobs, so that it leaves the worker's memory as
// it grows: its bytes are copied into a staging array, which becomes a Blob
// each time it is full.
class BlobSink {
  constructor(type) {
    this.type = type;
    this.parts = [];
    this.stage = new Uint8Array(BLOB_PART);
    this.used = 0;
  }
  add(chunk) {
    this.addFrom(chunk, 0, chunk.length);
  }
  addFrom(bytes, at, n) {
    while (n > 0) {
      const k = Math.min(n, this.stage.length - this.used);
      this.stage.set(bytes.subarray(at, at + k), this.used);
      this.used += k;
      at += k;
      n -= k;
      if (this.used === this.stage.length) this.seal();
    }
  }
  seal() {
    if (this.used > 0) this.parts.push(new Blob([this.stage.subarray(0, this.used)]));
    this.used = 0;
  }
  blob() {
    this.seal();
    return new Blob(this.parts, {type: this.type});
  }
}

// A BlobSink as an output of the engine (groupInto): the bytes go from the
// engine's memory to the staging array, without a copy of each block on
// the way (a sixth of the time of a run).
function engineOutput(sink) {
  return {add: (heap, at, n) => sink.addFrom(heap, at, n), take: () => null};
}

// The list of the summaries with an error, as the engine writes it (the
// CSV file of `grulo report --rejected`), kept as a Blob for its download,
// and its first rows read for the page's table. A row:
//   2,"750000001","0001234","112009","A123","16 77","17"
class RejectedRows {
  constructor() {
    this.csv = new BlobSink('text/csv');
    this.decoder = new TextDecoder();
    this.rest = '';
    this.header = true;
    this.kept = [];
    this.count = 0;
  }
  add(chunk) {
    this.csv.add(chunk);
    const text = this.rest + this.decoder.decode(chunk, {stream: true});
    const rows = text.split('\r\n');
    this.rest = rows.pop();
    for (const row of rows) {
      if (this.header) {
        this.header = false;
        continue;
      }
      ++this.count;
      if (this.kept.length < KEPT_REJECTED) this.kept.push(rejectedRow(row));
    }
  }
}

// The fields of one row: the line number, then quoted texts ("" for a
// quote; a ' before a text that a spreadsheet would take for a formula).
function rejectedRow(row) {
  const fields = [];
  const quoted = /"((?:[^"]|"")*)"/g;
  for (let m = quoted.exec(row); m !== null; m = quoted.exec(row)) {
    const text = m[1].replace(/""/g, '"');
    fields.push(/^'[=+\-@\t\r]/.test(text) ? text.slice(1) : text);
  }
  const list = (text) => (text === '' ? [] : text.split(' ').map(Number));
  return {line: Number(row.slice(0, row.indexOf(','))), establishment: fields[0],
          stay: fields[1], week: fields[2], unit: fields[3], blocking: list(fields[4]),
          nonBlocking: list(fields[5])};
}

// The texts of the wanted lines of a File, read as the batch reads lines
// (a CR before the LF dropped).
function readLines(file, wanted) {
  const sync = new FileReaderSync();
  const found = new Map();
  let number = 0;
  let rest = new Uint8Array(0);
  for (let at = 0; at < file.size && found.size < wanted.size;) {
    const block = new Uint8Array(sync.readAsArrayBuffer(file.slice(at, at + (4 << 20))));
    at += block.length;
    const bytes = new Uint8Array(rest.length + block.length);
    bytes.set(rest);
    bytes.set(block, rest.length);
    let start = 0;
    for (let i = 0; i < bytes.length; ++i) {
      if (bytes[i] !== 10) continue;
      ++number;
      if (wanted.has(number)) {
        const end = i > start && bytes[i - 1] === 13 ? i - 1 : i;
        found.set(number, bytes.slice(start, end));
      }
      start = i + 1;
    }
    rest = bytes.slice(start);
  }
  if (rest.length > 0 && wanted.has(number + 1)) found.set(number + 1, rest);
  return found;
}

async function run({tables, input: file, today: date, labels, previous, previousName}) {
  if (engine === null) engine = await engineLoading;
  today = date;
  input = file;
  const bytes = (b) => (b ? new Uint8Array(b) : null);
  const given = {tree: bytes(tables.tree), acts: bytes(tables.acts), diags: bytes(tables.diags)};
  const grp = new BlobSink('application/octet-stream');
  const err = new BlobSink('application/octet-stream');
  const rejected = new RejectedRows();
  const started = Date.now();
  const names = {input: input.name, grp: stem(input.name) + '.grp', err: stem(input.name) + '.err',
                 previous: previousName};
  const {counters, report} = engine.groupInto(given, input, {
    today,
    report: {names, labels: bytes(labels), previous: bytes(previous)},
    onRejected: (chunk) => rejected.add(chunk),
    onProgress: (p) => postMessage({type: 'progress', ...p}),
  }, [engineOutput(grp), engineOutput(err)]);
  const seconds = (Date.now() - started) / 1000;

  // The tables for the explanations; none when they cannot all be opened
  // (the outputs say why).
  if (openTables) openTables.close();
  openTables = null;
  try {
    openTables = engine.openTables(given);
  } catch (e) {
    // the .err file names the table problem
  }
  keptLines.clear();
  const wanted = new Set(rejected.kept.map((r) => r.line));
  for (const [number, text] of readLines(input, wanted)) keptLines.set(number, text);

  postMessage({
    type: 'done', counters, seconds, grp: grp.blob(), err: err.blob(), report,
    rejected: rejected.kept, rejectedCount: rejected.count, rejectedCsv: rejected.csv.blob(),
    explainable: openTables !== null,
  });
}

function stem(name) {
  const dot = name.lastIndexOf('.');
  return dot > 0 ? name.slice(0, dot) : name;
}

// Explains line `line` of the input: a listed one from memory, any other
// read from the file.
function explain({line}) {
  let text = keptLines.get(line);
  if (text === undefined && input !== null) text = readLines(input, new Set([line])).get(line);
  if (openTables === null || text === undefined) {
    postMessage({type: 'explanation', line, explanation: null, missing: text === undefined});
    return;
  }
  const explanation = openTables.explain(text, {today});
  explanation.line_number = line;
  postMessage({type: 'explanation', line, explanation});
}

onmessage = (event) => {
  const message = event.data;
  const handle = message.type === 'run' ? run(message) : Promise.resolve(explain(message));
  handle.catch((e) => postMessage({type: 'failed', message: String(e && e.message || e)}));
};
