#include "engine/record_reader.h"

#include <array>
#include <cstring>
#include <string>

#include "engine/job_state.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

constexpr std::size_t kFields = 20;

// Bytes that can open a delimiter. Between them the reader skips or copies
// whole runs instead of testing every position.
struct DelimiterStarts {
  std::array<bool, 256> inside{};  // '/', '%' and '&' inside a record
  constexpr DelimiterStarts() {
    inside['/'] = inside['%'] = inside['&'] = true;
  }
};
constexpr DelimiterStarts kStarts;

// Outside records only '/' matters, and a file without records (a
// DOS-standard one of hundreds of megabytes) is scanned whole: memchr does
// that many times faster than a byte loop.
std::size_t next_slash(std::string_view text, std::size_t from) {
  if (from >= text.size()) return text.size();
  const void* hit = std::memchr(text.data() + from, '/', text.size() - from);
  return hit == nullptr ? text.size() : static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
}

std::size_t next_candidate(std::string_view text, std::size_t from, const std::array<bool, 256>& set) {
  const char* p = text.data() + from;
  const char* end = text.data() + text.size();
  while (p < end && !set[static_cast<unsigned char>(*p)]) ++p;
  return static_cast<std::size_t>(p - text.data());
}

bool at(std::string_view text, std::size_t i, std::string_view what) {
  return text.size() - i >= what.size() && std::memcmp(text.data() + i, what.data(), what.size()) == 0;
}

std::optional<double> number_when_present(std::string_view field) {
  if (is_blank(field)) return std::nullopt;
  return numeric_value(field);
}

double number_or_zero(std::string_view field) {
  return is_blank(field) ? 0 : numeric_value(field);
}

}  // namespace

bool OBTER_LINHA_T_FILES_IMP(JobState& job) {
  std::array<std::string_view, kFields> field;
  bool result = false;
  bool started = false;

  const std::string_view text = std::string_view(job.W_DADOS_ARQUIVO).substr(0, job.WFINAL);
  // 0-based index of the 1-based cursor WII; the reader keeps WII in step.
  std::size_t i = job.WII - 1;

  while (i < text.size()) {
    i = next_slash(text, i);
    if (i >= text.size()) break;
    if (at(text, i, WFINAL_ARQUIVO)) {
      i += WFINAL_ARQUIVO.size();
      break;
    }
    if (at(text, i, WINICIO_LINHA)) {
      job.WNAO_ACHOU_INICIO = true;
      i += WINICIO_LINHA.size();
      started = true;
      break;
    }
    ++i;
  }

  if (started) {
    // A field is the run of text up to its separator, whatever it holds, so
    // it is kept as a view of the file rather than copied.
    std::size_t counter = 0;
    std::size_t field_start = i;
    while (i < text.size()) {
      i = next_candidate(text, i, kStarts.inside);
      if (i >= text.size()) break;
      if (at(text, i, WFINAL_ARQUIVO)) {
        i += WFINAL_ARQUIVO.size();
        break;
      }
      if (at(text, i, WFINAL_LINHA)) {
        i += WFINAL_LINHA.size();
        result = true;
        ++job.WTOT_LINHAS;
        break;
      }
      if (at(text, i, WSEPARADOR)) {
        ++counter;
        if (counter <= kFields) field[counter - 1] = text.substr(field_start, i - field_start);
        i += WTAMANHO_SEPARADOR;
        field_start = i;
        continue;
      }
      ++i;
    }
  }
  job.WII = i + 1;

  if (started) {
    if (job.W_PRIMEIRA_LINHA && text_equal(field[0], "B") && trim(field[4]) == "IMP_DOS")
      job.W_IMPRESSAO_DOS = "S";
    job.W_PRIMEIRA_LINHA = false;
  }

  job.WCONFIG = field[0];
  job.WLINHA = numeric_value(field[1]);
  job.WCOLUNA = numeric_value(field[2]);
  job.WCAMPO = field[3];
  job.WANTES = field[4];
  job.WDEPOIS = field[5];
  job.W_LINHA_ANTES = number_when_present(field[6]);
  job.W_COLUNA_ANTES = number_when_present(field[7]);
  job.W_LINHA_DEPOIS = number_when_present(field[8]);
  job.W_COLUNA_DEPOIS = number_when_present(field[9]);
  job.WESPACO = field[10];
  job.WCOL = number_when_present(field[11]);
  job.WFONTEWINDOWS = field[12];
  job.WTAMANHOFONTE = number_or_zero(field[13]);
  job.WALTURAFONTE = number_or_zero(field[14]);
  job.WFONTEWINDOWSDEPOIS = field[15];
  job.WTAMANHOFONTEDEPOIS = number_or_zero(field[16]);
  job.WALTURAFONTEDEPOIS = number_or_zero(field[17]);
  job.WLARGURAFONTEDEPOIS = number_or_zero(field[18]);
  job.WLARGURAFONTE = number_or_zero(field[19]);
  return result;
}

}  // namespace tarvo
