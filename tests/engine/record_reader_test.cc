#include "engine/record_reader.h"

#include <gtest/gtest.h>

#include "engine/job_state.h"
#include "tests/engine/print_file.h"

namespace tarvo {
namespace {

using test::record;

struct Reader : ::testing::Test {
  JobState job;
  void load(std::string text) { job.start_job(std::move(text)); }
  bool next() { return OBTER_LINHA_T_FILES_IMP(job); }
};

TEST_F(Reader, CommandRecord) {
  load(record({"S", "0", "0", "EJ"}));
  ASSERT_TRUE(next());
  EXPECT_EQ(job.WCONFIG, "S");
  EXPECT_EQ(job.WLINHA, 0);
  EXPECT_EQ(job.WCOLUNA, 0);
  EXPECT_EQ(job.WCAMPO, "EJ");
  EXPECT_TRUE(job.WNAO_ACHOU_INICIO);
  EXPECT_EQ(job.WTOT_LINHAS, 1);
  EXPECT_FALSE(next());
}

TEST_F(Reader, UnterminatedTextBeforeTheLineEndIsDropped) {
  load("/#%#N&#$|5&#$|10&#$|ABC%$@\\");
  ASSERT_TRUE(next());
  EXPECT_EQ(job.WLINHA, 5);
  EXPECT_EQ(job.WCOLUNA, 10);
  EXPECT_EQ(job.WCAMPO, "");
}

TEST_F(Reader, TextBetweenRecordsIsSkipped) {
  load("header text / # % \r\n" + record({"N", "1", "2", "um"}) + "\r\n lixo /#" +
       record({"N", "3", "4", "dois"}) + "\r\n");
  ASSERT_TRUE(next());
  EXPECT_EQ(job.WCAMPO, "um");
  ASSERT_TRUE(next());
  EXPECT_EQ(job.WCAMPO, "dois");
  EXPECT_EQ(job.WLINHA, 3);
  EXPECT_FALSE(next());
  EXPECT_EQ(job.WTOT_LINHAS, 2);
}

TEST_F(Reader, FieldsBeyondTwentyAreIgnored) {
  std::string r = "/#%#";
  for (int i = 1; i <= 25; ++i) r += std::to_string(i) + "&#$|";
  load(r + "%$@\\");
  ASSERT_TRUE(next());
  EXPECT_EQ(job.WCONFIG, "1");
  EXPECT_EQ(job.WLARGURAFONTE, 20);
  EXPECT_EQ(job.WLARGURAFONTEDEPOIS, 19);
  EXPECT_EQ(job.WFONTEWINDOWSDEPOIS, "16");
}

TEST_F(Reader, OptionalNumbersAreAbsentWhenEmptyOrBlank) {
  load(record({"N", " -3.5x", "", "t", "NI", "ND", "  ", "7", "", "8", "esp", "", "Arial", "",
               "  ", "Arial2", "9", "", "", "4"}));
  ASSERT_TRUE(next());
  EXPECT_DOUBLE_EQ(job.WLINHA, -3.5);
  EXPECT_EQ(job.WCOLUNA, 0);
  EXPECT_FALSE(job.W_LINHA_ANTES.has_value());
  EXPECT_EQ(job.W_COLUNA_ANTES, 7);
  EXPECT_FALSE(job.W_LINHA_DEPOIS.has_value());
  EXPECT_EQ(job.W_COLUNA_DEPOIS, 8);
  EXPECT_EQ(job.WESPACO, "esp");
  EXPECT_FALSE(job.WCOL.has_value());
  EXPECT_EQ(job.WTAMANHOFONTE, 0);
  EXPECT_EQ(job.WALTURAFONTE, 0);
  EXPECT_EQ(job.WTAMANHOFONTEDEPOIS, 9);
  EXPECT_EQ(job.WLARGURAFONTE, 4);
}

TEST_F(Reader, MissingTrailingFieldsAreEmpty) {
  load(record({"N", "2"}));
  ASSERT_TRUE(next());
  EXPECT_EQ(job.WCAMPO, "");
  EXPECT_FALSE(job.WCOL.has_value());
  EXPECT_EQ(job.WLARGURAFONTE, 0);
}

TEST_F(Reader, EndOfFileMarkerEndsReading) {
  load(record({"N", "1", "1", "a"}) + "/#FIM@\\" + record({"N", "2", "2", "b"}));
  ASSERT_TRUE(next());
  EXPECT_FALSE(next());
  EXPECT_EQ(job.WTOT_LINHAS, 1);
}

TEST_F(Reader, EndOfFileInsideARecordDropsIt) {
  load("/#%#N&#$|1&#$|1&#$|cut/#FIM@\\%$@\\" + record({"N", "2", "2", "b"}));
  EXPECT_FALSE(next());
  EXPECT_TRUE(job.WNAO_ACHOU_INICIO);
  EXPECT_EQ(job.WTOT_LINHAS, 0);
  EXPECT_FALSE(job.W_PRIMEIRA_LINHA);
}

TEST_F(Reader, RecordCutByTheEndOfTheText) {
  load("/#%#N&#$|1&#$|1&#$|abc");
  EXPECT_FALSE(next());
  EXPECT_EQ(job.WCOLUNA, 1);  // the fields closed so far are left in place
  EXPECT_EQ(job.WCAMPO, "");
  EXPECT_GT(job.WII, job.WFINAL);
}

TEST_F(Reader, NoRecordAtAll) {
  load("plain text with no marker");
  EXPECT_FALSE(next());
  EXPECT_FALSE(job.WNAO_ACHOU_INICIO);
  EXPECT_TRUE(job.W_PRIMEIRA_LINHA);
}

TEST_F(Reader, ImpDosOnlyAsTheFirstRecord) {
  load(record({"B", "0", "0", "", " IMP_DOS "}) + record({"N", "1", "1", "x"}));
  ASSERT_TRUE(next());
  EXPECT_EQ(job.W_IMPRESSAO_DOS, "S");

  load(record({"N", "1", "1", "x"}) + record({"B", "0", "0", "", "IMP_DOS"}));
  ASSERT_TRUE(next());
  ASSERT_TRUE(next());
  EXPECT_EQ(job.W_IMPRESSAO_DOS, "N");

  load(record({"BX", "0", "0", "", "IMP_DOSX"}));
  ASSERT_TRUE(next());
  EXPECT_EQ(job.W_IMPRESSAO_DOS, "N");
}

TEST_F(Reader, DelimiterLookalikesInsideFieldsAreText) {
  load(record({"N", "1", "1", "50% & /# % $ @ \\ &#$ %$@"}));
  ASSERT_TRUE(next());
  EXPECT_EQ(job.WCAMPO, "50% & /# % $ @ \\ &#$ %$@");
}

TEST_F(Reader, BytesAreKeptAsTheyAre) {
  load(record({"N", "1", "1", std::string("Impress\xE3o\x00\xFF", 11)}));
  ASSERT_TRUE(next());
  EXPECT_EQ(job.WCAMPO, std::string("Impress\xE3o\x00\xFF", 11));
}

}  // namespace
}  // namespace tarvo
