#include <cairo-pdf.h>
#include <cairo.h>

#include <memory>

#include "component/component_error.h"
#include "component/slip_canvas_cairo.h"
#include "component/slip_layout.h"
#include "component/slip_page.h"
#include "printing/page_image_cairo.h"

namespace tarvo::component {

namespace {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};

cairo_status_t append_to_string(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

PageImage slip_image(const Slip& slip, const AccountData& account, const Date& processing, double pixels_per_point) {
  const SheetSize sheet = slip_sheet();
  const CairoImageSheet image(sheet.width, sheet.height, pixels_per_point);
  if (!image.ok()) return {};
  CairoSlipCanvas canvas(image.cr());
  draw_slip(canvas, slip, account, processing);
  return image.image();
}

std::string slips_pdf(const std::vector<Slip>& slips, const AccountData& account, const Date& processing) {
  std::string pdf;
  const SheetSize sheet = slip_sheet();
  const std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
      cairo_pdf_surface_create_for_stream(append_to_string, &pdf, sheet.width, sheet.height));
  std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
  for (const Slip& s : slips) {
    CairoSlipCanvas canvas(cr.get());
    draw_slip(canvas, s, account, processing);
    cairo_show_page(cr.get());
  }
  cr.reset();
  cairo_surface_finish(surface.get());
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
    fail(account_label(account), "IMPRIMEBOLETOSSEMPREVIEW", "o documento PDF não pôde ser gerado");
  return pdf;
}

}  // namespace tarvo::component
