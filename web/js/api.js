// The interface of grulo.mjs over the WebAssembly engine. The assembly
// (web/tools/assemble.mjs) puts this file behind the engine's factory
// (GruloCore), the engine's bytes (WASM_BASE64) and the version (VERSION),
// in the ES module and in the page's worker alike.
//
// Everything runs in the calling thread, synchronously, on bytes the caller
// gives; nothing is fetched or sent anywhere.

const TABLE_FILES = {tree: 'arbressr.tab', acts: 'ccamcssr.tab', diags: 'diag10sr.tab'};
const TABLE_NAMES = {tree: 'tree table', acts: 'act table', diags: 'diagnosis table'};
const INPUT_BLOCK = 32 << 20;  // bytes read at once from a Blob
const PROGRESS_EVERY = 16384;  // lines between two progress calls, by default

let wasmBytes = null;

function decodeBase64(text) {
  if (typeof Buffer === 'function') return new Uint8Array(Buffer.from(text, 'base64'));
  const binary = atob(text);
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

// Loads the engine: a new instance, with memory of its own, each call.
async function load() {
  if (wasmBytes === null) wasmBytes = decodeBase64(WASM_BASE64);
  const core = await GruloCore({
    wasmBinary: wasmBytes,
    print: () => {},
    printErr: () => {},
  });
  return new Grulo(core);
}

// The Windows-1252 bytes of the characters 0x80 to 0x9F that Windows gives
// other characters (the euro sign...); every other character up to U+00FF is
// its own byte.
const CP1252_HIGH = '\u20ac\u0081\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039' +
    '\u0152\u008d\u017d\u008f\u0090\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122' +
    '\u0161\u203a\u0153\u009d\u017e\u0178';

function encodeCp1252(text) {
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) {
    const c = text.charCodeAt(i);
    if (c < 0x80 || (c >= 0xa0 && c <= 0xff)) {
      bytes[i] = c;
      continue;
    }
    const high = CP1252_HIGH.indexOf(text[i]);
    if (high < 0 || (c >= 0x80 && c <= 0x9f)) {
      throw new RangeError(`grulo: the character '${text[i]}' (U+${c.toString(16).toUpperCase()
          .padStart(4, '0')}) at position ${i + 1} has no Windows-1252 byte`);
    }
    bytes[i] = 0x80 + high;
  }
  return bytes;
}

// The bytes of a line: a Uint8Array as it is, a string in Windows-1252.
function lineBytes(line) {
  if (line instanceof Uint8Array) return line;
  if (typeof line === 'string') return encodeCp1252(line);
  throw new TypeError('grulo: a line is a string or a Uint8Array');
}

function isLeapYear(year) {
  return (year % 4 === 0 && year % 100 !== 0) || year % 400 === 0;
}

// Today's date of the checks: 'DDMMYYYY', or '' for the computer's local
// date (read for every summary, as the batch does).
function todayText(options) {
  const today = options && options.today;
  if (today === undefined || today === null || today === '') return '';
  if (typeof today !== 'string' || !/^[0-9]{8}$/.test(today)) {
    throw new RangeError(`grulo: today must be a date DDMMYYYY, not '${today}'`);
  }
  const day = Number(today.slice(0, 2));
  const month = Number(today.slice(2, 4));
  const year = Number(today.slice(4));
  const days = [31, isLeapYear(year) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31];
  if (year < 1860 || month < 1 || month > 12 || day < 1 || day > days[month - 1]) {
    throw new RangeError(`grulo: today must be a date DDMMYYYY, not '${today}'`);
  }
  return today;
}

// A function that fills a Uint8Array with the next bytes of the input and
// returns their count (0 at its end), from whatever the caller gave.
function inputReader(input) {
  if (input instanceof ArrayBuffer) input = new Uint8Array(input);
  if (input instanceof Uint8Array) {
    // A plain view: a Node Buffer's own subarray costs far more.
    input = new Uint8Array(input.buffer, input.byteOffset, input.length);
    let at = 0;
    const reader = (into) => {
      const n = Math.min(into.length, input.length - at);
      into.set(input.subarray(at, at + n));
      at += n;
      return n;
    };
    reader.total = input.length;
    return reader;
  }
  if (typeof input === 'function') return input;
  if (typeof Blob === 'function' && input instanceof Blob && typeof FileReaderSync === 'function') {
    const sync = new FileReaderSync();
    let at = 0;
    let block = new Uint8Array(0);
    let used = 0;
    const reader = (into) => {
      if (used === block.length) {
        if (at >= input.size) return 0;
        block = new Uint8Array(sync.readAsArrayBuffer(input.slice(at, at + INPUT_BLOCK)));
        at += block.length;
        used = 0;
      }
      const n = Math.min(into.length, block.length - used);
      into.set(block.subarray(used, used + n));
      used += n;
      return n;
    };
    reader.total = input.size;
    return reader;
  }
  throw new TypeError('grulo: the input is a Uint8Array, an ArrayBuffer, a Blob or File ' +
                      '(in a worker) or a function that fills a Uint8Array');
}

// Collects one output: into one array of `capacity` bytes when it is known
// to suffice (then no byte is copied twice), else in chunks joined at the
// end; or hands the bytes to the caller's sink.
class Collector {
  constructor(sink, capacity) {
    this.sink = typeof sink === 'function' ? sink : null;
    this.whole = this.sink === null && capacity > 0 ? new Uint8Array(capacity) : null;
    this.used = 0;
    this.chunks = [];
    this.size = 0;
  }
  add(heap, at, n) {
    if (this.sink) {
      this.sink(heap.slice(at, at + n));
      return;
    }
    if (this.whole !== null && this.used + n <= this.whole.length) {
      this.whole.set(heap.subarray(at, at + n), this.used);
      this.used += n;
      return;
    }
    if (this.whole !== null) {  // more than foreseen: on in chunks
      this.chunks.push(this.whole.subarray(0, this.used));
      this.size = this.used;
      this.whole = null;
    }
    this.chunks.push(heap.slice(at, at + n));
    this.size += n;
  }
  // The whole output, each chunk let go once copied; null with a sink.
  take() {
    if (this.sink) return null;
    if (this.whole !== null) return this.whole.subarray(0, this.used);
    if (this.chunks.length === 1) return this.chunks[0];
    const whole = new Uint8Array(this.size);
    let at = 0;
    for (let i = 0; i < this.chunks.length; ++i) {
      whole.set(this.chunks[i], at);
      at += this.chunks[i].length;
      this.chunks[i] = null;
    }
    this.chunks = [];
    return whole;
  }
}

// The most bytes the .grp file can have for an input of `size` bytes: each
// of its lines is a summary of at least 343 characters and its line end,
// written with its line end (2) behind a prefix of at most 23 characters
// (the version and three numbers of up to 6 characters each, "M1" and '4').
function grpBound(size) {
  return size + Math.ceil(size / 344) * 24 + 64;
}

// The bytes of the tables tree, acts and diags, in that order; null for a
// table not given.
function tableBytes(tables) {
  if (tables === null || typeof tables !== 'object') {
    throw new TypeError('grulo: the tables are an object {tree, acts, diags}');
  }
  return Object.keys(TABLE_FILES).map((role) => {
    const bytes = tables[role];
    if (bytes === null || bytes === undefined) return null;
    if (bytes instanceof ArrayBuffer) return new Uint8Array(bytes);
    if (!(bytes instanceof Uint8Array)) {
      throw new TypeError(`grulo: the ${TABLE_NAMES[role]} (${role}) is a Uint8Array or null`);
    }
    return bytes;
  });
}

// What group() returns: the fields of the Python module's Result.
class Result {
  constructor(fields) {
    Object.assign(this, fields);
    this.line_number = 0;
  }
  get returnCode() { return this.return_code; }
  get lineNumber() { return this.line_number; }
}

// The tables' problems for a person, one a line, each naming the table:
// "tree table arbressr.tab: not given".
function tablesError(message, directory, given) {
  const lines = message.split('\n').filter((line) => line !== '').map((line) => {
    line = line.split(directory).join('');
    for (const role of Object.keys(TABLE_FILES)) {
      const file = TABLE_FILES[role];
      if (!line.startsWith(file)) continue;
      if (!given[role]) return `${TABLE_NAMES[role]} ${file}: not given`;
      return `${TABLE_NAMES[role]} ${line}`;
    }
    return line;
  });
  const error = new Error(`grulo: the tables cannot be used: ${lines.join('; ')}`);
  error.problems = lines;
  return error;
}

class Grulo {
  constructor(core) {
    this.core = core;
    this.version = VERSION;
    this.nextDirectory = 0;
    core.FS.mkdir('/grulo');
  }

  // Writes the given tables into a new directory of the engine's memory
  // file system (a table not given stays missing); returns the directory.
  mountTables(tables) {
    const given = tableBytes(tables);
    const directory = `/grulo/${++this.nextDirectory}/`;
    this.core.FS.mkdir(directory);
    Object.values(TABLE_FILES).forEach((file, i) => {
      if (given[i] !== null) this.core.FS.writeFile(directory + file, given[i]);
    });
    return directory;
  }

  unmountTables(directory) {
    for (const file of Object.values(TABLE_FILES)) {
      try {
        this.core.FS.unlink(directory + file);
      } catch (e) {
        // a table that was not given
      }
    }
    this.core.FS.rmdir(directory);
  }

  // Copies a text into the engine's memory; the caller frees it.
  text(value) {
    const size = this.core.lengthBytesUTF8(value) + 1;
    const at = this.core._malloc(size);
    this.core.stringToUTF8(value, at, size);
    return at;
  }

  bytes(value) {
    const at = this.core._malloc(Math.max(value.length, 1));
    this.core.HEAPU8.set(value, at);
    return at;
  }

  // Runs `body` with Module.gruloIo reading `reader` and writing to the
  // collectors; returns the text the engine hands back.
  withIo(reader, outputs, onProgress, body) {
    const core = this.core;
    if (core.gruloIo) {
      throw new Error('grulo: a run of this instance is in progress (a callback cannot start ' +
                      'another; load() makes another instance)');
    }
    const total = typeof reader.total === 'number' ? reader.total : null;
    core.gruloIo = {
      read: (at, n) => reader(core.HEAPU8.subarray(at, at + n)),
      write: (which, at, n) => outputs[which].add(core.HEAPU8, at, n),
      progress: (lines, bytesRead) => {
        if (onProgress) onProgress({lines, bytesRead, totalBytes: total});
      },
    };
    // A callback that throws unwinds the engine's frames without their
    // epilogues: the engine's stack is put back as it was.
    const stack = core.stackSave();
    try {
      const handed = body();
      const text = core.UTF8ToString(handed);
      core._free(handed);
      return text;
    } finally {
      core.stackRestore(stack);
      core.gruloIo = null;
    }
  }

  // Groups a whole input as the batch does: {grp, err, counters}, and with
  // options.report the report page (report) and with options.rejected the
  // list of the summaries with an error (rejected, CSV bytes), both made
  // from the lines' outcomes as the run goes.
  groupFile(tables, input, options = {}) {
    return this.groupInto(tables, input, options, null);
  }

  // groupFile, the .grp and .err bytes going to `outputs` ([grp, err], each
  // with add(heap, at, n) and take()) when given.
  groupInto(tables, input, options, outputsGiven) {
    if (typeof Blob === 'function' && input instanceof Blob && typeof FileReaderSync !== 'function') {
      // No synchronous reading of a Blob here (a page's main thread).
      return input.arrayBuffer().then((buffer) =>
        this.groupInto(tables, new Uint8Array(buffer), options, outputsGiven));
    }
    const today = todayText(options);
    const reader = inputReader(input);
    const given = tableBytes(tables);
    const report = reportOptions(options.report);
    const wantsRejected = options.rejected === true || typeof options.onRejected === 'function';
    const capacity = typeof reader.total === 'number' ? grpBound(reader.total) : 0;
    const outputs = [...(outputsGiven ||
                         [new Collector(options.onGrp, capacity), new Collector(options.onErr, 0)]),
                     new Collector(options.onRejected, 0), new Collector(null, 0)];
    const onProgress = typeof options.onProgress === 'function' ? options.onProgress : null;
    const every = options.progressEvery === undefined ? PROGRESS_EVERY : options.progressEvery;
    if (!Number.isInteger(every) || every < 1) {
      throw new RangeError(`grulo: progressEvery is a number of lines from 1, not '${every}'`);
    }
    const core = this.core;
    const at = given.map((bytes) => (bytes === null ? 0 : this.bytes(bytes)));
    const texts = [today, report.names.input, report.names.grp, report.names.err, localNow(),
                   report.names.previous].map((t) => this.text(t));
    const extras = [report.labels, report.previous].map((b) => (b === null ? 0 : this.bytes(b)));
    let answer;
    try {
      answer = this.withIo(reader, outputs, onProgress, () => core._grulo_run(
          at[0], given[0] === null ? -1 : given[0].length,
          at[1], given[1] === null ? -1 : given[1].length,
          at[2], given[2] === null ? -1 : given[2].length, texts[0], every,
          report.wanted ? 1 : 0, wantsRejected ? 1 : 0, texts[1], texts[2], texts[3], texts[4],
          extras[0], report.labels === null ? 0 : report.labels.length,
          extras[1], report.previous === null ? 0 : report.previous.length, texts[5]));
    } finally {
      at.forEach((a) => a !== 0 && core._free(a));
      extras.forEach((a) => a !== 0 && core._free(a));
      texts.forEach((t) => core._free(t));
    }
    if (answer === '') throw new Error('grulo: the input cannot be read');
    const counters = JSON.parse(answer);
    if (counters.error !== undefined) throw new Error(`grulo: ${counters.error}`);
    const result = {grp: outputs[0].take(), err: outputs[1].take(), counters};
    if (report.wanted) result.report = new TextDecoder().decode(outputs[3].take());
    if (options.rejected === true) result.rejected = outputs[2].take();
    return result;
  }

  // Opens the three tables once, for group() and explain() of single lines.
  openTables(tables) {
    const given = {};
    for (const role of Object.keys(TABLE_FILES)) {
      given[role] = tables !== null && typeof tables === 'object' &&
                    tables[role] !== null && tables[role] !== undefined;
    }
    const directory = this.mountTables(tables);
    const directoryAt = this.text(directory);
    const handle = this.core._grulo_tables_open(directoryAt);
    this.core._free(directoryAt);
    this.unmountTables(directory);
    const problem = this.core.UTF8ToString(this.core._grulo_tables_error(handle));
    if (problem !== '') {
      this.core._grulo_tables_free(handle);
      throw tablesError(problem, directory, given);
    }
    return new Tables(this, handle);
  }

  // The HTML page of a run, as `grulo report` writes it. With the run's
  // tables (and today's date), the input is grouped again and the page made
  // from the outcomes; the run's grp and err, when given, must be the bytes
  // of that grouping (else an Error says where they part). Without tables,
  // the page is made from the input and the grp and err texts alone, and
  // lists at its top what does not match. `names` gives the file names
  // shown in the page.
  report({tables, input, grp, err, names = {}, today, labels, previous} = {}) {
    if (tables !== undefined && tables !== null) {
      for (const [what, bytes] of [['grp', grp], ['err', err]]) {
        if (bytes !== undefined && bytes !== null && !(bytes instanceof Uint8Array)) {
          throw new TypeError(`grulo: report's ${what} is a Uint8Array when given`);
        }
      }
      const shown = fileNames(names);
      const grpOutput = grp ? new Comparison(grp, '.grp file', shown.grp) : DISCARDED;
      const errOutput = err ? new Comparison(err, '.err file', shown.err) : DISCARDED;
      const run = this.groupInto(tables, input, {today, report: {names, labels, previous}},
                                 [grpOutput, errOutput]);
      for (const output of [grpOutput, errOutput]) {
        const problem = output.problem ? output.problem() : null;
        if (problem !== null) throw new Error(`grulo: ${problem}`);
      }
      return run.report;
    }
    if (!(grp instanceof Uint8Array) || !(err instanceof Uint8Array)) {
      throw new TypeError('grulo: report needs the run\'s tables, or its grp and err as Uint8Arrays');
    }
    const reader = inputReader(input);
    const core = this.core;
    const grpAt = this.bytes(grp);
    const errAt = this.bytes(err);
    const shown = fileNames(names);
    const texts = [shown.input, shown.grp, shown.err, localNow()].map((t) => this.text(t));
    try {
      const page = this.withIo(reader, [], null, () => core._grulo_report(
          grpAt, grp.length, errAt, err.length, texts[0], texts[1], texts[2], texts[3]));
      if (page === '') throw new Error('grulo: the input cannot be read');
      return page;
    } finally {
      core._free(grpAt);
      core._free(errAt);
      texts.forEach((t) => core._free(t));
    }
  }
}

// The file names a report shows.
function fileNames(names) {
  names = names || {};
  return {input: names.input || 'input', grp: names.grp || 'input.grp',
          err: names.err || 'input.err', previous: names.previous || 'previous.html'};
}

// What groupFile's options.report asks: the page or not, the names it
// shows, the groups' labels (CSV) and an earlier page to compare with, as
// bytes.
function reportOptions(report) {
  const wanted = report !== undefined && report !== null && report !== false;
  const given = wanted && typeof report === 'object' ? report : {};
  const bytesOf = (value, what) => {
    if (value === undefined || value === null) return null;
    if (typeof value === 'string') return new TextEncoder().encode(value);
    if (value instanceof ArrayBuffer) return new Uint8Array(value);
    if (value instanceof Uint8Array) return value;
    throw new TypeError(`grulo: the report's ${what} is a string or a Uint8Array`);
  };
  return {wanted, names: fileNames(given.names), labels: bytesOf(given.labels, 'labels'),
          previous: bytesOf(given.previous, 'previous page')};
}

// An output that nobody reads.
const DISCARDED = {add() {}, take() { return null; }};

// An output compared, as it comes, with the bytes a run wrote: problem()
// names the first line where they part, as `grulo report` does.
class Comparison {
  constructor(expected, what, name) {
    this.expected = expected;
    this.what = what;
    this.name = name;
    this.at = 0;
    this.lines = 0;
    this.how = null;
  }
  add(heap, at, n) {
    if (this.how !== null) return;
    const mine = heap.subarray(at, at + n);
    const theirs = this.expected;
    for (let i = 0; i < n; ++i) {
      if (this.at + i >= theirs.length) {
        this.how = 'the file ends there, the regrouping goes on';
        return;
      }
      if (mine[i] !== theirs[this.at + i]) {
        this.how = 'its bytes are not those of the regrouping';
        return;
      }
      if (mine[i] === 10) ++this.lines;
    }
    this.at += n;
  }
  take() { return null; }
  problem() {
    if (this.how === null && this.at < this.expected.length) {
      this.how = 'the file has more lines than the regrouping gives';
    }
    if (this.how === null) return null;
    return `the ${this.what} '${this.name}' is not what the run's input, tables and date give: ` +
           `from its line ${this.lines + 1} on, ${this.how}`;
  }
}

// The local date and time "YYYY-MM-DD HH:MM".
function localNow() {
  const d = new Date();
  const two = (n) => String(n).padStart(2, '0');
  return `${d.getFullYear()}-${two(d.getMonth() + 1)}-${two(d.getDate())} ` +
         `${two(d.getHours())}:${two(d.getMinutes())}`;
}

const closeTables = typeof FinalizationRegistry === 'function'
    ? new FinalizationRegistry(({core, handle}) => core._grulo_tables_free(handle))
    : null;

// Open tables: group() and explain() of one line at a time.
class Tables {
  constructor(grulo, handle) {
    this.grulo = grulo;
    this.handle = handle;
    this.version = grulo.core.UTF8ToString(grulo.core._grulo_tables_version(handle));
    if (closeTables) closeTables.register(this, {core: grulo.core, handle}, this);
  }

  call(fn, line, options) {
    if (this.handle === 0) throw new Error('grulo: these tables were closed');
    const bytes = lineBytes(line);
    const today = todayText(options);
    const core = this.grulo.core;
    const lineAt = this.grulo.bytes(bytes);
    const todayAt = this.grulo.text(today);
    try {
      return core.UTF8ToString(fn(this.handle, lineAt, bytes.length, todayAt));
    } finally {
      core._free(lineAt);
      core._free(todayAt);
    }
  }

  // The outcome of one line, as the Python module's Result has it.
  group(line, options) {
    return new Result(JSON.parse(this.call(this.grulo.core._grulo_tables_group, line, options)));
  }

  // The explanation of one line, as `grulo explain --json` prints it.
  explain(line, options) {
    return JSON.parse(this.call(this.grulo.core._grulo_tables_explain, line, options));
  }

  // Frees the tables now rather than when they are collected.
  close() {
    if (this.handle === 0) return;
    if (closeTables) closeTables.unregister(this);
    this.grulo.core._grulo_tables_free(this.handle);
    this.handle = 0;
  }
}
