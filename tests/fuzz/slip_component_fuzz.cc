// Any bytes as a slip file, issued through the program's own slip
// component: the account profile of a scratch folder, remittance files and
// their sequence numbers written there, and each slip's pages drawn as the
// printer would get them and then dropped (the component's printer is the
// one seam: no print system is reached). Whatever the file, the slips end
// without a crash, slips that stop say why, and slips that printed are in
// the remittance file they were meant for.
#include <cstdlib>
#include <fstream>

#include "component/conta_corrente.h"
#include "component/slip_page.h"
#include "engine/slip_issuing.h"
#include "runtime/text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using tarvo::fuzz::finding;
namespace component = tarvo::component;

// One account of each bank and agreement kind the seeds use.
constexpr std::string_view kProfile =
    "[0810/53678]\nbanco = 341\ncarteira = 175\ncedente = Papelaria Tarvo Ltda\n"
    "cpf_cnpj = 11.222.333/0001-81\nendereco = Rua das Flores, 10 - Centro - São Paulo/SP\n"
    "[1584-9/210169-6]\nbanco = 001\ncarteira = 18\nconvenio = 1234567\nvariacao = 019\n"
    "cedente = Papelaria Tarvo Ltda\ncpf_cnpj = 11.222.333/0001-81\nendereco = Rua das Flores, 10\n"
    "[1/12345]\nbanco = 001\ncarteira = 17\nconvenio = 1234\nvariacao = 019\ncedente = Tarvo\n"
    "cpf_cnpj = 123.456.789-09\nendereco = Rua A, 1\nespecie = DS\naceite = S\n"
    "[1234/1]\nbanco = 104\ncarteira = RG\ncedente = Papelaria Tarvo Ltda\ncpf_cnpj = 11.222.333/0001-81\n"
    "endereco = Rua das Flores, 10\n"
    "[1234-3/0403005-2]\nbanco = 237\ncarteira = 09\ncedente = Papelaria Tarvo Ltda\n"
    "cpf_cnpj = 11.222.333/0001-81\nendereco = Rua das Flores, 10 - São Paulo - SP\n";

// The remittance folder and file come from the slip file; one that would
// leave the scratch folder is taken as a plain name inside it instead, so
// that the harness never writes elsewhere.
bool leaves_scratch(const tarvo::Value& value) {
  if (!value.is_text()) return false;
  const std::filesystem::path path(tarvo::cp1252_to_utf8(tarvo::trim(value.text())));
  if (path.is_absolute()) return true;
  for (const auto& part : path)
    if (part == "..") return true;
  return false;
}

// Where one component object was told to add its slips.
struct Destination {
  std::string folder, file;
  std::filesystem::path path() const {
    return std::filesystem::path(tarvo::cp1252_to_utf8(tarvo::trim(folder))) /
           tarvo::cp1252_to_utf8(tarvo::trim(file));
  }
};

class RemittanceInScratch final : public tarvo::AutomationClass {
 public:
  RemittanceInScratch(std::shared_ptr<tarvo::AutomationClass> members, Destination& destination)
      : members_(std::move(members)), destination_(destination) {}
  tarvo::AutomationResult get(std::string_view name) override { return members_->get(name); }
  void put(std::string_view name, const tarvo::Value& value) override {
    if (name == "DIRETORIO") return put_path(name, value, "remessas", destination_.folder);
    if (name == "ARQUIVO") return put_path(name, value, "REMESSA.TXT", destination_.file);
    members_->put(name, value);
  }

 private:
  void put_path(std::string_view name, const tarvo::Value& value, const char* instead, std::string& kept) {
    const tarvo::Value sent = leaves_scratch(value) ? tarvo::Value(instead) : value;
    members_->put(name, sent);
    kept = sent.is_text() ? sent.text() : std::string();
  }

  std::shared_ptr<tarvo::AutomationClass> members_;
  Destination& destination_;
};

// The component as the program registers it, but for its remittance members.
class InScratch final : public tarvo::AutomationClass {
 public:
  InScratch(std::shared_ptr<tarvo::AutomationClass> component, Destination& destination)
      : component_(std::move(component)), destination_(destination) {}
  tarvo::AutomationResult get(std::string_view name) override {
    tarvo::AutomationResult result = component_->get(name);
    if (name != "ARQUIVOREMESSA") return result;
    auto* members = std::get_if<std::shared_ptr<tarvo::AutomationClass>>(&result);
    if (members == nullptr) return result;
    return std::make_shared<RemittanceInScratch>(*members, destination_);
  }
  void put(std::string_view name, const tarvo::Value& value) override { component_->put(name, value); }
  tarvo::AutomationResult call(std::string_view name) override { return component_->call(name); }

 private:
  std::shared_ptr<tarvo::AutomationClass> component_;
  Destination& destination_;
};

// The slips' pages, drawn whole and dropped.
void draw_and_drop(const std::vector<component::Slip>& slips, const component::AccountData& account) {
  const std::string pdf = component::slips_pdf(slips, account, component::today());
  if (!pdf.starts_with("%PDF-")) finding("the slips' pages are not a PDF document");
}

struct Setting {
  tarvo::fuzz::ScratchFolder scratch;
  tarvo::AutomationRegistry registry;
  std::vector<std::unique_ptr<Destination>> destinations;  // of this input's component objects

  Setting() {
    const auto profile = scratch.root() / "contas.conf";
    std::ofstream(profile) << kProfile;
    ::setenv("TARVOUSB_CONTAS", profile.c_str(), 1);
    ::setenv("XDG_STATE_HOME", (scratch.root() / "state").c_str(), 1);
    registry.add(
        component::kClassName,
        [this] {
          destinations.push_back(std::make_unique<Destination>());
          return std::make_shared<InScratch>(std::make_shared<component::ContaCorrente>(draw_and_drop),
                                             *destinations.back());
        },
        component::kClassId);
  }

  // Slips that printed without a failure are in their remittance file.
  void check_remittances() const {
    for (const auto& d : destinations)
      if (!d->folder.empty() && !std::filesystem::is_regular_file(d->path()))
        finding("printed slips are missing from their remittance file");
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Setting setting;
  setting.scratch.clear({"state"});
  std::filesystem::create_directory(setting.scratch.work() / "remessas");

  setting.destinations.clear();

  tarvo::fuzz::Job job({}, nullptr, &setting.registry);
  job.state.start_job(std::string(tarvo::fuzz::text_of(data, size)));
  if (tarvo::issue_slip_file(job.services)) {
    setting.check_remittances();
  } else if (job.messages.boxes == 0) {
    finding("slips stopped without a message");
  }
  return 0;
}
