#include "printing/page_device.h"

namespace tarvo {

namespace {
class NoDevices final : public PageDeviceFactory {
 public:
  std::unique_ptr<PageDevice> open(std::string_view) override { return nullptr; }
  std::string default_printer() override { return {}; }
};
}  // namespace

std::unique_ptr<PageDeviceFactory> make_system_page_devices() { return std::make_unique<NoDevices>(); }

}  // namespace tarvo
