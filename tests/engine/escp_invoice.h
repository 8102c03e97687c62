#pragma once

// An invoice in the printer codes of a matrix printer and what its printed
// pages must hold, shared by the tests that print it as pages: through the
// engine, and through the program on a queue of the private print server.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/pdf_text.h"

namespace tarvo::test {

inline std::string escp(std::string_view codes) { return "\x1B" + std::string(codes); }
inline std::string spaces(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

// An invoice as a DOS system writes it for a matrix printer, in code page 850.
inline std::string escp_invoice() {
  std::string f = escp("@");
  f += escp("W1") + escp("E") + "NOTA FISCAL" + escp("F") + escp("W0") + "\r\n\r\n";           // line 0
  f += "Cliente:\tJos\x82 Concei\x87\xC6o\r\n";                                                 // line 2
  f += escp("-1") + "Endere\x87o" + escp("-0") + ": Rua S\xC6o Jo\xC6o, n\xA7 12\r\n";          // line 3
  f += "\xDA" + std::string(38, '\xC4') + "\xBF\r\n";                                           // line 4
  f += "\xB3 Total" + spaces(32) + "\xB3\r\n";                                                  // line 5
  f += "\xC0" + std::string(38, '\xC4') + "\xD9\r\n";                                           // line 6
  f += escp("M") + "Item" + spaces(26) + "Valor\r\n";                                           // line 7: 12 cpi
  f += "\x0F" + std::string("Produto") + spaces(63) + "R$\r\n";                                 // line 8: 20 cpi
  f += escp("P") + "Condensado" + spaces(60) + "Fim17\x12\r\n";                                 // line 9: 17.14 cpi
  f += "Antes" + escp("K") + std::string("\x0A\x00", 2) + "\x0D\x0A\x0C\x1B@grafo" + "Depois ";   // line 10
  f += "Meio" + escp("z") + "Texto\r\n";
  f += escp("0") + "Linha1\r\n" + escp("E") + "Negrito" + escp("F") + "\r\n\f";                 // 8 lpi
  f += "Pagina2\r\n\f";
  return f;
}

// A word the pages must hold, at inches from the printer line's left end and
// from the sheet's first line.
struct InvoiceWord {
  std::string word;  // as pdftotext gives it, UTF-8
  int page;
  double x_inches, down_inches;
};

// Checks a PDF of the invoice printed on A4: two pages holding every word of
// the file (and the `more` words of what was printed with it) and nothing
// else, accents right, each at the column and line the codes put it, in bold
// where bold was on.
inline void expect_invoice_pages(const std::filesystem::path& pdf, const std::vector<InvoiceWord>& more = {}) {
  using Expected = InvoiceWord;
  EXPECT_EQ(pdf_pages(pdf), 2);
  const double six = 1.0 / 6;
  std::vector<Expected> expected = {
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
  expected.insert(expected.end(), more.begin(), more.end());
  const auto words = pdf_words(pdf);
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

  const std::string fonts = run_command("pdffonts '" + pdf.string() + "'");
  EXPECT_TRUE(std::regex_search(fonts, std::regex(R"(\+LiberationMono-Bold\s)"))) << fonts;
  EXPECT_TRUE(std::regex_search(fonts, std::regex(R"(\+LiberationMono\s)"))) << fonts;
}

}  // namespace tarvo::test
