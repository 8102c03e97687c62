#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvo {

// A paper size: the system's paper-size code (9 is A4) or a form name.
using FormSpec = std::variant<int, std::string>;

// Print settings handed to a page device. An absent field (or a zero where
// zero means "not set") leaves the printer's own setting alone.
struct PrintSettings {
  std::optional<FormSpec> form;
  std::optional<bool> landscape;
  int copies = 0;        // at least 1 to set
  int bin = 0;           // paper source code; 0 = printer default
  int duplex = 0;        // 1 simplex, 2 long edge, 3 short edge; 0 = not set
  int quality = 0;       // -1..-4 draft to high, positive = dots per inch; 0 = not set
  int paper_length = 0;  // custom size in tenths of a millimetre, both at least 1
  int paper_width = 0;
};

// What a page device reports of itself, in device units (printer dots).
struct DeviceCaps {
  int page_width = 0;   // physical size of the sheet
  int page_height = 0;
  int offset_x = 0;     // physical offset of the printable area
  int offset_y = 0;
  int dpi_x = 0;
  int dpi_y = 0;
  bool stretch_dib = false;  // can scale device-independent bitmaps
  int num_colors = 2;
};

// A font as the page model asks for it.
struct FontRequest {
  std::string face;
  int height = 0;     // negative: character (em) height; positive: cell height; 0: device default
  int width = 0;      // average character width; 0: the face's natural width
  int weight = 400;   // 400 normal, 700 bold, 800 the heaviest
  bool italic = false;
  bool underline = false;
  int charset = 0;
};

// Metrics of the selected font, in device units.
struct TextMetrics {
  int ascent = 0;
  int descent = 0;
  int height = 0;         // cell height: ascent + descent
  int ave_char_width = 0;
};

// Why a device's document cannot print.
struct DeviceFailure {
  enum class Kind {
    none,
    refused,    // the print system refused or lost the job; `reason` is its own words
    not_drawn,  // the device could not draw a page; `reason` says why
  };
  Kind kind = Kind::none;
  std::string reason;
};

// Text alignment flags, combined horizontal | vertical.
inline constexpr int kAlignLeft = 0;
inline constexpr int kAlignRight = 2;
inline constexpr int kAlignCenter = 6;
inline constexpr int kAlignTop = 0;
inline constexpr int kAlignBottom = 8;
inline constexpr int kAlignBaseline = 24;

// One open printer: the device context of the page model. Coordinates are
// printer dots from the top-left corner of the sheet, x to the right, y
// downwards. Texts are Windows-1252 bytes, one byte per character.
class PageDevice {
 public:
  virtual ~PageDevice() = default;

  // Applies the given settings; false when the printer refuses them.
  virtual bool apply_settings(const PrintSettings& settings) = 0;
  virtual DeviceCaps capabilities() const = 0;

  // Document brackets. A document is either ended (it prints) or aborted
  // (nothing of it prints). A bracket that fails leaves its cause in
  // failure(); a document that failed prints nothing and is aborted.
  virtual bool start_document(std::string_view name) = 0;
  virtual bool end_document() = 0;
  virtual void abort_document() = 0;
  virtual bool start_page() = 0;
  virtual bool end_page() = 0;
  // Why the last document failed; Kind::none while it goes well.
  virtual DeviceFailure failure() const { return {}; }

  // Creates the font and selects it in place of the current one; on false
  // the current font stays selected.
  virtual bool select_font(const FontRequest& font) = 0;
  virtual TextMetrics metrics() const = 0;
  // The face the device really selected.
  virtual std::string face_name() const = 0;

  virtual void set_text_align(int flags) = 0;
  // Draws the text with the font's own spacing, or, with an advance, each
  // character exactly `fixed_advance` dots after the previous one. Returns
  // the width drawn.
  virtual int draw_text(int x, int y, std::string_view text, std::optional<int> fixed_advance) = 0;
  // Width of the text drawn with the font's own spacing.
  virtual int text_extent(std::string_view text) = 0;
  // Fills a rectangle in black, or in grey for a darkness below 1 (0 is
  // white); lines and blocks of text that no font draws.
  virtual void fill_rect(int x, int y, int width, int height, double darkness) = 0;

  // True on a system where a new page drops the selected font.
  virtual bool drops_font_on_new_page() const { return false; }
};

// A sheet's size as it lies (turned for landscape), in points (1/72 inch).
struct SheetSize {
  double width = 0;
  double height = 0;
};

// A drawn page: rows from the top, each pixel 0xFFRRGGBB.
struct PageImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// A page device that draws its pages into images instead of a print job: the
// printer's own sheet, resolution, margins and fonts, so that a page drawn
// here is the page the printer gets, to the dot. Nothing reaches the printer.
// Between pages it only measures.
class ImagePageDevice : public virtual PageDevice {
 public:
  // The sheet the pages are drawn on.
  virtual SheetSize sheet_size() const = 0;
  // Pixels per point (1/72 inch) of the pages started from now on.
  virtual void set_image_scale(double pixels_per_point) = 0;
  // The page ended last, drawn; empty when none was ended since.
  virtual PageImage take_image() = 0;
};

// Opens page devices by printer name.
class PageDeviceFactory {
 public:
  virtual ~PageDeviceFactory() = default;
  // nullptr when the printer is unknown or cannot be opened.
  virtual std::unique_ptr<PageDevice> open(std::string_view printer) = 0;
  // A device of the printer that draws into images, for a preview; nullptr
  // when the printer is unknown or this system draws no page images.
  virtual std::unique_ptr<ImagePageDevice> open_images(std::string_view /*printer*/) { return nullptr; }
};

// The platform's page devices.
std::unique_ptr<PageDeviceFactory> make_system_page_devices();

}  // namespace tarvo
