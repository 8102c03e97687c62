#include "printing/page_device_cairo.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <cups/cups.h>
#include <fontconfig/fcfreetype.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <vector>

#include "printing/cups_connection.h"
#include "printing/cups_destination.h"
#include "printing/cups_job.h"
#include "printing/dot_count.h"
#include "printing/lru_cache.h"
#include "printing/page_budget.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

// ---- handles -------------------------------------------------------------

struct CairoFree {
  void operator()(cairo_t* p) const { cairo_destroy(p); }
  void operator()(cairo_surface_t* p) const { cairo_surface_destroy(p); }
  void operator()(cairo_font_face_t* p) const { cairo_font_face_destroy(p); }
  void operator()(cairo_scaled_font_t* p) const { cairo_scaled_font_destroy(p); }
  void operator()(cairo_font_options_t* p) const { cairo_font_options_destroy(p); }
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
  void operator()(FcFontSet* p) const { FcFontSetDestroy(p); }
  void operator()(FcObjectSet* p) const { FcObjectSetDestroy(p); }
};
template <typename T>
using Handle = std::unique_ptr<T, CairoFree>;


// ---- paper ---------------------------------------------------------------

// A sheet in hundredths of a millimetre, as CUPS gives media, with its
// media name for the job.
struct Paper {
  int width = 21000;
  int length = 29700;
  std::string media = "iso_a4_210x297mm";
};

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

int hundredths_mm_to_dots(int value, int dpi) { return rounded_dots(value / 2540.0 * dpi); }

// ---- settings to job options ---------------------------------------------

bool offered(const std::vector<std::string>& supported, std::string_view value) {
  return std::find(supported.begin(), supported.end(), value) != supported.end();
}

const char* sides_for(int duplex) {
  switch (duplex) {
    case 1: return "one-sided";
    case 2: return "two-sided-long-edge";
    case 3: return "two-sided-short-edge";
    default: return nullptr;
  }
}

// Paper sources by the system's bin codes.
const char* media_source_for(int bin) {
  switch (bin) {
    case 1: return "top";
    case 2: return "bottom";
    case 3: return "middle";
    case 4: return "manual";
    case 5: return "envelope";
    case 6: return "manual";
    case 7: return "auto";
    case 11: return "large-capacity";
    case 15: return "auto";
    default: return nullptr;
  }
}

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

// ---- fonts ---------------------------------------------------------------

// A face as fontconfig matched it, with the FreeType metrics the page model
// needs, in font units, and the glyph of every byte of the print file's code
// page (0 where the face has none): texts are drawn byte by byte from this
// table, without decoding or looking glyphs up again.
struct Face {
  Handle<cairo_font_face_t> cairo;
  std::string family;
  std::array<unsigned long, 256> glyph{};
  double units_per_em = 2048;
  double win_ascent = 0;
  double win_descent = 0;
  double average_width = 0;  // the face's own average; a fixed-pitch face's advance
  double underline_position = 0;  // below the baseline when negative
  double underline_thickness = 0;
  bool slanted = false;  // the face itself is italic or oblique
};

int fc_weight_for(int weight) { return FcWeightFromOpenType(std::clamp(weight, 1, 1000)); }

// The heaviest weight that `family` has in the given slant.
std::optional<int> heaviest_weight(const std::string& family, int slant) {
  Handle<FcPattern> pat(FcPatternCreate());
  FcPatternAddString(pat.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pat.get(), FC_SLANT, slant);
  Handle<FcObjectSet> os(FcObjectSetBuild(FC_WEIGHT, nullptr));
  Handle<FcFontSet> set(FcFontList(nullptr, pat.get(), os.get()));
  std::optional<int> best;
  for (int i = 0; set && i < set->nfont; ++i) {
    int w = 0;
    if (FcPatternGetInteger(set->fonts[i], FC_WEIGHT, 0, &w) == FcResultMatch)
      best = std::max(best.value_or(w), w);
  }
  return best;
}

Handle<FcPattern> match_font(const std::string& face, int fc_weight, int slant) {
  Handle<FcPattern> pat(FcPatternCreate());
  FcPatternAddString(pat.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
  FcPatternAddInteger(pat.get(), FC_WEIGHT, fc_weight);
  FcPatternAddInteger(pat.get(), FC_SLANT, slant);
  FcPatternAddBool(pat.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pat.get(), FcMatchPattern);
  FcDefaultSubstitute(pat.get());
  FcResult result = FcResultNoMatch;
  return Handle<FcPattern>(FcFontMatch(nullptr, pat.get(), &result));
}

void read_face_metrics(Face& face, FT_Face ft) {
  face.units_per_em = ft->units_per_EM > 0 ? ft->units_per_EM : 2048;
  face.win_ascent = ft->ascender;
  face.win_descent = -ft->descender;
  face.average_width = ft->max_advance_width / 2.0;
  if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2))) {
    if (os2->usWinAscent + os2->usWinDescent > 0) {
      face.win_ascent = os2->usWinAscent;
      face.win_descent = os2->usWinDescent;
    }
    if (os2->xAvgCharWidth > 0) face.average_width = os2->xAvgCharWidth;
  }
  if (FT_IS_FIXED_WIDTH(ft)) face.average_width = ft->max_advance_width;
  face.underline_position = ft->underline_position;
  face.underline_thickness = ft->underline_thickness > 0 ? ft->underline_thickness
                                                         : face.units_per_em / 20;
}

// Matches a face by name, weight and slant. Weight 800 and above takes the
// heaviest face of the family; a bold request that finds no bold face is
// emboldened.
std::shared_ptr<const Face> load_face(const std::string& name, int weight, bool italic) {
  const int slant = italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN;
  Handle<FcPattern> matched = match_font(name, fc_weight_for(weight), slant);
  if (!matched) return nullptr;
  FcChar8* family = nullptr;
  if (FcPatternGetString(matched.get(), FC_FAMILY, 0, &family) != FcResultMatch) return nullptr;
  const std::string family_name(reinterpret_cast<const char*>(family));
  if (weight >= 800) {
    int matched_slant = slant;
    FcPatternGetInteger(matched.get(), FC_SLANT, 0, &matched_slant);
    if (auto heaviest = heaviest_weight(family_name, matched_slant)) {
      int matched_weight = 0;
      FcPatternGetInteger(matched.get(), FC_WEIGHT, 0, &matched_weight);
      if (*heaviest > matched_weight) matched = match_font(family_name, *heaviest, slant);
      if (!matched) return nullptr;
    }
  }
  int got_weight = FC_WEIGHT_REGULAR;
  FcPatternGetInteger(matched.get(), FC_WEIGHT, 0, &got_weight);
  if (weight >= 600 && got_weight < FC_WEIGHT_DEMIBOLD) {
    FcPatternDel(matched.get(), FC_EMBOLDEN);
    FcPatternAddBool(matched.get(), FC_EMBOLDEN, FcTrue);
  }
  int got_slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(matched.get(), FC_SLANT, 0, &got_slant);

  auto face = std::make_shared<Face>();
  face->cairo.reset(cairo_ft_font_face_create_for_pattern(matched.get()));
  if (cairo_font_face_status(face->cairo.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  face->family = family_name;
  face->slanted = got_slant != FC_SLANT_ROMAN;

  // FreeType's view of the face, through a scaled font of any size.
  cairo_matrix_t unit, identity;
  cairo_matrix_init_scale(&unit, 12, 12);
  cairo_matrix_init_identity(&identity);
  Handle<cairo_font_options_t> options(cairo_font_options_create());
  Handle<cairo_scaled_font_t> probe(
      cairo_scaled_font_create(face->cairo.get(), &unit, &identity, options.get()));
  if (cairo_scaled_font_status(probe.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  FT_Face ft = cairo_ft_scaled_font_lock_face(probe.get());
  if (ft == nullptr) return nullptr;
  read_face_metrics(*face, ft);
  // The same lookup cairo makes for a character, once for every byte.
  for (int b = 0; b < 256; ++b) face->glyph[b] = FcFreeTypeCharIndex(ft, cp1252_code_point(b));
  cairo_ft_scaled_font_unlock_face(probe.get());
  return face;
}

// The slant given to an upright face asked for in italic.
constexpr double kObliqueShear = 0.2126;  // tan 12 degrees

// A face at one size and shape. The advance of a byte is measured the first
// time a text needs it: measuring means loading the glyph at this size, and
// most fonts of a job draw few of the 256. Advances are never negative, so a
// text's pen only moves right.
class ScaledFont {
 public:
  Handle<cairo_scaled_font_t> cairo;
  std::shared_ptr<const Face> face;
  std::uint64_t serial = 0;  // which font the device made, in order
  double em = 0;
  double reach = 0;  // how far a glyph's ink may lie from its origin, any way
  TextMetrics metrics;

  unsigned long glyph(unsigned char b) const { return face->glyph[b]; }
  double advance(unsigned char b) {
    if (!measured_[b]) {
      cairo_glyph_t g{face->glyph[b], 0, 0};
      cairo_text_extents_t extents;
      cairo_scaled_font_glyph_extents(cairo.get(), &g, 1, &extents);
      advance_[b] = std::max(0.0, extents.x_advance);
      measured_[b] = true;
    }
    return advance_[b];
  }

 private:
  std::array<double, 256> advance_{};
  std::bitset<256> measured_;
};

struct FontKey {
  const Face* face;
  double em, x_scale, shear;
  auto operator<=>(const FontKey&) const = default;
};

// ---- the device ----------------------------------------------------------

// Fonts kept ready: more than a real job switches between, few enough that a
// file asking for thousands of sizes does not grow the program without end.
constexpr std::size_t kCachedFaces = 16;
constexpr std::size_t kCachedFonts = 32;

// A FreeType size that failed leaves the face unusable for the sizes
// already in use: fonts above kLargestFontPoints are refused before that.

// Texts reach cairo in pieces of at most this many glyphs.
constexpr std::size_t kPieceGlyphs = 4096;

// cairo holds every drawing call of a page in memory until the page is
// shown, so a page's drawing is held to PageBudget.
constexpr std::size_t kCallCost = PageBudget::kCallCost;
constexpr std::size_t kGlyphCost = PageBudget::kGlyphCost;

// The print system's words for a job it refused or lost.
std::string print_system_reason(const cups::CupsJob& job) {
  if (!job.error().empty()) return job.error();
  return "o servidor de impressão não aceitou o trabalho";
}

class CairoPageDevice final : public PageDevice {
 public:
  CairoPageDevice(std::string destination, cups::DestinationAttributes attributes)
      : destination_(std::move(destination)), attrs_(std::move(attributes)) {
    dpi_x_ = attrs_.resolution_x > 0 ? attrs_.resolution_x : CairoPageDevices::kFallbackDpi;
    dpi_y_ = attrs_.resolution_y > 0 ? attrs_.resolution_y : dpi_x_;
    if (attrs_.media_width > 0 && attrs_.media_length > 0) {
      paper_ = Paper{attrs_.media_width, attrs_.media_length, attrs_.media};
    }
    font_options_.reset(cairo_font_options_create());
    // Outlines at their exact sizes: advances scale linearly, so columns land
    // where the page model computes them.
    cairo_font_options_set_hint_metrics(font_options_.get(), CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(font_options_.get(), CAIRO_HINT_STYLE_NONE);
    cairo_matrix_init_scale(&ctm_, 72.0 / dpi_x_, 72.0 / dpi_y_);
  }

  // A document still open when the device goes is discarded: nothing of it
  // reaches the printer.
  ~CairoPageDevice() override { abort_document(); }

  bool apply_settings(const PrintSettings& s) override {
    if (s.form) apply_paper(*s.form, s.paper_width, s.paper_length);
    if (s.landscape) landscape_ = *s.landscape;
    if (s.copies >= 1) copies_ = s.copies;
    if (s.bin != 0) bin_ = s.bin;
    if (s.duplex != 0) duplex_ = s.duplex;
    if (s.quality != 0) apply_quality(s.quality);
    return true;
  }

  DeviceCaps capabilities() const override {
    DeviceCaps caps;
    caps.dpi_x = dpi_x_;
    caps.dpi_y = dpi_y_;
    const auto [w, h] = sheet_dots();
    caps.page_width = w;
    caps.page_height = h;
    caps.offset_x = hundredths_mm_to_dots(landscape_ ? attrs_.margin_bottom : attrs_.margin_left, dpi_x_);
    caps.offset_y = hundredths_mm_to_dots(landscape_ ? attrs_.margin_left : attrs_.margin_top, dpi_y_);
    caps.stretch_dib = true;
    caps.num_colors = 2;
    return caps;
  }

  bool start_document(std::string_view name) override {
    if (job_) return false;
    failure_ = {};
    job_ = std::make_unique<cups::CupsJob>(destination_, name, job_options());
    if (!job_->ok() || !job_->start_document(cups::kPdfFormat, name)) {
      refused_by_print_system();
      job_.reset();
      return false;
    }
    discard_ = false;
    buffer_.clear();
    const auto [w, h] = page_points();
    surface_.reset(cairo_pdf_surface_create_for_stream(&CairoPageDevice::write_out, this, w, h));
    cr_.reset(cairo_create(surface_.get()));
    cairo_set_matrix(cr_.get(), &ctm_);
    font_in_context_ = false;
    if (cairo_status(cr_.get()) != CAIRO_STATUS_SUCCESS) {
      not_drawn(cairo_status_to_string(cairo_status(cr_.get())));
      abort_document();
      return false;
    }
    return true;
  }

  bool end_document() override {
    if (!job_) return false;
    if (!failed()) {
      cr_.reset();
      cairo_surface_finish(surface_.get());
      const cairo_status_t status = cairo_surface_status(surface_.get());
      surface_.reset();
      if (status != CAIRO_STATUS_SUCCESS) not_drawn(cairo_status_to_string(status));
      if (!failed() && !(flush() && job_->finish())) refused_by_print_system();
    }
    if (failed()) {
      abort_document();
      return false;
    }
    job_.reset();
    return true;
  }

  void abort_document() override {
    if (!job_) return;
    job_->cancel();
    discard_ = true;  // what cairo still writes while it closes goes nowhere
    cr_.reset();
    surface_.reset();
    job_.reset();
    buffer_.clear();
  }

  bool start_page() override {
    if (!surface_) return false;
    budget_.start_page();
    const auto [w, h] = page_points();
    cairo_pdf_surface_set_size(surface_.get(), w, h);
    return true;
  }

  bool end_page() override {
    if (!cr_ || failed()) return false;
    cairo_show_page(cr_.get());
    const cairo_status_t status = cairo_status(cr_.get());
    if (status != CAIRO_STATUS_SUCCESS) not_drawn(cairo_status_to_string(status));
    return !failed();
  }

  DeviceFailure failure() const override { return failure_; }

  bool select_font(const FontRequest& request) override {
    // A failed document draws nothing more: its fonts are not worth making.
    if (failed()) return false;
    std::shared_ptr<const Face> face = face_for(request.face, request.weight, request.italic);
    if (face == nullptr) return false;
    const double em = em_height(*face, request.height);
    const double natural = face->average_width * em / face->units_per_em;
    const double x_scale = request.width > 0 && natural > 0 ? request.width / natural : 1.0;
    const double shear = request.italic && !face->slanted ? -kObliqueShear * em : 0.0;
    const double largest = std::max({em * x_scale * 72.0 / dpi_x_, em * 72.0 / dpi_y_});
    if (!(largest <= kLargestFontPoints)) return false;

    std::shared_ptr<ScaledFont> font = scaled_font_for(FontKey{face.get(), em, x_scale, shear}, face);
    if (font == nullptr) return false;
    font_ = std::move(font);
    underline_ = request.underline;
    metrics_ = font_->metrics;
    metrics_.ave_char_width = request.width > 0 ? request.width : rounded_dots(natural);
    font_in_context_ = false;
    return true;
  }

  TextMetrics metrics() const override { return metrics_; }
  std::string face_name() const override { return font_ ? font_->face->family : std::string(); }
  void set_text_align(int flags) override { align_ = flags; }

  int draw_text(int x, int y, std::string_view text, std::optional<int> fixed_advance) override {
    if (!font_ || text.empty()) return 0;
    const double width = fixed_advance ? double(*fixed_advance) * double(text.size()) : advance_of(text);
    if (cr_ && !failed()) draw_on_sheet(x - horizontal_shift(width), y + baseline_shift(), width, text, fixed_advance);
    return rounded_dots(width);
  }

  int text_extent(std::string_view text) override {
    return font_ ? rounded_dots(advance_of(text)) : 0;
  }

  void fill_rect(int x, int y, int width, int height, double darkness) override {
    if (!cr_ || failed() || !take_page_room(kCallCost)) return;
    const double grey = 1.0 - darkness;
    cairo_set_source_rgb(cr_.get(), grey, grey, grey);
    cairo_rectangle(cr_.get(), x, y, width, height);
    cairo_fill(cr_.get());
    cairo_set_source_rgb(cr_.get(), 0, 0, 0);  // text stays black
  }

 private:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  // Where ink can still land on the sheet, in dots.
  struct Band {
    double left, right, top, bottom;
  };

  static cairo_status_t write_out(void* closure, const unsigned char* data, unsigned int length) {
    auto* self = static_cast<CairoPageDevice*>(closure);
    if (self->discard_) return CAIRO_STATUS_SUCCESS;
    self->buffer_.append(reinterpret_cast<const char*>(data), length);
    if (self->buffer_.size() >= kBufferSize && !self->flush()) {
      self->refused_by_print_system();
      return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
  }

  bool flush() {
    if (buffer_.empty()) return true;
    const bool ok = job_ && job_->write(buffer_);
    buffer_.clear();
    return ok;
  }

  bool failed() const { return failure_.kind != DeviceFailure::Kind::none; }

  // The first failure of a document is the one reported.
  void refused_by_print_system() {
    if (!failed()) failure_ = {DeviceFailure::Kind::refused, print_system_reason(*job_)};
  }
  void not_drawn(std::string reason) {
    if (!failed()) failure_ = {DeviceFailure::Kind::not_drawn, std::move(reason)};
  }

  std::pair<int, int> sheet_dots() const {
    const int w = hundredths_mm_to_dots(paper_.width, dpi_x_);
    const int h = hundredths_mm_to_dots(paper_.length, dpi_y_);
    return landscape_ ? std::pair{h, w} : std::pair{w, h};
  }

  std::pair<double, double> page_points() const {
    const double w = paper_.width / 2540.0 * 72.0;
    const double h = paper_.length / 2540.0 * 72.0;
    return landscape_ ? std::pair{h, w} : std::pair{w, h};
  }

  // Glyphs whose ink cannot reach the sheet are left out: a text far off the
  // sheet, or one long enough to run far past its edge, costs nothing on the
  // page. What is left reaches cairo in pieces.
  void draw_on_sheet(double left, double baseline, double width, std::string_view text,
                     std::optional<int> fixed_advance) {
    const auto [sheet_w, sheet_h] = sheet_dots();
    const double reach = font_->reach;
    const Band band{-reach, sheet_w + reach, -reach, sheet_h + reach};
    if (baseline < band.top || baseline > band.bottom) return;
    if (!font_in_context_) {
      cairo_set_scaled_font(cr_.get(), font_->cairo.get());
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

  bool show_piece() {
    if (glyphs_.empty()) return true;
    const bool room = take_page_room(kCallCost + glyphs_.size() * kGlyphCost);
    if (room) cairo_show_glyphs(cr_.get(), glyphs_.data(), static_cast<int>(glyphs_.size()));
    glyphs_.clear();
    return room;
  }

  // Counts `bytes` more against the page, with the current font the first
  // time the page uses it. A page out of room fails: it is not drawn.
  bool take_page_room(std::size_t bytes) {
    if (budget_.take(bytes, font_ ? std::optional(font_->serial) : std::nullopt)) return true;
    not_drawn(budget_.reason());
    return false;
  }

  void apply_paper(const FormSpec& form, int width_tenths, int length_tenths) {
    std::optional<Paper> paper;
    if (const auto* name = std::get_if<std::string>(&form)) {
      if (!name->empty()) paper = paper_for_name(*name);
    } else if (std::get<int>(form) == 256) {
      paper = paper_for_size(width_tenths, length_tenths);
    } else {
      paper = paper_for_code(std::get<int>(form));
    }
    if (paper) paper_ = *paper;
  }

  // Qualities take the system's codes: negative for draft to high, positive
  // for dots per inch, which also become the device's resolution when the
  // destination offers them and no document is open yet.
  void apply_quality(int quality) {
    if (quality < 0) {
      if (const int q = ipp_quality_for(quality)) print_quality_ = q;
      return;
    }
    if (job_) return;
    const std::vector<int> offered_dpi = offered_resolutions(destination_);
    if (std::find(offered_dpi.begin(), offered_dpi.end(), quality) == offered_dpi.end()) return;
    resolution_ = quality;
    dpi_x_ = dpi_y_ = quality;
    cairo_matrix_init_scale(&ctm_, 72.0 / dpi_x_, 72.0 / dpi_y_);
  }

  std::vector<cups::JobOption> job_options() const {
    std::vector<cups::JobOption> options;
    options.push_back({"media", paper_.media});
    if (copies_ > 1) options.push_back({"copies", std::to_string(copies_)});
    if (const char* sides = sides_for(duplex_)) {
      if (attrs_.sides_supported.empty() || offered(attrs_.sides_supported, sides))
        options.push_back({"sides", sides});
    }
    if (const char* source = media_source_for(bin_); source && offered(attrs_.media_sources_supported, source))
      options.push_back({"media-source", source});
    if (print_quality_ != 0) options.push_back({"print-quality", std::to_string(print_quality_)});
    if (resolution_ != 0) options.push_back({"printer-resolution", std::to_string(resolution_) + "dpi"});
    return options;
  }

  // A face that could not be loaded is remembered as such too.
  std::shared_ptr<const Face> face_for(const std::string& name, int weight, bool italic) {
    const FaceKey key{name, weight, italic};
    if (const auto* known = faces_.find(key)) return *known;
    return faces_.insert(key, load_face(name, weight, italic));
  }

  // A negative height is the em height; a positive one the cell height.
  double em_height(const Face& face, int height) const {
    if (height < 0) return -double(height);
    const double cell = face.win_ascent + face.win_descent;
    if (height > 0 && cell > 0) return height * face.units_per_em / cell;
    return dpi_y_ * 12.0 / 72.0;
  }

  double advance_of(std::string_view text) const {
    double width = 0;
    for (const char c : text) width += font_->advance(static_cast<unsigned char>(c));
    return width;
  }

  // The font keeps its face alive, so that no other face takes its address
  // while the key names it.
  std::shared_ptr<ScaledFont> scaled_font_for(const FontKey& key, std::shared_ptr<const Face> face) {
    if (const auto* known = scaled_fonts_.find(key)) return *known;
    cairo_matrix_t font_matrix;
    cairo_matrix_init_scale(&font_matrix, key.em * key.x_scale, key.em);
    font_matrix.xy = key.shear;
    auto font = std::make_shared<ScaledFont>();
    font->cairo.reset(cairo_scaled_font_create(key.face->cairo.get(), &font_matrix, &ctm_, font_options_.get()));
    if (cairo_scaled_font_status(font->cairo.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    font->face = std::move(face);
    font->serial = ++fonts_made_;
    font->em = key.em;
    font->reach = 2 * key.em * std::max(1.0, key.x_scale) + std::fabs(key.shear);
    const double scale = key.em / key.face->units_per_em;
    font->metrics.ascent = rounded_dots(key.face->win_ascent * scale);
    font->metrics.descent = rounded_dots(key.face->win_descent * scale);
    font->metrics.height = held_dots(double(font->metrics.ascent) + font->metrics.descent);
    return scaled_fonts_.insert(key, std::move(font));
  }

  double horizontal_shift(double width) const {
    switch (align_ & kAlignCenter) {
      case kAlignCenter: return width / 2;
      case kAlignRight: return width;
      default: return 0;
    }
  }

  double baseline_shift() const {
    switch (align_ & kAlignBaseline) {
      case kAlignBaseline: return 0;
      case kAlignBottom: return -metrics_.descent;
      default: return metrics_.ascent;
    }
  }

  void draw_underline(double left, double baseline, double width) {
    const Face& face = *font_->face;
    const double scale = font_->em / face.units_per_em;
    const double thickness = std::max(1.0, face.underline_thickness * scale);
    const double top = baseline - face.underline_position * scale - thickness / 2;
    cairo_rectangle(cr_.get(), left, top, width, thickness);
    cairo_fill(cr_.get());
  }

  using FaceKey = std::tuple<std::string, int, bool>;

  std::string destination_;
  cups::DestinationAttributes attrs_;
  int dpi_x_ = CairoPageDevices::kFallbackDpi;
  int dpi_y_ = CairoPageDevices::kFallbackDpi;
  cairo_matrix_t ctm_{};
  Paper paper_;
  bool landscape_ = false;
  int copies_ = 1;
  int bin_ = 0;
  int duplex_ = 0;
  int print_quality_ = 0;
  int resolution_ = 0;

  LruCache<FaceKey, std::shared_ptr<const Face>> faces_{kCachedFaces};
  Handle<cairo_font_options_t> font_options_;
  LruCache<FontKey, std::shared_ptr<ScaledFont>> scaled_fonts_{kCachedFonts};
  std::shared_ptr<ScaledFont> font_;
  std::uint64_t fonts_made_ = 0;
  std::vector<cairo_glyph_t> glyphs_;
  bool underline_ = false;
  TextMetrics metrics_;
  int align_ = kAlignLeft | kAlignBottom;

  std::unique_ptr<cups::CupsJob> job_;
  Handle<cairo_surface_t> surface_;
  Handle<cairo_t> cr_;
  bool font_in_context_ = false;
  bool discard_ = false;
  std::string buffer_;
  DeviceFailure failure_;

  // What cairo holds of the page being drawn.
  PageBudget budget_;
};

}  // namespace

std::unique_ptr<PageDevice> CairoPageDevices::open(std::string_view printer) {
  cups::DestinationAttributes attrs = cups::read_destination_attributes(printer);
  if (!attrs.found) return nullptr;
  return std::make_unique<CairoPageDevice>(std::string(printer), std::move(attrs));
}

std::unique_ptr<PageDeviceFactory> make_system_page_devices() {
  return std::make_unique<CairoPageDevices>();
}

}  // namespace tarvo
