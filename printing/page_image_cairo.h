#pragma once

#include <memory>
#include <string>

#include "printing/cups_destination.h"
#include "printing/page_device.h"

namespace tarvo {

// A page device of a CUPS destination that draws its pages into images with
// cairo: the sheet, fonts and placing of the destination's PDF device, drawn
// at a scale for the screen instead of sent.
std::unique_ptr<ImagePageDevice> make_cairo_image_device(std::string destination,
                                                         cups::DestinationAttributes attributes);

}  // namespace tarvo
