#include "component/remittance.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

#include "component/check_digits.h"
#include "component/component_error.h"
#include "component/fixed_record.h"
#include "runtime/text.h"

namespace tarvo::component {

namespace {

constexpr std::string_view kCrlf = "\r\n";

std::string date6(const Date& d) {
  if (d.empty()) return "000000";
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d", d.day(), d.month(), d.year() % 100);
  return buf;
}

std::string date8(const Date& d) {
  if (d.empty()) return "00000000";
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d%02d%04d", d.day(), d.month(), d.year());
  return buf;
}

long long cents(double amount) { return std::llround(amount * 100.0); }

// The charge of one day after the due date, as the slip's instructions state it
// (one thirtieth of 2 percent a day).
long long daily_charge_cents(double amount) { return std::llround(amount * 0.02 / 30.0 * 100.0); }

std::string ascii(std::string_view cp1252) { return remittance_text(cp1252_to_utf8(cp1252)); }

// CPF (11 digits) or CNPJ (14): the kind code and the digits.
int tax_kind(std::string_view digits) { return digits.size() <= 11 ? 1 : 2; }

std::string acceptance_letter(const AccountProfile& p) {
  const std::string a = upper(trim(p.acceptance));
  return (a == "S" || a == "A") ? "A" : "N";
}

// Document kinds by their usual initials, in the codes of each layout.
std::string kind_code(const Slip& s, RemittanceLayout layout) {
  const std::string k = upper(trim(s.profile.document_kind));
  if (layout == RemittanceLayout::cnab240) {
    // FEBRABAN 240: 02 DM, 04 DS, 12 NP, 17 RC, 99 others.
    return k == "DM" ? "02" : k == "DS" ? "04" : k == "NP" ? "12" : k == "RC" ? "17" : "99";
  }
  const bool itau = s.account.bank == Bank::itau;
  // CNAB 400: 01 DM, 02 NP, 05 RC; DS is 08 at Itaú and 12 at the others.
  return k == "DM" ? "01" : k == "NP" ? "02" : k == "RC" ? "05" : k == "DS" ? (itau ? "08" : "12") : "99";
}

std::string two_digits(const std::string& label, std::string_view field, std::string_view text) {
  const std::string d = digits_of(text);
  if (d.size() > 2) fail(label, field, "\"" + std::string(text) + "\" não cabe em 2 algarismos");
  return zero_pad(d, 2);
}

// ---- CNAB 400 --------------------------------------------------------------

std::string header400(const Slip& s, const Date& today) {
  const BankAccount& a = s.account;
  FixedRecord r(400);
  // Common to the three banks: 0, 1, REMESSA, 01, COBRANCA, company name, bank, date.
  r.text(1, 1, "0").text(2, 2, "1").text(3, 9, "REMESSA").text(10, 11, "01").text(12, 26, "COBRANCA");
  r.text(47, 76, remittance_text(s.profile.payee_name)).number(77, 79, bank_code(a.bank));
  r.text(80, 94, bank_name_ascii(a.bank)).text(95, 100, date6(today));
  switch (a.bank) {
    case Bank::itau:  // Itaú: branch, 00, account, DAC.
      r.number(27, 30, a.branch).number(31, 32, "00").number(33, 37, a.account).text(38, 38, account_check_digit(a));
      break;
    case Bank::bradesco:  // Bradesco: the company code (20), MX, file sequence.
      r.number(27, 46, digits_of(s.profile.agreement.empty() ? a.payee_code : s.profile.agreement));
      r.text(109, 110, "MX").number(111, 117, 1);
      break;
    case Bank::banco_do_brasil:  // BB: branch and account with digits, file sequence, leading agreement.
      r.number(27, 30, a.branch).text(31, 31, branch_check_digit(a)).number(32, 39, a.account);
      r.text(40, 40, account_check_digit(a)).number(41, 46, 0).text(77, 94, "001BANCODOBRASIL");
      r.number(101, 107, 1);
      if (a.agreement.size() == 7) r.number(130, 136, a.agreement);
      break;
    case Bank::caixa: break;
  }
  return r.number(395, 400, 1).line();
}

void payer400(FixedRecord& r, const Slip& s, std::size_t name_to) {
  const DocumentData& d = s.document;
  const std::string tax = digits_of(d.payer_tax_id);
  r.number(219, 220, tax_kind(tax)).number(221, 234, tax).text(235, name_to, ascii(d.payer_name));
  r.text(275, 314, ascii(d.payer_address));
}

std::string detail400(const Slip& s, std::size_t sequence) {
  const BankAccount& a = s.account;
  const DocumentData& d = s.document;
  const std::string payee_tax = digits_of(s.profile.payee_tax_id);
  FixedRecord r(400);
  r.text(1, 1, "1");
  // Shared by the three banks from position 109 on: occurrence 01 (entry),
  // document number, due date, amount, kind, acceptance, issue date.
  r.number(109, 110, "01").text(111, 120, ascii(d.document_number)).text(121, 126, date6(d.due_date));
  r.number(127, 139, cents(s.amount)).text(148, 149, kind_code(s, RemittanceLayout::cnab400));
  r.text(150, 150, acceptance_letter(s.profile)).text(151, 156, date6(d.document_date));
  r.number(157, 158, two_digits(a.label, "INSTRUCAOCOBRANCA3", d.instruction3)).number(159, 160, 0);
  r.number(161, 173, daily_charge_cents(s.amount)).number(174, 179, 0).number(180, 218, 0);
  switch (a.bank) {
    case Bank::itau:
      // Itaú: company, branch/account/DAC, number, wallet, code I, bank 341,
      // payer with district, postal code, city, state; protest days.
      r.number(2, 3, tax_kind(payee_tax)).number(4, 17, payee_tax).number(18, 21, a.branch).number(22, 23, 0);
      r.number(24, 28, a.account).text(29, 29, account_check_digit(a)).number(34, 37, 0);
      r.text(38, 62, ascii(d.control_number)).number(63, 70, s.number.digits).number(71, 83, 0);
      r.number(84, 86, a.wallet).text(108, 108, "I").number(140, 142, "341").number(143, 147, 0);
      payer400(r, s, 264);
      r.text(315, 326, ascii(d.payer_district)).number(327, 334, digits_of(d.payer_zip));
      r.text(335, 349, ascii(d.payer_city)).text(350, 351, ascii(d.payer_state)).number(386, 391, 0);
      r.number(392, 393, two_digits(a.label, "DIASPROTESTO", d.protest_days));
      break;
    case Bank::bradesco:
      // Bradesco: company id (0, wallet, branch, account, digit), control,
      // fine of 2%, number and digit, issue by the company (2), N.
      r.number(2, 6, 0).text(7, 7, " ").number(8, 12, 0).number(13, 19, 0).text(20, 20, " ");
      r.number(21, 21, 0).number(22, 24, a.wallet).number(25, 29, a.branch).number(30, 36, a.account);
      r.text(37, 37, account_check_digit(a)).text(38, 62, ascii(d.control_number)).number(63, 65, 0);
      r.number(66, 66, 2).number(67, 70, 200).number(71, 81, s.number.digits).text(82, 82, s.number.check);
      r.number(83, 92, 0).number(93, 93, 2).text(94, 94, "N").number(140, 147, 0).text(150, 150, "N");
      payer400(r, s, 274);
      r.number(327, 334, digits_of(d.payer_zip));
      break;
    case Bank::banco_do_brasil: {
      // BB: company, branch/account with digits, agreement, control, number;
      // agreement of 7 writes detail 7 with the 17-digit number, of 4 or 6
      // detail 1 with the 11-digit number and its digit.
      const bool seven = a.agreement.size() == 7;
      r.text(1, 1, seven ? "7" : "1").number(2, 3, tax_kind(payee_tax)).number(4, 17, payee_tax);
      r.number(18, 21, a.branch).text(22, 22, branch_check_digit(a)).number(23, 30, a.account);
      r.text(31, 31, account_check_digit(a));
      if (seven) {
        r.number(32, 38, a.agreement).text(39, 63, ascii(d.control_number)).number(64, 80, s.number.digits);
        r.number(81, 84, 0).number(95, 101, 0);
      } else {
        r.number(32, 37, a.agreement).text(38, 62, ascii(d.control_number)).number(63, 73, s.number.digits);
        r.text(74, 74, s.number.check).number(75, 78, 0).number(90, 101, 0);
      }
      r.number(107, 108, a.wallet).number(140, 142, "001").number(143, 146, 0);
      payer400(r, s, 271);
      r.text(315, 326, ascii(d.payer_district)).number(327, 334, digits_of(d.payer_zip));
      r.text(335, 349, ascii(d.payer_city)).text(350, 351, ascii(d.payer_state));
      r.number(392, 393, two_digits(a.label, "DIASPROTESTO", d.protest_days));
      break;
    }
    case Bank::caixa: break;
  }
  return r.number(395, 400, static_cast<long long>(sequence)).line();
}

std::string trailer400(std::size_t sequence) {
  return FixedRecord(400).text(1, 1, "9").number(395, 400, static_cast<long long>(sequence)).line();
}

// ---- CNAB 240 (FEBRABAN) -----------------------------------------------------

// Company block of file and batch headers: registration kind and number
// (14 wide in the file header, 15 in the batch header), agreement (20),
// branch and digit, account (12) and digit, a blank for the pair's digit.
void company240(FixedRecord& r, const Slip& s, std::size_t number_width) {
  const BankAccount& a = s.account;
  const std::string tax = digits_of(s.profile.payee_tax_id);
  r.number(18, 18, tax_kind(tax)).number(19, 18 + number_width, tax);
  const std::size_t conv = 19 + number_width;
  if (a.bank == Bank::banco_do_brasil)  // BB: agreement (9), 0014, wallet, variation 019
    r.number(conv, conv + 8, a.agreement).text(conv + 9, conv + 12, "0014").number(conv + 13, conv + 14, a.wallet)
        .text(conv + 15, conv + 17, "019");
  else  // Caixa SIGCB: the beneficiary code
    r.number(conv, conv + 19, a.payee_code);
  r.number(conv + 20, conv + 24, a.branch).text(conv + 25, conv + 25, branch_check_digit(a));
  r.number(conv + 26, conv + 37, a.bank == Bank::caixa ? a.payee_code : a.account);
  r.text(conv + 38, conv + 38, account_check_digit(a));
}

std::string file_header240(const Slip& s, const Date& today) {
  FixedRecord r(240);
  r.number(1, 3, bank_code(s.account.bank)).number(4, 7, 0).number(8, 8, 0);
  company240(r, s, 14);  // 18..72
  r.text(73, 102, remittance_text(s.profile.payee_name)).text(103, 132, bank_name_ascii(s.account.bank));
  r.number(143, 143, 1).number(144, 151, date8(today)).number(152, 157, 0).number(158, 163, 1);
  r.number(164, 166, s.account.bank == Bank::caixa ? "101" : "083").number(167, 171, 0);
  return r.line();
}

std::string batch_header240(const Slip& s, const Date& today) {
  FixedRecord r(240);
  r.number(1, 3, bank_code(s.account.bank)).number(4, 7, 1).number(8, 8, 1).text(9, 9, "R");
  r.number(10, 11, 1).number(12, 13, 0).number(14, 16, s.account.bank == Bank::caixa ? "060" : "042");
  company240(r, s, 15);  // 18..73
  r.text(74, 103, remittance_text(s.profile.payee_name)).number(184, 191, 1).number(192, 199, date8(today));
  return r.number(200, 207, 0).line();
}

std::string segment_p(const Slip& s, std::size_t in_batch) {
  const BankAccount& a = s.account;
  const DocumentData& d = s.document;
  FixedRecord r(240);
  r.number(1, 3, bank_code(a.bank)).number(4, 7, 1).number(8, 8, 3).number(9, 13, static_cast<long long>(in_batch));
  r.text(14, 14, "P").number(16, 17, 1).number(18, 22, a.branch).text(23, 23, branch_check_digit(a));
  r.number(24, 35, a.bank == Bank::caixa ? a.payee_code : a.account).text(36, 36, account_check_digit(a));
  r.text(38, 57, s.number.digits + s.number.check);
  // Simple collection (1), registered (1), traditional document (1), issued
  // and sent by the company (2, 2).
  r.number(58, 58, 1).number(59, 59, 1).text(60, 60, "1").number(61, 61, 2).text(62, 62, "2");
  r.text(63, 77, ascii(d.document_number)).number(78, 85, date8(d.due_date)).number(86, 100, cents(s.amount));
  r.number(101, 105, 0).text(106, 106, " ").number(107, 108, kind_code(s, RemittanceLayout::cnab240));
  r.text(109, 109, acceptance_letter(s.profile)).number(110, 117, date8(d.document_date));
  // Interest: 1 = a value a day, from the day after the due date.
  r.number(118, 118, 1).number(119, 126, date8(Date::from_days_since_epoch(d.due_date.days_since_epoch() + 1)));
  r.number(127, 141, daily_charge_cents(s.amount)).number(142, 142, 0).number(143, 195, 0);
  r.text(196, 220, ascii(d.control_number));
  const std::string days = two_digits(a.label, "DIASPROTESTO", d.protest_days);
  r.number(221, 221, days == "00" ? 3 : 1).number(222, 223, days).number(224, 224, 1).number(225, 227, 90);
  r.number(228, 229, 9).number(230, 239, 0);
  return r.line();
}

std::string segment_q(const Slip& s, std::size_t in_batch) {
  const DocumentData& d = s.document;
  const std::string tax = digits_of(d.payer_tax_id);
  const std::string zip = zero_pad(digits_of(d.payer_zip), 8);
  FixedRecord r(240);
  r.number(1, 3, bank_code(s.account.bank)).number(4, 7, 1).number(8, 8, 3).number(9, 13, static_cast<long long>(in_batch));
  r.text(14, 14, "Q").number(16, 17, 1).number(18, 18, tax_kind(tax)).number(19, 33, tax);
  r.text(34, 73, ascii(d.payer_name)).text(74, 113, ascii(d.payer_address)).text(114, 128, ascii(d.payer_district));
  r.number(129, 133, zip.substr(0, 5)).number(134, 136, zip.substr(5, 3)).text(137, 151, ascii(d.payer_city));
  r.text(152, 153, ascii(d.payer_state)).number(154, 154, 0).number(155, 169, 0).number(210, 212, 0);
  return r.line();
}

std::string batch_trailer240(const Slip& s, std::size_t records, std::size_t slips, long long total) {
  FixedRecord r(240);
  r.number(1, 3, bank_code(s.account.bank)).number(4, 7, 1).number(8, 8, 5);
  r.number(18, 23, static_cast<long long>(records)).number(24, 29, static_cast<long long>(slips)).number(30, 46, total);
  return r.number(47, 115, 0).line();
}

std::string file_trailer240(const Slip& s, std::size_t lines) {
  FixedRecord r(240);
  r.number(1, 3, bank_code(s.account.bank)).number(4, 7, 9999).number(8, 8, 9);
  return r.number(18, 23, 1).number(24, 29, static_cast<long long>(lines)).number(30, 35, 0).line();
}

// ---- reading an existing file ------------------------------------------------

std::vector<std::string> lines_of(std::string_view content, std::size_t width, const std::string& label) {
  std::vector<std::string> lines;
  while (!content.empty()) {
    const std::size_t end = content.find(kCrlf);
    if (end == std::string_view::npos) fail(label, "ARQUIVOREMESSA", "o arquivo de remessa existente termina sem CRLF");
    if (end != width)
      fail(label, "ARQUIVOREMESSA",
           "o arquivo de remessa existente tem uma linha de " + std::to_string(end) + " caracteres, e não de " +
               std::to_string(width));
    lines.emplace_back(content.substr(0, end));
    content.remove_prefix(end + 2);
  }
  return lines;
}

std::string join(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out.append(l).append(kCrlf);
  return out;
}

std::string content400(std::string_view existing, const std::vector<Slip>& slips, const Date& today) {
  const Slip& first = slips.front();
  std::vector<std::string> lines = lines_of(existing, 400, first.account.label);
  if (lines.empty()) {
    lines.push_back(header400(first, today));
  } else {
    if (lines.size() < 2 || lines.front().substr(0, 9) != "01REMESSA" || lines.back()[0] != '9' ||
        lines.front().substr(76, 3) != bank_code(first.account.bank))
      fail(first.account.label, "ARQUIVOREMESSA", "o arquivo existente não é uma remessa CNAB 400 deste banco");
    lines.pop_back();
  }
  for (const Slip& s : slips) lines.push_back(detail400(s, lines.size() + 1));
  lines.push_back(trailer400(lines.size() + 1));
  return join(lines);
}

std::string content240(std::string_view existing, const std::vector<Slip>& slips, const Date& today) {
  const Slip& first = slips.front();
  std::vector<std::string> lines = lines_of(existing, 240, first.account.label);
  const std::string bank = bank_code(first.account.bank);
  if (lines.empty()) {
    lines.push_back(file_header240(first, today));
    lines.push_back(batch_header240(first, today));
  } else {
    const bool shaped = lines.size() >= 4 && lines[0].substr(0, 3) == bank && lines[0][7] == '0' &&
                        lines[1][7] == '1' && lines[lines.size() - 2][7] == '5' && lines.back()[7] == '9';
    if (!shaped)
      fail(first.account.label, "ARQUIVOREMESSA", "o arquivo existente não é uma remessa CNAB 240 deste banco");
    lines.resize(lines.size() - 2);
  }
  for (const Slip& s : slips) {
    const std::size_t in_batch = lines.size() - 1;  // details so far + 1
    lines.push_back(segment_p(s, in_batch));
    lines.push_back(segment_q(s, in_batch + 1));
  }
  std::size_t count = 0;
  long long total = 0;
  for (std::size_t i = 2; i < lines.size(); ++i)
    if (lines[i][13] == 'P') {
      ++count;
      total += std::stoll(lines[i].substr(85, 15));
    }
  lines.push_back(batch_trailer240(first, lines.size() - 1 + 1, count, total));
  lines.push_back(file_trailer240(first, lines.size() + 1));
  return join(lines);
}

}  // namespace

std::string remittance_text(std::string_view utf8) {
  static const std::pair<std::string_view, char> folds[] = {
      {"á", 'A'}, {"à", 'A'}, {"â", 'A'}, {"ã", 'A'}, {"ä", 'A'}, {"Á", 'A'}, {"À", 'A'}, {"Â", 'A'},
      {"Ã", 'A'}, {"Ä", 'A'}, {"é", 'E'}, {"è", 'E'}, {"ê", 'E'}, {"ë", 'E'}, {"É", 'E'}, {"È", 'E'},
      {"Ê", 'E'}, {"Ë", 'E'}, {"í", 'I'}, {"ì", 'I'}, {"î", 'I'}, {"ï", 'I'}, {"Í", 'I'}, {"Ì", 'I'},
      {"Î", 'I'}, {"Ï", 'I'}, {"ó", 'O'}, {"ò", 'O'}, {"ô", 'O'}, {"õ", 'O'}, {"ö", 'O'}, {"Ó", 'O'},
      {"Ò", 'O'}, {"Ô", 'O'}, {"Õ", 'O'}, {"Ö", 'O'}, {"ú", 'U'}, {"ù", 'U'}, {"û", 'U'}, {"ü", 'U'},
      {"Ú", 'U'}, {"Ù", 'U'}, {"Û", 'U'}, {"Ü", 'U'}, {"ç", 'C'}, {"Ç", 'C'}, {"ñ", 'N'}, {"Ñ", 'N'},
      {"º", 'O'}, {"ª", 'A'}};
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += (c >= 0x20 && c < 0x7f) ? static_cast<char>(std::toupper(c)) : ' ';
      ++i;
      continue;
    }
    std::size_t len = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : 2;
    char folded = ' ';
    for (const auto& [from, to] : folds)
      if (utf8.substr(i, from.size()) == from) {
        folded = to;
        len = from.size();
        break;
      }
    out += folded;
    i += len;
  }
  return out;
}

RemittanceLayout remittance_layout(const Slip& slip, std::string_view layout) {
  std::string name;
  for (char c : layout)
    if (c != ' ' && c != '_' && c != '-') name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const Bank bank = slip.account.bank;
  if (name == "CNAB400" && bank != Bank::caixa) return RemittanceLayout::cnab400;
  if (name == "CNAB240" && (bank == Bank::caixa || bank == Bank::banco_do_brasil)) return RemittanceLayout::cnab240;
  fail(slip.account.label, "ARQUIVOREMESSA.LAYOUT",
       "o layout \"" + std::string(layout) + "\" não existe para o banco " + bank_code(bank) + " (" + bank_name(bank) + ")");
}

std::string remittance_content(std::string_view existing, RemittanceLayout layout, const std::vector<Slip>& slips,
                               const Date& today) {
  if (slips.empty()) return std::string(existing);
  try {
    return layout == RemittanceLayout::cnab400 ? content400(existing, slips, today)
                                               : content240(existing, slips, today);
  } catch (const std::length_error& e) {
    fail(slips.front().account.label, "ARQUIVOREMESSA", e.what());
  }
}

void add_to_remittance(const std::filesystem::path& folder, std::string_view name, RemittanceLayout layout,
                       const std::vector<Slip>& slips, const Date& today) {
  const std::string label = slips.empty() ? std::string() : slips.front().account.label;
  if (trim(name).empty()) fail(label, "ARQUIVOREMESSA.ARQUIVO", "o nome do arquivo de remessa está vazio");
  const std::filesystem::path path = folder / std::string(trim(name));
  std::string existing;
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fail(label, "ARQUIVOREMESSA", "o arquivo " + path.string() + " não pôde ser lido");
    std::ostringstream text;
    text << in.rdbuf();
    existing = text.str();
  }
  const std::string content = remittance_content(existing, layout, slips, today);

  const std::filesystem::path temp = path.string() + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      out.close();
      std::filesystem::remove(temp, ec);
      fail(label, "ARQUIVOREMESSA", "o arquivo " + temp.string() + " não pôde ser gravado");
    }
  }
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    fail(label, "ARQUIVOREMESSA", "o arquivo " + path.string() + " não pôde ser substituído");
  }
}

}  // namespace tarvo::component
