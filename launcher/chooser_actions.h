#pragma once

#include <string_view>
#include <vector>

#include "launcher/chooser.h"

namespace tarvo {

class Messages;

inline constexpr std::string_view kAbandonar = "Deseja abandonar a impressão";
inline constexpr std::string_view kConfirmaAbandono = "Confirma o abandono da Impressão";

// The window's actions. Each print action runs its job to the end and then
// closes the window, which ends the run; a preview closed without printing
// returns to the window.
void print_current_row(Chooser& c, std::string_view mode);
// The first button: a ".DBF" path (any case) runs the driver without a
// printer; any other path prints on the current row with mode "2".
void print_first_button(Chooser& c);
void show_help(Chooser& c);
// Asks "Deseja abandonar a impressão" (default No); yes closes the window.
void ask_to_quit(Chooser& c);

// The hot keys "I", "G", "P", "S", in that order.
std::vector<HotKey> hot_key_table(Chooser& c);

// The grid's key-down handling: the first hot key whose letter is the key's
// character (upper-cased) runs; the grid then gets the focus.
void VER_TECLA(int key, const std::vector<HotKey>& WBOTAO, ui::Grid& OBRW, ui::Window& OWND);

// The grid's character handling: Esc asks "Confirma o abandono da
// Impressão" (default No) and closes the window on yes; the grid then gets
// the focus.
void ESC_TECLA(int character, ui::Window& OWND, ui::Grid& OBRW, Messages& messages);

}  // namespace tarvo
