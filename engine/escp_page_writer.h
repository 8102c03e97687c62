#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/code_pages.h"

namespace tarvo {

class WIN32PRN;

// Positions of the printer data are counted in 1/2160 inch: every step of
// the command set (1/60, 1/72, 1/120, 1/180, 1/216 and 1/360 inch, and every
// character pitch) is a whole number of them.
inline constexpr int kUnitsPerInch = 2160;

// How a character is printed: its glyph's width (the pitch, doubled for
// double width) and its attributes.
struct CharStyle {
  int width = kUnitsPerInch / 10;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool operator==(const CharStyle&) const = default;
};

// The paper side of the printer-data interpreter. It collects the characters
// of one line, as the printer's line buffer does, so that characters struck
// over each other (a letter and its accent after a backspace, a line printed
// again for bold) become one; on a vertical move it draws the line on the
// page object, in runs of characters with a fixed advance, and box-drawing
// and block characters as filled rectangles.
//
// Positions: `x` across from the left end of the printable line, `v` down
// from the first line of the sheet. The printable line is eight inches
// wide, centred on the sheet; the first line lies one-sixth of an inch below
// the sheet's top edge, where a printer's first line would be.
//
// Page breaks wait until something is drawn after them: breaks before the
// first character drawn and after the last one leave no blank sheet.
class EscpPageWriter {
 public:
  explicit EscpPageWriter(WIN32PRN& page);

  // Vertical room of a sheet below its first line.
  int room() const;

  // Puts one character of `advance` width at (x, v) on the current line.
  // `cell_height` is how far down box lines and blocks reach.
  void put(int x, int v, int advance, int cell_height, const CharStyle& style, const PageGlyph& glyph);
  // Drops the characters of the current line.
  void cancel_line();
  // Draws the current line.
  void flush();
  // Ends the sheet: the next character drawn goes on a new one.
  void break_page();
  // Draws what is left.
  void finish();

 private:
  struct Placed {
    int x;
    int advance;
    int cell_height;
    CharStyle style;
    PageGlyph glyph;
  };

  bool strike_over(Placed& under, const CharStyle& style, const PageGlyph& glyph) const;
  bool continues_run(const Placed& previous, const Placed& next) const;
  void draw_run(const Placed& first, const std::string& text);
  void draw_figure(const Placed& cell);
  void start_drawing();
  void select_font(const CharStyle& style);
  int dots_x(int x) const;
  int dots_y(int v) const;

  WIN32PRN& page_;
  std::vector<Placed> line_;
  int line_v_ = 0;
  int pending_breaks_ = 0;
  bool drawn_ = false;
  std::optional<CharStyle> font_;
  int band_left_ = 0;  // dots from the sheet's edge to the printable line
};

}  // namespace tarvo
