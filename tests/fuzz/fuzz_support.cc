#include "tests/fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "engine/slip_issuing.h"
#include "launcher/run_settings.h"

namespace tarvo::fuzz {
namespace {

// Every member of the stand-in is the object itself, so that every path
// through the members the slip issuing uses leads somewhere.
class AcceptingObject final : public AutomationClass, public std::enable_shared_from_this<AcceptingObject> {
 public:
  AutomationResult get(std::string_view) override {
    return std::static_pointer_cast<AutomationClass>(shared_from_this());
  }
  void put(std::string_view, const Value&) override {}
};

std::filesystem::path temporary_root() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tarvo-fuzz-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) finding("no scratch folder could be made under " + pattern);
  return pattern;
}

}  // namespace

void finding(std::string_view what) {
  std::fprintf(stderr, "FINDING: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

void CountingMessages::show(std::string_view text) {
  ++boxes;
  if (text.empty()) finding("a message box without a text");
  static const bool shown = std::getenv("TARVO_FUZZ_SHOW") != nullptr;
  if (shown) std::fprintf(stderr, "[box] %.*s\n", static_cast<int>(text.size()), text.data());
}

void CountingMessages::G_ERRO(const Value& message) { show(display_text(message, RunSettings{})); }
void CountingMessages::alert(std::string_view message) { show(message); }
bool CountingMessages::G_CONF(std::string_view question, std::string_view) {
  show(question);
  return false;
}
void CountingMessages::runtime_error(const RuntimeError& error) { show(describe(error)); }

std::unique_ptr<AutomationRegistry> accepting_slip_component() {
  auto registry = std::make_unique<AutomationRegistry>();
  registry->add(kComponenteBoleto, [] { return std::make_shared<AcceptingObject>(); });
  return registry;
}

Job::Job(std::string_view file, PageDeviceFactory* pages, AutomationRegistry* automation) {
  CONF_AMBIENTE(state.settings);
  state.V_ENTER = "\r\n";
  state.V_IMP_WIN = "S";
  state.V_IMP_USB = "N";
  state.V_DADOS_ARQUIVO = std::string(file);
  services.pages = pages;
  services.automation = automation;
}

ScratchFolder::ScratchFolder() : root_(temporary_root()), work_(root_ / "work") {
  std::filesystem::create_directory(work_);
  std::filesystem::current_path(work_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  std::filesystem::current_path(root_.parent_path(), ec);
  std::filesystem::remove_all(root_, ec);
}

void ScratchFolder::clear(std::initializer_list<std::string_view> also) const {
  for (const auto& entry : std::filesystem::directory_iterator(work_)) std::filesystem::remove_all(entry.path());
  for (std::string_view name : also) {
    const auto folder = root_ / std::string(name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
  }
}

}  // namespace tarvo::fuzz
