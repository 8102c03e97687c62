#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/named_store.h"
#include "runtime/run_settings.h"
#include "runtime/value.h"

namespace tarvo {

class WIN32PRN;

// One row of the temporary printer table IMP.
struct ImpRow {
  std::string impressora;  // the printer's name as the system knows it
  std::string nomeimpres;  // the text the grid shows
};

// The temporary printer table IMP: it lives while the program runs; its
// current row names the printer of every action started from the window.
struct ImpTable {
  static constexpr std::size_t kWidth = 70;

  bool open = false;
  std::vector<ImpRow> rows;
  std::size_t current = 0;  // index of the current row

  void append(std::string_view impressora, std::string_view nomeimpres);
  // The current row's printer, trimmed; empty when the table has no rows.
  std::string current_printer() const;
};

// DOS-standard printer data as it lies in the print file: one piece, or the
// pieces before and after a marker that is left out. It views the print
// file rather than copying it, which may be large.
struct DosData {
  std::string_view before;
  std::string_view after;
  std::size_t size() const { return before.size() + after.size(); }
};

// The job state: the one process-wide record of named values that startup
// creates and every routine of the launcher and the engine reads and writes.
// Members carry the names the print file language and its routines use.
struct JobState {
  JobState();
  ~JobState();
  JobState(const JobState&) = delete;
  JobState& operator=(const JobState&) = delete;

  RunSettings settings;

  // Public entries of startup.
  std::string W_ARQ_DBF;
  std::string W_VERSAO_VAZ;
  std::string V_ENTER;
  std::string V_CAMINHO_TEMP;
  std::string V_DADOS_ARQUIVO;
  std::unique_ptr<WIN32PRN> OPRINTER;
  std::string CPRINTER;
  std::string V_IMP_WIN;
  std::string V_IMP_USB;

  // Job entries of startup.
  std::string VARQ_IMPRIMIR;
  std::string VCONTROLE;
  std::string VIMPRESSORA;
  std::string WIMPRESSORA;
  std::vector<std::string> WIMPRESSORAS;
  std::string WPADRAO;
  std::size_t WFIM = 0;
  std::string WTIPOARQUIVO;
  std::string WCHAVE;
  std::string WARQ_DBF;

  // The temporary printer table and the window's members.
  ImpTable IMP;
  std::string CALIAS;

  // A running job.
  std::string W_DADOS_ARQUIVO;
  std::size_t WII = 1;     // 1-based read cursor
  std::size_t WFINAL = 0;  // last position to read
  long WTOT_LINHAS = 0;
  std::string W_IMPRESSAO_DOS = "N";
  bool WNAO_ACHOU_INICIO = false;
  bool W_PRIMEIRA_LINHA = true;
  std::string W_ACAO;
  std::string job_printer;  // the printer the driver was started with
  std::string job_mode;     // the mode code the driver was started with
  std::string dos_output;   // how DOS-standard files print: TARVOUSB_DOS as the run found it

  // The twenty fields of the current record, in the file's order. Texts are
  // views of W_DADOS_ARQUIVO: a field may be as large as the file.
  std::string_view WCONFIG;
  double WLINHA = 0;
  double WCOLUNA = 0;
  std::string_view WCAMPO;
  std::string_view WANTES;
  std::string_view WDEPOIS;
  std::optional<double> W_LINHA_ANTES;
  std::optional<double> W_COLUNA_ANTES;
  std::optional<double> W_LINHA_DEPOIS;
  std::optional<double> W_COLUNA_DEPOIS;
  std::string_view WESPACO;
  std::optional<double> WCOL;
  std::string_view WFONTEWINDOWS;
  double WTAMANHOFONTE = 0;
  double WALTURAFONTE = 0;
  std::string_view WFONTEWINDOWSDEPOIS;
  double WTAMANHOFONTEDEPOIS = 0;
  double WALTURAFONTEDEPOIS = 0;
  double WLARGURAFONTEDEPOIS = 0;
  double WLARGURAFONTE = 0;

  // Command activation.
  double W_PROW = 0;
  double W_PCOL = 0;

  // Slip reading and issuing.
  std::string W_NOME_DO_CAMPO;
  std::string W_CONTEUDO_CAMPO;
  std::string W_TIPO_DO_CAMPO;
  bool W_INCIO_BOLETA = false;
  std::string W_DEFINIR_CAMPO;
  NamedStore slip_fields;  // the "w" + name variables of a slip file

  // DOS-standard printing. CFILE views the text the routine was given and
  // is cleared when it returns.
  DosData CFILE;
  double NRESULT = -1;
  std::string CMSG;

  // Sets up the members of a running job over `text`, as the driver does
  // when it starts.
  void start_job(std::string text);
};

}  // namespace tarvo
