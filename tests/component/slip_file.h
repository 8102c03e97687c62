#pragma once

#include <filesystem>
#include <string>

#include "tests/support/test_support.h"

namespace tarvo::component::test {

// A profile with one Bradesco account, its section named with the check
// digits; returns the file's path.
inline std::filesystem::path bradesco_profile(const tarvo::test::TempDir& dir) {
  return dir.write("contas.conf",
                   "[1234-3/0403005-2]\nbanco = 237\ncarteira = 09\ncedente = Papelaria Tarvo Ltda\n"
                   "cpf_cnpj = 11.222.333/0001-81\nendereco = Rua das Flores, 10 - São Paulo - SP\n");
}

// A slip file for the program: `count` slips of that Bradesco account (the
// account sent with its check digit), numbered after `last_used`, each added
// to the CNAB 400 remittance file `folder`/`name`; printed at once on the
// default printer.
inline std::string bradesco_slip_file(int count, long last_used, const std::string& folder, const std::string& name) {
  const auto field = [](std::string_view record, std::string_view type, const std::string& content) {
    return "/\\\\/" + std::string(record) + "&#$|" + std::string(type) + "&#$|" + content + "&##&\r\n";
  };
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += field("Inicio", "C", "=+inicio_boleto+=");
    text += field("NumeroDocumento", "C", "NF " + std::to_string(last_used + 1 + i));
    text += field("ProximoNossoNumero", "N", std::to_string(last_used + 1 + i));
    text += field("ValorDocumento", "N", std::to_string(10 + i) + ".50");
    if (i == 0) {
      for (const char* name_only : {"ArquivoLogotipo", "CaminhoImagensCodigoBarras", "LayoutBoleto", "Demonstrativo",
                                    "InstrucaoCobranca3", "ValorInstrucaoCobranca3", "DiasProtesto"})
        text += field(name_only, "C", "");
      text += field("DataDocumento", "D", "05/11/2026") + field("DataVencimento", "D", "20/11/2026");
      text += field("CodigoAgencia", "C", "1234") + field("NumeroContaCorrente", "C", "0403005-2");
      text += field("CodigoCedente", "C", "1234567") + field("InicioNossoNumero", "C", "1");
      text += field("FimNossoNumero", "C", "99999999999") + field("GravaArquivoRemessa", "C", "S");
      text += field("ArquivoRemessaDiretorio", "C", folder) + field("ArquivoRemessaArquivo", "C", name);
      text += field("ArquivoRemessaLayout", "C", "CNAB400") + field("NomeSacado", "C", "Maria Souza");
      text += field("CPFSacado", "C", "123.456.789-09") + field("EnderecoSacado", "C", "Rua A, 1");
      text += field("BairroSacado", "C", "Centro") + field("CidadeSacado", "C", "Campinas");
      text += field("EstadoSacado", "C", "SP") + field("CepSacado", "C", "13010-000");
    }
    text += field("Final", "C", "=+final_boleto+=");
  }
  return text + "/#FIM@\\\r\n=+IMPRESSAO_DIRETA+=\r\n";
}

}  // namespace tarvo::component::test
