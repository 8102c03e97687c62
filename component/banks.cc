#include "component/banks.h"

#include "component/check_digits.h"
#include "component/component_error.h"

namespace tarvo::component {

namespace {

// Mod 11 with weights 2..max_weight from the right, 11 minus the remainder:
// `ten` stands for 10 and `eleven` for 11 (a remainder of 0).
std::string mod11_text(std::string_view digits, int max_weight, std::string_view ten,
                       std::string_view eleven = "0") {
  const int r = weighted_sum(digits, max_weight) % 11;
  if (r == 0) return std::string(eleven);
  if (r == 1) return std::string(ten);
  return std::to_string(11 - r);
}

// The digits `d` of `value` zero-padded to the bank's width.
std::string fitted(const std::string& label, std::string_view field, std::string_view value, const std::string& d,
                   std::size_t width) {
  if (d.empty()) fail(label, field, "não tem algarismos");
  std::size_t lead = d.find_first_not_of('0');
  std::string_view significant = lead == std::string::npos ? std::string_view{} : std::string_view(d).substr(lead);
  if (significant.size() > width)
    fail(label, field, "\"" + std::string(value) + "\" não cabe em " + std::to_string(width) + " algarismos");
  return zero_pad(significant, width);
}

// A check digit the slip sent must be the one the bank's rule gives.
void expect_check_digit(const std::string& label, std::string_view field, std::string_view value,
                        const std::string& given, const std::string& expected) {
  if (given.empty() || given == expected) return;
  fail(label, field,
       "o dígito verificador de \"" + std::string(value) + "\" não confere: pela regra do banco é " + expected);
}

// Caixa SIGCB: the first digit of the nosso número is the modality,
// 1 registered and 2 without registration.
std::string caixa_modality(const std::string& label, std::string_view wallet) {
  const std::string w = digits_of(wallet);
  if (wallet == "RG" || wallet == "rg" || w == "1" || w == "01") return "1";
  if (wallet == "SR" || wallet == "sr" || w == "2" || w == "02") return "2";
  fail(label, "carteira", "a Caixa aceita a carteira 1 (RG, registrada) ou 2 (SR, sem registro)");
}

}  // namespace

bool bank_from_code(std::string_view code, Bank& bank) {
  const std::string d = digits_of(code);
  const int n = d.empty() || d.size() > 3 ? -1 : std::stoi(d);
  switch (n) {
    case 1: bank = Bank::banco_do_brasil; return true;
    case 104: bank = Bank::caixa; return true;
    case 237: bank = Bank::bradesco; return true;
    case 341: bank = Bank::itau; return true;
    default: return false;
  }
}

std::string bank_code(Bank bank) { return zero_pad(std::to_string(static_cast<int>(bank)), 3); }

std::string bank_code_with_digit(Bank bank) {
  // FEBRABAN: the bank's digit is mod 11 over its code, 10 and 11 giving 0.
  const std::string code = bank_code(bank);
  return code + "-" + mod11_text(code, 9, "0");
}

std::string bank_name(Bank bank) {
  switch (bank) {
    case Bank::banco_do_brasil: return "Banco do Brasil";
    case Bank::caixa: return "Caixa";
    case Bank::bradesco: return "Bradesco";
    case Bank::itau: return "Itaú";
  }
  return {};
}

std::string bank_name_ascii(Bank bank) {
  switch (bank) {
    case Bank::banco_do_brasil: return "BANCO DO BRASIL";
    case Bank::caixa: return "CAIXA ECONOMICA FEDERAL";
    case Bank::bradesco: return "BRADESCO";
    case Bank::itau: return "BANCO ITAU SA";
  }
  return {};
}

BankAccount make_bank_account(std::string label, Bank bank, std::string_view branch,
                              std::string_view account, std::string_view payee_code,
                              std::string_view wallet, std::string_view agreement, std::string_view variation) {
  // A check digit written after a hyphen is not part of the number; it is
  // checked below where the bank has a rule for it.
  const CheckedNumber branch_in = split_check_digit(branch), account_in = split_check_digit(account),
                      payee_in = split_check_digit(payee_code);
  BankAccount a;
  a.label = std::move(label);
  a.bank = bank;
  a.branch = fitted(a.label, "CODIGOAGENCIA", branch, branch_in.digits, 4);
  switch (bank) {
    case Bank::banco_do_brasil: {
      a.account = fitted(a.label, "NUMEROCONTACORRENTE", account, account_in.digits, 8);
      a.wallet = fitted(a.label, "carteira", wallet, digits_of(wallet), 2);
      a.agreement = digits_of(agreement);
      const std::size_t n = a.agreement.size();
      if (n != 4 && n != 6 && n != 7)
        fail(a.label, "convenio", "o convênio do Banco do Brasil tem 4, 6 ou 7 algarismos");
      a.variation = fitted(a.label, "variacao", variation, digits_of(variation), 3);
      break;
    }
    case Bank::caixa:
      a.account = fitted(a.label, "NUMEROCONTACORRENTE", account, account_in.digits, 8);
      a.payee_code = fitted(a.label, "CODIGOCEDENTE", payee_code, payee_in.digits, 6);
      a.wallet = caixa_modality(a.label, wallet);
      break;
    case Bank::bradesco:
      a.account = fitted(a.label, "NUMEROCONTACORRENTE", account, account_in.digits, 7);
      a.wallet = fitted(a.label, "carteira", wallet, digits_of(wallet), 2);
      break;
    case Bank::itau:
      a.account = fitted(a.label, "NUMEROCONTACORRENTE", account, account_in.digits, 5);
      a.wallet = fitted(a.label, "carteira", wallet, digits_of(wallet), 3);
      break;
  }
  if (a.payee_code.empty()) a.payee_code = payee_in.digits;
  // Itaú's branch and Caixa's branch and account carry no digit the
  // component can check.
  const bool branch_rule = bank == Bank::banco_do_brasil || bank == Bank::bradesco;
  if (branch_rule) expect_check_digit(a.label, "CODIGOAGENCIA", branch, branch_in.check, branch_check_digit(a));
  if (bank != Bank::caixa)
    expect_check_digit(a.label, "NUMEROCONTACORRENTE", account, account_in.check, account_check_digit(a));
  else
    expect_check_digit(a.label, "CODIGOCEDENTE", payee_code, payee_in.check, account_check_digit(a));
  return a;
}

std::int64_t max_sequence(const BankAccount& a) {
  switch (a.bank) {
    case Bank::banco_do_brasil:
      // BB: convênio 4 + 7-digit sequence, 6 + 5, 7 + 10 (17-digit nosso número).
      return a.agreement.size() == 4 ? 9'999'999 : a.agreement.size() == 6 ? 99'999 : 9'999'999'999;
    case Bank::caixa: return 999'999'999'999'999;  // SIGCB: 15 digits after modality and issuer
    case Bank::bradesco: return 99'999'999'999;     // Bradesco: 11 digits
    case Bank::itau: return 99'999'999;             // Itaú: 8 digits
  }
  return 0;
}

OurNumber our_number(const BankAccount& a, std::int64_t sequence) {
  OurNumber n;
  const std::string seq = std::to_string(sequence);
  switch (a.bank) {
    case Bank::banco_do_brasil:
      if (a.agreement.size() == 7) {
        // BB, convênio of 7: convênio + 10-digit sequence, no check digit.
        n.digits = a.agreement + zero_pad(seq, 10);
        n.printed = n.digits;
      } else {
        // BB, convênio of 4 or 6: 11 digits, check digit mod 11 (weights 9 to 2
        // from the right, remainder 10 as "X").
        n.digits = a.agreement + zero_pad(seq, 11 - a.agreement.size());
        n.check = mod11_text(n.digits, 9, "X");
        n.printed = n.digits + "-" + n.check;
      }
      break;
    case Bank::caixa:
      // SIGCB: modality (1 registered, 2 not) + issuer 4 (the beneficiary) + 15 digits;
      // check digit mod 11 weights 2-9, results above 9 as 0.
      n.digits = a.wallet + "4" + zero_pad(seq, 15);
      n.check = std::to_string(mod11_above9_zero(n.digits));
      n.printed = n.digits + "-" + n.check;
      break;
    case Bank::bradesco:
      // Bradesco: wallet + 11 digits, mod 11 weights 2-7; remainder 1 gives "P", 0 gives 0.
      n.digits = zero_pad(seq, 11);
      n.check = mod11_text(a.wallet + n.digits, 7, "P");
      n.printed = a.wallet + "/" + n.digits + "-" + n.check;
      break;
    case Bank::itau:
      // Itaú: DAC mod 10 over branch, account, wallet and number (the common wallets).
      n.digits = zero_pad(seq, 8);
      n.check = std::to_string(mod10(a.branch + a.account + a.wallet + n.digits));
      n.printed = a.wallet + "/" + n.digits + "-" + n.check;
      break;
  }
  return n;
}

std::string free_field(const BankAccount& a, const OurNumber& n) {
  switch (a.bank) {
    case Bank::banco_do_brasil:
      // BB, convênio of 7: six zeros, the 17-digit nosso número, wallet.
      if (a.agreement.size() == 7) return "000000" + n.digits + a.wallet;
      // BB, convênio of 4 or 6: nosso número (11), branch (4), account (8), wallet (2).
      return n.digits + a.branch + a.account + a.wallet;
    case Bank::caixa: {
      // SIGCB: code (6) + its DV, number 3-5, modality, number 6-8, issuer,
      // number 9-17, then a DV mod 11 (above 9 as 0) over these 24.
      const std::string& d = n.digits;
      std::string f = a.payee_code + std::to_string(mod11_above9_zero(a.payee_code)) + d.substr(2, 3) +
                      d.substr(0, 1) + d.substr(5, 3) + d.substr(1, 1) + d.substr(8, 9);
      return f + std::to_string(mod11_above9_zero(f));
    }
    case Bank::bradesco:
      // Bradesco: branch (4), wallet (2), nosso número (11), account (7), zero.
      return a.branch + a.wallet + n.digits + a.account + "0";
    case Bank::itau:
      // Itaú: wallet (3), number (8), its DAC, branch (4), account (5), DAC of
      // branch and account (mod 10), 000.
      return a.wallet + n.digits + n.check + a.branch + a.account +
             std::to_string(mod10(a.branch + a.account)) + "000";
  }
  return {};
}

std::string branch_check_digit(const BankAccount& a) {
  switch (a.bank) {
    case Bank::banco_do_brasil: return mod11_text(a.branch, 9, "X");
    case Bank::bradesco: return mod11_text(a.branch, 9, "P");
    case Bank::caixa: return std::to_string(mod11_above9_zero(a.branch));
    case Bank::itau: return " ";
  }
  return " ";
}

std::string account_check_digit(const BankAccount& a) {
  switch (a.bank) {
    case Bank::banco_do_brasil: return mod11_text(a.account, 9, "X");
    case Bank::bradesco: return mod11_text(a.account, 7, "P");
    case Bank::caixa: return std::to_string(mod11_above9_zero(a.payee_code));
    case Bank::itau: return std::to_string(mod10(a.branch + a.account));
  }
  return " ";
}

std::string printed_payee_code(const BankAccount& a) {
  switch (a.bank) {
    case Bank::banco_do_brasil: return a.branch + "-" + branch_check_digit(a) + " / " + a.account + "-" + account_check_digit(a);
    case Bank::caixa: return a.branch + " / " + a.payee_code + "-" + account_check_digit(a);
    case Bank::bradesco: return a.branch + "-" + branch_check_digit(a) + " / " + a.account + "-" + account_check_digit(a);
    case Bank::itau: return a.branch + " / " + a.account + "-" + account_check_digit(a);
  }
  return {};
}

}  // namespace tarvo::component
