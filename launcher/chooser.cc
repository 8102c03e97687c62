#include "launcher/chooser.h"

#include "launcher/chooser_actions.h"
#include "launcher/shown_text.h"
#include "launcher/startup.h"

namespace tarvo {
namespace {

constexpr ui::Rect kFrame{100, 100, 550, 680};  // top, left, bottom, right: 580 x 450
constexpr int kColumnWidth = 500;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 50;
constexpr std::string_view kRodape = "Impressoras para Selecionar - rodape";

ui::WindowLook look_of(const WindowEnvironment& env) {
  return {env.balloon_tooltips, env.focus_colour, env.european_numbers};
}

struct Button {
  const char* bitmap;
  const char* caption;
  const char* message;
  const char* tooltip;
  const char* tooltip_title;
  void (*action)(Chooser&);
};

// The bar in its order. The quit button's status message is the program's
// own text as it always read.
constexpr Button kButtons[] = {
    {"REPORT", "&Imprimir", "Imprimir o Arquivo", "Imprimir o Arquivo", "Imprimir",
     print_first_button},
    {"REPORT", "paisa&Gem", "Imprimir o Arquivo", "Imprimir o Arquivo", "Imprimir",
     [](Chooser& c) { print_current_row(c, "4"); }},
    {"SEARCH", "&PreView", "Módulo para Visualizar o Arquivo a ser Impresso.",
     "Módulo para Visualizar o Arquivo a ser Impresso, Antes da Impressão deste Arquivo.", "PreView",
     [](Chooser& c) { print_current_row(c, "1"); }},
    {"HELP", "&Ajuda", "Como Configurar a Impressão no Tarvo Printers.",
     "Como Configurar a Impressão no Tarvo Printers.", "Ajuda", show_help},
    {"EXIT", "&Sair", "Opção para Sair do Tarvo Printerto Excel", "Opção para Sair do Tarvo Printers.",
     "Abandonar Impressão", ask_to_quit},
};

}  // namespace

Chooser::Chooser(Launcher& r, PrintCall p) : run(r), print(std::move(p)), table(r.state.IMP, r.state.WPADRAO) {}

std::string chooser_title(std::string_view version, std::string_view path) {
  // Characters, not bytes: a path with accents loses exactly four.
  const std::string shown = shown_text(path);
  return "TARVO Printers " + std::string(version) + "    " + std::string(drop_last_characters(shown, 4));
}

ui::ToolBar& BTNBAR(ui::Grid&, ui::Window& OWND, Chooser& chooser) {
  ui::ToolBar& bar = OWND.add_tool_bar(kButtonWidth, kButtonHeight);
  for (const Button& b : kButtons) {
    bar.add_button({b.bitmap, b.caption, b.message, b.tooltip, b.tooltip_title,
                    [&chooser, action = b.action] { action(chooser); }});
  }
  return bar;
}

std::unique_ptr<Chooser> build_chooser_window(Launcher& run, PrintCall print) {
  auto c = std::make_unique<Chooser>(run, std::move(print));
  c->OBRUSH = "PEDRA";
  c->OFONTE12 = ui::Font{"TAHOMA", 12};
  const ui::WindowDesc desc{chooser_title(run.state.W_VERSAO_VAZ, run.state.VARQ_IMPRIMIR), kFrame,
                            look_of(run.window_environment)};
  c->OWND = run.toolkit.create_window(desc);
  if (!c->OWND) {
    run.messages.G_ERRO(Value(std::string(run.toolkit.has_display() ? kJanelaRecusada : kSemJanela)));
    return nullptr;
  }

  Chooser* self = c.get();
  ui::GridDesc grid;
  grid.table = &c->table;
  grid.header = "Impressora";
  grid.footer = true;
  grid.font = c->OFONTE12;
  grid.column_width = kColumnWidth;
  grid.background_bitmap = c->OBRUSH;
  grid.on_key_down = [self](int key) { VER_TECLA(key, self->WBOTAO, *self->OBRW, *self->OWND); };
  grid.on_char = [self](int ch) { ESC_TECLA(ch, *self->OWND, *self->OBRW, self->run.messages); };
  c->OBRW = &c->OWND->add_grid(grid);
  c->OBRW->set_focus();

  c->WBOTAO = hot_key_table(*c);
  BTNBAR(*c->OBRW, *c->OWND, *c);
  c->OWND->set_status_bar({std::string(kRodape), false, c->OFONTE12});
  c->OWND->on_first_show([self] { self->OBRW->set_focus(); });
  return c;
}

void open_chooser_window(Launcher& run) {
  // The window's own close control ends the run without a question: the
  // quit button, "S" and Esc are the ways that ask.
  if (auto chooser = build_chooser_window(run, IMPRIMIR)) chooser->OWND->run();
}

}  // namespace tarvo
