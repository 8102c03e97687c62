#include "component/slip.h"

#include <gtest/gtest.h>

#include <optional>

#include "component/bar_code.h"
#include "component/check_digits.h"
#include "runtime/runtime_error.h"

namespace tarvo::component {
namespace {

Date ymd(int y, int m, int d) { return *Date::from_ymd(y, m, d); }

struct Case {
  const char* bank;
  const char* wallet;
  const char* agreement;
  const char* branch;
  const char* account;
  const char* payee_code;
  double last_used;
  Date due;
  double amount;
  const char* printed_number;
  const char* bar_code;
  const char* line;
};

Slip slip_for(const Case& c) {
  AccountData a;
  a.branch = c.branch;
  a.account = c.account;
  a.payee_code = c.payee_code;
  a.first_number = 1.0;
  a.last_number = 1e12;
  a.last_used_number = c.last_used;
  AccountProfile p;
  p.bank = c.bank;
  p.wallet = c.wallet;
  p.agreement = c.agreement;
  DocumentData d;
  d.due_date = c.due;
  d.amount = c.amount;
  return build_slip(a, p, d, 0);
}

class BankVectors : public ::testing::TestWithParam<Case> {};

TEST_P(BankVectors, BarCodeLineAndNumber) {
  const Case& c = GetParam();
  const Slip s = slip_for(c);
  EXPECT_EQ(s.number.printed, c.printed_number);
  EXPECT_EQ(s.bar_code, c.bar_code);
  EXPECT_EQ(s.printed_line, c.line);
  EXPECT_TRUE(bar_code_valid(s.bar_code));
}

INSTANTIATE_TEST_SUITE_P(
    FourBanks, BankVectors,
    ::testing::Values(
        // The Itaú vector of the bank's documentation: wallet 175, number 00258281.
        Case{"341", "175", "", "0810", "53678", "", 258280, ymd(2008, 2, 2), 135.00, "175/00258281-7",
             "34191377000000135001750025828170810536789000",
             "34191.75009 25828.170818 05367.890000 1 37700000013500"},
        // Banco do Brasil, agreement of 7: six zeros, 17-digit number, wallet.
        Case{"001", "18", "1234567", "1584", "210169", "", 41, ymd(2025, 3, 10), 1500.00, "12345670000000042",
             "00193101600001500000000001234567000000004218",
             "00190.00009 01234.567004 00000.042184 3 10160000150000"},
        // Banco do Brasil, agreement of 6: 11-digit number with its mod-11 digit.
        Case{"001", "18", "123456", "1584", "00210169", "", 6, ymd(2024, 12, 20), 250.75, "12345600007-6",
             "00198993600000250751234560000715840021016918",
             "00191.23454 60000.715841 00210.169181 8 99360000025075"},
        // Banco do Brasil, agreement of 4.
        Case{"001", "17", "1234", "1", "12345", "", 9875, ymd(2026, 1, 15), 99.90, "12340009876-3",
             "00196132700000099901234000987600010001234517",
             "00191.23405 00987.600012 00012.345179 6 13270000009990"},
        // Caixa SIGCB, beneficiary 005507 (its digit 7), registered wallet; due on the day
        // the factor restarted at 1000.
        Case{"104", "RG", "", "1234", "1", "005507", 123456788, ymd(2025, 2, 22), 321.09,
             "14000000123456789-2", "10491100000000321090055077000100041234567896",
             "10490.05505 77000.100048 12345.678960 1 10000000032109"},
        // Bradesco, wallet 09, number 2; remainder 1 gives the digit "P"; the last day
        // before the restart has factor 9999.
        Case{"237", "09", "", "1234", "12345", "", 1, ymd(2025, 2, 21), 10.00, "09/00000000002-P",
             "23791999900000010001234090000000000200123450",
             "23791.23405 90000.000001 02001.234505 1 99990000001000"}));

TEST(CheckDigits, RulesOfTheBanksOwnExamples) {
  // Bradesco's example: wallet 19, number 00000000002 has the digit 8.
  AccountProfile p;
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

TEST(Amount, TenDigitsOfCents) {
  EXPECT_EQ(amount_field(135.0), "0000013500");
  EXPECT_EQ(amount_field(0.1 + 0.2), "0000000030");
  EXPECT_EQ(amount_field(99999999.99), "9999999999");
  EXPECT_EQ(amount_field(100000000.00), std::nullopt);
  EXPECT_EQ(amount_field(-1), std::nullopt);
}

std::optional<RuntimeError> try_slip(const Case& c, double first, double last) {
  AccountData a;
  a.branch = c.branch;
  a.account = c.account;
  a.first_number = first;
  a.last_number = last;
  a.last_used_number = c.last_used;
  AccountProfile p;
  p.bank = c.bank;
  p.wallet = c.wallet;
  p.agreement = c.agreement;
  DocumentData d;
  d.due_date = c.due;
  d.amount = c.amount;
  try {
    build_slip(a, p, d, 0);
  } catch (const RuntimeError& e) {
    return e;
  }
  return std::nullopt;
}

RuntimeError failure_of(const Case& c, double first, double last) {
  auto e = try_slip(c, first, last);
  if (!e) ADD_FAILURE() << "no failure";
  return e.value_or(RuntimeError{});
}

TEST(ComponentFailures, NameTheAccountAndTheField) {
  Case itau{"341", "175", "", "0810", "53678", "", 99, ymd(2025, 5, 1), 10.0, "", "", ""};
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
  Case bb{"001", "18", "12345", "1584", "1", "", 1, ymd(2025, 5, 1), 10.0, "", "", ""};
  EXPECT_NE(failure_of(bb, 1, 1000).description.find("convenio"), std::string::npos);
  Case itau_late{"341", "175", "", "0810", "53678", "", 99999999, ymd(2025, 5, 1), 10.0, "", "", ""};
  EXPECT_NE(failure_of(itau_late, 1, 1e12).description.find("não cabe"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::component
