#include "ui/grid_keys.h"

#include <utility>

namespace tarvo::ui {

GridKeys::GridKeys(std::function<void(int)> on_key_down, std::function<void(int)> on_char,
                   std::function<bool()> live)
    : on_key_down_(std::move(on_key_down)), on_char_(std::move(on_char)), live_(std::move(live)) {}

KeyNext GridKeys::press(const KeyPress& p) const {
  if (p.alt) return KeyNext::accelerators;
  if (p.key != KeyPress::none && on_key_down_ && live_()) on_key_down_(p.key);
  if (p.character != 0 && on_char_ && live_()) on_char_(p.character);
  if (p.types || !live_()) return KeyNext::nowhere;
  return KeyNext::grid;
}

}  // namespace tarvo::ui
