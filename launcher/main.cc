#include <optional>
#include <string_view>

#include "launcher/startup.h"
#include "printing/page_device.h"
#include "printing/printer_service.h"
#include "ui/toolkit.h"

// tarvousb PATH: prints the print file at PATH. No exit code is set; the
// user learns of problems through the message boxes.
int main(int argc, char** argv) {
  auto toolkit = tarvo::ui::make_system_toolkit(argc, argv);
  auto printers = tarvo::make_system_printer_service();
  tarvo::Launcher run(*printers, *toolkit);
  auto pages = tarvo::make_system_page_devices();
  run.pages = pages.get();
  std::optional<std::string_view> argument;
  if (argc > 1) argument = argv[1];
  tarvo::MAIN(run, argument);
  return 0;
}
