#include "launcher/chooser_actions.h"

#include <cctype>

#include "launcher/help.h"
#include "launcher/startup.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

char upper_char(int code) { return static_cast<char>(std::toupper(static_cast<unsigned char>(code))); }

void refocus(Chooser& c) {
  if (c.OBRW != nullptr) c.OBRW->set_focus();
}

// The job has run: nothing returns to the window.
void end_after_job(Chooser& c) {
  if (c.OWND) c.OWND->end();
}

}  // namespace

void print_current_row(Chooser& c, std::string_view mode) {
  c.print(c.run, mode, c.run.state.IMP.current_printer());
  // A preview closed without printing leaves the window as it was.
  if (c.run.outcome) {
    end_after_job(c);
  } else {
    refocus(c);
  }
}

void print_first_button(Chooser& c) {
  if (upper(right(c.run.state.VARQ_IMPRIMIR, 4)) != ".DBF") {
    print_current_row(c, "2");
    return;
  }
  run_print_job(c.run, "");
  end_after_job(c);
}

void show_help(Chooser& c) {
  VER_HELP(c.run.messages, c.run.toolkit.dialogs_lazy());
  refocus(c);
}

void ask_to_quit(Chooser& c) {
  if (c.run.messages.G_CONF(kAbandonar)) {
    c.OWND->end();
    return;
  }
  refocus(c);
}

std::vector<HotKey> hot_key_table(Chooser& c) {
  return {
      {'I', [&c] { print_current_row(c, "2"); }},
      {'G', [&c] { print_current_row(c, "4"); }},
      {'P', [&c] { print_current_row(c, "1"); }},
      {'S', [&c] { ask_to_quit(c); }},
  };
}

void VER_TECLA(int key, const std::vector<HotKey>& WBOTAO, ui::Grid& OBRW, ui::Window& OWND) {
  // Codes above 255 are keys without a character of their own.
  if (key >= 0 && key <= 255) {
    const char pressed = upper_char(key);
    for (const HotKey& entry : WBOTAO) {
      if (upper_char(entry.letter) == pressed) {
        entry.action();
        break;
      }
    }
  }
  if (!OWND.ended()) OBRW.set_focus();
}

void ESC_TECLA(int character, ui::Window& OWND, ui::Grid& OBRW, Messages& messages) {
  if (character == ui::keys::escape && messages.G_CONF(kConfirmaAbandono)) OWND.end();
  if (!OWND.ended()) OBRW.set_focus();
}

}  // namespace tarvo
