#include "printing/spooler_cups.h"

#include <cups/cups.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <future>
#include <thread>

#include "tests/printing/cups_test_util.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

using test::PrivateCups;

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
// fails, is reported, and prints nothing.
TEST_F(RawSpooling, BrokenTransferGivesMinusSevenAndNothingArrives) {
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
  EXPECT_EQ(result.get(), -7);
  expect_nothing_printed_before_a_later_job();
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
