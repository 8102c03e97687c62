#pragma once

#include <vector>

#include "component/slip.h"

namespace tarvo::component::test {

inline Date day(int y, int m, int d) { return *Date::from_ymd(y, m, d); }

// One slip of each bank and agreement kind, with what it must give.
struct BankCase {
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

inline const std::vector<BankCase>& bank_cases() {
  static const std::vector<BankCase> cases = {

        // The Itaú vector of the bank's documentation: wallet 175, number 00258281.
        BankCase{"341", "175", "", "0810", "53678", "", 258280, day(2008, 2, 2), 135.00, "175/00258281-7",
             "34191377000000135001750025828170810536789000",
             "34191.75009 25828.170818 05367.890000 1 37700000013500"},
        // Banco do Brasil, agreement of 7: six zeros, 17-digit number, wallet.
        BankCase{"001", "18", "1234567", "1584", "210169", "", 41, day(2025, 3, 10), 1500.00, "12345670000000042",
             "00193101600001500000000001234567000000004218",
             "00190.00009 01234.567004 00000.042184 3 10160000150000"},
        // Banco do Brasil, agreement of 6: 11-digit number with its mod-11 digit.
        BankCase{"001", "18", "123456", "1584", "00210169", "", 6, day(2024, 12, 20), 250.75, "12345600007-6",
             "00198993600000250751234560000715840021016918",
             "00191.23454 60000.715841 00210.169181 8 99360000025075"},
        // Banco do Brasil, agreement of 4.
        BankCase{"001", "17", "1234", "1", "12345", "", 9875, day(2026, 1, 15), 99.90, "12340009876-3",
             "00196132700000099901234000987600010001234517",
             "00191.23405 00987.600012 00012.345179 6 13270000009990"},
        // Caixa SIGCB, beneficiary 005507 (its digit 7), registered wallet; due on the day
        // the factor restarted at 1000.
        BankCase{"104", "RG", "", "1234", "1", "005507", 123456788, day(2025, 2, 22), 321.09,
             "14000000123456789-2", "10491100000000321090055077000100041234567896",
             "10490.05505 77000.100048 12345.678960 1 10000000032109"},
        // Bradesco, wallet 09, number 2; remainder 1 gives the digit "P"; the last day
        // before the restart has factor 9999.
        BankCase{"237", "09", "", "1234", "12345", "", 1, day(2025, 2, 21), 10.00, "09/00000000002-P",
             "23791999900000010001234090000000000200123450",
             "23791.23405 90000.000001 02001.234505 1 99990000001000"}};
  return cases;
}

// The slip of a case, its numbers allowed within first..last; branch,
// account and payee code as the case has them unless given.
inline Slip slip_of(const BankCase& c, double first = 1.0, double last = 1e12, const char* branch = nullptr,
                    const char* account = nullptr, const char* payee_code = nullptr) {
  AccountData a;
  a.branch = branch ? branch : c.branch;
  a.account = account ? account : c.account;
  a.payee_code = payee_code ? payee_code : c.payee_code;
  a.first_number = first;
  a.last_number = last;
  a.last_used_number = c.last_used;
  AccountProfile p;
  p.bank = c.bank;
  p.wallet = c.wallet;
  p.agreement = c.agreement;
  if (p.bank == "001") p.variation = "019";
  DocumentData d;
  d.due_date = c.due;
  d.amount = c.amount;
  return build_slip(a, p, d, 0);
}

}  // namespace tarvo::component::test
