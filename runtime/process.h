#pragma once

#include <string>
#include <vector>

namespace tarvo {

// What the program learns from the system about its own process. Each
// platform's version lives in process_<platform>.cc.

// The full path of the running program (UTF-8 where the system names files
// in Unicode); "tarvousb" when the system does not say.
std::string program_path();

// The local date and time, in the system's time zone.
struct LocalTime {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};
LocalTime local_time_now();

// The system's number of this process.
long process_id();

// The arguments the program was started with, after its own name. On
// systems whose command line is Unicode they are taken from it whole and
// given in UTF-8, so a path outside the local code page still names its file.
std::vector<std::string> program_arguments(int argc, char** argv);

}  // namespace tarvo
