#include "printing/page_preview.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <tuple>

namespace tarvo {

// ---- the preview ------------------------------------------------------------

void PreviewDocument::add(std::shared_ptr<const PreviewPages> pages) {
  if (!pages || pages->count() == 0) return;
  first_pages_.push_back(page_count_);
  page_count_ += pages->count();
  documents_.push_back(std::move(pages));
}

std::pair<const PreviewPages*, std::size_t> PreviewDocument::locate(std::size_t page) const {
  if (page >= page_count_) return {nullptr, 0};
  const auto after = std::upper_bound(first_pages_.begin(), first_pages_.end(), page);
  const auto document = static_cast<std::size_t>(after - first_pages_.begin()) - 1;
  return {documents_[document].get(), page - first_pages_[document]};
}

SheetSize PreviewDocument::page_size(std::size_t page) const {
  const auto [pages, number] = locate(page);
  return pages ? pages->size(number) : SheetSize{};
}

PageImage PreviewDocument::render(std::size_t page, double pixels_per_point) const {
  const auto [pages, number] = locate(page);
  return pages ? pages->render(number, pixels_per_point) : PageImage{};
}

namespace {

// ---- recorded documents -----------------------------------------------------

// One call of the page model on a page, as it is drawn again. Texts are
// most of a job's calls, so a call is small: 32 bytes.
struct DrawCall {
  enum class Kind : std::uint8_t { font, align, text, rect };
  Kind kind = Kind::text;
  bool in_print_file = false;  // text: a place in the print file, else in the copied texts
  bool fixed = false;          // text: each character `advance` dots after the last
  int x = 0, y = 0;            // text
  int advance = 0;             // text with a fixed advance
  std::uint32_t size = 0;      // text: its length
  std::size_t at = 0;          // text: where it starts; font: its number; align: the flags; rect: its number
};
static_assert(sizeof(DrawCall) <= 32);

// A rectangle filled on a page.
struct FilledRect {
  int x = 0, y = 0, width = 0, height = 0;
  double darkness = 1;
};

// A font as the page model asked for it, for looking it up.
auto font_key(const FontRequest& f) {
  return std::tuple(f.face, f.height, f.width, f.weight, f.italic, f.underline, f.charset);
}

// What one document drew, page by page, and the image device that draws its
// pages again when they are shown. Its pages are the document's pages.
class RecordedDocument final : public PreviewPages {
 public:
  struct Page {
    std::size_t first_call = 0, end_call = 0;
    std::size_t settings = 0;  // which of the settings were in force
    std::optional<std::size_t> font;  // selected when the page began
    int align = kAlignLeft | kAlignBottom;
    SheetSize sheet;
  };

  RecordedDocument(std::shared_ptr<ImagePageDevice> device, std::function<std::string_view()> print_file)
      : device_(std::move(device)), print_file_(std::move(print_file)) {}

  std::size_t count() const override { return pages.size(); }
  SheetSize size(std::size_t page) const override { return pages[page].sheet; }

  PageImage render(std::size_t page, double pixels_per_point) const override {
    const Page& p = pages[page];
    ImagePageDevice& d = *device_;
    d.apply_settings(settings[p.settings]);
    d.set_image_scale(pixels_per_point);
    if (!d.start_page()) return {};
    if (p.font) d.select_font(fonts[*p.font]);
    d.set_text_align(p.align);
    for (std::size_t i = p.first_call; i < p.end_call; ++i) replay(calls[i]);
    d.end_page();
    return d.take_image();
  }

  // Where a text drawn by the page model is kept: a place in the print file
  // when it is one, else a copy. (A text beyond 4 GiB, more than any sheet
  // shows, keeps its first 4 GiB.)
  void keep_text(DrawCall& call, std::string_view text) {
    text = text.substr(0, std::numeric_limits<std::uint32_t>::max());
    const std::string_view file = print_file_();
    const std::less<const char*> before;
    const char* end = file.data() + file.size();
    if (!text.empty() && !before(text.data(), file.data()) && !before(end, text.data() + text.size())) {
      call.in_print_file = true;
      call.at = static_cast<std::size_t>(text.data() - file.data());
    } else {
      call.at = copied.size();
      copied.append(text);
    }
    call.size = static_cast<std::uint32_t>(text.size());
  }

  std::size_t font_number(const FontRequest& font) {
    const auto [it, added] = font_numbers.try_emplace(font_key(font), fonts.size());
    if (added) fonts.push_back(font);
    return it->second;
  }

  std::size_t settings_number(const PrintSettings& in_force) {
    if (settings.empty() || !same(settings.back(), in_force)) settings.push_back(in_force);
    return settings.size() - 1;
  }

  std::vector<Page> pages;
  std::deque<DrawCall> calls;  // grows without moving what it holds
  std::vector<FilledRect> rects;
  std::vector<FontRequest> fonts;
  std::vector<PrintSettings> settings;

 private:
  static bool same(const PrintSettings& a, const PrintSettings& b) {
    return a.form == b.form && a.landscape == b.landscape && a.copies == b.copies && a.bin == b.bin &&
           a.duplex == b.duplex && a.quality == b.quality && a.paper_length == b.paper_length &&
           a.paper_width == b.paper_width;
  }

  std::string_view text_of(const DrawCall& call) const {
    const std::string_view from = call.in_print_file ? print_file_() : std::string_view(copied);
    if (call.at > from.size()) return {};
    return from.substr(call.at, call.size);
  }

  void replay(const DrawCall& call) const {
    ImagePageDevice& d = *device_;
    switch (call.kind) {
      case DrawCall::Kind::font: d.select_font(fonts[call.at]); break;
      case DrawCall::Kind::align: d.set_text_align(static_cast<int>(call.at)); break;
      case DrawCall::Kind::text:
        d.draw_text(call.x, call.y, text_of(call), call.fixed ? std::optional<int>(call.advance) : std::nullopt);
        break;
      case DrawCall::Kind::rect: {
        const FilledRect& r = rects[call.at];
        d.fill_rect(r.x, r.y, r.width, r.height, r.darkness);
        break;
      }
    }
  }

  std::shared_ptr<ImagePageDevice> device_;
  std::function<std::string_view()> print_file_;
  std::string copied;
  std::map<decltype(font_key(FontRequest{})), std::size_t> font_numbers;
};

// ---- the recording device ---------------------------------------------------

// Takes the page model's calls: measures on the image device, keeps the
// drawing calls of each page of the open document.
class PreviewDevice final : public PageDevice {
 public:
  PreviewDevice(std::shared_ptr<ImagePageDevice> device, PreviewDocument& preview,
                std::function<std::string_view()> print_file)
      : device_(std::move(device)), preview_(preview), print_file_(std::move(print_file)) {}

  bool apply_settings(const PrintSettings& s) override {
    merge(s);
    return device_->apply_settings(s);
  }
  DeviceCaps capabilities() const override { return device_->capabilities(); }

  bool start_document(std::string_view) override {
    if (document_) return false;
    document_ = std::make_shared<RecordedDocument>(device_, print_file_);
    return true;
  }
  bool end_document() override {
    if (!document_) return false;
    if (page_) end_page();
    preview_.add(std::move(document_));
    document_.reset();
    return true;
  }
  void abort_document() override {
    document_.reset();
    page_.reset();
  }
  bool start_page() override {
    if (!document_) return false;
    if (page_) end_page();
    RecordedDocument::Page page;
    page.first_call = document_->calls.size();
    page.settings = document_->settings_number(in_force_);
    if (font_) page.font = document_->font_number(*font_);
    page.align = align_;
    page.sheet = device_->sheet_size();
    page_ = page;
    return true;
  }
  bool end_page() override {
    if (!document_ || !page_) return false;
    page_->end_call = document_->calls.size();
    document_->pages.push_back(*page_);
    page_.reset();
    return true;
  }

  bool select_font(const FontRequest& font) override {
    if (!device_->select_font(font)) return false;
    font_ = font;
    if (page_) keep({.kind = DrawCall::Kind::font, .at = document_->font_number(font)});
    return true;
  }
  TextMetrics metrics() const override { return device_->metrics(); }
  std::string face_name() const override { return device_->face_name(); }

  // The page model sets the alignment for every text; only a change is kept.
  void set_text_align(int flags) override {
    device_->set_text_align(flags);
    if (flags == align_) return;
    align_ = flags;
    keep({.kind = DrawCall::Kind::align, .at = static_cast<std::size_t>(flags)});
  }

  int draw_text(int x, int y, std::string_view text, std::optional<int> fixed_advance) override {
    const int width = device_->draw_text(x, y, text, fixed_advance);
    if (page_ && !text.empty()) {
      DrawCall call{.kind = DrawCall::Kind::text, .fixed = fixed_advance.has_value(), .x = x, .y = y,
                    .advance = fixed_advance.value_or(0)};
      document_->keep_text(call, text);
      keep(call);
    }
    return width;
  }
  int text_extent(std::string_view text) override { return device_->text_extent(text); }
  void fill_rect(int x, int y, int width, int height, double darkness) override {
    if (!page_) return;
    keep({.kind = DrawCall::Kind::rect, .at = document_->rects.size()});
    document_->rects.push_back({x, y, width, height, darkness});
  }

 private:
  void keep(const DrawCall& call) {
    if (page_) document_->calls.push_back(call);
  }

  // The settings in force are those applied so far, each field as last set.
  void merge(const PrintSettings& s) {
    if (s.form) in_force_.form = s.form;
    if (s.landscape) in_force_.landscape = s.landscape;
    if (s.copies != 0) in_force_.copies = s.copies;
    if (s.bin != 0) in_force_.bin = s.bin;
    if (s.duplex != 0) in_force_.duplex = s.duplex;
    if (s.quality != 0) in_force_.quality = s.quality;
    if (s.paper_length != 0) in_force_.paper_length = s.paper_length;
    if (s.paper_width != 0) in_force_.paper_width = s.paper_width;
  }

  std::shared_ptr<ImagePageDevice> device_;
  PreviewDocument& preview_;
  std::function<std::string_view()> print_file_;
  PrintSettings in_force_;
  std::shared_ptr<RecordedDocument> document_;
  std::optional<RecordedDocument::Page> page_;
  std::optional<FontRequest> font_;  // the font in force, a page's first
  int align_ = kAlignLeft | kAlignBottom;
};

}  // namespace

PreviewPageDevices::PreviewPageDevices(PageDeviceFactory& printers, PreviewDocument& preview,
                                       std::function<std::string_view()> print_file)
    : printers_(printers), preview_(preview), print_file_(std::move(print_file)) {}

PreviewPageDevices::~PreviewPageDevices() = default;

std::unique_ptr<PageDevice> PreviewPageDevices::open(std::string_view printer) {
  auto known = image_devices_.find(printer);
  if (known == image_devices_.end()) {
    std::shared_ptr<ImagePageDevice> device = printers_.open_images(printer);
    if (!device) return nullptr;
    known = image_devices_.emplace(std::string(printer), std::move(device)).first;
  }
  return std::make_unique<PreviewDevice>(known->second, preview_, print_file_);
}

}  // namespace tarvo
