#include "engine/box_drawing.h"

#include <algorithm>

namespace tarvo {
namespace {

// One arm of a character, seen from the middle of the cell: its weight, the
// arm straight across from it, and the two arms at right angles (the one on
// the negative side first: up for a horizontal arm, left for a vertical one).
struct Arm {
  int weight;
  int opposite;
  int across_negative;
  int across_positive;
};

// How far past the middle a line of `arm` runs (negative: it stops short),
// for the line at `offset` from the middle.
int reach(const Arm& arm, int offset, int spread) {
  const int same_side = offset < 0 ? arm.across_negative : offset > 0 ? arm.across_positive : 0;
  // Two double lines crossing: the line on the side of the other arm stops
  // at that arm's near line, leaving the corner open.
  if (arm.weight == 2 && same_side == 2) return -spread;
  // A straight line goes on through the middle.
  if (arm.opposite != 0) return 0;
  const int across = std::max(arm.across_negative, arm.across_positive);
  const int far = across == 2 ? spread : 0;
  // Ending at a line that goes on both ways, it stops at that line's near
  // side; ending at a corner, it closes it on the far side.
  return arm.across_negative != 0 && arm.across_positive != 0 ? -far : far;
}

// The offsets of an arm's lines from the middle.
std::vector<int> line_offsets(int weight, int spread) {
  if (weight == 1) return {0};
  if (weight == 2) return {-spread, spread};
  return {};
}

}  // namespace

std::vector<FigureRect> box_lines(const BoxArms& a, const CharCell& c, const LinePen& pen) {
  const int t = pen.thickness;
  const int before = t / 2;        // a line at p covers p - before up to p + after
  const int after = t - before;
  const int cx = c.left + c.width / 2;
  const int cy = c.middle;
  const int right = c.left + c.width;
  const int bottom = c.top + c.height;
  std::vector<FigureRect> out;

  const Arm left{a.left, a.right, a.up, a.down};
  const Arm right_arm{a.right, a.left, a.up, a.down};
  const Arm up{a.up, a.down, a.left, a.right};
  const Arm down{a.down, a.up, a.left, a.right};

  for (const int o : line_offsets(left.weight, pen.spread)) {
    const int end = cx + reach(left, o, pen.spread) + after;
    out.push_back({c.left, cy + o - before, end - c.left, t});
  }
  for (const int o : line_offsets(right_arm.weight, pen.spread)) {
    const int start = cx - reach(right_arm, o, pen.spread) - before;
    out.push_back({start, cy + o - before, right - start, t});
  }
  for (const int o : line_offsets(up.weight, pen.spread)) {
    const int end = cy + reach(up, o, pen.spread) + after;
    out.push_back({cx + o - before, c.top, t, end - c.top});
  }
  for (const int o : line_offsets(down.weight, pen.spread)) {
    const int start = cy - reach(down, o, pen.spread) - before;
    out.push_back({cx + o - before, start, t, bottom - start});
  }
  return out;
}

FigureRect filled_part(const CellFill& f, const CharCell& c) {
  const int x0 = c.left + c.width * f.left / 4;
  const int x1 = c.left + c.width * f.right / 4;
  const int y0 = c.top + c.height * f.top / 4;
  const int y1 = c.top + c.height * f.bottom / 4;
  return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace tarvo
