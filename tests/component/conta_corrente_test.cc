#include "component/conta_corrente.h"

#include <gtest/gtest.h>

#include <functional>

#include "component_driver.h"
#include "runtime/runtime_error.h"
#include "tests/component/environment.h"
#include "tests/component/failure.h"
#include "tests/support/test_support.h"

namespace tarvo::component {
namespace {

struct Capture {
  std::vector<std::vector<Slip>> runs;
  bool fail = false;
  std::function<void()> while_printing;
};

AutomationObject make(Capture& capture) {
  AutomationRegistry registry;
  registry.add(kClassName, [&capture] {
    return std::make_shared<ContaCorrente>([&capture](const std::vector<Slip>& slips, const AccountData&) {
      if (capture.fail) throw std::runtime_error("impressora desligada");
      if (capture.while_printing) capture.while_printing();
      capture.runs.push_back(slips);
    });
  });
  return registry.create("cobrebemx.contacorrente");
}

TEST(ContaCorrente, DocumentsPrintInOneRunWithConsecutiveNumbers) {
  tarvo::test::TempDir dir;
  test::use_profile(dir.path());
  Capture capture;
  AutomationObject boleto = make(capture);
  test::fill(boleto, dir.path().string(), 2);
  boleto.call("ImprimeBoletosSemPreview");
  ASSERT_EQ(capture.runs.size(), 1u);
  ASSERT_EQ(capture.runs[0].size(), 2u);
  const Slip& first = capture.runs[0][0];
  EXPECT_EQ(first.bar_code, "34191377000000135001750025828170810536789000");
  EXPECT_EQ(first.number.printed, "175/00258281-7");
  EXPECT_EQ(capture.runs[0][1].number.printed.substr(0, 12), "175/00258282");
  EXPECT_EQ(first.profile.payee_name, "Papelaria Tarvo Ltda");
  EXPECT_EQ(first.document.payer_name, "Jos\xe9 da Concei\xe7\xe3o");
  ASSERT_EQ(first.document.own_data.size(), 1u);
  EXPECT_EQ(first.document.own_data[0].first, "FormaCadastramento");
  EXPECT_EQ(first.document.statement, "Referente a NF 1234");
  // Header, two details, trailer.
  EXPECT_EQ(tarvo::test::read_file(dir.path() / "REMESSA.TXT").size(), 4u * 402u);
  test::unset_env("TARVOUSB_CONTAS");
}

TEST(ContaCorrente, UnknownMembersAndMissingProfileFail) {
  tarvo::test::TempDir dir;
  Capture capture;
  AutomationObject boleto = make(capture);
  {
    const RuntimeError e = test::failure_in([&] { boleto.put("NumeroDaSorte", Value("7")); });
    EXPECT_EQ(e.gencode, 1001);
    EXPECT_EQ(e.description, "DISP_E_MEMBERNOTFOUND");
  }
  test::set_env("TARVOUSB_CONTAS", dir.path() / "nenhum.conf");
  test::fill(boleto);
  {
    const RuntimeError e = test::failure_in([&] { boleto.call("IMPRIMEBOLETOSSEMPREVIEW"); });
    EXPECT_EQ(e.gencode, 1001);
    EXPECT_NE(e.description.find("0810/53678"), std::string::npos) << e.description;
    EXPECT_NE(e.description.find("nenhum.conf"), std::string::npos) << e.description;
  }
  EXPECT_TRUE(capture.runs.empty());
  test::unset_env("TARVOUSB_CONTAS");
}

TEST(ContaCorrente, NothingReachesTheRemittanceWhenPrintingFailsOrTheLayoutIsWrong) {
  tarvo::test::TempDir dir;
  test::use_profile(dir.path());
  Capture capture;
  capture.fail = true;
  AutomationObject boleto = make(capture);
  test::fill(boleto, dir.path().string());
  EXPECT_THROW(boleto.call("IMPRIMEBOLETOSSEMPREVIEW"), RuntimeError);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "REMESSA.TXT"));

  // Itaú has no CNAB 240: refused before anything is printed.
  capture.fail = false;
  AutomationObject other = make(capture);
  test::fill(other, dir.path().string(), 1, "CNAB240");
  EXPECT_THROW(other.call("IMPRIMEBOLETOSSEMPREVIEW"), RuntimeError);
  EXPECT_TRUE(capture.runs.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "REMESSA.TXT"));
  test::unset_env("TARVOUSB_CONTAS");
}

// Everything the remittance needs is checked before the slip prints: a file
// that cannot be written prints nothing, and the failure says why.
TEST(ContaCorrente, ARemittanceThatCannotBeWrittenPrintsNothing) {
  tarvo::test::TempDir dir;
  test::use_profile(dir.path());
  const std::string folder = dir.path().string();
  dir.write("BRADESCO.REM", std::string(400, '0') + "\r\n");
  const struct {
    std::string folder, file, layout, named;
  } cases[] = {{"", "R.REM", "CNAB400", "ARQUIVOREMESSA.DIRETORIO"},
               {folder, " ", "CNAB400", "ARQUIVOREMESSA.ARQUIVO"},
               {folder, "R.REM", "", "ARQUIVOREMESSA.LAYOUT"},
               {folder + "/nao-existe", "R.REM", "CNAB400", "nao-existe"},
               {folder, "BRADESCO.REM", "CNAB400", "BRADESCO.REM, linha 1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.named);
    Capture capture;
    AutomationObject boleto = make(capture);
    test::fill(boleto);
    test::remit(boleto, c.folder, c.file, c.layout);
    const RuntimeError e = test::failure_in([&] { boleto.call("IMPRIMEBOLETOSSEMPREVIEW"); });
    EXPECT_NE(e.description.find(c.named), std::string::npos) << e.description;
    EXPECT_TRUE(capture.runs.empty());
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "R.REM"));
  test::unset_env("TARVOUSB_CONTAS");
}

// When the file still cannot be written after the slip printed, the failure
// says which slip printed and was not added to which file.
TEST(ContaCorrente, AWriteFailingAfterPrintingNamesTheSlipAndTheFile) {
  tarvo::test::TempDir dir;
  test::use_profile(dir.path());
  const auto folder = dir.path() / "remessas";
  std::filesystem::create_directory(folder);
  Capture capture;
  // A folder takes the file's name while the slip prints (the folder itself
  // cannot go on Windows while the run holds its lock file there).
  capture.while_printing = [&] { std::filesystem::create_directory(folder / "REMESSA.TXT"); };
  AutomationObject boleto = make(capture);
  test::fill(boleto, folder.string());
  const RuntimeError e = test::failure_in([&] { boleto.call("IMPRIMEBOLETOSSEMPREVIEW"); });
  EXPECT_EQ(capture.runs.size(), 1u);
  EXPECT_NE(e.description.find("o boleto NF 1234 (nosso número 175/00258281-7) foi impresso, mas não foi incluído no "
                               "arquivo de remessa " + (folder / "REMESSA.TXT").string()),
            std::string::npos)
      << e.description;
  test::unset_env("TARVOUSB_CONTAS");
}

}  // namespace
}  // namespace tarvo::component
