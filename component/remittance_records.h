#pragma once

// What the CNAB 400 and CNAB 240 writers share: field values in the forms
// the layouts ask for, and the existing file read as untrusted input.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "component/remittance.h"
#include "component/slip.h"

namespace tarvo::component::remittance {

std::string date6(const Date& d);  // ddmmyy
std::string date8(const Date& d);  // ddmmyyyy

// A Windows-1252 text of the slip file as remittance files carry it.
std::string ascii(std::string_view cp1252);

// 1 for a CPF (11 digits or fewer), 2 for a CNPJ.
int tax_kind(std::string_view digits);

// "A" when the profile's aceite says yes, else "N".
std::string acceptance_letter(const AccountProfile& profile);

// The profile's document kind (especie) in the codes of the layout.
std::string kind_code(const Slip& slip, RemittanceLayout layout);

// The charge of one day after the due date, as the slip's instructions state
// it (one thirtieth of 2 percent a day), in cents.
std::int64_t daily_charge_cents(const Slip& slip);

// The protest days of the slip as two digits ("00" without protest).
std::string protest_days(const Slip& slip);

// The slip's collection instruction as two digits; when it sends protest
// days without an instruction, the bank's protest instruction.
std::string first_instruction(const Slip& slip);

// An existing remittance file, read as untrusted input: its lines, each of
// the layout's width, of printable ASCII and closed by CRLF, and failures
// that name the file, the line and the field.
class ExistingFile {
 public:
  // Splits `content`; a line of another width, with a control character or
  // a byte beyond ASCII, or without CRLF is a failure.
  ExistingFile(std::string_view content, std::string file_name, std::size_t width, std::string account_label);

  const std::vector<std::string>& lines() const { return lines_; }
  bool empty() const { return lines_.empty(); }

  [[noreturn]] void bad(std::size_t line, std::string_view field, std::string_view what) const;
  // The number at positions from..to of line `line` (both 1-based); a field
  // that is not all digits is a failure naming it.
  std::int64_t number(std::size_t line, std::size_t from, std::size_t to, std::string_view field) const;
  // Positions from..to of line `line` must read `wanted`; otherwise a
  // failure naming the field and saying `meaning` ("o arquivo é de outro
  // banco").
  void expect(std::size_t line, std::size_t from, std::size_t to, std::string_view wanted, std::string_view field,
              std::string_view meaning) const;

 private:
  std::string name_, label_;
  std::vector<std::string> lines_;
};

// The new content: the existing lines (checked) with `slips` added, and one
// header and trailer around them; `file_sequence` numbers a new file.
std::string cnab400_content(const ExistingFile& existing, const std::vector<Slip>& slips, const Date& today,
                            std::int64_t file_sequence);
std::string cnab240_content(const ExistingFile& existing, const std::vector<Slip>& slips, const Date& today,
                            std::int64_t file_sequence);

// Lines joined, each closed by CRLF.
std::string join_lines(const std::vector<std::string>& lines);

}  // namespace tarvo::component::remittance
