#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace tarvo {

// A printer opened in the spooler by name, closed when the object goes.
class PrinterHandle {
 public:
  explicit PrinterHandle(const std::wstring& name) {
    if (!OpenPrinterW(const_cast<LPWSTR>(name.c_str()), &handle_, nullptr)) handle_ = nullptr;
  }
  ~PrinterHandle() {
    if (handle_ != nullptr) ClosePrinter(handle_);
  }
  PrinterHandle(const PrinterHandle&) = delete;
  PrinterHandle& operator=(const PrinterHandle&) = delete;

  explicit operator bool() const { return handle_ != nullptr; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// The printer's own settings as its driver gives them: a DEVMODEW with the
// driver's private part behind it, empty when the driver gives none.
inline std::vector<BYTE> printer_settings(const PrinterHandle& printer, const std::wstring& name) {
  LPWSTR driver_name = const_cast<LPWSTR>(name.c_str());
  const LONG size = DocumentPropertiesW(nullptr, printer.get(), driver_name, nullptr, nullptr, 0);
  if (size < static_cast<LONG>(sizeof(DEVMODEW))) return {};
  std::vector<BYTE> settings(static_cast<std::size_t>(size));
  if (DocumentPropertiesW(nullptr, printer.get(), driver_name, reinterpret_cast<DEVMODEW*>(settings.data()), nullptr,
                          DM_OUT_BUFFER) != IDOK)
    return {};
  return settings;
}

}  // namespace tarvo
