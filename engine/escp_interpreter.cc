#include "engine/escp_interpreter.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/escp_page_writer.h"

namespace tarvo {
namespace {

constexpr int kInch = kUnitsPerInch;
constexpr int kPica = kInch / 10;
constexpr int kElite = kInch / 12;
constexpr int kMicron = kInch / 15;  // 15 characters per inch
constexpr int kCondensedPica = 7 * kInch / 120;  // 17.14 characters per inch
constexpr int kCondensedElite = kInch / 20;
constexpr int kLineWidth = 8 * kInch;  // 80 columns of pica: a narrow carriage
constexpr int kMarginGap = 2 * kPica;  // the least room between the margins
constexpr int kSixthInch = kInch / 6;
constexpr int kEighthInch = kInch / 8;
constexpr int kHeadHeight = 9 * kInch / 72;  // what a line of characters takes
constexpr int kTallestCell = kInch / 3;      // box lines of wide spacing stop here
constexpr int kMaxPageLength = 22 * kInch;
constexpr int kMaxTabs = 32;
constexpr int kMaxVerticalTabs = 16;

enum : unsigned char {
  NUL = 0x00, BS = 0x08, HT = 0x09, LF = 0x0A, VT = 0x0B, FF = 0x0C, CR = 0x0D,
  SO = 0x0E, SI = 0x0F, DC2 = 0x12, DC4 = 0x14, CAN = 0x18, EM = 0x19, ESC = 0x1B,
};

// The printer data, read byte by byte. It may lie in two pieces (either
// side of a marker that is left out), which read as one.
class Input {
 public:
  Input(std::string_view data, std::string_view rest) : data_(data), rest_(rest) {}
  bool done() const { return pos_ >= data_.size() && rest_.empty(); }
  unsigned char next() {
    settle();
    return static_cast<unsigned char>(data_[pos_++]);
  }
  // Only right after next(), which never leaves the piece it read from.
  void give_back() { --pos_; }
  // The next `n` bytes; nullopt when the data ends first (it is then all used).
  std::optional<std::string_view> take(std::size_t n) {
    settle();
    const std::size_t here = data_.size() - pos_;
    if (here >= n) {
      const std::string_view out = data_.substr(pos_, n);
      pos_ += n;
      return out;
    }
    const bool enough = rest_.size() >= n - here;
    // A sequence across the seam is copied once, so that it reads whole.
    if (enough) seam_ = std::string(data_.substr(pos_)) + std::string(rest_.substr(0, n - here));
    data_ = rest_;
    rest_ = {};
    pos_ = enough ? n - here : data_.size();
    if (!enough) return std::nullopt;
    return std::string_view(seam_);
  }
  std::optional<int> byte() {
    if (done()) return std::nullopt;
    return next();
  }
  // A count of two bytes, low byte first.
  std::optional<int> word() {
    const auto b = take(2);
    if (!b) return std::nullopt;
    return static_cast<unsigned char>((*b)[0]) + 256 * static_cast<unsigned char>((*b)[1]);
  }

 private:
  void settle() {
    if (pos_ < data_.size() || rest_.empty()) return;
    data_ = rest_;
    rest_ = {};
    pos_ = 0;
  }

  std::string_view data_;
  std::string_view rest_;
  std::size_t pos_ = 0;
  std::string seam_;
};

int at(std::string_view bytes, std::size_t i) { return static_cast<unsigned char>(bytes[i]); }

// Data bytes per column of a graphics mode: 8-dot modes one, 24-dot three,
// 48-dot six.
int bytes_per_column(int mode) { return mode < 32 ? 1 : mode < 64 ? 3 : 6; }

// A switch parameter: 0 or 1, also written as the digits "0" and "1".
std::optional<bool> switch_value(int n) {
  if (n == 0 || n == '0') return false;
  if (n == 1 || n == '1') return true;
  return std::nullopt;
}

// A parameter naming one of four: 0 to 3, also as the digits "0" to "3".
std::optional<int> one_of_four(int n) {
  if (n >= 0 && n <= 3) return n;
  if (n >= '0' && n <= '3') return n - '0';
  return std::nullopt;
}

// Everything the initialize command sets back.
struct Mode {
  explicit Mode(CodeTable graphics) : tables{CodeTable::italic, graphics, graphics, CodeTable::cp437} {}

  int base_pitch = kPica;
  bool condensed = false;
  bool double_width = false;
  bool double_for_line = false;  // until the line ends
  int hmi = 0;                   // a fixed advance in place of the pitch
  int extra_space = 0;
  bool bold = false;
  bool double_strike = false;
  bool italic = false;
  bool underline = false;
  std::array<CodeTable, 4> tables;
  int table = 1;
  int national = 0;
  std::optional<bool> msb;  // the eighth bit of text forced off or on

  int left_margin = 0;
  int right_margin = kLineWidth;
  bool default_tabs = true;  // every eight columns of the current pitch
  std::vector<int> tabs;     // from the left margin

  int line_spacing = kSixthInch;
  int page_length = 11 * kInch;
  int skip = 0;  // skip over perforation
  std::array<std::vector<int>, 8> vertical_tabs;  // from the top of form, by channel
  int vertical_channel = 0;
  std::array<int, 4> graphics_modes{0, 1, 2, 3};  // of ESC K, L, Y and Z
};

class Interpreter {
 public:
  Interpreter(std::string_view data, std::string_view rest, WIN32PRN& page, const EscpOptions& options)
      : in_(data, rest), out_(page), options_(options), m_(options.code_table) {}

  void run() {
    while (!in_.done()) {
      const unsigned char b = in_.next();
      if (b == ESC) {
        escape();
      } else if (b < 0x20 || b == 0x7F) {
        control(b);
      } else {
        print(b);
      }
    }
    out_.finish();
  }

 private:
  // ---- characters --------------------------------------------------------

  int column_width() const {
    if (m_.hmi > 0) return m_.hmi;
    if (!m_.condensed) return m_.base_pitch;
    if (m_.base_pitch == kPica) return kCondensedPica;
    if (m_.base_pitch == kElite) return kCondensedElite;
    return m_.base_pitch;  // 15 characters per inch has no condensed form
  }
  int char_width() const {
    return column_width() * (m_.double_width || m_.double_for_line ? 2 : 1);
  }
  int advance() const { return char_width() + m_.extra_space; }
  int vertical_unit() const { return options_.twenty_four_pin ? kInch / 180 : kInch / 216; }
  int fine_unit() const { return options_.twenty_four_pin ? kInch / 180 : kInch / 120; }

  void print(unsigned char b) {
    if (m_.msb) b = *m_.msb ? (b | 0x80) : (b & 0x7F);
    if (b < 0x20 || b == 0x7F) return;
    const CodeTable table = m_.tables[static_cast<std::size_t>(m_.table)];
    if (b < 0x80) {
      place(PageGlyph::text(national_variant(m_.national, b)), m_.italic);
    } else if (table != CodeTable::italic) {
      place(upper_half_glyph(table, b), m_.italic);
    } else if (b >= 0xA0 && b != 0xFF) {
      // The italic table repeats the lower half; its upper control codes
      // print nothing.
      place(PageGlyph::text(national_variant(m_.national, b & 0x7F)), true);
    }
  }

  void place(const PageGlyph& glyph, bool italic) {
    if (glyph.kind == PageGlyph::Kind::none) return;  // no character there
    // A character that would cross the right margin goes to the next line.
    if (x_ + char_width() > m_.right_margin && x_ > m_.left_margin) line_feed();
    // A form longer than the sheet goes on over the next sheet.
    if (v_ > 0 && v_ + kHeadHeight > out_.room()) {
      out_.break_page();
      form_top_ -= v_;
      v_ = 0;
    }
    const CharStyle style{char_width(), m_.bold || m_.double_strike, italic, m_.underline};
    const int cell_height = std::clamp(m_.line_spacing, kHeadHeight, kTallestCell);
    out_.put(x_, v_, advance(), cell_height, style, glyph);
    x_ += advance();
    fresh_form_ = false;
  }

  // ---- moves -------------------------------------------------------------

  void carriage_return() { x_ = m_.left_margin; }

  void line_feed() {
    carriage_return();
    m_.double_for_line = false;
    feed(m_.line_spacing);
  }

  // Moves the paper up by `delta`; past the end of the form's printable
  // part it goes on to the next form, as continuous paper does.
  void feed(int delta) {
    out_.flush();
    v_ += delta;
    const int form_end = form_top_ + m_.page_length - m_.skip;
    if (v_ < form_end) return;
    out_.break_page();
    v_ = m_.skip > 0 ? 0 : (v_ - form_end) % m_.page_length;
    form_top_ = 0;
    fresh_form_ = true;
  }

  void reverse_feed(int delta) {
    out_.flush();
    v_ = std::max(0, v_ - delta);
  }

  void form_feed() {
    carriage_return();
    m_.double_for_line = false;
    out_.flush();
    // Right after the lines filled a form, the paper is at the top of the
    // next one already: a form feed there would only add a blank sheet.
    if (!fresh_form_) out_.break_page();
    v_ = 0;
    form_top_ = 0;
    fresh_form_ = false;
  }

  void vertical_tab() {
    const auto& stops = m_.vertical_tabs[static_cast<std::size_t>(m_.vertical_channel)];
    if (stops.empty()) return line_feed();
    const int from_top = v_ - form_top_;
    const auto next = std::upper_bound(stops.begin(), stops.end(), from_top);
    if (next == stops.end()) return form_feed();
    carriage_return();
    m_.double_for_line = false;
    feed(*next - from_top);
  }

  void horizontal_tab() {
    const int from = x_ - m_.left_margin;
    int target = 0;
    if (m_.default_tabs) {
      const int step = 8 * column_width();
      target = (from / step + 1) * step;
    } else {
      const auto next = std::upper_bound(m_.tabs.begin(), m_.tabs.end(), from);
      if (next == m_.tabs.end()) return;
      target = *next;
    }
    if (m_.left_margin + target <= m_.right_margin) x_ = m_.left_margin + target;
  }

  void backspace() {
    if (x_ - advance() >= m_.left_margin) x_ -= advance();
  }

  // Moves across to `x`, when it lies between the margins.
  void move_to(int x) {
    if (x >= m_.left_margin && x <= m_.right_margin) x_ = x;
  }

  void control(unsigned char c) {
    switch (c) {
      case BS: backspace(); break;
      case HT: horizontal_tab(); break;
      case LF: line_feed(); break;
      case VT: vertical_tab(); break;
      case FF: form_feed(); break;
      case CR: carriage_return(); break;
      case SO: m_.double_for_line = true; break;
      case SI: m_.condensed = true; break;
      case DC2: m_.condensed = false; break;
      case DC4: m_.double_for_line = false; break;
      case CAN: out_.cancel_line(); break;
      default: break;  // bell, printer select, and codes with no use on paper
    }
  }

  // ---- settings ----------------------------------------------------------

  void initialize() {
    out_.flush();
    m_ = Mode(options_.code_table);
    x_ = 0;
    form_top_ = v_;  // the paper's position becomes the top of form
  }

  void select_pitch(int pitch) {
    m_.base_pitch = pitch;
    m_.hmi = 0;
  }

  void master_select(int n) {
    select_pitch(n & 0x01 ? kElite : kPica);
    m_.condensed = n & 0x04;
    m_.bold = n & 0x08;
    m_.double_strike = n & 0x10;
    m_.double_width = n & 0x20;
    m_.italic = n & 0x40;
    m_.underline = n & 0x80;
  }

  void set_left_margin(int columns) {
    const int margin = columns * column_width();
    if (margin + kMarginGap > m_.right_margin) return;
    if (x_ == m_.left_margin || x_ < margin) x_ = margin;
    m_.left_margin = margin;
  }

  void set_right_margin(int columns) {
    const int margin = columns * column_width();
    if (margin > kLineWidth || margin < m_.left_margin + kMarginGap) return;
    m_.right_margin = margin;
    x_ = std::min(x_, margin);
  }

  void set_page_length(int length) {
    if (length <= 0 || length > kMaxPageLength) return;
    m_.page_length = length;
    m_.skip = 0;
    form_top_ = v_;  // the current line becomes the top of form
  }

  void page_length_command() {
    const auto n = in_.byte();
    if (!n) return;
    if (*n != 0) return set_page_length(*n <= 127 ? *n * m_.line_spacing : 0);
    if (const auto inches = in_.byte()) set_page_length(*inches * kInch);
  }

  void set_skip(int lines) {
    const int skip = lines * m_.line_spacing;
    if (lines >= 1 && lines <= 127 && skip < m_.page_length) m_.skip = skip;
  }

  // Tab stops: ascending values ended by NUL or by a value not above the
  // one before it, at most `limit` of them.
  std::vector<int> read_stops(int limit, int step) {
    std::vector<int> stops;
    int previous = 0;
    for (int i = 0; i < limit; ++i) {
      const auto n = in_.byte();
      if (!n || *n == 0 || *n <= previous) break;
      stops.push_back(*n * step);
      previous = *n;
    }
    return stops;
  }

  void tab_increment(int kind, int n) {
    if (kind == 0) {
      m_.default_tabs = false;
      m_.tabs.clear();
      for (int t = n * column_width(); n > 0 && t <= kLineWidth && static_cast<int>(m_.tabs.size()) < kMaxTabs; t += n * column_width())
        m_.tabs.push_back(t);
    } else if (kind == 1) {
      auto& stops = m_.vertical_tabs[0];
      stops.clear();
      for (int t = n * m_.line_spacing; n > 0 && t > 0 && t < m_.page_length && static_cast<int>(stops.size()) < kMaxVerticalTabs;
           t += n * m_.line_spacing)
        stops.push_back(t);
    }
  }

  void skip_ahead(int kind, int n) {
    if (kind == 0) {
      move_to(x_ + n * advance());
    } else if (kind == 1) {
      for (int i = 0; i < n; ++i) line_feed();
    }
  }

  void assign_table(std::string_view d) {
    if (d.size() != 3) return;
    const auto slot = one_of_four(at(d, 0));
    const auto table = table_by_id(at(d, 1), at(d, 2));
    if (slot && table) m_.tables[static_cast<std::size_t>(*slot)] = *table;
  }

  // ---- escape sequences --------------------------------------------------

  // Graphics data of nL + 256 nH columns.
  void skip_columns(int bytes_per_column) {
    if (const auto columns = in_.word()) in_.take(static_cast<std::size_t>(*columns * bytes_per_column));
  }

  // Raster graphics: a header, then plain or run-length coded rows.
  void skip_raster() {
    const auto header = in_.take(6);
    if (!header) return;
    const int compression = at(*header, 0);
    const int rows = at(*header, 3);
    const int dots = at(*header, 4) + 256 * at(*header, 5);
    const std::size_t size = static_cast<std::size_t>(rows) * static_cast<std::size_t>((dots + 7) / 8);
    if (compression == 0) {
      in_.take(size);
    } else if (compression == 1) {
      for (std::size_t got = 0; got < size && !in_.done();) {
        const int count = in_.next();
        const std::size_t run = count < 128 ? static_cast<std::size_t>(count) + 1 : static_cast<std::size_t>(257 - count);
        in_.take(count < 128 ? run : 1);
        got += run;
      }
    }
  }

  void skip_user_characters() {
    const auto range = in_.take(3);
    if (!range || at(*range, 2) < at(*range, 1)) return;
    const int count = at(*range, 2) - at(*range, 1) + 1;
    for (int i = 0; i < count && !in_.done(); ++i) {
      if (!options_.twenty_four_pin) {
        in_.take(12);  // attribute and eleven columns
      } else if (const auto space = in_.take(3)) {
        in_.take(static_cast<std::size_t>(3 * at(*space, 1)));
      }
    }
  }

  // ESC ( c nL nH data: the newer commands carry their length.
  void extended() {
    const auto command = in_.byte();
    const auto length = in_.word();
    if (!command || !length) return;
    const auto data = in_.take(static_cast<std::size_t>(*length));
    if (!data) return;
    switch (*command) {
      case 't': assign_table(*data); break;
      case '^':  // print the data as characters
        for (const char c : *data) print(static_cast<unsigned char>(c));
        break;
      case '-':  // underline (score 1) on or off
        if (data->size() == 3 && at(*data, 1) == 1) m_.underline = at(*data, 2) != 0;
        break;
      default: break;  // bar codes, page formats, graphics settings
    }
  }

  void with_byte(void (Interpreter::*apply)(int)) {
    if (const auto n = in_.byte()) (this->*apply)(*n);
  }

  void escape() {
    const auto code = in_.byte();
    if (!code) return;
    const int c = *code;
    switch (c) {
      case SO: m_.double_for_line = true; return;
      case SI: m_.condensed = true; return;
      case EM: in_.take(1); return;
      case '@': return initialize();
      case 'P': return select_pitch(kPica);
      case 'M': return select_pitch(kElite);
      case 'g': return select_pitch(kMicron);
      case '!': return with_byte(&Interpreter::master_select);
      case 'W':
        if (const auto n = in_.byte()) {
          if (const auto on = switch_value(*n)) {
            m_.double_width = *on;
            if (!*on) m_.double_for_line = false;
          }
        }
        return;
      case 'E': m_.bold = true; return;
      case 'F': m_.bold = false; return;
      case 'G': m_.double_strike = true; return;
      case 'H': m_.double_strike = false; return;
      case '4': m_.italic = true; return;
      case '5': m_.italic = false; return;
      case '-':
        if (const auto n = in_.byte()) {
          if (const auto on = switch_value(*n)) m_.underline = *on;
        }
        return;
      case ' ':
        if (const auto n = in_.byte()) m_.extra_space = *n * fine_unit();
        return;
      case 'c':
        if (const auto n = in_.word(); n && *n <= 3 * 360) m_.hmi = *n * (kInch / 360);
        return;
      case 't':
        if (const auto n = in_.byte()) {
          if (const auto slot = one_of_four(*n)) m_.table = *slot;
        }
        return;
      case 'R':
        if (const auto n = in_.byte(); n && is_national_set(*n)) m_.national = *n;
        return;
      case '=': m_.msb = false; return;
      case '>': m_.msb = true; return;
      case '#': m_.msb.reset(); return;
      case '0': m_.line_spacing = kEighthInch; return;
      case '1': m_.line_spacing = 7 * kInch / 72; return;
      case '2': m_.line_spacing = kSixthInch; return;
      case '3':
        if (const auto n = in_.byte()) m_.line_spacing = *n * vertical_unit();
        return;
      case 'A':
        if (const auto n = in_.byte()) m_.line_spacing = *n * (options_.twenty_four_pin ? kInch / 60 : kInch / 72);
        return;
      case '+':
        if (const auto n = in_.byte()) m_.line_spacing = *n * (kInch / 360);
        return;
      case 'J':
        if (const auto n = in_.byte()) {
          m_.double_for_line = false;
          feed(*n * vertical_unit());
        }
        return;
      case 'j':
        if (const auto n = in_.byte()) reverse_feed(*n * vertical_unit());
        return;
      case 'C': return page_length_command();
      case 'N': return with_byte(&Interpreter::set_skip);
      case 'O': m_.skip = 0; return;
      case 'l': return with_byte(&Interpreter::set_left_margin);
      case 'Q': return with_byte(&Interpreter::set_right_margin);
      case '$':
        if (const auto n = in_.word()) move_to(m_.left_margin + *n * (kInch / 60));
        return;
      case '\\':
        if (const auto n = in_.word()) move_to(x_ + (*n >= 0x8000 ? *n - 0x10000 : *n) * fine_unit());
        return;
      case 'D':
        m_.tabs = read_stops(kMaxTabs, column_width());
        m_.default_tabs = false;
        return;
      case 'B': m_.vertical_tabs[0] = read_stops(kMaxVerticalTabs, m_.line_spacing); return;
      case 'b':
        if (const auto channel = in_.byte()) {
          auto stops = read_stops(kMaxVerticalTabs, m_.line_spacing);
          if (*channel < 8) m_.vertical_tabs[static_cast<std::size_t>(*channel)] = std::move(stops);
        }
        return;
      case '/':
        if (const auto n = in_.byte(); n && *n < 8) m_.vertical_channel = *n;
        return;
      case 'e':
      case 'f':
        if (const auto p = in_.take(2)) {
          if (c == 'e') {
            tab_increment(at(*p, 0), at(*p, 1));
          } else {
            skip_ahead(at(*p, 0), at(*p, 1));
          }
        }
        return;
      case '(': return extended();
      case '*':
        if (const auto mode = in_.byte()) skip_columns(bytes_per_column(*mode));
        return;
      case 'K': return skip_columns(bytes_per_column(m_.graphics_modes[0]));
      case 'L': return skip_columns(bytes_per_column(m_.graphics_modes[1]));
      case 'Y': return skip_columns(bytes_per_column(m_.graphics_modes[2]));
      case 'Z': return skip_columns(bytes_per_column(m_.graphics_modes[3]));
      case '?':
        if (const auto p = in_.take(2)) {
          const std::string_view letters = "KLYZ";
          const auto which = letters.find(static_cast<char>(at(*p, 0)));
          if (which != std::string_view::npos) m_.graphics_modes[which] = at(*p, 1);
        }
        return;
      case '^':  // 9-pin graphics: two bytes a column
        if (in_.byte()) skip_columns(2);
        return;
      case '.': return skip_raster();
      case '&': return skip_user_characters();
      case ':':
      case 'X': in_.take(3); return;
      // One parameter of no effect on the page: unidirectional, speed,
      // quality, typeface, proportional, style, colour, double height,
      // justification, paper feed, user-defined set, control code printing,
      // super- and subscript.
      case 'U': case 's': case 'x': case 'k': case 'p': case 'q': case 'r': case 'w':
      case 'a': case 'h': case 'i': case '%': case 'I': case 'm': case 'S':
        in_.take(1);
        return;
      default:
        // A control code after ESC acts as itself; anything else unknown is
        // dropped alone, so the text after it stays where it is.
        if (c < 0x20) in_.give_back();
        return;
    }
  }

  Input in_;
  EscpPageWriter out_;
  EscpOptions options_;
  Mode m_;
  int x_ = 0;          // across, from the left end of the line
  int v_ = 0;          // down, from the first line of the sheet
  int form_top_ = 0;   // where the current form began, on this sheet
  bool fresh_form_ = false;  // the lines filled a form; nothing printed since
};

}  // namespace

void render_escp(std::string_view data, WIN32PRN& page, const EscpOptions& options) {
  render_escp(data, {}, page, options);
}

void render_escp(std::string_view data, std::string_view rest, WIN32PRN& page, const EscpOptions& options) {
  Interpreter(data, rest, page, options).run();
}

}  // namespace tarvo
