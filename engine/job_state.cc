#include "engine/job_state.h"

#include "printing/win32prn.h"
#include "runtime/text.h"

namespace tarvo {

void ImpTable::append(std::string_view impressora, std::string_view nomeimpres) {
  rows.push_back({std::string(impressora), pad_right(nomeimpres, kWidth)});
  if (rows.back().impressora.size() < kWidth) rows.back().impressora.resize(kWidth, ' ');
}

std::string ImpTable::current_printer() const {
  if (current >= rows.size()) return {};
  return std::string(trim(rows[current].impressora));
}

JobState::JobState() = default;
JobState::~JobState() = default;

void JobState::start_job(std::string text) {
  W_DADOS_ARQUIVO = std::move(text);
  WII = 1;
  WFINAL = W_DADOS_ARQUIVO.size();
  WTOT_LINHAS = 0;
  W_IMPRESSAO_DOS = "N";
  WNAO_ACHOU_INICIO = false;
  W_PRIMEIRA_LINHA = true;
}

}  // namespace tarvo
