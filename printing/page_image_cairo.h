#pragma once

#include <cairo.h>

#include <memory>
#include <string>

#include "printing/cairo_fonts.h"
#include "printing/cups_destination.h"
#include "printing/page_device.h"

namespace tarvo {

// A page device of a CUPS destination that draws its pages into images with
// cairo: the sheet, fonts and placing of the destination's PDF device, drawn
// at a scale for the screen instead of sent.
std::unique_ptr<ImagePageDevice> make_cairo_image_device(std::string destination,
                                                         cups::DestinationAttributes attributes);

// A white sheet of `width` x `height` points drawn into an image at
// `pixels_per_point`, or smaller where the image would be too large; cr()
// draws on it in points.
class CairoImageSheet {
 public:
  CairoImageSheet(double width_points, double height_points, double pixels_per_point);
  // False when cairo could not make the image; cr() then draws nowhere.
  bool ok() const;
  cairo_t* cr() const { return cr_.get(); }
  // The sheet's pixels as drawn so far.
  PageImage image() const;

 private:
  cairo_pages::Handle<cairo_surface_t> surface_;
  cairo_pages::Handle<cairo_t> cr_;
};

}  // namespace tarvo
