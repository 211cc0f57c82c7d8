// Assembles the web build's products around the engine that Emscripten made
// (grulo-core.js and grulo-core.wasm):
//   site/grulo.mjs    the ES module: the engine, its bytes and web/js/api.js
//   site/grulo.d.ts   its TypeScript declarations
//   site/index.html   the page, everything inline (it works from file://)
//   site/README.txt   how to open it, in French and English
//   npm/              the npm package: grulo.mjs, grulo.d.ts, package.json,
//                     README.md
// Usage: node assemble.mjs --core CORE.js --version V --site DIR --npm DIR

import {createHash} from 'node:crypto';
import {mkdirSync, readFileSync, writeFileSync, copyFileSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const web = join(here, '..');

function option(name) {
  const at = process.argv.indexOf(`--${name}`);
  if (at < 0 || at + 1 >= process.argv.length) {
    console.error(`assemble.mjs: --${name} is missing`);
    process.exit(2);
  }
  return process.argv[at + 1];
}

const corePath = option('core');
const version = option('version');
const site = option('site');
const npm = option('npm');

const core = readFileSync(corePath, 'utf8');
const wasm = readFileSync(corePath.replace(/\.js$/, '.wasm'));
const read = (path) => readFileSync(join(web, path), 'utf8');

// The engine with its bytes and the interface, as plain script text that
// defines load() and VERSION.
const engine = [
  `// grulo ${version}: checks and groups weekly summaries of follow-up care and rehabilitation`,
  '// stays, in this process, with nothing fetched or sent.',
  core,
  `const WASM_BASE64 = '${wasm.toString('base64')}';`,
  `const VERSION = '${version}';`,
  read('js/api.js'),
].join('\n');

const module = `${engine}\nexport {load, VERSION as version};\n`;

mkdirSync(site, {recursive: true});
writeFileSync(join(site, 'grulo.mjs'), module);
copyFileSync(join(web, 'js/grulo.d.ts'), join(site, 'grulo.d.ts'));

// The page: its script and the worker's inline, the worker's text in a
// script element of a type the browser does not run. The policy allows
// exactly these inline scripts (by their hashes), the worker made from
// them, and nothing that reaches the network.
const worker = `${engine}\n${read('page/worker.js')}`;
if (/<\/script/i.test(worker)) throw new Error('the worker holds </script');
const pageScript = `\n${read('page/texts.js')}\n${read('page/page.js')}\n`;
const hash = (text) => `'sha256-${createHash('sha256').update(text).digest('base64')}'`;
const policy = [
  "default-src 'none'",
  `script-src ${hash(pageScript)} 'wasm-unsafe-eval'`,
  'worker-src blob:',
  "style-src 'unsafe-inline'",
  "connect-src 'none'",
  "base-uri 'none'",
  "form-action 'none'",
].join('; ');
const page = read('page/index.html')
  .replace('@POLICY@', policy)
  .replace('@VERSION@', version)
  .replace('/*@STYLE@*/', read('page/page.css'))
  .replace('@WORKER@', () => worker)
  .replace('@SCRIPT@', () => pageScript);
writeFileSync(join(site, 'index.html'), page);
writeFileSync(join(site, 'README.txt'),
              read('page/README.txt').replace('@VERSION@', version).replace(/\n/g, '\r\n'));

// The npm package.
mkdirSync(npm, {recursive: true});
writeFileSync(join(npm, 'grulo.mjs'), module);
copyFileSync(join(web, 'js/grulo.d.ts'), join(npm, 'grulo.d.ts'));
copyFileSync(join(web, 'npm/README.md'), join(npm, 'README.md'));
const manifest = JSON.parse(read('npm/package.json'));
manifest.version = version;
writeFileSync(join(npm, 'package.json'), `${JSON.stringify(manifest, null, 2)}\n`);
