#include "printing/cups_connection.h"

namespace tarvo::cups {

Http connect_server() {
  constexpr int kTimeoutMs = 30000;
  return Http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                           kTimeoutMs, nullptr));
}

DestName split_dest_name(std::string_view name) {
  const auto slash = name.find('/');
  if (slash == std::string_view::npos) return {std::string(name), {}};
  return {std::string(name.substr(0, slash)), std::string(name.substr(slash + 1))};
}

Dest find_dest(http_t* http, std::string_view name) {
  const DestName parts = split_dest_name(name);
  if (parts.queue.empty()) return nullptr;
  return Dest(cupsGetNamedDest(http, parts.queue.c_str(),
                               parts.instance.empty() ? nullptr : parts.instance.c_str()));
}

}  // namespace tarvo::cups
