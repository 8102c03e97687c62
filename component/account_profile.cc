#include "component/account_profile.h"

#include <fstream>
#include <sstream>

#include "component/banks.h"
#include "component/check_digits.h"
#include "component/component_error.h"
#include "runtime/text.h"

namespace tarvo::component {

namespace {

std::string significant_digits(std::string_view text) {
  std::string d = split_check_digit(text).digits;
  const std::size_t lead = d.find_first_not_of('0');
  return lead == std::string::npos ? std::string("0") : d.substr(lead);
}

std::string account_label(std::string_view branch, std::string_view account) {
  return std::string(trim(branch)) + "/" + std::string(trim(account));
}

}  // namespace

ProfileFile ProfileFile::parse(std::string_view text) {
  ProfileFile file;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    std::string_view line = trim(text.substr(0, eol));
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    if (!line.empty() && line.back() == '\r') line = trim(line.substr(0, line.size() - 1));
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      file.sections_.push_back({std::string(trim(line.substr(1, line.size() - 2))), {}});
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || file.sections_.empty()) continue;
    file.sections_.back().values[lower(trim(line.substr(0, eq)))] = std::string(trim(line.substr(eq + 1)));
  }
  return file;
}

std::optional<ProfileFile> ProfileFile::load(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return parse(text.str());
}

const ProfileFile::Section* ProfileFile::find(std::string_view branch, std::string_view account) const {
  const std::string want_branch = significant_digits(branch), want_account = significant_digits(account);
  for (const Section& s : sections_) {
    std::string_view name = s.name;
    const std::size_t slash = name.find('/');
    const std::size_t cut = slash != std::string_view::npos ? slash : name.find_first_of(" \t");
    if (cut == std::string_view::npos) continue;
    if (significant_digits(name.substr(0, cut)) == want_branch &&
        significant_digits(name.substr(cut + 1)) == want_account)
      return &s;
  }
  return nullptr;
}

AccountProfile profile_from(const ProfileFile& file, const std::filesystem::path& path,
                            std::string_view branch, std::string_view account) {
  const std::string label = account_label(branch, account);
  const ProfileFile::Section* s = file.find(branch, account);
  if (!s) fail(label, "perfil da conta", "não há seção [" + label + "] em " + path.string());
  auto field = [&](const char* key, bool required) -> std::string {
    auto it = s->values.find(key);
    if (it == s->values.end() || it->second.empty()) {
      if (required) fail(label, key, "não informado no perfil " + path.string());
      return {};
    }
    return it->second;
  };
  AccountProfile p;
  p.bank = field("banco", true);
  Bank bank;
  if (!bank_from_code(p.bank, bank))
    fail(label, "banco", "o banco \"" + p.bank + "\" não é 001, 104, 237 nem 341");
  p.wallet = field("carteira", true);
  p.agreement = field("convenio", bank == Bank::banco_do_brasil);
  p.variation = field("variacao", bank == Bank::banco_do_brasil);
  p.payee_name = field("cedente", true);
  p.payee_tax_id = field("cpf_cnpj", true);
  p.payee_address = field("endereco", true);
  if (auto kind = field("especie", false); !kind.empty()) p.document_kind = kind;
  if (auto accept = field("aceite", false); !accept.empty()) p.acceptance = accept;
  return p;
}

AccountProfile load_profile(std::string_view branch, std::string_view account) {
  const std::filesystem::path path = profile_path();
  const auto file = ProfileFile::load(path);
  if (!file)
    fail(account_label(branch, account), "perfil de contas", "o arquivo " + path.string() + " não pôde ser lido");
  return profile_from(*file, path, branch, account);
}

}  // namespace tarvo::component
