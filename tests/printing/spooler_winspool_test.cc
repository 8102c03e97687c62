// The spooler of Windows, under wine, whose printers are the queues of the
// private CUPS server that scripts/test-windows starts: it passes their
// names in TARVO_TEST_PRINTERS (separated by blanks) and the default in
// TARVO_TEST_DEFAULT_PRINTER. Raw jobs go to the second queue and are read
// back from its captures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "printing/printer_service.h"
#include "tests/support/test_support.h"
#include "tests/support/wine_harness.h"

namespace tarvo {
namespace {

constexpr const char* kQueue = "tarvo-wine-2";
constexpr std::size_t kChunk = 32 * 1024;

std::string all_byte_values(std::size_t size) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i % 256);
  return data;
}

// Bytes from memory, in pieces of a size that does not divide the spooler's.
class MemorySource final : public RawSource {
 public:
  explicit MemorySource(std::string data) : data_(std::move(data)) {}
  std::optional<std::size_t> read(std::span<char> buffer) override {
    const std::size_t n = std::min({buffer.size(), std::size_t{10000}, data_.size() - at_});
    std::memcpy(buffer.data(), data_.data() + at_, n);
    at_ += n;
    return n;
  }

 private:
  std::string data_;
  std::size_t at_ = 0;
};

struct Winspool : ::testing::Test {
  std::unique_ptr<PrinterService> spooler = make_system_printer_service();
  test::TempDir dir;
};

TEST_F(Winspool, PrintersAndDefaultAreTheServersQueues) {
  std::vector<std::string> names = spooler->GETPRINTERS();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, test::sorted_words(test::harness_value("TARVO_TEST_PRINTERS")));
  EXPECT_EQ(spooler->GETDEFAULTPRINTER(), test::harness_value("TARVO_TEST_DEFAULT_PRINTER"));
}

// Every byte value arrives; of the 0x1A bytes only the file's final one is
// left out, not one that ends a piece sent to the spooler. Without a title
// the job is named for the file.
TEST_F(Winspool, RawFilesArriveByteForByte) {
  std::string data = all_byte_values(2 * kChunk + 300);
  data[kChunk - 1] = 0x1A;
  data[2 * kChunk - 1] = 0x1A;
  const test::WineCaptures captures(kQueue);
  const auto file = dir.write("dados.prn", data + '\x1A');
  ASSERT_EQ(spooler->PRINTFILERAW(Value(kQueue), Value(file.string())), 1);
  EXPECT_EQ(captures.wait_for(file.string()), data);
}

TEST_F(Winspool, RawSourcesArriveWithTheirTitle) {
  const std::string data = all_byte_values(3 * kChunk);
  const test::WineCaptures captures(kQueue);
  MemorySource source(data + '\x1A');
  EXPECT_EQ(spooler->send_raw(kQueue, source, "Teste Impressao").code, RawResult::sent);
  EXPECT_EQ(captures.wait_for("Teste Impressao"), data);
}

TEST_F(Winspool, EachFailingStepHasItsCode) {
  const auto file = dir.write("dados.prn", "dados");
  EXPECT_EQ(spooler->PRINTFILERAW(Value(), Value(file.string())), -1);
  EXPECT_EQ(spooler->PRINTFILERAW(Value(kQueue), Value(3)), -1);
  EXPECT_EQ(spooler->PRINTFILERAW(Value("Nao_Existe"), Value(file.string())), -2);
  EXPECT_EQ(spooler->PRINTFILERAW(Value(kQueue), Value((dir.path() / "nenhum.prn").string())), -6);
  EXPECT_EQ(spooler->PRINTFILERAW(Value(kQueue), Value(dir.path().string())), -6);
}

// Run alone, with CUPS_SERVER naming a socket where no server listens
// (wine drops the printers it no longer finds, for every process).
TEST(WithoutPrintServer, NoPrintersAndNoDefault) {
  const auto spooler = make_system_printer_service();
  EXPECT_EQ(spooler->GETPRINTERS(), std::vector<std::string>{});
  EXPECT_EQ(spooler->GETDEFAULTPRINTER(), "");
}

}  // namespace
}  // namespace tarvo
