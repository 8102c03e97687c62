// raw_send PRINTER FILE [TITLE]: sends FILE to PRINTER as a raw job through
// the program's raw spooling alone, and prints the result code.
#include <cstdio>

#include "printing/spooler_cups.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: raw_send PRINTER FILE [TITLE]\n");
    return 2;
  }
  tarvo::CupsSpooler spooler;
  const tarvo::Value title = argc > 3 ? tarvo::Value(argv[3]) : tarvo::Value();
  const int result = spooler.PRINTFILERAW(tarvo::Value(argv[1]), tarvo::Value(argv[2]), title);
  std::printf("%d\n", result);
  return result == 1 ? 0 : 1;
}
