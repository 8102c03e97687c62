// Checks each slip line that the program VECTORS prints ("barcode line
// yyyy-mm-dd amount") with an independent boleto validator: both codes
// valid, each the other's counterpart, the amount and the due date as the
// slip meant them. Usage: node validate_boletos.js VECTORS
const validator = require('@mrmgomes/boleto-utils');
const lines = require('child_process').execFileSync(process.argv[2], { encoding: 'utf8' }).trim().split('\n');
let failed = 0;
const sameDay = (date, iso) => date && new Date(date).toISOString().slice(0, 10) === iso;
for (const line of lines) {
  const [bar, typeable, due, amount] = line.split(' ');
  const fromBar = validator.validarBoleto(bar);
  const fromLine = validator.validarBoleto(typeable);
  const problems = [];
  if (!fromBar.sucesso) problems.push('bar code: ' + fromBar.mensagem);
  if (!fromLine.sucesso) problems.push('linha digitável: ' + fromLine.mensagem);
  if (fromBar.linhaDigitavel !== typeable) problems.push('linha of the bar code is ' + fromBar.linhaDigitavel);
  if (fromLine.codigoBarras !== bar) problems.push('bar code of the linha is ' + fromLine.codigoBarras);
  if (Math.abs(fromBar.valor - Number(amount)) > 0.001) problems.push('amount ' + fromBar.valor);
  // Factors before 2025-02-22 read in the first cycle, later ones in the new one.
  const date = due < '2025-02-22' ? fromBar.vencimento : fromBar.vencimentoComNovoFator2025;
  if (!sameDay(date, due)) problems.push('due date ' + date);
  console.log((problems.length ? 'FAIL ' : 'ok   ') + bar + (problems.length ? ': ' + problems.join('; ') : ''));
  failed += problems.length ? 1 : 0;
}
console.log(`${lines.length - failed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
