// Any bytes as an account profile file: read, then asked for the accounts
// of the example profile and for the account its first section names. An
// account the file lacks, or lacks keys for, is a failure with a text; any
// other outcome must give the keys every slip needs.
#include "component/account_profile.h"
#include "runtime/runtime_error.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using tarvo::fuzz::finding;
namespace component = tarvo::component;

// The branch and account of the first section's name, split where the
// profile splits them.
std::pair<std::string_view, std::string_view> first_section(std::string_view text) {
  const std::size_t open = text.find('[');
  const std::size_t close = text.find(']', open == std::string_view::npos ? 0 : open);
  if (open == std::string_view::npos || close == std::string_view::npos) return {};
  const std::string_view name = text.substr(open + 1, close - open - 1);
  const std::size_t cut = name.find('/');
  if (cut == std::string_view::npos) return {name, {}};
  return {name.substr(0, cut), name.substr(cut + 1)};
}

void ask(const component::ProfileFile& file, std::string_view branch, std::string_view account) {
  try {
    const component::AccountProfile p = component::profile_from(file, "contas.conf", branch, account);
    if (p.bank.empty() || p.wallet.empty() || p.payee_name.empty() || p.payee_tax_id.empty() ||
        p.payee_address.empty() || p.document_kind.empty() || p.acceptance.empty())
      finding("a profile without a key every slip needs");
  } catch (const tarvo::RuntimeError& e) {
    if (e.description.empty()) finding("a profile failure without a text");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = tarvo::fuzz::text_of(data, size);
  const component::ProfileFile file = component::ProfileFile::parse(text);
  const auto [branch, account] = first_section(text);
  ask(file, branch, account);
  ask(file, "0810", "53678");
  ask(file, "1584-9", "0210169-6");
  ask(file, "", "");
  return 0;
}
