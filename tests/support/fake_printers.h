#pragma once

#include <string>
#include <utility>
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

// A spooler whose every raw send ends with one result code and reason; it
// counts the sends.
class FixedResult final : public PrinterService {
 public:
  explicit FixedResult(int result, std::string reason = {}) : result_(result), reason_(std::move(reason)) {}
  int sends = 0;
  std::vector<std::string> GETPRINTERS() override { return {}; }
  std::string GETDEFAULTPRINTER() override { return {}; }
  int PRINTFILERAW(const Value&, const Value&, const Value&) override {
    ++sends;
    return result_;
  }
  RawSendResult send_raw(std::string_view, RawSource&, std::string_view) override {
    ++sends;
    return {static_cast<RawResult>(result_), reason_};
  }

 private:
  int result_;
  std::string reason_;
};

}  // namespace tarvo::test
