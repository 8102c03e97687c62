#include "engine/driver.h"

#include <gtest/gtest.h>

#include <functional>

#include "printing/dot_count.h"
#include "printing/page_preview.h"
#include "tests/engine/page_fixture.h"
#include "tests/engine/print_file.h"

namespace tarvo {
namespace {

using test::record;

std::string command(std::string_view code) { return record({"S", "0", "0", code}); }
std::string text(std::string_view row, std::string_view column, std::string_view content,
                 std::string_view before = "", std::string_view after = "") {
  return record({"N", row, column, content, before, after});
}

struct Driver : ::testing::Test {
  test::RecordedJob job;
  PageRecording& rec = job.rec;

  JobOutcome run(std::string file) {
    job.state.V_DADOS_ARQUIVO = std::move(file);
    return IMPRIMIR_TXT(job.services, "Laser");
  }
  std::vector<std::string> drawn() const {
    std::vector<std::string> t;
    for (const auto& d : rec.texts) t.push_back(d.text);
    return t;
  }
};

TEST_F(Driver, TypicalReportOverThreePages) {
  const auto outcome = run(command("NP") + command("ST") + command("12") +
                           text("1", "10", "Titulo", "NI", "ND") + text("3", "5", "linha") +
                           command("EP") + text("1", "0", "pagina 2") + command("EP") +
                           text("66", "79", "fim") + "=+IMPRESSAO_DIRETA+=");
  EXPECT_EQ(outcome, JobOutcome::done);
  EXPECT_TRUE(job.messages.errors.empty());
  EXPECT_TRUE(job.messages.alerts.empty());
  EXPECT_EQ(rec.documents_ended, 1);
  EXPECT_EQ(rec.pages_ended, 3);
  EXPECT_EQ(rec.open_devices, 0);
  EXPECT_FALSE(job.state.OPRINTER);
  EXPECT_EQ(job.state.CPRINTER, "Laser");

  ASSERT_EQ(drawn(), (std::vector<std::string>{"Titulo", "linha", "pagina 2", "fim"}));
  const auto& title = rec.texts[0];
  EXPECT_EQ(title.x, 10 * 50);  // pitch 12: 50 dots a column
  EXPECT_EQ(title.y, 2 * 100);
  EXPECT_EQ(title.font.weight, 800);
  EXPECT_EQ(rec.texts[1].font.weight, 400);
  EXPECT_EQ(rec.texts[2].page, 2);
  EXPECT_EQ(rec.texts[3].page, 3);
  EXPECT_EQ(rec.texts[3].y, 67 * 100);

  // Portrait A4, one copy, quality 3 as the driver asks for it.
  ASSERT_FALSE(rec.settings.empty());
  EXPECT_EQ(rec.settings[0].form, FormSpec(9));
  EXPECT_EQ(rec.settings[0].landscape, false);
  EXPECT_EQ(rec.settings[0].copies, 1);
  EXPECT_EQ(rec.settings[0].quality, 3);
}

// The window's landscape button prints on turned sheets; every other mode
// prints portrait. The page model takes its sheet from the device.
TEST_F(Driver, ModeFourPrintsLandscape) {
  const std::string file = command("NP") + command("ST") + text("1", "1", "x");
  for (const std::string_view mode : {"4", "2", "1"}) {
    rec.settings.clear();
    job.state.V_DADOS_ARQUIVO = file;
    EXPECT_EQ(IMPRIMIR_TXT(job.services, "Laser", mode), JobOutcome::done);
    ASSERT_FALSE(rec.settings.empty());
    EXPECT_EQ(rec.settings[0].landscape, mode == "4") << mode;
  }
}

// A previewed DOS-standard file shows the pages the interpreter draws, with
// a note that printing sends the file itself; nothing is sent.
TEST_F(Driver, PreviewedDosFileShowsItsPagesAndSendsNothing) {
  PreviewDocument preview;
  job.services.preview = &preview;
  EXPECT_EQ(run("=+IMPRESSAO_PADRAO_DO_DOS+=Linha um\r\n\f"), JobOutcome::dos);
  EXPECT_EQ(drawn(), std::vector<std::string>{"Linha um"});
  EXPECT_EQ(rec.documents_ended, 1);
  EXPECT_TRUE(job.messages.errors.empty()) << job.messages.errors[0];  // the spooler refuses every send
  EXPECT_EQ(preview.note, dos_preview_note(11));
  EXPECT_NE(dos_preview_note(1234567).find("(1.234.567 bytes)"), std::string::npos) << dos_preview_note(1234567);

  // A marker at the end is cut out where it stands, as the raw send does;
  // a run that prints such files as pages says that these pages print.
  rec.texts.clear();
  job.state.dos_output = "paginas";
  EXPECT_EQ(run("Linha dois\r\n=+IMPRESSAO_PADRAO_DO_DOS+=\f"), JobOutcome::dos);
  EXPECT_EQ(drawn(), std::vector<std::string>{"Linha dois"});
  EXPECT_EQ(preview.note, dos_preview_note(13, true));
  EXPECT_NE(preview.note.find("imprime estas páginas"), std::string::npos) << preview.note;
}

TEST_F(Driver, RecordsThatDrawNothingAbortTheDocument) {
  EXPECT_EQ(run(command("NP") + command("ST") + command("12") + record({"B", "0", "0", "", "NRO_COPIAS"})),
            JobOutcome::done);
  EXPECT_EQ(rec.documents_aborted, 1);
  EXPECT_EQ(rec.documents_ended, 0);
}

TEST_F(Driver, DosModeFromTheFirstRecordSkipsTextsAndBrackets) {
  run(record({"B", "0", "0", "", "IMP_DOS"}) + command("NP") + command("ST") + command("NI") +
      text("1", "1", "texto") + command("EP") + command("EJ"));
  EXPECT_EQ(job.state.W_IMPRESSAO_DOS, "S");
  EXPECT_EQ(rec.events_starting("open ").size(), 1u);  // "NP" still acts
  EXPECT_TRUE(rec.events_starting("start_document").empty());
  EXPECT_TRUE(rec.events_starting("end_page").empty());
  EXPECT_TRUE(rec.events_starting("end_document").empty());
  EXPECT_TRUE(rec.events_starting("abort_document").empty());
  EXPECT_TRUE(rec.texts.empty());
  EXPECT_EQ(rec.open_devices, 0);
  EXPECT_TRUE(job.messages.errors.empty());
}

TEST_F(Driver, ImpDosElsewhereHasNoEffect) {
  run(command("NP") + record({"B", "0", "0", "", "IMP_DOS"}) + command("ST") + text("1", "1", "x"));
  EXPECT_EQ(drawn(), std::vector<std::string>{"x"});
  EXPECT_EQ(rec.documents_ended, 1);
}

TEST_F(Driver, JobModeRecordsAreNotPrinted) {
  run(command("NP") + command("ST") + text("-13", "-15", "=+impressao_direta+=") +
      text("-13", "-15", "=+IMPRESSAO_PREVIEW+= x") + text("-13", "-15", "outro") +
      text("-13", "-14", "=+IMPRESSAO_DIRETA+="));
  EXPECT_EQ(drawn(), (std::vector<std::string>{"outro", "=+IMPRESSAO_DIRETA+="}));
}

TEST_F(Driver, UnknownCommandsAndEjectDoNothing) {
  run(command("NP") + command("ST") + command("XX") + command("EJ") + command("") +
      text("1", "1", "x"));
  EXPECT_EQ(drawn(), std::vector<std::string>{"x"});
  EXPECT_EQ(rec.fonts.size(), 1u);  // only the default font of Create
  EXPECT_EQ(rec.pages_ended, 1);
  EXPECT_TRUE(job.messages.errors.empty());
}

TEST_F(Driver, AttributeCommandAppliesAtTheRecordPosition) {
  run(command("NP") + command("ST") + record({"S", "4", "2", "NIII "}) + text("5", "1", "x"));
  ASSERT_EQ(rec.texts.size(), 1u);
  EXPECT_EQ(rec.texts[0].font.weight, 800);
  EXPECT_TRUE(rec.texts[0].font.italic);
}

TEST_F(Driver, RecordsWithASlipMarkerPrintAsRecords) {
  const auto outcome = run("=+inicio_boleto+=" + command("NP") + command("ST") +
                           text("1", "1", "=+inicio_boleto+=") + text("2", "1", "=+final_boleto+="));
  EXPECT_EQ(outcome, JobOutcome::done);
  EXPECT_EQ(drawn().size(), 2u);
}

TEST_F(Driver, FileWithoutRecordsOrMarkersIsReported) {
  EXPECT_EQ(run("apenas texto"), JobOutcome::not_found);
  ASSERT_EQ(job.messages.errors.size(), 1u);
  EXPECT_EQ(job.messages.errors[0],
            "Nao Achou o Inicio da Impressao do Arquivo \r\n"
            "Ou a versao do Kelm/Tarvo vorquelle e antiga,\r\n"
            "ou o Usuário NÃO está configurado para usar o TarvoUSB em Z541");
  EXPECT_TRUE(rec.events.empty());
}

// A record that needs the page object before any "NP" is reported and ends
// the job; nothing after it is read.
TEST_F(Driver, RecordsBeforeTheFirstNewPageEndTheJob) {
  for (const std::string& early : {text("1", "1", "cedo"), command("ST"), command("EP"), command("NI"),
                                   command("12"), command("8l")}) {
    test::RecordedJob fresh;
    fresh.state.V_DADOS_ARQUIVO = command("XX") + command("EJ") + early + command("NP") + command("ST") +
                                  text("1", "1", "x");
    EXPECT_EQ(IMPRIMIR_TXT(fresh.services, "Laser"), JobOutcome::done);
    EXPECT_EQ(fresh.messages.errors, std::vector<std::string>{std::string(kSemPagina)}) << early;
    EXPECT_TRUE(fresh.rec.events.empty()) << early;
  }
}

// A document the printer refuses, a page it cannot take and a document lost
// at its end each stop the job with the reason: nothing is drawn after the
// failure and nothing of the document prints.
TEST_F(Driver, RefusedOrFailedDocumentsEndTheJobWithTheReason) {
  struct Case {
    std::function<void(RecordingPageDevices&)> fail;
    std::string message;
    std::size_t drawn;
  };
  const std::vector<Case> cases = {
      {[](auto& d) { d.refuse_documents = true; },
       "A impressora Laser recusou o trabalho: sem papel", 0},
      {[](auto& d) { d.failing_page = 1; },
       "Não foi possível imprimir na impressora Laser: sem papel", 1},
      {[](auto& d) { d.lose_documents = true; },
       "A impressora Laser recusou o trabalho: sem papel", 2},
  };
  for (const Case& c : cases) {
    test::RecordedJob fresh;
    fresh.devices.failure_reason = "sem papel";
    c.fail(fresh.devices);
    fresh.state.V_DADOS_ARQUIVO = command("NP") + command("ST") + text("1", "1", "um") + command("EP") +
                                  text("1", "1", "dois");
    EXPECT_EQ(IMPRIMIR_TXT(fresh.services, "Laser"), JobOutcome::failed) << c.message;
    EXPECT_EQ(fresh.messages.errors, std::vector<std::string>{c.message});
    EXPECT_EQ(fresh.rec.documents_ended, 0) << c.message;
    EXPECT_EQ(fresh.rec.open_devices, 0) << c.message;
    EXPECT_FALSE(fresh.state.OPRINTER);
    EXPECT_EQ(fresh.rec.texts.size(), c.drawn) << c.message;
  }
}

// A second "NP" whose earlier document was lost ends the job there.
TEST_F(Driver, LostDocumentBeforeASecondNewPageEndsTheJob) {
  job.devices.lose_documents = true;
  EXPECT_EQ(run(command("NP") + command("ST") + text("1", "1", "um") + command("NP") + command("ST") +
                text("1", "1", "dois")),
            JobOutcome::failed);
  EXPECT_EQ(job.messages.errors.size(), 1u);
  EXPECT_EQ(rec.events_starting("open ").size(), 1u);
}

// A position number too long for a double is a huge position, held off the
// sheet like any other wild one, not column 0.
TEST_F(Driver, PositionsBeyondADoubleStayFarOff) {
  run(command("NP") + command("ST") + text("1", std::string(400, '9'), "longe") +
      text(std::string(400, '9'), "1", "abaixo"));
  ASSERT_EQ(drawn(), (std::vector<std::string>{"longe", "abaixo"}));
  EXPECT_EQ(rec.texts[0].x, kDotLimit);
  EXPECT_EQ(rec.texts[1].y, kDotLimit);
}

TEST_F(Driver, SecondNewPageEndsTheFirstDocument) {
  run(command("NP") + command("ST") + text("1", "1", "primeiro") + command("NP") + command("ST") +
      text("1", "1", "segundo"));
  EXPECT_EQ(rec.documents_ended, 2);
  EXPECT_EQ(rec.events_starting("open ").size(), 2u);
  EXPECT_EQ(rec.open_devices, 0);
  // The first document ends before the second printer is opened.
  const auto first_end = std::find(rec.events.begin(), rec.events.end(), "end_document");
  const auto second_open = std::find(first_end, rec.events.end(), "open Laser");
  EXPECT_NE(second_open, rec.events.end());
}

TEST_F(Driver, PrinterNotFoundAlertsThenEndsQuietly) {
  job.devices.known = {"Outra"};
  EXPECT_EQ(run(command("NP") + command("ST") + text("1", "1", "x") + command("EP")), JobOutcome::done);
  EXPECT_EQ(job.messages.alerts,
            std::vector<std::string>{"Nao foi possivel achar a impressora, Favor verifique."});
  EXPECT_TRUE(job.messages.errors.empty());
  EXPECT_FALSE(job.state.OPRINTER);
  EXPECT_TRUE(rec.texts.empty());
  EXPECT_EQ(rec.events, std::vector<std::string>{"open failed Laser"});
}

TEST_F(Driver, NewPageWithoutAFactoryIsAPrinterNotFound) {
  job.services.pages = nullptr;
  run(command("NP") + text("1", "1", "x"));
  EXPECT_EQ(job.messages.alerts.size(), 1u);
  EXPECT_TRUE(job.messages.errors.empty());
}

TEST_F(Driver, OptionalFieldsReachTheCommandsAsAbsentOrNumbers) {
  // Before codes with a font of their own: name, size and height given.
  run(command("NP") + command("ST") +
      record({"N", "1", "1", "x", "II", "", "", "", "", "", "", "", "Arial", "10", "12", "", "",
              "", "", "700"}));
  ASSERT_EQ(rec.texts.size(), 1u);
  EXPECT_EQ(rec.texts[0].font.face, "Arial");
  EXPECT_EQ(rec.texts[0].font.width, 50);
  EXPECT_EQ(rec.texts[0].font.weight, 700);
}

}  // namespace
}  // namespace tarvo
