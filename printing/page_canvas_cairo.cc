#include "printing/page_canvas_cairo.h"

#include <cups/cups.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "printing/cups_connection.h"
#include "printing/dot_count.h"
#include "printing/page_device_cairo.h"

namespace tarvo::cairo_pages {
namespace {

// ---- paper ---------------------------------------------------------------

// The system's paper-size codes that print files use.
std::optional<Paper> paper_for_code(int code) {
  const char* pwg = nullptr;
  switch (code) {
    case 1: pwg = "na_letter_8.5x11in"; break;
    case 5: pwg = "na_legal_8.5x14in"; break;
    case 8: pwg = "iso_a3_297x420mm"; break;
    case 9: pwg = "iso_a4_210x297mm"; break;
    case 11: pwg = "iso_a5_148x210mm"; break;
    default: return std::nullopt;
  }
  const pwg_media_t* m = pwgMediaForPWG(pwg);
  if (m == nullptr) return std::nullopt;
  return Paper{m->width, m->length, m->pwg};
}

// A form name: a CUPS media name in any of its spellings ("iso_a4_210x297mm",
// "A4", "Letter").
std::optional<Paper> paper_for_name(const std::string& name) {
  const pwg_media_t* m = pwgMediaForPWG(name.c_str());
  if (m == nullptr) m = pwgMediaForLegacy(name.c_str());
  if (m == nullptr) m = pwgMediaForPPD(name.c_str());
  if (m == nullptr) return std::nullopt;
  return Paper{m->width, m->length, m->pwg};
}

// A custom size in tenths of a millimetre (length along the feed).
std::optional<Paper> paper_for_size(int width_tenths, int length_tenths) {
  const pwg_media_t* m = pwgMediaForSize(width_tenths * 10, length_tenths * 10);
  if (m == nullptr) return std::nullopt;
  return Paper{width_tenths * 10, length_tenths * 10, m->pwg};
}

// ---- quality -------------------------------------------------------------

// Draft, low, medium and high quality.
int ipp_quality_for(int quality) {
  switch (quality) {
    case -1:
    case -2: return IPP_QUALITY_DRAFT;
    case -3: return IPP_QUALITY_NORMAL;
    case -4: return IPP_QUALITY_HIGH;
    default: return 0;
  }
}

// The resolutions a destination offers, dots per inch across.
std::vector<int> offered_resolutions(std::string_view destination) {
  std::vector<int> out;
  cups::Http http = cups::connect_server();
  if (!http) return out;
  cups::Dest dest = cups::find_dest(http.get(), destination);
  if (!dest) return out;
  cups_dinfo_t* info = cupsCopyDestInfo(http.get(), dest.get());
  if (info == nullptr) return out;
  ipp_attribute_t* attr = cupsFindDestSupported(http.get(), dest.get(), info, "printer-resolution");
  for (int i = 0; attr != nullptr && i < ippGetCount(attr); ++i) {
    int y = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    int x = ippGetResolution(attr, i, &y, &units);
    if (units == IPP_RES_PER_CM) x = static_cast<int>(std::lround(x * 2.54));
    out.push_back(x);
  }
  cupsFreeDestInfo(info);
  return out;
}

// ---- drawing -------------------------------------------------------------

// Texts reach cairo in pieces of at most this many glyphs.
constexpr std::size_t kPieceGlyphs = 4096;

constexpr std::size_t kCallCost = PageBudget::kCallCost;
constexpr std::size_t kGlyphCost = PageBudget::kGlyphCost;

}  // namespace

int hundredths_mm_to_dots(int value, int dpi) { return rounded_dots(value / 2540.0 * dpi); }

CairoCanvas::CairoCanvas(std::string destination, cups::DestinationAttributes attributes,
                         std::size_t page_budget)
    : destination_(std::move(destination)), attrs_(std::move(attributes)), budget_(page_budget) {
  dpi_x_ = attrs_.resolution_x > 0 ? attrs_.resolution_x : CairoPageDevices::kFallbackDpi;
  dpi_y_ = attrs_.resolution_y > 0 ? attrs_.resolution_y : dpi_x_;
  if (attrs_.media_width > 0 && attrs_.media_length > 0) {
    sheet_.paper = Paper{attrs_.media_width, attrs_.media_length, attrs_.media};
  }
}

bool CairoCanvas::apply_settings(const PrintSettings& s) {
  if (s.form) apply_paper(*s.form, s.paper_width, s.paper_length);
  if (s.landscape) sheet_.landscape = *s.landscape;
  if (s.copies >= 1) sheet_.copies = s.copies;
  if (s.bin != 0) sheet_.bin = s.bin;
  if (s.duplex != 0) sheet_.duplex = s.duplex;
  if (s.quality != 0) apply_quality(s.quality);
  return true;
}

DeviceCaps CairoCanvas::capabilities() const {
  DeviceCaps caps;
  caps.dpi_x = dpi_x_;
  caps.dpi_y = dpi_y_;
  const auto [w, h] = sheet_dots();
  caps.page_width = w;
  caps.page_height = h;
  const bool turned = sheet_.landscape;
  caps.offset_x = hundredths_mm_to_dots(turned ? attrs_.margin_bottom : attrs_.margin_left, dpi_x_);
  caps.offset_y = hundredths_mm_to_dots(turned ? attrs_.margin_left : attrs_.margin_top, dpi_y_);
  caps.stretch_dib = true;
  caps.num_colors = 2;
  return caps;
}

bool CairoCanvas::select_font(const FontRequest& request) {
  // A failed document draws nothing more: its fonts are not worth making.
  if (failed()) return false;
  std::shared_ptr<ScaledFont> font = fonts_.make(request, dpi_x_, dpi_y_);
  if (font == nullptr) return false;
  font_ = std::move(font);
  underline_ = request.underline;
  metrics_ = font_->metrics;
  if (request.width > 0) metrics_.ave_char_width = request.width;
  font_in_context_ = false;
  return true;
}

std::string CairoCanvas::face_name() const { return font_ ? font_->face->family : std::string(); }

int CairoCanvas::draw_text(int x, int y, std::string_view text, std::optional<int> fixed_advance) {
  if (!font_ || text.empty()) return 0;
  const double width = fixed_advance ? double(*fixed_advance) * double(text.size()) : advance_of(text);
  if (cr_ && !failed()) draw_on_sheet(x - horizontal_shift(width), y + baseline_shift(), width, text, fixed_advance);
  return rounded_dots(width);
}

int CairoCanvas::text_extent(std::string_view text) { return font_ ? rounded_dots(advance_of(text)) : 0; }

void CairoCanvas::fill_rect(int x, int y, int width, int height, double darkness) {
  if (!cr_ || failed() || !take_page_room(kCallCost)) return;
  const double grey = 1.0 - darkness;
  cairo_set_source_rgb(cr_, grey, grey, grey);
  cairo_rectangle(cr_, x, y, width, height);
  cairo_fill(cr_);
  cairo_set_source_rgb(cr_, 0, 0, 0);  // text stays black
}

std::pair<double, double> CairoCanvas::page_points() const {
  const double w = sheet_.paper.width / 2540.0 * 72.0;
  const double h = sheet_.paper.length / 2540.0 * 72.0;
  return sheet_.landscape ? std::pair{h, w} : std::pair{w, h};
}

void CairoCanvas::draw_into(cairo_t* cr) {
  cr_ = cr;
  font_in_context_ = false;
}

void CairoCanvas::begin_page() { budget_.start_page(); }

void CairoCanvas::fail(DeviceFailure failure) {
  if (!failed()) failure_ = std::move(failure);
}

std::pair<int, int> CairoCanvas::sheet_dots() const {
  const int w = hundredths_mm_to_dots(sheet_.paper.width, dpi_x_);
  const int h = hundredths_mm_to_dots(sheet_.paper.length, dpi_y_);
  return sheet_.landscape ? std::pair{h, w} : std::pair{w, h};
}

// Glyphs whose ink cannot reach the sheet are left out: a text far off the
// sheet, or one long enough to run far past its edge, costs nothing on the
// page. What is left reaches cairo in pieces.
void CairoCanvas::draw_on_sheet(double left, double baseline, double width, std::string_view text,
                                std::optional<int> fixed_advance) {
  const auto [sheet_w, sheet_h] = sheet_dots();
  const double reach = font_->reach;
  const Band band{-reach, sheet_w + reach, -reach, sheet_h + reach};
  if (baseline < band.top || baseline > band.bottom) return;
  if (!font_in_context_) {
    cairo_set_scaled_font(cr_, font_->cairo.get());
    font_in_context_ = true;
  }
  double pen = left;
  for (std::size_t i = 0; i < text.size() && pen <= band.right; ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    const double at = fixed_advance ? left + double(*fixed_advance) * double(i) : pen;
    pen = fixed_advance ? at + *fixed_advance : pen + font_->advance(b);
    // A byte the face has no glyph for (a control character) takes its
    // place but leaves no mark.
    if (at < band.left || at > band.right || font_->glyph(b) == 0) continue;
    glyphs_.push_back({font_->glyph(b), at, baseline});
    if (glyphs_.size() == kPieceGlyphs && !show_piece()) return;
  }
  if (!show_piece()) return;
  const double from = std::max(left, band.left);
  const double to = std::min(left + width, band.right);
  if (underline_ && to > from && take_page_room(kCallCost)) draw_underline(from, baseline, to - from);
}

bool CairoCanvas::show_piece() {
  if (glyphs_.empty()) return true;
  const bool room = take_page_room(kCallCost + glyphs_.size() * kGlyphCost);
  if (room) cairo_show_glyphs(cr_, glyphs_.data(), static_cast<int>(glyphs_.size()));
  glyphs_.clear();
  return room;
}

// Counts `bytes` more against the page, with the current font the first
// time the page uses it. A page out of room fails: it is not drawn.
bool CairoCanvas::take_page_room(std::size_t bytes) {
  if (budget_.take(bytes, font_ ? std::optional(font_->serial) : std::nullopt)) return true;
  not_drawn(budget_.reason());
  return false;
}

void CairoCanvas::apply_paper(const FormSpec& form, int width_tenths, int length_tenths) {
  std::optional<Paper> paper;
  if (const auto* name = std::get_if<std::string>(&form)) {
    if (!name->empty()) paper = paper_for_name(*name);
  } else if (std::get<int>(form) == 256) {
    paper = paper_for_size(width_tenths, length_tenths);
  } else {
    paper = paper_for_code(std::get<int>(form));
  }
  if (paper) sheet_.paper = *paper;
}

// Qualities take the system's codes: negative for draft to high, positive
// for dots per inch, which also become the device's resolution when the
// destination offers them and no document is open yet.
void CairoCanvas::apply_quality(int quality) {
  if (quality < 0) {
    if (const int q = ipp_quality_for(quality)) sheet_.print_quality = q;
    return;
  }
  if (document_open()) return;
  // Asked of the server once: a preview applies its settings for every page.
  if (!offered_dpi_) offered_dpi_ = offered_resolutions(destination_);
  if (std::find(offered_dpi_->begin(), offered_dpi_->end(), quality) == offered_dpi_->end()) return;
  sheet_.resolution = quality;
  dpi_x_ = dpi_y_ = quality;
}

double CairoCanvas::advance_of(std::string_view text) const {
  double width = 0;
  for (const char c : text) width += font_->advance(static_cast<unsigned char>(c));
  return width;
}

double CairoCanvas::horizontal_shift(double width) const {
  switch (align_ & kAlignCenter) {
    case kAlignCenter: return width / 2;
    case kAlignRight: return width;
    default: return 0;
  }
}

double CairoCanvas::baseline_shift() const {
  switch (align_ & kAlignBaseline) {
    case kAlignBaseline: return 0;
    case kAlignBottom: return -metrics_.descent;
    default: return metrics_.ascent;
  }
}

void CairoCanvas::draw_underline(double left, double baseline, double width) {
  const Face& face = *font_->face;
  const double scale = font_->em / face.units_per_em;
  const double thickness = std::max(1.0, face.underline_thickness * scale);
  const double top = baseline - face.underline_position * scale - thickness / 2;
  cairo_rectangle(cr_, left, top, width, thickness);
  cairo_fill(cr_);
}

}  // namespace tarvo::cairo_pages
