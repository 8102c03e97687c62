#include "printing/raw_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace tarvo {
namespace {

// Bytes from memory in pieces of a fixed size; a read fails at `fail_at`.
class Pieces final : public RawSource {
 public:
  Pieces(std::string data, std::size_t piece) : data_(std::move(data)), piece_(piece) {}
  std::size_t fail_at = std::string::npos;
  std::optional<std::size_t> read(std::span<char> buffer) override {
    if (at_ >= fail_at) return std::nullopt;
    const std::size_t n = std::min({buffer.size(), piece_, data_.size() - at_});
    std::memcpy(buffer.data(), data_.data() + at_, n);
    at_ += n;
    return n;
  }

 private:
  std::string data_;
  std::size_t piece_;
  std::size_t at_ = 0;
};

struct Copied {
  RawCopy result;
  std::vector<std::string> writes;
  std::string all() const {
    std::string out;
    for (const std::string& w : writes) out += w;
    return out;
  }
};

Copied copy(Pieces& source, std::size_t piece, std::size_t refuse_after = std::string::npos) {
  Copied c;
  c.result = copy_raw_data(source, piece, [&](std::string_view bytes) {
    if (c.writes.size() == refuse_after) return false;
    c.writes.emplace_back(bytes);
    return true;
  });
  return c;
}

// Whatever size the source reads in, the data goes on in whole pieces but
// the last, and only its final 0x1A is left out.
TEST(RawCopy, OnlyTheFinalEndOfFileByteIsLeftOutWhateverThePieces) {
  std::string data(1000, 'x');
  data[99] = data[199] = data[500] = 0x1A;
  for (const std::size_t read_size : {1u, 7u, 100u, 101u, 4096u}) {
    Pieces source(data + '\x1A', read_size);
    const Copied c = copy(source, 100);
    EXPECT_EQ(c.result, RawCopy::done);
    EXPECT_EQ(c.all(), data) << read_size;
    for (const std::string& w : c.writes) EXPECT_LE(w.size(), 100u);
  }
  Pieces whole(data + '\x1A', 4096);
  EXPECT_EQ(copy(whole, 100).writes.size(), 10u);
}

TEST(RawCopy, EmptyDataAndALoneMarkWriteNothing) {
  for (const std::string data : {"", "\x1A"}) {
    Pieces source(data, 10);
    const Copied c = copy(source, 100);
    EXPECT_EQ(c.result, RawCopy::done);
    EXPECT_TRUE(c.writes.empty());
  }
  Pieces two("\x1A\x1A", 10);
  EXPECT_EQ(copy(two, 100).all(), "\x1A");
}

TEST(RawCopy, AFailedReadOrWriteEndsTheCopy) {
  Pieces source(std::string(1000, 'x'), 100);
  source.fail_at = 300;
  const Copied read_failed = copy(source, 100);
  EXPECT_EQ(read_failed.result, RawCopy::read_failed);
  Pieces refused(std::string(1000, 'x'), 100);
  const Copied write_failed = copy(refused, 100, 2);
  EXPECT_EQ(write_failed.result, RawCopy::write_failed);
  EXPECT_EQ(write_failed.writes.size(), 2u);
}

}  // namespace
}  // namespace tarvo
