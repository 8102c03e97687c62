#include "engine/control_language.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(Classifier, DirectMarkerInTheTailPrintsAtOnce) {
  EXPECT_EQ(IMPRESSAO_DIRETA("=+IMPRESSAO_DIRETA+="), "2");
  EXPECT_EQ(IMPRESSAO_DIRETA("data =+impressao_direta+= more"), "2");
  EXPECT_EQ(IMPRESSAO_DIRETA("=+IMPRESSAO_PREVIEW+= =+IMPRESSAO_DIRETA+="), "2");
  EXPECT_EQ(IMPRESSAO_DIRETA("=+IMPRESSAO_PREVIEW+="), "3");
  EXPECT_EQ(IMPRESSAO_DIRETA(""), "3");
}

TEST(Classifier, OnlyTheLast201CharactersCount) {
  const std::string marker = "=+IMPRESSAO_DIRETA+=";
  // Marker starts exactly 201 characters from the end: inside the tail.
  EXPECT_EQ(IMPRESSAO_DIRETA("x" + marker + std::string(201 - marker.size(), 'y')), "2");
  // One further back: its first character falls out of the tail.
  EXPECT_EQ(IMPRESSAO_DIRETA(marker + std::string(202 - marker.size(), 'y')), "3");
  // A text of exactly 200 or 201 characters is searched whole.
  EXPECT_EQ(IMPRESSAO_DIRETA(marker + std::string(180, 'y')), "2");
  EXPECT_EQ(IMPRESSAO_DIRETA(marker + std::string(181, 'y')), "2");
}

TEST(JobModeRecord, OnlyAtMinus13Minus15WithAMarker) {
  EXPECT_TRUE(DESCARTA_COMANDO_POR_SER_CONFIGURACAO(-13, -15, "=+IMPRESSAO_DIRETA+="));
  EXPECT_TRUE(DESCARTA_COMANDO_POR_SER_CONFIGURACAO(-13, -15, "=+impressao_preview+= e mais"));
  EXPECT_FALSE(DESCARTA_COMANDO_POR_SER_CONFIGURACAO(-13, 0, "=+impressao_preview+= e mais"));
  EXPECT_FALSE(DESCARTA_COMANDO_POR_SER_CONFIGURACAO(-13, -15, " =+IMPRESSAO_DIRETA+="));
  EXPECT_FALSE(DESCARTA_COMANDO_POR_SER_CONFIGURACAO(-13, -15, "texto"));
}

}  // namespace
}  // namespace tarvo
