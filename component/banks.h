#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo::component {

enum class Bank { banco_do_brasil = 1, caixa = 104, bradesco = 237, itau = 341 };

// The bank by its three-digit code ("001", "104", "237", "341"); false when
// the component does not issue slips for it.
bool bank_from_code(std::string_view code, Bank& bank);
std::string bank_code(Bank bank);                 // "341"
std::string bank_code_with_digit(Bank bank);      // "341-7", as printed
std::string bank_name(Bank bank);                 // "Banco Itaú S.A."
std::string bank_name_ascii(Bank bank);           // "BANCO ITAU SA", for remittance files

// One account as the slip's free field needs it: every number in digits,
// checked against the bank's widths when built (make_bank_account).
struct BankAccount {
  std::string label;       // branch/account as the slip sent them, for messages
  Bank bank = Bank::itau;
  std::string branch;      // 4 digits
  std::string account;     // the bank's width, without check digit
  std::string payee_code;  // Caixa's beneficiary code (6 digits); others: as sent
  std::string wallet;      // the carteira in the bank's width (Caixa: modality 1 or 2)
  std::string agreement;   // Banco do Brasil's convênio: 4, 6 or 7 digits
  std::string variation;   // Banco do Brasil's wallet variation: 3 digits
};

// Checks and pads the numbers. Branch, account and payee code may end in
// their check digit after a hyphen ("0403005-2"): it is left out of the
// number and must be the digit the bank's rule gives, where the bank has
// one. A number that does not fit, a wrong check digit, a wallet, agreement
// or variation the bank does not have is a component failure naming the
// field.
BankAccount make_bank_account(std::string label, Bank bank, std::string_view branch,
                              std::string_view account, std::string_view payee_code,
                              std::string_view wallet, std::string_view agreement,
                              std::string_view variation = {});

// The slip's number ("nosso número") in the bank's form.
struct OurNumber {
  std::string digits;  // as the free field and the remittance carry it, no check digit
  std::string check;   // its check digit ("P" and "X" included); empty where the bank has none
  std::string printed; // as the slip shows it
};

// Largest sequence number the bank's nosso número can hold for this account.
std::int64_t max_sequence(const BankAccount& account);

// The nosso número for a sequence number (1 .. max_sequence).
OurNumber our_number(const BankAccount& account, std::int64_t sequence);

// The 25 digits of the bar code's free field.
std::string free_field(const BankAccount& account, const OurNumber& number);

// "Agência / Código do Beneficiário" as the slip shows it.
std::string printed_payee_code(const BankAccount& account);

// Check digits of branch and account as the remittance files carry them.
std::string branch_check_digit(const BankAccount& account);
std::string account_check_digit(const BankAccount& account);

}  // namespace tarvo::component
