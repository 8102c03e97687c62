#include <gtest/gtest.h>

#include "tests/support/private_cups.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

std::string field(std::string_view name, std::string_view type, std::string_view content) {
  return "/\\\\/" + std::string(name) + "&#$|" + std::string(type) + "&#$|" +
         std::string(content) + "&##&\r\n";
}

// A complete slip file that asks to be printed at once on the default
// printer.
std::string slip_file() {
  std::string text = field("Inicio", "C", "=+inicio_boleto+=");
  for (const char* name : {"NumeroDocumento", "ArquivoLogotipo", "CaminhoImagensCodigoBarras",
                           "LayoutBoleto", "CodigoAgencia", "NumeroContaCorrente", "CodigoCedente",
                           "InicioNossoNumero", "FimNossoNumero", "GravaArquivoRemessa",
                           "ArquivoRemessaDiretorio", "ArquivoRemessaArquivo",
                           "ArquivoRemessaLayout", "NomeSacado", "CPFSacado", "EnderecoSacado",
                           "BairroSacado", "CidadeSacado", "EstadoSacado", "CepSacado",
                           "InstrucaoCobranca3", "ValorInstrucaoCobranca3", "DiasProtesto",
                           "Demonstrativo"})
    text += field(name, "C", "1");
  text += field("DataDocumento", "D", "05/11/2026") + field("DataVencimento", "D", "20/11/2026") +
          field("ValorDocumento", "N", "100") + field("ProximoNossoNumero", "N", "101") +
          field("Final", "C", "=+final_boleto+=");
  return text + "/#FIM@\\\r\n=+IMPRESSAO_DIRETA+=\r\n";
}

// A slip whose account has no profile: the component refuses it, the user
// reads the failure in one stop box, nothing reaches the printer and the
// program ends normally.
TEST(SlipBinary, ComponentFailureIsReportedAndNothingPrints) {
  auto& cups = test::PrivateCups::instance();
  const std::string queue = "slip_binary_default";
  cups.add_queue(queue);
  test::TempDir dir;
  dir.write("boletos.txt", slip_file());
  const std::string profile = (dir.path() / "sem-perfil.conf").string();
  const auto r = test::run_tarvousb({"boletos.txt"}, dir.path(),
                                    {cups.env(), "LPDEST=" + queue, "PRINTER",
                                     "TARVOUSB_CONTAS=" + profile});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err,
            " -= TarvoUSB =- : Erro de execução CobreBemX/1001\n"
            "Descrição: Conta 1/1, campo perfil de contas: o arquivo " + profile +
            " não pôde ser lido\nOperação: perfil de contas\n"
            "A impressão foi interrompida.\n");
  cups.wait_idle();
  EXPECT_TRUE(cups.jobs(queue).empty());
}

}  // namespace
}  // namespace tarvo
