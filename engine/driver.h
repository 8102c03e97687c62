#pragma once

#include <string>
#include <string_view>

#include "engine/job_services.h"

namespace tarvo {

// How a job ended. Every job ends the run: the caller (startup or the
// window) ends the program when the driver returns.
enum class JobOutcome {
  done,        // the records were processed (whatever was printed)
  slips,       // the slip file was issued
  dos,         // the DOS-standard file was handed to the spooler
  not_found,   // nothing to print was found; the user was told
  failed,      // a runtime error, or a document the printer refused or that
               // could not be drawn, ended the job; the user was told
};

// The mode codes the window's print actions start a job with: print, print
// across the sheet (landscape), and preview.
inline constexpr std::string_view kModoImprimir = "2";
inline constexpr std::string_view kModoPaisagem = "4";
inline constexpr std::string_view kModoPreview = "1";

// Runs one whole print job on printer `printer`: the records of the job's
// file drawn on pages, or the slip file, or the DOS-standard file. With mode
// "4" the pages are landscape; every other mode prints portrait. The page
// object is ended and released before it returns. When the job is previewed
// (JobServices::preview), slips and DOS-standard files show their pages
// there instead of printing.
JobOutcome IMPRIMIR_TXT(JobServices& job, std::string_view printer, std::string_view mode = kModoImprimir);

// Creates the page object OPRINTER on `printer` (A4, one copy, landscape for
// a job of mode "4", else portrait) in place of any earlier one. True when
// the printer could not be created: the user was told and no page object is
// left.
bool CRIA_NOVA_PAGINA_IMP_WIN(JobServices& job, std::string_view printer);

// The sheet-eject command: output goes to pages, where a sheet ends only with
// a page break or the end of the document, so it does nothing.
void EJETAR_FOLHA_NA_IMPRESSORA(JobServices& job);

// Shown when a record needs the page object before any "NP" created it.
inline constexpr std::string_view kSemPagina =
    "Nao foi criada a pagina da impressora (comando NP) antes deste registro.";

// Tells the user why the page object's document did not print, from its
// Failure(); the object must not be released yet.
void report_document_failure(JobServices& job);

// Shown when a document did not print: the print system refused or lost it
// (`reason` in the print system's own words), or a page could not be drawn.
std::string document_refused_text(std::string_view printer, std::string_view reason);
std::string document_not_drawn_text(std::string_view printer, std::string_view reason);

// The note a preview of a DOS-standard file carries: its printer data of
// `size` bytes is sent as it is, whatever the pages show, or, when the run
// prints such files as pages, those pages are what prints.
std::string dos_preview_note(std::size_t size, bool prints_pages = false);

}  // namespace tarvo
