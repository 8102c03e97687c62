#include "printing/page_device_cairo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "printing/win32prn.h"
#include "runtime/text.h"
#include "tests/engine/print_file.h"
#include "tests/printing/cups_test_util.h"
#include "tests/support/pdf_text.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

using test::PrivateCups;
using test::record;
using test::pdf_pages;
using test::pdf_words;
using test::run_command;
using test::Word;

std::string command(std::string_view code) { return record({"S", "0", "0", code}); }
std::string text(int row, int column, std::string_view content, std::string_view before = "",
                 std::string_view after = "") {
  return record({"N", std::to_string(row), std::to_string(column), content, before, after});
}

constexpr std::string_view kDirect = "=+IMPRESSAO_DIRETA+=";

// No box was shown. (Under the leak checker the program's standard error
// may also carry its report of suppressed system-library allocations.)
void expect_no_box(const test::RunResult& run) {
  EXPECT_EQ(run.err.find("-= TarvoUSB =-"), std::string::npos) << run.err;
  EXPECT_EQ(run.exit_code, 0);
}

// Runs the program on `file` with `queue` as this user's default printer.
test::RunResult print_on(const std::string& queue, const std::string& file) {
  test::TempDir dir;
  const auto path = dir.write("relatorio.txt", file);
  return test::run_tarvousb({path.string()}, dir.path(),
                            {PrivateCups::instance().env(), "LPDEST=" + queue});
}

// At 600 dots per inch and pitch 12 a column is 50 dots and a row 100: in
// points, 6 and 12.
constexpr double kColumnPt = 50 * 72.0 / 600;
constexpr double kRowPt = 100 * 72.0 / 600;

struct Placed {
  int page, row, column;
  std::string word;
};

TEST(DirectJob, TypicalReportPrintsThreePagesWithTextsInPlace) {
  auto& server = PrivateCups::instance();
  server.add_queue("Page_Typical");
  const std::vector<Placed> placed = {
      {1, 1, 10, "TITULO"}, {1, 3, 5, "Codigo"}, {1, 3, 15, "Cliente"}, {1, 10, 40, "37,50"},
      {2, 0, 0, "Inicio"},  {2, 30, 70, "meio"}, {3, 64, 75, "fim"},    {3, 5, 0, "Relat\xF3rio"},
  };
  std::string file = command("NP") + command("ST") + command("12");
  int page = 1;
  for (const Placed& p : placed) {
    for (; page < p.page; ++page) file += command("EP");
    file += p.word == "TITULO" ? text(p.row, p.column, p.word, "NI", "ND") : text(p.row, p.column, p.word);
  }
  file += std::string(kDirect);

  const auto run = print_on("Page_Typical", file);
  expect_no_box(run);
  const auto jobs = server.wait_for_jobs("Page_Typical", 1);
  ASSERT_EQ(jobs.size(), 1u);
  ASSERT_TRUE(jobs[0].is_pdf());
  EXPECT_EQ(pdf_pages(jobs[0].data), 3);
  EXPECT_NE(jobs[0].options.find("media=iso_a4_210x297mm"), std::string::npos) << jobs[0].options;
  EXPECT_NE(jobs[0].title.find("tarvousb ["), std::string::npos) << jobs[0].title;

  const auto words = pdf_words(jobs[0].data);
  for (const Placed& p : placed) {
    const std::string expected = cp1252_to_utf8(p.word);
    const auto w = std::find_if(words.begin(), words.end(), [&](const Word& x) { return x.text == expected; });
    ASSERT_NE(w, words.end()) << expected;
    EXPECT_EQ(w->page, p.page) << expected;
    EXPECT_NEAR(w->x_min, p.column * kColumnPt, kColumnPt / 2) << expected;
    EXPECT_NEAR(w->y_max, (p.row + 1) * kRowPt, kRowPt) << expected;
  }

  const std::string fonts = run_command("pdffonts '" + jobs[0].data.string() + "'");
  EXPECT_TRUE(std::regex_search(fonts, std::regex(R"(\+LiberationMono-Bold\s)"))) << fonts;
  EXPECT_TRUE(std::regex_search(fonts, std::regex(R"(\+LiberationMono\s)"))) << fonts;
}

TEST(DirectJob, RecordsThatDrawNothingLeaveNoJob) {
  auto& server = PrivateCups::instance();
  server.add_queue("Page_Empty");
  const auto run = print_on("Page_Empty", command("NP") + command("ST") + command("12") + command("EP") +
                                              std::string(kDirect));
  expect_no_box(run);
  server.wait_idle();
  EXPECT_TRUE(server.jobs("Page_Empty").empty());
  EXPECT_EQ(test::queued_jobs("Page_Empty"), "");
}

TEST(DirectJob, ExampleReportPrints) {
  auto& server = PrivateCups::instance();
  server.add_queue("Page_Example");
  const auto run = print_on("Page_Example", test::read_file(std::filesystem::path(TARVO_SOURCE_DIR) /
                                                            "examples" / "relatorio.txt"));
  expect_no_box(run);
  const auto jobs = server.wait_for_jobs("Page_Example", 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_GE(pdf_pages(jobs[0].data), 1);
  const auto words = pdf_words(jobs[0].data);
  EXPECT_TRUE(std::any_of(words.begin(), words.end(), [](const Word& w) { return w.text == "Relatório"; }));
}

TEST(DirectJob, FinalPageBreakGivesAnEmptyLastPage) {
  auto& server = PrivateCups::instance();
  server.add_queue("Page_Final_Break");
  print_on("Page_Final_Break", command("NP") + command("ST") + text(1, 1, "um") + command("EP") +
                                   std::string(kDirect));
  const auto jobs = server.wait_for_jobs("Page_Final_Break", 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(pdf_pages(jobs[0].data), 2);
}

// A queue that rejects jobs stops a direct job with the print system's
// reason; nothing is queued.
TEST(DirectJob, RejectingQueueStopsTheJobWithTheReason) {
  auto& server = PrivateCups::instance();
  server.add_queue("Page_Rejecting");
  server.run("cupsreject -r 'sem papel' Page_Rejecting");
  const auto run = print_on("Page_Rejecting", command("NP") + command("ST") + text(1, 1, "perdido") +
                                                  std::string(kDirect));
  EXPECT_TRUE(std::regex_search(
      run.err, std::regex(R"(-= TarvoUSB =- : A impressora Page_Rejecting recusou o trabalho: \S.*
)")))
      << run.err;
  server.wait_idle();
  EXPECT_TRUE(server.jobs("Page_Rejecting").empty());
  EXPECT_EQ(test::queued_jobs("Page_Rejecting"), "");
}

TEST(DirectJob, UnknownPrinterFailsCreate) {
  CairoPageDevices devices;
  WIN32PRN p(&devices);
  p.New("Page_No_Such_Queue");
  EXPECT_FALSE(p.Create());
  EXPECT_FALSE(p.hPrinterDc);
}

// The page model on the cairo device, without the engine.
struct CairoModel : ::testing::Test {
  CairoPageDevices devices;
  std::unique_ptr<WIN32PRN> page(const std::string& queue) {
    PrivateCups::instance().add_queue(queue);
    auto p = std::make_unique<WIN32PRN>(&devices);
    p->New(queue);
    p->FormType = 9;
    p->Copies = 1;
    return p;
  }
};

TEST_F(CairoModel, DefaultFontResolvesToTheMetricCompatibleFace) {
  auto p = page("Page_Metrics");
  ASSERT_TRUE(p->Create());
  EXPECT_EQ(p->PixelsPerInchX, 600);
  EXPECT_EQ(p->PageWidth, 4961);
  EXPECT_EQ(p->PageHeight, 7016);
  EXPECT_EQ(p->LeftMargin, 0);
  EXPECT_EQ(p->FontName, "Liberation Mono");
  EXPECT_EQ(p->CharWidth, 60);
  // 12 points at 600 dpi is an em of 100 dots; the face's cell is 1.133 em.
  EXPECT_EQ(p->CharHeight, 113);

  p->SetFont("Courier New", 11, 0.0);  // the face's own width: 0.6 em
  EXPECT_EQ(p->CharWidth, 55);
  p->SetFont(std::nullopt, std::nullopt, 17.0, 800);
  EXPECT_EQ(p->CharWidth, 35);
  EXPECT_EQ(p->FontName, "Liberation Mono");
}

TEST_F(CairoModel, FixedAdvanceAndAttributesReachThePage) {
  auto p = page("Page_Attributes");
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("atributos"));
  p->SetPrc(1, 10);
  p->TextOut("larga");
  p->SetFont(std::nullopt, std::nullopt, FontWidthArg{PitchPair{1, -5}});  // 120 dots a character
  p->SetPrc(2, 0);
  p->TextOut("ABC");
  EXPECT_EQ(p->PosX, 360);
  p->SetDefaultFont();
  p->Italic(true);
  p->UnderLine(true);
  p->SetPrc(3, 0);
  p->TextOut("italico");
  p->EndDoc();

  const auto jobs = PrivateCups::instance().wait_for_jobs("Page_Attributes", 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].title, "atributos");
  const auto words = pdf_words(jobs[0].data);
  ASSERT_EQ(words.size(), 3u);
  const auto word = [&](std::string_view t) {
    return *std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.text == t; });
  };
  EXPECT_NEAR(word("larga").x_min, 600 * 72.0 / 600, 3);
  EXPECT_NEAR(word("larga").y_max, 100 * 72.0 / 600, 1);
  // Three letters 120 dots apart span 360 dots, 43.2 points.
  EXPECT_NEAR(word("ABC").x_max, 360 * 72.0 / 600, 3);
  EXPECT_NEAR(word("italico").y_max, 300 * 72.0 / 600, 1);
  const std::string fonts = run_command("pdffonts '" + jobs[0].data.string() + "'");
  EXPECT_NE(fonts.find("LiberationMono-Italic"), std::string::npos) << fonts;
}

TEST_F(CairoModel, LandscapeSwapsTheSheet) {
  auto p = page("Page_Landscape");
  p->Landscape = true;
  p->FormType = 11;  // A5
  ASSERT_TRUE(p->Create());
  EXPECT_EQ(p->PageWidth, 4961);
  EXPECT_EQ(p->PageHeight, 3496);
  ASSERT_TRUE(p->StartDoc("paisagem"));
  p->TextOut("x");
  p->EndDoc();
  const auto jobs = PrivateCups::instance().wait_for_jobs("Page_Landscape", 1);
  ASSERT_EQ(jobs.size(), 1u);
  const std::string info = run_command("pdfinfo '" + jobs[0].data.string() + "'");
  EXPECT_NE(info.find("595.276 x 419.528"), std::string::npos) << info;
  EXPECT_NE(jobs[0].options.find("media=iso_a5_148x210mm"), std::string::npos) << jobs[0].options;
}

TEST_F(CairoModel, SettingsBecomeJobOptions) {
  auto p = page("Page_Options");
  p->FormType = std::string("Legal");
  p->fDuplexType = 2;
  p->SetPrintQuality(-4);
  ASSERT_TRUE(p->Create());
  EXPECT_EQ(p->PageWidth, 5100);  // 8.5 x 14 inches at 600 dpi
  EXPECT_EQ(p->PageHeight, 8400);
  ASSERT_TRUE(p->StartDoc("opcoes"));
  p->TextOut("x");
  p->EndDoc();
  const auto jobs = PrivateCups::instance().wait_for_jobs("Page_Options", 1);
  ASSERT_EQ(jobs.size(), 1u);
  const std::string& o = jobs[0].options;
  EXPECT_NE(o.find("media=na_legal_8.5x14in"), std::string::npos) << o;
  EXPECT_NE(o.find("print-quality=5"), std::string::npos) << o;
  EXPECT_NE(o.find("sides=two-sided-long-edge"), std::string::npos) << o;

  // Quality 3, as the job driver sets it, is no resolution the printer offers.
  auto q = page("Page_Options_Low");
  q->FormType = 1;  // letter
  q->SetPrintQuality(3);
  ASSERT_TRUE(q->Create());
  EXPECT_EQ(q->PixelsPerInchX, 600);
  EXPECT_EQ(q->PageHeight, 6600);
  ASSERT_TRUE(q->StartDoc("carta"));
  q->TextOut("x");
  q->EndDoc();
  const auto low = PrivateCups::instance().wait_for_jobs("Page_Options_Low", 1);
  ASSERT_EQ(low.size(), 1u);
  EXPECT_EQ(low[0].options.find("printer-resolution"), std::string::npos) << low[0].options;
  EXPECT_NE(low[0].options.find("media=na_letter_8.5x11in"), std::string::npos) << low[0].options;
}

TEST_F(CairoModel, AbortedDocumentIsCancelled) {
  auto p = page("Page_Aborted");
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("abortado"));
  p->TextOut("nao sai");
  p->EndPage();
  p->EndDoc(true);
  ASSERT_TRUE(p->StartDoc("e outro"));
  p->TextOut("sai");
  p->Destroy();  // ends the open document normally
  const auto jobs = PrivateCups::instance().wait_for_jobs("Page_Aborted", 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].title, "e outro");
  PrivateCups::instance().wait_idle();
  EXPECT_EQ(PrivateCups::instance().jobs("Page_Aborted").size(), 1u);
  EXPECT_EQ(test::queued_jobs("Page_Aborted"), "");
}

// A queue removed after the printer was opened refuses the document, and
// says why.
TEST_F(CairoModel, QueueGoneBeforeTheDocumentIsRefused) {
  auto p = page("Page_Gone");
  ASSERT_TRUE(p->Create());
  PrivateCups::instance().remove_queue("Page_Gone");
  EXPECT_FALSE(p->StartDoc("sumiu"));
  EXPECT_FALSE(p->Printing);
  EXPECT_EQ(p->Failure().kind, DeviceFailure::Kind::refused);
  EXPECT_FALSE(p->Failure().reason.empty());
}

// A font too large to be made is refused: the font before it stays, and
// the document prints, its other texts and fonts whole.
TEST_F(CairoModel, FontTooLargeKeepsThePreviousFont) {
  auto p = page("Page_Huge_Font");
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("fonte enorme"));
  p->SetFont("Courier New", 11, 10.0);
  const int width = p->CharWidth, height = p->CharHeight;
  p->SetPrc(1, 0);
  p->TextOut("antes");
  for (const double points : {65536.0, 1e6, 1e20}) {
    EXPECT_FALSE(p->SetFont("Courier New", points, 10.0)) << points;
    EXPECT_EQ(p->CharWidth, width) << points;
    EXPECT_EQ(p->CharHeight, height) << points;
  }
  p->SetPrc(2, 0);
  p->TextOut("depois");
  EXPECT_TRUE(p->EndDoc());

  const auto jobs = PrivateCups::instance().wait_for_jobs("Page_Huge_Font", 1);
  ASSERT_EQ(jobs.size(), 1u);
  std::vector<std::string> texts;
  for (const Word& w : pdf_words(jobs[0].data)) texts.push_back(w.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"antes", "depois"}));
}

// Texts running far past the sheet, or lying far off it, cost only what
// reaches the sheet; the job prints.
TEST_F(CairoModel, LongAndFarTextsPrintWhatReachesTheSheet) {
  auto p = page("Page_Long_Text");
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("texto longo"));
  const std::string line = "inicio" + std::string(4'000'000, 'x');
  p->SetPrc(1, 0);
  p->TextOut(line);
  EXPECT_EQ(p->PosX, 60 * static_cast<int>(line.size()));
  p->SetPrc(2, 1e9);
  p->TextOut(line);
  p->SetPos(0, -1e9);
  p->TextOut(line);
  p->SetPrc(3, 0);
  p->TextOut("fim");
  EXPECT_TRUE(p->EndDoc());

  const auto jobs = PrivateCups::instance().wait_for_jobs("Page_Long_Text", 1);
  ASSERT_EQ(jobs.size(), 1u);
  const auto words = pdf_words(jobs[0].data);
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[0].text.substr(0, 7), "iniciox");
  EXPECT_LT(words[0].text.size(), 200u);  // a sheet's width, not the whole text
  EXPECT_EQ(words[1].text, "fim");
}

// A page with more drawing than the device holds at once is not drawn: the
// page fails with its number, and nothing of the document prints.
TEST_F(CairoModel, CrowdedPageFailsWithItsNumber) {
  auto p = page("Page_Crowded");
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("lotada"));
  p->TextOut("um");
  ASSERT_TRUE(p->EndPage());
  for (int i = 0; i < 60'000; ++i) {
    p->SetPrc(i % 60, i % 80);
    p->TextOut("x");
  }
  EXPECT_FALSE(p->EndPage());
  EXPECT_EQ(p->Failure().kind, DeviceFailure::Kind::not_drawn);
  EXPECT_NE(p->Failure().reason.find("página 2"), std::string::npos) << p->Failure().reason;
  EXPECT_FALSE(p->EndDoc());
  PrivateCups::instance().wait_idle();
  EXPECT_TRUE(PrivateCups::instance().jobs("Page_Crowded").empty());
}

// Fonts dropped from the device's cache come back as they were.
TEST_F(CairoModel, ManyFontSizesComeBackTheSame) {
  auto p = page("Page_Many_Fonts");
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("fontes"));
  const auto metrics = [&](double points) {
    p->SetFont("Arial", points, 0.0);
    p->TextOut("x");
    return std::pair{p->CharWidth, p->CharHeight};
  };
  const auto first = metrics(7);
  for (int i = 0; i < 100; ++i) metrics(8 + i * 0.25);
  EXPECT_EQ(metrics(7), first);
  EXPECT_TRUE(p->EndDoc());
}

}  // namespace
}  // namespace tarvo
