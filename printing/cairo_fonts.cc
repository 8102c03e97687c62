#include "printing/cairo_fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fcfreetype.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <optional>

#include "printing/dot_count.h"
#include "printing/page_budget.h"
#include "runtime/text.h"

namespace tarvo::cairo_pages {
namespace {

// Fonts kept ready: more than a real job switches between, few enough that a
// file asking for thousands of sizes does not grow the program without end.
constexpr std::size_t kCachedFaces = 16;
constexpr std::size_t kCachedFonts = 32;

// The slant given to an upright face asked for in italic.
constexpr double kObliqueShear = 0.2126;  // tan 12 degrees

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


// A negative height is the em height; a positive one the cell height.
double em_height(const Face& face, int height, int dpi_y) {
  if (height < 0) return -double(height);
  const double cell = face.win_ascent + face.win_descent;
  if (height > 0 && cell > 0) return height * face.units_per_em / cell;
  return dpi_y * 12.0 / 72.0;
}

}  // namespace

double ScaledFont::advance(unsigned char b) {
  if (!measured_[b]) {
    cairo_glyph_t g{face->glyph[b], 0, 0};
    cairo_text_extents_t extents;
    cairo_scaled_font_glyph_extents(cairo.get(), &g, 1, &extents);
    advance_[b] = std::max(0.0, extents.x_advance);
    measured_[b] = true;
  }
  return advance_[b];
}

CairoFonts::CairoFonts()
    : faces_(kCachedFaces), options_(cairo_font_options_create()), scaled_fonts_(kCachedFonts) {
  // Outlines at their exact sizes: advances scale linearly, so columns land
  // where the page model computes them, at any scale a page is drawn at.
  cairo_font_options_set_hint_metrics(options_.get(), CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options_.get(), CAIRO_HINT_STYLE_NONE);
}

std::shared_ptr<ScaledFont> CairoFonts::make(const FontRequest& request, int dpi_x, int dpi_y) {
  std::shared_ptr<const Face> face = face_for(request.face, request.weight, request.italic);
  if (face == nullptr) return nullptr;
  const double em = em_height(*face, request.height, dpi_y);
  const double natural = face->average_width * em / face->units_per_em;
  const double x_scale = request.width > 0 && natural > 0 ? request.width / natural : 1.0;
  const double shear = request.italic && !face->slanted ? -kObliqueShear * em : 0.0;
  const double largest = std::max({em * x_scale * 72.0 / dpi_x, em * 72.0 / dpi_y});
  if (!(largest <= kLargestFontPoints)) return nullptr;
  return scaled_font_for(FontKey{face.get(), em, x_scale, shear, dpi_x, dpi_y}, face);
}

// A face that could not be loaded is remembered as such too.
std::shared_ptr<const Face> CairoFonts::face_for(const std::string& name, int weight, bool italic) {
  const FaceKey key{name, weight, italic};
  if (const auto* known = faces_.find(key)) return *known;
  return faces_.insert(key, load_face(name, weight, italic));
}

// The font keeps its face alive, so that no other face takes its address
// while the key names it.
std::shared_ptr<ScaledFont> CairoFonts::scaled_font_for(const FontKey& key, std::shared_ptr<const Face> face) {
  if (const auto* known = scaled_fonts_.find(key)) return *known;
  cairo_matrix_t font_matrix, ctm;
  cairo_matrix_init_scale(&font_matrix, key.em * key.x_scale, key.em);
  font_matrix.xy = key.shear;
  cairo_matrix_init_scale(&ctm, 72.0 / key.dpi_x, 72.0 / key.dpi_y);
  auto font = std::make_shared<ScaledFont>();
  font->cairo.reset(cairo_scaled_font_create(key.face->cairo.get(), &font_matrix, &ctm, options_.get()));
  if (cairo_scaled_font_status(font->cairo.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  font->face = std::move(face);
  font->serial = ++fonts_made_;
  font->em = key.em;
  font->reach = 2 * key.em * std::max(1.0, key.x_scale) + std::fabs(key.shear);
  const double scale = key.em / key.face->units_per_em;
  font->metrics.ascent = rounded_dots(key.face->win_ascent * scale);
  font->metrics.descent = rounded_dots(key.face->win_descent * scale);
  font->metrics.height = held_dots(double(font->metrics.ascent) + font->metrics.descent);
  font->metrics.ave_char_width = rounded_dots(key.face->average_width * key.em / key.face->units_per_em);
  return scaled_fonts_.insert(key, std::move(font));
}

}  // namespace tarvo::cairo_pages
