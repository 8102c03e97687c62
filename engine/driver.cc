#include "engine/driver.h"

#include "engine/record_reader.h"

namespace tarvo {

JobOutcome IMPRIMIR_TXT(JobServices& job, std::string_view) {
  JobState& s = job.state;
  s.start_job(s.V_DADOS_ARQUIVO);
  while (s.WII <= s.WFINAL) {
    if (!OBTER_LINHA_T_FILES_IMP(s)) break;
  }
  if (s.WNAO_ACHOU_INICIO) return JobOutcome::done;
  job.messages.G_ERRO(Value("Nao Achou o Inicio da Impressao do Arquivo " + s.V_ENTER +
                            "Ou a versao do Kelm/Tarvo vorquelle e antiga," + s.V_ENTER +
                            "ou o Usuário NÃO está configurado para usar o TarvoUSB em Z541"));
  return JobOutcome::not_found;
}

}  // namespace tarvo
