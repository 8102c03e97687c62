#include "printing/cups_connection.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "runtime/text.h"

namespace tarvo::cups {
namespace {

std::string env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(trim(value)) : std::string();
}

// The destination of the "Default name[/instance] options..." line.
std::string default_in_lpoptions(const std::string& path) {
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    std::string_view rest = ltrim(line);
    if (rest.size() < 8 || upper(rest.substr(0, 7)) != "DEFAULT" || (rest[7] != ' ' && rest[7] != '\t'))
      continue;
    rest = ltrim(rest.substr(8));
    return std::string(rest.substr(0, rest.find_first_of(" \t")));
  }
  return {};
}

}  // namespace

std::chrono::milliseconds exchange_timeout() {
  constexpr std::chrono::milliseconds kDefault{30000};
  const char* text = std::getenv("TARVOUSB_CUPS_TIMEOUT");
  if (text == nullptr) return kDefault;
  char* end = nullptr;
  const double seconds = std::strtod(text, &end);
  if (end == text || !std::isfinite(seconds) || seconds <= 0 || seconds > 86400) return kDefault;
  return std::chrono::milliseconds(std::max<long long>(1, std::llround(seconds * 1000)));
}

Http Http::open(std::chrono::milliseconds timeout) {
  Http out;
  out.http_.reset(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                               static_cast<int>(timeout.count()), nullptr));
  out.watch_ = std::make_unique<Watch>();
  if (out) out.set_timeout(timeout);
  return out;
}

int Http::on_timeout(http_t*, void* watch) {
  static_cast<Watch*>(watch)->no_answer = true;
  return 0;  // give the exchange up
}

void Http::set_timeout(std::chrono::milliseconds timeout) {
  if (http_) httpSetTimeout(http_.get(), static_cast<double>(timeout.count()) / 1000.0, on_timeout, watch_.get());
}

// A server that takes connections but has stopped (or never started)
// answering would otherwise leave libcups's own lookups waiting for minutes
// on connections of their own that no timeout of ours reaches: one small
// request on our connection finds that out first.
Http connect_server() {
  Http http = Http::open(exchange_timeout());
  if (!http) return http;
  ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_DEFAULT);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
               "printer-name");
  ippDelete(cupsDoRequest(http.get(), request, "/"));  // frees the request
  if (http.no_answer()) http.reset();
  return http;
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

std::string dest_name(const cups_dest_t& dest) {
  std::string name = dest.name;
  if (dest.instance != nullptr) name += std::string("/") + dest.instance;
  return name;
}

std::string configured_default_name() {
  if (std::string name = env("LPDEST"); !name.empty()) return name;
  if (std::string name = env("PRINTER"); !name.empty() && name != "lp") return name;
  if (std::string home = env("HOME"); !home.empty())
    if (std::string name = default_in_lpoptions(home + "/.cups/lpoptions"); !name.empty()) return name;
  std::string server_root = env("CUPS_SERVERROOT");
  if (server_root.empty()) server_root = "/etc/cups";
  return default_in_lpoptions(server_root + "/lpoptions");
}

}  // namespace tarvo::cups
