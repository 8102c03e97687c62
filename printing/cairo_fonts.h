#pragma once

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <tuple>

#include "printing/lru_cache.h"
#include "printing/page_device.h"

namespace tarvo::cairo_pages {

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

// A face at one size and shape, in printer dots. The advance of a byte is
// measured the first time a text needs it: measuring means loading the glyph
// at this size, and most fonts of a job draw few of the 256. Advances are
// never negative, so a text's pen only moves right. Advances are measured
// without hinting, so they do not depend on the scale a page is drawn at.
class ScaledFont {
 public:
  Handle<cairo_scaled_font_t> cairo;
  std::shared_ptr<const Face> face;
  std::uint64_t serial = 0;  // which font the fonts made, in order
  double em = 0;
  double reach = 0;  // how far a glyph's ink may lie from its origin, any way
  TextMetrics metrics;  // ave_char_width: the face's own width at this size

  unsigned long glyph(unsigned char b) const { return face->glyph[b]; }
  double advance(unsigned char b);

 private:
  std::array<double, 256> advance_{};
  std::bitset<256> measured_;
};

// The fonts of one page device: faces matched by name, weight and slant, and
// fonts made from them at the sizes asked for, a bounded number of each kept
// ready. Fonts are made in printer dots at `dots_per_inch`.
class CairoFonts {
 public:
  CairoFonts();

  // The font for `request`; null when none can be made (no face, or a size
  // beyond what can be drawn).
  std::shared_ptr<ScaledFont> make(const FontRequest& request, int dpi_x, int dpi_y);

 private:
  using FaceKey = std::tuple<std::string, int, bool>;
  struct FontKey {
    const Face* face;
    double em, x_scale, shear;
    int dpi_x, dpi_y;
    auto operator<=>(const FontKey&) const = default;
  };

  std::shared_ptr<const Face> face_for(const std::string& name, int weight, bool italic);
  std::shared_ptr<ScaledFont> scaled_font_for(const FontKey& key, std::shared_ptr<const Face> face);

  LruCache<FaceKey, std::shared_ptr<const Face>> faces_;
  Handle<cairo_font_options_t> options_;
  LruCache<FontKey, std::shared_ptr<ScaledFont>> scaled_fonts_;
  std::uint64_t fonts_made_ = 0;
};

}  // namespace tarvo::cairo_pages
