#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

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

// A variable of the environment changed for one test and put back after.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::filesystem::path& value) : name_(name) {
    const std::wstring wide = std::filesystem::path(name).wstring();
    wchar_t buffer[32768];
    const DWORD length = GetEnvironmentVariableW(wide.c_str(), buffer, 32768);
    if (length > 0 && length < 32768) old_ = std::wstring(buffer, length);
    test::set_env(name, value);
  }
  ~ScopedVariable() {
    if (old_) test::set_env(name_, *old_);
    else test::unset_env(name_);
  }

 private:
  const char* name_;
  std::optional<std::wstring> old_;
};

// %TARVOUSB_CONTAS%, else the user's file under %APPDATA%, else the
// machine's under %PROGRAMDATA%, accented folder names included.
TEST(AccountProfile, FoundThroughTheWindowsFoldersInOrder) {
  tarvo::test::TempDir dir;
  const std::filesystem::path user = dir.path() / u8"Usuário", machine = dir.path() / u8"Máquina";
  std::filesystem::create_directories(user / "tarvousb");
  std::filesystem::create_directories(machine / "tarvousb");
  std::ofstream(user / "tarvousb" / "contas.conf", std::ios::binary) << kWallet175;
  const auto explicit_file = dir.write("minhas.conf", "[1/1]\n");

  const ScopedVariable appdata("APPDATA", user), programdata("PROGRAMDATA", machine);
  {
    const ScopedVariable contas("TARVOUSB_CONTAS", explicit_file);
    EXPECT_EQ(profile_path(), explicit_file);
  }
  EXPECT_EQ(profile_path(), user / "tarvousb" / "contas.conf");
  EXPECT_EQ(load_profile("0810", "53678").wallet, "175");
  std::filesystem::remove(user / "tarvousb" / "contas.conf");
  EXPECT_EQ(profile_path(), machine / "tarvousb" / "contas.conf");
  // Missing everywhere: the failure names the machine's file.
  const RuntimeError e = test::failure_in([&] { load_profile("0810", "53678"); });
  EXPECT_NE(e.description.find("Máquina"), std::string::npos) << e.description;
}

}  // namespace
}  // namespace tarvo::component
