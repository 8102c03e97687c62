// Writes one remittance file of each layout and bank into the folder given,
// for the independent reader of the layouts: two slips each, the second
// added to the file the first began, dated 21/01/2008, file number 7.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "component/remittance.h"
#include "slip_fixtures.h"

using namespace tarvo::component;

namespace {

struct Account {
  const char *name, *bank, *wallet, *agreement, *branch, *account, *payee_code;
  double last_used;
  RemittanceLayout layout;
};

void write(const std::filesystem::path& folder, const Account& a) {
  AccountData data = test::itau_account();
  data.branch = a.branch;
  data.account = a.account;
  data.payee_code = a.payee_code;
  data.last_used_number = a.last_used;
  AccountProfile profile = test::itau_profile();
  profile.bank = a.bank;
  profile.wallet = a.wallet;
  profile.agreement = a.agreement;
  if (profile.bank == std::string("001")) profile.variation = "027";
  const tarvo::Date today = test::ymd(2008, 1, 21);
  std::string content;
  for (std::size_t i = 0; i < 2; ++i) {
    const Slip slip = build_slip(data, profile, test::document(i == 0 ? 135.0 : 20.5), i);
    content = remittance_content(content, a.name, a.layout, {slip}, today, 7);
  }
  std::ofstream(folder / a.name, std::ios::binary) << content;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const Account accounts[] = {
      {"itau400.rem", "341", "175", "", "0810", "53678", "", 258280, RemittanceLayout::cnab400},
      {"bradesco400.rem", "237", "09", "", "1234", "0403005", "4567890", 20, RemittanceLayout::cnab400},
      {"bb400.rem", "001", "18", "1234567", "1584", "210169", "", 41, RemittanceLayout::cnab400},
      {"bb240.rem", "001", "18", "1234567", "1584", "210169", "", 41, RemittanceLayout::cnab240},
      {"caixa240.rem", "104", "RG", "", "1234", "1", "005507", 258280, RemittanceLayout::cnab240}};
  for (const Account& a : accounts) write(argv[1], a);
  return 0;
}
