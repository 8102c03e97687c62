#include "launcher/messages.h"

#include <gtest/gtest.h>

#include "launcher/help.h"
#include "launcher/run_settings.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

struct Boxes : ::testing::Test {
  test::ScriptedDialogs dialogs;
  RunSettings settings;
  LauncherMessages messages{dialogs, settings};
  void SetUp() override { CONF_AMBIENTE(settings); }
};

TEST_F(Boxes, StopBoxTitleAndValues) {
  messages.G_ERRO(Value("texto"));
  messages.G_ERRO(Value(0));
  messages.G_ERRO(Value(true));
  ASSERT_EQ(dialogs.shown.size(), 3u);
  EXPECT_EQ(dialogs.shown[0].title, " -= TarvoUSB =- ");
  EXPECT_EQ(dialogs.shown[0].icon, ui::Icon::stop);
  EXPECT_EQ(dialogs.shown[0].text, "texto");
  EXPECT_EQ(dialogs.shown[1].text, "0");
  EXPECT_EQ(dialogs.shown[2].text, ".T.");
}

TEST_F(Boxes, RuntimeErrorIsOneStopBoxNamingEachFact) {
  RuntimeError e;
  e.gencode = 1001;
  e.subcode = -1;
  e.subsystem = "TOleAuto";
  e.description = "CO_E_CLASSSTRING";
  e.operation = "CobreBemX.ContaCorrente";
  messages.runtime_error(e);
  messages.runtime_error(RuntimeError{});
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].icon, ui::Icon::stop);
  EXPECT_EQ(dialogs.shown[0].title, " -= TarvoUSB =- ");
  EXPECT_EQ(dialogs.shown[0].text,
            "Erro de execução TOleAuto/1001 (subcódigo -1)\nDescrição: CO_E_CLASSSTRING\n"
            "Operação: CobreBemX.ContaCorrente\nA impressão foi interrompida.");
  EXPECT_EQ(dialogs.shown[1].text,
            "Erro de execução BASE/1001\nDescrição: sem descrição\nA impressão foi interrompida.");
}

TEST_F(Boxes, QuestionAppendsMarkAndBlanks) {
  dialogs.answers = {true};
  EXPECT_TRUE(messages.G_CONF("Deseja abandonar a impressão"));
  EXPECT_FALSE(messages.G_CONF("Outra"));  // no answer queued: No
  EXPECT_EQ(dialogs.shown[0].title, "   TARVO Sistemas");
  EXPECT_EQ(dialogs.shown[0].text, "Deseja abandonar a impressão ?     ");
}

TEST(ConsoleBoxes, QuestionTakesTheDefaultAnswer) {
  ui::ConsoleDialogs console;
  RunSettings settings;
  LauncherMessages messages(console, settings);
  testing::internal::CaptureStderr();
  const bool no = messages.G_CONF("Pergunta");
  const bool yes = messages.G_CONF("Pergunta", "S");
  messages.G_ERRO(Value("linha 1\r\nlinha 2"));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(no);
  EXPECT_TRUE(yes);
  // GoogleTest reads what it captured back as text: on Windows the box's
  // own line break comes back without its carriage return.
#ifdef _WIN32
  const std::string line_break = "\n";
#else
  const std::string line_break = "\r\n";
#endif
  EXPECT_EQ(err,
            "   TARVO Sistemas: Pergunta ?     \n"
            "   TARVO Sistemas: Pergunta ?     \n"
            " -= TarvoUSB =- : linha 1" + line_break + "linha 2\n");
}

TEST(RunSettings, ConfAmbiente) {
  RunSettings s;
  CONF_AMBIENTE(s);
  EXPECT_FALSE(s.exact);
  EXPECT_EQ(s.decimals, 5);
  EXPECT_TRUE(s.century);
  EXPECT_EQ(s.epoch, 1925);
}

TEST(Help, TopicTextUpToItsReturnLine) {
  const std::string source =
      "* help source\r\n"
      "STATIC FUNCTION TARVO()\r\n"
      "   cFunc := ProcName( 0 )\r\n"
      "   Configure a impressora padrao.\r\n"
      "return nil\r\n"
      "static function Outra()\r\n";
  std::size_t pos = 0;
  const std::string text = help_topic_text(source, pos);
  EXPECT_EQ(pos, 16u);
  EXPECT_EQ(text,
            "STATIC FUNCTION TARVO()\r\n"
            "   Configure a impressora padrao.\r\n"
            "return nil");
}

TEST(Help, MissingReturnKeepsTheRestAndMissingTopicGivesNothing) {
  std::size_t pos = 0;
  EXPECT_EQ(help_topic_text("x static function Tarvox\r\nabc", pos), "static function Tarvox\r\nabc");
  EXPECT_EQ(pos, 3u);
  EXPECT_EQ(help_topic_text("nothing here", pos), "");
  EXPECT_EQ(pos, 0u);
}

TEST(Help, WithoutTheSourceOnlyTheZeroIsShown) {
  test::TempDir dir;
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  test::ScriptedDialogs dialogs;
  RunSettings settings;
  LauncherMessages messages(dialogs, settings);
  EXPECT_EQ(VER_HELP(messages, dialogs), "");
  dir.write("tarvousb.prg", "static function Tarvo\r\n   Ajuda\r\nreturn .t.\r\n");
  dialogs.pointer = {400, 300};
  EXPECT_EQ(VER_HELP(messages, dialogs), "static function Tarvo\r\n   Ajuda\r\nreturn .t.");
  std::filesystem::current_path(cwd);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].text, "0");
  EXPECT_EQ(dialogs.shown[1].text, "1");
  ASSERT_EQ(dialogs.popups.size(), 1u);
  EXPECT_EQ(dialogs.last_popup_at.x, 400);
  EXPECT_EQ(dialogs.last_popup_at.y, 280);
}

TEST(Help, AFolderNamedLikeTheSourceShowsOnlyTheZero) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.path() / "tarvousb.prg");
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  test::ScriptedDialogs dialogs;
  RunSettings settings;
  LauncherMessages messages(dialogs, settings);
  const std::string shown = VER_HELP(messages, dialogs);
  std::filesystem::current_path(cwd);
  EXPECT_EQ(shown, "");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "0");
  EXPECT_TRUE(dialogs.popups.empty());
}

}  // namespace
}  // namespace tarvo
