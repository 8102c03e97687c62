#pragma once

#include <string>
#include <vector>

#include "component/bar_code.h"
#include "component/logo_image.h"

namespace tarvo::component {

// A page the slip layout draws on, in millimetres from the sheet's top left
// corner, always in black. Texts are UTF-8; sizes are in points. Each
// backend (slip_canvas_<backend>.cc) maps this onto its own device.
class SlipCanvas {
 public:
  virtual ~SlipCanvas() = default;

  virtual void line(double x1, double y1, double x2, double y2, double width) = 0;
  // A horizontal line of 1.5 mm dashes 1 mm apart.
  virtual void dashed_line(double x1, double y, double x2, double width) = 0;
  // Text with its baseline starting at (x, y).
  virtual void text(double x, double y, const std::string& utf8, double size, bool bold) = 0;
  // How far the pen moves over the text, in millimetres.
  virtual double text_width(const std::string& utf8, double size, bool bold) = 0;
  // The outline of a rectangle.
  virtual void frame(double x, double y, double w, double h, double width) = 0;
  virtual void fill_rectangle(double x, double y, double w, double h) = 0;
  // An image stretched over the given box.
  virtual void image(double x, double y, double w, double h, const LogoImage& logo) = 0;
  // The bars of a bar code whose narrow bar is `narrow` mm wide. A device
  // with dots of its own rounds the narrow bar to whole dots once, so that
  // every bar and gap keeps its ratio to it; the default draws them as given.
  virtual void bars(double x, double y, double narrow, double height, const std::vector<Bar>& bars) {
    for (const Bar& b : bars) fill_rectangle(x + b.x * narrow, y, b.width * narrow, height);
  }
};

}  // namespace tarvo::component
