#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "component/component_error.h"
#include "component/conta_corrente.h"
#include "component/slip_canvas_gdi.h"
#include "component/slip_layout.h"
#include "component/slip_page.h"
#include "printing/gdi_objects_win32.h"
#include "printing/printer_handle_win32.h"
#include "printing/printer_service.h"
#include "runtime/text.h"
#include "runtime/wide_text.h"

namespace tarvo::component {

namespace {

using gdi::Bitmap;
using gdi::Dc;
using gdi::last_error_text;

// Images larger than this are drawn smaller: a preview never needs them.
constexpr double kMaxImagePixels = 64.0 * 1024 * 1024;

// The printer's context with its own settings on A4, portrait: the slip's
// bars are measured by the bank's readers, so the page is drawn at its own
// size, never fitted to another sheet.
Dc a4_printer_context(const std::wstring& printer) {
  PrinterHandle handle(printer);
  std::vector<BYTE> mode;
  if (handle) {
    LPWSTR name = const_cast<LPWSTR>(printer.c_str());
    const LONG size = DocumentPropertiesW(nullptr, handle.get(), name, nullptr, nullptr, 0);
    if (size >= static_cast<LONG>(sizeof(DEVMODEW))) {
      mode.resize(static_cast<std::size_t>(size));
      auto* devmode = reinterpret_cast<DEVMODEW*>(mode.data());
      if (DocumentPropertiesW(nullptr, handle.get(), name, devmode, nullptr, DM_OUT_BUFFER) == IDOK) {
        devmode->dmPaperSize = DMPAPER_A4;
        devmode->dmOrientation = DMORIENT_PORTRAIT;
        devmode->dmFields |= DM_PAPERSIZE | DM_ORIENTATION;
        devmode->dmFields &= ~static_cast<DWORD>(DM_PAPERLENGTH | DM_PAPERWIDTH | DM_FORMNAME);
      } else {
        mode.clear();
      }
    }
  }
  const auto* devmode = mode.empty() ? nullptr : reinterpret_cast<const DEVMODEW*>(mode.data());
  return Dc(CreateDCW(nullptr, printer.c_str(), nullptr, devmode));
}

GdiSlipCanvas::Geometry printer_geometry(HDC dc) {
  return {GetDeviceCaps(dc, LOGPIXELSX) / 25.4, GetDeviceCaps(dc, LOGPIXELSY) / 25.4,
          -double(GetDeviceCaps(dc, PHYSICALOFFSETX)), -double(GetDeviceCaps(dc, PHYSICALOFFSETY))};
}

// Draws the slips as one document; the reason of a failure, "" when none. A
// document that failed half-way is aborted, so no part of it prints.
std::string print_document(HDC dc, const std::wstring& title, const std::vector<Slip>& slips,
                           const AccountData& account) {
  DOCINFOW doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = title.c_str();
  if (StartDocW(dc, &doc) <= 0) return last_error_text("o spooler não aceitou o documento");
  const Date processing = today();
  for (const Slip& s : slips) {
    bool page_taken = StartPage(dc) > 0;
    if (page_taken) {
      try {
        GdiSlipCanvas canvas(dc, printer_geometry(dc));
        draw_slip(canvas, s, account, processing);
      } catch (...) {
        AbortDoc(dc);
        throw;
      }
      page_taken = EndPage(dc) > 0;
    }
    if (!page_taken) {
      std::string why = last_error_text("o spooler não aceitou a página");
      AbortDoc(dc);
      return why;
    }
  }
  if (EndDoc(dc) <= 0) return last_error_text("o spooler não aceitou o fim do documento");
  return {};
}

}  // namespace

void print_on_default_printer(const std::vector<Slip>& slips, const AccountData& account) {
  const std::string label = account_label(account);
  const std::string printer = make_system_printer_service()->GETDEFAULTPRINTER();
  if (printer.empty()) fail(label, "IMPRIMEBOLETOSSEMPREVIEW", "não há impressora padrão");
  const Dc dc = a4_printer_context(wide_from_utf8(printer));
  if (!dc) fail(label, "IMPRIMEBOLETOSSEMPREVIEW", "a impressora " + printer + " não pôde ser aberta");
  const std::wstring title = wide_from_utf8("Boleto " + cp1252_to_utf8(trim(slips.front().document.document_number)));
  const std::string why = print_document(dc.get(), title, slips, account);
  if (!why.empty())
    fail(label, "IMPRIMEBOLETOSSEMPREVIEW", "a impressora " + printer + " não aceitou o boleto: " + why);
}

PageImage slip_image(const Slip& slip, const AccountData& account, const Date& processing, double pixels_per_point) {
  const SheetSize sheet = slip_sheet();
  double scale = pixels_per_point;
  if (!(scale > 0)) return {};
  if (sheet.width * sheet.height * scale * scale > kMaxImagePixels)
    scale = std::sqrt(kMaxImagePixels / (sheet.width * sheet.height));
  const int width = std::max(1, static_cast<int>(std::lround(sheet.width * scale)));
  const int height = std::max(1, static_cast<int>(std::lround(sheet.height * scale)));
  const Dc dc(CreateCompatibleDC(nullptr));
  if (!dc) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const Bitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return {};
  HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
  const RECT all{0, 0, width, height};
  FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  {
    const double dots_per_mm = scale * 72.0 / 25.4;
    GdiSlipCanvas canvas(dc.get(), {dots_per_mm, dots_per_mm, 0, 0});
    draw_slip(canvas, slip, account, processing);
  }
  GdiFlush();
  PageImage image{width, height, {}};
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  image.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::uint32_t& p : image.pixels) p |= 0xFF000000u;
  SelectObject(dc.get(), previous);
  return image;
}

}  // namespace tarvo::component
