#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "tests/engine/escp_invoice.h"
#include "tests/support/private_cups.h"
#include "tests/support/silent_server.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A DOS-standard file that asks to be printed at once on the default printer.
std::string dos_file(std::size_t size) {
  return std::string(size, 'x') + "=+IMPRESSAO_PADRAO_DO_DOS+=\r\n=+IMPRESSAO_DIRETA+=\r\n";
}

std::string quote(const std::string& s) { return "'" + s + "'"; }

// The program with its temporary file in a folder it cannot write, for
// each reason the system gives: the box says which.
class UnwritableFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0 || std::system("unshare -m true 2>/dev/null") != 0)
      GTEST_SKIP() << "needs root and mount namespaces";
    cups.add_queue(queue);
    dir.write("nota.txt", dos_file(200000));
    fs::create_directory(dir.path() / "pasta");
    ::chmod(dir.path().c_str(), 0755);
  }

  // Runs the program in DIR/pasta after `prepare` (shell commands run as
  // root in a mount namespace of the run's own); returns its standard error
  // and whether a temporary file was left.
  std::string run(const std::string& prepare, const std::string& as_user = {}) {
    const std::string folder = (dir.path() / "pasta").string();
    const std::string script =
        prepare + " && cd " + quote(folder) + " && env TARVOUSB_UNATTENDED=1 LPDEST=" + queue + " " +
        cups.env() + " " + as_user + " " + TARVOUSB_BINARY + " " + quote((dir.path() / "nota.txt").string()) +
        " 2>" + quote((dir.path() / "err").string()) + "; test -e trv.txt && echo left > " +
        quote((dir.path() / "left").string()) + "; true";
    EXPECT_EQ(std::system(("unshare -m sh -c " + quote(script)).c_str()), 0);
    EXPECT_FALSE(fs::exists(dir.path() / "left")) << "trv.txt was left behind";
    return test::read_file(dir.path() / "err");
  }

  std::string box(const std::string& reason) const {
    return " -= TarvoUSB =- : PrintFileRaw(): Não foi possível gravar o arquivo temporário \"trv.txt\" "
           "na pasta " + (dir.path() / "pasta").string() + " (" + reason + ")\n";
  }

  test::PrivateCups& cups = test::PrivateCups::instance();
  std::string queue = "dos_binary_unwritable";
  test::TempDir dir;
};

TEST_F(UnwritableFolder, TheBoxSaysWhyTheTemporaryFileCouldNotBeWritten) {
  const std::string mount = "mount -t tmpfs -o size=64k tarvo " + quote((dir.path() / "pasta").string());
  EXPECT_EQ(run(mount), box("não há espaço livre no disco"));
  EXPECT_EQ(run(mount + " && mount -o remount,ro " + quote((dir.path() / "pasta").string())),
            box("a pasta está num disco somente para leitura"));
  EXPECT_EQ(run("true", "setpriv --reuid=65534 --regid=65534 --clear-groups"),
            box("sem permissão para gravar na pasta"));
  cups.wait_idle();
  EXPECT_TRUE(cups.jobs(queue).empty());
}

// A server that takes connections and never answers: the run ends within
// the timeout, saying so, rather than waiting minutes and then blaming the
// printer.
TEST(DosBinaryWithSilentServer, RunEndsSayingTheServerDidNotAnswer) {
  test::TempDir dir;
  const test::SilentServer server(dir.path() / "silent.sock");
  dir.write("nota.txt", dos_file(1000));

  const auto start = std::chrono::steady_clock::now();
  const auto r = test::run_tarvousb({"nota.txt"}, dir.path(),
                                    {"CUPS_SERVER=" + server.path(), "TARVOUSB_CUPS_TIMEOUT=0.5",
                                     "LPDEST=dos_binary_silent", "PRINTER"});
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, " -= TarvoUSB =- : O servidor de impressão não respondeu; não foi possível obter a "
                   "lista de impressoras.\n");
  EXPECT_FALSE(fs::exists(dir.path() / "trv.txt"));
}

// The invoice as a business system hands it over for printing at once: the
// DOS-standard marker, cut out where it stands, and the direct-print marker,
// which stays printer data as it does in a raw send.
const std::string kDireta = "=+IMPRESSAO_DIRETA+=";
std::string invoice_file() {
  std::string invoice = test::escp_invoice();
  invoice.insert(invoice.size() - 1, kDireta + "\r\n=+IMPRESSAO_PADRAO_DO_DOS+=");  // before the last form feed
  return invoice;
}
const test::InvoiceWord kDiretaPrinted{kDireta, 2, 0, 1.0 / 8};  // the invoice ends at 8 lines an inch

struct InvoiceRun {
  test::RunResult result;
  bool temp_file_left;
};

InvoiceRun print_invoice(const std::string& queue, const std::string& setting) {
  test::TempDir dir;
  dir.write("nota.txt", invoice_file());
  const auto result = test::run_tarvousb({"nota.txt"}, dir.path(),
                                         {test::PrivateCups::instance().env(), "LPDEST=" + queue, "PRINTER",
                                          "TARVOUSB_UNATTENDED=1", setting});
  EXPECT_EQ(result.exit_code, 0);
  return {result, fs::exists(fs::symlink_status(dir.path() / "trv.txt"))};
}

// TARVOUSB_DOS=paginas prints the printer codes as pages; without it the
// queue gets the bytes unchanged, as it does, after saying so, for a value
// the program does not know.
TEST(DosBinary, TheSettingPrintsPagesOrTheRawBytes) {
  auto& cups = test::PrivateCups::instance();
  const std::string queue = "dos_binary_setting";
  cups.add_queue(queue);

  const InvoiceRun pages = print_invoice(queue, "TARVOUSB_DOS=paginas");
  EXPECT_EQ(pages.result.err, "");
  EXPECT_FALSE(pages.temp_file_left);
  auto jobs = cups.wait_for_jobs(queue, 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_TRUE(jobs[0].is_pdf());
  EXPECT_EQ(jobs[0].title, "Teste Impressao");
  test::expect_invoice_pages(jobs[0].data, {kDiretaPrinted});

  std::string raw_bytes = invoice_file();
  raw_bytes.erase(raw_bytes.find("=+IMPRESSAO_PADRAO_DO_DOS+="), 27);
  const InvoiceRun raw = print_invoice(queue, "TARVOUSB_DOS");
  EXPECT_EQ(raw.result.err, "");
  EXPECT_FALSE(raw.temp_file_left);
  const InvoiceRun unknown = print_invoice(queue, "TARVOUSB_DOS=pdf");
  EXPECT_EQ(unknown.result.err,
            " -= TarvoUSB =- : TARVOUSB_DOS=\"pdf\" não é um valor conhecido (use paginas ou bruto): o arquivo "
            "no padrão DOS vai à impressora sem alteração.\n");
  jobs = cups.wait_for_jobs(queue, 3);
  ASSERT_EQ(jobs.size(), 3u);
  EXPECT_EQ(jobs[1].bytes(), raw_bytes);
  EXPECT_EQ(jobs[2].bytes(), raw_bytes);
}

// A driverless printer refuses the raw data: the program asks, takes the
// default answer when nobody is there, and the printer gets the pages.
TEST(DosBinary, RawDataTheDriverlessPrinterRefusesIsAskedAboutAndPrintedAsPages) {
  auto& cups = test::PrivateCups::instance();
  const std::string queue = "dos_binary_driverless";
  cups.add_driverless_queue(queue);

  const InvoiceRun run = print_invoice(queue, "TARVOUSB_DOS");
  EXPECT_EQ(run.result.err, "   TARVO Sistemas: A impressora " + queue +
                                " não aceita o arquivo no padrão DOS. Imprimir como páginas ?     \n");
  EXPECT_FALSE(run.temp_file_left);

  cups.unstick_driverless(queue);
  const auto documents = cups.wait_for_driverless_documents(queue, 1);
  ASSERT_EQ(documents.size(), 1u);
  EXPECT_EQ(documents[0].extension(), ".pdf");
  test::expect_invoice_pages(documents[0], {kDiretaPrinted});
}

}  // namespace
}  // namespace tarvo
