#include "component/remittance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

#include "runtime/runtime_error.h"
#include "slip_fixtures.h"
#include "tests/component/environment.h"
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

// 1-based positions from..to of a line, as the layouts give them.
std::string at(const std::string& line, std::size_t from, std::size_t to) { return line.substr(from - 1, to - from + 1); }

Slip slip(const AccountData& a, const AccountProfile& p, double amount = 135.0, std::size_t index = 0) {
  return build_slip(a, p, document(amount), index);
}

Slip itau_slip(double amount = 135.0, std::size_t index = 0) {
  return slip(test::itau_account(), test::itau_profile(), amount, index);
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

Slip bradesco_slip(std::string_view instruction = "06", std::string_view days = "05", std::size_t index = 0) {
  AccountData a = test::itau_account();
  a.branch = "1234-3";
  a.account = "0403005-2";
  AccountProfile p = test::itau_profile();
  p.bank = "237";
  p.wallet = "09";
  DocumentData d = document();
  d.instruction3 = instruction;
  d.protest_days = days;
  return build_slip(a, p, d, index);
}

Slip banco_do_brasil_slip() {
  AccountData a = test::itau_account();
  a.branch = "1584";
  a.account = "210169";
  a.last_used_number = 41.0;
  AccountProfile p = test::itau_profile();
  p.bank = "001";
  p.wallet = "18";
  p.agreement = "1234567";
  p.variation = "027";
  return slip(a, p);
}

// Each test keeps its file sequence counters in a state folder of its own.
class Remittance : public ::testing::Test {
 protected:
  void SetUp() override { test::set_env(test::kStateVariable, state_.path()); }
  void TearDown() override { test::unset_env(test::kStateVariable); }

  static void add(const std::filesystem::path& folder, std::string_view name, RemittanceLayout layout,
                  const std::vector<Slip>& slips, const Date& today = ymd(2008, 1, 21)) {
    PendingRemittance(folder, name, layout, slips, today).commit();
  }
  std::vector<std::string> lines_of(const std::filesystem::path& file) const {
    return split_crlf(tarvo::test::read_file(file));
  }

  tarvo::test::TempDir dir_, state_;
};

TEST_F(Remittance, Cnab400KeepsOneHeaderAndTrailerAcrossAdditions) {
  add(dir_.path(), "REM0101.TXT", RemittanceLayout::cnab400, {itau_slip(135.0, 0)}, ymd(2008, 1, 21));
  add(dir_.path(), " REM0101.TXT ", RemittanceLayout::cnab400, {itau_slip(1.005, 1)}, ymd(2008, 1, 22));
  const auto lines = lines_of(dir_.path() / "REM0101.TXT");
  ASSERT_EQ(lines.size(), 4u);
  expect_plain_upper_ascii(lines, 400);
  EXPECT_EQ(lines[0].substr(0, 26), "01REMESSA01COBRANCA       ");
  EXPECT_EQ(at(lines[0], 95, 100), "210108");  // the first file's date stays
  EXPECT_EQ(std::string() + lines[1][0] + lines[2][0] + lines[3][0], "119");
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(std::stoi(at(lines[i], 395, 400)), static_cast<int>(i + 1));
  // Itaú detail: nosso número, wallet, amount (1.005 rounded as the slip
  // shows it), payer without accents.
  EXPECT_EQ(at(lines[1], 63, 70), "00258281");
  EXPECT_EQ(at(lines[2], 63, 70), "00258282");
  EXPECT_EQ(at(lines[1], 84, 86), "175");
  EXPECT_EQ(at(lines[1], 127, 139), "0000000013500");
  EXPECT_EQ(at(lines[2], 127, 139), "0000000000101");
  EXPECT_EQ(at(lines[1], 235, 252), "JOSE DA CONCEICAO ");
  EXPECT_EQ(at(lines[1], 335, 343), "SAO PAULO");
}

TEST_F(Remittance, Cnab240OfCaixaCountsAndPlacesTheBeneficiaryWhereSigcbDoes) {
  add(dir_.path(), "CX.REM", RemittanceLayout::cnab240, {caixa_slip(100.0)}, ymd(2025, 2, 1));
  add(dir_.path(), "CX.REM", RemittanceLayout::cnab240, {caixa_slip(50.25, 1)}, ymd(2025, 2, 1));
  const auto lines = lines_of(dir_.path() / "CX.REM");
  ASSERT_EQ(lines.size(), 8u);
  expect_plain_upper_ascii(lines, 240);
  const char kinds[] = {'0', '1', '3', '3', '3', '3', '5', '9'};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].substr(0, 3), "104");
    EXPECT_EQ(lines[i][7], kinds[i]) << i;
  }
  EXPECT_EQ(std::string() + lines[2][13] + lines[3][13] + lines[4][13] + lines[5][13], "PQPQ");
  for (std::size_t i = 2; i < 6; ++i) EXPECT_EQ(at(lines[i], 9, 13), "0000" + std::to_string(i - 1));
  EXPECT_EQ(at(lines[6], 18, 23), "000006");               // batch: header, 4 details, trailer
  EXPECT_EQ(at(lines[6], 24, 29), "000002");               // two slips
  EXPECT_EQ(at(lines[6], 30, 46), "00000000000015025");    // 150.25 in cents
  EXPECT_EQ(at(lines[7], 18, 29), "000001000008");         // one batch, eight lines
  // The beneficiary code 005507 and the nosso número where SIGCB has them.
  EXPECT_EQ(at(lines[0], 33, 52), std::string(20, '0'));
  EXPECT_EQ(at(lines[0], 53, 57), "01234");
  EXPECT_EQ(at(lines[0], 59, 64), "005507");
  EXPECT_EQ(at(lines[1], 34, 39), "005507");
  EXPECT_EQ(at(lines[1], 60, 65), "005507");
  EXPECT_EQ(at(lines[2], 24, 29), "005507");
  EXPECT_EQ(at(lines[2], 30, 40), std::string(11, '0'));
  EXPECT_EQ(at(lines[2], 41, 42), "14");
  EXPECT_EQ(at(lines[2], 43, 57), "000000000258281");
}

TEST_F(Remittance, TheFileSequenceAdvancesWithEachNewFileOfAnAccountAndLayout) {
  add(dir_.path(), "A.REM", RemittanceLayout::cnab400, {bradesco_slip()});
  add(dir_.path(), "A.REM", RemittanceLayout::cnab400, {bradesco_slip("06", "05", 1)});
  add(dir_.path(), "B.REM", RemittanceLayout::cnab400, {bradesco_slip("06", "05", 2)});
  std::filesystem::remove(dir_.path() / "A.REM");  // sent to the bank
  add(dir_.path(), "A.REM", RemittanceLayout::cnab400, {bradesco_slip("06", "05", 3)});
  add(dir_.path(), "C.REM", RemittanceLayout::cnab240, {caixa_slip(1.0)});
  EXPECT_EQ(at(lines_of(dir_.path() / "B.REM")[0], 111, 117), "0000002");
  EXPECT_EQ(at(lines_of(dir_.path() / "A.REM")[0], 111, 117), "0000003");
  const auto caixa = lines_of(dir_.path() / "C.REM");
  EXPECT_EQ(at(caixa[0], 158, 163), "000001");  // a counter of its own
  EXPECT_EQ(at(caixa[1], 184, 191), "00000001");
  const auto counter = state_.path() / "tarvousb" / "remessa-237-1234-0403005-cnab400.seq";
  EXPECT_EQ(tarvo::test::read_file(counter), "4\n");

  state_.write("tarvousb/remessa-237-1234-0403005-cnab400.seq", "quatro\n");
  const RuntimeError e = test::failure_in([&] { add(dir_.path(), "D.REM", RemittanceLayout::cnab400, {bradesco_slip()}); });
  EXPECT_NE(e.description.find(counter.string()), std::string::npos) << e.description;
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "D.REM"));
}

TEST_F(Remittance, ProtestDaysGoWhereEachBankCarriesThem) {
  const auto detail = [](const Slip& s, RemittanceLayout layout = RemittanceLayout::cnab400) {
    return split_crlf(remittance_content("", "R", layout, {s}, ymd(2008, 1, 21), 1))[layout == RemittanceLayout::cnab400 ? 1 : 2];
  };
  // Bradesco: instruction 06 with the days as its second instruction; the
  // protest instruction stands in when none is sent.
  EXPECT_EQ(at(detail(bradesco_slip("06", "05")), 157, 160), "0605");
  EXPECT_EQ(at(detail(bradesco_slip("", "05")), 157, 160), "0605");
  EXPECT_EQ(at(detail(bradesco_slip("10", "")), 157, 160), "1000");
  const RuntimeError e = test::failure_in([&] { detail(bradesco_slip("10", "05")); });
  EXPECT_NE(e.description.find("DIASPROTESTO"), std::string::npos) << e.description;
  // Itaú: the days at 392-393, its protest instruction 09.
  Slip itau = itau_slip();
  itau.document.instruction3 = "";
  EXPECT_EQ(at(detail(itau), 157, 158) + at(detail(itau), 392, 393), "0905");
  // Banco do Brasil, CNAB 400 and 240.
  const Slip bb = banco_do_brasil_slip();
  EXPECT_EQ(at(detail(bb), 157, 160) + at(detail(bb), 392, 393), "060005");
  EXPECT_EQ(at(detail(bb, RemittanceLayout::cnab240), 221, 223), "105");
  Slip no_protest = bb;
  no_protest.document.protest_days = "";
  EXPECT_EQ(at(detail(no_protest, RemittanceLayout::cnab240), 221, 223), "300");
}

TEST_F(Remittance, BancoDoBrasilCarriesItsWalletVariationInBothLayouts) {
  const Slip bb = banco_do_brasil_slip();
  const auto cnab400 = split_crlf(remittance_content("", "R", RemittanceLayout::cnab400, {bb}, ymd(2008, 1, 21), 5));
  ASSERT_EQ(cnab400.size(), 3u);
  expect_plain_upper_ascii(cnab400, 400);
  EXPECT_EQ(cnab400[1][0], '7');  // agreement of 7 digits: detail 7 with the 17-digit number
  EXPECT_EQ(at(cnab400[1], 64, 80), "12345670000000042");
  EXPECT_EQ(at(cnab400[1], 92, 94), "027");
  EXPECT_EQ(at(cnab400[0], 101, 107), "0000005");
  const auto cnab240 = split_crlf(remittance_content("", "R", RemittanceLayout::cnab240, {bb}, ymd(2008, 1, 21), 5));
  ASSERT_EQ(cnab240.size(), 6u);
  expect_plain_upper_ascii(cnab240, 240);
  EXPECT_EQ(at(cnab240[0], 33, 52), "001234567001418027  ");
  EXPECT_EQ(at(cnab240[1], 34, 53), "001234567001418027  ");
  EXPECT_EQ(at(cnab240[0], 158, 163), "000005");
}

TEST_F(Remittance, AnExistingFileIsUntrustedInputNamedByLineAndField) {
  const auto failure_on = [](std::string_view existing, const Slip& s, RemittanceLayout layout) {
    return test::failure_in([&] { remittance_content(existing, "/x/R.REM", layout, {s}, ymd(2025, 2, 1), 1); })
        .description;
  };
  const std::string itau = remittance_content("", "R", RemittanceLayout::cnab400, {itau_slip()}, ymd(2008, 1, 21), 1);
  std::string bad_sequence = itau;
  bad_sequence.replace(402 + 394, 6, "00A002");
  std::string message = failure_on(bad_sequence, itau_slip(), RemittanceLayout::cnab400);
  EXPECT_NE(message.find("/x/R.REM, linha 2, campo número sequencial do registro"), std::string::npos) << message;
  message = failure_on(itau, bradesco_slip(), RemittanceLayout::cnab400);
  EXPECT_NE(message.find("outro banco"), std::string::npos) << message;
  Slip other_account = itau_slip();
  other_account.account.account = "53679";
  message = failure_on(itau, other_account, RemittanceLayout::cnab400);
  EXPECT_NE(message.find("outra conta"), std::string::npos) << message;
  std::string unix_lines = itau;
  unix_lines.erase(400, 1);
  EXPECT_NE(failure_on(unix_lines, itau_slip(), RemittanceLayout::cnab400).find("linha 1"), std::string::npos);
  // Kept lines go to the bank as they are: damaged bytes in a field nobody
  // reads are refused all the same.
  std::string damaged = itau;
  damaged[402 + 150] = '\0';
  message = failure_on(damaged, itau_slip(), RemittanceLayout::cnab400);
  EXPECT_NE(message.find("linha 2, campo conteúdo da linha: a posição 151 tem o byte 0"), std::string::npos) << message;
  damaged = itau;
  damaged[402 + 250] = '\xC9';
  EXPECT_NE(failure_on(damaged, itau_slip(), RemittanceLayout::cnab400).find("posição 251 tem o byte 201"),
            std::string::npos);

  const std::string caixa = remittance_content("", "R", RemittanceLayout::cnab240, {caixa_slip(1.0)}, ymd(2025, 2, 1), 1);
  std::string bad_amount = caixa;
  bad_amount.replace(2 * 242 + 85, 3, "1A2");
  message = failure_on(bad_amount, caixa_slip(1.0), RemittanceLayout::cnab240);
  EXPECT_NE(message.find("/x/R.REM, linha 3, campo valor do título"), std::string::npos) << message;

  // 9,300 slips of the largest amount the field holds: the batch total does
  // not fit its 17 digits, which is said before anything is written.
  std::vector<std::string> lines = split_crlf(caixa);
  const std::string p = lines[2], q = lines[3];
  lines.resize(2);
  for (int i = 0; i < 9300; ++i) {
    std::string big = p;
    big.replace(85, 15, "999999999999999");
    big.replace(8, 5, std::to_string(100000 + 2 * i + 1).substr(1));
    lines.push_back(big);
    lines.push_back(q);
    lines.back().replace(8, 5, std::to_string(100000 + 2 * i + 2).substr(1));
  }
  lines.push_back(split_crlf(caixa)[4]);
  lines.push_back(split_crlf(caixa)[5]);
  std::string huge;
  for (const auto& l : lines) huge += l + "\r\n";
  message = failure_on(huge, caixa_slip(1.0), RemittanceLayout::cnab240);
  EXPECT_NE(message.find("valor total do lote"), std::string::npos) << message;
}

TEST_F(Remittance, AFailureLeavesTheEarlierFileAsItWas) {
  const Slip good = itau_slip();
  add(dir_.path(), "R.TXT", RemittanceLayout::cnab400, {good});
  const std::string before = tarvo::test::read_file(dir_.path() / "R.TXT");

  // A second slip whose protest days do not fit its field fails while the
  // new content is built.
  Slip bad = itau_slip(10.0, 1);
  bad.document.protest_days = "120";
  {
    const RuntimeError e = test::failure_in([&] { add(dir_.path(), "R.TXT", RemittanceLayout::cnab400, {good, bad}); });
    EXPECT_EQ(e.gencode, 1001);
    EXPECT_NE(e.description.find("DIASPROTESTO"), std::string::npos) << e.description;
  }
  EXPECT_EQ(tarvo::test::read_file(dir_.path() / "R.TXT"), before);

  // A file that is not a remittance of this layout is left alone.
  dir_.write("OUTRO.TXT", "cabecalho qualquer\r\n");
  EXPECT_THROW(add(dir_.path(), "OUTRO.TXT", RemittanceLayout::cnab400, {good}), RuntimeError);
  EXPECT_EQ(tarvo::test::read_file(dir_.path() / "OUTRO.TXT"), "cabecalho qualquer\r\n");
  // A folder that does not exist: no file anywhere, a failure that names it.
  {
    const RuntimeError e =
        test::failure_in([&] { add(dir_.path() / "nao-existe", "R.TXT", RemittanceLayout::cnab400, {good}); });
    EXPECT_NE(e.description.find("nao-existe"), std::string::npos) << e.description;
  }
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.path())) ++files;
  EXPECT_EQ(files, 2u);  // no temporary or lock file left behind
}

// Runs adding slips to one file at the same time take turns: every slip lands.
TEST_F(Remittance, ConcurrentAdditionsKeepEverySlip) {
  constexpr int kRuns = 4, kSlips = 10;
  std::vector<std::thread> runs;
  for (int r = 0; r < kRuns; ++r)
    runs.emplace_back([&, r] {
      for (int i = 0; i < kSlips; ++i)
        add(dir_.path(), "JUNTOS.REM", RemittanceLayout::cnab400, {itau_slip(1.0, static_cast<std::size_t>(r * kSlips + i))});
    });
  for (auto& run : runs) run.join();
  const auto lines = lines_of(dir_.path() / "JUNTOS.REM");
  ASSERT_EQ(lines.size(), kRuns * kSlips + 2u);
  std::set<std::string> numbers;
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) numbers.insert(at(lines[i], 63, 70));
  EXPECT_EQ(numbers.size(), static_cast<std::size_t>(kRuns * kSlips));
}

TEST_F(Remittance, LayoutMustBeOneTheBankHas) {
  const Slip itau = itau_slip();
  EXPECT_EQ(remittance_layout(itau, " cnab400 "), RemittanceLayout::cnab400);
  EXPECT_THROW(remittance_layout(itau, "CNAB240"), RuntimeError);
  EXPECT_THROW(remittance_layout(caixa_slip(1.0), "CNAB400"), RuntimeError);
  EXPECT_EQ(remittance_layout(caixa_slip(1.0), "CNAB240"), RemittanceLayout::cnab240);
  EXPECT_THROW(remittance_layout(itau, "FEBRABAN"), RuntimeError);
}

}  // namespace
}  // namespace tarvo::component
