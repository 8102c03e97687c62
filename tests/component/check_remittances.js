// Reads the remittance files of FOLDER field by field with the banks' layouts
// as @banco-br/cnab_yaml describes them, and checks every field: its
// picture (digits, plain upper-case text, dates), and its value against the
// one expected below or, for the fields the test does not name, the
// layout's own default. Usage: node check_remittances.js WRITER, where the
// program WRITER writes the files into the folder it is given.
const fs = require('fs');
const os = require('os');
const path = require('path');
const yaml = require('js-yaml');
const expected = require('./remittance_expectations.js');

const root = path.dirname(require.resolve('@banco-br/cnab_yaml/package.json'));

// Where the package keeps each bank's own records. Its Itaú CNAB 400 files
// describe another product (positions that disagree with their own widths);
// its generic CNAB 400 files are Itaú's layout (bank 341 by default), so
// Itaú is read with those.
const bankFolders = { cnab400: { '341': null, '237': '237', '001': '001' }, cnab240: { '001': '001', '104': '104/sigcb' } };

function fieldsOf(file) {
  if (!fs.existsSync(file)) return [];
  const fields = [];
  const walk = (node) => {
    for (const [name, value] of Object.entries(node || {})) {
      if (value && Array.isArray(value.pos)) fields.push({ name, ...value });
      else if (value && typeof value === 'object') walk(value);
    }
  };
  walk(yaml.load(fs.readFileSync(file, 'utf8')));
  return fields;
}

function recordFile(layout, folder, record) {
  const segment = record.startsWith('detalhe') || layout === 'cnab400';
  return path.join(root, layout, folder, segment ? 'remessa' : '', record + '.yml');
}

// The bank's fields over the generic ones: a bank field replaces the generic
// field of its name and every generic field it overlaps.
function layoutOf(layout, bank, record) {
  const own = bankFolders[layout][bank] ? fieldsOf(recordFile(layout, bankFolders[layout][bank], record)) : [];
  const overlaps = (a, b) => a.pos[0] <= b.pos[1] && b.pos[0] <= a.pos[1];
  const generic = fieldsOf(recordFile(layout, 'generic', record))
    .filter((g) => !own.some((o) => o.name === g.name || overlaps(o, g)));
  return [...generic, ...own].sort((a, b) => a.pos[0] - b.pos[0]);
}

function picture(text) {
  const parts = [...String(text).matchAll(/([9X])\((\d+)\)/g)];
  return { numeric: parts[0][1] === '9', width: parts.reduce((sum, p) => sum + Number(p[2]), 0) };
}

function validDate(value, format) {
  if (/^0+$/.test(value)) return true;
  const at = {};
  let i = 0;
  for (const token of format.match(/%./g)) {
    const n = token === '%Y' ? 4 : 2;
    at[token] = Number(value.slice(i, i + n));
    i += n;
  }
  if ('%H' in at) return at['%H'] < 24 && at['%M'] < 60 && at['%S'] < 60;
  const year = at['%Y'] ?? 2000 + at['%y'];
  const d = new Date(Date.UTC(year, at['%m'] - 1, at['%d']));
  return d.getUTCMonth() === at['%m'] - 1 && d.getUTCDate() === at['%d'];
}

function same(value, wanted, numeric) {
  if (numeric) return /^\d+$/.test(value) && BigInt(value) === BigInt(String(wanted) || '0');
  return value.trimEnd() === String(wanted);
}

function checkLine(line, layout, bank, record, wanted) {
  const problems = [];
  const fields = layoutOf(layout, bank, record);
  if (fields.length === 0) return ['no layout for ' + record];
  const covered = new Array(line.length).fill(false);
  const used = new Set();
  for (const f of fields) {
    const [from, to] = f.pos;
    const value = line.slice(from - 1, to);
    for (let p = from; p <= to; ++p) covered[p - 1] = true;
    const pic = picture(f.picture);
    const where = `${f.name} (${from}-${to}) "${value}"`;
    if (pic.width !== to - from + 1) problems.push(`${where}: the layout's picture ${f.picture} is not its width`);
    if (pic.numeric ? !/^\d+$/.test(value) : !/^[ -~]*$/.test(value) || /[a-z]/.test(value))
      problems.push(`${where}: not ${f.picture}`);
    if (f.date_format && !validDate(value, f.date_format)) problems.push(`${where}: not a date ${f.date_format}`);
    if (f.name in wanted) {
      used.add(f.name);
      if (!same(value, wanted[f.name], pic.numeric)) problems.push(`${where}: expected "${wanted[f.name]}"`);
    } else if (f.default !== undefined) {
      if (!same(value, f.default, pic.numeric)) problems.push(`${where}: the layout's default is "${f.default}"`);
    } else {
      problems.push(`${where}: no expected value`);
    }
  }
  for (const name of Object.keys(wanted)) if (!used.has(name)) problems.push(`${name}: not in the layout`);
  const gap = covered.indexOf(false);
  if (gap >= 0) problems.push(`position ${gap + 1} is in no field`);
  return problems;
}

const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'remessas-'));
require('child_process').execFileSync(process.argv[2], [folder]);
let failed = 0, fields = 0;
for (const file of expected) {
  const lines = fs.readFileSync(path.join(folder, file.name), 'latin1').split('\r\n');
  if (lines.pop() !== '') console.log(`FAIL ${file.name}: the last line has no CRLF`), ++failed;
  if (lines.length !== file.records.length)
    console.log(`FAIL ${file.name}: ${lines.length} lines, expected ${file.records.length}`), ++failed;
  file.records.forEach(([record, wanted], i) => {
    const problems = checkLine(lines[i] || '', file.layout, file.bank, record, wanted);
    fields += layoutOf(file.layout, file.bank, record).length;
    for (const p of problems) console.log(`FAIL ${file.name} line ${i + 1} ${record}: ${p}`);
    failed += problems.length;
  });
}
fs.rmSync(folder, { recursive: true });
console.log(`${fields} fields read, ${failed} problems`);
process.exit(failed ? 1 : 0);
