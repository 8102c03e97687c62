#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/chooser_table.h"
#include "ui/window.h"

namespace tarvo {

struct Launcher;

// How the window's print actions start a job: IMPRIMIR with the mode code
// and the printer.
using PrintCall = std::function<void(Launcher&, std::string_view mode, std::string_view printer)>;

// One entry of the hot-key table: a letter and what it does.
struct HotKey {
  char letter;
  std::function<void()> action;
};

// The printer chooser window of one run and its members (the table's alias
// CALIAS stays in the job state, where CRIA_TMP sets it).
struct Chooser {
  Chooser(Launcher& r, PrintCall p);

  Launcher& run;
  PrintCall print;
  ImpGridTable table;
  std::string OBRUSH;     // the bitmap that paints the grid's background
  ui::Font OFONTE12;
  std::unique_ptr<ui::Window> OWND;
  ui::Grid* OBRW = nullptr;
  std::vector<HotKey> WBOTAO;
};

// "TARVO Printers " + version + four blanks + the path without its last
// four characters.
std::string chooser_title(std::string_view version, std::string_view path);

// The stop-box text when no window can be shown.
inline constexpr std::string_view kSemJanela =
    "A Janela para Selecionar a Impressora NAO pode ser aberta: nenhuma tela disponível neste "
    "Computador";

// The stop-box text when there is a display but the system refused the window.
inline constexpr std::string_view kJanelaRecusada =
    "A Janela para Selecionar a Impressora NAO pode ser aberta neste Computador";

// Builds the chooser window over the filled table IMP. Without a display it
// says so in the stop box and gives null.
std::unique_ptr<Chooser> build_chooser_window(Launcher& run, PrintCall print);

// The button bar on the grid's window.
ui::ToolBar& BTNBAR(ui::Grid& OBRW, ui::Window& OWND, Chooser& chooser);

// Builds the printer chooser window over the filled table IMP and runs it
// until it is closed or a print action has run the job.
void open_chooser_window(Launcher& run);

}  // namespace tarvo
