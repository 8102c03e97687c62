#include "printing/page_device_cairo.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <cups/cups.h>

#include <algorithm>
#include <vector>

#include "printing/cups_job.h"
#include "printing/page_canvas_cairo.h"
#include "printing/page_image_cairo.h"
#include "printing/spooler_cups.h"

namespace tarvo {
namespace {

using cairo_pages::CairoCanvas;
using cairo_pages::Handle;

// ---- settings to job options ---------------------------------------------

bool offered(const std::vector<std::string>& supported, std::string_view value) {
  return std::find(supported.begin(), supported.end(), value) != supported.end();
}

const char* sides_for(int duplex) {
  switch (duplex) {
    case 1: return "one-sided";
    case 2: return "two-sided-long-edge";
    case 3: return "two-sided-short-edge";
    default: return nullptr;
  }
}

// Paper sources by the system's bin codes.
const char* media_source_for(int bin) {
  switch (bin) {
    case 1: return "top";
    case 2: return "bottom";
    case 3: return "middle";
    case 4: return "manual";
    case 5: return "envelope";
    case 6: return "manual";
    case 7: return "auto";
    case 11: return "large-capacity";
    case 15: return "auto";
    default: return nullptr;
  }
}

// IPP's orientation-requested for a sheet turned to landscape.
constexpr std::string_view kLandscape = "4";

// ---- the device ----------------------------------------------------------

// The print system's words for a job it refused or lost.
std::string print_system_reason(const cups::CupsJob& job) {
  if (!job.error().empty()) return job.error();
  return "o servidor de impressão não aceitou o trabalho";
}

// Each document is a PDF whose pages are the sheets themselves (a landscape
// sheet is a landscape page), streamed into one CUPS job while cairo writes
// it.
class CairoPageDevice final : public CairoCanvas {
 public:
  CairoPageDevice(std::string destination, cups::DestinationAttributes attributes)
      : CairoCanvas(std::move(destination), std::move(attributes), PageBudget::kBudget) {}

  // A document still open when the device goes is discarded: nothing of it
  // reaches the printer.
  ~CairoPageDevice() override { abort_document(); }

  bool start_document(std::string_view name) override {
    if (job_) return false;
    clear_failure();
    job_ = std::make_unique<cups::CupsJob>(destination(), name, job_options());
    if (!job_->ok() || !job_->start_document(cups::kPdfFormat, name)) {
      refused_by_print_system();
      job_.reset();
      return false;
    }
    discard_ = false;
    buffer_.clear();
    const auto [w, h] = page_points();
    surface_.reset(cairo_pdf_surface_create_for_stream(&CairoPageDevice::write_out, this, w, h));
    cr_.reset(cairo_create(surface_.get()));
    cairo_matrix_t dots;
    cairo_matrix_init_scale(&dots, 72.0 / dpi_x(), 72.0 / dpi_y());
    cairo_set_matrix(cr_.get(), &dots);
    draw_into(cr_.get());
    if (cairo_status(cr_.get()) != CAIRO_STATUS_SUCCESS) {
      not_drawn(cairo_status_to_string(cairo_status(cr_.get())));
      abort_document();
      return false;
    }
    return true;
  }

  bool end_document() override {
    if (!job_) return false;
    if (!failed()) {
      draw_into(nullptr);
      cr_.reset();
      cairo_surface_finish(surface_.get());
      const cairo_status_t status = cairo_surface_status(surface_.get());
      surface_.reset();
      if (status != CAIRO_STATUS_SUCCESS) not_drawn(cairo_status_to_string(status));
      if (!failed() && !(flush() && job_->finish())) refused_by_print_system();
    }
    if (failed()) {
      abort_document();
      return false;
    }
    job_.reset();
    return true;
  }

  void abort_document() override {
    if (!job_) return;
    job_->cancel();
    discard_ = true;  // what cairo still writes while it closes goes nowhere
    draw_into(nullptr);
    cr_.reset();
    surface_.reset();
    job_.reset();
    buffer_.clear();
  }

  bool start_page() override {
    if (!surface_) return false;
    begin_page();
    const auto [w, h] = page_points();
    cairo_pdf_surface_set_size(surface_.get(), w, h);
    return true;
  }

  bool end_page() override {
    if (!cr_ || failed()) return false;
    cairo_show_page(cr_.get());
    const cairo_status_t status = cairo_status(cr_.get());
    if (status != CAIRO_STATUS_SUCCESS) not_drawn(cairo_status_to_string(status));
    return !failed();
  }

 protected:
  bool document_open() const override { return job_ != nullptr; }

 private:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  static cairo_status_t write_out(void* closure, const unsigned char* data, unsigned int length) {
    auto* self = static_cast<CairoPageDevice*>(closure);
    if (self->discard_) return CAIRO_STATUS_SUCCESS;
    self->buffer_.append(reinterpret_cast<const char*>(data), length);
    if (self->buffer_.size() >= kBufferSize && !self->flush()) {
      self->refused_by_print_system();
      return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
  }

  bool flush() {
    if (buffer_.empty()) return true;
    const bool ok = job_ && job_->write(buffer_);
    buffer_.clear();
    return ok;
  }

  void refused_by_print_system() { fail({DeviceFailure::Kind::refused, print_system_reason(*job_)}); }

  std::vector<cups::JobOption> job_options() const {
    const cairo_pages::SheetSettings& s = sheet();
    const cups::DestinationAttributes& attrs = attributes();
    std::vector<cups::JobOption> options;
    options.push_back({"media", s.paper.media});
    // The pages are already turned; the option is for printers that look
    // for it rather than at the page.
    if (s.landscape) options.push_back({"orientation-requested", std::string(kLandscape)});
    if (s.copies > 1) options.push_back({"copies", std::to_string(s.copies)});
    if (const char* sides = sides_for(s.duplex)) {
      if (attrs.sides_supported.empty() || offered(attrs.sides_supported, sides))
        options.push_back({"sides", sides});
    }
    if (const char* source = media_source_for(s.bin); source && offered(attrs.media_sources_supported, source))
      options.push_back({"media-source", source});
    if (s.print_quality != 0) options.push_back({"print-quality", std::to_string(s.print_quality)});
    if (s.resolution != 0) options.push_back({"printer-resolution", std::to_string(s.resolution) + "dpi"});
    return options;
  }

  std::unique_ptr<cups::CupsJob> job_;
  Handle<cairo_surface_t> surface_;
  Handle<cairo_t> cr_;
  bool discard_ = false;
  std::string buffer_;
};

}  // namespace

std::unique_ptr<PageDevice> CairoPageDevices::open(std::string_view printer) {
  cups::DestinationAttributes attrs = cups::read_destination_attributes(printer);
  if (!attrs.found) return nullptr;
  return std::make_unique<CairoPageDevice>(std::string(printer), std::move(attrs));
}

std::unique_ptr<ImagePageDevice> CairoPageDevices::open_images(std::string_view printer) {
  cups::DestinationAttributes attrs = cups::read_destination_attributes(printer);
  if (!attrs.found) return nullptr;
  return make_cairo_image_device(std::string(printer), std::move(attrs));
}

std::unique_ptr<PageDeviceFactory> make_system_page_devices() {
  return std::make_unique<CairoPageDevices>();
}

}  // namespace tarvo
