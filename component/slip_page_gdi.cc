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
#include "printing/image_sheet_gdi.h"
#include "printing/page_image_scale.h"
#include "printing/printer_handle_win32.h"
#include "printing/printer_service.h"
#include "runtime/text.h"
#include "runtime/wide_text.h"

namespace tarvo::component {

namespace {

using gdi::Dc;
using gdi::last_error_text;

// The printer's context with its own settings on A4, portrait: the slip's
// bars are measured by the bank's readers, so the page is drawn at its own
// size, never fitted to another sheet.
Dc a4_printer_context(const std::wstring& printer) {
  PrinterHandle handle(printer);
  std::vector<BYTE> mode = handle ? printer_settings(handle, printer) : std::vector<BYTE>{};
  if (!mode.empty()) {
    auto* devmode = reinterpret_cast<DEVMODEW*>(mode.data());
    devmode->dmPaperSize = DMPAPER_A4;
    devmode->dmOrientation = DMORIENT_PORTRAIT;
    devmode->dmFields |= DM_PAPERSIZE | DM_ORIENTATION;
    devmode->dmFields &= ~static_cast<DWORD>(DM_PAPERLENGTH | DM_PAPERWIDTH | DM_FORMNAME);
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
  if (!(pixels_per_point > 0)) return {};
  const double scale = fitting_scale(sheet.width, sheet.height, pixels_per_point);
  const GdiImageSheet image(static_cast<int>(std::lround(sheet.width * scale)),
                            static_cast<int>(std::lround(sheet.height * scale)));
  if (!image.ok()) return {};
  const double dots_per_mm = scale * 72.0 / 25.4;
  GdiSlipCanvas canvas(image.dc(), {dots_per_mm, dots_per_mm, 0, 0});
  draw_slip(canvas, slip, account, processing);
  return image.image();
}

}  // namespace tarvo::component
