#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "printing/dot_count.h"
#include "tests/support/page_device_recording.h"
#include "printing/win32prn.h"
#include "tests/support/fake_printers.h"

namespace tarvo {
namespace {

struct PageModel : ::testing::Test {
  RecordingPageDevices devices;
  PageRecording& rec = devices.recording();

  // The page object as the job driver prepares it.
  std::unique_ptr<WIN32PRN> make(std::string_view name = "Laser") {
    auto p = std::make_unique<WIN32PRN>(&devices);
    p->New(name);
    p->Landscape = false;
    p->FormType = 9;
    p->BottomMargin = 0;
    p->Copies = 1;
    p->SetPrintQuality(3);
    return p;
  }
};

TEST_F(PageModel, CreateReadsTheMetricsAndSelectsTheDefaultFont) {
  devices.offset_x = 50;
  devices.offset_y = 40;
  auto p = make();
  ASSERT_TRUE(p->Create());
  EXPECT_EQ(p->PixelsPerInchY, 600);
  EXPECT_EQ(p->LineHeight, 100);
  EXPECT_EQ(p->PageWidth, 4961);
  EXPECT_EQ(p->PageHeight, 7016);
  EXPECT_EQ(p->LeftMargin, 50);
  EXPECT_EQ(p->TopMargin, 40);
  EXPECT_EQ(p->RightMargin, 4961 - 50 + 1);
  EXPECT_EQ(p->BottomMargin, 7016 - 40 + 1);  // replaces the 0 given before Create

  ASSERT_EQ(rec.fonts.size(), 1u);
  const FontRequest& f = rec.fonts[0];
  EXPECT_EQ(f.face, "Courier New");
  EXPECT_EQ(f.height, -100);  // 12 points at 600 dpi
  EXPECT_EQ(f.width, 60);     // 10 characters per inch
  EXPECT_EQ(f.weight, 400);
  EXPECT_EQ(p->CharWidth, 60);
  EXPECT_EQ(p->fCharWidth, 60);
  EXPECT_EQ(p->CharHeight, 83 + 30);
  EXPECT_TRUE(p->SetFontOk);

  ASSERT_EQ(rec.settings.size(), 1u);
  EXPECT_EQ(rec.settings[0].form, FormSpec(9));
  EXPECT_EQ(rec.settings[0].copies, 1);
  EXPECT_EQ(rec.settings[0].quality, 3);
  EXPECT_EQ(rec.settings[0].landscape, false);
}

TEST_F(PageModel, RowsAndColumnsBecomeDots) {
  devices.offset_x = 50;
  devices.offset_y = 40;
  auto p = make();
  ASSERT_TRUE(p->Create());
  p->SetPrc(1, 10);
  EXPECT_EQ(p->PosX, 50 + 600);
  EXPECT_EQ(p->PosY, 40 + 100);
  p->SetPrc(2.5, 0.5);  // whole parts of the products
  EXPECT_EQ(p->PosX, 50 + 30);
  EXPECT_EQ(p->PosY, 40 + 250);
  EXPECT_EQ(p->NewLine(), 40 + 350);
  EXPECT_EQ(p->PosX, 50);

  // A wild row or column from a print file stays far off the sheet on its
  // own side instead of wrapping round to the other.
  p->SetPrc(1e12, 1e12);
  EXPECT_GE(p->PosX, 1 << 30);
  EXPECT_GE(p->PosY, 1 << 30);
  p->SetPrc(-1e300, -1e300);
  EXPECT_LE(p->PosX, -(1 << 30) + 50);
  EXPECT_LE(p->PosY, -(1 << 30) + 40);
}

// Sizes and sums past any sheet stay at the dot limit, on their own side:
// no font size wraps round to another (or to the device's default of 0),
// and no position wraps to the other edge.
TEST_F(PageModel, WildSizesAndPositionsStayAtTheDotLimit) {
  auto p = make();
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("doc"));
  for (const double points : {257698037.76, 1e20}) {
    p->SetFont("Arial", points);
    EXPECT_EQ(rec.fonts.back().height, -kDotLimit) << points;
    EXPECT_EQ(p->CharHeight, kDotLimit) << points;  // ascent + descent, held
  }
  p->SetFont(std::nullopt, std::nullopt, FontWidthArg{PitchPair{1 << 30, 1}});
  EXPECT_EQ(rec.fonts.back().width, kDotLimit);

  p->SetDefaultFont();
  p->SetPrc(1, 1e9);
  p->TextOut(std::string(100, 'x'));
  EXPECT_EQ(p->PosX, kDotLimit);
  p->SetPos(-1e300, 1e300);
  p->TextOut("x", true);
  EXPECT_EQ(p->PosX, 0);
  EXPECT_EQ(p->PosY, kDotLimit);
  p->SetPos(5, 0);
  p->SetPos(std::nan(""));
  EXPECT_EQ(p->PosX, 0);
}

// A face name longer than any font request holds reaches the device cut.
TEST_F(PageModel, FaceRequestsHoldThirtyOneCharacters) {
  auto p = make();
  ASSERT_TRUE(p->Create());
  p->SetFont(std::string(40, 'F') + "ace");
  EXPECT_EQ(rec.fonts.back().face, std::string(31, 'F'));
}

TEST_F(PageModel, UnknownPrinterOrRefusedSettingsFailCreate) {
  devices.known = {"Laser"};
  auto p = make("Nowhere");
  EXPECT_FALSE(p->Create());
  EXPECT_FALSE(p->hPrinterDc);

  devices.known.clear();
  devices.refuse_settings = true;
  auto q = make();
  EXPECT_FALSE(q->Create());
  EXPECT_FALSE(q->hPrinterDc);
  EXPECT_EQ(rec.open_devices, 0);
}

TEST_F(PageModel, EmptyNameTakesTheDefaultPrinter) {
  test::FakePrinters printers;
  printers.default_name = "Padrao";
  WIN32PRN p(&devices, &printers);
  p.New("");
  EXPECT_EQ(p.PrinterName, "Padrao");
}

TEST_F(PageModel, TextIsDrawnAtThePositionAndAdvancesIt) {
  auto p = make();
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("doc"));
  p->SetPrc(3, 4);
  p->TextOut("abc");
  ASSERT_EQ(rec.texts.size(), 1u);
  EXPECT_EQ(rec.texts[0].x, 240);
  EXPECT_EQ(rec.texts[0].y, 300);
  EXPECT_EQ(rec.texts[0].align, kAlignLeft | kAlignBottom);
  EXPECT_FALSE(rec.texts[0].fixed_advance);
  EXPECT_EQ(p->PosX, 240 + 3 * 60);

  p->TextOut("", true);  // an empty text draws nothing but still moves to the next line
  EXPECT_EQ(rec.texts.size(), 1u);
  EXPECT_EQ(p->PosY, 400);
  EXPECT_EQ(p->PosX, 0);
}

TEST_F(PageModel, NegativePitchDrawsEveryCharacterAtAFixedAdvance) {
  auto p = make();
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("doc"));
  ASSERT_TRUE(p->SetFont(std::nullopt, std::nullopt, FontWidthArg{PitchPair{1, -8}}));
  EXPECT_EQ(p->fCharWidth, -75);
  EXPECT_EQ(p->CharWidth, 75);
  EXPECT_EQ(rec.fonts.back().width, 75);
  p->SetPos(100, 200);
  p->TextOut("abcd");
  ASSERT_EQ(rec.texts.size(), 1u);
  EXPECT_EQ(rec.texts[0].fixed_advance, 75);
  EXPECT_EQ(p->PosX, 100 + 4 * 75);
}

TEST_F(PageModel, PitchAndWeightRules) {
  auto p = make();
  ASSERT_TRUE(p->Create());
  p->SetFont("Courier New", 11, 17.0, 0, false, false, 0);
  EXPECT_EQ(rec.fonts.back().width, 35);    // round(600 / 17)
  EXPECT_EQ(rec.fonts.back().height, -92);  // 11 points at 600 dpi
  EXPECT_EQ(p->CharWidth, 35);
  p->SetFont(std::nullopt, std::nullopt, 0.0);  // zero width: the face's own
  EXPECT_EQ(p->FontWidth, (PitchPair{0, 0}));
  EXPECT_EQ(rec.fonts.back().width, 0);
  EXPECT_EQ(p->CharWidth, 55);

  p->SetFont(std::nullopt, std::nullopt, std::nullopt, 800);
  EXPECT_EQ(rec.fonts.back().weight, 800);
  p->SetFont(std::nullopt, std::nullopt, std::nullopt, 0);
  EXPECT_EQ(rec.fonts.back().weight, 400);
}

TEST_F(PageModel, AttributesRecreateTheFontOnlyWhilePrinting) {
  auto p = make();
  ASSERT_TRUE(p->Create());
  const std::size_t before = rec.fonts.size();
  EXPECT_EQ(p->Bold(800), 0);
  EXPECT_EQ(rec.fonts.size(), before);  // stored, not yet applied
  ASSERT_TRUE(p->StartDoc("doc"));
  EXPECT_EQ(p->Bold(800), 800);
  EXPECT_EQ(rec.fonts.back().weight, 800);
  EXPECT_FALSE(p->Italic(true));
  EXPECT_TRUE(rec.fonts.back().italic);
  EXPECT_FALSE(p->UnderLine(true));
  EXPECT_TRUE(rec.fonts.back().underline);
  EXPECT_EQ(p->Bold(0), 800);
  EXPECT_EQ(rec.fonts.back().weight, 400);
  EXPECT_TRUE(rec.fonts.back().italic);
}

TEST_F(PageModel, FontNameIsTheFaceTheDeviceSelected) {
  devices.selected_face = "Liberation Mono";
  auto p = make();
  ASSERT_TRUE(p->Create());
  EXPECT_EQ(p->FontName, "Liberation Mono");
  // Recreating without a face keeps asking for the selected one.
  p->SetFont();
  EXPECT_EQ(rec.fonts.back().face, "Liberation Mono");
}

TEST_F(PageModel, DocumentWithoutDrawingIsAbortedAtEndDoc) {
  auto p = make();
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("vazio"));
  p->EndPage();
  p->EndDoc();
  EXPECT_EQ(rec.documents_aborted, 1);
  EXPECT_EQ(rec.documents_ended, 0);
  EXPECT_FALSE(p->Printing);
}

TEST_F(PageModel, PagesAndTheEmptyPageAfterAFinalBreak) {
  auto p = make();
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("doc"));
  EXPECT_TRUE(p->Printing);
  p->TextOut("um");
  p->EndPage();
  p->TextOut("dois");
  p->EndPage();  // the document ends right after a page break
  p->EndDoc();
  EXPECT_EQ(rec.documents_ended, 1);
  EXPECT_EQ(rec.pages_ended, 3);
  ASSERT_EQ(rec.texts.size(), 2u);
  EXPECT_EQ(rec.texts[1].page, 2);
  EXPECT_FALSE(p->Printing);
  EXPECT_FALSE(p->HavePrinted);
}

TEST_F(PageModel, DestroyEndsAnOpenDocumentAndReleasesTheDevice) {
  auto p = make();
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("doc"));
  p->TextOut("x");
  EXPECT_TRUE(p->Destroy());
  EXPECT_EQ(rec.documents_ended, 1);
  EXPECT_EQ(rec.open_devices, 0);
  EXPECT_TRUE(p->Destroy());  // safe twice
  EXPECT_FALSE(p->StartDoc("again"));
}

TEST_F(PageModel, RefusedDocumentDrawsNothing) {
  devices.refuse_documents = true;
  devices.failure_reason = "fila parada";
  auto p = make();
  ASSERT_TRUE(p->Create());
  EXPECT_FALSE(p->StartDoc("doc"));
  EXPECT_FALSE(p->Printing);
  EXPECT_EQ(p->Failure().kind, DeviceFailure::Kind::refused);
  EXPECT_EQ(p->Failure().reason, "fila parada");
  p->TextOut("perdido");
  EXPECT_TRUE(rec.texts.empty());
}

// A page the device cannot finish, or a document the print system loses at
// its end, is a failure the caller sees; nothing of it prints.
TEST_F(PageModel, FailedPagesAndLostDocumentsAreReported) {
  devices.failing_page = 2;
  auto p = make();
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("doc"));
  p->TextOut("um");
  EXPECT_TRUE(p->EndPage());
  p->TextOut("dois");
  EXPECT_FALSE(p->EndPage());
  EXPECT_EQ(p->Failure().kind, DeviceFailure::Kind::not_drawn);
  EXPECT_EQ(rec.events_starting("start_page").size(), 2u);  // no page after the failed one
  EXPECT_FALSE(p->EndDoc());
  EXPECT_EQ(rec.documents_ended, 0);
  EXPECT_EQ(rec.documents_aborted, 1);

  devices.failing_page = 0;
  devices.lose_documents = true;
  auto q = make();
  ASSERT_TRUE(q->Create());
  ASSERT_TRUE(q->StartDoc("doc"));
  q->TextOut("x");
  EXPECT_FALSE(q->EndDoc());
  EXPECT_EQ(q->Failure().kind, DeviceFailure::Kind::refused);
  EXPECT_TRUE(q->EndDoc(true));  // nothing left to end
}

TEST_F(PageModel, DefaultDocumentNameCarriesProgramDateAndTime) {
  auto p = make();
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc());
  const auto starts = rec.events_starting("start_document ");
  ASSERT_EQ(starts.size(), 1u);
  // "<this program's full path> [dd/mm/yy - hh:mm:ss]"
  EXPECT_TRUE(std::regex_match(starts[0], std::regex(R"(start_document (/|[A-Z]:\\).*printing_test(\.exe)? )"
                                                     R"(\[\d\d/\d\d/\d\d - \d\d:\d\d:\d\d\])")))
      << starts[0];
}

TEST_F(PageModel, QualityAndPaperChangedWhilePrintingApplyAtTheNextPage) {
  auto p = make();
  ASSERT_TRUE(p->Create());
  ASSERT_TRUE(p->StartDoc("doc"));
  EXPECT_EQ(rec.settings.size(), 1u);  // nothing changed for the first page
  EXPECT_EQ(p->SetPrintQuality(-4), 3);
  EXPECT_EQ(p->fPrintQuality, 3);
  p->Landscape = true;
  p->TextOut("x");
  p->EndPage();
  ASSERT_EQ(rec.settings.size(), 2u);
  EXPECT_EQ(rec.settings[1].quality, -4);
  EXPECT_EQ(rec.settings[1].landscape, true);
  EXPECT_FALSE(rec.settings[1].form);  // unchanged fields are left out
  EXPECT_EQ(rec.settings[1].copies, 0);
  EXPECT_EQ(p->fPrintQuality, -4);
}

TEST_F(PageModel, PaperOrderCustomSizeThenFormNameThenCode) {
  auto p = make();
  p->PaperLength = 1500;
  p->PaperWidth = 1000;
  ASSERT_TRUE(p->Create());
  EXPECT_EQ(rec.settings.back().form, FormSpec(256));
  EXPECT_EQ(rec.settings.back().paper_length, 1500);

  auto q = make();
  q->FormType = std::string("Carta");
  ASSERT_TRUE(q->Create());
  EXPECT_EQ(rec.settings.back().form, FormSpec(std::string("Carta")));

  auto r = make();
  r->FormType = std::string(40, 'x');  // too long for a form name
  ASSERT_TRUE(r->Create());
  EXPECT_FALSE(rec.settings.back().form);
}

}  // namespace
}  // namespace tarvo
