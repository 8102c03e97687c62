#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// Markers of the print file language. Compared byte for byte; the job-mode
// and DOS-standard markers are looked for in an upper-cased tail.
inline constexpr std::string_view kMarcaDireta = "=+IMPRESSAO_DIRETA+=";
inline constexpr std::string_view kMarcaPreview = "=+IMPRESSAO_PREVIEW+=";
inline constexpr std::string_view kMarcaPadraoDos = "=+IMPRESSAO_PADRAO_DO_DOS+=";
inline constexpr std::string_view kInicioBoleto = "=+inicio_boleto+=";
inline constexpr std::string_view kFinalBoleto = "=+final_boleto+=";

// The job-mode and DOS markers count only within the file's last 201
// characters.
inline constexpr std::size_t kTailLength = 201;

// The last 201 characters of `text` (all of it when shorter), upper-cased.
std::string upper_tail(std::string_view text);

// Mode code of a print file: "2" when its tail asks to print at once, "3"
// otherwise.
std::string IMPRESSAO_DIRETA(std::string_view text);

// True for a job-mode record: line -13, column -15 and a content that begins
// with one of the job-mode markers (any letter case). It is never printed.
bool DESCARTA_COMANDO_POR_SER_CONFIGURACAO(double line, double column, std::string_view content);

}  // namespace tarvo
