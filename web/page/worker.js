// The page's worker: groups the week with the engine above it (load()), so
// that the page stays responsive, and explains the rejected summaries.
//
// From the page: {type: 'run', tables: {tree, acts, diags} (ArrayBuffers or
// null), input: File, today: 'DDMMYYYY'} and {type: 'explain', line: N}.
// To the page: 'progress', 'done', 'explanation' and 'failed' messages.

const KEPT_REJECTED = 2000;  // rejected summaries listed in the page
const BLOB_PART = 16 << 20;  // output bytes gathered before they become a Blob
const REPORT_LIMIT = 256 << 20;  // outputs up to this size get a report

// The engine is loaded as soon as the page starts the worker, while the
// coder chooses the files.
const engineLoading = load();
let engine = null;
let openTables = null;
let today = '';
let input = null;  // the week's file of the last run
const keptLines = new Map();  // line number: the text of a listed rejected summary

// Output chunks gathered into Blobs, so that the outputs leave the worker's
// memory as they grow.
class BlobSink {
  constructor(type) {
    this.type = type;
    this.parts = [];
    this.pending = [];
    this.pendingSize = 0;
    this.size = 0;
  }
  add(chunk) {
    this.pending.push(chunk);
    this.pendingSize += chunk.length;
    this.size += chunk.length;
    if (this.pendingSize >= BLOB_PART) this.seal();
  }
  seal() {
    if (this.pending.length > 0) this.parts.push(new Blob(this.pending));
    this.pending = [];
    this.pendingSize = 0;
  }
  blob() {
    this.seal();
    return new Blob(this.parts, {type: this.type});
  }
}

// Reads the .err text as it is written: every summary with a blocking error,
// for the rejected list and its CSV file. An entry is a header line
// ("=...=Enregistrement n° N"), the identification line ("N° de SSR /
// N° de semaine / N° UM : stay / week / unit"), then either a format
// problem or the blocking and the non-blocking lists.
class RejectedList {
  constructor() {
    this.decoder = new TextDecoder('windows-1252');
    this.rest = '';
    this.entry = null;
    this.kept = [];
    this.count = 0;
    this.csv = new BlobSink('text/csv');
    this.rows = 'line,stay,week,unit,blocking,non_blocking\r\n';
  }
  add(chunk) {
    const text = this.rest + this.decoder.decode(chunk, {stream: true});
    const lines = text.split('\r\n');
    this.rest = lines.pop();
    for (const line of lines) this.line(line);
    this.csv.add(new TextEncoder().encode(this.rows));
    this.rows = '';
  }
  line(line) {
    const first = line.charCodeAt(0);
    if (first === 61 /* = */) {
      this.entry = {line: Number(line.slice(line.lastIndexOf(' ') + 1)), stay: '', week: '',
                    unit: '', blocking: null};
    } else if (this.entry === null) {
      return;
    } else if (first === 78 /* N */) {
      const fields = line.slice(line.indexOf(' : ') + 3).split(' / ');
      [this.entry.stay, this.entry.week, this.entry.unit] = fields.map((f) => f.trim());
    } else if (line.startsWith(BLOCKING_LEAD)) {
      this.entry.blocking = numbers(line.slice(BLOCKING_LEAD.length));
    } else if (line.startsWith(NON_BLOCKING_LEAD) && this.entry.blocking !== null) {
      this.entry.nonBlocking = numbers(line.slice(NON_BLOCKING_LEAD.length));
      if (this.entry.blocking.length > 0) this.keep(this.entry);
      this.entry = null;
    }
  }
  keep(entry) {
    ++this.count;
    if (this.kept.length < KEPT_REJECTED) this.kept.push(entry);
    const quoted = (s) => /[",\r\n]/.test(s) ? `"${s.replace(/"/g, '""')}"` : s;
    this.rows += `${entry.line},${quoted(entry.stay)},${quoted(entry.week)},${quoted(entry.unit)},` +
                 `${entry.blocking.join(' ')},${entry.nonBlocking.join(' ')}\r\n`;
  }
}

const BLOCKING_LEAD = '\t->  Liste des erreurs bloquantes: ';
const NON_BLOCKING_LEAD = '\t->  Liste des erreurs non bloquantes: ';

function numbers(list) {
  return list.split(',').filter((n) => n !== '').map(Number);
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

async function run({tables, input: file, today: date}) {
  if (engine === null) engine = await engineLoading;
  today = date;
  input = file;
  const bytes = (b) => (b ? new Uint8Array(b) : null);
  const given = {tree: bytes(tables.tree), acts: bytes(tables.acts), diags: bytes(tables.diags)};
  const grp = new BlobSink('application/octet-stream');
  const err = new BlobSink('application/octet-stream');
  const rejected = new RejectedList();
  const started = Date.now();
  const {counters} = engine.groupFile(given, input, {
    today,
    onGrp: (chunk) => grp.add(chunk),
    onErr: (chunk) => {
      err.add(chunk);
      rejected.add(chunk);
    },
    onProgress: (p) => postMessage({type: 'progress', ...p}),
  });
  const seconds = (Date.now() - started) / 1000;
  rejected.add(new Uint8Array(0));
  const grpBlob = grp.blob();
  const errBlob = err.blob();

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

  let report = null;
  if (grpBlob.size + errBlob.size <= REPORT_LIMIT) {
    const sync = new FileReaderSync();
    report = engine.report({
      input,
      grp: new Uint8Array(sync.readAsArrayBuffer(grpBlob)),
      err: new Uint8Array(sync.readAsArrayBuffer(errBlob)),
      names: {input: input.name, grp: stem(input.name) + '.grp', err: stem(input.name) + '.err'},
    });
  }
  postMessage({
    type: 'done', counters, seconds, grp: grpBlob, err: errBlob, report,
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
