#include "printing/win32prn.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "printing/dot_count.h"
#include "printing/printer_service.h"
#include "runtime/date.h"
#include "runtime/process.h"

namespace tarvo {
namespace {

constexpr int kUserDefinedPaper = 256;
constexpr std::size_t kFormNameLimit = 32;
constexpr std::size_t kFaceNameLimit = 127;
// A font request carries at most this much of its face name, as the
// system's font requests always have; the rest could never match a face.
constexpr std::size_t kFaceRequestLimit = 31;
constexpr std::size_t kFixedAdvanceLimit = 1024;
constexpr int kNormalWeight = 400;

// Fills the paper of `out` by the order the printer settings take: a custom
// size first, then a form name, then a paper-size code.
void set_paper(PrintSettings& out, const FormSpec& form, int length, int width) {
  if (length >= 1 && width >= 1) {
    out.form = kUserDefinedPaper;
    out.paper_length = length;
    out.paper_width = width;
  } else if (const auto* name = std::get_if<std::string>(&form)) {
    if (name->size() < kFormNameLimit) out.form = *name;
  } else if (std::get<int>(form) != 0) {
    out.form = std::get<int>(form);
  }
}

}  // namespace

WIN32PRN::WIN32PRN(PageDeviceFactory* devices, PrinterService* printers, RunSettings settings)
    : devices_(devices), printers_(printers), settings_(settings) {}

// Going away ends an open document as Destroy does, so its pages print.
WIN32PRN::~WIN32PRN() { Destroy(); }

WIN32PRN& WIN32PRN::New(std::string_view printer_name) {
  PrinterName = std::string(printer_name);
  if (PrinterName.empty() && printers_) PrinterName = printers_->GETDEFAULTPRINTER();
  return *this;
}

bool WIN32PRN::Create() {
  Destroy();
  if (!devices_) return false;
  hPrinterDc = devices_->open(PrinterName);
  if (!hPrinterDc) return false;

  PrintSettings applied;
  set_paper(applied, FormType, PaperLength, PaperWidth);
  applied.landscape = Landscape;
  applied.copies = Copies;
  applied.bin = BinNumber;
  applied.duplex = fDuplexType;
  applied.quality = fPrintQuality;
  if (!apply_print_settings(applied)) {
    Destroy();
    return false;
  }

  const DeviceCaps caps = hPrinterDc->capabilities();
  PageWidth = caps.page_width;
  PageHeight = caps.page_height;
  LeftMargin = caps.offset_x;
  RightMargin = PageWidth - LeftMargin + 1;
  PixelsPerInchY = caps.dpi_y;
  PixelsPerInchX = caps.dpi_x;
  LineHeight = PixelsPerInchY / 6;
  TopMargin = caps.offset_y;
  BottomMargin = PageHeight - TopMargin + 1;
  BitmapsOk = caps.stretch_dib;
  NumColors = caps.num_colors;

  SetDefaultFont();

  HavePrinted = Printing = false;
  fOldFormType = FormType;
  fOldLandScape = Landscape;
  fOldBinNumber = BinNumber;
  fOldPaperLength = PaperLength;
  fOldPaperWidth = PaperWidth;
  fNewDuplexType = fDuplexType;
  fNewPrintQuality = fPrintQuality;
  return true;
}

bool WIN32PRN::Destroy() {
  if (hPrinterDc) {
    if (Printing) EndDoc();
    hPrinterDc.reset();
  }
  return true;
}

// Only the fields that are set reach the device; a refusal leaves the
// printer as it was.
bool WIN32PRN::apply_print_settings(const PrintSettings& settings) {
  return hPrinterDc && hPrinterDc->apply_settings(settings);
}

PrintSettings WIN32PRN::changed_settings() {
  PrintSettings changed;
  if (Landscape != fOldLandScape) {
    fOldLandScape = Landscape;
    changed.landscape = Landscape;
  }
  if (BinNumber != fOldBinNumber) {
    fOldBinNumber = BinNumber;
    changed.bin = BinNumber;
  }
  if (FormType != fOldFormType || PaperLength != fOldPaperLength || PaperWidth != fOldPaperWidth) {
    fOldFormType = FormType;
    fOldPaperLength = PaperLength;
    fOldPaperWidth = PaperWidth;
    set_paper(changed, FormType, PaperLength, PaperWidth);
  }
  if (fNewDuplexType != fDuplexType) {
    fDuplexType = fNewDuplexType;
    changed.duplex = fDuplexType;
  }
  if (fNewPrintQuality != fPrintQuality) {
    fPrintQuality = fNewPrintQuality;
    changed.quality = fPrintQuality;
  }
  return changed;
}

std::string WIN32PRN::default_document_name() const {
  const LocalTime now = local_time_now();
  const auto date = Date::from_ymd(now.year, now.month, now.day);
  char time_text[16];
  std::snprintf(time_text, sizeof time_text, "%02d:%02d:%02d", now.hour, now.minute, now.second);
  return program_path() + " [" + date_to_text(date.value_or(Date{}), settings_) + " - " +
         time_text + "]";
}

bool WIN32PRN::StartDoc(std::optional<std::string> document_name) {
  if (!hPrinterDc) return false;
  const std::string name = document_name ? *document_name : default_document_name();
  if (!hPrinterDc->start_document(name)) return false;
  // "Something was printed" counts from the start of this document.
  HavePrinted = false;
  StartPage();
  Printing = true;
  return true;
}

bool WIN32PRN::EndDoc(bool abort) {
  bool printed = true;
  if (hPrinterDc && Printing) {
    if (!HavePrinted) abort = true;
    if (abort) {
      hPrinterDc->abort_document();
    } else {
      // Both brackets are closed even when the page fails, so that the
      // device lets the job go.
      const bool page_closed = hPrinterDc->end_page();
      printed = hPrinterDc->end_document() && page_closed;
    }
  }
  Printing = HavePrinted = false;
  return printed;
}

bool WIN32PRN::StartPage() {
  if (!hPrinterDc) return true;
  PrintSettings changed = changed_settings();
  if (changed.form || changed.landscape || changed.bin || changed.duplex || changed.quality) {
    apply_print_settings(changed);
  }
  hPrinterDc->start_page();
  PosX = LeftMargin;
  PosY = TopMargin;
  return true;
}

bool WIN32PRN::EndPage(bool start_next) {
  if (!hPrinterDc || !Printing) return true;
  if (!hPrinterDc->end_page()) return false;
  if (start_next) {
    StartPage();
    if (hPrinterDc->drops_font_on_new_page()) SetFont();
  }
  return true;
}

DeviceFailure WIN32PRN::Failure() const {
  return hPrinterDc ? hPrinterDc->failure() : DeviceFailure{};
}

int WIN32PRN::NewLine() {
  PosX = LeftMargin;
  PosY = held_dots(double(PosY) + LineHeight);
  return PosY;
}

bool WIN32PRN::SetFont(std::optional<std::string_view> face, std::optional<double> point_size,
                       std::optional<FontWidthArg> width, std::optional<int> weight,
                       std::optional<bool> underline, std::optional<bool> italic,
                       std::optional<int> charset) {
  if (face) FontName = std::string(face->substr(0, kFaceRequestLimit));
  if (point_size) FontPointSize = *point_size;
  if (width) {
    if (const auto* pair = std::get_if<PitchPair>(&*width)) {
      FontWidth = *pair;
    } else if (const int n = held_dots(std::get<double>(*width)); n != 0) {
      FontWidth = {1, n};
    } else {
      FontWidth = {0, 0};
    }
  }
  if (weight) fBold = *weight;
  if (underline) fUnderLine = *underline;
  if (italic) fItalic = *italic;
  if (charset) fCharSet = *charset;

  if (!hPrinterDc) {
    SetFontOk = false;
    return false;
  }
  FontRequest request;
  request.face = FontName;
  request.height = -rounded_dots(FontPointSize * PixelsPerInchY / 72.0);
  request.width = FontWidth.denominator != 0
                      ? rounded_dots(std::fabs(double(FontWidth.numerator)) * PixelsPerInchX /
                                     std::fabs(double(FontWidth.denominator)))
                      : 0;
  request.weight = fBold < 1 ? kNormalWeight : fBold;
  request.italic = fItalic;
  request.underline = fUnderLine;
  request.charset = fCharSet;

  SetFontOk = hPrinterDc->select_font(request);
  if (SetFontOk) {
    fCharWidth = GetCharWidth();
    CharWidth = held_dots(std::fabs(double(fCharWidth)));
    CharHeight = hPrinterDc->metrics().height;
  }
  FontName = hPrinterDc->face_name().substr(0, kFaceNameLimit);
  return SetFontOk;
}

bool WIN32PRN::SetDefaultFont() {
  return SetFont("Courier New", 12, FontWidthArg{PitchPair{1, 10}}, 0, false, false, 0);
}

int WIN32PRN::Bold(std::optional<int> weight) {
  const int previous = fBold;
  if (weight) {
    fBold = *weight;
    if (Printing) SetFont();
  }
  return previous;
}

bool WIN32PRN::Italic(std::optional<bool> on) {
  const bool previous = fItalic;
  if (on) {
    fItalic = *on;
    if (Printing) SetFont();
  }
  return previous;
}

bool WIN32PRN::UnderLine(std::optional<bool> on) {
  const bool previous = fUnderLine;
  if (on) {
    fUnderLine = *on;
    if (Printing) SetFont();
  }
  return previous;
}

int WIN32PRN::SetPrintQuality(int quality) {
  const int previous = fPrintQuality;
  fNewPrintQuality = quality;
  if (!Printing) fPrintQuality = quality;
  return previous;
}

std::pair<int, int> WIN32PRN::SetPos(std::optional<double> x, std::optional<double> y) {
  const std::pair<int, int> previous{PosX, PosY};
  if (x) PosX = held_dots(*x);
  if (y) PosY = held_dots(*y);
  return previous;
}

void WIN32PRN::SetPrc(double row, double column) {
  PosX = held_dots(std::trunc(column * CharWidth) + LeftMargin);
  PosY = held_dots(std::trunc(row * LineHeight) + TopMargin);
}

bool WIN32PRN::TextOut(std::string_view text, bool new_line, bool advance, std::optional<int> hori,
                       std::optional<int> vert) {
  int width = 0;
  if (hPrinterDc) {
    hPrinterDc->set_text_align(hori.value_or(SetTextHori) | vert.value_or(SetTextVert));
    if (!text.empty()) {
      if (fCharWidth < 0 && text.size() < kFixedAdvanceLimit) {
        const int step = held_dots(std::fabs(double(fCharWidth)));
        if (Printing) hPrinterDc->draw_text(PosX, PosY, text, step);
        width = held_dots(double(text.size()) * step);
      } else {
        width = Printing ? hPrinterDc->draw_text(PosX, PosY, text, std::nullopt)
                         : hPrinterDc->text_extent(text);
      }
    }
  }
  HavePrinted = true;
  if (advance) PosX = held_dots(double(PosX) + width);
  if (new_line) NewLine();
  return true;
}

bool WIN32PRN::FillRect(int x, int y, int width, int height, double darkness) {
  if (hPrinterDc && Printing && width > 0 && height > 0) {
    hPrinterDc->fill_rect(x, y, width, height, std::clamp(darkness, 0.0, 1.0));
  }
  HavePrinted = true;
  return true;
}

int WIN32PRN::GetCharWidth() const {
  if (FontWidth.denominator < 0 && FontWidth.numerator != 0) {
    return rounded_dots(FontWidth.numerator * double(PixelsPerInchX) / FontWidth.denominator);
  }
  return hPrinterDc ? hPrinterDc->metrics().ave_char_width : 0;
}

}  // namespace tarvo
