// Any bytes as an existing remittance file that slips are added to, in each
// layout of each bank. The file is untrusted: what is not a remittance of
// that bank and account fails with a text; what the component writes must
// be lines of the layout's width that it reads back itself.
#include "component/remittance.h"
#include "runtime/runtime_error.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using tarvo::fuzz::finding;
namespace component = tarvo::component;

struct Account {
  const char* bank;
  const char* wallet;
  const char* agreement;
  const char* branch;
  const char* account;
  const char* payee_code;
  component::RemittanceLayout layout;
};

constexpr component::RemittanceLayout kCnab400 = component::RemittanceLayout::cnab400;
constexpr component::RemittanceLayout kCnab240 = component::RemittanceLayout::cnab240;

// One account of each bank and layout the component writes.
constexpr Account kAccounts[] = {
    {"341", "175", "", "0810", "53678", "53678", kCnab400},
    {"237", "09", "", "1234-3", "0403005-2", "1234567", kCnab400},
    {"001", "18", "1234567", "1584", "210169", "", kCnab400},
    {"001", "17", "1234", "1", "12345", "", kCnab240},
    {"104", "RG", "", "1234", "1", "005507", kCnab240},
};

tarvo::Date day(int y, int m, int d) { return *tarvo::Date::from_ymd(y, m, d); }

component::Slip slip_of(const Account& a) {
  component::AccountData data;
  data.branch = tarvo::Value(a.branch);
  data.account = tarvo::Value(a.account);
  data.payee_code = tarvo::Value(a.payee_code);
  data.first_number = 1.0;
  data.last_number = 99999999.0;
  data.last_used_number = 41.0;
  component::AccountProfile p;
  p.bank = a.bank;
  p.wallet = a.wallet;
  p.agreement = a.agreement;
  if (p.bank == "001") p.variation = "019";
  p.payee_name = "Papelaria Tarvo Ltda";
  p.payee_tax_id = "11.222.333/0001-81";
  p.payee_address = "Rua das Flores, 10";
  component::DocumentData d;
  d.payer_name = "Jos\xe9 da Concei\xe7\xe3o";
  d.payer_tax_id = "123.456.789-09";
  d.payer_address = "Av. S\xe3o Jo\xe3o, 500";
  d.payer_city = "S\xe3o Paulo";
  d.payer_state = "SP";
  d.payer_zip = "01035-000";
  d.instruction3 = "06";
  d.protest_days = "05";
  d.document_date = day(2026, 1, 5);
  d.due_date = day(2026, 2, 2);
  d.document_number = d.control_number = "NF 1234";
  d.amount = 135.0;
  return component::build_slip(data, p, d, 0);
}

void check_written(const std::string& content, std::size_t width) {
  for (std::size_t at = 0; at < content.size(); at += width + 2) {
    if (content.size() - at < width + 2 || content.compare(at + width, 2, "\r\n") != 0) finding("a written line is not of the layout's width");
    for (std::size_t i = at; i < at + width; ++i)
      if (content[i] < 0x20 || content[i] >= 0x7f)
        finding("a written line holds what a remittance file cannot: line " + std::to_string(at / (width + 2) + 1) +
                ", position " + std::to_string(i - at + 1) + ", byte " +
                std::to_string(static_cast<unsigned char>(content[i])));
  }
}

void add_to(std::string_view existing, const Account& account, const component::Slip& slip) {
  const tarvo::Date today = day(2026, 1, 15);
  std::string written;
  try {
    written = component::remittance_content(existing, "REMESSA.TXT", account.layout, {slip}, today, 7);
  } catch (const tarvo::RuntimeError& e) {
    if (e.description.empty()) finding("a refused file without a text");
    return;
  }
  check_written(written, account.layout == kCnab400 ? 400 : 240);
  try {
    component::remittance_content(written, "REMESSA.TXT", account.layout, {slip}, today, 7);
  } catch (const tarvo::RuntimeError& e) {
    finding("the component refuses a file it wrote: " + e.description);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<component::Slip> slips = [] {
    std::vector<component::Slip> all;
    for (const Account& a : kAccounts) all.push_back(slip_of(a));
    return all;
  }();
  const std::string_view existing = tarvo::fuzz::text_of(data, size);
  for (std::size_t i = 0; i < std::size(kAccounts); ++i) add_to(existing, kAccounts[i], slips[i]);
  return 0;
}
