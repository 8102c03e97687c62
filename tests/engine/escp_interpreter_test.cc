#include "engine/escp_interpreter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "engine/box_drawing.h"
#include "tests/engine/page_fixture.h"

namespace tarvo {
namespace {

using test::RecordedJob;

// Bytes by value, for data that holds NUL.
std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (const int v : values) out += static_cast<char>(v);
  return out;
}

const std::string ESC = "\x1B";

// The recording devices work at 600 dots per inch on A4: the eight-inch
// line is centred 80 dots from the sheet's edge; a baseline lies 1/6 inch
// plus seven pins below the line's top.
constexpr int kLeft = 80;
int baseline(double inches_down) { return static_cast<int>(std::lround((1.0 / 6 + 7.0 / 72 + inches_down) * 600)); }

struct Rendered : RecordedJob {
  std::vector<PageRecording::Drawn> render(std::string_view data, const EscpOptions& options = {}) {
    WIN32PRN& page = printing_page();
    render_escp(data, page, options);
    page.EndDoc();
    return rec.texts;
  }
};

// The text drawn as `text`; a failure, and an empty record, when none was.
const PageRecording::Drawn* find(const std::vector<PageRecording::Drawn>& texts, std::string_view text) {
  static const PageRecording::Drawn missing{};
  const auto it = std::find_if(texts.begin(), texts.end(), [&](const auto& t) { return t.text == text; });
  if (it != texts.end()) return &*it;
  std::string drawn;
  for (const auto& t : texts) drawn += "[" + t.text + "]";
  ADD_FAILURE() << "no text \"" << text << "\" among " << drawn;
  return &missing;
}

struct Pitch {
  std::string codes;
  int char_dots;    // a character's advance and glyph width
  int column_dots;  // a column of the tab stops: double width does not count
};

TEST(EscpText, PitchCodesSetAdvanceGlyphWidthAndTabColumns) {
  const std::vector<Pitch> pitches = {
      {"", 60, 60},                       // 10 cpi
      {ESC + "M", 50, 50},                // 12
      {ESC + "g", 40, 40},                // 15
      {"\x0F", 35, 35},                   // 17.14
      {ESC + "\x0F", 35, 35},             // 17.14
      {ESC + "M\x0F", 30, 30},            // 20
      {ESC + "W1", 120, 60},              // 5
      {"\x0E", 120, 60},                  // 5 for the line
      {"\x0F" + ESC + "W\x01", 70, 35},   // 8.57
      {ESC + "!\x01", 50, 50},            // master select: elite
      {ESC + "!\x05", 30, 30},            // elite condensed
      {ESC + "!\x20", 120, 60},           // double width
      {"\x0F\x12", 60, 60},               // condensed off again
      {ESC + "W1" + ESC + "W0", 60, 60},
  };
  for (const Pitch& p : pitches) {
    SCOPED_TRACE(testing::PrintToString(p.codes));
    Rendered job;
    const auto texts = job.render(p.codes + "AB\tC");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "AB");
    EXPECT_EQ(texts[0].x, kLeft);
    EXPECT_EQ(texts[0].fixed_advance, p.char_dots);
    EXPECT_EQ(texts[0].font.width, p.char_dots);
    EXPECT_EQ(texts[1].x, kLeft + 8 * p.column_dots);
  }
}

TEST(EscpText, LineSpacingAndFeedsMoveDown) {
  Rendered job;
  const auto texts = job.render("L0\r\nL1\r\n" + ESC + "0L2\r\nL3\r\n" + ESC + "3" + bytes({54}) + "L4\r\n" +
                                ESC + "A" + bytes({12}) + "L5\r\nL6" + ESC + "J" + bytes({108}) + "L7" + ESC +
                                "2\r\n\nL8");
  const std::vector<std::pair<std::string, double>> expected = {
      {"L0", 0},           {"L1", 1.0 / 6},     {"L2", 2.0 / 6},           {"L3", 2.0 / 6 + 1.0 / 8},
      {"L4", 2.0 / 6 + 2.0 / 8}, {"L5", 2.0 / 6 + 2.0 / 8 + 0.25}, {"L6", 3.0 / 6 + 2.0 / 8 + 0.25},
      {"L7", 3.0 / 6 + 2.0 / 8 + 0.75}, {"L8", 5.0 / 6 + 2.0 / 8 + 0.75},
  };
  for (const auto& [text, down] : expected) {
    const auto* t = find(texts, text);
    ASSERT_NE(t, nullptr) << text;
    EXPECT_EQ(t->y, baseline(down)) << text;
  }
  // A paper feed moves down without a carriage return.
  EXPECT_EQ(find(texts, "L7")->x, kLeft + 120);
  EXPECT_EQ(find(texts, "L0")->align, kAlignLeft | kAlignBaseline);

  // A 24-pin printer counts in 1/180 inch.
  Rendered pins24;
  const auto lq = pins24.render(ESC + "3" + bytes({45}) + "\nX", {.twenty_four_pin = true});
  EXPECT_EQ(lq.at(0).y, baseline(0.25));
}

TEST(EscpText, AttributesSelectBoldItalicAndUnderline) {
  Rendered job;
  const auto texts = job.render("n" + ESC + "Eb" + ESC + "F" + ESC + "4i" + ESC + "5" + ESC + "-1u" + ESC + "-0" +
                                ESC + "Gd" + ESC + "H" + ESC + "!" + bytes({0xC8}) + "x");
  ASSERT_EQ(texts.size(), 6u);
  const auto font = [&](std::string_view t) { return find(texts, t)->font; };
  EXPECT_EQ(font("n").weight, 400);
  EXPECT_EQ(font("b").weight, 800);
  EXPECT_TRUE(font("i").italic);
  EXPECT_FALSE(font("b").italic);
  EXPECT_TRUE(font("u").underline);
  EXPECT_EQ(font("d").weight, 800);
  EXPECT_EQ(font("x").weight, 800);
  EXPECT_TRUE(font("x").italic && font("x").underline);
  EXPECT_EQ(font("n").face, "Courier New");
  // Each character one column after the other, whatever its attributes.
  EXPECT_EQ(find(texts, "x")->x, kLeft + 5 * 60);
}

TEST(EscpText, CharacterTablesAndNationalSetsGiveWindows1252) {
  Rendered cp850;
  EXPECT_EQ(cp850.render("Cora\x87\xC6o n\xA7 Caf\x82 \x90 \xE4").at(0).text, "Cora\xE7\xE3o n\xBA Caf\xE9 \xC9 \xF5");

  Rendered cp437;  // table 3: in 437, 0xC6 is a box character, not "ã"
  const auto t437 = cp437.render(ESC + "t3" + "a\x87\xC6");
  ASSERT_EQ(t437.size(), 1u);
  EXPECT_EQ(t437[0].text, "a\xE7");
  EXPECT_FALSE(cp437.rec.rects.empty());

  Rendered latin1;  // ISO 8859-1 assigned to table 1
  EXPECT_EQ(latin1.render(ESC + "(t" + bytes({3, 0, 1, 29, 16}) + ESC + "t1\xE7\xE3").at(0).text, "\xE7\xE3");

  Rendered portugal;
  EXPECT_EQ(portugal.render("\x84\x8E", {.code_table = CodeTable::cp860}).at(0).text, "\xE3\xC3");

  Rendered latin_america;
  EXPECT_EQ(latin_america.render(ESC + "R\x0C" + "@[|" + ESC + "R" + bytes({0}) + "@").at(0).text, "\xE1\xA1\xF1@");

  Rendered italic_table;
  const auto it = italic_table.render(ESC + "t0\xE1" + "\x87");
  ASSERT_EQ(it.size(), 1u);
  EXPECT_EQ(it[0].text, "a");
  EXPECT_TRUE(it[0].font.italic);
}

TEST(EscpText, TabStopsAndMarginsPlaceColumns) {
  Rendered tabs;
  const auto t = tabs.render(ESC + "D" + bytes({5, 20, 0}) + "A\tB\tC\tD");
  EXPECT_EQ(find(t, "A")->x, kLeft);
  EXPECT_EQ(find(t, "B")->x, kLeft + 5 * 60);
  // Past the last stop a tab does nothing.
  EXPECT_EQ(find(t, "CD")->x, kLeft + 20 * 60);

  Rendered margins;
  const auto m = margins.render(ESC + "l" + bytes({10}) + ESC + "Q" + bytes({30}) + "X\tY\r\n" +
                                "12345678901234567890ABC");
  EXPECT_EQ(find(m, "X")->x, kLeft + 600);
  EXPECT_EQ(find(m, "Y")->x, kLeft + 600 + 480);  // tabs count from the left margin
  // Twenty columns fit between the margins; the rest goes to the next line.
  EXPECT_EQ(find(m, "12345678901234567890")->x, kLeft + 600);
  const auto* wrapped = find(m, "ABC");
  ASSERT_NE(wrapped, nullptr);
  EXPECT_EQ(wrapped->x, kLeft + 600);
  EXPECT_EQ(wrapped->y, baseline(2.0 / 6));

  Rendered absolute;
  const auto a = absolute.render("ab" + ESC + "$" + bytes({60, 0}) + "c" + ESC + "\\" + bytes({0xD0, 0xFF}) + "d");
  EXPECT_EQ(find(a, "c")->x, kLeft + 600);
  EXPECT_EQ(find(a, "d")->x, kLeft + 660 - 240);  // 48 steps of 1/120 inch back
}

TEST(EscpText, StrikeOversMakeAccentsBoldAndUnderline) {
  Rendered job;
  const auto texts = job.render("a\b~ c\b, ~\bo\r\nTotal\rTotal\r\nNome\r____ x\b_");
  EXPECT_NE(find(texts, "\xE3 \xE7 \xF5"), nullptr);
  const auto* total = find(texts, "Total");
  ASSERT_NE(total, nullptr);
  EXPECT_EQ(total->font.weight, 800);
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const auto& t) { return t.text == "Total"; }), 1);
  const auto* nome = find(texts, "Nome");
  ASSERT_NE(nome, nullptr);
  EXPECT_TRUE(nome->font.underline);
  EXPECT_TRUE(find(texts, "x")->font.underline);
}

// Graphics, bar codes and codes with no meaning on a page are skipped by
// their length: the text on either side runs on as if they were not there.
TEST(EscpText, SkippedSequencesLeaveTheFollowingTextInPlace) {
  const std::vector<std::pair<std::string, std::string>> sequences = {
      {"8-dot graphics", ESC + "*" + bytes({0, 3, 0, '\n', '\f', 'A'})},
      {"24-dot graphics", ESC + "*" + bytes({39, 2, 0}) + "XYZ\r\n\x1B"},
      {"single density", ESC + "K" + bytes({2, 0}) + "\x1B@"},
      {"reassigned mode", ESC + "?K" + bytes({33}) + ESC + "K" + bytes({1, 0}) + "abc"},
      {"9-pin graphics", ESC + "^" + bytes({0, 2, 0}) + "\r\r\r\r"},
      {"bar code", ESC + "(B" + bytes({5, 0}) + "12345"},
      {"graphics mode", ESC + "(G" + bytes({1, 0, 1})},
      {"raster", ESC + "." + bytes({0, 20, 20, 1, 16, 0, 'Q', 'R'})},
      {"run-length raster", ESC + "." + bytes({1, 20, 20, 2, 16, 0, 0xFF, 'A', 0x01, 'x', 'y'})},
      {"user characters", ESC + "&" + bytes({0, 'A', 'A'}) + std::string(12, 'u')},
      {"print quality", ESC + "x1"},
      {"typeface", ESC + "k" + bytes({0})},
      {"page length", ESC + "C" + bytes({0, 11})},
      {"unknown", ESC + "z"},
      {"device control", bytes({0x11, 0x13, 0x07, 0})},
  };
  for (const auto& [name, sequence] : sequences) {
    SCOPED_TRACE(name);
    Rendered job;
    const auto texts = job.render("AB" + sequence + "CD");
    ASSERT_EQ(texts.size(), 1u) << texts.back().text;
    EXPECT_EQ(texts[0].text, "ABCD");
    EXPECT_EQ(texts[0].x, kLeft);
  }
  // Data cut short inside a sequence ends the job; what came before prints.
  Rendered cut;
  const auto texts = cut.render("AB" + ESC + "*" + bytes({0, 0xFF, 0xFF}) + "CD");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "AB");
}

// Data in two pieces (either side of a marker that is cut out) reads as
// one, wherever the seam falls: inside a parameter, a graphics block or a
// sequence cut short at the end.
TEST(EscpText, DataInTwoPiecesDrawsAsInOne) {
  const std::string data = "A" + ESC + "E" + "b" + ESC + "3" + bytes({54}) + "\r\nc" + ESC + "*" +
                           bytes({0, 3, 0, 'x', 'y', 'z'}) + "d" + ESC + "$" + bytes({60, 0}) + "\x87\xC6" +
                           ESC + "(" + "^" + bytes({2, 0}) + "ef" + "\xDA\xC4\fg" + ESC + "K" + bytes({9, 0}) + "h";
  Rendered whole;
  whole.render(data);
  ASSERT_GT(whole.rec.texts.size(), 3u);
  for (std::size_t seam = 0; seam <= data.size(); ++seam) {
    SCOPED_TRACE(seam);
    Rendered split;
    WIN32PRN& page = split.printing_page();
    render_escp(std::string_view(data).substr(0, seam), std::string_view(data).substr(seam), page);
    page.EndDoc();
    ASSERT_EQ(split.rec.events, whole.rec.events);
  }
}

TEST(EscpPages, FormFeedAndPageLengthEndPagesWithoutBlankSheets) {
  Rendered feeds;
  const auto f = feeds.render("\fone\ftwo\f\fthree\f");
  EXPECT_EQ(find(f, "one")->page, 1);
  EXPECT_EQ(find(f, "two")->page, 2);
  EXPECT_EQ(find(f, "three")->page, 4);  // the page between the two feeds stays blank
  EXPECT_EQ(find(f, "three")->y, baseline(0));
  EXPECT_EQ(feeds.rec.pages_ended, 4);   // no blank sheet before the first or after the last

  Rendered lines;
  const auto l = lines.render(ESC + "C" + bytes({3}) + "1\r\n2\r\n3\r\n4\r\n" + ESC + "C" + bytes({0, 1}) +
                              "5\r\n\r\n\r\n\r\n\r\n\r\n6");
  EXPECT_EQ(find(l, "3")->page, 1);
  EXPECT_EQ(find(l, "4")->page, 2);
  EXPECT_EQ(find(l, "4")->y, baseline(0));
  EXPECT_EQ(find(l, "5")->page, 2);  // an inch from the line where the length was set
  EXPECT_EQ(find(l, "6")->page, 3);
  EXPECT_EQ(find(l, "6")->y, baseline(0));

  // Sixty-six lines fill an 11-inch form; the form feed after them adds no
  // blank sheet.
  std::string report;
  for (int i = 0; i < 66; ++i) report += "linha\r\n";
  Rendered full;
  const auto r = full.render(report + "\fnext");
  EXPECT_EQ(find(r, "next")->page, 2);
}

TEST(EscpPages, FormsLongerThanTheSheetGoOnOverTheNextSheet) {
  std::string form = ESC + "C" + bytes({72});  // 12 inches
  for (int i = 0; i < 72; ++i) form += "L" + std::to_string(i) + "\r\n";
  Rendered job;
  const auto texts = job.render(form + "\fnext");
  ASSERT_EQ(texts.size(), 73u);
  const int sheet = job.state.OPRINTER->PageHeight;
  for (const auto& t : texts) EXPECT_LT(t.y + 30, sheet) << t.text;
  EXPECT_EQ(find(texts, "L68")->page, 1);
  EXPECT_EQ(find(texts, "L69")->page, 2);
  EXPECT_EQ(find(texts, "L69")->y, baseline(0));
  EXPECT_EQ(find(texts, "next")->page, 3);
}

TEST(EscpFigures, BoxCharactersDrawLinesThatJoinTheirNeighbours) {
  Rendered job;
  // A single box of code page 850: three columns wide, three lines high.
  const auto texts = job.render("\xDA\xC4\xBF\r\n\xB3X\xB3\r\n\xC0\xC4\xD9");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "X");
  const auto& rects = job.rec.rects;
  ASSERT_FALSE(rects.empty());
  // The top edge: horizontal rectangles of the first line cover the width
  // from the middle of the first column to the middle of the third.
  int top_from = 1 << 30, top_to = 0;
  int left_from = 1 << 30, left_to = 0;
  for (const auto& r : rects) {
    if (r.height < r.width && r.y < baseline(0)) {
      top_from = std::min(top_from, r.x);
      top_to = std::max(top_to, r.x + r.width);
    }
    if (r.width < r.height && r.x < kLeft + 60) {
      left_from = std::min(left_from, r.y);
      left_to = std::max(left_to, r.y + r.height);
    }
  }
  EXPECT_LE(top_from, kLeft + 30);
  EXPECT_GE(top_to, kLeft + 150);
  // The left edge runs down through the middle line unbroken.
  EXPECT_LE(left_from, baseline(0));
  EXPECT_GE(left_to, baseline(2.0 / 6) - 60);
  int covered = left_from;
  std::vector<PageRecording::Filled> left_edge;
  for (const auto& r : rects)
    if (r.width < r.height && r.x < kLeft + 60) left_edge.push_back(r);
  std::sort(left_edge.begin(), left_edge.end(), [](const auto& a, const auto& b) { return a.y < b.y; });
  for (const auto& r : left_edge) {
    EXPECT_LE(r.y, covered);
    covered = std::max(covered, r.y + r.height);
  }

  Rendered shades;
  shades.render("\xB0\xB1\xDB");
  ASSERT_EQ(shades.rec.rects.size(), 3u);
  EXPECT_DOUBLE_EQ(shades.rec.rects[0].darkness, 0.25);
  EXPECT_DOUBLE_EQ(shades.rec.rects[2].darkness, 1.0);
  EXPECT_EQ(shades.rec.rects[1].x, kLeft + 60);
}

TEST(EscpFigures, DoubleLinesMeetAtCorners) {
  const CharCell cell{0, 0, 100, 100, 50};
  const LinePen pen{2, 10};
  // A double top-left corner: the outer lines meet at (40, 40), the inner
  // ones at (60, 60).
  const auto corner = box_lines({0, 2, 0, 2}, cell, pen);
  const std::vector<FigureRect> expected = {
      {39, 39, 61, 2}, {59, 59, 41, 2},  // right arm: outer, inner
      {39, 39, 2, 61}, {59, 59, 2, 41},  // down arm: outer, inner
  };
  EXPECT_EQ(corner, expected);
  // A single line ending at a double one that goes on both ways stops at its
  // near side.
  const auto tee = box_lines({2, 2, 1, 0}, cell, pen);
  EXPECT_EQ(tee.front(), (FigureRect{0, 49, 41, 2}));
}

}  // namespace
}  // namespace tarvo
