#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "ui/preview.h"

namespace tarvo {

struct Launcher;

inline constexpr std::string_view kSemJanelaPreview =
    "A Janela de PreView NAO pode ser aberta: nenhuma tela disponível neste Computador";
// When there is a display but no preview window could be made.
inline constexpr std::string_view kPreviewRecusada = "A Janela de PreView NAO pode ser aberta neste Computador";

// "PreView - " + the chooser's title: the preview names itself, and the
// file as the chooser does.
std::string preview_title(std::string_view version, std::string_view path);

// The preview window's words: its buttons, "Nada a imprimir" and the page
// counter ("Página 3 de 12").
ui::PreviewWords preview_words();

// Previews the job on `printer`: runs it into pages drawn as `printer` would
// print them, sending nothing to any printer, and shows them in the preview
// window. "Imprimir" there prints the job on `printer` in portrait as the
// print button does, and the run is over (run.outcome is set); "Fechar"
// leaves everything as it was, with nothing printed. A job that finds
// nothing to print, or fails, was reported and shows no window.
void preview_job(Launcher& run, std::string_view printer);

}  // namespace tarvo
