#include "component/slip.h"

#include <chrono>
#include <cmath>

#include "component/bar_code.h"
#include "component/component_error.h"
#include "runtime/text.h"

namespace tarvo::component {

namespace {

double number_of(const Value& v, const std::string& label, std::string_view field) {
  if (v.is_number()) return v.number();
  if (v.is_text()) return numeric_value(v.text());
  fail(label, field, "não foi informado");
}

}  // namespace

Date today() {
  const auto days = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()).time_since_epoch();
  return Date::from_days_since_epoch(static_cast<long>(days.count()));
}

std::string value_digits_text(const Value& v) {
  if (v.is_text()) return std::string(trim(v.text()));
  if (v.is_number() && std::isfinite(v.number()) && std::fabs(v.number()) < 1e15)
    return std::to_string(static_cast<long long>(std::llround(v.number())));
  return {};
}

std::string account_label(const AccountData& a) {
  return value_digits_text(a.branch) + "/" + value_digits_text(a.account);
}

Slip build_slip(const AccountData& data, const AccountProfile& profile, const DocumentData& document,
                std::size_t index) {
  const std::string label = account_label(data);
  Slip s;
  s.profile = profile;
  s.document = document;
  s.place_of_payment = data.place_of_payment;
  Bank bank;
  if (!bank_from_code(profile.bank, bank)) fail(label, "banco", "banco desconhecido: " + profile.bank);
  s.account = make_bank_account(label, bank, value_digits_text(data.branch), value_digits_text(data.account),
                                value_digits_text(data.payee_code), profile.wallet, profile.agreement,
                                profile.variation);

  const double first = number_of(data.first_number, label, "INICIONOSSONUMERO");
  const double last = number_of(data.last_number, label, "FIMNOSSONUMERO");
  const double used = number_of(data.last_used_number, label, "PROXIMONOSSONUMERO");
  const double next = std::floor(used) + 1 + static_cast<double>(index);
  if (next < first || next > last)
    fail(label, "PROXIMONOSSONUMERO",
         "o nosso número " + fixed_text(next, 0) + " está fora da faixa " + fixed_text(first, 0) + " a " +
             fixed_text(last, 0));
  if (next < 1 || next > static_cast<double>(max_sequence(s.account)))
    fail(label, "PROXIMONOSSONUMERO",
         "o nosso número " + fixed_text(next, 0) + " não cabe no nosso número do banco");
  s.sequence = static_cast<std::int64_t>(next);
  s.number = our_number(s.account, s.sequence);

  const auto factor = due_date_factor(document.due_date);
  if (!factor) fail(label, "DATAVENCIMENTO", "a data de vencimento falta ou é anterior a 03/07/2000");
  const double amount_sent = number_of(document.amount, label, "VALORDOCUMENTO");
  const auto cents = amount_in_cents(amount_sent);
  const auto amount = cents ? amount_field(*cents) : std::nullopt;
  if (!amount)
    fail(label, "VALORDOCUMENTO",
         "o valor " + fixed_text(amount_sent, 2) +
             (amount_sent >= 0 ? " não cabe em 10 algarismos" : " não é o valor de um boleto"));
  s.cents = *cents;
  s.bar_code = bar_code(bank_code(bank), *factor, *amount, free_field(s.account, s.number));
  s.typeable_line = component::typeable_line(s.bar_code);
  s.printed_line = printed_typeable_line(s.typeable_line);
  return s;
}

}  // namespace tarvo::component
