#include "engine/dos_pages.h"

#include <gtest/gtest.h>

#include "printing/page_device_cairo.h"
#include "tests/engine/escp_invoice.h"
#include "tests/engine/page_fixture.h"
#include "tests/support/private_cups.h"

namespace tarvo {
namespace {

using test::RecordedJob;

// The data either side of a cut marker is one: here an ESC E split by it.
TEST(DosPages, RendersOneDocumentTitledAsTheRawJobAndReleasesThePage) {
  RecordedJob job;
  EXPECT_TRUE(print_dos_as_pages(job.services, "Laser", {"Ol\xA0\r\n\x1B", "E" "fim\f"}));
  EXPECT_EQ(job.rec.documents_ended, 1);
  EXPECT_EQ(job.rec.events_starting("start_document").at(0), "start_document Teste Impressao");
  ASSERT_EQ(job.rec.texts.size(), 2u);
  EXPECT_EQ(job.rec.texts[0].text, "Ol\xE1");
  EXPECT_EQ(job.rec.texts[1].font.weight, 800);
  EXPECT_EQ(job.rec.pages_ended, 1);
  EXPECT_FALSE(job.state.OPRINTER);
  EXPECT_EQ(job.rec.open_devices, 0);
  EXPECT_TRUE(job.messages.errors.empty());
}

TEST(DosPages, EveryFailureIsReported) {
  RecordedJob unknown;
  unknown.devices.known = {"Laser"};
  EXPECT_FALSE(print_dos_as_pages(unknown.services, "Matricial", {"texto", {}}));
  EXPECT_EQ(unknown.messages.alerts, std::vector<std::string>{"Nao foi possivel achar a impressora, Favor verifique."});

  RecordedJob refused;
  refused.devices.refuse_documents = true;
  EXPECT_FALSE(print_dos_as_pages(refused.services, "Laser", {"texto", {}}));
  EXPECT_EQ(refused.messages.errors, std::vector<std::string>{"A impressora Laser recusou o trabalho: motivo"});
  EXPECT_FALSE(refused.state.OPRINTER);

  // Lost by the print system at its end, or a page that could not be drawn:
  // not reported as printed.
  RecordedJob lost;
  lost.devices.lose_documents = true;
  EXPECT_FALSE(print_dos_as_pages(lost.services, "Laser", {"texto", {}}));
  EXPECT_EQ(lost.messages.errors, std::vector<std::string>{"A impressora Laser recusou o trabalho: motivo"});
  RecordedJob undrawn;
  undrawn.devices.failing_page = 2;
  EXPECT_FALSE(print_dos_as_pages(undrawn.services, "Laser", {"um\fdois\ftr\xEAs", {}}));
  EXPECT_EQ(undrawn.messages.errors,
            std::vector<std::string>{"Não foi possível imprimir na impressora Laser: motivo"});
  EXPECT_EQ(undrawn.rec.open_devices, 0);

  // Only codes and blanks: no blank sheet goes out, and the user hears why.
  RecordedJob empty;
  EXPECT_FALSE(print_dos_as_pages(empty.services, "Laser", {"\x1B@\x1B" "E   \r\n\f\x1BK\x02", {}}));
  EXPECT_EQ(empty.rec.documents_aborted, 1);
  EXPECT_EQ(empty.rec.documents_ended, 0);
  EXPECT_EQ(empty.messages.errors, std::vector<std::string>{"O arquivo no padrão DOS não tem nada para imprimir."});
}

// ---- through the cairo device and a private CUPS queue -------------------

struct CairoJob {
  CairoPageDevices devices;
  test::NoSpooler spooler;
  test::RecordingMessages messages;
  JobState state;
  JobServices services{state, spooler, messages, &devices, nullptr};
};

TEST(DosPagesPrinted, InvoiceWordsLandAtTheirColumnsAndLines) {
  auto& server = test::PrivateCups::instance();
  server.add_queue("Dos_Pages");
  CairoJob job;
  ASSERT_TRUE(print_dos_as_pages(job.services, "Dos_Pages", {test::escp_invoice(), {}}));
  const auto jobs = server.wait_for_jobs("Dos_Pages", 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].title, "Teste Impressao");
  test::expect_invoice_pages(jobs[0].data);
}

}  // namespace
}  // namespace tarvo
