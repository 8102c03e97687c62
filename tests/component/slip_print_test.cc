#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>
#include <regex>

#include "bank_cases.h"
#include "component/conta_corrente.h"
#include "component/slip_page.h"
#include "component_driver.h"
#include "runtime/runtime_error.h"
#include "tests/component/failure.h"
#include "tests/support/page_pixels.h"
#include "tests/support/private_cups.h"
#include "tests/support/test_support.h"

namespace tarvo::component {
namespace {

std::string run(const std::string& command) {
  std::string out;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  ::pclose(p);
  return out;
}

AutomationObject create() {
  AutomationRegistry registry;
  register_slip_component(registry);
  return registry.create(kClassName);
}

// The job of one slip of the Itaú fixture printed on a queue of its own.
std::vector<tarvo::test::CapturedJob> print_slip(const std::string& queue, const tarvo::test::TempDir& dir,
                                                 double amount = 135.0) {
  auto& cups = tarvo::test::PrivateCups::instance();
  cups.add_queue(queue);
  ::setenv("LPDEST", queue.c_str(), 1);
  test::use_profile(dir.path());
  AutomationObject boleto = create();
  test::fill(boleto, {}, 1, "CNAB400", "", amount);
  boleto.call("IMPRIMEBOLETOSSEMPREVIEW");
  ::unsetenv("TARVOUSB_CONTAS");
  return cups.wait_for_jobs(queue, 1);
}

// The bar code read back from the ficha's lower part at 600 dpi.
std::string bars_of(const std::string& pdf, const tarvo::test::TempDir& dir) {
  const std::string png = (dir.path() / "bars").string();
  run("pdftoppm -r 600 -png -singlefile -y 6000 -H 900 -W 4960 " + pdf + " " + png);
  return run("zbarimg --quiet --raw " + png + ".png 2>/dev/null");
}

TEST(SlipPrint, TheBarCodeOnThePageReadsBackAsTheSlipsDigits) {
  tarvo::test::TempDir dir;
  const auto jobs = print_slip("component_slip_itau", dir);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_TRUE(jobs[0].is_pdf());
  EXPECT_EQ(jobs[0].title, "Boleto NF 1234");
  // The page at its own size: a printer that fits it to the sheet would
  // shrink the narrow bar below what the readers take.
  EXPECT_NE(jobs[0].options.find("print-scaling=none"), std::string::npos) << jobs[0].options;
  EXPECT_NE(jobs[0].options.find("media=iso_a4_210x297mm"), std::string::npos) << jobs[0].options;
  const std::string pdf = jobs[0].data.string();
  const std::string info = run("pdfinfo " + pdf);
  EXPECT_TRUE(std::regex_search(info, std::regex("Pages: +1\n"))) << info;
  EXPECT_TRUE(std::regex_search(info, std::regex("Page size: +595.2\\d* x 841.8\\d* pts"))) << info;

  EXPECT_EQ(bars_of(pdf, dir), "34191377000000135001750025828170810536789000\n");

  const std::string text = run("pdftotext -layout " + pdf + " -");
  EXPECT_NE(text.find("34191.75009 25828.170818 05367.890000 1 37700000013500"), std::string::npos) << text;
  EXPECT_NE(text.find("DEMONSTRATIVO"), std::string::npos);
  EXPECT_NE(text.find("José da Conceição"), std::string::npos);
  EXPECT_NE(text.find("341-7"), std::string::npos);
  EXPECT_NE(text.find("175/00258281-7"), std::string::npos);
  EXPECT_NE(text.find("135,00"), std::string::npos);
  EXPECT_NE(text.find("Protestar após 5 dias corridos do vencimento."), std::string::npos) << text;
  // The payee's address in the receipt and in the ficha's payee box.
  const std::string address = "Rua das Flores, 10 - São Paulo - SP";
  EXPECT_NE(text.find(address, text.find(address) + 1), std::string::npos) << text;
  // The ficha's frame has its left edge (10 mm from the page's) along the
  // boxes, 190 to 264 mm from the top; at 100 dpi that column is dark.
  const std::string page = (dir.path() / "pagina").string();
  run("pdftoppm -r 100 -png -singlefile " + pdf + " " + page);
  const std::string mean = run("convert " + page + ".png -crop 3x280+38+750 -scale 1x1! -format '%[fx:mean]' info:");
  EXPECT_LT(std::stod(mean), 0.5) << mean;
}

// An amount with more than two decimals is rounded once: the page shows the
// value the bars encode.
TEST(SlipPrint, ThePrintedAmountIsTheEncodedOne) {
  tarvo::test::TempDir dir;
  const auto jobs = print_slip("component_slip_amount", dir, 1.005);
  ASSERT_EQ(jobs.size(), 1u);
  const std::string pdf = jobs[0].data.string();
  const std::string text = run("pdftotext -layout " + pdf + " -");
  EXPECT_NE(text.find(" 1,01\n"), std::string::npos) << text;
  const std::string decoded = bars_of(pdf, dir);
  ASSERT_EQ(decoded.size(), 45u) << decoded;
  EXPECT_EQ(decoded.substr(9, 10), "0000000101");
}

// Banco do Brasil's wallet is shown with its variation.
TEST(SlipPrint, TheWalletOfBancoDoBrasilShowsItsVariation) {
  tarvo::test::TempDir dir;
  const Slip bb = test::slip_of(test::bank_cases()[1]);
  const auto pdf = dir.write("bb.pdf", slips_pdf({bb}, AccountData{}, test::day(2025, 3, 1)));
  const std::string text = run("pdftotext -layout " + pdf.string() + " -");
  EXPECT_NE(text.find(" 18-019 "), std::string::npos) << text;
}

TEST(SlipPrint, ALogoImageStandsInForTheBanksName) {
  auto& cups = tarvo::test::PrivateCups::instance();
  cups.add_queue("component_slip_logo");
  ::setenv("LPDEST", "component_slip_logo", 1);
  tarvo::test::TempDir dir;
  test::use_profile(dir.path());
  const auto print_with = [](const std::string& logo) {
    AutomationObject boleto = create();
    test::fill(boleto, {}, 1, "CNAB400", logo);
    boleto.call("IMPRIMEBOLETOSSEMPREVIEW");
  };
  const std::vector<std::string> images = {"logo.png", "logo.jpg", "logo.bmp"};
  for (const std::string& name : images) {
    run("convert -size 300x60 xc:navy " + (dir.path() / name).string());
    print_with((dir.path() / name).string());
  }
  // A logo file that is not there, one that is not an image, and a JPEG cut
  // short: the bank's name instead.
  print_with((dir.path() / "nao-existe.png").string());
  { std::ofstream((dir.path() / "texto.jpg").string()) << "isto não é uma imagem\n"; }
  print_with((dir.path() / "texto.jpg").string());
  run("head -c 200 " + (dir.path() / "logo.jpg").string() + " > " + (dir.path() / "cortado.jpg").string());
  print_with((dir.path() / "cortado.jpg").string());
  const auto jobs = cups.wait_for_jobs("component_slip_logo", 6);
  ASSERT_EQ(jobs.size(), 6u);
  const auto image_count = [](const std::string& pdf) {
    const std::string list = run("pdfimages -list " + pdf);
    return std::count(list.begin(), list.end(), '\n') - 2;  // less the two heading lines
  };
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    const bool logo = i < images.size();
    const std::string pdf = jobs[i].data.string();
    SCOPED_TRACE(i < images.size() ? images[i] : "job " + std::to_string(i));
    EXPECT_EQ(image_count(pdf), logo ? 2 : 0);  // receipt and ficha
    const std::string name_lines = run("pdftotext " + pdf + " - | grep -c '^Itaú$'");
    if (logo) EXPECT_EQ(name_lines, "0\n");
    else EXPECT_NE(name_lines, "0\n");
  }
  // Each image reached the page in its colour (navy, give or take what JPEG
  // loses), not black or blank, where the logo box is.
  for (std::size_t i = 0; i < images.size(); ++i) {
    const std::string png = (dir.path() / ("pagina" + std::to_string(i))).string();
    run("pdftoppm -r 100 -png -singlefile -f 1 -l 1 " + jobs[i].data.string() + " " + png);
    const std::string hex =
        run("convert " + png + ".png -crop 40x10+45+55 -scale 1x1! -format '%[hex:p{0,0}]' info:");
    ASSERT_EQ(hex.size(), 6u) << hex;
    const long rgb = std::stol(hex, nullptr, 16);
    EXPECT_LE(std::abs((rgb >> 16) - 0x00) + std::abs(((rgb >> 8) & 0xff) - 0x00) + std::abs((rgb & 0xff) - 0x80), 6)
        << images[i] << " " << hex;
  }
  ::unsetenv("TARVOUSB_CONTAS");
}

// The preview member lays the slips out as they print, page by page, and
// neither prints them nor touches the remittance file or its sequence.
TEST(SlipPreview, ShowsEachSlipAsItPrintsAndNeitherPrintsNorRegistersIt) {
  auto& cups = tarvo::test::PrivateCups::instance();
  cups.add_queue("component_slip_preview");
  ::setenv("LPDEST", "component_slip_preview", 1);
  tarvo::test::TempDir dir;
  test::use_profile(dir.path());
  const auto state = dir.path() / "estado";
  const auto remessas = dir.path() / "remessas";
  std::filesystem::create_directories(remessas);
  ::setenv("XDG_STATE_HOME", state.c_str(), 1);

  AutomationObject boleto = create();
  test::fill(boleto, remessas.string(), 2);
  const auto pages = boleto.call_object("PreviewBoletos").offered<const PreviewPages>("PreviewPages");
  ASSERT_EQ(pages->count(), 2u);
  EXPECT_NEAR(pages->size(1).width, 595.28, 0.01);
  EXPECT_NEAR(pages->size(1).height, 841.89, 0.01);

  // The first slip's bars, read from the ficha's foot at 300 dpi.
  const tarvo::test::GreyPage page = tarvo::test::grey_of(pages->render(0, 300 / 72.0));
  ASSERT_EQ(page.width, 2481);
  const int top = 3100, rows = 260;
  tarvo::test::GreyPage foot{page.width, rows, {}};
  foot.grey.assign(page.grey.begin() + std::ptrdiff_t(top) * page.width,
                   page.grey.begin() + std::ptrdiff_t(top + rows) * page.width);
  tarvo::test::write_pgm(foot, dir.path() / "pe.pgm");
  EXPECT_EQ(run("zbarimg --quiet --raw " + (dir.path() / "pe.pgm").string() + " 2>/dev/null"),
            "34191377000000135001750025828170810536789000\n");

  cups.wait_idle();
  EXPECT_TRUE(cups.jobs("component_slip_preview").empty());
  EXPECT_TRUE(std::filesystem::is_empty(remessas));
  EXPECT_FALSE(std::filesystem::exists(state));
  ::unsetenv("XDG_STATE_HOME");
  ::unsetenv("TARVOUSB_CONTAS");
}

TEST(SlipPrint, NoDefaultPrinterIsAComponentFailure) {
  tarvo::test::PrivateCups::instance();
  ::setenv("LPDEST", "component_slip_no_such_queue", 1);
  tarvo::test::TempDir dir;
  test::use_profile(dir.path());
  AutomationObject boleto = create();
  test::fill(boleto);
  {
    const RuntimeError e = test::failure_in([&] { boleto.call("IMPRIMEBOLETOSSEMPREVIEW"); });
    EXPECT_EQ(e.gencode, 1001);
    EXPECT_NE(e.description.find("impressora"), std::string::npos) << e.description;
  }
  ::unsetenv("TARVOUSB_CONTAS");
}

TEST(SlipPrint, TheExampleSlipFilePrintsOneJobPerSlip) {
  auto& cups = tarvo::test::PrivateCups::instance();
  cups.add_queue("component_slip_example");
  const std::filesystem::path examples = std::filesystem::path(TARVO_SOURCE_DIR) / "examples";
  const auto result = tarvo::test::run_tarvousb(
      {(examples / "boletos.txt").string()}, examples,
      {cups.env(), "LPDEST=component_slip_example", "TARVOUSB_CONTAS=" + (examples / "contas.conf").string()});
  EXPECT_EQ(result.err.find(" -= TarvoUSB =- "), std::string::npos) << result.err;  // no box
  const auto jobs = cups.wait_for_jobs("component_slip_example", 2);
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].title, "Boleto NF 004512");
  EXPECT_EQ(jobs[1].title, "Boleto NF 004513");
  const std::string text = run("pdftotext -layout " + jobs[1].data.string() + " -");
  // The second slip has its own number and keeps the dates the first slip sent.
  EXPECT_NE(text.find("175/00258282-5"), std::string::npos) << text;
  EXPECT_NE(text.find("10/12/2026"), std::string::npos);
  EXPECT_NE(text.find("R$ 24.69 de Multa e R$ 0.82 ao Dia"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::component
