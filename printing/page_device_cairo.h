#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "printing/page_device.h"

namespace tarvo {

// Page devices on CUPS destinations. Each document is a PDF drawn with cairo
// in printer dots (the destination's default resolution, else 600 dots per
// inch) and streamed into one CUPS job while cairo writes it; fonts come from
// fontconfig and FreeType. The printer's settings become the job's options.
// The same destinations also draw their pages into images, for a preview
// (printing/page_image_cairo.h).
class CairoPageDevices final : public PageDeviceFactory {
 public:
  // Dots per inch when the destination reports no default resolution.
  static constexpr int kFallbackDpi = 600;

  std::unique_ptr<PageDevice> open(std::string_view printer) override;
  std::unique_ptr<ImagePageDevice> open_images(std::string_view printer) override;
};

}  // namespace tarvo
