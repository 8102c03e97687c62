#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "component/local_files.h"
#include "component/remittance_sequence.h"
#include "component/slip.h"
#include "runtime/date.h"

namespace tarvo::component {

enum class RemittanceLayout { cnab400, cnab240 };

// The layout named by ARQUIVOREMESSA.LAYOUT ("CNAB400" or "CNAB240", letter
// case and blanks ignored) for the slip's bank. A name the component does not
// know, or a layout the bank does not have (CNAB 400: Banco do Brasil,
// Bradesco, Itaú; CNAB 240: Caixa, Banco do Brasil) is a component failure.
RemittanceLayout remittance_layout(const Slip& slip, std::string_view layout);

// Whether the bank's header in the layout carries a file sequence number
// (Itaú's CNAB 400 has none), and the largest one it holds.
bool has_file_sequence(Bank bank, RemittanceLayout layout);
std::int64_t max_file_sequence(RemittanceLayout layout);

// The whole file after adding `slips` (one bank, one account) to `existing`
// (empty for a new file, whose header then carries `file_sequence`): one
// header and one trailer with the counts of all details. Lines of exactly
// 400 or 240 characters, upper-case ASCII without accents, CRLF after each.
// The existing file is untrusted input: it must be a remittance of this
// layout, bank and account, and every field the component reads or keeps
// must be well formed; anything else is a component failure that names
// `file_name`, the line and the field.
std::string remittance_content(std::string_view existing, const std::string& file_name, RemittanceLayout layout,
                               const std::vector<Slip>& slips, const Date& today, std::int64_t file_sequence);

// Slips on their way to a remittance file: everything the file needs is
// checked before the slips are printed, and the file written after.
class PendingRemittance {
 public:
  // Locks the file `folder`/`name` against other runs, reads and checks it,
  // takes the next file sequence number when the file is new, builds the new
  // content and checks that the disk has room for it. Every problem is a
  // component failure, and nothing is written.
  PendingRemittance(const std::filesystem::path& folder, std::string_view name, RemittanceLayout layout,
                    const std::vector<Slip>& slips, const Date& today);

  // Writes the file (a new file's sequence number is used up first) and lets
  // go of it. A failure here comes after printing: it names the slips that
  // were printed and not added, and the file.
  void commit();

  const std::filesystem::path& path() const { return path_; }

 private:
  std::string label_;          // the account, for messages
  std::string printed_slips_;  // "o boleto NF 1 (nosso número ...)", for messages
  std::filesystem::path path_;
  std::optional<FileLock> lock_;
  std::optional<FileSequence> sequence_;
  std::string content_;
};

// Upper-case ASCII without accents: what remittance files carry. Takes
// UTF-8.
std::string remittance_text(std::string_view utf8);

}  // namespace tarvo::component
