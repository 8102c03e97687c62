#pragma once

#include <string>
#include <string_view>

#include "engine/job_services.h"

namespace tarvo {

// How the run prints DOS-standard files, from its TARVOUSB_DOS setting:
// "bruto" (or nothing) sends the printer data raw, "paginas" prints it as
// pages; letter case, blanks around it and the accent of "páginas" do not
// count. Any other value is `unknown`.
enum class DosOutput { raw, pages, unknown };
DosOutput dos_output(std::string_view setting);

// Prints a DOS-standard file on dos_printer() as the run asks: as pages, or
// raw; when the printer refuses the raw data, the user is asked whether to
// print it as pages there instead (yes by default). An unknown setting is
// told, and the file goes raw. False when `text` is not a DOS-standard
// file: nothing happens then.
bool print_dos_file(JobServices& job, std::string_view text);

// The question asked when printer `printer` refused the raw data.
std::string dos_refused_question(std::string_view printer);

}  // namespace tarvo
