#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "printing/page_device.h"
#include "runtime/run_settings.h"

namespace tarvo {

class PrinterService;

// The pitch of a font: a character is numerator / denominator inch wide;
// {0, 0} is the font's own width.
struct PitchPair {
  int numerator = 0;
  int denominator = 0;
  bool operator==(const PitchPair&) const = default;
};

// The width argument of SetFont: a number n means n characters per inch, a
// pair is stored as the pitch itself.
using FontWidthArg = std::variant<double, PitchPair>;

// The printer page model: one printer, its current print position in
// printer dots, the current font and its attributes, and the document and
// page brackets. It draws through a page device that the factory opens by
// printer name; the arithmetic of rows, columns and fonts lives here, once,
// for every platform. The spooler names the default printer.
class WIN32PRN {
 public:
  explicit WIN32PRN(PageDeviceFactory* devices, PrinterService* printers = nullptr,
                    RunSettings settings = {});
  ~WIN32PRN();
  WIN32PRN(const WIN32PRN&) = delete;
  WIN32PRN& operator=(const WIN32PRN&) = delete;

  // The printer by name, or the system's default printer for "".
  WIN32PRN& New(std::string_view printer_name);
  bool Create();
  bool Destroy();

  // StartDoc is false when the printer refused the document; EndPage and
  // EndDoc are false when it failed on its way (a page that could not be
  // drawn or sent, a job the print system lost). Failure() then says why,
  // until the device is released.
  bool StartDoc(std::optional<std::string> document_name = std::nullopt);
  bool EndDoc(bool abort = false);
  bool StartPage();
  bool EndPage(bool start_next = true);
  DeviceFailure Failure() const;
  int NewLine();

  bool SetFont(std::optional<std::string_view> face = std::nullopt,
               std::optional<double> point_size = std::nullopt,
               std::optional<FontWidthArg> width = std::nullopt,
               std::optional<int> weight = std::nullopt,
               std::optional<bool> underline = std::nullopt,
               std::optional<bool> italic = std::nullopt,
               std::optional<int> charset = std::nullopt);
  bool SetDefaultFont();
  int Bold(std::optional<int> weight = std::nullopt);
  bool Italic(std::optional<bool> on = std::nullopt);
  bool UnderLine(std::optional<bool> on = std::nullopt);
  int SetPrintQuality(int quality);

  std::pair<int, int> SetPos(std::optional<double> x = std::nullopt,
                             std::optional<double> y = std::nullopt);
  void SetPrc(double row, double column);
  bool TextOut(std::string_view text, bool new_line = false, bool advance = true,
               std::optional<int> hori = std::nullopt, std::optional<int> vert = std::nullopt);

  // Fills a rectangle at the given position and size, in black or, for a
  // darkness below 1, in grey. Like TextOut it counts as printing.
  bool FillRect(int x, int y, int width, int height, double darkness = 1.0);

  int GetCharWidth() const;
  int GetCharHeight() const { return CharHeight; }

  // Properties. Before Create they hold the values the settings step will
  // apply; after it, what the printer reports.
  std::string PrinterName;
  std::unique_ptr<PageDevice> hPrinterDc;  // the device context; null = none
  bool Printing = false;
  bool HavePrinted = false;
  bool AskProperties = false;
  FormSpec FormType = 0;
  bool Landscape = false;
  int Copies = 1;
  int BinNumber = 0;
  int PaperLength = 0;
  int PaperWidth = 0;
  int fPrintQuality = 0;
  int fNewPrintQuality = 0;
  int fDuplexType = 0;
  int fNewDuplexType = 0;
  FormSpec fOldFormType = 0;
  bool fOldLandScape = false;
  int fOldBinNumber = 0;
  int fOldPaperLength = 0;
  int fOldPaperWidth = 0;
  int PageWidth = 0;
  int PageHeight = 0;
  int LeftMargin = 0;
  int TopMargin = 0;
  int RightMargin = 0;
  int BottomMargin = 0;
  int PixelsPerInchX = 0;
  int PixelsPerInchY = 0;
  int LineHeight = 0;
  int CharWidth = 0;
  int fCharWidth = 0;
  int CharHeight = 0;
  std::string FontName;
  double FontPointSize = 12;
  PitchPair FontWidth;
  int fBold = 0;
  bool fUnderLine = false;
  bool fItalic = false;
  int fCharSet = 1;
  int SetTextHori = kAlignLeft;
  int SetTextVert = kAlignBottom;
  int PosX = 0;
  int PosY = 0;
  bool BitmapsOk = false;
  int NumColors = 1;
  bool SetFontOk = false;

 private:
  bool apply_print_settings(const PrintSettings& settings);
  PrintSettings changed_settings();
  std::string default_document_name() const;

  PageDeviceFactory* devices_;
  PrinterService* printers_;
  RunSettings settings_;
};

}  // namespace tarvo
