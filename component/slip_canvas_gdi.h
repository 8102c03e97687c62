#pragma once

#include <windows.h>

#include <map>
#include <utility>

#include "component/slip_canvas.h"
#include "printing/gdi_objects_win32.h"

namespace tarvo::component {

// A slip canvas on a GDI device context in its own units (MM_TEXT): printer
// dots, or the pixels of an image. `origin` is where the sheet's top left
// corner lies in those units (a printer's origin is the corner of its
// printable area, so the sheet's lies at minus the printable offset).
class GdiSlipCanvas final : public SlipCanvas {
 public:
  struct Geometry {
    double dots_per_mm_x = 0, dots_per_mm_y = 0;
    double origin_x = 0, origin_y = 0;
  };
  GdiSlipCanvas(HDC dc, Geometry geometry);
  ~GdiSlipCanvas() override;
  GdiSlipCanvas(const GdiSlipCanvas&) = delete;
  GdiSlipCanvas& operator=(const GdiSlipCanvas&) = delete;

  void line(double x1, double y1, double x2, double y2, double width) override;
  void dashed_line(double x1, double y, double x2, double width) override;
  void text(double x, double y, const std::string& utf8, double size, bool bold) override;
  double text_width(const std::string& utf8, double size, bool bold) override;
  void frame(double x, double y, double w, double h, double width) override;
  void fill_rectangle(double x, double y, double w, double h) override;
  void image(double x, double y, double w, double h, const LogoImage& logo) override;
  // Whole dots: the narrow bar is the nearest whole number of dots to
  // `narrow` (exactly 0.254 mm at 300 and 600 dpi), every bar and gap a
  // whole multiple of it, so the reader sees the symbol's ratios unchanged.
  void bars(double x, double y, double narrow, double height, const std::vector<Bar>& bars) override;

 private:
  long device_x(double mm) const;
  long device_y(double mm) const;
  // Fills the device rectangle from the given corners, at least one dot
  // each way.
  void fill_dots(long left, long top, long right, long bottom);
  void select_font(double size, bool bold);

  HDC dc_;
  Geometry g_;
  HGDIOBJ original_font_ = nullptr;
  std::map<std::pair<long, bool>, gdi::Font> fonts_;  // by height in dots and weight
};

}  // namespace tarvo::component
