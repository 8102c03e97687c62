#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "printing/dot_count.h"
#include "printing/gdi_objects_win32.h"
#include "printing/image_sheet_gdi.h"
#include "printing/page_budget.h"
#include "printing/page_device.h"
#include "printing/page_image_scale.h"
#include "printing/printer_handle_win32.h"
#include "runtime/wide_text.h"

namespace tarvo {
namespace {

using gdi::Brush;
using gdi::Dc;
using gdi::Font;
using gdi::last_error_text;

// Texts reach the device in pieces of at most this many characters.
constexpr std::size_t kPieceChars = 4096;
constexpr int kHorizontalAlign = TA_LEFT | TA_RIGHT | TA_CENTER;

// A printer's device context. Coordinates are the device's own: printer
// dots from the corner of the printable area, as every Windows program
// draws on a printer. Fonts are made and measured on the printer's context
// always; the pages are drawn there too, or, for a device of images, into
// the context of an image (draw_pages_into).
class GdiPageDevice : public virtual PageDevice {
 public:
  GdiPageDevice(std::wstring printer, Dc dc) : printer_(std::move(printer)), dc_(std::move(dc)) {
    SetMapMode(dc_.get(), MM_TEXT);
  }

  // A document still open when the device goes is discarded; the font is
  // let go before the context.
  ~GdiPageDevice() override {
    abort_document();
    SelectObject(dc_.get(), GetStockObject(DEVICE_DEFAULT_FONT));
  }

  // The printer's settings record, changed in the given fields only and
  // merged by its driver, then given to the context. Changes add up: each
  // starts from the record the last one made.
  bool apply_settings(const PrintSettings& s) override {
    PrinterHandle printer(printer_);
    if (!printer) return false;
    std::vector<BYTE> wanted = printer_settings(printer, printer_);
    if (wanted.empty()) return false;
    std::copy_n(devmode_.begin(), std::min(devmode_.size(), wanted.size()), wanted.begin());
    DEVMODEW& mode = *as_devmode(wanted);
    mode.dmFields = 0;
    set_fields(mode, s);
    if (s.quality != 0 && (s.quality < 0 || offers_resolution(s.quality))) {
      mode.dmPrintQuality = static_cast<short>(std::clamp(s.quality, -32768, 32767));
      mode.dmFields |= DM_PRINTQUALITY;
    }
    std::vector<BYTE> merged(wanted.size());
    LPWSTR name = const_cast<LPWSTR>(printer_.c_str());
    if (DocumentPropertiesW(nullptr, printer.get(), name, as_devmode(merged), as_devmode(wanted),
                            DM_IN_BUFFER | DM_OUT_BUFFER) != IDOK)
      return false;
    // The context takes no new settings while objects of ours are in it.
    SelectObject(dc_.get(), GetStockObject(DEVICE_DEFAULT_FONT));
    const bool reset = ResetDCW(dc_.get(), as_devmode(merged)) != nullptr;
    SetMapMode(dc_.get(), MM_TEXT);
    SetTextAlign(dc_.get(), static_cast<UINT>(align_));
    if (font_) SelectObject(dc_.get(), font_.get());
    if (reset) devmode_ = std::move(merged);
    return reset;
  }

  DeviceCaps capabilities() const override {
    HDC dc = dc_.get();
    DeviceCaps caps;
    caps.page_width = GetDeviceCaps(dc, PHYSICALWIDTH);
    caps.page_height = GetDeviceCaps(dc, PHYSICALHEIGHT);
    caps.offset_x = GetDeviceCaps(dc, PHYSICALOFFSETX);
    caps.offset_y = GetDeviceCaps(dc, PHYSICALOFFSETY);
    caps.dpi_x = GetDeviceCaps(dc, LOGPIXELSX);
    caps.dpi_y = GetDeviceCaps(dc, LOGPIXELSY);
    caps.stretch_dib = (GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHDIB) != 0;
    caps.num_colors = GetDeviceCaps(dc, NUMCOLORS);
    return caps;
  }

  bool start_document(std::string_view name) override {
    if (in_document_) return false;
    failure_ = {};
    const std::wstring title = wide_from_utf8(name);
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = title.c_str();
    if (StartDocW(dc_.get(), &doc) <= 0) {
      refused("o spooler não aceitou o documento");
      return false;
    }
    in_document_ = true;
    return true;
  }

  bool end_document() override {
    if (!in_document_) return false;
    if (failed()) {
      abort_document();
      return false;
    }
    in_document_ = false;
    if (EndDoc(dc_.get()) > 0) return true;
    refused("o spooler não aceitou o fim do documento");
    return false;
  }

  void abort_document() override {
    if (!in_document_) return;
    AbortDoc(dc_.get());
    in_document_ = false;
    page_open_ = false;
  }

  bool start_page() override {
    if (!in_document_ || failed()) return false;
    budget_.start_page();
    if (StartPage(dc_.get()) <= 0) {
      refused("o spooler não aceitou uma nova página");
      return false;
    }
    page_open_ = true;
    return true;
  }

  bool end_page() override {
    if (!page_open_ || failed()) return false;
    page_open_ = false;
    if (EndPage(dc_.get()) > 0) return true;
    refused("o spooler não aceitou a página");
    return false;
  }

  DeviceFailure failure() const override { return failure_; }

  // Height, width and weight as the page model computed them; the face's
  // name is the print file's, in its code page.
  bool select_font(const FontRequest& request) override {
    if (failed()) return false;
    const HDC drawn = draw_dc();
    const double dpi_x = std::max(1, GetDeviceCaps(dc_.get(), LOGPIXELSX));
    const double dpi_y = std::max(1, GetDeviceCaps(dc_.get(), LOGPIXELSY));
    const double largest = std::max(std::fabs(double(request.height)) * 72.0 / dpi_y,
                                    std::fabs(double(request.width)) * 72.0 / dpi_x);
    if (!(largest <= kLargestFontPoints)) return false;
    const std::wstring face = wide_from_cp1252(request.face.substr(0, LF_FACESIZE - 1));
    Font font(CreateFontW(request.height, request.width, 0, 0, request.weight, request.italic, request.underline,
                          FALSE, static_cast<DWORD>(request.charset & 0xFF), OUT_DEVICE_PRECIS,
                          CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    if (!font || SelectObject(dc_.get(), font.get()) == nullptr) return false;
    if (drawn != dc_.get()) SelectObject(drawn, font.get());
    font_ = std::move(font);  // the font it replaces is out of the context and goes
    ++fonts_made_;
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_.get(), &tm);
    metrics_.ascent = tm.tmAscent;
    metrics_.descent = tm.tmDescent;
    metrics_.height = tm.tmHeight;
    metrics_.ave_char_width = tm.tmAveCharWidth;
    return true;
  }

  TextMetrics metrics() const override { return metrics_; }

  std::string face_name() const override {
    wchar_t face[LF_FACESIZE + 1] = {};
    const int length = GetTextFaceW(dc_.get(), LF_FACESIZE, face);
    return cp1252_from_wide(std::wstring_view(face, static_cast<std::size_t>(std::max(length - 1, 0))));
  }

  void set_text_align(int flags) override {
    align_ = flags;
    SetTextAlign(dc_.get(), static_cast<UINT>(flags));
    SetTextAlign(draw_dc(), static_cast<UINT>(flags));
  }

  // Drawn in pieces from the text's left end, which the alignment places,
  // and only as far as the text can reach the sheet: a text far off the
  // sheet, or one far longer than it, costs no more than what shows.
  int draw_text(int x, int y, std::string_view text, std::optional<int> fixed_advance) override {
    if (!font_ || text.empty()) return 0;
    const double width = fixed_advance ? double(*fixed_advance) * double(text.size()) : extent_of(text);
    if (page_open_ && !failed() && reaches_sheet_height(y)) draw_on_sheet(x, y, width, text, fixed_advance);
    return rounded_dots(width);
  }

  int text_extent(std::string_view text) override { return font_ ? rounded_dots(extent_of(text)) : 0; }

  void fill_rect(int x, int y, int width, int height, double darkness) override {
    if (!page_open_ || failed() || !take_page_room(PageBudget::kCallCost)) return;
    const auto grey = static_cast<BYTE>(std::lround((1.0 - darkness) * 255));
    const Brush brush(CreateSolidBrush(RGB(grey, grey, grey)));
    const RECT area{x, y, held_dots(double(x) + width), held_dots(double(y) + height)};
    if (brush) FillRect(draw_dc(), &area, brush.get());
  }

 protected:
  HDC printer_dc() const { return dc_.get(); }

  // From now on the page is drawn into `target` (with the printer's font and
  // alignment), as a new page of the document; null ends that page.
  void draw_pages_into(HDC target) {
    if (target != nullptr) {
      budget_.start_page();
      if (font_) SelectObject(target, font_.get());
      SetTextAlign(target, static_cast<UINT>(align_));
    }
    draw_dc_ = target;
    page_open_ = target != nullptr;
  }

 private:
  HDC draw_dc() const { return draw_dc_ != nullptr ? draw_dc_ : dc_.get(); }

  static DEVMODEW* as_devmode(std::vector<BYTE>& record) { return reinterpret_cast<DEVMODEW*>(record.data()); }

  // Marks only what the settings set; the quality apart.
  static void set_fields(DEVMODEW& mode, const PrintSettings& s) {
    if (s.form) {
      if (const auto* name = std::get_if<std::string>(&*s.form)) {
        const std::wstring form = wide_from_cp1252(*name);
        std::fill(std::begin(mode.dmFormName), std::end(mode.dmFormName), L'\0');
        std::copy_n(form.begin(), std::min<std::size_t>(form.size(), CCHFORMNAME - 1), mode.dmFormName);
        mode.dmFields |= DM_FORMNAME;
      } else {
        mode.dmPaperSize = static_cast<short>(std::get<int>(*s.form));
        mode.dmFields |= DM_PAPERSIZE;
        if (mode.dmPaperSize == DMPAPER_USER) {
          mode.dmPaperLength = static_cast<short>(std::clamp(s.paper_length, 1, 32767));
          mode.dmPaperWidth = static_cast<short>(std::clamp(s.paper_width, 1, 32767));
          mode.dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
        }
      }
    }
    if (s.landscape) {
      mode.dmOrientation = *s.landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
      mode.dmFields |= DM_ORIENTATION;
    }
    if (s.copies >= 1) {
      mode.dmCopies = static_cast<short>(std::min(s.copies, 32767));
      mode.dmFields |= DM_COPIES;
    }
    if (s.bin != 0) {
      mode.dmDefaultSource = static_cast<short>(s.bin);
      mode.dmFields |= DM_DEFAULTSOURCE;
    }
    if (s.duplex != 0) {
      mode.dmDuplex = static_cast<short>(s.duplex);
      mode.dmFields |= DM_DUPLEX;
    }
  }

  // A quality is a code (negative, draft to high) or dots per inch. Dots per
  // inch the printer does not offer are left out, as on the cairo device: a
  // driver given one picks some resolution of its own (wine's its highest),
  // and the page model would meet another device than it asked for.
  bool offers_resolution(int dpi) const {
    const int count = DeviceCapabilitiesW(printer_.c_str(), nullptr, DC_ENUMRESOLUTIONS, nullptr, nullptr);
    if (count <= 0) return false;
    std::vector<LONG> pairs(2 * static_cast<std::size_t>(count));
    if (DeviceCapabilitiesW(printer_.c_str(), nullptr, DC_ENUMRESOLUTIONS, reinterpret_cast<LPWSTR>(pairs.data()),
                            nullptr) <= 0)
      return false;
    for (std::size_t i = 0; i < pairs.size(); i += 2)
      if (pairs[i] == dpi) return true;
    return false;
  }

  bool failed() const { return failure_.kind != DeviceFailure::Kind::none; }

  // The first failure of a document is the one reported.
  void refused(const char* fallback) {
    if (!failed()) failure_ = {DeviceFailure::Kind::refused, last_error_text(fallback)};
  }

  bool take_page_room(std::size_t bytes) {
    if (budget_.take(bytes, font_ ? std::optional<std::uint64_t>(fonts_made_) : std::nullopt)) return true;
    if (!failed()) failure_ = {DeviceFailure::Kind::not_drawn, budget_.reason()};
    return false;
  }

  // How far a glyph's ink may lie from its origin, any way.
  double reach() const { return 2.0 * std::max(metrics_.height, metrics_.ave_char_width); }

  // The sheet in the device's coordinates, whose origin is the corner of
  // the printable area.
  struct Band {
    double left, right;
  };
  Band sheet_band() const {
    const double offset = GetDeviceCaps(dc_.get(), PHYSICALOFFSETX);
    return {-offset - reach(), GetDeviceCaps(dc_.get(), PHYSICALWIDTH) - offset + reach()};
  }
  bool reaches_sheet_height(int y) const {
    const double offset = GetDeviceCaps(dc_.get(), PHYSICALOFFSETY);
    return y >= -offset - reach() && y <= GetDeviceCaps(dc_.get(), PHYSICALHEIGHT) - offset + reach();
  }

  double horizontal_shift(double width) const {
    switch (align_ & kHorizontalAlign) {
      case TA_CENTER: return width / 2;
      case TA_RIGHT: return width;
      default: return 0;
    }
  }

  double piece_extent(std::wstring_view piece) const {
    SIZE size{};
    if (piece.empty() ||
        !GetTextExtentPoint32W(dc_.get(), piece.data(), static_cast<int>(piece.size()), &size))
      return 0;
    return size.cx;
  }

  double extent_of(std::string_view text) const {
    double width = 0;
    for (std::size_t at = 0; at < text.size(); at += kPieceChars)
      width += piece_extent(wide_from_cp1252(text.substr(at, kPieceChars)));
    return width;
  }

  void draw_on_sheet(int x, int y, double width, std::string_view text, std::optional<int> fixed_advance) {
    const Band band = sheet_band();
    double pen = double(x) - horizontal_shift(width);
    const HDC dc = draw_dc();
    SetTextAlign(dc, static_cast<UINT>((align_ & ~kHorizontalAlign) | TA_LEFT));
    std::vector<INT> advances;
    for (std::size_t at = 0; at < text.size() && pen <= band.right; at += kPieceChars) {
      const std::wstring piece = wide_from_cp1252(text.substr(at, kPieceChars));
      const double piece_width = fixed_advance ? double(*fixed_advance) * double(piece.size()) : piece_extent(piece);
      if (pen + piece_width >= band.left) {
        if (!take_page_room(PageBudget::kCallCost + piece.size() * PageBudget::kGlyphCost)) break;
        if (fixed_advance) advances.assign(piece.size(), *fixed_advance);
        ExtTextOutW(dc, held_dots(pen), y, 0, nullptr, piece.data(), static_cast<UINT>(piece.size()),
                    fixed_advance ? advances.data() : nullptr);
      }
      pen += piece_width;
    }
    SetTextAlign(dc, static_cast<UINT>(align_));
  }

  std::wstring printer_;
  Dc dc_;
  HDC draw_dc_ = nullptr;  // the image's context while a page of images is open
  std::vector<BYTE> devmode_;  // the settings record last given to the context
  Font font_;
  std::uint64_t fonts_made_ = 0;
  TextMetrics metrics_;
  int align_ = TA_LEFT | TA_BOTTOM;
  bool in_document_ = false;
  bool page_open_ = false;
  DeviceFailure failure_;
  PageBudget budget_;
};

// A sheet for the printer's page at a scale, whose context draws in the
// printer's dots from the corner of the printable area, as the printer's
// does.
void open_printer_sheet(std::optional<GdiImageSheet>& sheet, const DeviceCaps& caps, double pixels_per_point) {
  const double width_points = caps.page_width * 72.0 / std::max(1, caps.dpi_x);
  const double height_points = caps.page_height * 72.0 / std::max(1, caps.dpi_y);
  const double scale = fitting_scale(width_points, height_points, pixels_per_point);
  sheet.emplace(static_cast<int>(std::ceil(width_points * scale)), static_cast<int>(std::ceil(height_points * scale)));
  if (!sheet->ok()) return;
  SetGraphicsMode(sheet->dc(), GM_ADVANCED);
  const double x_scale = scale * 72.0 / std::max(1, caps.dpi_x);
  const double y_scale = scale * 72.0 / std::max(1, caps.dpi_y);
  const XFORM dots{static_cast<FLOAT>(x_scale), 0, 0, static_cast<FLOAT>(y_scale),
                   static_cast<FLOAT>(caps.offset_x * x_scale), static_cast<FLOAT>(caps.offset_y * y_scale)};
  SetWorldTransform(sheet->dc(), &dots);
}

// The printer's device drawing its pages into images for the screen: the
// same sheet, resolution, offsets, fonts and drawing as its printed pages;
// nothing reaches the spooler.
class GdiImageDevice final : public GdiPageDevice, public ImagePageDevice {
 public:
  using GdiPageDevice::GdiPageDevice;
  ~GdiImageDevice() override { drop_page(); }

  SheetSize sheet_size() const override {
    const DeviceCaps caps = capabilities();
    return {caps.page_width * 72.0 / std::max(1, caps.dpi_x), caps.page_height * 72.0 / std::max(1, caps.dpi_y)};
  }
  void set_image_scale(double pixels_per_point) override { scale_ = pixels_per_point; }
  PageImage take_image() override { return std::exchange(image_, {}); }

  // Documents of images go nowhere: the brackets only keep pages apart.
  bool start_document(std::string_view) override {
    drop_page();
    return true;
  }
  bool end_document() override {
    drop_page();
    return true;
  }
  void abort_document() override { drop_page(); }

  // A page drawn again later needs no document around it.
  bool start_page() override {
    drop_page();
    open_printer_sheet(sheet_, capabilities(), scale_);
    if (!sheet_->ok()) {
      drop_page();
      return false;
    }
    draw_pages_into(sheet_->dc());
    return true;
  }

  bool end_page() override {
    if (!sheet_) return false;
    image_ = sheet_->image();
    drop_page();
    return true;
  }

 private:
  void drop_page() {
    draw_pages_into(nullptr);
    sheet_.reset();
  }

  double scale_ = 1.0;
  std::optional<GdiImageSheet> sheet_;
  PageImage image_;
};

class GdiPageDevices final : public PageDeviceFactory {
 public:
  // By the printer's name alone: the driver comes from the spooler.
  std::unique_ptr<PageDevice> open(std::string_view printer) override { return open_as<GdiPageDevice>(printer); }
  std::unique_ptr<ImagePageDevice> open_images(std::string_view printer) override {
    return open_as<GdiImageDevice>(printer);
  }

 private:
  template <class Device>
  static std::unique_ptr<Device> open_as(std::string_view printer) {
    std::wstring name = wide_from_utf8(printer);
    Dc dc(CreateDCW(nullptr, name.c_str(), nullptr, nullptr));
    if (!dc) return nullptr;
    return std::make_unique<Device>(std::move(name), std::move(dc));
  }
};

}  // namespace

std::unique_ptr<PageDeviceFactory> make_system_page_devices() { return std::make_unique<GdiPageDevices>(); }

}  // namespace tarvo
