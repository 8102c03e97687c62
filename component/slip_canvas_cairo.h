#pragma once

#include <cairo.h>

#include "component/slip_canvas.h"

namespace tarvo::component {

// A slip canvas on a cairo context whose units are points.
class CairoSlipCanvas final : public SlipCanvas {
 public:
  explicit CairoSlipCanvas(cairo_t* cr);

  void line(double x1, double y1, double x2, double y2, double width) override;
  void dashed_line(double x1, double y, double x2, double width) override;
  void text(double x, double y, const std::string& utf8, double size, bool bold) override;
  double text_width(const std::string& utf8, double size, bool bold) override;
  void frame(double x, double y, double w, double h, double width) override;
  void fill_rectangle(double x, double y, double w, double h) override;
  void image(double x, double y, double w, double h, const LogoImage& logo) override;

 private:
  void select_font(double size, bool bold);

  cairo_t* cr_;
};

}  // namespace tarvo::component
