#include "engine/code_pages.h"

#include <algorithm>
#include <array>

namespace tarvo {
namespace {

using UpperHalf = std::array<char16_t, 128>;

// The upper halves as Unicode code points, 0x80 first.
constexpr UpperHalf kCp437{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

constexpr UpperHalf kCp850{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

// 860 differs from 437 only below 0xB0.
constexpr UpperHalf kCp860 = [] {
  UpperHalf t = kCp437;
  constexpr char16_t head[48]{
      0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E3, 0x00E0, 0x00C1, 0x00E7,
      0x00EA, 0x00CA, 0x00E8, 0x00CD, 0x00D4, 0x00EC, 0x00C3, 0x00C2,
      0x00C9, 0x00C0, 0x00C8, 0x00F4, 0x00F5, 0x00F2, 0x00DA, 0x00F9,
      0x00CC, 0x00D5, 0x00DC, 0x00A2, 0x00A3, 0x00D9, 0x20A7, 0x00D3,
      0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
      0x00BF, 0x00D2, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
  };
  for (int i = 0; i < 48; ++i) t[i] = head[i];
  return t;
}();

// 858 is 850 with the euro sign in place of the dotless i.
constexpr UpperHalf kCp858 = [] {
  UpperHalf t = kCp850;
  t[0xD5 - 0x80] = 0x20AC;
  return t;
}();

struct BoxChar {
  char16_t code;
  BoxArms arms;  // up, down, left, right
};

constexpr std::array<BoxChar, 40> kBoxChars{{
    {0x2500, {0, 0, 1, 1}}, {0x2502, {1, 1, 0, 0}}, {0x250C, {0, 1, 0, 1}}, {0x2510, {0, 1, 1, 0}},
    {0x2514, {1, 0, 0, 1}}, {0x2518, {1, 0, 1, 0}}, {0x251C, {1, 1, 0, 1}}, {0x2524, {1, 1, 1, 0}},
    {0x252C, {0, 1, 1, 1}}, {0x2534, {1, 0, 1, 1}}, {0x253C, {1, 1, 1, 1}}, {0x2550, {0, 0, 2, 2}},
    {0x2551, {2, 2, 0, 0}}, {0x2552, {0, 1, 0, 2}}, {0x2553, {0, 2, 0, 1}}, {0x2554, {0, 2, 0, 2}},
    {0x2555, {0, 1, 2, 0}}, {0x2556, {0, 2, 1, 0}}, {0x2557, {0, 2, 2, 0}}, {0x2558, {1, 0, 0, 2}},
    {0x2559, {2, 0, 0, 1}}, {0x255A, {2, 0, 0, 2}}, {0x255B, {1, 0, 2, 0}}, {0x255C, {2, 0, 1, 0}},
    {0x255D, {2, 0, 2, 0}}, {0x255E, {1, 1, 0, 2}}, {0x255F, {2, 2, 0, 1}}, {0x2560, {2, 2, 0, 2}},
    {0x2561, {1, 1, 2, 0}}, {0x2562, {2, 2, 1, 0}}, {0x2563, {2, 2, 2, 0}}, {0x2564, {0, 1, 2, 2}},
    {0x2565, {0, 2, 1, 1}}, {0x2566, {0, 2, 2, 2}}, {0x2567, {1, 0, 2, 2}}, {0x2568, {2, 0, 1, 1}},
    {0x2569, {2, 0, 2, 2}}, {0x256A, {1, 1, 2, 2}}, {0x256B, {2, 2, 1, 1}}, {0x256C, {2, 2, 2, 2}},
}};

struct FillChar {
  char16_t code;
  CellFill fill;
};

constexpr std::array<FillChar, 9> kFillChars{{
    {0x2580, {0, 0, 4, 2, 100}},  // upper half
    {0x2584, {0, 2, 4, 4, 100}},  // lower half
    {0x2588, {0, 0, 4, 4, 100}},  // full block
    {0x258C, {0, 0, 2, 4, 100}},  // left half
    {0x2590, {2, 0, 4, 4, 100}},  // right half
    {0x2591, {0, 0, 4, 4, 25}},   // light shade
    {0x2592, {0, 0, 4, 4, 50}},   // medium shade
    {0x2593, {0, 0, 4, 4, 75}},   // dark shade
    {0x25A0, {1, 1, 3, 3, 100}},  // black square
}};

// Characters that Windows-1252 lacks, drawn as the nearest one it has.
struct StandIn {
  char16_t code;
  unsigned char byte;
};

constexpr std::array<StandIn, 31> kStandIns{{
    {0x20AC, 0x80}, {0x0192, 0x83}, {0x20A7, 'P'},  {0x2310, 0xAC}, {0x03B1, 'a'}, {0x0393, 'G'},
    {0x03C0, 'p'},  {0x03A3, 'S'},  {0x03C3, 's'},  {0x03C4, 't'},  {0x03A6, 'F'}, {0x0398, 'O'},
    {0x03A9, 'O'},  {0x03B4, 'd'},  {0x221E, '8'},  {0x03C6, 'f'},  {0x03B5, 'e'}, {0x2229, 'n'},
    {0x2261, '='},  {0x2265, '>'},  {0x2264, '<'},  {0x2320, '|'},  {0x2321, '|'}, {0x2248, '~'},
    {0x2219, 0xB7}, {0x221A, 'v'},  {0x207F, 'n'},  {0x0131, 'i'},  {0x2017, '_'}, {0x2020, 0x86},
    {0x2122, 0x99},
}};

PageGlyph glyph_for_code_point(char16_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return PageGlyph::text(static_cast<unsigned char>(code));
  for (const BoxChar& b : kBoxChars)
    if (b.code == code) return {PageGlyph::Kind::lines, 0, b.arms, {}};
  for (const FillChar& f : kFillChars)
    if (f.code == code) return {PageGlyph::Kind::fill, 0, {}, f.fill};
  for (const StandIn& s : kStandIns)
    if (s.code == code) return PageGlyph::text(s.byte);
  return {};
}

// The twelve ASCII positions that the international sets change, and what
// each set puts there.
constexpr std::array<unsigned char, 12> kNationalPositions{0x23, 0x24, 0x40, 0x5B, 0x5C, 0x5D,
                                                           0x5E, 0x60, 0x7B, 0x7C, 0x7D, 0x7E};

struct NationalSet {
  int id;
  std::array<char16_t, 12> chars;
};

constexpr std::array<NationalSet, 15> kNationalSets{{
    {0, {u'#', u'$', u'@', u'[', u'\\', u']', u'^', u'`', u'{', u'|', u'}', u'~'}},       // USA
    {1, {u'#', u'$', u'à', u'°', u'ç', u'§', u'^', u'`', u'é', u'ù', u'è', u'¨'}},         // France
    {2, {u'#', u'$', u'§', u'Ä', u'Ö', u'Ü', u'^', u'`', u'ä', u'ö', u'ü', u'ß'}},         // Germany
    {3, {u'£', u'$', u'@', u'[', u'\\', u']', u'^', u'`', u'{', u'|', u'}', u'~'}},       // UK
    {4, {u'#', u'$', u'@', u'Æ', u'Ø', u'Å', u'^', u'`', u'æ', u'ø', u'å', u'~'}},         // Denmark I
    {5, {u'#', u'¤', u'É', u'Ä', u'Ö', u'Å', u'Ü', u'é', u'ä', u'ö', u'å', u'ü'}},         // Sweden
    {6, {u'#', u'$', u'@', u'°', u'\\', u'é', u'^', u'ù', u'à', u'ò', u'è', u'ì'}},        // Italy
    {7, {0x20A7, u'$', u'@', u'¡', u'Ñ', u'¿', u'^', u'`', u'¨', u'ñ', u'}', u'~'}},       // Spain I
    {8, {u'#', u'$', u'@', u'[', u'¥', u']', u'^', u'`', u'{', u'|', u'}', u'~'}},         // Japan
    {9, {u'#', u'¤', u'É', u'Æ', u'Ø', u'Å', u'Ü', u'é', u'æ', u'ø', u'å', u'ü'}},         // Norway
    {10, {u'#', u'$', u'É', u'Æ', u'Ø', u'Å', u'Ü', u'é', u'æ', u'ø', u'å', u'ü'}},        // Denmark II
    {11, {u'#', u'$', u'á', u'¡', u'Ñ', u'¿', u'é', u'`', u'í', u'ñ', u'ó', u'ú'}},        // Spain II
    {12, {u'#', u'$', u'á', u'¡', u'Ñ', u'¿', u'é', u'ü', u'í', u'ñ', u'ó', u'ú'}},        // Latin America
    {13, {u'#', u'$', u'@', u'[', u'W', u']', u'^', u'`', u'{', u'|', u'}', u'~'}},        // Korea (won sign)
    {64, {u'#', u'$', u'§', u'°', u'\'', u'"', u'¶', u'`', u'©', u'®', 0x2020, 0x2122}},   // Legal
}};

const NationalSet* find_set(int set) {
  const auto it = std::find_if(kNationalSets.begin(), kNationalSets.end(),
                               [set](const NationalSet& s) { return s.id == set; });
  return it == kNationalSets.end() ? nullptr : &*it;
}

unsigned char to_1252(char16_t code) {
  const PageGlyph g = glyph_for_code_point(code);
  return g.kind == PageGlyph::Kind::text ? g.byte : '?';
}

}  // namespace

PageGlyph upper_half_glyph(CodeTable table, unsigned char byte) {
  if (byte < 0x80) return {};
  const std::size_t i = byte - 0x80u;
  switch (table) {
    case CodeTable::italic: return {};
    case CodeTable::cp437: return glyph_for_code_point(kCp437[i]);
    case CodeTable::cp850: return glyph_for_code_point(kCp850[i]);
    case CodeTable::cp858: return glyph_for_code_point(kCp858[i]);
    case CodeTable::cp860: return glyph_for_code_point(kCp860[i]);
    case CodeTable::windows1252: return PageGlyph::text(byte);
  }
  return {};
}

bool is_national_set(int set) { return find_set(set) != nullptr; }

unsigned char national_variant(int set, unsigned char ascii) {
  const NationalSet* s = find_set(set);
  if (s == nullptr) return ascii;
  const auto pos = std::find(kNationalPositions.begin(), kNationalPositions.end(), ascii);
  if (pos == kNationalPositions.end()) return ascii;
  return to_1252(s->chars[static_cast<std::size_t>(pos - kNationalPositions.begin())]);
}

std::optional<CodeTable> table_by_id(int d2, int d3) {
  if (d3 == 0) {
    switch (d2) {
      case 0: return CodeTable::italic;
      case 1: return CodeTable::cp437;
      case 3: return CodeTable::cp850;
      case 7: return CodeTable::cp860;
      case 44: return CodeTable::cp858;
      default: return std::nullopt;
    }
  }
  if (d2 == 29 && d3 == 16) return CodeTable::windows1252;  // ISO 8859-1
  return std::nullopt;
}

}  // namespace tarvo
