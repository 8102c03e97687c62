#pragma once

#include <string>
#include <string_view>

#include "engine/messages.h"
#include "ui/dialogs.h"

namespace tarvo {

// Help: shows where the help topic starts in "tarvousb.prg" of the current
// folder (a stop box with the position), then the topic's text in a pop-up
// at the mouse pointer. Returns the text shown (UTF-8; empty when none):
// a source in UTF-8 is read as such, any other as Windows-1252.
std::string VER_HELP(Messages& messages, ui::Dialogs& dialogs);

// The part of a help source that the pop-up shows for the topic "Tarvo";
// `position` receives where the topic starts (1-based, 0 when absent).
std::string help_topic_text(std::string_view source, std::size_t& position);

// The temporary-file clean-up step. It removes nothing.
void APAGAR_ARQUIVOS_TEMPORARIOS_TARVOUSB();

}  // namespace tarvo
