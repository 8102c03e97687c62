#include "engine/driver.h"

#include "engine/dos_printing.h"
#include "engine/record_reader.h"
#include "engine/slip_issuing.h"

namespace tarvo {
namespace {

void report_not_found(JobServices& job) {
  const std::string& enter = job.state.V_ENTER;
  job.messages.G_ERRO(Value("Nao Achou o Inicio da Impressao do Arquivo " + enter +
                            "Ou a versao do Kelm/Tarvo vorquelle e antiga," + enter +
                            "ou o Usuário NÃO está configurado para usar o TarvoUSB em Z541"));
}

}  // namespace

JobOutcome IMPRIMIR_TXT(JobServices& job, std::string_view printer) {
  JobState& s = job.state;
  s.start_job(s.V_DADOS_ARQUIVO);
  s.job_printer = std::string(printer);
  while (s.WII <= s.WFINAL) {
    if (!OBTER_LINHA_T_FILES_IMP(s)) break;
  }
  if (s.WNAO_ACHOU_INICIO) return JobOutcome::done;

  // No record at all: a slip file, a DOS-standard file, or nothing to print.
  if (IMPRESSAO_DE_BOLETOS(s.W_DADOS_ARQUIVO)) {
    issue_slip_file(job);
    return JobOutcome::slips;
  }
  if (IMPRESSAO_PADRAO_DOS_PRINTFILE(job, s.W_DADOS_ARQUIVO)) return JobOutcome::dos;
  report_not_found(job);
  return JobOutcome::not_found;
}

}  // namespace tarvo
