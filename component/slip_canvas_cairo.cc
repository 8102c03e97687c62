#include "component/slip_canvas_cairo.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace tarvo::component {

namespace {

constexpr double kPt = 72.0 / 25.4;  // points per millimetre

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// Cairo wants native-endian 0xAARRGGBB words with the colour premultiplied by
// alpha; the logo's alpha is straight.
Surface to_surface(const LogoImage& logo) {
  bool alpha = false;
  for (std::uint32_t p : logo.pixels) alpha = alpha || (p >> 24) != 0xFF;
  Surface surface(cairo_image_surface_create(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, logo.width, logo.height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_flush(surface.get());
  unsigned char* out = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  const auto premultiply = [](unsigned c, unsigned a) { return (c * a + 127) / 255; };
  for (int row = 0; row < logo.height; ++row) {
    const std::uint32_t* p = logo.pixels.data() + static_cast<std::ptrdiff_t>(row) * logo.width;
    unsigned char* q = out + static_cast<std::ptrdiff_t>(row) * stride;
    for (int col = 0; col < logo.width; ++col, ++p, q += 4) {
      const unsigned a = *p >> 24;
      const std::uint32_t word = (a << 24) | (premultiply((*p >> 16) & 0xFF, a) << 16) |
                                 (premultiply((*p >> 8) & 0xFF, a) << 8) | premultiply(*p & 0xFF, a);
      std::memcpy(q, &word, sizeof word);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

}  // namespace

CairoSlipCanvas::CairoSlipCanvas(cairo_t* cr) : cr_(cr) { cairo_set_source_rgb(cr_, 0, 0, 0); }

void CairoSlipCanvas::line(double x1, double y1, double x2, double y2, double width) {
  cairo_set_line_width(cr_, width * kPt);
  cairo_move_to(cr_, x1 * kPt, y1 * kPt);
  cairo_line_to(cr_, x2 * kPt, y2 * kPt);
  cairo_stroke(cr_);
}

void CairoSlipCanvas::dashed_line(double x1, double y, double x2, double width) {
  const double dash[] = {1.5 * kPt, 1.0 * kPt};
  cairo_set_dash(cr_, dash, 2, 0);
  line(x1, y, x2, y, width);
  cairo_set_dash(cr_, nullptr, 0, 0);
}

void CairoSlipCanvas::select_font(double size, bool bold) {
  cairo_select_font_face(cr_, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr_, size);
}

void CairoSlipCanvas::text(double x, double y, const std::string& utf8, double size, bool bold) {
  select_font(size, bold);
  cairo_move_to(cr_, x * kPt, y * kPt);
  cairo_show_text(cr_, utf8.c_str());
}

double CairoSlipCanvas::text_width(const std::string& utf8, double size, bool bold) {
  select_font(size, bold);
  cairo_text_extents_t ext;
  cairo_text_extents(cr_, utf8.c_str(), &ext);
  return ext.x_advance / kPt;
}

void CairoSlipCanvas::frame(double x, double y, double w, double h, double width) {
  cairo_set_line_width(cr_, width * kPt);
  cairo_rectangle(cr_, x * kPt, y * kPt, w * kPt, h * kPt);
  cairo_stroke(cr_);
}

void CairoSlipCanvas::fill_rectangle(double x, double y, double w, double h) {
  cairo_rectangle(cr_, x * kPt, y * kPt, w * kPt, h * kPt);
  cairo_fill(cr_);
}

void CairoSlipCanvas::image(double x, double y, double w, double h, const LogoImage& logo) {
  const Surface surface = to_surface(logo);
  if (!surface) return;
  cairo_save(cr_);
  cairo_translate(cr_, x * kPt, y * kPt);
  cairo_scale(cr_, w * kPt / logo.width, h * kPt / logo.height);
  cairo_set_source_surface(cr_, surface.get(), 0, 0);
  cairo_paint(cr_);
  cairo_restore(cr_);
}

}  // namespace tarvo::component
