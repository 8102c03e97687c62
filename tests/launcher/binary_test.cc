#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace tarvo {
namespace {

TEST(Binary, NoArgumentReportsOnStandardError) {
  test::TempDir dir;
  const auto r = test::run_tarvousb({}, dir.path());
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, " -= TarvoUSB =- : Nao achou neunhum Arquivo para Imprimir 7.9702\n");
}

}  // namespace
}  // namespace tarvo
