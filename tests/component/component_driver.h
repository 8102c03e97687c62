#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "component/conta_corrente.h"
#include "printing/automation.h"
#include "slip_fixtures.h"
#include "tests/component/environment.h"

namespace tarvo::component::test {

// The remittance members, as slip issuing sets them when the slip asks for a
// remittance file.
inline void remit(AutomationObject& boleto, const std::string& folder, const std::string& file,
                  const std::string& layout) {
  AutomationObject remessa = boleto.get_object("ArquivoRemessa");
  remessa.put("Diretorio", Value(folder));
  remessa.put("Arquivo", Value(file));
  remessa.put("Layout", Value(layout));
}

// Drives a component instance the way slip issuing does, with the Itaú
// account and document of slip_fixtures.h; `documents` documents are added.
inline void fill(AutomationObject& boleto, const std::string& remittance_folder = {}, int documents = 1,
                 const std::string& layout = "CNAB400", const std::string& logo = "", double amount = 135.0) {
  AutomationObject impresso = boleto.get_object("PadroesBoleto").get_object("PadroesBoletoImpresso");
  impresso.put("ArquivoLogotipo", Value(logo));
  impresso.put("CaminhoImagensCodigoBarras", Value(""));
  if (!remittance_folder.empty()) remit(boleto, remittance_folder, "REMESSA.TXT", layout);
  const AccountData a = itau_account();
  boleto.put("LocalPagamento", Value(a.place_of_payment));
  boleto.put("CodigoAgencia", a.branch);
  boleto.put("NumeroContaCorrente", a.account);
  boleto.put("CodigoCedente", a.payee_code);
  boleto.put("InicioNossoNumero", Value("1"));
  boleto.put("FimNossoNumero", Value("99999999"));
  boleto.put("ProximoNossoNumero", Value(258280.0));
  for (int i = 0; i < documents; ++i) {
    const DocumentData d = document(amount);
    AutomationObject doc = boleto.get_object("DocumentosCobranca").call_object("Add");
    doc.put("NomeSacado", Value(d.payer_name));
    doc.put("CPFSacado", Value(d.payer_tax_id));
    doc.put("EnderecoSacado", Value(d.payer_address));
    doc.put("BairroSacado", Value(d.payer_district));
    doc.put("CidadeSacado", Value(d.payer_city));
    doc.put("EstadoSacado", Value(d.payer_state));
    doc.put("CepSacado", Value(d.payer_zip));
    AutomationObject entry = doc.get_object("MeusDados").call_object("Add");
    entry.put("Nome", Value("FormaCadastramento"));
    entry.put("Valor", Value("1"));
    doc.put("InstrucaoCobranca3", Value(d.instruction3));
    doc.put("ValorInstrucaoCobranca3", Value(d.instruction3_value));
    doc.put("DiasProtesto", Value(d.protest_days));
    doc.put("DataDocumento", Value(d.document_date));
    doc.put("DataVencimento", Value(d.due_date));
    doc.put("NumeroDocumento", Value(d.document_number));
    doc.put("NumeroControle", Value(d.control_number));
    doc.put("ValorDocumento", d.amount);
    AutomationObject padroes = doc.get_object("PadroesBoleto");
    padroes.put("Demonstrativo", Value(d.statement));
    padroes.put("InstrucoesCaixa", Value(d.cashier_instructions));
  }
}

// A profile file for the Itaú account (and a Caixa one), written to `dir`
// and named by TARVOUSB_CONTAS.
inline void use_profile(const std::filesystem::path& dir) {
  const auto path = dir / "contas.conf";
  std::ofstream(path, std::ios::binary)
      << "[0810/53678]\nbanco = 341\ncarteira = 175\ncedente = Papelaria Tarvo Ltda\n"
         "cpf_cnpj = 11.222.333/0001-81\nendereco = Rua das Flores, 10 - São Paulo - SP\n";
  test::set_env("TARVOUSB_CONTAS", path);
}

}  // namespace tarvo::component::test
