#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "printing/cairo_fonts.h"
#include "printing/cups_destination.h"
#include "printing/page_budget.h"
#include "printing/page_device.h"

namespace tarvo::cairo_pages {

// A sheet in hundredths of a millimetre, as CUPS gives media, with its
// media name for the job.
struct Paper {
  int width = 21000;
  int length = 29700;
  std::string media = "iso_a4_210x297mm";
};

// The settings a cairo page device holds for its documents.
struct SheetSettings {
  Paper paper;
  bool landscape = false;
  int copies = 1;
  int bin = 0;
  int duplex = 0;
  int print_quality = 0;  // IPP print-quality, 0 = the printer's own
  int resolution = 0;     // dots per inch asked of the printer, 0 = its own
};

// What every cairo page device of a CUPS destination shares, whatever its
// pages become: the destination's sheet, resolution and margins, the print
// settings, the fonts, and the drawing of texts and rectangles in printer
// dots. A device built on it says where the pages go (draw_into) and when
// they begin; between pages, texts are measured and nothing is drawn. So
// every device of one destination measures and places alike, to the dot.
// (PageDevice is a virtual base, which image devices share.)
class CairoCanvas : public virtual PageDevice {
 public:
  // Pages that would hold more than `page_budget` bytes of drawing are not
  // drawn (see take_page_room).
  CairoCanvas(std::string destination, cups::DestinationAttributes attributes, std::size_t page_budget);

  bool apply_settings(const PrintSettings& settings) override;
  DeviceCaps capabilities() const override;
  DeviceFailure failure() const override { return failure_; }

  bool select_font(const FontRequest& request) override;
  TextMetrics metrics() const override { return metrics_; }
  std::string face_name() const override;
  void set_text_align(int flags) override { align_ = flags; }
  int draw_text(int x, int y, std::string_view text, std::optional<int> fixed_advance) override;
  int text_extent(std::string_view text) override;
  void fill_rect(int x, int y, int width, int height, double darkness) override;

 protected:
  const std::string& destination() const { return destination_; }
  const cups::DestinationAttributes& attributes() const { return attrs_; }
  const SheetSettings& sheet() const { return sheet_; }
  int dpi_x() const { return dpi_x_; }
  int dpi_y() const { return dpi_y_; }
  // The sheet in points, turned for landscape.
  std::pair<double, double> page_points() const;

  // From now on drawing goes to `cr`, whose user space must be printer
  // dots; null: texts are only measured.
  void draw_into(cairo_t* cr);
  // A new page begins: it holds nothing yet.
  void begin_page();
  int page_number() const { return budget_.page(); }

  bool failed() const { return failure_.kind != DeviceFailure::Kind::none; }
  // The first failure of a document is the one reported.
  void fail(DeviceFailure failure);
  void not_drawn(std::string reason) { fail({DeviceFailure::Kind::not_drawn, std::move(reason)}); }
  void clear_failure() { failure_ = {}; }

  // The resolution is fixed once a document is open.
  virtual bool document_open() const = 0;

 private:
  // Where ink can still land on the sheet, in dots.
  struct Band {
    double left, right, top, bottom;
  };

  std::pair<int, int> sheet_dots() const;
  void draw_on_sheet(double left, double baseline, double width, std::string_view text,
                     std::optional<int> fixed_advance);
  bool show_piece();
  bool take_page_room(std::size_t bytes);
  void apply_paper(const FormSpec& form, int width_tenths, int length_tenths);
  void apply_quality(int quality);
  double advance_of(std::string_view text) const;
  double horizontal_shift(double width) const;
  double baseline_shift() const;
  void draw_underline(double left, double baseline, double width);

  std::string destination_;
  cups::DestinationAttributes attrs_;
  int dpi_x_;
  int dpi_y_;
  SheetSettings sheet_;
  std::optional<std::vector<int>> offered_dpi_;  // the resolutions the destination offers

  CairoFonts fonts_;
  std::shared_ptr<ScaledFont> font_;
  std::vector<cairo_glyph_t> glyphs_;
  bool underline_ = false;
  TextMetrics metrics_;
  int align_ = kAlignLeft | kAlignBottom;

  cairo_t* cr_ = nullptr;
  bool font_in_context_ = false;
  DeviceFailure failure_;

  // What the page being drawn holds of drawing so far.
  PageBudget budget_;
};

int hundredths_mm_to_dots(int value, int dpi);

}  // namespace tarvo::cairo_pages
