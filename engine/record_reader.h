#pragma once

#include <string_view>

namespace tarvo {

struct JobState;

// Delimiters of a positioned record.
inline constexpr std::string_view WSEPARADOR = "&#$|";
inline constexpr std::string_view WINICIO_LINHA = "/#%#";
inline constexpr std::string_view WFINAL_LINHA = "%$@\\";
inline constexpr std::string_view WFINAL_ARQUIVO = "/#FIM@\\";
inline constexpr std::size_t WTAMANHO_SEPARADOR = 4;

// Reads the next positioned record of W_DADOS_ARQUIVO from the cursor WII on.
// Returns true when one complete record was read; false when the end-of-file
// marker or the end of the text came first. The record's twenty fields are
// left in the job state, converted to their kinds (texts as views of
// W_DADOS_ARQUIVO, valid while it holds the file); the first record decides
// DOS mode.
bool OBTER_LINHA_T_FILES_IMP(JobState& job);

}  // namespace tarvo
