#pragma once

#include <cstdint>
#include <optional>

namespace tarvo {

// The character tables a matrix printer prints with. Bytes of 0x80 and above
// are read through the table in force; the lower half is ASCII, with the
// national variants of the international character sets.
enum class CodeTable : std::uint8_t {
  italic,       // the upper half repeats the lower half in italics
  cp437,
  cp850,        // multilingual; what Brazilian DOS systems print in
  cp858,        // 850 with the euro sign
  cp860,        // Portuguese
  windows1252,  // also standing for ISO 8859-1, of which it is a superset
};

// Lines of a box-drawing character, from the middle of its cell to each
// edge: 0 none, 1 single, 2 double.
struct BoxArms {
  std::uint8_t up = 0, down = 0, left = 0, right = 0;
  bool operator==(const BoxArms&) const = default;
};

// A block or shade character: the part of its cell it fills, in quarters of
// the cell's width and height, and how dark (100 is black).
struct CellFill {
  std::uint8_t left = 0, top = 0, right = 4, bottom = 4;
  std::uint8_t percent = 100;
  bool operator==(const CellFill&) const = default;
};

// What a printer character becomes on a page: a Windows-1252 byte that the
// page devices draw, lines, a filled part of the cell, or nothing at all (a
// position of the table that holds no character).
struct PageGlyph {
  enum class Kind : std::uint8_t { none, text, lines, fill };
  Kind kind = Kind::none;
  unsigned char byte = 0;
  BoxArms arms;
  CellFill fill;

  static PageGlyph text(unsigned char b) { return {Kind::text, b, {}, {}}; }
  bool operator==(const PageGlyph&) const = default;
};

// The glyph of a byte of 0x80 or above in `table`. The italic table's upper
// half is the caller's business (it needs the italic attribute), so it gives
// none here.
PageGlyph upper_half_glyph(CodeTable table, unsigned char byte);

// The character an international character set (0 to 13, 64) prints for an
// ASCII byte, as a Windows-1252 byte.
unsigned char national_variant(int set, unsigned char ascii);
bool is_national_set(int set);

// The table that `ESC ( t` names by its two identifying bytes; nullopt for
// tables this program does not know.
std::optional<CodeTable> table_by_id(int d2, int d3);

}  // namespace tarvo
