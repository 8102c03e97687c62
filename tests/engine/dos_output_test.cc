#include "engine/dos_output.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/page_device_recording.h"
#include "runtime/text.h"
#include "tests/support/fake_printers.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

const std::string kFile = "=+IMPRESSAO_PADRAO_DO_DOS+=\x1B@NOTA FISCAL\r\n\f";
const std::string kRefusedBox = "PrintFileRaw(): A impressora Laser recusou o trabalho: Unsupported document-format.";

TEST(DosOutputSetting, PagesOrRawWhateverTheCaseBlanksOrAccent) {
  for (const char* raw : {"", "  ", "bruto", " BRUTO "}) EXPECT_EQ(dos_output(raw), DosOutput::raw) << raw;
  for (const char* pages : {"paginas", "Paginas ", "p\xC3\xA1ginas", "P\xC3\x81GINAS"})
    EXPECT_EQ(dos_output(pages), DosOutput::pages) << pages;
  for (const char* other : {"pages", "raw", "1", "paginas2", "p\xE1ginas"})
    EXPECT_EQ(dos_output(other), DosOutput::unknown) << other;
}

// Every box as "kind: text", and whether the temporary file was there when
// it was shown: a box waits for the user, and the file's lock would keep
// every other run in the folder waiting.
class WatchedMessages final : public Messages {
 public:
  std::vector<std::string> boxes;
  bool answer = true;
  bool file_seen = false;
  void G_ERRO(const Value& message) override { shown("erro: " + display_text(message, RunSettings{})); }
  void alert(std::string_view message) override { shown("alerta: " + std::string(message)); }
  bool G_CONF(std::string_view question, std::string_view default_answer) override {
    shown("pergunta " + std::string(default_answer) + ": " + std::string(question));
    return answer;
  }

 private:
  void shown(std::string box) {
    boxes.push_back(std::move(box));
    file_seen = file_seen || fs::exists(fs::symlink_status("trv.txt"));
  }
};

// A DOS-standard job on printer "Laser" whose raw sends end with `result`.
class DosFile : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = fs::current_path();
    fs::current_path(dir.path());
    state.job_printer = "Laser";
  }
  void TearDown() override {
    fs::current_path(previous);
    EXPECT_FALSE(messages.file_seen);
    EXPECT_FALSE(state.OPRINTER);
    EXPECT_EQ(rec.open_devices, 0);
  }

  void print(int result, std::string_view output = {}) {
    spooler.emplace(result, "Unsupported document-format.");
    state.dos_output = std::string(output);
    JobServices services{state, *spooler, messages, &devices, nullptr};
    ASSERT_TRUE(print_dos_file(services, kFile));
  }
  std::vector<std::string> documents() const { return rec.events_starting("start_document"); }

  test::TempDir dir;
  fs::path previous;
  RecordingPageDevices devices;
  PageRecording& rec = devices.recording();
  std::optional<test::FixedResult> spooler;
  WatchedMessages messages;
  JobState state;
};

TEST_F(DosFile, RawDataThePrinterRefusesIsPrintedAsPagesWhenTheUserAgrees) {
  print(-9);
  EXPECT_EQ(spooler->sends, 1);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{"pergunta S: " + dos_refused_question("Laser")});
  EXPECT_EQ(dos_refused_question("Laser"),
            "A impressora Laser não aceita o arquivo no padrão DOS. Imprimir como páginas");
  EXPECT_EQ(documents(), std::vector<std::string>{"start_document Teste Impressao"});
  ASSERT_EQ(rec.texts.size(), 1u);
  EXPECT_EQ(rec.texts[0].text, "NOTA FISCAL");
  EXPECT_EQ(rec.documents_ended, 1);
}

TEST_F(DosFile, RefusalIsShownAsBeforeWhenTheUserSaysNo) {
  messages.answer = false;
  print(-9);
  EXPECT_EQ(messages.boxes, (std::vector<std::string>{"pergunta S: " + dos_refused_question("Laser"),
                                                      "erro: " + kRefusedBox}));
  EXPECT_TRUE(documents().empty());
}

TEST_F(DosFile, PagesThatFailTooAreReported) {
  devices.refuse_documents = true;
  print(-9);
  EXPECT_EQ(messages.boxes, (std::vector<std::string>{"pergunta S: " + dos_refused_question("Laser"),
                                                      "erro: A impressora Laser recusou o trabalho: motivo"}));
}

// Only the printer's refusal of the data is offered as pages: a queue that
// takes no jobs at all would refuse pages as well.
TEST_F(DosFile, OtherFailuresAskNothing) {
  print(-3);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{"erro: PrintFileRaw(): WinAPI StartDocPrinter() call failed"});
  EXPECT_TRUE(documents().empty());
}

TEST_F(DosFile, PagesChosenUpFrontSendNothingRaw) {
  print(1, " Paginas");
  EXPECT_EQ(spooler->sends, 0);
  EXPECT_TRUE(messages.boxes.empty()) << messages.boxes[0];
  EXPECT_EQ(documents(), std::vector<std::string>{"start_document Teste Impressao"});

  state.job_printer.clear();
  print(1, "paginas");
  EXPECT_EQ(messages.boxes, std::vector<std::string>{"erro: Não há impressora Instalada."});
  EXPECT_EQ(documents().size(), 1u);
}

TEST_F(DosFile, UnknownSettingIsToldAndTheFileGoesRaw) {
  print(1, "pdf\n");
  EXPECT_EQ(messages.boxes, std::vector<std::string>{
                                "alerta: TARVOUSB_DOS=\"pdf \" não é um valor conhecido (use paginas ou bruto): o "
                                "arquivo no padrão DOS vai à impressora sem alteração."});
  EXPECT_EQ(spooler->sends, 1);
  EXPECT_TRUE(documents().empty());
}

TEST_F(DosFile, OtherFilesAreLeftAlone) {
  spooler.emplace(1);
  state.dos_output = "paginas";
  JobServices services{state, *spooler, messages, &devices, nullptr};
  EXPECT_FALSE(print_dos_file(services, "NOTA FISCAL\r\n"));
  EXPECT_EQ(spooler->sends, 0);
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_TRUE(documents().empty());
}

}  // namespace
}  // namespace tarvo
