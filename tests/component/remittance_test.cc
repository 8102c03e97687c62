#include "component/remittance.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "runtime/runtime_error.h"
#include "slip_fixtures.h"
#include "tests/component/failure.h"
#include "tests/support/test_support.h"

namespace tarvo::component {
namespace {

using test::document;
using test::ymd;

std::vector<std::string> split_crlf(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < content.size()) {
    const std::size_t end = content.find("\r\n", at);
    if (end == std::string::npos) {
      ADD_FAILURE() << "line without CRLF";
      break;
    }
    lines.push_back(content.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

void expect_plain_upper_ascii(const std::vector<std::string>& lines, std::size_t width) {
  for (const auto& l : lines) {
    EXPECT_EQ(l.size(), width);
    for (char c : l) {
      EXPECT_TRUE(c >= 0x20 && c < 0x7f && !(c >= 'a' && c <= 'z')) << "bad character in: " << l;
      if (!(c >= 0x20 && c < 0x7f)) break;
    }
  }
}

Slip slip(const AccountData& a, const AccountProfile& p, double amount = 135.0, std::size_t index = 0) {
  return build_slip(a, p, document(amount), index);
}

Slip caixa_slip(double amount, std::size_t index = 0) {
  AccountData a = test::itau_account();
  a.branch = "1234";
  a.account = "1";
  a.payee_code = "005507";
  AccountProfile p = test::itau_profile();
  p.bank = "104";
  p.wallet = "RG";
  DocumentData d = document(amount);
  d.due_date = ymd(2025, 3, 1);
  return build_slip(a, p, d, index);
}

TEST(Remittance, Cnab400KeepsOneHeaderAndTrailerAcrossAdditions) {
  tarvo::test::TempDir dir;
  const Slip first = slip(test::itau_account(), test::itau_profile(), 135.0, 0);
  const Slip second = slip(test::itau_account(), test::itau_profile(), 20.5, 1);
  add_to_remittance(dir.path(), "REM0101.TXT", RemittanceLayout::cnab400, {first}, ymd(2008, 1, 21));
  add_to_remittance(dir.path(), " REM0101.TXT ", RemittanceLayout::cnab400, {second}, ymd(2008, 1, 22));
  const auto lines = split_crlf(tarvo::test::read_file(dir.path() / "REM0101.TXT"));
  ASSERT_EQ(lines.size(), 4u);
  expect_plain_upper_ascii(lines, 400);
  EXPECT_EQ(lines[0].substr(0, 26), "01REMESSA01COBRANCA       ");
  EXPECT_EQ(lines[0].substr(94, 6), "210108");  // the first file's date stays
  EXPECT_EQ(lines[1][0], '1');
  EXPECT_EQ(lines[2][0], '1');
  EXPECT_EQ(lines[3][0], '9');
  for (std::size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(lines[i].substr(394, 6), std::string(5 - std::to_string(i + 1).size() + 1, '0') + std::to_string(i + 1));
  // Itaú detail: nosso número, wallet, amount, payer without accents.
  EXPECT_EQ(lines[1].substr(62, 8), "00258281");
  EXPECT_EQ(lines[2].substr(62, 8), "00258282");
  EXPECT_EQ(lines[1].substr(83, 3), "175");
  EXPECT_EQ(lines[1].substr(126, 13), "0000000013500");
  EXPECT_EQ(lines[1].substr(234, 18), "JOSE DA CONCEICAO ");
  EXPECT_EQ(lines[1].substr(334, 9), "SAO PAULO");
}

TEST(Remittance, Cnab240CountsSegmentsBatchAndFile) {
  tarvo::test::TempDir dir;
  add_to_remittance(dir.path(), "CX.REM", RemittanceLayout::cnab240, {caixa_slip(100.0)}, ymd(2025, 2, 1));
  add_to_remittance(dir.path(), "CX.REM", RemittanceLayout::cnab240, {caixa_slip(50.25, 1)}, ymd(2025, 2, 1));
  const auto lines = split_crlf(tarvo::test::read_file(dir.path() / "CX.REM"));
  ASSERT_EQ(lines.size(), 8u);
  expect_plain_upper_ascii(lines, 240);
  const char kinds[] = {'0', '1', '3', '3', '3', '3', '5', '9'};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].substr(0, 3), "104");
    EXPECT_EQ(lines[i][7], kinds[i]) << i;
  }
  EXPECT_EQ(std::string() + lines[2][13] + lines[3][13] + lines[4][13] + lines[5][13], "PQPQ");
  for (std::size_t i = 2; i < 6; ++i) EXPECT_EQ(lines[i].substr(8, 5), "0000" + std::to_string(i - 1));
  EXPECT_EQ(lines[6].substr(17, 6), "000006");                // batch: header, 4 details, trailer
  EXPECT_EQ(lines[6].substr(23, 6), "000002");                // two slips
  EXPECT_EQ(lines[6].substr(29, 17), "00000000000015025");   // 150.25 in cents
  EXPECT_EQ(lines[7].substr(17, 12), "000001000008");         // one batch, eight lines
  EXPECT_EQ(lines[2].substr(37, 18), "140000000002582819");  // 14 + 15 digits + check digit
}

TEST(Remittance, LayoutMustBeOneTheBankHas) {
  const Slip itau = slip(test::itau_account(), test::itau_profile());
  EXPECT_EQ(remittance_layout(itau, " cnab400 "), RemittanceLayout::cnab400);
  EXPECT_THROW(remittance_layout(itau, "CNAB240"), RuntimeError);
  EXPECT_THROW(remittance_layout(caixa_slip(1.0), "CNAB400"), RuntimeError);
  EXPECT_EQ(remittance_layout(caixa_slip(1.0), "CNAB240"), RemittanceLayout::cnab240);
  EXPECT_THROW(remittance_layout(itau, "FEBRABAN"), RuntimeError);
}

TEST(Remittance, FailureLeavesTheEarlierFileIntact) {
  tarvo::test::TempDir dir;
  const Slip good = slip(test::itau_account(), test::itau_profile());
  add_to_remittance(dir.path(), "R.TXT", RemittanceLayout::cnab400, {good}, ymd(2008, 1, 21));
  const std::string before = tarvo::test::read_file(dir.path() / "R.TXT");

  // A second slip whose protest days do not fit its field fails while the
  // new content is built.
  Slip bad = slip(test::itau_account(), test::itau_profile(), 10.0, 1);
  bad.document.protest_days = "120";
  {
    const RuntimeError e = test::failure_in([&] {
      add_to_remittance(dir.path(), "R.TXT", RemittanceLayout::cnab400, {good, bad},
                        ymd(2008, 1, 21));
    });
    EXPECT_EQ(e.gencode, 1001);
    EXPECT_NE(e.description.find("DIASPROTESTO"), std::string::npos) << e.description;
  }
  EXPECT_EQ(tarvo::test::read_file(dir.path() / "R.TXT"), before);

  // A file that is not a remittance of this layout is left alone.
  dir.write("OUTRO.TXT", "cabecalho qualquer\r\n");
  EXPECT_THROW(add_to_remittance(dir.path(), "OUTRO.TXT", RemittanceLayout::cnab400, {good}, ymd(2008, 1, 21)),
               RuntimeError);
  EXPECT_EQ(tarvo::test::read_file(dir.path() / "OUTRO.TXT"), "cabecalho qualquer\r\n");
  // A folder that does not exist: no file anywhere, a component failure.
  EXPECT_THROW(add_to_remittance(dir.path() / "nao-existe", "R.TXT", RemittanceLayout::cnab400, {good},
                                 ymd(2008, 1, 21)),
               RuntimeError);
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 2u);  // no temporary file left behind
}

TEST(Remittance, BancoDoBrasilWritesBothLayouts) {
  AccountData a = test::itau_account();
  a.branch = "1584";
  a.account = "210169";
  a.last_used_number = 41.0;
  AccountProfile p = test::itau_profile();
  p.bank = "001";
  p.wallet = "18";
  p.agreement = "1234567";
  const Slip bb = slip(a, p);
  const auto cnab400 = split_crlf(remittance_content("", RemittanceLayout::cnab400, {bb}, ymd(2008, 1, 21)));
  ASSERT_EQ(cnab400.size(), 3u);
  expect_plain_upper_ascii(cnab400, 400);
  EXPECT_EQ(cnab400[1][0], '7');  // agreement of 7 digits: detail 7 with the 17-digit number
  EXPECT_EQ(cnab400[1].substr(63, 17), "12345670000000042");
  const auto cnab240 = split_crlf(remittance_content("", RemittanceLayout::cnab240, {bb}, ymd(2008, 1, 21)));
  ASSERT_EQ(cnab240.size(), 6u);
  expect_plain_upper_ascii(cnab240, 240);
  EXPECT_EQ(cnab240[0].substr(32, 20), "001234567001418019  ");
}

}  // namespace
}  // namespace tarvo::component
