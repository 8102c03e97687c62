#pragma once

#include <string_view>

#include "engine/job_services.h"

namespace tarvo {

// Delimiters of a slip record: start, name, separator, type, separator,
// content, end. The end-of-file marker and the separator are those of the
// positioned records.
inline constexpr std::string_view WINICIO_BOLETO = "/\\\\/";
inline constexpr std::string_view WFINAL_BOLETO = "&##&";

// The component that lays out and prints one slip.
inline constexpr std::string_view kComponenteBoleto = "CobreBemX.ContaCorrente";
// Its member that prints the slips, and the one that gives their pages for a
// preview without printing them, registering them or numbering a
// remittance file.
inline constexpr std::string_view kImprimeBoletos = "IMPRIMEBOLETOSSEMPREVIEW";
inline constexpr std::string_view kPreviewBoletos = "PREVIEWBOLETOS";

// True when the text is a slip file: the slip-start marker begins within its
// first 50 characters.
bool IMPRESSAO_DE_BOLETOS(std::string_view text);

// Reads the next slip record of W_DADOS_ARQUIVO from the cursor WII on into
// W_NOME_DO_CAMPO, W_TIPO_DO_CAMPO and W_CONTEUDO_CAMPO. True for a complete
// record; false when the end-of-file marker or the end of the text came
// first.
bool OBTER_LINHA_BOLETO(JobState& job);

// Issues one slip from the slip fields stored so far through the slip
// component: one new component object with one document, printed without
// preview, released on return. With `preview` the slip is not printed: its
// pages join the job's preview (JobServices::preview). `source` "S" (the
// data come from the stored fields) is the only source there is.
// A missing or wrongly typed field and any failure of the component throw
// RuntimeError; the slip is then not printed.
bool M14C11_IMP_BOLETOS_N13_14(JobServices& job, bool preview = false,
                               std::string_view source = "S");

// The slip loop of the job driver: reads the slip records of the job's text
// into an emptied field store and issues one slip per start/end pair (in a
// previewed job, shows it). A runtime error is reported once and ends the
// loop (slips issued before stay issued); the result is then false.
bool issue_slip_file(JobServices& job);

}  // namespace tarvo
