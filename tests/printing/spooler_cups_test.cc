#include "printing/spooler_cups.h"

#include <cups/cups.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <future>
#include <thread>

#include "printing/cups_destination.h"
#include "tests/printing/cups_test_util.h"
#include "tests/support/silent_server.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

using test::PrivateCups;
using namespace std::chrono_literals;

// Bytes from memory, `piece` at a time, with a hook after each piece.
class MemorySource final : public RawSource {
 public:
  explicit MemorySource(std::string data, std::size_t piece = CupsSpooler::kChunk)
      : data_(std::move(data)), piece_(piece) {}
  std::function<void(std::size_t sent)> after_piece;
  std::optional<std::size_t> read(std::span<char> buffer) override {
    const std::size_t n = std::min({buffer.size(), piece_, data_.size() - at_});
    std::memcpy(buffer.data(), data_.data() + at_, n);
    at_ += n;
    if (after_piece) after_piece(at_);
    return n;
  }

 private:
  std::string data_;
  std::size_t piece_;
  std::size_t at_ = 0;
};

// Points this process at another server than the shared one.
void use_server(const std::string& socket) {
  ::setenv("CUPS_SERVER", socket.c_str(), 1);
  cupsSetServer(nullptr);
}

std::string all_byte_values(std::size_t size) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i % 256);
  return data;
}

class RawSpooling : public ::testing::Test {
 protected:
  void SetUp() override {
    ::unsetenv("LPDEST");
    ::unsetenv("PRINTER");
    cups.add_queue(queue);
  }

  // Sends `content` as a raw job and returns the result code.
  int send(std::string_view content, const Value& title = Value("raw job")) {
    const auto file = dir.write("data.prn", content);
    return spooler.PRINTFILERAW(Value(queue), Value(file.string()), title);
  }

  // The one job that reached the printer.
  test::CapturedJob only_job() {
    auto jobs = cups.wait_for_jobs(queue, 1);
    EXPECT_EQ(jobs.size(), 1u);
    return jobs.empty() ? test::CapturedJob{} : jobs.front();
  }

  // A later job on the same queue has printed and was the only one: nothing
  // that was sent before it reached the printer.
  void expect_nothing_printed_before_a_later_job() {
    ASSERT_EQ(send("later"), 1);
    auto jobs = cups.wait_for_jobs(queue, 1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].bytes(), "later");
    EXPECT_EQ(test::queued_jobs(queue), "");
  }

  PrivateCups& cups = PrivateCups::instance();
  std::string queue = std::string("Raw_") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
  test::TempDir dir;
  CupsSpooler spooler;
};

TEST_F(RawSpooling, EveryByteValueArrivesExactly) {
  const std::string data = all_byte_values(100000);
  ASSERT_EQ(send(data, Value("Bytes")), 1);
  const auto job = only_job();
  EXPECT_EQ(job.bytes(), data);
  EXPECT_EQ(job.title, "Bytes");
}

// Only the file's own final 0x1A is dropped: one that happens to end a
// chunk is printer data.
TEST_F(RawSpooling, KeepsEndOfFileMarkAtChunkEndAndDropsFinalOne) {
  std::string data = all_byte_values(CupsSpooler::kChunk + 100);
  data[CupsSpooler::kChunk - 1] = 0x1A;
  data[2 * 100] = 0x1A;
  ASSERT_EQ(send(data + '\x1A'), 1);
  EXPECT_EQ(only_job().bytes(), data);
}

TEST_F(RawSpooling, FileOfWholeChunksEndingInMarkLosesOnlyThatByte) {
  std::string data(2 * CupsSpooler::kChunk, '\x1A');
  ASSERT_EQ(send(data), 1);
  EXPECT_EQ(only_job().bytes(), data.substr(1));
}

TEST_F(RawSpooling, LoneMarkAndEmptyFileSendNothingAndLeaveNoJob) {
  // The server takes no document without data: the job is closed empty
  // and discarded, and the send counts as done.
  EXPECT_EQ(send(""), 1);
  EXPECT_EQ(send("\x1A"), 1);
  expect_nothing_printed_before_a_later_job();
}

TEST_F(RawSpooling, TitleDefaultsToTheFileName) {
  const auto file = dir.write("nota.prn", "x");
  ASSERT_EQ(spooler.PRINTFILERAW(Value(queue), Value(file.string())), 1);
  EXPECT_EQ(only_job().title, file.string());
  ASSERT_EQ(spooler.PRINTFILERAW(Value(queue), Value(file.string()), Value(12)), 1);
  EXPECT_EQ(cups.wait_for_jobs(queue, 2).back().title, file.string());
}

TEST_F(RawSpooling, NamesThatAreNotTextsAreRefused) {
  const auto file = dir.write("data.prn", "x");
  EXPECT_EQ(spooler.PRINTFILERAW(Value(), Value(file.string())), -1);
  EXPECT_EQ(spooler.PRINTFILERAW(Value(queue), Value(3)), -1);
  EXPECT_EQ(spooler.PRINTFILERAW(Value(true), Value()), -1);
}

TEST_F(RawSpooling, UnknownPrinterOrUnreachableServerGivesMinusTwo) {
  EXPECT_EQ(spooler.PRINTFILERAW(Value("Raw_No_Such_Queue"), Value("/nonexistent")), -2);
  EXPECT_EQ(spooler.PRINTFILERAW(Value(""), Value("/nonexistent")), -2);
  ::setenv("CUPS_SERVER", (dir.path() / "no-server.sock").c_str(), 1);
  cupsSetServer(nullptr);
  EXPECT_EQ(send("x"), -2);
  EXPECT_TRUE(spooler.GETPRINTERS().empty());
}

TEST_F(RawSpooling, RejectingQueueGivesMinusThree) {
  cups.run("cupsreject " + queue);
  EXPECT_EQ(send("x"), -3);
  cups.run("cupsaccept " + queue);
  expect_nothing_printed_before_a_later_job();
}

TEST_F(RawSpooling, MissingFileGivesMinusSixAndNothingArrives) {
  EXPECT_EQ(spooler.PRINTFILERAW(Value(queue), Value((dir.path() / "none.prn").string())), -6);
  EXPECT_EQ(spooler.PRINTFILERAW(Value(queue), Value(dir.path().string())), -6);
  expect_nothing_printed_before_a_later_job();
}

// A job cancelled at the server while its data is still flowing: the send
// fails, is reported, and prints nothing. (A server that keeps no job
// history breaks the transfer instead, which gives -7.)
TEST_F(RawSpooling, JobCancelledWhileSentGivesMinusTenAndNothingArrives) {
  const auto fifo = dir.path() / "feed";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::signal(SIGPIPE, SIG_IGN);  // the reader may stop reading once the job is gone
  auto result = std::async(std::launch::async,
                           [&] { return spooler.PRINTFILERAW(Value(queue), Value(fifo.string())); });
  {
    std::ofstream feed(fifo, std::ios::binary);  // opens once the job exists
    feed << std::string(3 * CupsSpooler::kChunk, 'a') << std::flush;
    cups.run("cancel -a " + queue);
    feed << std::string(3 * CupsSpooler::kChunk, 'b');
  }
  EXPECT_EQ(result.get(), -10);
  expect_nothing_printed_before_a_later_job();
}

// The printer takes the job from the server, then gives up on the raw
// document: the send is not reported as done, and the printer's words say
// why.
TEST_F(RawSpooling, DocumentThePrinterRefusesAfterTheServerTookItIsReported) {
  cups.add_driverless_queue(queue);
  MemorySource nota("\x1b@NOTA FISCAL\r\n\x0c");
  const RawSendResult refused = spooler.send_raw(queue, nota, "nota");
  EXPECT_EQ(refused.code, RawResult::refused);
  EXPECT_NE(refused.reason.find("Unable to add document"), std::string::npos) << refused.reason;

  // A backend that fails on a queue whose policy is to abort the job.
  cups.run("lpadmin -p " + queue + " -o printer-error-policy=abort-job -v capture:/proc/no/such/folder");
  EXPECT_EQ(send("x"), -9);
}

TEST(SilentServer, ListsSendsAndLookupsGiveUpAfterTheTimeout) {
  test::TempDir dir;
  const test::SilentServer server(dir.path() / "silent.sock");
  use_server(server.path());
  ::setenv("TARVOUSB_CUPS_TIMEOUT", "0.5", 1);
  ::setenv("LPDEST", "Silent_Queue", 1);
  const auto file = dir.write("x.prn", "x");
  const auto start = std::chrono::steady_clock::now();

  CupsSpooler spooler;
  EXPECT_TRUE(spooler.GETPRINTERS().empty());
  EXPECT_TRUE(spooler.spooler_silent());
  EXPECT_EQ(spooler.GETDEFAULTPRINTER(), "Silent_Queue");
  EXPECT_EQ(spooler.PRINTFILERAW(Value("Silent_Queue"), Value(file.string())), -8);
  EXPECT_TRUE(cups::read_destination_attributes("Silent_Queue").no_answer);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

// A server that stops answering in the middle of a send: the send gives up
// after the timeout and nothing is printed, not even once the server is
// back.
TEST(PausedServer, SendGivesUpAndNothingPrints) {
  // A server of its own: pausing the shared one would stall other tests.
  test::TempDir dir;
  const std::string script = std::string(TARVO_SOURCE_DIR) + "/scripts/private-cups";
  const std::string root = (dir.path() / "cups").string();
  ASSERT_EQ(std::system((script + " start '" + root + "' >/dev/null").c_str()), 0);
  ASSERT_EQ(std::system((script + " add '" + root + "' Paused >/dev/null").c_str()), 0);
  const pid_t cupsd = std::stoi(test::read_file(root + "/cupsd.pid"));
  struct Cleanup {
    std::string stop;
    pid_t pid;
    ~Cleanup() {
      ::kill(pid, SIGCONT);
      (void)std::system(stop.c_str());
    }
  } cleanup{script + " stop '" + root + "' >/dev/null", cupsd};
  use_server(root + "/cups.sock");
  ::setenv("TARVOUSB_CUPS_TIMEOUT", "3", 1);

  MemorySource data(std::string(64 << 20, 'x'));
  data.after_piece = [&, paused = false](std::size_t sent) mutable {
    if (!paused && sent >= (1 << 20)) paused = ::kill(cupsd, SIGSTOP) == 0;
  };
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CupsSpooler().send_raw("Paused", data, "pausa").code, RawResult::no_answer);
  // The limit without progress, then as much again at most for the cancel
  // (which waits a second more for the server's go-ahead).
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s + 3s + 2s);

  // The cancel cannot reach a stopped server; the half document it finds
  // when it resumes is not a document, and the job never prints.
  ::kill(cupsd, SIGCONT);
  std::this_thread::sleep_for(3s);
  EXPECT_TRUE(test::read_file(root + "/out/Paused/1.prn").empty()) << "the job was printed";
}

TEST(PrinterList, InstancesAreListedAsQueueSlashInstance) {
  auto& cups = PrivateCups::instance();
  cups.add_queue("List_Office_Laser");
  cups.add_queue("List_Label");
  test::TempDir home;
  std::filesystem::create_directories(home.path() / ".cups");
  home.write(".cups/lpoptions", "Dest List_Label/rolo media=na_index-4x6_4x6in\n");
  ::setenv("HOME", home.path().c_str(), 1);

  const auto names = CupsSpooler().GETPRINTERS();
  const auto at = [&](const std::string& n) { return std::find(names.begin(), names.end(), n); };
  ASSERT_NE(at("List_Label"), names.end());
  ASSERT_NE(at("List_Label/rolo"), names.end());
  ASSERT_NE(at("List_Office_Laser"), names.end());
  EXPECT_LT(at("List_Label"), at("List_Office_Laser"));

  // A raw job to the instance lands on its queue with the instance's options.
  const auto file = home.write("x.prn", "via instance");
  ASSERT_EQ(CupsSpooler().PRINTFILERAW(Value("List_Label/rolo"), Value(file.string())), 1);
  const auto job = cups.wait_for_jobs("List_Label", 1).at(0);
  EXPECT_EQ(job.bytes(), "via instance");
  EXPECT_NE(job.options.find("media=na_index-4x6_4x6in"), std::string::npos) << job.options;
}

// libcups keeps a default that names a missing queue; the user must learn
// of it rather than silently get another printer.
TEST(DefaultPrinter, VariablesNamingMissingQueuesComeBackAsNamed) {
  ::setenv("LPDEST", "Gone_Printer", 1);
  ::setenv("PRINTER", "Other_Printer", 1);
  EXPECT_EQ(CupsSpooler().GETDEFAULTPRINTER(), "Gone_Printer");
  ::unsetenv("LPDEST");
  EXPECT_EQ(CupsSpooler().GETDEFAULTPRINTER(), "Other_Printer");
  ::setenv("PRINTER", "lp", 1);  // libcups reads "lp" as no choice
  EXPECT_NE(CupsSpooler().GETDEFAULTPRINTER(), "lp");
}

TEST(DefaultPrinter, UserOptionsNameTheDefaultEvenWhenItIsMissing) {
  ::unsetenv("LPDEST");
  ::unsetenv("PRINTER");
  auto& cups = PrivateCups::instance();
  cups.add_queue("Options_Label");
  test::TempDir home;
  std::filesystem::create_directories(home.path() / ".cups");
  ::setenv("HOME", home.path().c_str(), 1);

  home.write(".cups/lpoptions", "Dest Options_Label/rolo copies=2\nDefault Options_Label/rolo\n");
  EXPECT_EQ(CupsSpooler().GETDEFAULTPRINTER(), "Options_Label/rolo");
  home.write(".cups/lpoptions", "Default Options_Removed copies=2\n");
  EXPECT_EQ(CupsSpooler().GETDEFAULTPRINTER(), "Options_Removed");
}

}  // namespace
}  // namespace tarvo
