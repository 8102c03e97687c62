// The cross-built zint library encodes a slip's Interleaved 2 of 5 bars:
// the symbol's bars and spaces are the standard's narrow and wide elements.
#include <zint.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SymbolDelete {
  void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

// Widths of the alternating bars and spaces of the symbol's only row, in modules.
std::vector<int> element_widths(const zint_symbol& symbol) {
  std::vector<int> widths;
  bool previous = false;
  for (int column = 0; column < symbol.width; ++column) {
    const bool dark = (symbol.encoded_data[0][column / 8] >> (column % 8)) & 1;
    if (column == 0 || dark != previous) widths.push_back(0);
    ++widths.back();
    previous = dark;
  }
  return widths;
}

// The standard's elements: N narrow, W wide; each pair of digits interleaves
// the first one's bars with the second one's spaces.
std::string interleaved_2_of_5(const std::string& digits) {
  static const char* const kDigit[] = {"NNWWN", "WNNNW", "NWNNW", "WWNNN", "NNWNW",
                                       "WNWNN", "NWWNN", "NNNWW", "WNNWN", "NWNWN"};
  std::string elements = "NNNN";
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    const char* bars = kDigit[digits[i] - '0'];
    const char* spaces = kDigit[digits[i + 1] - '0'];
    for (int k = 0; k < 5; ++k) elements += {bars[k], spaces[k]};
  }
  return elements + "WNN";
}

TEST(Zint, EncodesInterleaved2of5) {
  // A bank slip's 44-digit bar code.
  const std::string digits = "23797000000012345679201234567890000001234560";
  std::unique_ptr<zint_symbol, SymbolDelete> symbol(ZBarcode_Create());
  ASSERT_NE(symbol, nullptr);
  symbol->symbology = BARCODE_C25INTER;
  ASSERT_EQ(ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(digits.data()),
                            static_cast<int>(digits.size())),
            0)
      << symbol->errtxt;
  ASSERT_EQ(symbol->rows, 1);

  const std::vector<int> widths = element_widths(*symbol);
  std::string elements;
  for (int width : widths) elements += width == 1 ? 'N' : 'W';
  EXPECT_EQ(elements, interleaved_2_of_5(digits));
  const int wide = *std::max_element(widths.begin(), widths.end());
  EXPECT_GE(wide, 2);
  for (int width : widths) EXPECT_TRUE(width == 1 || width == wide) << width;
}

}  // namespace
