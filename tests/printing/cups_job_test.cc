#include "printing/cups_job.h"

#include <gtest/gtest.h>

#include "printing/cups_destination.h"
#include "tests/printing/cups_test_util.h"

namespace tarvo::cups {
namespace {

using test::PrivateCups;

TEST(CupsJob, DocumentInChunksArrivesWithTitleAndOptions) {
  auto& server = PrivateCups::instance();
  server.add_queue("Job_Chunks");
  {
    CupsJob job("Job_Chunks", "Relatorio", {{"media", "iso_a5_148x210mm"}, {"copies", "2"}});
    ASSERT_TRUE(job.ok()) << job.error();
    EXPECT_GT(job.id(), 0);
    ASSERT_TRUE(job.start_document(kRawFormat));
    EXPECT_TRUE(job.write("um,"));
    EXPECT_TRUE(job.write(""));
    EXPECT_TRUE(job.write("dois"));
    EXPECT_TRUE(job.finish()) << job.error();
  }
  const auto jobs = server.wait_for_jobs("Job_Chunks", 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].bytes(), "um,dois");
  EXPECT_EQ(jobs[0].title, "Relatorio");
  EXPECT_NE(jobs[0].options.find("media=iso_a5_148x210mm"), std::string::npos) << jobs[0].options;
}

// A document abandoned half way, or a job never started, is cancelled: the
// queue keeps nothing and prints nothing.
TEST(CupsJob, UnfinishedJobsAreCancelled) {
  auto& server = PrivateCups::instance();
  server.add_queue("Job_Abandoned");
  {
    CupsJob job("Job_Abandoned", "half");
    ASSERT_TRUE(job.start_document(kRawFormat));
    ASSERT_TRUE(job.write(std::string(100000, 'x')));
  }
  { CupsJob job("Job_Abandoned", "never started"); }
  {
    CupsJob job("Job_Abandoned", "cancelled");
    job.start_document(kRawFormat);
    job.write("x");
    job.cancel();
    EXPECT_FALSE(job.write("y"));
    EXPECT_FALSE(job.finish());
    EXPECT_EQ(job.failure(), CupsJob::Failure::cancelled);
  }
  EXPECT_EQ(test::queued_jobs("Job_Abandoned"), "");
  {
    CupsJob job("Job_Abandoned", "later");
    job.start_document(kRawFormat);
    job.write("later");
    ASSERT_TRUE(job.finish());
  }
  const auto jobs = server.wait_for_jobs("Job_Abandoned", 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].bytes(), "later");
}

TEST(CupsJob, FailuresNameTheirStep) {
  auto& server = PrivateCups::instance();
  CupsJob unknown("Job_No_Such_Queue", "t");
  EXPECT_EQ(unknown.failure(), CupsJob::Failure::destination);
  EXPECT_FALSE(unknown.start_document(kRawFormat));
  EXPECT_EQ(unknown.failure(), CupsJob::Failure::destination);

  server.add_queue("Job_Rejecting");
  server.run("cupsreject Job_Rejecting");
  CupsJob refused("Job_Rejecting", "t");
  EXPECT_EQ(refused.failure(), CupsJob::Failure::create);
  EXPECT_FALSE(refused.error().empty());

  server.add_queue("Job_Misuse");
  CupsJob misuse("Job_Misuse", "t");
  EXPECT_FALSE(misuse.write("before start"));
  EXPECT_EQ(misuse.failure(), CupsJob::Failure::write);
}

TEST(DestinationAttributes, KnownQueueIsFoundWithItsDefaults) {
  auto& server = PrivateCups::instance();
  server.add_queue("Attr_Plain");
  EXPECT_TRUE(read_destination_attributes("Attr_Plain").found);
  EXPECT_FALSE(read_destination_attributes("Attr_No_Such_Queue").found);
}

TEST(DestinationAttributes, DriverQueueReportsResolutionMediaAndMargins) {
  auto& server = PrivateCups::instance();
  server.run("lpadmin -p Attr_Laser -E -v capture:" + server.capture_dir("Attr_Laser").string() +
             " -m drv:///sample.drv/laserjet.ppd");
  const auto a = read_destination_attributes("Attr_Laser");
  ASSERT_TRUE(a.found);
  EXPECT_EQ(a.resolution_x, 300);
  EXPECT_EQ(a.resolution_y, 300);
  EXPECT_FALSE(a.media.empty());
  EXPECT_GT(a.media_width, 10000);
  EXPECT_GT(a.media_length, a.media_width);
  EXPECT_GT(a.margin_left, 0);
  EXPECT_GT(a.margin_top, 0);
  EXPECT_FALSE(a.bottom_margins_supported.empty());
  EXPECT_FALSE(a.media_sources_supported.empty());
  EXPECT_EQ(a.sides, "one-sided");
  EXPECT_EQ(a.print_quality, 4);
}

}  // namespace
}  // namespace tarvo::cups
