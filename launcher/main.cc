#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/startup.h"
#include "launcher/system_classes.h"
#include "printing/page_device.h"
#include "printing/printer_service.h"
#include "runtime/process.h"
#include "ui/toolkit.h"

// tarvousb PATH: prints the print file at PATH. No exit code is set; the
// user learns of problems through the message boxes.
// tarvousb --version: the package's version (set by the build) and the one
// the window shows. Every other argument is a path, even one with dashes.
int main(int argc, char** argv) {
  const std::vector<std::string> args = tarvo::program_arguments(argc, argv);
  if (!args.empty() && args[0] == "--version") {
    std::printf("tarvousb %s (TARVO Printers %.*s)\n", TARVOUSB_VERSION,
                static_cast<int>(tarvo::kVersao.size()), tarvo::kVersao.data());
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  auto toolkit = tarvo::ui::make_system_toolkit(argc, argv);
  auto printers = tarvo::make_system_printer_service();
  auto automation = tarvo::make_system_automation();
  tarvo::Launcher run(*printers, *toolkit);
  if (const char* dos = std::getenv("TARVOUSB_DOS")) run.state.dos_output = dos;
  run.automation = automation.get();
  auto pages = tarvo::make_system_page_devices();
  run.pages = pages.get();
  std::optional<std::string_view> argument;
  if (!args.empty()) argument = args[0];
  tarvo::MAIN(run, argument);
  return 0;
}
