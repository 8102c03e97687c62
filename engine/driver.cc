#include "engine/driver.h"

#include "engine/command_activation.h"
#include "engine/control_language.h"
#include "engine/dos_output.h"
#include "engine/dos_pages.h"
#include "engine/dos_printing.h"
#include "engine/record_reader.h"
#include "engine/slip_issuing.h"
#include "engine/text_placement.h"
#include "printing/page_preview.h"
#include "printing/win32prn.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

constexpr std::string_view kAttributeCodes = "NI-ND-II-ID-SI-SD-EI-ED";

void report_not_found(JobServices& job) {
  const std::string& enter = job.state.V_ENTER;
  job.messages.G_ERRO(Value("Nao Achou o Inicio da Impressao do Arquivo " + enter +
                            "Ou a versao do Kelm/Tarvo vorquelle e antiga," + enter +
                            "ou o Usuário NÃO está configurado para usar o TarvoUSB em Z541"));
}

bool dos_mode(const JobState& s) { return s.W_IMPRESSAO_DOS == "S"; }

// Ends the page object's document and releases it, so that its pages print.
// False when the document did not reach the printer: the user was told.
bool release_page_object(JobServices& job) {
  JobState& s = job.state;
  if (!s.OPRINTER) return true;
  bool printed = true;
  if (!dos_mode(s) && s.V_IMP_WIN == "S") {
    printed = s.OPRINTER->EndDoc();
    if (!printed) report_document_failure(job);
    s.OPRINTER->Destroy();
  }
  s.OPRINTER.reset();
  return printed;
}

// A record that draws or brackets pages needs the page object; without one
// the job cannot go on.
bool require_page_object(JobServices& job) {
  if (job.state.OPRINTER) return true;
  job.messages.G_ERRO(Value(std::string(kSemPagina)));
  return false;
}

std::optional<std::string_view> present(std::string_view text) {
  if (text.empty()) return std::nullopt;
  return text;
}

enum class Step { go_on, stop, failed };

// A document that failed on its way ends the job: the user is told why and
// nothing more of it is sent.
Step document_failed(JobServices& job) {
  report_document_failure(job);
  job.state.OPRINTER->EndDoc(true);
  return Step::failed;
}

Step handle_command(JobServices& job) {
  JobState& s = job.state;
  s.W_ACAO = std::string(left(s.WCAMPO, 2));
  const std::string& code = s.W_ACAO;
  if (code == "EJ") {
    EJETAR_FOLHA_NA_IMPRESSORA(job);
  } else if (code == "NP") {
    // An earlier page object is ended first: its pages are not lost.
    if (!release_page_object(job)) return Step::failed;
    if (CRIA_NOVA_PAGINA_IMP_WIN(job, s.job_printer)) return Step::stop;
  } else if (!code.empty() && kAttributeCodes.find(code) != std::string_view::npos) {
    if (!require_page_object(job)) return Step::stop;
    IMP_SAY(s, SayItem{.row = s.WLINHA, .column = s.WCOLUNA, .text = "",
                       .before = trim(s.WCAMPO)});
  } else if (code == "ST") {
    if (dos_mode(s)) return Step::go_on;
    if (!require_page_object(job)) return Step::stop;
    if (!s.OPRINTER->StartDoc()) return document_failed(job);
  } else if (code == "EP") {
    if (dos_mode(s)) return Step::go_on;
    if (!require_page_object(job)) return Step::stop;
    if (!s.OPRINTER->EndPage()) return document_failed(job);
  } else if (is_pitch_or_spacing(code)) {
    if (!require_page_object(job)) return Step::stop;
    ATIVA_TAM_ALT_DA_LETRA(s, code);
  }
  return Step::go_on;
}

Step handle_text(JobServices& job) {
  JobState& s = job.state;
  if (dos_mode(s) || DESCARTA_COMANDO_POR_SER_CONFIGURACAO(s.WLINHA, s.WCOLUNA, s.WCAMPO)) {
    return Step::go_on;
  }
  if (!require_page_object(job)) return Step::stop;
  IMP_SAY(s, SayItem{
                 .row = s.WLINHA,
                 .column = s.WCOLUNA,
                 .text = s.WCAMPO,
                 .before = trim(s.WANTES),
                 .after = trim(s.WDEPOIS),
                 .row_before = s.W_LINHA_ANTES,
                 .column_before = s.W_COLUNA_ANTES,
                 .row_after = s.W_LINHA_DEPOIS,
                 .column_after = s.W_COLUNA_DEPOIS,
                 .spacing = present(s.WESPACO),
                 .spacing_column = s.WCOL,
                 .font_before = trim(s.WFONTEWINDOWS),
                 .size_before = s.WTAMANHOFONTE,
                 .height_before = s.WALTURAFONTE,
                 .font_after = trim(s.WFONTEWINDOWSDEPOIS),
                 .size_after = s.WTAMANHOFONTEDEPOIS,
                 .height_after = s.WALTURAFONTEDEPOIS,
                 .width_after = s.WLARGURAFONTEDEPOIS,
                 .width_before = s.WLARGURAFONTE,
             });
  return Step::go_on;
}

Step handle_record(JobServices& job) {
  const JobState& s = job.state;
  if (text_equal(s.WCONFIG, "S")) return handle_command(job);
  if (text_equal(s.WCONFIG, "B")) return Step::go_on;  // configuration: acted on in the reader
  return handle_text(job);
}

// The print file is lent to the running job rather than copied (it may be
// large, and it is held whole): the job reads it as W_DADOS_ARQUIVO and it is
// back in V_DADOS_ARQUIVO when the job is over.
class LentText {
 public:
  explicit LentText(JobState& s) : s_(s) { s_.start_job(std::move(s_.V_DADOS_ARQUIVO)); }
  ~LentText() {
    // The record's texts are views of the file: none outlives the job.
    s_.WCONFIG = s_.WCAMPO = s_.WANTES = s_.WDEPOIS = {};
    s_.WESPACO = s_.WFONTEWINDOWS = s_.WFONTEWINDOWSDEPOIS = {};
    s_.V_DADOS_ARQUIVO = std::move(s_.W_DADOS_ARQUIVO);
    s_.W_DADOS_ARQUIVO.clear();  // the job no longer holds it
  }
  LentText(const LentText&) = delete;
  LentText& operator=(const LentText&) = delete;

 private:
  JobState& s_;
};

// A DOS-standard file in a preview: the pages the ESC/P interpreter draws of
// its printer data, and a note on what printing sends.
bool preview_dos_file(JobServices& job, std::string_view text) {
  const std::optional<DosData> data = dos_printer_data(text);
  if (!data) return false;
  job.preview->note = dos_preview_note(data->size(), dos_output(job.state.dos_output) == DosOutput::pages);
  print_dos_as_pages(job, job.state.job_printer, *data);
  return true;
}

JobOutcome run_job(JobServices& job) {
  JobState& s = job.state;
  Step step = Step::go_on;
  while (step == Step::go_on && s.WII <= s.WFINAL) {
    if (!OBTER_LINHA_T_FILES_IMP(s)) break;
    step = handle_record(job);
  }
  if (!release_page_object(job)) step = Step::failed;
  if (step == Step::failed) return JobOutcome::failed;
  if (s.WNAO_ACHOU_INICIO) return JobOutcome::done;

  // No record at all: a slip file, a DOS-standard file, or nothing to print.
  if (IMPRESSAO_DE_BOLETOS(s.W_DADOS_ARQUIVO)) {
    issue_slip_file(job);
    return JobOutcome::slips;
  }
  if (job.preview != nullptr ? preview_dos_file(job, s.W_DADOS_ARQUIVO)
                             : print_dos_file(job, s.W_DADOS_ARQUIVO))
    return JobOutcome::dos;
  report_not_found(job);
  return JobOutcome::not_found;
}

}  // namespace

bool CRIA_NOVA_PAGINA_IMP_WIN(JobServices& job, std::string_view printer) {
  JobState& s = job.state;
  s.CPRINTER = std::string(printer);
  s.OPRINTER = std::make_unique<WIN32PRN>(job.pages, &job.printers, s.settings);
  WIN32PRN& p = *s.OPRINTER;
  p.New(printer);
  p.Landscape = s.job_mode == kModoPaisagem;
  p.FormType = 9;  // A4
  p.BottomMargin = 0;
  p.Copies = 1;
  p.SetPrintQuality(3);
  if (p.Create()) return false;
  job.messages.alert("Nao foi possivel achar a impressora, Favor verifique.");
  p.Destroy();
  s.OPRINTER.reset();
  return true;
}

void EJETAR_FOLHA_NA_IMPRESSORA(JobServices&) {}

void report_document_failure(JobServices& job) {
  const JobState& s = job.state;
  const DeviceFailure failure = s.OPRINTER->Failure();
  if (failure.kind == DeviceFailure::Kind::not_drawn) {
    job.messages.G_ERRO(Value(document_not_drawn_text(s.CPRINTER, failure.reason)));
  } else {
    job.messages.G_ERRO(Value(document_refused_text(s.CPRINTER, failure.reason)));
  }
}

std::string document_refused_text(std::string_view printer, std::string_view reason) {
  return "A impressora " + std::string(printer) + " recusou o trabalho: " + std::string(reason);
}

std::string document_not_drawn_text(std::string_view printer, std::string_view reason) {
  return "Não foi possível imprimir na impressora " + std::string(printer) + ": " +
         std::string(reason);
}

std::string dos_preview_note(std::size_t size, bool prints_pages) {
  std::string bytes = std::to_string(size);
  for (int i = static_cast<int>(bytes.size()) - 3; i > 0; i -= 3) bytes.insert(static_cast<std::size_t>(i), ".");
  const std::string head = "Arquivo no padrão DOS (" + bytes + " bytes): ";
  if (prints_pages) return head + "\"Imprimir\" imprime estas páginas (TARVOUSB_DOS=paginas).";
  return head + "\"Imprimir\" o envia à impressora sem alteração. As páginas mostram como uma "
                "impressora matricial o imprime.";
}

JobOutcome IMPRIMIR_TXT(JobServices& job, std::string_view printer, std::string_view mode) {
  JobState& s = job.state;
  const LentText text(s);
  s.job_printer = std::string(printer);
  s.job_mode = std::string(mode);
  return run_job(job);
}

}  // namespace tarvo
