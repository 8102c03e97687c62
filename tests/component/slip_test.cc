#include "component/slip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <optional>

#include "component/bar_code.h"
#include "component/check_digits.h"
#include "runtime/runtime_error.h"
#include "bank_cases.h"
#include "failure.h"

namespace tarvo::component {
namespace {

Date ymd(int y, int m, int d) { return *Date::from_ymd(y, m, d); }

using test::BankCase;
using test::bank_cases;

class BankVectors : public ::testing::TestWithParam<BankCase> {};

TEST_P(BankVectors, BarCodeLineAndNumber) {
  const BankCase& c = GetParam();
  const Slip s = test::slip_of(c);
  EXPECT_EQ(s.number.printed, c.printed_number);
  EXPECT_EQ(s.bar_code, c.bar_code);
  EXPECT_EQ(s.printed_line, c.line);
  EXPECT_TRUE(bar_code_valid(s.bar_code));
}

INSTANTIATE_TEST_SUITE_P(FourBanks, BankVectors, ::testing::ValuesIn(bank_cases()),
                         [](const ::testing::TestParamInfo<BankCase>& param) {
                           return "bank" + std::string(param.param.bank) + "_" + std::to_string(param.index);
                         });

TEST(CheckDigits, RulesOfTheBanksOwnExamples) {
  // Bradesco's example: wallet 19, number 00000000002 has the digit 8.
  BankAccount b = make_bank_account("x", Bank::bradesco, "1", "1", "", "19", "");
  EXPECT_EQ(our_number(b, 2).printed, "19/00000000002-8");
  EXPECT_EQ(bank_code_with_digit(Bank::banco_do_brasil), "001-9");
  EXPECT_EQ(bank_code_with_digit(Bank::caixa), "104-0");
  EXPECT_EQ(bank_code_with_digit(Bank::bradesco), "237-2");
  EXPECT_EQ(bank_code_with_digit(Bank::itau), "341-7");
  // The general digit: results 0, 10 and 11 become 1.
  EXPECT_EQ(bar_code_check_digit(std::string(43, '0')), 1);
}

TEST(DueDateFactor, RestartsEvery9000DaysFrom2025) {
  EXPECT_EQ(due_date_factor(ymd(2000, 7, 3)), 1000);
  EXPECT_EQ(due_date_factor(ymd(2000, 7, 2)), std::nullopt);
  EXPECT_EQ(due_date_factor(ymd(2025, 2, 21)), 9999);
  EXPECT_EQ(due_date_factor(ymd(2025, 2, 22)), 1000);
  // 9000 days after 2025-02-22 the factor is 1000 again.
  EXPECT_EQ(due_date_factor(Date::from_days_since_epoch(ymd(2025, 2, 22).days_since_epoch() + 9000)), 1000);
  EXPECT_EQ(due_date_factor(Date()), std::nullopt);
}

TEST(Amount, RoundedOnceHalfUpAsWrittenAndTenDigitsOfCents) {
  EXPECT_EQ(amount_in_cents(135.0), 13500);
  EXPECT_EQ(amount_in_cents(0.1 + 0.2), 30);
  // Just below the half cent in binary, but written as one.
  EXPECT_EQ(amount_in_cents(1.005), 101);
  EXPECT_EQ(amount_in_cents(2.675), 268);
  EXPECT_EQ(amount_in_cents(1.0049), 100);
  EXPECT_EQ(amount_in_cents(-1), std::nullopt);
  EXPECT_EQ(amount_in_cents(std::nan("")), std::nullopt);
  EXPECT_EQ(amount_field(9'999'999'999), "9999999999");
  EXPECT_EQ(amount_field(10'000'000'000), std::nullopt);

  // The slip encodes the value it shows.
  BankCase c = bank_cases().front();
  c.amount = 1.005;
  const Slip s = test::slip_of(c);
  EXPECT_EQ(s.cents, 101);
  EXPECT_EQ(s.bar_code.substr(9, 10), "0000000101");
}

// Branch, account and payee code with their check digits after a hyphen give
// the slip they give without; a digit that is not the bank's is refused.
TEST(CheckDigits, WrittenAfterAHyphenAreCheckedAndLeftOutOfTheNumber) {
  struct Written {
    const char *branch, *account, *payee_code;
  };
  const Written written[] = {{"0810", "53678-9", ""},        {"1584-9", "210169-6", ""},
                             {"1584-9", "00210169-6", ""},   {"1-9", "12345-5", ""},
                             {"1234", "1", "005507-7"},      {"1234-3", "12345-5", ""}};
  ASSERT_EQ(std::size(written), bank_cases().size());
  for (std::size_t i = 0; i < bank_cases().size(); ++i) {
    const Written& w = written[i];
    SCOPED_TRACE(w.account);
    EXPECT_EQ(test::slip_of(bank_cases()[i], 1, 1e12, w.branch, w.account, w.payee_code).bar_code,
              bank_cases()[i].bar_code);
  }
  const BankAccount bradesco = make_bank_account("x", Bank::bradesco, "1234-3", "0403005-2", "", "09", "");
  EXPECT_EQ(bradesco.account, "0403005");
  EXPECT_EQ(bradesco.branch, "1234");
  const auto refused = [](std::string_view branch, std::string_view account) {
    return test::failure_in([&] { make_bank_account("x", Bank::bradesco, branch, account, "", "09", ""); }).description;
  };
  EXPECT_NE(refused("1234-3", "0403005-3").find("NUMEROCONTACORRENTE"), std::string::npos);
  EXPECT_NE(refused("1234-4", "0403005-2").find("CODIGOAGENCIA"), std::string::npos);
  const RuntimeError caixa =
      test::failure_in([] { make_bank_account("x", Bank::caixa, "1234", "1", "005507-6", "RG", ""); });
  EXPECT_NE(caixa.description.find("CODIGOCEDENTE"), std::string::npos) << caixa.description;
}

std::optional<RuntimeError> try_slip(const BankCase& c, double first, double last) {
  try {
    slip_of(c, first, last);
  } catch (const RuntimeError& e) {
    return e;
  }
  return std::nullopt;
}

RuntimeError failure_of(const BankCase& c, double first, double last) {
  return test::failure_in([&] { slip_of(c, first, last); });
}

TEST(ComponentFailures, NameTheAccountAndTheField) {
  BankCase itau{"341", "175", "", "0810", "53678", "", 99, ymd(2025, 5, 1), 10.0, "", "", ""};
  // The number is the last used one plus 1: 100 lies in 1..100, 101 does not.
  EXPECT_FALSE(try_slip(itau, 1, 100));
  RuntimeError e = failure_of(itau, 1, 99);
  EXPECT_EQ(e.gencode, 1001);
  EXPECT_NE(e.description.find("0810/53678"), std::string::npos) << e.description;
  EXPECT_NE(e.description.find("PROXIMONOSSONUMERO"), std::string::npos) << e.description;

  itau.amount = 1e8;
  EXPECT_NE(failure_of(itau, 1, 1000).description.find("VALORDOCUMENTO"), std::string::npos);
  itau.amount = 10;
  itau.account = "123456";  // Itaú accounts have 5 digits
  EXPECT_NE(failure_of(itau, 1, 1000).description.find("NUMEROCONTACORRENTE"), std::string::npos);
  BankCase bb{"001", "18", "12345", "1584", "1", "", 1, ymd(2025, 5, 1), 10.0, "", "", ""};
  EXPECT_NE(failure_of(bb, 1, 1000).description.find("convenio"), std::string::npos);
  const RuntimeError no_variation =
      test::failure_in([] { make_bank_account("x", Bank::banco_do_brasil, "1584", "1", "", "18", "1234567", ""); });
  EXPECT_NE(no_variation.description.find("variacao"), std::string::npos) << no_variation.description;
  BankCase itau_late{"341", "175", "", "0810", "53678", "", 99999999, ymd(2025, 5, 1), 10.0, "", "", ""};
  EXPECT_NE(failure_of(itau_late, 1, 1e12).description.find("não cabe"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::component
