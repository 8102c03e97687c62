#include "launcher/help.h"

#include "launcher/shown_text.h"
#include "runtime/file_reading.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

constexpr std::string_view kHelpFile = "tarvousb.prg";
constexpr std::string_view kTopic = "Tarvo";
constexpr std::string_view kHelpFont = "Tahoma, 8, , ";

void erase_all(std::string& text, std::string_view what) {
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p))
    text.erase(p, what.size());
}

}  // namespace

std::string help_topic_text(std::string_view source, std::size_t& position) {
  position = ifind(source, std::string("static function ") + std::string(kTopic));
  if (position == 0) return {};
  std::string text(from_position(source, position));
  const std::size_t end = ifind(text, "\r\nreturn");
  if (end > 0) text.resize(std::min(text.size(), end + 11));
  erase_all(text, "\r\n   cFunc := ProcName( 0 )");
  return text;
}

std::string VER_HELP(Messages& messages, ui::Dialogs& dialogs) {
  std::size_t position = 0;
  const std::string text = shown_text(help_topic_text(read_whole_file(kHelpFile), position));
  messages.G_ERRO(Value(static_cast<double>(position)));
  if (!text.empty()) {
    ui::Point at = dialogs.pointer_position();
    at.y -= 20;
    dialogs.text_popup(text, at, kHelpFont);
  }
  return text;
}

void APAGAR_ARQUIVOS_TEMPORARIOS_TARVOUSB() {}

}  // namespace tarvo
