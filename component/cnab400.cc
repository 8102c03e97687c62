// Remittance files in the banks' CNAB 400 layouts: Itaú, Bradesco and
// Banco do Brasil.
#include "component/check_digits.h"
#include "component/component_error.h"
#include "component/fixed_record.h"
#include "component/remittance_records.h"

namespace tarvo::component::remittance {

namespace {

// Where each bank's header keeps what identifies the account, and the file
// sequence number.
struct HeaderFields {
  std::size_t account_from, account_to;
  std::size_t sequence_from, sequence_to;  // 0 when the bank has none
};

HeaderFields header_fields(Bank bank) {
  switch (bank) {
    case Bank::itau: return {27, 38, 0, 0};
    case Bank::bradesco: return {27, 46, 111, 117};
    case Bank::banco_do_brasil: return {27, 40, 101, 107};
    case Bank::caixa: break;
  }
  return {27, 46, 0, 0};
}

std::string header(const Slip& s, const Date& today, std::int64_t file_sequence) {
  const BankAccount& a = s.account;
  FixedRecord r(400);
  // Common to the three banks: 0, 1, REMESSA, 01, COBRANCA, company name, bank, date.
  r.text(1, 1, "0").text(2, 2, "1").text(3, 9, "REMESSA").text(10, 11, "01").text(12, 26, "COBRANCA");
  r.text(47, 76, remittance_text(s.profile.payee_name)).number(77, 79, bank_code(a.bank));
  r.text(80, 94, bank_name_ascii(a.bank)).text(95, 100, date6(today));
  switch (a.bank) {
    case Bank::itau:  // Itaú, Cobrança CNAB 400, header: branch, 00, account, DAC.
      r.number(27, 30, a.branch).number(31, 32, "00").number(33, 37, a.account).text(38, 38, account_check_digit(a));
      break;
    case Bank::bradesco:  // Bradesco, Cobrança CNAB 400, header: company code (20), MX, file sequence.
      r.number(27, 46, digits_of(s.profile.agreement.empty() ? a.payee_code : s.profile.agreement));
      r.text(109, 110, "MX").number(111, 117, file_sequence);
      break;
    case Bank::banco_do_brasil:  // Banco do Brasil, CBR641/CBR643 header: branch, account, file sequence, leading agreement.
      r.number(27, 30, a.branch).text(31, 31, branch_check_digit(a)).number(32, 39, a.account);
      r.text(40, 40, account_check_digit(a)).number(41, 46, 0).text(77, 94, "001BANCODOBRASIL");
      r.number(101, 107, file_sequence);
      if (a.agreement.size() == 7) r.number(130, 136, a.agreement);
      break;
    case Bank::caixa: break;
  }
  return r.number(395, 400, 1).line();
}

void payer(FixedRecord& r, const Slip& s, std::size_t name_to) {
  const DocumentData& d = s.document;
  const std::string tax = digits_of(d.payer_tax_id);
  r.number(219, 220, tax_kind(tax)).number(221, 234, tax).text(235, name_to, ascii(d.payer_name));
  r.text(275, 314, ascii(d.payer_address));
}

void payer_with_city(FixedRecord& r, const Slip& s, std::size_t name_to) {
  const DocumentData& d = s.document;
  payer(r, s, name_to);
  r.text(315, 326, ascii(d.payer_district)).number(327, 334, digits_of(d.payer_zip));
  r.text(335, 349, ascii(d.payer_city)).text(350, 351, ascii(d.payer_state));
}

// Itaú, Cobrança CNAB 400, detail 1.
void itau_detail(FixedRecord& r, const Slip& s, const std::string& payee_tax) {
  const BankAccount& a = s.account;
  const DocumentData& d = s.document;
  // Company, branch/account/DAC, control, number, wallet, code I, bank 341.
  r.number(2, 3, tax_kind(payee_tax)).number(4, 17, payee_tax).number(18, 21, a.branch).number(22, 23, 0);
  r.number(24, 28, a.account).text(29, 29, account_check_digit(a)).number(34, 37, 0);
  r.text(38, 62, ascii(d.control_number)).number(63, 70, s.number.digits).number(71, 83, 0);
  r.number(84, 86, a.wallet).text(108, 108, "I").number(140, 142, "341").number(143, 147, 0);
  r.text(157, 158, first_instruction(s)).text(159, 160, "00");
  payer_with_city(r, s, 264);
  r.number(386, 391, 0).number(392, 393, protest_days(s));
}

// Bradesco, Cobrança CNAB 400, detail 1: protest days go with instruction 06
// as its second instruction.
void bradesco_detail(FixedRecord& r, const Slip& s) {
  const BankAccount& a = s.account;
  const DocumentData& d = s.document;
  const std::string instruction = first_instruction(s), days = protest_days(s);
  if (days != "00" && instruction != "06")
    fail(a.label, "DIASPROTESTO",
         "o Bradesco só leva os dias de protesto com a instrução 06 (protestar), e a instrução é " + instruction);
  // No debit account (2-20), wallet, branch, account and digit, control, fine
  // of 2%, number and digit, slip issued by the company (2), no debit notice.
  r.number(2, 20, 0).number(21, 21, 0).number(22, 24, a.wallet).number(25, 29, a.branch).number(30, 36, a.account);
  r.text(37, 37, account_check_digit(a)).text(38, 62, ascii(d.control_number)).number(63, 65, 0);
  r.number(66, 66, 2).number(67, 70, 200).number(71, 81, s.number.digits).text(82, 82, s.number.check);
  r.number(83, 92, 0).number(93, 93, 2).text(94, 94, "N").number(106, 106, 2).number(140, 147, 0);
  r.text(150, 150, "N").text(157, 158, instruction).text(159, 160, days);
  payer(r, s, 274);
  r.number(327, 334, digits_of(d.payer_zip));
}

// Banco do Brasil, CBR643 (agreement of 7, detail 7) and CBR641 (4 or 6, detail 1).
void banco_do_brasil_detail(FixedRecord& r, const Slip& s, const std::string& payee_tax) {
  const BankAccount& a = s.account;
  const DocumentData& d = s.document;
  const bool seven = a.agreement.size() == 7;
  r.text(1, 1, seven ? "7" : "1").number(2, 3, tax_kind(payee_tax)).number(4, 17, payee_tax);
  r.number(18, 21, a.branch).text(22, 22, branch_check_digit(a)).number(23, 30, a.account);
  r.text(31, 31, account_check_digit(a));
  if (seven) {
    // Agreement, control, 17-digit number, zeros, wallet variation.
    r.number(32, 38, a.agreement).text(39, 63, ascii(d.control_number)).number(64, 80, s.number.digits);
    r.number(81, 84, 0).number(92, 94, a.variation).number(95, 101, 0);
  } else {
    // Agreement, control, 11-digit number and digit, zeros, wallet variation.
    r.number(32, 37, a.agreement).text(38, 62, ascii(d.control_number)).number(63, 73, s.number.digits);
    r.text(74, 74, s.number.check).number(75, 78, 0).number(86, 88, a.variation).number(89, 101, 0);
  }
  const std::string days = protest_days(s);
  r.number(107, 108, a.wallet).number(140, 142, "001").number(143, 146, 0);
  r.number(157, 158, first_instruction(s)).number(159, 160, 0);
  payer_with_city(r, s, 271);
  r.text(392, 393, days == "00" ? "" : days);
}

std::string detail(const Slip& s, std::size_t sequence) {
  const DocumentData& d = s.document;
  const std::string payee_tax = digits_of(s.profile.payee_tax_id);
  FixedRecord r(400);
  r.text(1, 1, "1");
  // Shared by the three banks from position 109 on: occurrence 01 (entry),
  // document number, due date, amount, kind, acceptance, issue date, the
  // charge of a day, no discount, IOF or rebate.
  r.number(109, 110, "01").text(111, 120, ascii(d.document_number)).text(121, 126, date6(d.due_date));
  r.number(127, 139, s.cents).text(148, 149, kind_code(s, RemittanceLayout::cnab400));
  r.text(150, 150, acceptance_letter(s.profile)).text(151, 156, date6(d.document_date));
  r.number(161, 173, daily_charge_cents(s)).number(174, 179, 0).number(180, 218, 0);
  switch (s.account.bank) {
    case Bank::itau: itau_detail(r, s, payee_tax); break;
    case Bank::bradesco: bradesco_detail(r, s); break;
    case Bank::banco_do_brasil: banco_do_brasil_detail(r, s, payee_tax); break;
    case Bank::caixa: break;
  }
  return r.number(395, 400, static_cast<long long>(sequence)).line();
}

std::string trailer(std::size_t sequence) {
  return FixedRecord(400).text(1, 1, "9").number(395, 400, static_cast<long long>(sequence)).line();
}

// An existing file must be a CNAB 400 remittance of this bank and account,
// its records numbered in order, a header first and a trailer last.
void check(const ExistingFile& file, const Slip& first, const Date& today) {
  const std::vector<std::string>& lines = file.lines();
  const std::size_t n = lines.size();
  if (n < 2) file.bad(n, "registro trailer", "o arquivo termina sem o registro final (9)");
  const std::string ours = header(first, today, 1);
  const HeaderFields fields = header_fields(first.account.bank);
  file.expect(1, 1, 9, "01REMESSA", "identificação do arquivo", "não é uma remessa CNAB 400");
  file.expect(1, 77, 79, ours.substr(76, 3), "código do banco", "o arquivo é de outro banco");
  file.expect(1, fields.account_from, fields.account_to,
              std::string_view(ours).substr(fields.account_from - 1, fields.account_to - fields.account_from + 1),
              "conta do beneficiário", "o arquivo é de outra conta");
  if (fields.sequence_from)
    file.number(1, fields.sequence_from, fields.sequence_to, "número sequencial da remessa");
  for (std::size_t i = 1; i <= n; ++i) {
    if (file.number(i, 395, 400, "número sequencial do registro") != static_cast<std::int64_t>(i))
      file.bad(i, "número sequencial do registro", "devia ser " + std::to_string(i));
    const char type = lines[i - 1][0];
    if (i > 1 && i < n && (type < '1' || type > '8'))
      file.bad(i, "tipo de registro", std::string("\"") + type + "\" não é um registro de detalhe");
  }
  file.expect(n, 1, 1, "9", "tipo de registro", "o arquivo não termina no registro final (9)");
}

}  // namespace

std::string cnab400_content(const ExistingFile& existing, const std::vector<Slip>& slips, const Date& today,
                            std::int64_t file_sequence) {
  const Slip& first = slips.front();
  std::vector<std::string> lines = existing.lines();
  if (lines.empty()) {
    lines.push_back(header(first, today, file_sequence));
  } else {
    check(existing, first, today);
    lines.pop_back();
  }
  for (const Slip& s : slips) lines.push_back(detail(s, lines.size() + 1));
  lines.push_back(trailer(lines.size() + 1));
  return join_lines(lines);
}

}  // namespace tarvo::component::remittance
