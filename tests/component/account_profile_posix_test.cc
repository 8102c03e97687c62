#include <gtest/gtest.h>

#include "component/account_profile.h"
#include "runtime/runtime_error.h"
#include "tests/component/environment.h"
#include "tests/component/failure.h"
#include "tests/support/test_support.h"

namespace tarvo::component {
namespace {

constexpr const char* kWallet175 =
    "[0810/53678]\nbanco = 341\ncarteira = 175\ncedente = Papelaria Tarvo Ltda\n"
    "cpf_cnpj = 11.222.333/0001-81\nendereco = Rua das Flores, 10\n";

TEST(AccountProfile, FoundThroughTheEnvironmentInOrder) {
  tarvo::test::TempDir dir;
  const auto explicit_file = dir.write("minhas.conf", kWallet175);
  std::filesystem::create_directories(dir.path() / "xdg/tarvousb");
  const auto xdg_file = dir.write("xdg/tarvousb/contas.conf", "[1/1]\n");
  test::set_env("TARVOUSB_CONTAS", explicit_file);
  test::set_env("XDG_CONFIG_HOME", dir.path() / "xdg");
  EXPECT_EQ(profile_path(), explicit_file);
  EXPECT_EQ(load_profile("0810", "53678").wallet, "175");
  test::unset_env("TARVOUSB_CONTAS");
  EXPECT_EQ(profile_path(), xdg_file);
  test::set_env("XDG_CONFIG_HOME", dir.path() / "nada");
  EXPECT_EQ(profile_path(), "/etc/tarvousb/contas.conf");
  test::set_env("TARVOUSB_CONTAS", dir.path() / "ausente.conf");
  {
    const RuntimeError e = test::failure_in([&] { load_profile("0810", "53678"); });
    EXPECT_NE(e.description.find("ausente.conf"), std::string::npos) << e.description;
  }
  test::unset_env("TARVOUSB_CONTAS");
  test::unset_env("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace tarvo::component
