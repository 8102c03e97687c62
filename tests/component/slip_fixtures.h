#pragma once

#include "component/slip.h"

namespace tarvo::component::test {

inline Date ymd(int y, int m, int d) { return *Date::from_ymd(y, m, d); }

// The Itaú account of the bank's example and a payer with accents
// (Windows-1252 bytes, as slip files bring them).
inline AccountData itau_account() {
  AccountData a;
  a.place_of_payment = "Pagar Preferencialmente nas Casas Lot\xe9ricas at\xe9 o Valor Limite";
  a.branch = "0810";
  a.account = "53678";
  a.payee_code = "53678";
  a.first_number = 1.0;
  a.last_number = 99999999.0;
  a.last_used_number = 258280.0;
  return a;
}

inline AccountProfile itau_profile() {
  AccountProfile p;
  p.bank = "341";
  p.wallet = "175";
  p.payee_name = "Papelaria Tarvo Ltda";
  p.payee_tax_id = "11.222.333/0001-81";
  p.payee_address = "Rua das Flores, 10 - São Paulo - SP";
  return p;
}

inline DocumentData document(double amount = 135.0) {
  DocumentData d;
  d.payer_name = "Jos\xe9 da Concei\xe7\xe3o";
  d.payer_tax_id = "123.456.789-09";
  d.payer_address = "Av. S\xe3o Jo\xe3o, 500";
  d.payer_district = "Centro";
  d.payer_city = "S\xe3o Paulo";
  d.payer_state = "SP";
  d.payer_zip = "01035-000";
  d.instruction3 = "06";
  d.instruction3_value = 5;
  d.protest_days = "05";
  d.document_date = ymd(2008, 1, 20);
  d.due_date = ymd(2008, 2, 2);
  d.document_number = "NF 1234";
  d.control_number = "NF 1234";
  d.amount = amount;
  d.statement = "Referente a NF 1234";
  d.cashier_instructions = "Ap\xf3s Vencimento cobrar R$ 2.70 de Multa";
  return d;
}

}  // namespace tarvo::component::test
