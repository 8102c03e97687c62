#include "component/account_profile.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "runtime/runtime_error.h"
#include "tests/component/failure.h"
#include "tests/support/test_support.h"

namespace tarvo::component {
namespace {

constexpr const char* kProfile = R"(# contas da empresa
[0810/53678]
banco = 341
carteira = 175
cedente = Papelaria Tarvo Ltda
cpf_cnpj = 11.222.333/0001-81
endereco = Rua das Flores, 10 - São Paulo - SP

[1584-9 / 210169-6]
banco = 001
carteira = 18
convenio = 1234567
variacao = 019
cedente = Outra
cpf_cnpj = 123.456.789-09
endereco = Rua B
especie = DS
aceite = S
)";

std::string failure(const ProfileFile& f, std::string_view branch, std::string_view account) {
  try {
    profile_from(f, "contas.conf", branch, account);
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.gencode, 1001);
    return e.description;
  }
  return "no failure";
}

TEST(AccountProfile, SectionsMatchByDigits) {
  const ProfileFile f = ProfileFile::parse(kProfile);
  const AccountProfile itau = profile_from(f, "contas.conf", "810", "053678");
  EXPECT_EQ(itau.bank, "341");
  EXPECT_EQ(itau.payee_address, "Rua das Flores, 10 - São Paulo - SP");
  EXPECT_EQ(itau.document_kind, "DM");
  EXPECT_EQ(itau.acceptance, "N");
  // Check digits after a hyphen are not part of the numbers, on either side.
  const AccountProfile bb = profile_from(f, "contas.conf", "1584", "210169");
  EXPECT_EQ(profile_from(f, "contas.conf", "1584-9", "0210169-6").agreement, "1234567");
  EXPECT_NE(failure(f, "15849", "2101696").find("15849/2101696"), std::string::npos);
  EXPECT_EQ(bb.agreement, "1234567");
  EXPECT_EQ(bb.variation, "019");
  EXPECT_EQ(bb.document_kind, "DS");
  EXPECT_EQ(bb.acceptance, "S");
}

TEST(AccountProfile, MissingSectionOrFieldNamesAccountAndField) {
  const ProfileFile f = ProfileFile::parse(kProfile);
  const std::string no_section = failure(f, "0810", "99999");
  EXPECT_NE(no_section.find("0810/99999"), std::string::npos) << no_section;
  const ProfileFile no_wallet = ProfileFile::parse("[1/2]\nbanco=237\ncedente=x\ncpf_cnpj=1\nendereco=y\n");
  const std::string wallet = failure(no_wallet, "1", "2");
  EXPECT_NE(wallet.find("carteira"), std::string::npos) << wallet;
  EXPECT_NE(wallet.find("1/2"), std::string::npos) << wallet;
  const ProfileFile bb = ProfileFile::parse("[1/2]\nbanco=001\ncarteira=18\ncedente=x\ncpf_cnpj=1\nendereco=y\n");
  EXPECT_NE(failure(bb, "1", "2").find("convenio"), std::string::npos);
  const ProfileFile bb7 =
      ProfileFile::parse("[1/2]\nbanco=001\ncarteira=18\nconvenio=1234567\ncedente=x\ncpf_cnpj=1\nendereco=y\n");
  EXPECT_NE(failure(bb7, "1", "2").find("variacao"), std::string::npos);
  const ProfileFile other = ProfileFile::parse("[1/2]\nbanco=033\n");
  EXPECT_NE(failure(other, "1", "2").find("banco"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::component
