#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>

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

}  // namespace tarvo
