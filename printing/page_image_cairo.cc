#include "printing/page_image_cairo.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "printing/page_canvas_cairo.h"
#include "printing/page_image_scale.h"

namespace tarvo {
namespace {

using cairo_pages::CairoCanvas;

class CairoImageDevice final : public CairoCanvas, public ImagePageDevice {
 public:
  CairoImageDevice(std::string destination, cups::DestinationAttributes attributes)
      : CairoCanvas(std::move(destination), std::move(attributes), std::numeric_limits<std::size_t>::max()) {}

  SheetSize sheet_size() const override {
    const auto [w, h] = page_points();
    return {w, h};
  }
  void set_image_scale(double pixels_per_point) override { scale_ = pixels_per_point; }
  PageImage take_image() override { return std::exchange(image_, {}); }

  // Documents of images go nowhere: the brackets only keep pages apart.
  bool start_document(std::string_view) override {
    document_open_ = true;
    return true;
  }
  bool end_document() override {
    abort_document();
    return true;
  }
  void abort_document() override {
    drop_page();
    document_open_ = false;
  }

  bool start_page() override {
    drop_page();
    begin_page();
    const auto [w, h] = page_points();
    sheet_.emplace(w, h, scale_);
    if (!sheet_->ok()) {
      drop_page();
      return false;
    }
    // The page model draws in dots.
    cairo_scale(sheet_->cr(), 72.0 / dpi_x(), 72.0 / dpi_y());
    draw_into(sheet_->cr());
    return true;
  }

  bool end_page() override {
    if (!sheet_) return false;
    image_ = sheet_->image();
    drop_page();
    return true;
  }

 protected:
  bool document_open() const override { return document_open_; }

 private:
  void drop_page() {
    draw_into(nullptr);
    sheet_.reset();
  }

  double scale_ = 1.0;
  bool document_open_ = false;
  std::optional<CairoImageSheet> sheet_;
  PageImage image_;
};

}  // namespace

std::unique_ptr<ImagePageDevice> make_cairo_image_device(std::string destination,
                                                         cups::DestinationAttributes attributes) {
  return std::make_unique<CairoImageDevice>(std::move(destination), std::move(attributes));
}

CairoImageSheet::CairoImageSheet(double width_points, double height_points, double pixels_per_point) {
  const double scale = fitting_scale(width_points, height_points, pixels_per_point);
  const int width = std::max(1, static_cast<int>(std::ceil(width_points * scale)));
  const int height = std::max(1, static_cast<int>(std::ceil(height_points * scale)));
  surface_.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
  cr_.reset(cairo_create(surface_.get()));
  cairo_set_source_rgb(cr_.get(), 1, 1, 1);
  cairo_paint(cr_.get());
  cairo_set_source_rgb(cr_.get(), 0, 0, 0);
  cairo_scale(cr_.get(), scale, scale);
}

bool CairoImageSheet::ok() const { return cairo_status(cr_.get()) == CAIRO_STATUS_SUCCESS; }

PageImage CairoImageSheet::image() const {
  PageImage image;
  if (!ok()) return image;
  cairo_surface_flush(surface_.get());
  image.width = cairo_image_surface_get_width(surface_.get());
  image.height = cairo_image_surface_get_height(surface_.get());
  const int stride = cairo_image_surface_get_stride(surface_.get());
  const unsigned char* data = cairo_image_surface_get_data(surface_.get());
  image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
  for (int row = 0; row < image.height; ++row) {
    std::uint32_t* out = image.pixels.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(image.width);
    std::memcpy(out, data + static_cast<std::ptrdiff_t>(row) * stride, sizeof(std::uint32_t) * std::size_t(image.width));
    // cairo leaves the unused byte of its RGB24 pixels undefined.
    for (int col = 0; col < image.width; ++col) out[col] |= 0xFF000000u;
  }
  return image;
}

}  // namespace tarvo
