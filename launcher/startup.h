#pragma once

#include <optional>
#include <string_view>

#include "engine/job_services.h"
#include "engine/driver.h"
#include "launcher/messages.h"
#include "launcher/run_settings.h"
#include "ui/toolkit.h"

namespace tarvo {

inline constexpr std::string_view kVersao = "7.9702";

// One run of the program: the job state and the services startup hands to
// the job and to the window.
struct Launcher {
  Launcher(PrinterService& printer_service, ui::Toolkit& ui_toolkit)
      : printers(printer_service),
        toolkit(ui_toolkit),
        messages(ui_toolkit.dialogs_lazy(), state.settings) {}

  JobState state;
  PrinterService& printers;
  PageDeviceFactory* pages = nullptr;
  AutomationRegistry* automation = nullptr;
  ui::Toolkit& toolkit;
  LauncherMessages messages;
  WindowEnvironment window_environment;
  // Set once a job has run: the run is over and the window must close.
  std::optional<JobOutcome> outcome;

  JobServices job_services() { return JobServices{state, printers, messages, pages, automation}; }
};

// The program's entry: sets up the job state, reads and classifies the print
// file and prints at once or opens the printer chooser.
void MAIN(Launcher& run, std::optional<std::string_view> argument);

// Runs one print job on `printer`: mode "4" prints landscape, mode "1"
// previews the job first (launcher/preview.h), any other mode prints
// portrait.
void IMPRIMIR(Launcher& run, std::string_view mode, std::string_view printer);

// Runs the job driver on `printer` (empty: none) in `mode` and keeps its
// outcome, which ends the run.
void run_print_job(Launcher& run, std::string_view printer, std::string_view mode = kModoImprimir);

// Runs the job driver with `job`'s services and gives its outcome; a runtime
// error that escapes the job is reported and ends it.
JobOutcome run_job(Launcher& run, JobServices& job, std::string_view printer, std::string_view mode);

}  // namespace tarvo
