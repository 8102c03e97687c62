#include "printing/automation.h"

#include <gtest/gtest.h>

#include "runtime/runtime_error.h"

namespace tarvo {
namespace {

// An object with one settings group ("GRUPO"), a property "NOME", a method
// "FALHA" that raises the component's own exception, and nothing else.
class Sample final : public AutomationClass {
 public:
  std::vector<std::string> seen;
  std::shared_ptr<Sample> group;
  Value nome;

  AutomationResult get(std::string_view name) override {
    seen.emplace_back(name);
    if (name == "NOME") return nome;
    if (name == "GRUPO") {
      if (!group) group = std::make_shared<Sample>();
      return group;
    }
    if (name == "FALHA") throw AutomationException("sem papel na impressora", "Componente");
    unknown_member();
  }
  void put(std::string_view name, const Value& value) override {
    seen.emplace_back(name);
    if (name != "NOME") unknown_member();
    if (!value.is_text()) throw AutomationStatus(std::string(kTypeMismatch));
    nome = value;
  }
};

constexpr std::string_view kSampleId = "{0A1B2C3D-0000-4000-8000-00000000ABCD}";

struct Automation : ::testing::Test {
  AutomationRegistry registry;
  std::weak_ptr<Sample> last;  // the object the factory made last

  void SetUp() override {
    registry.add("Tarvo.Amostra", [this] {
      auto s = std::make_shared<Sample>();
      last = s;
      return s;
    }, kSampleId);
  }

  RuntimeError error_of(const std::function<void()>& action) {
    try {
      action();
    } catch (const RuntimeError& e) {
      return e;
    }
    ADD_FAILURE() << "no runtime error";
    return {};
  }
};

TEST_F(Automation, ClassesAreFoundByNameOrIdInAnyLetterCase) {
  EXPECT_EQ(registry.create("tarvo.AMOSTRA").name(), "Tarvo.Amostra");
  EXPECT_EQ(registry.create("{0a1b2c3d-0000-4000-8000-00000000abcd}").name(), "Tarvo.Amostra");
  EXPECT_TRUE(registry.knows(kSampleId));
  EXPECT_FALSE(registry.knows("Tarvo"));  // a name must match whole
}

TEST_F(Automation, MembersAreSentUpperCasedAndValuesComeBack) {
  AutomationObject o = registry.create("Tarvo.Amostra");
  o.put("Nome", Value("Fulano"));
  EXPECT_EQ(o.get("nOmE"), Value("Fulano"));
  EXPECT_EQ(last.lock()->seen, (std::vector<std::string>{"NOME", "NOME"}));
}

TEST_F(Automation, AnObjectMemberIsAnObjectOfItsOwnThatOutlivesItsParent) {
  std::weak_ptr<Sample> parent, child;
  {
    AutomationObject grupo = [&] {
      AutomationObject o = registry.create("Tarvo.Amostra");
      parent = last;
      AutomationObject g = o.get_object("grupo");
      child = parent.lock()->group;
      return g;
    }();
    EXPECT_EQ(grupo.name(), "Tarvo.Amostra.GRUPO");
    grupo.put("nome", Value("x"));
    EXPECT_EQ(child.lock()->nome, Value("x"));
    EXPECT_TRUE(parent.expired());  // the top object went with its last handle
    EXPECT_FALSE(child.expired());
  }
  EXPECT_TRUE(child.expired());
}

TEST_F(Automation, UnknownClassIsAFailedCreation) {
  const RuntimeError e = error_of([&] { registry.create("CobreBemX.ContaCorrente"); });
  EXPECT_EQ(e.gencode, 1001);
  EXPECT_EQ(e.subcode, -1);
  EXPECT_EQ(e.severity, RuntimeError::Severity::error);
  EXPECT_EQ(e.subsystem, "TOleAuto");
  EXPECT_EQ(e.description, "CO_E_CLASSSTRING");
  EXPECT_EQ(e.operation, "CobreBemX.ContaCorrente");

  const RuntimeError by_id = error_of([&] { registry.create("{00000000-0000-0000-0000-000000000000}"); });
  EXPECT_EQ(by_id.subcode, -1);
  EXPECT_EQ(by_id.description, "REGDB_E_CLASSNOTREG");
}

TEST_F(Automation, AFactoryThatThrowsGivesTheComponentsTextAndSource) {
  registry.add("Tarvo.Quebrada", []() -> std::shared_ptr<AutomationClass> {
    throw AutomationException("perfil da conta não encontrado", "Tarvo.Quebrada");
  });
  registry.add("Tarvo.Vazia", [] { return std::shared_ptr<AutomationClass>(); });
  const RuntimeError e = error_of([&] { registry.create("Tarvo.Quebrada"); });
  EXPECT_EQ(e.gencode, 1001);
  EXPECT_EQ(e.subcode, -1);
  EXPECT_EQ(e.subsystem, "Tarvo.Quebrada");
  EXPECT_EQ(e.description, "perfil da conta não encontrado");
  EXPECT_EQ(error_of([&] { registry.create("Tarvo.Vazia"); }).subcode, -1);
}

TEST_F(Automation, MemberFailuresAreRuntimeErrorsNamingTheMember) {
  AutomationObject o = registry.create("Tarvo.Amostra");

  const RuntimeError unknown = error_of([&] { o.put("Inexistente", Value(1)); });
  EXPECT_EQ(unknown.gencode, 1001);
  EXPECT_EQ(unknown.subcode, 0);
  EXPECT_EQ(unknown.subsystem, "TOleAuto");
  EXPECT_EQ(unknown.description, "DISP_E_MEMBERNOTFOUND");
  EXPECT_EQ(unknown.operation, "INEXISTENTE");

  const RuntimeError raised = error_of([&] { o.call("Falha"); });
  EXPECT_EQ(raised.description, "sem papel na impressora");
  EXPECT_EQ(raised.subsystem, "Componente");
  EXPECT_EQ(raised.operation, "FALHA");

  EXPECT_EQ(error_of([&] { o.put("NOME", Value(12.0)); }).description, "DISP_E_TYPEMISMATCH");
  // A value where an object is wanted, and an object where a value is.
  EXPECT_EQ(error_of([&] { o.get_object("NOME"); }).description, "DISP_E_TYPEMISMATCH");
  EXPECT_EQ(error_of([&] { o.get("GRUPO"); }).operation, "GRUPO");
}

TEST_F(Automation, ALaterRegistrationReplacesTheEarlier) {
  int made = 0;
  registry.add("TARVO.AMOSTRA", [&] {
    ++made;
    return std::make_shared<Sample>();
  });
  registry.create("Tarvo.Amostra");
  EXPECT_EQ(made, 1);
  EXPECT_FALSE(registry.knows(kSampleId));
}

}  // namespace
}  // namespace tarvo
