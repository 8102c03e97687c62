#pragma once

#include <vector>

#include "engine/code_pages.h"

namespace tarvo {

struct FigureRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const FigureRect&) const = default;
};

// A character cell, in any unit: `middle` is the height of the horizontal
// lines of box-drawing characters within it.
struct CharCell {
  int left = 0, top = 0, width = 0, height = 0;
  int middle = 0;
};

// How box lines are drawn: their thickness, and how far each line of a
// double line lies from the middle.
struct LinePen {
  int thickness = 1;
  int spread = 2;
};

// The rectangles that draw a box-drawing character in its cell. Lines run to
// the cell's edges, so that neighbouring cells join, and meet in the middle
// the way the characters show them: a double line stops at the double line
// it crosses, a corner closes on the outer line.
std::vector<FigureRect> box_lines(const BoxArms& arms, const CharCell& cell, const LinePen& pen);

// The part of the cell that a block or shade character fills.
FigureRect filled_part(const CellFill& fill, const CharCell& cell);

}  // namespace tarvo
