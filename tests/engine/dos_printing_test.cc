#include "engine/dos_printing.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <future>

#include "engine/driver.h"
#include "printing/spooler_cups.h"
#include "printing/temp_file.h"
#include "tests/support/fake_printers.h"
#include "tests/support/private_cups.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using test::PrivateCups;

constexpr std::string_view kMarker = "=+IMPRESSAO_PADRAO_DO_DOS+=";

// Printer data with every byte value, printer control sequences and an
// end-of-file mark of its own, followed by the marker again so that it
// lies in the tail of a long file.
std::string long_printer_data() {
  std::string data = "\x1b@\x1b" "E negrito \x1b" "F\r\n\x0c";
  while (data.size() < 40000)
    for (int b = 0; b < 256; ++b) data += static_cast<char>(b);
  return data + "\x1a" + std::string(kMarker);
}

class DosPrinting : public ::testing::Test {
 protected:
  void SetUp() override {
    cups.add_queue(queue);
    previous = fs::current_path();
    fs::current_path(dir.path());
    state.V_ENTER = "\r\n";
    state.IMP.open = true;
    state.IMP.append(queue, queue);
  }
  void TearDown() override { fs::current_path(previous); }

  bool print(std::string_view text) { return IMPRESSAO_PADRAO_DOS_PRINTFILE(services, text); }
  bool temp_file_left() const { return fs::exists(fs::symlink_status(dir.path() / "trv.txt")); }

  PrivateCups& cups = PrivateCups::instance();
  std::string queue = std::string("Dos_") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
  test::TempDir dir;
  fs::path previous;
  JobState state;
  CupsSpooler spooler;
  test::RecordingMessages messages;
  JobServices services{state, spooler, messages};
};

TEST_F(DosPrinting, ShortFileArrivesWithoutMarkerUnderTheFixedTitle) {
  std::string file = std::string(kMarker) + "\x1b" "E";
  while (file.size() < 150) file += static_cast<char>('a' + file.size() % 26);
  ASSERT_TRUE(print(file));

  const auto jobs = cups.wait_for_jobs(queue, 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].bytes(), file.substr(27));
  EXPECT_EQ(jobs[0].bytes().size(), 123u);
  EXPECT_EQ(jobs[0].title, "Teste Impressao");
  EXPECT_FALSE(temp_file_left());
  EXPECT_TRUE(messages.errors.empty());
  EXPECT_EQ(state.NRESULT, 1);
  EXPECT_EQ(state.CPRINTER, queue);
  std::string shown = file.substr(27, 60);
  shown[0] = ' ';  // the ESC, made readable
  EXPECT_EQ(state.CMSG, "PrintFileRaw(): " + shown + "... (123 bytes) Impressão OK!!!");
}

TEST_F(DosPrinting, LongFileWithEveryByteArrivesUnchanged) {
  const std::string data = long_printer_data();
  ASSERT_TRUE(print(std::string(kMarker) + data));
  const auto jobs = cups.wait_for_jobs(queue, 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].bytes(), data);
}

TEST_F(DosPrinting, LowerCaseMarkerIsFound) {
  ASSERT_TRUE(print("=+impressao_padrao_do_dos+=dados"));
  EXPECT_EQ(cups.wait_for_jobs(queue, 1).at(0).bytes(), "dados");
}

// A file that does not begin with the marker loses only the marker in its
// tail: its first bytes are printer data like the rest.
TEST_F(DosPrinting, MarkerOnlyInTheTailIsAllThatIsLeftOut) {
  const std::string head = "\x1b@NOTA FISCAL 000123\r\n" + std::string(300, '-') + "\r\n";
  ASSERT_TRUE(print(head + "=+Impressao_Padrao_Do_Dos+=" + "\x0c\r\n"));
  EXPECT_EQ(cups.wait_for_jobs(queue, 1).at(0).bytes(), head + "\x0c\r\n");
}

TEST_F(DosPrinting, MarkerBeforeTheTailIsNotFoundAndTheDriverSaysSo) {
  state.V_DADOS_ARQUIVO = std::string(kMarker) + std::string(201, 'x');
  EXPECT_FALSE(print(state.V_DADOS_ARQUIVO));
  EXPECT_EQ(IMPRIMIR_TXT(services, queue), JobOutcome::not_found);
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_EQ(messages.errors[0].rfind("Nao Achou o Inicio da Impressao do Arquivo ", 0), 0u);
  EXPECT_FALSE(temp_file_left());
}

TEST_F(DosPrinting, RefusedJobsAreShownAndLeaveNoTemporaryFile) {
  cups.run("cupsreject " + queue);
  ASSERT_TRUE(print(std::string(kMarker) + "x"));
  state.IMP.rows[0].impressora = "Dos_No_Such_Queue";
  ASSERT_TRUE(print(std::string(kMarker) + "x"));
  EXPECT_EQ(messages.errors, (std::vector<std::string>{
                                 "PrintFileRaw(): WinAPI StartDocPrinter() call failed",
                                 "PrintFileRaw(): WinAPI OpenPrinter() call failed"}));
  EXPECT_EQ(state.NRESULT, -2);
  EXPECT_FALSE(temp_file_left());
}

// A stopped queue accepts the job and keeps it until it is started again.
TEST_F(DosPrinting, StoppedQueueKeepsTheJobForLater) {
  cups.run("cupsdisable " + queue);
  ASSERT_TRUE(print(std::string(kMarker) + "guardado"));
  EXPECT_EQ(state.NRESULT, 1);
  EXPECT_TRUE(messages.errors.empty());
  cups.run("cupsenable " + queue);
  EXPECT_EQ(cups.wait_for_jobs(queue, 1).at(0).bytes(), "guardado");
}

TEST_F(DosPrinting, NoPrinterIsReportedBeforeAnythingIsWritten) {
  state.IMP.rows.clear();
  ASSERT_TRUE(print(std::string(kMarker) + "x"));
  EXPECT_EQ(messages.errors, std::vector<std::string>{"Não há impressora Instalada."});
  EXPECT_FALSE(temp_file_left());
}

// A file that asked to print at once never opened the printer table: the
// driver's printer is used.
TEST_F(DosPrinting, WithoutThePrinterTableTheDriversPrinterIsUsed) {
  state.IMP = ImpTable{};
  state.V_DADOS_ARQUIVO = std::string(kMarker) + "direto";
  EXPECT_EQ(IMPRIMIR_TXT(services, queue), JobOutcome::dos);
  EXPECT_EQ(cups.wait_for_jobs(queue, 1).at(0).bytes(), "direto");
}

TEST_F(DosPrinting, LinkNamedLikeTheTemporaryFileIsNotFollowed) {
  const auto target = dir.write("alvo.txt", "intocado");
  fs::create_symlink(target, dir.path() / "trv.txt");
  ASSERT_TRUE(print(std::string(kMarker) + "x"));
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_EQ(messages.errors[0], "PrintFileRaw(): Não foi possível gravar o arquivo temporário "
                                "\"trv.txt\" na pasta " + dir.path().string() +
                                    " (o nome é um link simbólico)");
  EXPECT_EQ(test::read_file(target), "intocado");
  EXPECT_TRUE(fs::is_symlink(dir.path() / "trv.txt"));
  EXPECT_EQ(state.NRESULT, -1);
}

TEST_F(DosPrinting, FolderThatCannotBeWrittenIsReported) {
  fs::create_directory(dir.path() / "gone");
  fs::current_path(dir.path() / "gone");
  fs::remove(dir.path() / "gone");
  ASSERT_TRUE(print(std::string(kMarker) + "x"));
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_EQ(messages.errors[0].rfind("PrintFileRaw(): Não foi possível gravar o arquivo temporário "
                                     "\"trv.txt\" na pasta ", 0),
            0u);
}

// A second run in the same folder waits for the first one's send instead of
// overwriting its data.
TEST_F(DosPrinting, RunsInOneFolderTakeTurnsWithTheTemporaryFile) {
  auto other = std::make_unique<LockedTempFile>("trv.txt");
  ASSERT_TRUE(other->write("dados da outra"));
  auto second = std::async(std::launch::async, [&] { return print(std::string(kMarker) + "meus"); });
  EXPECT_EQ(second.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
  EXPECT_EQ(test::read_file(dir.path() / "trv.txt"), "dados da outra");
  other.reset();
  EXPECT_TRUE(second.get());
  EXPECT_EQ(cups.wait_for_jobs(queue, 1).at(0).bytes(), "meus");
  EXPECT_FALSE(temp_file_left());
}

// Someone who can write in the folder swaps the temporary file, or puts a
// link to another file in its place, after it was written: what is sent is
// still what was written.
class SwappingSpooler final : public PrinterService {
 public:
  SwappingSpooler(PrinterService& real, fs::path replacement)
      : real_(real), replacement_(std::move(replacement)) {}
  std::vector<std::string> GETPRINTERS() override { return real_.GETPRINTERS(); }
  std::string GETDEFAULTPRINTER() override { return real_.GETDEFAULTPRINTER(); }
  int PRINTFILERAW(const Value& printer, const Value& file, const Value& title) override {
    swap();
    return real_.PRINTFILERAW(printer, file, title);
  }
  RawSendResult send_raw(std::string_view printer, RawSource& source, std::string_view title) override {
    swap();
    return real_.send_raw(printer, source, title);
  }

 private:
  void swap() {
    fs::remove("trv.txt");
    if (fs::is_symlink(replacement_))
      fs::copy_symlink(replacement_, "trv.txt");
    else
      fs::copy_file(replacement_, "trv.txt");
  }
  PrinterService& real_;
  fs::path replacement_;
};

TEST_F(DosPrinting, TemporaryFileSwappedBeforeTheSendChangesNothingSent) {
  const auto forged = dir.write("forjado.txt", "dados forjados");
  fs::create_directory(dir.path() / "links");
  fs::create_symlink(dir.write("segredo.txt", "segredo do usuario"), dir.path() / "links" / "link");
  for (const fs::path& replacement : {forged, dir.path() / "links" / "link"}) {
    SwappingSpooler swapping(spooler, replacement);
    JobServices swapped{state, swapping, messages};
    ASSERT_TRUE(IMPRESSAO_PADRAO_DOS_PRINTFILE(swapped, std::string(kMarker) + "dados reais"));
    EXPECT_EQ(state.NRESULT, 1);
  }
  const auto jobs = cups.wait_for_jobs(queue, 2);
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].bytes(), "dados reais");
  EXPECT_EQ(jobs[1].bytes(), "dados reais");
  EXPECT_TRUE(messages.errors.empty()) << messages.errors[0];
}

// A box waits for the user; every other run in the folder waits for the
// temporary file's lock. So the file is gone before any box is shown.
class BoxesAfterTheFileIsGone final : public Messages {
 public:
  std::vector<std::string> errors;
  std::vector<bool> file_there;
  void G_ERRO(const Value& message) override {
    errors.push_back(display_text(message, RunSettings{}));
    file_there.push_back(fs::exists(fs::symlink_status("trv.txt")));
  }
  void alert(std::string_view) override {}
  bool G_CONF(std::string_view, std::string_view) override { return false; }
};

TEST_F(DosPrinting, BoxesAreShownOnlyOnceTheTemporaryFileIsGone) {
  BoxesAfterTheFileIsGone boxes;
  JobServices watched{state, spooler, boxes};
  cups.run("cupsreject " + queue);
  ASSERT_TRUE(IMPRESSAO_PADRAO_DOS_PRINTFILE(watched, std::string(kMarker) + "recusado"));

  // A file larger than the process may write fails half way.
  std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit {};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  const struct rlimit small { 4096, limit.rlim_max };
  ::setrlimit(RLIMIT_FSIZE, &small);
  ASSERT_TRUE(IMPRESSAO_PADRAO_DOS_PRINTFILE(watched, std::string(10000, 'x') + std::string(kMarker)));
  ::setrlimit(RLIMIT_FSIZE, &limit);

  ASSERT_EQ(boxes.errors.size(), 2u);
  EXPECT_EQ(boxes.errors[0], "PrintFileRaw(): WinAPI StartDocPrinter() call failed");
  EXPECT_EQ(boxes.errors[1], "PrintFileRaw(): Não foi possível gravar o arquivo temporário \"trv.txt\" "
                             "na pasta " + dir.path().string() + " (o arquivo passa do tamanho permitido)");
  EXPECT_EQ(boxes.file_there, (std::vector<bool>{false, false}));
}

TEST(DosOutcome, FailuresAreShownWithTheirTextAndLongDataShortened) {
  test::TempDir dir;
  const fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  const std::string data = "\x1b@" + std::string(70, 'a') + "\xe7";
  const std::string shortened = " @" + std::string(58, 'a') + "... (73 bytes)";
  const std::vector<std::pair<int, std::string>> cases = {
      {-7, "PrintFileRaw(): WinAPI WritePrinter() call failed"},
      {-6, "PrintFileRaw(): File " + shortened + " not found"},
      {-8, "PrintFileRaw(): O servidor de impressão não respondeu; o trabalho para a impressora P "
           "foi cancelado."},
      {-9, "PrintFileRaw(): A impressora P recusou o trabalho: Unsupported document-format."},
      {1, ""},
  };
  for (const auto& [code, shown] : cases) {
    JobState state;
    state.IMP.open = true;
    state.IMP.append("P", "P");
    test::FixedResult spooler(code, "Unsupported document-format.");
    test::RecordingMessages messages;
    JobServices services{state, spooler, messages};
    ASSERT_TRUE(IMPRESSAO_PADRAO_DOS_PRINTFILE(services, std::string(kMarker) + data));
    EXPECT_EQ(messages.errors, shown.empty() ? std::vector<std::string>{} : std::vector{shown}) << code;
    // The outcome text never holds the data itself, which may be large.
    EXPECT_EQ(state.CMSG, shown.empty() ? "PrintFileRaw(): " + shortened + " Impressão OK!!!" : shown);
    EXPECT_EQ(state.CFILE.size(), 0u);
  }
  fs::current_path(previous);
}

}  // namespace
}  // namespace tarvo
