// Any bytes as an existing remittance file that slips are added to, in each
// layout of each bank. The file is untrusted: what is not a remittance of
// that bank and account fails with a text; what the component writes must
// be lines of the layout's width that it reads back itself.
#include "component/remittance.h"
#include "runtime/runtime_error.h"
#include "tests/component/bank_cases.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using tarvo::fuzz::finding;
namespace component = tarvo::component;

// Each bank and agreement kind of the component's tests, in each layout its
// bank has, with names that carry accents.
struct Target {
  component::Slip slip;
  component::RemittanceLayout layout;
};

std::vector<Target> targets() {
  std::vector<Target> all;
  for (const auto& bank_case : component::test::bank_cases()) {
    component::Slip slip = component::test::slip_of(bank_case);
    slip.profile.payee_name = "Papelaria Tarvo Ltda";
    slip.profile.payee_tax_id = "11.222.333/0001-81";
    slip.document.payer_name = "Jos\xe9 da Concei\xe7\xe3o";
    slip.document.payer_tax_id = "123.456.789-09";
    slip.document.payer_city = "S\xe3o Paulo";
    slip.document.document_number = slip.document.control_number = "NF 1234";
    slip.document.protest_days = "05";
    const component::Bank bank = slip.account.bank;
    if (bank != component::Bank::caixa) all.push_back({slip, component::RemittanceLayout::cnab400});
    if (bank == component::Bank::caixa || bank == component::Bank::banco_do_brasil)
      all.push_back({slip, component::RemittanceLayout::cnab240});
  }
  return all;
}

void check_written(const std::string& content, std::size_t width) {
  for (std::size_t at = 0; at < content.size(); at += width + 2) {
    if (content.size() - at < width + 2 || content.compare(at + width, 2, "\r\n") != 0)
      finding("a written line is not of the layout's width");
    for (std::size_t i = at; i < at + width; ++i)
      if (content[i] < 0x20 || content[i] >= 0x7f)
        finding("a written line holds what a remittance file cannot: line " + std::to_string(at / (width + 2) + 1) +
                ", position " + std::to_string(i - at + 1) + ", byte " +
                std::to_string(static_cast<unsigned char>(content[i])));
  }
}

void add_to(std::string_view existing, const Target& target) {
  const component::Slip& slip = target.slip;
  const component::RemittanceLayout layout = target.layout;
  const tarvo::Date today = component::test::day(2026, 1, 15);
  std::string written;
  try {
    written = component::remittance_content(existing, "REMESSA.TXT", layout, {slip}, today, 7);
  } catch (const tarvo::RuntimeError& e) {
    if (e.description.empty()) finding("a refused file without a text");
    return;
  }
  check_written(written, layout == component::RemittanceLayout::cnab400 ? 400 : 240);
  try {
    component::remittance_content(written, "REMESSA.TXT", layout, {slip}, today, 7);
  } catch (const tarvo::RuntimeError& e) {
    finding("the component refuses a file it wrote: " + e.description);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<Target> all = targets();
  const std::string_view existing = tarvo::fuzz::text_of(data, size);
  for (const Target& target : all) add_to(existing, target);
  return 0;
}
