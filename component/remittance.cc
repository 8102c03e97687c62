#include "component/remittance.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "component/check_digits.h"
#include "component/component_error.h"
#include "component/remittance_records.h"
#include "runtime/text.h"

namespace tarvo::component {

namespace remittance {

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

std::string ascii(std::string_view cp1252) { return remittance_text(cp1252_to_utf8(cp1252)); }

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

std::int64_t daily_charge_cents(const Slip& s) { return (s.cents * 2 + 1500) / 3000; }

namespace {

std::string two_digits(const std::string& label, std::string_view field, std::string_view text) {
  const std::string d = digits_of(text);
  if (d.size() > 2) fail(label, field, "\"" + std::string(text) + "\" não cabe em 2 algarismos");
  return zero_pad(d, 2);
}

}  // namespace

std::string protest_days(const Slip& s) { return two_digits(s.account.label, "DIASPROTESTO", s.document.protest_days); }

std::string first_instruction(const Slip& s) {
  const std::string code = two_digits(s.account.label, "INSTRUCAOCOBRANCA3", s.document.instruction3);
  if (code != "00" || protest_days(s) == "00") return code;
  // The instruction that makes each bank read the protest days.
  return s.account.bank == Bank::itau ? "09" : "06";
}

ExistingFile::ExistingFile(std::string_view content, std::string file_name, std::size_t width,
                           std::string account_label)
    : name_(std::move(file_name)), label_(std::move(account_label)) {
  while (!content.empty()) {
    const std::size_t end = content.find("\r\n");
    const std::size_t line = lines_.size() + 1;
    if (end == std::string_view::npos) bad(line, "fim de linha", "a linha não termina em CRLF");
    if (end != width)
      bad(line, "tamanho da linha",
          "a linha tem " + std::to_string(end) + " caracteres, e não " + std::to_string(width) +
              ": não é uma remessa CNAB " + std::to_string(width));
    // Lines that are kept go to the bank as they are: a control character
    // or a byte beyond ASCII is a damaged file, not a remittance.
    const std::string_view text = content.substr(0, end);
    const auto odd = std::find_if(text.begin(), text.end(), [](char c) { return c < 0x20 || c > 0x7e; });
    if (odd != text.end())
      bad(line, "conteúdo da linha",
          "a posição " + std::to_string(odd - text.begin() + 1) + " tem o byte " +
              std::to_string(static_cast<unsigned char>(*odd)) + ", que um arquivo de remessa não tem");
    lines_.emplace_back(text);
    content.remove_prefix(end + 2);
  }
}

void ExistingFile::bad(std::size_t line, std::string_view field, std::string_view what) const {
  fail(label_, "ARQUIVOREMESSA",
       "o arquivo de remessa existente " + name_ + ", linha " + std::to_string(line) + ", campo " +
           std::string(field) + ": " + std::string(what));
}

std::int64_t ExistingFile::number(std::size_t line, std::size_t from, std::size_t to, std::string_view field) const {
  const std::string_view text = std::string_view(lines_.at(line - 1)).substr(from - 1, to - from + 1);
  std::int64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      bad(line, field,
          "\"" + ascii(text) + "\" (posições " + std::to_string(from) + " a " + std::to_string(to) +
              ") não é um número");
    n = n * 10 + (c - '0');  // at most 18 digits: no field is wider
  }
  return n;
}

void ExistingFile::expect(std::size_t line, std::size_t from, std::size_t to, std::string_view wanted,
                          std::string_view field, std::string_view meaning) const {
  const std::string_view text = std::string_view(lines_.at(line - 1)).substr(from - 1, to - from + 1);
  if (text != wanted)
    bad(line, field,
        "\"" + ascii(text) + "\" (posições " + std::to_string(from) + " a " + std::to_string(to) + "), e não \"" +
            std::string(wanted) + "\": " + std::string(meaning));
}

std::string join_lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out.append(l).append("\r\n");
  return out;
}

}  // namespace remittance

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

bool has_file_sequence(Bank bank, RemittanceLayout layout) {
  return layout == RemittanceLayout::cnab240 || bank != Bank::itau;
}

std::int64_t max_file_sequence(RemittanceLayout layout) {
  // CNAB 240: 6 digits in the file header; CNAB 400: 7 (Bradesco, Banco do Brasil).
  return layout == RemittanceLayout::cnab240 ? 999'999 : 9'999'999;
}

std::string remittance_content(std::string_view existing, const std::string& file_name, RemittanceLayout layout,
                               const std::vector<Slip>& slips, const Date& today, std::int64_t file_sequence) {
  if (slips.empty()) return std::string(existing);
  const std::string& label = slips.front().account.label;
  const bool cnab400 = layout == RemittanceLayout::cnab400;
  try {
    const remittance::ExistingFile file(existing, file_name, cnab400 ? 400 : 240, label);
    return cnab400 ? remittance::cnab400_content(file, slips, today, file_sequence)
                   : remittance::cnab240_content(file, slips, today, file_sequence);
  } catch (const std::length_error& e) {
    fail(label, "ARQUIVOREMESSA", e.what());
  }
}

// ---- PendingRemittance -------------------------------------------------------

namespace {

std::string read_whole(const std::filesystem::path& path, const std::string& label) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (in) text << in.rdbuf();
  if (!in || in.bad()) fail(label, "ARQUIVOREMESSA", "o arquivo de remessa " + path.string() + " não pôde ser lido");
  return text.str();
}

std::string slips_named(const std::vector<Slip>& slips) {
  std::string out;
  for (const Slip& s : slips) {
    if (!out.empty()) out += ", ";
    out += cp1252_to_utf8(std::string(trim(s.document.document_number))) + " (nosso número " + s.number.printed + ")";
  }
  return (slips.size() == 1 ? "o boleto " : "os boletos ") + out;
}

std::string counter_name(const BankAccount& a, RemittanceLayout layout) {
  return "remessa-" + bank_code(a.bank) + "-" + a.branch + "-" + a.account +
         (layout == RemittanceLayout::cnab400 ? "-cnab400" : "-cnab240") + ".seq";
}

}  // namespace

PendingRemittance::PendingRemittance(const std::filesystem::path& folder, std::string_view name,
                                     RemittanceLayout layout, const std::vector<Slip>& slips, const Date& today)
    : label_(slips.empty() ? std::string() : slips.front().account.label),
      printed_slips_(slips_named(slips)),
      path_(folder / path_from_utf8(trim(name))) {
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec))
    fail(label_, "ARQUIVOREMESSA.DIRETORIO", "a pasta " + folder.string() + " do arquivo de remessa não existe");
  try {
    lock_.emplace(with_suffix(path_, ".lock"));
  } catch (const std::system_error& e) {
    fail(label_, "ARQUIVOREMESSA.DIRETORIO",
         "o arquivo de remessa não pode ser gravado na pasta " + folder.string() + ": " + describe(e.code()));
  }
  std::string existing;
  if (std::filesystem::exists(std::filesystem::symlink_status(path_, ec))) {
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path_, ec)))
      fail(label_, "ARQUIVOREMESSA.ARQUIVO", path_.string() + " existe e não é um arquivo comum");
    existing = read_whole(path_, label_);
  }
  std::int64_t file_sequence = 0;
  if (existing.empty() && !slips.empty() && has_file_sequence(slips.front().account.bank, layout)) {
    sequence_.emplace(label_, counter_name(slips.front().account, layout), max_file_sequence(layout));
    file_sequence = sequence_->next();
  }
  content_ = remittance_content(existing, path_.string(), layout, slips, today, file_sequence);
  // The new file is written beside the old one before it takes its name.
  const auto space = std::filesystem::space(folder, ec);
  const std::uintmax_t needed = content_.size() + 64 * 1024;
  if (!ec && space.available < needed)
    fail(label_, "ARQUIVOREMESSA.DIRETORIO",
         "não há espaço em disco na pasta " + folder.string() + " para o arquivo de remessa (" +
             std::to_string(content_.size()) + " bytes)");
}

void PendingRemittance::commit() {
  try {
    if (sequence_) sequence_->advance();
    replace_file(path_, content_);
  } catch (const std::system_error& e) {
    fail(label_, "ARQUIVOREMESSA",
         printed_slips_ + (printed_slips_.starts_with("os ") ? " foram impressos, mas não foram incluídos"
                                                             : " foi impresso, mas não foi incluído") +
             " no arquivo de remessa " + path_.string() + ": " + describe(e.code()));
  }
  sequence_.reset();
  lock_.reset();
}

}  // namespace tarvo::component
