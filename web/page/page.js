// The page: gathers the tables, the week's file and the date, has the
// worker group them, and shows the counters, the downloads, the summaries
// with an error with their explanations, and the report.

const lang = (navigator.languages && navigator.languages[0] || navigator.language || 'en')
    .toLowerCase().startsWith('fr') ? 'fr' : 'en';
const T = TEXTS[lang];
const TABLE_FILES = {tree: 'arbressr.tab', acts: 'ccamcssr.tab', diags: 'diag10sr.tab'};
const $ = (id) => document.getElementById(id);

const chosen = {tables: {tree: null, acts: null, diags: null}, input: null};
let worker = null;
let urls = [];
let openRow = null;

document.documentElement.lang = lang;
document.title = T.title;
for (const element of document.querySelectorAll('[data-text]')) {
  element.textContent = T[element.dataset.text];
}

function localToday() {
  const d = new Date();
  const two = (n) => String(n).padStart(2, '0');
  return `${two(d.getDate())}${two(d.getMonth() + 1)}${d.getFullYear()}`;
}
$('today').value = localToday();

function showTables() {
  for (const item of document.querySelectorAll('#table-status li')) {
    const role = item.dataset.role;
    const file = chosen.tables[role];
    item.className = file ? 'found' : '';
    item.textContent = `${T[role]}: ${file ? file.name : `${TABLE_FILES[role]} (${T.missing})`}`;
  }
}
showTables();

// Takes files chosen or dropped: the tables by their names, any other file
// as the week's input.
function take(files) {
  let input = null;
  for (const file of files) {
    const role = Object.keys(TABLE_FILES).find((r) => TABLE_FILES[r] === file.name.toLowerCase());
    if (role) {
      chosen.tables[role] = file;
    } else if (input === null) {
      input = file;
    }
  }
  if (input !== null) setInput(input);
  showTables();
}

function setInput(file) {
  chosen.input = file;
  $('input-name').textContent = `${file.name} (${file.size.toLocaleString(lang)} ${T.bytes})`;
}

$('tables').addEventListener('change', (e) => take(e.target.files));
$('tables-folder').addEventListener('change', (e) => take(e.target.files));
$('input').addEventListener('change', (e) => {
  if (e.target.files.length > 0) setInput(e.target.files[0]);
});

// Drops: files and folders (their files, one level after another).
async function entriesFiles(entry) {
  if (entry.isFile) return [await new Promise((ok, ko) => entry.file(ok, ko))];
  if (!entry.isDirectory) return [];
  const reader = entry.createReader();
  const files = [];
  for (;;) {
    const batch = await new Promise((ok, ko) => reader.readEntries(ok, ko));
    if (batch.length === 0) return files;
    for (const child of batch) files.push(...await entriesFiles(child));
  }
}
const zone = $('drop-zone');
document.addEventListener('dragover', (e) => {
  e.preventDefault();
  zone.classList.add('dragging');
});
document.addEventListener('dragleave', () => zone.classList.remove('dragging'));
document.addEventListener('drop', async (e) => {
  e.preventDefault();
  zone.classList.remove('dragging');
  const entries = [...e.dataTransfer.items].map((i) => i.webkitGetAsEntry && i.webkitGetAsEntry());
  if (entries.every((entry) => entry)) {
    const files = [];
    for (const entry of entries) files.push(...await entriesFiles(entry));
    take(files);
  } else {
    take(e.dataTransfer.files);
  }
});

function status(text, error) {
  $('status').textContent = text;
  $('status').className = error ? 'error' : '';
}

function startWorker() {
  if (worker) return worker;
  const source = new Blob([$('worker-source').textContent], {type: 'text/javascript'});
  worker = new Worker(URL.createObjectURL(source));
  worker.onmessage = (e) => handlers[e.data.type](e.data);
  worker.onerror = (e) => {
    e.preventDefault();
    finish();
    status(T.failed + e.message, true);
  };
  return worker;
}

startWorker();

function finish() {
  $('run').disabled = false;
  $('progress').hidden = true;
}

let clickedAt = 0;  // performance.now() of the last click on Group

$('run').addEventListener('click', async () => {
  clickedAt = performance.now();
  const today = $('today').value.trim();
  if (!/^[0-9]{8}$/.test(today)) return status(T.badToday, true);
  if (!chosen.input) return status(T.needInput, true);
  $('run').disabled = true;
  $('progress').hidden = false;
  $('progress').removeAttribute('value');
  status(T.running);
  const tables = {};
  for (const role of Object.keys(TABLE_FILES)) {
    const file = chosen.tables[role];
    tables[role] = file ? await file.arrayBuffer() : null;
  }
  const extra = async (id) => {
    const file = $(id).files[0];
    return file ? file.arrayBuffer() : null;
  };
  startWorker().postMessage({type: 'run', tables, input: chosen.input, today,
                             labels: await extra('labels'), previous: await extra('previous'),
                             previousName: $('previous').files[0]?.name});
});

const handlers = {
  progress(p) {
    const fraction = p.totalBytes ? p.bytesRead / p.totalBytes : null;
    if (fraction !== null) $('progress').value = fraction;
    status(T.progress(p.lines, fraction === null ? null : Math.floor(fraction * 100)));
  },
  done(run) {
    finish();
    status(T.done(run.counters.NbLus, run.seconds.toFixed(1)));
    showResults(run);
  },
  explanation({line, explanation, missing}) {
    showExplanation(line, explanation, missing);
  },
  failed({message}) {
    finish();
    status(T.failed + message, true);
  },
};

function link(id, blob, name) {
  const a = $(id);
  const url = URL.createObjectURL(blob);
  urls.push(url);
  a.href = url;
  a.download = name;
}

function element(tag, attributes, text) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attributes || {})) e.setAttribute(k, v);
  if (text !== undefined) e.textContent = text;
  return e;
}

function showResults(run) {
  urls.forEach((u) => URL.revokeObjectURL(u));
  urls = [];
  $('results').hidden = false;
  const cards = $('cards');
  cards.replaceChildren();
  for (const counter of ['NbLus', 'NbErrBloq', 'NbErrNonBloq', 'NbErrForm']) {
    const value = run.counters[counter];
    const card = element('div', {class: 'card', 'data-counter': counter, 'data-value': value});
    card.append(element('div', {class: 'value'}, value.toLocaleString(lang)),
                element('div', {class: 'label'}, `${T[counter]} (${counter})`));
    cards.append(card);
  }
  const name = chosen.input.name;
  const dot = name.lastIndexOf('.');
  const stem = dot > 0 ? name.slice(0, dot) : name;
  link('download-grp', run.grp, `${stem}.grp`);
  link('download-err', run.err, `${stem}.err`);
  link('download-rejected', run.rejectedCsv, `${stem}-rejected.csv`);
  link('download-report', new Blob([run.report], {type: 'text/html'}), `${stem}.html`);
  $('report').srcdoc = run.report;
  showRejected(run);
  // From the click to the results shown, for a benchmark to read.
  $('results').dataset.seconds = ((performance.now() - clickedAt) / 1000).toFixed(2);
}

function showRejected(run) {
  const head = $('rejected').tHead;
  const body = $('rejected').tBodies[0];
  head.replaceChildren();
  body.replaceChildren();
  $('explanation').hidden = true;
  $('rejected-note').textContent = run.rejectedCount === 0
      ? T.rejectedNone : T.rejectedShown(run.rejected.length, run.rejectedCount);
  if (run.rejectedCount === 0) return;
  const row = element('tr');
  for (const key of ['line', 'establishment', 'stay', 'week', 'unit', 'blocking', 'nonBlocking',
                     'why']) {
    row.append(element('th', {}, T[key]));
  }
  head.append(row);
  for (const r of run.rejected) {
    const tr = element('tr', {'data-line': r.line});
    for (const value of [r.line, r.establishment, r.stay, r.week, r.unit, r.blocking.join(', '),
                         r.nonBlocking.join(', ')]) {
      tr.append(element('td', {}, String(value)));
    }
    const button = element('button', {type: 'button', class: 'explain'}, T.why);
    button.disabled = !run.explainable;
    button.addEventListener('click', () => {
      if (openRow) openRow.classList.remove('open');
      openRow = tr;
      tr.classList.add('open');
      worker.postMessage({type: 'explain', line: r.line});
    });
    const cell = element('td');
    cell.append(button);
    tr.append(cell);
    body.append(tr);
  }
}

$('explain-go').addEventListener('click', () => {
  const line = Number($('explain-line').value);
  if (!worker || !Number.isInteger(line) || line < 1) return;
  if (openRow) openRow.classList.remove('open');
  openRow = null;
  worker.postMessage({type: 'explain', line});
});

// The line with the fields of its errors marked, then the errors.
function showExplanation(line, explanation, missing) {
  const box = $('explanation');
  box.replaceChildren();
  box.hidden = false;
  box.append(element('h3', {}, `${T.explanation} ${line}`));
  if (explanation === null) {
    box.append(element('p', {}, missing ? T.noLine(line) : T.noExplanation));
    return;
  }
  const marks = new Map();  // offset: {length, blocking, numbers}
  for (const error of explanation.errors || []) {
    if (error.length === 0) continue;
    const mark = marks.get(error.offset) || {length: error.length, blocking: false, numbers: []};
    mark.length = Math.max(mark.length, error.length);
    mark.blocking = mark.blocking || error.blocking;
    mark.numbers.push(error.number);
    marks.set(error.offset, mark);
  }
  const chars = [...explanation.line];
  const text = element('div', {class: 'summary-line', id: 'explained-line'});
  let at = 0;
  for (const offset of [...marks.keys()].sort((a, b) => a - b)) {
    if (offset < at) continue;
    const mark = marks.get(offset);
    text.append(chars.slice(at, offset).join(''));
    const m = element('mark', {class: mark.blocking ? 'blocking' : 'non-blocking',
                               title: mark.numbers.join(', '),
                               'data-errors': mark.numbers.join(' ')},
                      chars.slice(offset, offset + mark.length).join(''));
    text.append(m);
    at = offset + mark.length;
  }
  text.append(chars.slice(at).join(''));
  box.append(text);
  box.append(element('h3', {}, T.errorsFound));
  const list = element('ul', {class: 'error-list'});
  for (const error of explanation.errors || []) {
    const item = element('li', {'data-error': error.number});
    item.append(element('span', {class: 'number'}, String(error.number)), ' ',
                element('span', {class: error.blocking ? 'blocking' : 'not-blocking'},
                        `(${error.blocking ? T.blocks : T.doesNotBlock})`), ' ',
                `${error.field}, ${T.columns} ${error.columns} `,
                element('span', {class: 'field'}, `«${error.text}»`), `: ${error.description}`);
    list.append(item);
  }
  box.append(list);
  box.scrollIntoView({block: 'nearest'});
}
