#include "engine/dos_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>

#include "printing/page_device_cairo.h"
#include "runtime/text.h"
#include "tests/engine/page_fixture.h"
#include "tests/support/pdf_text.h"
#include "tests/support/private_cups.h"

namespace tarvo {
namespace {

using test::RecordedJob;

TEST(DosPages, RendersOneDocumentTitledAsTheRawJobAndReleasesThePage) {
  RecordedJob job;
  EXPECT_TRUE(print_dos_as_pages(job.services, "Laser", "Ol\xA0\r\n\x1B" "E" "fim\f"));
  EXPECT_EQ(job.rec.documents_ended, 1);
  EXPECT_EQ(job.rec.events_starting("start_document").at(0), "start_document Teste Impressao");
  ASSERT_EQ(job.rec.texts.size(), 2u);
  EXPECT_EQ(job.rec.texts[0].text, "Ol\xE1");
  EXPECT_EQ(job.rec.pages_ended, 1);
  EXPECT_FALSE(job.state.OPRINTER);
  EXPECT_EQ(job.rec.open_devices, 0);
  EXPECT_TRUE(job.messages.errors.empty());
}

TEST(DosPages, EveryFailureIsReported) {
  RecordedJob unknown;
  unknown.devices.known = {"Laser"};
  EXPECT_FALSE(print_dos_as_pages(unknown.services, "Matricial", "texto"));
  EXPECT_EQ(unknown.messages.alerts, std::vector<std::string>{"Nao foi possivel achar a impressora, Favor verifique."});

  RecordedJob refused;
  refused.devices.refuse_documents = true;
  EXPECT_FALSE(print_dos_as_pages(refused.services, "Laser", "texto"));
  EXPECT_EQ(refused.messages.errors, std::vector<std::string>{"A impressora Laser não aceitou o documento."});
  EXPECT_FALSE(refused.state.OPRINTER);

  // Only codes and blanks: no blank sheet goes out, and the user hears why.
  RecordedJob empty;
  EXPECT_FALSE(print_dos_as_pages(empty.services, "Laser", "\x1B@\x1B" "E   \r\n\f\x1BK\x02"));
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

std::string esc(std::string_view codes) { return "\x1B" + std::string(codes); }
std::string spaces(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

// An invoice as a DOS system writes it for a matrix printer, in code page 850.
std::string invoice() {
  std::string f = esc("@");
  f += esc("W1") + esc("E") + "NOTA FISCAL" + esc("F") + esc("W0") + "\r\n\r\n";             // line 0
  f += "Cliente:\tJos\x82 Concei\x87\xC6o\r\n";                                                // line 2
  f += esc("-1") + "Endere\x87o" + esc("-0") + ": Rua S\xC6o Jo\xC6o, n\xA7 12\r\n";           // line 3
  f += "\xDA" + std::string(38, '\xC4') + "\xBF\r\n";                                          // line 4
  f += "\xB3 Total" + spaces(32) + "\xB3\r\n";                                                 // line 5
  f += "\xC0" + std::string(38, '\xC4') + "\xD9\r\n";                                          // line 6
  f += esc("M") + "Item" + spaces(26) + "Valor\r\n";                                           // line 7: 12 cpi
  f += "\x0F" + std::string("Produto") + spaces(63) + "R$\r\n";                                // line 8: 20 cpi
  f += esc("P") + "Condensado" + spaces(60) + "Fim17\x12\r\n";                                 // line 9: 17.14 cpi
  f += "Antes" + esc("K") + std::string("\x0A\x00", 2) + "\x0D\x0A\x0C\x1B@grafo" + "Depois ";                  // line 10
  f += "Meio" + esc("z") + "Texto\r\n";
  f += esc("0") + "Linha1\r\n" + esc("E") + "Negrito" + esc("F") + "\r\n\f";                   // 8 lpi
  f += "Pagina2\r\n\f";
  return f;
}

struct Expected {
  std::string word;  // as pdftotext gives it, UTF-8
  int page;
  double x_inches, down_inches;
};

TEST(DosPagesPrinted, InvoiceWordsLandAtTheirColumnsAndLines) {
  auto& server = test::PrivateCups::instance();
  server.add_queue("Dos_Pages");
  CairoJob job;
  ASSERT_TRUE(print_dos_as_pages(job.services, "Dos_Pages", invoice()));
  const auto jobs = server.wait_for_jobs("Dos_Pages", 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].title, "Teste Impressao");
  EXPECT_EQ(test::pdf_pages(jobs[0].data), 2);

  const double six = 1.0 / 6;
  const std::vector<Expected> expected = {
      {"NOTA", 1, 0, 0},           {"FISCAL", 1, 1.0, 0},
      {"Cliente:", 1, 0, 2 * six}, {"José", 1, 1.6, 2 * six},      {"Conceição", 1, 2.1, 2 * six},
      {"Endereço:", 1, 0, 3 * six}, {"Rua", 1, 1.0, 3 * six},      {"São", 1, 1.4, 3 * six},
      {"João,", 1, 1.8, 3 * six},  {"nº", 1, 2.4, 3 * six},         {"12", 1, 2.7, 3 * six},
      {"Total", 1, 0.2, 5 * six},
      {"Item", 1, 0, 7 * six},     {"Valor", 1, 30.0 / 12, 7 * six},
      {"Produto", 1, 0, 8 * six},  {"R$", 1, 70.0 / 20, 8 * six},
      {"Condensado", 1, 0, 9 * six}, {"Fim17", 1, 70 * 7.0 / 120, 9 * six},
      {"AntesDepois", 1, 0, 10 * six}, {"MeioTexto", 1, 1.2, 10 * six},
      {"Linha1", 1, 0, 11 * six},  {"Negrito", 1, 0, 11 * six + 1.0 / 8},
      {"Pagina2", 2, 0, 0},
  };
  const auto words = test::pdf_words(jobs[0].data);
  std::vector<std::string> found;
  for (const auto& w : words) found.push_back(w.text);
  std::vector<std::string> wanted;
  for (const auto& e : expected) wanted.push_back(e.word);
  std::sort(found.begin(), found.end());
  std::sort(wanted.begin(), wanted.end());
  EXPECT_EQ(found, wanted);  // every word of the file, and nothing else

  // The eight-inch line is centred on the A4 sheet; a baseline lies 1/6 inch
  // plus 7/72 below the line's top. pdftotext gives a word's box, whose
  // bottom is the face's descent below the baseline: the same for all words.
  const double left = (210 / 25.4 - 8) / 2 * 72;
  const auto baseline = [](double down) { return (1.0 / 6 + 7.0 / 72 + down) * 72; };
  const auto nota = std::find_if(words.begin(), words.end(), [](const auto& w) { return w.text == "NOTA"; });
  ASSERT_NE(nota, words.end());
  const double descent = nota->y_max - baseline(0);
  EXPECT_GT(descent, 0);
  EXPECT_LT(descent, 4.5);
  for (const Expected& e : expected) {
    const auto w = std::find_if(words.begin(), words.end(), [&](const auto& x) { return x.text == e.word; });
    if (w == words.end()) continue;
    EXPECT_EQ(w->page, e.page) << e.word;
    EXPECT_NEAR(w->x_min, left + e.x_inches * 72, 1.0) << e.word;
    EXPECT_NEAR(w->y_max, baseline(e.down_inches) + descent, 0.5) << e.word;
  }

  const std::string fonts = test::run_command("pdffonts '" + jobs[0].data.string() + "'");
  EXPECT_TRUE(std::regex_search(fonts, std::regex(R"(\+LiberationMono-Bold\s)"))) << fonts;
  EXPECT_TRUE(std::regex_search(fonts, std::regex(R"(\+LiberationMono\s)"))) << fonts;
}

}  // namespace
}  // namespace tarvo
