#include "launcher/startup.h"

#include "engine/control_language.h"
#include "launcher/chooser.h"
#include "launcher/help.h"
#include "launcher/preview.h"
#include "launcher/printer_table.h"
#include "printing/win32prn.h"
#include "runtime/file_reading.h"
#include "runtime/runtime_error.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

bool prints_at_once(std::string_view mode) { return mode == "1" || mode == "2"; }

// An installed name matches when it equals the searched name or begins with
// it; letter case counts.
bool installed(const std::vector<std::string>& names, std::string_view wanted) {
  for (const std::string& name : names)
    if (text_equal(name, wanted)) return true;
  return false;
}

}  // namespace

void IMPRIMIR(Launcher& run, std::string_view mode, std::string_view printer) {
  if (mode == kModoPreview) {
    preview_job(run, printer);
    return;
  }
  run_print_job(run, printer, mode);
}

void run_print_job(Launcher& run, std::string_view printer, std::string_view mode) {
  JobServices job = run.job_services();
  run.outcome = run_job(run, job, printer, mode);
  if (run.outcome == JobOutcome::done) APAGAR_ARQUIVOS_TEMPORARIOS_TARVOUSB();
}

JobOutcome run_job(Launcher& run, JobServices& job, std::string_view printer, std::string_view mode) {
  try {
    return IMPRIMIR_TXT(job, printer, mode);
  } catch (const RuntimeError& e) {
    // A runtime error that no routine of the job dealt with ends the job:
    // the open document is discarded, not printed half-built.
    if (run.state.OPRINTER && run.state.OPRINTER->Printing) run.state.OPRINTER->EndDoc(true);
    run.state.OPRINTER.reset();
    run.messages.runtime_error(e);
    return JobOutcome::failed;
  }
}

void MAIN(Launcher& run, std::optional<std::string_view> argument) {
  JobState& s = run.state;

  // 1. Public entries.
  s.W_VERSAO_VAZ = std::string(kVersao);
  s.V_IMP_USB = "N";
  s.V_IMP_WIN = "S";

  // 2-3. The argument and the whole file.
  s.VARQ_IMPRIMIR = std::string(argument.value_or(""));
  s.V_DADOS_ARQUIVO = read_whole_file(s.VARQ_IMPRIMIR);

  // 4-5. Classification and the job entries.
  s.WIMPRESSORA.clear();
  std::string mode = IMPRESSAO_DIRETA(s.V_DADOS_ARQUIVO);
  s.WTIPOARQUIVO = "1";
  s.W_ARQ_DBF = "S";
  s.WCHAVE = "CHAVE";
  s.V_ENTER = "\r\n";
  s.VCONTROLE = mode;
  s.VIMPRESSORA = upper(s.WIMPRESSORA);

  // 6. File-name test: an argument with a three-character extension passes
  // at once; any other non-empty one passes too; an empty one ends the run.
  const std::string ext = upper(right(s.VARQ_IMPRIMIR, 4));
  if (ext.empty() || ext[0] != '.') {
    if (s.VARQ_IMPRIMIR.empty()) {
      run.messages.G_ERRO(Value("Nao achou neunhum Arquivo para Imprimir " + s.W_VERSAO_VAZ));
      return;
    }
    s.WARQ_DBF = s.VARQ_IMPRIMIR;
  }

  // 7-8. Run settings and the window environment.
  CONF_AMBIENTE(s.settings);
  run.window_environment = WindowEnvironment{true, true, true};

  // 9. Printers.
  s.WIMPRESSORAS.clear();
  for (const std::string& name : run.printers.GETPRINTERS())
    s.WIMPRESSORAS.emplace_back(trim(name));
  s.WPADRAO = std::string(trim(run.printers.GETDEFAULTPRINTER()));
  s.WFIM = s.WIMPRESSORAS.size();
  // A spooler that never answered leaves no printer to choose from; saying
  // "not installed" instead would send the user looking in the wrong place.
  if (run.printers.spooler_silent()) {
    run.messages.G_ERRO(Value(std::string(kServidorSemResposta) +
                              "; não foi possível obter a lista de impressoras."));
    return;
  }

  // 10-11. The default-printer rule.
  if (prints_at_once(mode) && s.VIMPRESSORA.empty() && !s.WPADRAO.empty())
    s.VIMPRESSORA = s.WPADRAO;
  if (s.VIMPRESSORA.empty() || mode.empty()) mode = "3";

  // 12. Print at once when the printer is installed.
  if (prints_at_once(mode)) {
    if (installed(s.WIMPRESSORAS, s.VIMPRESSORA)) {
      IMPRIMIR(run, mode, s.VIMPRESSORA);
      return;
    }
    run.messages.G_ERRO(Value("Esta Impressora \"" + s.VIMPRESSORA +
                              "\" NAO está Instalada neste Computador"));
    mode = "3";
  }

  // 13. The chooser window.
  CRIA_TMP(s);
  fill_printer_table(s.IMP, s.WIMPRESSORAS, s.WPADRAO);
  s.V_CAMINHO_TEMP = s.VARQ_IMPRIMIR;
  open_chooser_window(run);

  // 14. Clean-up.
  APAGAR_ARQUIVOS_TEMPORARIOS_TARVOUSB();
}

}  // namespace tarvo
