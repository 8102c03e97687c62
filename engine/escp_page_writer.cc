#include "engine/escp_page_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "engine/box_drawing.h"
#include "printing/win32prn.h"

namespace tarvo {
namespace {

constexpr int kInch = kUnitsPerInch;
constexpr int kLineWidth = 8 * kInch;
constexpr int kFirstLine = kInch / 6;
// A character's baseline lies seven pins of 1/72 inch below the top of its
// line, its descenders reach the ninth; horizontal box lines run through the
// middle of the nine.
constexpr int kBaseline = 7 * kInch / 72;
constexpr int kMiddlePin = 9 * kInch / 144;
constexpr LinePen kPen{kInch / 108, kInch / 48};
// The face and size that the pitch codes of positioned records select.
constexpr std::string_view kFace = "Courier New";
constexpr double kPointSize = 11;
constexpr int kBoldWeight = 800;
// The page object draws texts of fewer characters with a fixed advance.
constexpr std::size_t kRunLimit = 1000;

// Accents struck over a letter (before or after it), and the letters they
// make in Windows-1252: the way 7-bit systems print Portuguese.
struct Accent {
  unsigned char mark;
  std::string_view letters;
  std::string_view accented;
};

constexpr std::array<Accent, 8> kAccents{{
    {'~', "aonAON", "\xE3\xF5\xF1\xC3\xD5\xD1"},
    {'^', "aeiouAEIOU", "\xE2\xEA\xEE\xF4\xFB\xC2\xCA\xCE\xD4\xDB"},
    {'\'', "aeiouyAEIOUY", "\xE1\xE9\xED\xF3\xFA\xFD\xC1\xC9\xCD\xD3\xDA\xDD"},
    {0xB4, "aeiouyAEIOUY", "\xE1\xE9\xED\xF3\xFA\xFD\xC1\xC9\xCD\xD3\xDA\xDD"},
    {'`', "aeiouAEIOU", "\xE0\xE8\xEC\xF2\xF9\xC0\xC8\xCC\xD2\xD9"},
    {'"', "aeiouyAEIOU", "\xE4\xEB\xEF\xF6\xFC\xFF\xC4\xCB\xCF\xD6\xDC"},
    {0xA8, "aeiouyAEIOU", "\xE4\xEB\xEF\xF6\xFC\xFF\xC4\xCB\xCF\xD6\xDC"},
    {',', "cC", "\xE7\xC7"},
}};

std::optional<unsigned char> accented(unsigned char letter, unsigned char mark) {
  for (const Accent& a : kAccents) {
    if (a.mark != mark) continue;
    const auto at = a.letters.find(static_cast<char>(letter));
    if (at != std::string_view::npos) return static_cast<unsigned char>(a.accented[at]);
  }
  return std::nullopt;
}

bool is_text(const PageGlyph& g, unsigned char byte) {
  return g.kind == PageGlyph::Kind::text && g.byte == byte;
}

int scale(int units, int dpi) {
  return static_cast<int>(std::llround(static_cast<double>(units) * dpi / kInch));
}

}  // namespace

EscpPageWriter::EscpPageWriter(WIN32PRN& page) : page_(page) {
  band_left_ = std::max(0, (page_.PageWidth - scale(kLineWidth, page_.PixelsPerInchX)) / 2);
}

int EscpPageWriter::room() const {
  if (page_.PixelsPerInchY <= 0) return std::numeric_limits<int>::max() / 2;  // no sheet known
  return static_cast<int>(std::int64_t{page_.PageHeight} * kInch / page_.PixelsPerInchY) - kFirstLine;
}

int EscpPageWriter::dots_x(int x) const { return band_left_ + scale(x, page_.PixelsPerInchX); }
int EscpPageWriter::dots_y(int v) const { return scale(kFirstLine + v, page_.PixelsPerInchY); }

void EscpPageWriter::put(int x, int v, int advance, int cell_height, const CharStyle& style,
                         const PageGlyph& glyph) {
  if (!line_.empty() && v != line_v_) flush();
  line_v_ = v;
  // The latest character at the same place is the one struck over.
  for (auto it = line_.rbegin(); it != line_.rend(); ++it) {
    if (std::abs(it->x - x) * 2 >= std::max(advance, 1)) continue;
    if (strike_over(*it, style, glyph)) return;
    break;
  }
  line_.push_back({x, advance, cell_height, style, glyph});
}

// Folds a character struck over `under` into it; false when both must be
// drawn.
bool EscpPageWriter::strike_over(Placed& under, const CharStyle& style, const PageGlyph& glyph) const {
  if (is_text(glyph, ' ')) return true;
  if (glyph.kind != PageGlyph::Kind::text || under.glyph.kind != PageGlyph::Kind::text) {
    return glyph == under.glyph;
  }
  if (is_text(under.glyph, ' ')) {
    under.glyph = glyph;
    under.style = style;
    return true;
  }
  if (glyph.byte == under.glyph.byte) {
    under.style.bold = true;  // struck twice: darker, as double strike
    return true;
  }
  if (glyph.byte == '_') {
    under.style.underline = true;
    return true;
  }
  if (is_text(under.glyph, '_')) {
    under.glyph = glyph;
    under.style.underline = true;
    return true;
  }
  auto letter = accented(under.glyph.byte, glyph.byte);
  if (!letter) letter = accented(glyph.byte, under.glyph.byte);
  if (!letter) return false;
  under.glyph.byte = *letter;
  return true;
}

void EscpPageWriter::cancel_line() { line_.clear(); }

bool EscpPageWriter::continues_run(const Placed& previous, const Placed& next) const {
  return next.glyph.kind == PageGlyph::Kind::text && next.style == previous.style &&
         next.x == previous.x + previous.advance && previous.advance == previous.style.width &&
         std::int64_t{previous.advance} * page_.PixelsPerInchX % kInch == 0;
}

void EscpPageWriter::flush() {
  std::stable_sort(line_.begin(), line_.end(), [](const Placed& a, const Placed& b) { return a.x < b.x; });
  for (std::size_t i = 0; i < line_.size();) {
    const Placed& first = line_[i];
    if (first.glyph.kind != PageGlyph::Kind::text) {
      draw_figure(first);
      ++i;
      continue;
    }
    std::string text(1, static_cast<char>(first.glyph.byte));
    std::size_t j = i + 1;
    for (; j < line_.size() && text.size() < kRunLimit && continues_run(line_[j - 1], line_[j]); ++j) {
      text += static_cast<char>(line_[j].glyph.byte);
    }
    draw_run(first, text);
    i = j;
  }
  line_.clear();
}

void EscpPageWriter::draw_run(const Placed& first, const std::string& text) {
  if (!first.style.underline && text.find_first_not_of(' ') == std::string::npos) return;
  start_drawing();
  select_font(first.style);
  page_.SetPos(dots_x(first.x), dots_y(line_v_ + kBaseline));
  page_.TextOut(text, false, true, kAlignLeft, kAlignBaseline);
}

void EscpPageWriter::draw_figure(const Placed& p) {
  start_drawing();
  const CharCell cell{p.x, line_v_, p.advance, p.cell_height, line_v_ + std::min(kMiddlePin, p.cell_height / 2)};
  std::vector<FigureRect> parts;
  int percent = 100;
  if (p.glyph.kind == PageGlyph::Kind::lines) {
    parts = box_lines(p.glyph.arms, cell, kPen);
  } else {
    parts.push_back(filled_part(p.glyph.fill, cell));
    percent = p.glyph.fill.percent;
  }
  for (const FigureRect& r : parts) {
    const int x0 = dots_x(r.x);
    const int y0 = dots_y(r.y);
    const int width = std::max(1, dots_x(r.x + r.width) - x0);
    const int height = std::max(1, dots_y(r.y + r.height) - y0);
    page_.FillRect(x0, y0, width, height, percent / 100.0);
  }
}

void EscpPageWriter::start_drawing() {
  for (; pending_breaks_ > 0; --pending_breaks_) page_.EndPage();
  drawn_ = true;
}

void EscpPageWriter::select_font(const CharStyle& style) {
  if (font_ == style) return;
  font_ = style;
  page_.SetFont(std::string(kFace), kPointSize, FontWidthArg{PitchPair{style.width, -kInch}},
                style.bold ? kBoldWeight : 0, style.underline, style.italic, 0);
}

void EscpPageWriter::break_page() {
  flush();
  if (drawn_) ++pending_breaks_;
}

void EscpPageWriter::finish() { flush(); }

}  // namespace tarvo
