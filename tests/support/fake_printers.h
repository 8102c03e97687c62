#pragma once

#include <string>
#include <vector>

#include "printing/printer_service.h"

namespace tarvo::test {

// A printer list and default printer set by the test; raw jobs succeed.
class FakePrinters final : public PrinterService {
 public:
  std::vector<std::string> names;
  std::string default_name;
  int enumerations = 0;
  std::vector<std::string> GETPRINTERS() override {
    ++enumerations;
    return names;
  }
  std::string GETDEFAULTPRINTER() override { return default_name; }
  int PRINTFILERAW(const Value&, const Value&, const Value&) override { return 1; }
  RawSendResult send_raw(std::string_view, RawSource&, std::string_view) override { return {}; }
};

}  // namespace tarvo::test
