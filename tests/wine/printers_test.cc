// Wine's spooler shows the private CUPS server's queues: the installed
// printers and the default are the ones the server itself reports, which
// scripts/test-windows passes in TARVO_TEST_PRINTERS (separated by blanks)
// and TARVO_TEST_DEFAULT_PRINTER.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/wine_harness.h"

namespace {

std::string narrow(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  return out;
}

std::vector<std::string> installed_printers() {
  constexpr DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0;
  DWORD count = 0;
  EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &count);
  std::vector<PRINTER_INFO_4W> buffer(needed / sizeof(PRINTER_INFO_4W) + 1);
  const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(PRINTER_INFO_4W));
  if (!EnumPrintersW(flags, nullptr, 4, reinterpret_cast<BYTE*>(buffer.data()), bytes, &needed, &count)) {
    ADD_FAILURE() << "EnumPrintersW failed: " << GetLastError();
    return {};
  }
  std::vector<std::string> names;
  for (DWORD i = 0; i < count; ++i) names.push_back(narrow(buffer[i].pPrinterName));
  std::sort(names.begin(), names.end());
  return names;
}

std::string default_printer() {
  DWORD size = 0;
  GetDefaultPrinterW(nullptr, &size);
  std::wstring name(size, L'\0');
  if (size == 0 || !GetDefaultPrinterW(name.data(), &size)) return "";
  return narrow(name.c_str());
}

TEST(WinePrinters, AreTheQueuesOfTheCupsServer) {
  EXPECT_EQ(installed_printers(), tarvo::test::sorted_words(tarvo::test::harness_value("TARVO_TEST_PRINTERS")));
  EXPECT_EQ(default_printer(), tarvo::test::harness_value("TARVO_TEST_DEFAULT_PRINTER"));
}

}  // namespace
