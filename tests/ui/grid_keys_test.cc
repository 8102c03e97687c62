#include "ui/grid_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo::ui {
namespace {

// Records what reached the callbacks; the window ends when `ending_key`
// comes down, as a print key ends it.
struct Grid {
  std::string seen;
  bool ended = false;
  int ending_key = 'I';
  GridKeys keys{[this](int k) {
                  seen += "k" + std::to_string(k) + " ";
                  if (k == ending_key) ended = true;
                },
                [this](int c) { seen += "c" + std::to_string(c) + " "; }, [this] { return !ended; }};
};

KeyPress typed(int key, int character) { return {false, key, character, true}; }

TEST(GridKeys, AltBelongsToTheAcceleratorsAndNoCallback) {
  Grid g;
  EXPECT_EQ(g.keys.press({true, 'G', 0, true}), KeyNext::accelerators);
  EXPECT_EQ(g.keys.press({true, keys::other, 0, false}), KeyNext::accelerators);
  EXPECT_EQ(g.seen, "");
}

TEST(GridKeys, TypedKeysReachTheCallbacksOnlyAndMovingKeysTheGridToo) {
  Grid g;
  // A letter would move the row by the grid's own search by first letter.
  EXPECT_EQ(g.keys.press(typed('X', 'x')), KeyNext::nowhere);
  EXPECT_EQ(g.keys.press(typed(keys::escape, keys::escape)), KeyNext::nowhere);
  EXPECT_EQ(g.keys.press({false, keys::other, 0, false}), KeyNext::grid);  // Down
  EXPECT_EQ(g.keys.press({false, keys::enter, 13, false}), KeyNext::grid);
  EXPECT_EQ(g.seen, "k88 c120 k27 c27 k256 k13 c13 ");
}

TEST(GridKeys, KeyAndCharacterMayComeApart) {
  Grid g;
  EXPECT_EQ(g.keys.press({false, 'X', 0, true}), KeyNext::nowhere);
  EXPECT_EQ(g.keys.press({false, KeyPress::none, 'x', true}), KeyNext::nowhere);
  EXPECT_EQ(g.seen, "k88 c120 ");
}

TEST(GridKeys, NothingReachesACallbackOrTheGridOnceTheWindowEnded) {
  Grid g;
  // The key ends the window: its own character is dropped, and so is
  // whatever was still on its way.
  EXPECT_EQ(g.keys.press(typed('I', 'i')), KeyNext::nowhere);
  EXPECT_EQ(g.keys.press({false, KeyPress::none, 'i', true}), KeyNext::nowhere);
  EXPECT_EQ(g.keys.press({false, keys::other, 0, false}), KeyNext::nowhere);
  EXPECT_EQ(g.seen, "k73 ");
}

}  // namespace
}  // namespace tarvo::ui
