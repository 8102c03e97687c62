#include "component/conta_corrente.h"

#include "component/component_error.h"
#include "component/remittance.h"
#include "component/slip_page.h"
#include "runtime/text.h"

namespace tarvo::component {

namespace {

class PrintDefaults final : public MemberObject {
 public:
  explicit PrintDefaults(std::shared_ptr<MemberObject> printed) {
    declare({});
    add_child("PADROESBOLETOIMPRESSO", std::move(printed));
  }
};

class PrintedDefaults final : public MemberObject {
 public:
  PrintedDefaults() { declare({"ARQUIVOLOGOTIPO", "CAMINHOIMAGENSCODIGOBARRAS", "LAYOUTBOLETO"}); }
};

class Remittance final : public MemberObject {
 public:
  Remittance() { declare({"DIRETORIO", "ARQUIVO", "LAYOUT"}); }
};

class DocumentDefaults final : public MemberObject {
 public:
  DocumentDefaults() { declare({"DEMONSTRATIVO", "INSTRUCOESCAIXA"}); }
};

Date date_member(const MemberObject& o, std::string_view name) {
  const Value& v = o.value(name);
  return v.is_date() ? v.date() : Date();
}

double number_member(const MemberObject& o, std::string_view name) {
  const Value& v = o.value(name);
  return v.is_number() ? v.number() : v.is_text() ? numeric_value(v.text()) : 0.0;
}

// The pages of an instance's slips as they would print; an automation object
// without members of its own.
class SlipPreview final : public AutomationClass, public PreviewPages {
 public:
  SlipPreview(std::vector<Slip> slips, AccountData account)
      : slips_(std::move(slips)), account_(std::move(account)), processing_(today()) {}

  AutomationResult get(std::string_view) override { unknown_member(); }
  void put(std::string_view, const Value&) override { unknown_member(); }

  std::size_t count() const override { return slips_.size(); }
  SheetSize size(std::size_t) const override { return slip_sheet(); }
  PageImage render(std::size_t page, double pixels_per_point) const override {
    return slip_image(slips_.at(page), account_, processing_, pixels_per_point);
  }

 private:
  std::vector<Slip> slips_;
  AccountData account_;
  Date processing_;
};

}  // namespace

// ---- MemberObject ----------------------------------------------------------

void MemberObject::declare(std::initializer_list<std::string_view> names) {
  for (std::string_view n : names) values_.emplace(std::string(n), Value());
}

void MemberObject::add_child(std::string_view name, std::shared_ptr<AutomationClass> child) {
  children_.emplace(std::string(name), std::move(child));
}

AutomationResult MemberObject::get(std::string_view name) {
  if (auto child = children_.find(name); child != children_.end()) return child->second;
  if (auto v = values_.find(name); v != values_.end()) return v->second;
  if (auto result = method(name)) return *result;
  unknown_member();
}

void MemberObject::put(std::string_view name, const Value& value) {
  auto v = values_.find(name);
  if (v == values_.end()) unknown_member();
  v->second = value;
}

const Value& MemberObject::value(std::string_view name) const {
  static const Value absent;
  auto v = values_.find(name);
  return v == values_.end() ? absent : v->second;
}

std::string MemberObject::text(std::string_view name) const {
  const Value& v = value(name);
  return v.is_text() ? v.text() : std::string();
}

// ---- Document --------------------------------------------------------------

Document::Document()
    : own_data_(std::make_shared<Collection<OwnDataEntry>>()), defaults_(std::make_shared<DocumentDefaults>()) {
  declare({"NOMESACADO", "CPFSACADO", "ENDERECOSACADO", "BAIRROSACADO", "CIDADESACADO", "ESTADOSACADO",
           "CEPSACADO", "INSTRUCAOCOBRANCA3", "VALORINSTRUCAOCOBRANCA3", "DIASPROTESTO", "DATADOCUMENTO",
           "DATAVENCIMENTO", "NUMERODOCUMENTO", "NUMEROCONTROLE", "VALORDOCUMENTO"});
  add_child("MEUSDADOS", own_data_);
  add_child("PADROESBOLETO", defaults_);
}

DocumentData Document::data() const {
  DocumentData d;
  d.payer_name = text("NOMESACADO");
  d.payer_tax_id = text("CPFSACADO");
  d.payer_address = text("ENDERECOSACADO");
  d.payer_district = text("BAIRROSACADO");
  d.payer_city = text("CIDADESACADO");
  d.payer_state = text("ESTADOSACADO");
  d.payer_zip = text("CEPSACADO");
  d.instruction3 = text("INSTRUCAOCOBRANCA3");
  d.instruction3_value = number_member(*this, "VALORINSTRUCAOCOBRANCA3");
  d.protest_days = text("DIASPROTESTO");
  d.document_date = date_member(*this, "DATADOCUMENTO");
  d.due_date = date_member(*this, "DATAVENCIMENTO");
  d.document_number = text("NUMERODOCUMENTO");
  d.control_number = text("NUMEROCONTROLE");
  d.amount = value("VALORDOCUMENTO");
  d.statement = defaults_->text("DEMONSTRATIVO");
  d.cashier_instructions = defaults_->text("INSTRUCOESCAIXA");
  for (const auto& entry : own_data_->items()) d.own_data.emplace_back(entry->text("NOME"), entry->text("VALOR"));
  return d;
}

// ---- ContaCorrente -----------------------------------------------------------

ContaCorrente::ContaCorrente(SlipPrinter printer)
    : printer_(std::move(printer)),
      print_defaults_(std::make_shared<PrintedDefaults>()),
      remittance_(std::make_shared<Remittance>()),
      documents_(std::make_shared<Collection<Document>>()) {
  declare({"LOCALPAGAMENTO", "CODIGOAGENCIA", "NUMEROCONTACORRENTE", "CODIGOCEDENTE", "INICIONOSSONUMERO",
           "FIMNOSSONUMERO", "PROXIMONOSSONUMERO"});
  add_child("PADROESBOLETO", std::make_shared<PrintDefaults>(print_defaults_));
  add_child("ARQUIVOREMESSA", remittance_);
  add_child("DOCUMENTOSCOBRANCA", documents_);
}

std::optional<AutomationResult> ContaCorrente::method(std::string_view name) {
  if (name == "PREVIEWBOLETOS") return preview();
  if (name != "IMPRIMEBOLETOSSEMPREVIEW") return std::nullopt;
  print_without_preview();
  return AutomationResult(Value(true));
}

AutomationResult ContaCorrente::preview() const {
  const AccountData a = account();
  std::vector<Slip> all = slips();
  if (all.empty()) fail(account_label(a), "DOCUMENTOSCOBRANCA", "não há documento a imprimir");
  return std::static_pointer_cast<AutomationClass>(std::make_shared<SlipPreview>(std::move(all), a));
}

AccountData ContaCorrente::account() const {
  AccountData a;
  a.place_of_payment = text("LOCALPAGAMENTO");
  a.branch = value("CODIGOAGENCIA");
  a.account = value("NUMEROCONTACORRENTE");
  a.payee_code = value("CODIGOCEDENTE");
  a.first_number = value("INICIONOSSONUMERO");
  a.last_number = value("FIMNOSSONUMERO");
  a.last_used_number = value("PROXIMONOSSONUMERO");
  a.logo_file = print_defaults_->text("ARQUIVOLOGOTIPO");
  a.bar_code_images = print_defaults_->text("CAMINHOIMAGENSCODIGOBARRAS");
  a.layout = print_defaults_->text("LAYOUTBOLETO");
  a.remittance_folder = remittance_->text("DIRETORIO");
  a.remittance_file = remittance_->text("ARQUIVO");
  a.remittance_layout = remittance_->text("LAYOUT");
  return a;
}

std::vector<Slip> ContaCorrente::slips() const {
  const AccountData a = account();
  std::vector<Slip> out;
  if (documents_->items().empty()) return out;
  const AccountProfile profile = load_profile(value_digits_text(a.branch), value_digits_text(a.account));
  for (std::size_t i = 0; i < documents_->items().size(); ++i)
    out.push_back(build_slip(a, profile, documents_->items()[i]->data(), i));
  return out;
}

bool ContaCorrente::remittance_requested() const {
  // Slip issuing sets the three members only when the slip asks for a
  // remittance file, and then sets them all, even when empty.
  return !remittance_->value("DIRETORIO").is_absent() || !remittance_->value("ARQUIVO").is_absent() ||
         !remittance_->value("LAYOUT").is_absent();
}

PendingRemittance ContaCorrente::prepare_remittance(const AccountData& a, const std::vector<Slip>& slips) const {
  const std::string label = account_label(a);
  const std::pair<const char*, const std::string*> members[] = {{"ARQUIVOREMESSA.DIRETORIO", &a.remittance_folder},
                                                                {"ARQUIVOREMESSA.ARQUIVO", &a.remittance_file},
                                                                {"ARQUIVOREMESSA.LAYOUT", &a.remittance_layout}};
  for (const auto& [member, value] : members)
    if (trim(*value).empty())
      fail(label, member, "a gravação do arquivo de remessa foi pedida, mas este campo está vazio");
  const RemittanceLayout layout = remittance_layout(slips.front(), a.remittance_layout);
  return PendingRemittance(path_from_utf8(cp1252_to_utf8(trim(a.remittance_folder))),
                           cp1252_to_utf8(trim(a.remittance_file)), layout, slips, today());
}

void ContaCorrente::print_without_preview() {
  const AccountData a = account();
  const std::vector<Slip> all = slips();
  if (all.empty()) fail(account_label(a), "DOCUMENTOSCOBRANCA", "não há documento a imprimir");
  // Everything the remittance file needs is checked (and the file locked)
  // before anything is printed, and the file is written after: a slip that
  // could not be registered is not printed, and one that failed to print
  // never reaches the bank's file.
  std::optional<PendingRemittance> remittance;
  if (remittance_requested()) remittance.emplace(prepare_remittance(a, all));
  printer_(all, a);
  if (remittance) remittance->commit();
}

void register_slip_component(AutomationRegistry& registry) {
  registry.add(
      kClassName, [] { return std::make_shared<ContaCorrente>(print_on_default_printer); }, kClassId);
}

}  // namespace tarvo::component
