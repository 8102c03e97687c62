#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "component/slip.h"
#include "runtime/date.h"

namespace tarvo::component {

enum class RemittanceLayout { cnab400, cnab240 };

// The layout named by ARQUIVOREMESSA.LAYOUT ("CNAB400" or "CNAB240", letter
// case and blanks ignored) for the slip's bank. A name the component does not
// know, or a layout the bank does not have (CNAB 400: Banco do Brasil,
// Bradesco, Itaú; CNAB 240: Caixa, Banco do Brasil) is a component failure.
RemittanceLayout remittance_layout(const Slip& slip, std::string_view layout);

// The whole file after adding `slips` (one bank, one account) to `existing`
// (empty for a new file): one header and one trailer with the counts and
// sequence numbers of all details. Lines of exactly 400 or 240 characters,
// upper-case ASCII without accents, CRLF after each. An existing file that
// is not a remittance of this layout and bank is a component failure.
std::string remittance_content(std::string_view existing, RemittanceLayout layout,
                               const std::vector<Slip>& slips, const Date& today);

// Adds the slips to the file `folder`/`name`: reads it, builds the new
// content and replaces the file through a temporary file and a rename, so a
// failure leaves the earlier file as it was.
void add_to_remittance(const std::filesystem::path& folder, std::string_view name, RemittanceLayout layout,
                       const std::vector<Slip>& slips, const Date& today);

// Upper-case ASCII without accents: what remittance files carry. Takes
// UTF-8.
std::string remittance_text(std::string_view utf8);

}  // namespace tarvo::component
