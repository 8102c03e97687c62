#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "component/account_profile.h"
#include "component/banks.h"
#include "runtime/date.h"
#include "runtime/value.h"

namespace tarvo::component {

// What the account members of the component received. Texts are bytes as
// the program holds them (Windows-1252).
struct AccountData {
  std::string place_of_payment;  // LOCALPAGAMENTO
  Value branch, account, payee_code;            // CODIGOAGENCIA, NUMEROCONTACORRENTE, CODIGOCEDENTE
  Value first_number, last_number;              // INICIONOSSONUMERO, FIMNOSSONUMERO
  Value last_used_number;                       // PROXIMONOSSONUMERO: the next number minus 1
  std::string logo_file, bar_code_images, layout;  // PADROESBOLETOIMPRESSO
  std::string remittance_folder, remittance_file, remittance_layout;  // ARQUIVOREMESSA
};

// What one document of DOCUMENTOSCOBRANCA received.
struct DocumentData {
  std::string payer_name, payer_tax_id, payer_address, payer_district, payer_city, payer_state,
      payer_zip;
  std::string instruction3, protest_days;
  double instruction3_value = 0;
  Date document_date, due_date;
  std::string document_number, control_number;
  Value amount;
  std::string statement, cashier_instructions;     // PADROESBOLETO of the document
  std::vector<std::pair<std::string, std::string>> own_data;  // MEUSDADOS: NOME, VALOR
};

// A slip ready to be drawn and written to a remittance file.
struct Slip {
  AccountProfile profile;
  BankAccount account;
  DocumentData document;
  std::string place_of_payment;
  std::int64_t cents = 0;       // the amount, rounded once (amount_in_cents)
  std::int64_t sequence = 0;
  OurNumber number;
  std::string bar_code;         // 44 digits
  std::string typeable_line;    // 47 digits
  std::string printed_line;     // with points and blanks
};

// The system's date: processing date of the slips and date of remittance files.
Date today();

// "branch/account" as the slip sent them, for messages.
std::string account_label(const AccountData& account);

// A text value as sent, or a number in plain digits: how branch, account
// and payee code read whichever way the slip file typed them.
std::string value_digits_text(const Value& value);

// The slip of the `index`-th document (0-based) of a component instance: its
// number is the last used number plus 1 plus `index`, which must lie in the
// account's range. Every failure is a component failure naming the account
// and the field.
Slip build_slip(const AccountData& account, const AccountProfile& profile, const DocumentData& document,
                std::size_t index);

}  // namespace tarvo::component
