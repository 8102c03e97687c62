// Prints one page through GDI on the printer named by the argument and
// reports what the device said, one "name values" line each: resolution and
// offsets in dots, the face that "Courier New" became, its ascent in dots,
// and each text with its place in dots. check-gdi-page reads the page back
// from the CUPS queue and checks where the texts landed.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>

namespace {

struct DcDelete {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using Dc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDelete>;

struct FontDelete {
  void operator()(HFONT font) const { DeleteObject(font); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDelete>;

// Places in device dots, from the printable area's corner.
struct Placed {
  int x;
  int y;
  const wchar_t* text;
};
constexpr Placed kTexts[] = {
    {0, 0, L"CANTO"},
    {600, 900, L"MEIO"},
    {1500, 2400, L"A\u00e7\u00e3o"},
};

int fail(const char* step) {
  std::fprintf(stderr, "gdi_page_print: %s failed (%lu)\n", step, GetLastError());
  return 1;
}

std::string narrow(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gdi_page_print PRINTER\n");
    return 2;
  }
  Dc dc(CreateDCW(nullptr, argv[1], nullptr, nullptr));
  if (!dc) return fail("CreateDCW");
  std::printf("resolution %d %d\n", GetDeviceCaps(dc.get(), LOGPIXELSX), GetDeviceCaps(dc.get(), LOGPIXELSY));
  std::printf("offset %d %d\n", GetDeviceCaps(dc.get(), PHYSICALOFFSETX),
              GetDeviceCaps(dc.get(), PHYSICALOFFSETY));

  // 12 points at the device's resolution.
  const int height = -MulDiv(12, GetDeviceCaps(dc.get(), LOGPIXELSY), 72);
  Font font(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New"));
  if (!font) return fail("CreateFontW");
  SelectObject(dc.get(), font.get());
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc.get(), LF_FACESIZE, face);
  std::printf("face %s\n", narrow(face).c_str());
  TEXTMETRICW metrics{};
  if (!GetTextMetricsW(dc.get(), &metrics)) return fail("GetTextMetricsW");
  std::printf("ascent %ld\n", metrics.tmAscent);

  DOCINFOW doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = L"Teste GDI";
  if (StartDocW(dc.get(), &doc) <= 0) return fail("StartDocW");
  if (StartPage(dc.get()) <= 0) return fail("StartPage");
  SetTextAlign(dc.get(), TA_LEFT | TA_TOP);
  for (const Placed& p : kTexts) {
    if (!ExtTextOutW(dc.get(), p.x, p.y, 0, nullptr, p.text, static_cast<UINT>(wcslen(p.text)), nullptr))
      return fail("ExtTextOutW");
    std::printf("text %d %d %s\n", p.x, p.y, narrow(p.text).c_str());
  }
  if (EndPage(dc.get()) <= 0) return fail("EndPage");
  if (EndDoc(dc.get()) <= 0) return fail("EndDoc");
  std::fflush(stdout);
  return 0;
}
