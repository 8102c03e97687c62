#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::component {

// What the slip does not send about its account: the bank, the wallet, the
// agreement, the payee's name, tax number and address, document kind and
// acceptance. Kept in a plain text file of sections, one per account:
//
//   [0810/53678]          branch/account, check digits ("-7") optional
//   banco    = 341
//   carteira = 175
//   cedente  = Nome do beneficiário
//   ...
//
// Texts are UTF-8. Lines starting with "#" or ";" are comments.
struct AccountProfile {
  std::string bank;        // banco: 001, 104, 237 or 341
  std::string wallet;      // carteira
  std::string agreement;   // convenio (Banco do Brasil)
  std::string variation;   // variacao: Banco do Brasil's wallet variation
  std::string payee_name;  // cedente
  std::string payee_tax_id;  // cpf_cnpj
  std::string payee_address; // endereco
  std::string document_kind = "DM";  // especie
  std::string acceptance = "N";      // aceite
};

// The profile file's sections as read, keys in lower case.
class ProfileFile {
 public:
  struct Section {
    std::string name;                           // as written between brackets
    std::map<std::string, std::string> values;  // key -> value, trimmed
  };

  // Reads the file; a file that cannot be read gives nullopt.
  static std::optional<ProfileFile> load(const std::filesystem::path& path);
  static ProfileFile parse(std::string_view text);

  // The section of the account: its name holds the branch and the account,
  // separated by "/" (or blanks), compared by their digits without a check
  // digit after a hyphen, punctuation and leading zeros ignored: the
  // section [1584-9/210169-6] is branch 1584 and account 210169, however
  // the slips write them. nullptr when none matches.
  const Section* find(std::string_view branch, std::string_view account) const;

 private:
  std::vector<Section> sections_;
};

// Where the profile is read, by the platform's rules
// (account_profile_<platform>.cc). On Linux: $TARVOUSB_CONTAS; else the
// user's ($XDG_CONFIG_HOME or ~/.config)/tarvousb/contas.conf when it
// exists; else /etc/tarvousb/contas.conf.
std::filesystem::path profile_path();

// The profile of one account. A missing file, section or field is a
// component failure naming the account and the field.
AccountProfile load_profile(std::string_view branch, std::string_view account);
AccountProfile profile_from(const ProfileFile& file, const std::filesystem::path& path,
                            std::string_view branch, std::string_view account);

}  // namespace tarvo::component
