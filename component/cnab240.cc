// Remittance files in the FEBRABAN CNAB 240 layout as Caixa (SIGCB) and
// Banco do Brasil take it: one batch of P and Q segments.
#include "component/check_digits.h"
#include "component/component_error.h"
#include "component/fixed_record.h"
#include "component/remittance_records.h"

namespace tarvo::component::remittance {

namespace {

// The batch total holds 15 digits and 2 decimals.
constexpr std::int64_t kTotalLimit = 100'000'000'000'000'000;

FixedRecord record(const Slip& s, const char* batch, char type) {
  FixedRecord r(240);
  r.number(1, 3, bank_code(s.account.bank)).text(4, 7, batch).text(8, 8, std::string(1, type));
  return r;
}

// The company block of file header (from 18) and batch header (from 19),
// which differ only in the width of the tax number before it.
void company(FixedRecord& r, const Slip& s, std::size_t tax_width) {
  const BankAccount& a = s.account;
  const std::string tax = digits_of(s.profile.payee_tax_id);
  r.number(18, 18, tax_kind(tax)).number(19, 18 + tax_width, tax);
  const std::size_t at = 19 + tax_width;  // 33 in the file header, 34 in the batch header
  if (a.bank == Bank::banco_do_brasil) {
    // Banco do Brasil, Cobrança CNAB 240: agreement (9), 0014, wallet, variation, branch, account (12), digits.
    r.number(at, at + 8, a.agreement).text(at + 9, at + 12, "0014").number(at + 13, at + 14, a.wallet);
    r.number(at + 15, at + 17, a.variation).number(at + 20, at + 24, a.branch).text(at + 25, at + 25, branch_check_digit(a));
    r.number(at + 26, at + 37, a.account).text(at + 38, at + 38, account_check_digit(a));
  } else if (tax_width == 14) {
    // CAIXA SIGCB, file header: zeros (33-52), branch and digit, beneficiary (59-64), zeros.
    r.number(at, at + 19, 0).number(at + 20, at + 24, a.branch).text(at + 25, at + 25, branch_check_digit(a));
    r.number(at + 26, at + 31, a.payee_code).number(at + 32, at + 39, 0);
  } else {
    // CAIXA SIGCB, batch header: beneficiary (34-39), zeros, branch and digit, beneficiary (60-65), zeros.
    r.number(at, at + 5, a.payee_code).number(at + 6, at + 19, 0).number(at + 20, at + 24, a.branch);
    r.text(at + 25, at + 25, branch_check_digit(a)).number(at + 26, at + 31, a.payee_code).number(at + 32, at + 39, 0);
  }
}

std::string file_header(const Slip& s, const Date& today, std::int64_t file_sequence) {
  const bool caixa = s.account.bank == Bank::caixa;
  FixedRecord r = record(s, "0000", '0');
  company(r, s, 14);  // 18..72
  r.text(73, 102, remittance_text(s.profile.payee_name)).text(103, 132, bank_name_ascii(s.account.bank));
  r.number(143, 143, 1).number(144, 151, date8(today)).number(152, 157, 0).number(158, 163, file_sequence);
  r.number(164, 166, caixa ? "101" : "083").number(167, 171, 0).text(192, 211, "REMESSA-PRODUCAO");
  if (!caixa) r.number(226, 240, 0);  // Banco do Brasil: no VAN, service or occurrences
  return r.line();
}

std::string batch_header(const Slip& s, const Date& today, std::int64_t file_sequence) {
  const bool caixa = s.account.bank == Bank::caixa;
  FixedRecord r = record(s, "0001", '1');
  r.text(9, 9, "R").number(10, 11, 1).text(12, 13, caixa ? "00" : "").number(14, 16, caixa ? "060" : "042");
  company(r, s, 15);  // 18..73
  r.text(74, 103, remittance_text(s.profile.payee_name)).number(184, 191, file_sequence);
  return r.number(192, 199, date8(today)).number(200, 207, 0).line();
}

std::string segment_p(const Slip& s, std::size_t in_batch) {
  const BankAccount& a = s.account;
  const DocumentData& d = s.document;
  const bool caixa = a.bank == Bank::caixa;
  FixedRecord r = record(s, "0001", '3');
  r.number(9, 13, static_cast<long long>(in_batch)).text(14, 14, "P").number(16, 17, 1);
  r.number(18, 22, a.branch).text(23, 23, branch_check_digit(a));
  if (caixa) {
    // CAIXA SIGCB, segment P: beneficiary (24-29), zeros (30-40), modality (41-42), nosso número (43-57).
    r.number(24, 29, a.payee_code).number(30, 40, 0).number(41, 42, s.number.digits.substr(0, 2));
    r.number(43, 57, s.number.digits.substr(2));
  } else {
    // Banco do Brasil, segment P: account (24-35) and digit, nosso número left-aligned (38-57).
    r.number(24, 35, a.account).text(36, 36, account_check_digit(a)).text(38, 57, s.number.digits + s.number.check);
  }
  // Simple collection (1), registered (1), traditional document (1), issued
  // and sent by the company (2, 2); Caixa's document number has 11 places.
  r.number(58, 58, 1).number(59, 59, 1).text(60, 60, "1").number(61, 61, 2).text(62, 62, "2");
  r.text(63, caixa ? 73 : 77, ascii(d.document_number)).number(78, 85, date8(d.due_date)).number(86, 100, s.cents);
  r.number(101, 105, 0).text(106, 106, caixa ? "0" : "").number(107, 108, kind_code(s, RemittanceLayout::cnab240));
  r.text(109, 109, acceptance_letter(s.profile)).number(110, 117, date8(d.document_date));
  // Interest: 1 = a value a day, from the day after the due date.
  r.number(118, 118, 1).number(119, 126, date8(Date::from_days_since_epoch(d.due_date.days_since_epoch() + 1)));
  r.number(127, 141, daily_charge_cents(s)).number(142, 142, 0).number(143, 195, 0);
  r.text(196, 220, ascii(d.control_number));
  // Protest: 1 = after so many calendar days, 3 = none; return after 90 days.
  const std::string days = protest_days(s);
  r.number(221, 221, days == "00" ? 3 : 1).number(222, 223, days).number(224, 224, 1).number(225, 227, 90);
  return r.number(228, 229, 9).number(230, 239, 0).line();
}

std::string segment_q(const Slip& s, std::size_t in_batch) {
  const DocumentData& d = s.document;
  const std::string tax = digits_of(d.payer_tax_id);
  const std::string zip = zero_pad(digits_of(d.payer_zip), 8);
  FixedRecord r = record(s, "0001", '3');
  r.number(9, 13, static_cast<long long>(in_batch)).text(14, 14, "Q").number(16, 17, 1);
  r.number(18, 18, tax_kind(tax)).number(19, 33, tax).text(34, 73, ascii(d.payer_name));
  r.text(74, 113, ascii(d.payer_address)).text(114, 128, ascii(d.payer_district));
  r.number(129, 133, zip.substr(0, 5)).number(134, 136, zip.substr(5, 3)).text(137, 151, ascii(d.payer_city));
  r.text(152, 153, ascii(d.payer_state)).number(154, 154, 0).number(155, 169, 0).number(210, 212, 0);
  return r.line();
}

// Caixa totals the simple collection; Banco do Brasil's trailer holds the
// record count only.
std::string batch_trailer(const Slip& s, std::size_t records, std::size_t slips, std::int64_t total) {
  FixedRecord r = record(s, "0001", '5');
  r.number(18, 23, static_cast<long long>(records));
  if (s.account.bank == Bank::caixa)
    r.number(24, 29, static_cast<long long>(slips)).number(30, 46, total).number(47, 92, 0);
  return r.line();
}

std::string file_trailer(const Slip& s, std::size_t lines) {
  FixedRecord r = record(s, "9999", '9');
  return r.number(18, 23, 1).number(24, 29, static_cast<long long>(lines)).line();
}

// An existing file must be one batch of this bank and account: file header,
// batch header, details numbered in order, batch trailer, file trailer.
void check(const ExistingFile& file, const Slip& first, const Date& today) {
  const std::size_t n = file.lines().size();
  if (n < 4) file.bad(n, "registro trailer", "o arquivo termina antes do fim do lote e do arquivo");
  const std::string bank = bank_code(first.account.bank);
  const std::string ours = file_header(first, today, 1);
  for (std::size_t i = 1; i <= n; ++i) file.expect(i, 1, 3, bank, "código do banco", "o arquivo é de outro banco");
  file.expect(1, 4, 8, "00000", "lote e tipo de registro", "a linha 1 não é o header de arquivo");
  file.expect(1, 18, 72, std::string_view(ours).substr(17, 55), "empresa e conta", "o arquivo é de outra conta");
  file.number(1, 158, 163, "número sequencial do arquivo");
  file.expect(2, 4, 8, "00011", "lote e tipo de registro", "a linha 2 não é o header do lote 1");
  for (std::size_t i = 3; i <= n - 2; ++i) {
    file.expect(i, 4, 8, "00013", "lote e tipo de registro", "a linha não é um detalhe do lote 1");
    if (file.number(i, 9, 13, "número do registro no lote") != static_cast<std::int64_t>(i - 2))
      file.bad(i, "número do registro no lote", "devia ser " + std::to_string(i - 2));
  }
  file.expect(n - 1, 4, 8, "00015", "lote e tipo de registro", "a penúltima linha não é o trailer do lote");
  file.expect(n, 4, 8, "99999", "lote e tipo de registro", "a última linha não é o trailer de arquivo");
}

}  // namespace

std::string cnab240_content(const ExistingFile& existing, const std::vector<Slip>& slips, const Date& today,
                            std::int64_t file_sequence) {
  const Slip& first = slips.front();
  std::vector<std::string> lines = existing.lines();
  if (lines.empty()) {
    lines.push_back(file_header(first, today, file_sequence));
    lines.push_back(batch_header(first, today, file_sequence));
  } else {
    check(existing, first, today);
    lines.resize(lines.size() - 2);
  }
  const std::size_t kept = lines.size();
  for (const Slip& s : slips) {
    const std::size_t in_batch = lines.size() - 1;  // details so far + 1
    lines.push_back(segment_p(s, in_batch));
    lines.push_back(segment_q(s, in_batch + 1));
  }
  std::size_t count = 0;
  std::int64_t total = 0;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    if (lines[i][13] != 'P') continue;
    ++count;
    // Amounts of the existing file are read as the untrusted numbers they are.
    const std::int64_t amount = i < kept ? existing.number(i + 1, 86, 100, "valor do título")
                                         : static_cast<std::int64_t>(slips[(i - kept) / 2].cents);
    if (amount >= kTotalLimit - total)
      fail(first.account.label, "ARQUIVOREMESSA",
           "o valor total do lote passaria de 15 algarismos e 2 decimais no arquivo de remessa");
    total += amount;
  }
  lines.push_back(batch_trailer(first, lines.size() - 1 + 1, count, total));
  lines.push_back(file_trailer(first, lines.size() + 1));
  return join_lines(lines);
}

}  // namespace tarvo::component::remittance
