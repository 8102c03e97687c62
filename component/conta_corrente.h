#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "component/remittance.h"
#include "component/slip.h"
#include "printing/automation.h"

namespace tarvo::component {

inline constexpr std::string_view kClassName = "CobreBemX.ContaCorrente";
inline constexpr std::string_view kClassId = "{8F4C2A61-3B7D-4E19-A5C0-7D2E9B14F630}";

// An object of the component whose members are plain values, each known by
// its upper-case name; members that are objects of their own are added as
// children. Reading a value member gives what was put (absent before).
class MemberObject : public AutomationClass {
 public:
  AutomationResult get(std::string_view name) override;
  void put(std::string_view name, const Value& value) override;

  const Value& value(std::string_view name) const;
  std::string text(std::string_view name) const;  // a text member, "" when absent or not a text

 protected:
  void declare(std::initializer_list<std::string_view> names);
  void add_child(std::string_view name, std::shared_ptr<AutomationClass> child);
  // Methods of the object; called by get and call alike.
  virtual std::optional<AutomationResult> method(std::string_view) { return std::nullopt; }

 private:
  std::map<std::string, Value, std::less<>> values_;
  std::map<std::string, std::shared_ptr<AutomationClass>, std::less<>> children_;
};

// A collection whose ADD gives a new item (and keeps it).
template <class Item>
class Collection final : public MemberObject {
 public:
  Collection() { declare({}); }
  const std::vector<std::shared_ptr<Item>>& items() const { return items_; }

 protected:
  std::optional<AutomationResult> method(std::string_view name) override {
    if (name == "ADD") {
      items_.push_back(std::make_shared<Item>());
      return AutomationResult(std::static_pointer_cast<AutomationClass>(items_.back()));
    }
    if (name == "COUNT") return AutomationResult(Value(static_cast<double>(items_.size())));
    return std::nullopt;
  }

 private:
  std::vector<std::shared_ptr<Item>> items_;
};

// MEUSDADOS entry: NOME, VALOR.
class OwnDataEntry final : public MemberObject {
 public:
  OwnDataEntry() { declare({"NOME", "VALOR"}); }
};

// One slip document of DOCUMENTOSCOBRANCA.
class Document final : public MemberObject {
 public:
  Document();
  DocumentData data() const;

 private:
  std::shared_ptr<Collection<OwnDataEntry>> own_data_;
  std::shared_ptr<MemberObject> defaults_;
};

// Where a component instance's slips go when IMPRIMEBOLETOSSEMPREVIEW is
// called: the default printer (the real one), or a test's own.
using SlipPrinter = std::function<void(const std::vector<Slip>& slips, const AccountData& account)>;

// "CobreBemX.ContaCorrente": the account, its print defaults, the remittance
// file and the documents; IMPRIMEBOLETOSSEMPREVIEW lays out and prints them
// and, when the remittance members are set, adds them to the remittance file.
// PREVIEWBOLETOS lays them out alike but only gives their pages (an object
// offering PreviewPages): it prints nothing, touches no remittance file and
// takes no sequence number.
class ContaCorrente final : public MemberObject {
 public:
  explicit ContaCorrente(SlipPrinter printer);

  AccountData account() const;
  // The slips of the instance's documents, numbered from PROXIMONOSSONUMERO + 1.
  std::vector<Slip> slips() const;

 protected:
  std::optional<AutomationResult> method(std::string_view name) override;

 private:
  void print_without_preview();
  AutomationResult preview() const;
  bool remittance_requested() const;
  PendingRemittance prepare_remittance(const AccountData& account, const std::vector<Slip>& slips) const;

  SlipPrinter printer_;
  std::shared_ptr<MemberObject> print_defaults_;  // PADROESBOLETO.PADROESBOLETOIMPRESSO
  std::shared_ptr<MemberObject> remittance_;      // ARQUIVOREMESSA
  std::shared_ptr<Collection<Document>> documents_;
};

// Prints the slips on the default printer as one job (the real SlipPrinter).
void print_on_default_printer(const std::vector<Slip>& slips, const AccountData& account);

// Registers the component's class under its name and class id.
void register_slip_component(AutomationRegistry& registry);

}  // namespace tarvo::component
