// Any bytes, as the printer data of a DOS-standard file, drawn by the ESC/P
// interpreter on a recording page device, for both print heads (the second
// time in two pieces, as data either side of a marker): whatever the data,
// it must end without a crash, a hang or undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/escp_interpreter.h"
#include "tests/support/page_device_recording.h"
#include "printing/win32prn.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const bool twenty_four_pin : {false, true}) {
    tarvo::RecordingPageDevices devices;
    tarvo::WIN32PRN page(&devices);
    page.New("Fuzz");
    page.FormType = 9;
    if (!page.Create() || !page.StartDoc("fuzz")) return 0;
    const std::size_t seam = twenty_four_pin ? size / 2 : size;
    tarvo::render_escp(bytes.substr(0, seam), bytes.substr(seam), page,
                       {.code_table = tarvo::CodeTable::cp850, .twenty_four_pin = twenty_four_pin});
    page.EndDoc();
  }
  return 0;
}
