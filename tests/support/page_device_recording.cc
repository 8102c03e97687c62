#include "tests/support/page_device_recording.h"

#include <algorithm>
#include <string>
#include <utility>

#include "printing/dot_count.h"

namespace tarvo {
namespace {

int scaled(double em, double share) { return rounded_dots(em * share); }

std::string font_line(const FontRequest& f) {
  return "font " + f.face + " h=" + std::to_string(f.height) + " w=" + std::to_string(f.width) +
         " wt=" + std::to_string(f.weight) + " i=" + std::to_string(int(f.italic)) +
         " u=" + std::to_string(int(f.underline));
}

// The factory's settings at the time a device was opened: the device keeps
// its own copy, since the page model may release it after the factory.
struct DeviceConfig {
  int dpi_x, dpi_y, offset_x, offset_y;
  bool refuse_settings, refuse_documents, lose_documents;
  int failing_page;
  std::string failure_reason;
  std::string selected_face;
};

class RecordingDevice final : public PageDevice {
 public:
  RecordingDevice(DeviceConfig config, std::shared_ptr<PageRecording> rec)
      : config_(std::move(config)), rec_(std::move(rec)) {
    ++rec_->open_devices;
  }
  ~RecordingDevice() override {
    --rec_->open_devices;
    log("release");
  }

  bool apply_settings(const PrintSettings& s) override {
    rec_->settings.push_back(s);
    std::string line = "settings";
    if (s.form) {
      line += " form=" + (std::holds_alternative<int>(*s.form) ? std::to_string(std::get<int>(*s.form))
                                                               : std::get<std::string>(*s.form));
    }
    if (s.landscape) {
      landscape_ = *s.landscape;
      line += std::string(" landscape=") + (landscape_ ? "1" : "0");
    }
    if (s.copies) line += " copies=" + std::to_string(s.copies);
    if (s.bin) line += " bin=" + std::to_string(s.bin);
    if (s.duplex) line += " duplex=" + std::to_string(s.duplex);
    if (s.quality) line += " quality=" + std::to_string(s.quality);
    log(line);
    return !config_.refuse_settings;
  }

  DeviceCaps capabilities() const override {
    DeviceCaps caps;
    caps.dpi_x = config_.dpi_x;
    caps.dpi_y = config_.dpi_y;
    const int w = rounded_dots(210 / 25.4 * config_.dpi_x);
    const int h = rounded_dots(297 / 25.4 * config_.dpi_y);
    caps.page_width = landscape_ ? h : w;
    caps.page_height = landscape_ ? w : h;
    caps.offset_x = config_.offset_x;
    caps.offset_y = config_.offset_y;
    return caps;
  }

  bool start_document(std::string_view name) override {
    if (in_document_) return false;
    failure_ = {};
    if (config_.refuse_documents) return fail(DeviceFailure::Kind::refused);
    in_document_ = true;
    page_ = 0;
    pages_in_document_ = 0;
    log("start_document " + std::string(name));
    return true;
  }
  bool end_document() override {
    if (!in_document_) return false;
    if (config_.lose_documents) fail(DeviceFailure::Kind::refused);
    if (failure_.kind != DeviceFailure::Kind::none) {
      abort_document();
      return false;
    }
    in_document_ = false;
    ++rec_->documents_ended;
    rec_->pages_ended += pages_in_document_;
    log("end_document");
    return true;
  }
  void abort_document() override {
    if (!in_document_) return;
    in_document_ = false;
    ++rec_->documents_aborted;
    log("abort_document");
  }
  bool start_page() override {
    ++page_;
    log("start_page " + std::to_string(page_));
    return true;
  }
  bool end_page() override {
    if (page_ == config_.failing_page) return fail(DeviceFailure::Kind::not_drawn);
    ++pages_in_document_;
    log("end_page " + std::to_string(page_));
    return true;
  }

  DeviceFailure failure() const override { return failure_; }

  bool select_font(const FontRequest& font) override {
    font_ = font;
    rec_->fonts.push_back(font);
    log(font_line(font));
    return true;
  }
  TextMetrics metrics() const override {
    const double em = font_.height < 0 ? -double(font_.height) : scaled(font_.height, 1 / 1.133);
    TextMetrics m;
    m.ascent = scaled(em, 0.833);
    m.descent = scaled(em, 0.300);
    m.height = held_dots(double(m.ascent) + m.descent);
    m.ave_char_width = font_.width != 0 ? font_.width : scaled(em, 0.600);
    return m;
  }
  std::string face_name() const override {
    return config_.selected_face.empty() ? font_.face : config_.selected_face;
  }

  void set_text_align(int flags) override { align_ = flags; }
  int draw_text(int x, int y, std::string_view text, std::optional<int> fixed_advance) override {
    rec_->texts.push_back({page_, x, y, std::string(text), font_, align_, fixed_advance});
    log("text " + std::to_string(x) + " " + std::to_string(y) + " " + std::string(text));
    return fixed_advance ? held_dots(double(text.size()) * *fixed_advance) : text_extent(text);
  }
  int text_extent(std::string_view text) override {
    return held_dots(double(text.size()) * metrics().ave_char_width);
  }
  void fill_rect(int x, int y, int width, int height, double darkness) override {
    rec_->rects.push_back({page_, x, y, width, height, darkness});
    log("rect " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(width) + " " +
        std::to_string(height));
  }

 private:
  void log(std::string line) { rec_->events.push_back(std::move(line)); }
  bool fail(DeviceFailure::Kind kind) {
    failure_ = {kind, config_.failure_reason};
    log("failure " + config_.failure_reason);
    return false;
  }

  const DeviceConfig config_;
  std::shared_ptr<PageRecording> rec_;
  FontRequest font_;
  bool landscape_ = false;
  bool in_document_ = false;
  int page_ = 0;
  int pages_in_document_ = 0;
  int align_ = 0;
  DeviceFailure failure_;
};

}  // namespace

std::vector<std::string> PageRecording::events_starting(std::string_view prefix) const {
  std::vector<std::string> out;
  for (const auto& e : events) {
    if (std::string_view(e).substr(0, prefix.size()) == prefix) out.push_back(e);
  }
  return out;
}

RecordingPageDevices::RecordingPageDevices() : recording_(std::make_shared<PageRecording>()) {}
RecordingPageDevices::~RecordingPageDevices() = default;

std::unique_ptr<PageDevice> RecordingPageDevices::open(std::string_view printer) {
  if (!known.empty() && std::find(known.begin(), known.end(), printer) == known.end()) {
    recording_->events.push_back("open failed " + std::string(printer));
    return nullptr;
  }
  recording_->events.push_back("open " + std::string(printer));
  return std::make_unique<RecordingDevice>(
      DeviceConfig{dpi_x, dpi_y, offset_x, offset_y, refuse_settings, refuse_documents,
                   lose_documents, failing_page, failure_reason, selected_face},
      recording_);
}

}  // namespace tarvo
