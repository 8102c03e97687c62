#pragma once

#include <cups/cups.h>

#include <memory>
#include <string>
#include <string_view>

namespace tarvo::cups {

struct HttpClose {
  void operator()(http_t* http) const { httpClose(http); }
};
// A connection of our own to the CUPS server the user's environment names
// (CUPS_SERVER, client.conf, else the local scheduler).
using Http = std::unique_ptr<http_t, HttpClose>;

struct DestFree {
  void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, DestFree>;

// Null when the server cannot be reached.
Http connect_server();

// A destination name as the user writes it: "queue" or "queue/instance".
struct DestName {
  std::string queue;
  std::string instance;  // empty for the queue itself
};
DestName split_dest_name(std::string_view name);

// The destination the server knows under `name`; null when it does not know
// it (or the name is empty).
Dest find_dest(http_t* http, std::string_view name);

// "queue" or "queue/instance" of a destination.
std::string dest_name(const cups_dest_t& dest);

// The default destination the user's settings name, without asking the
// server whether it exists: LPDEST, PRINTER (other than "lp"), the user's
// lpoptions, the system's lpoptions, in that order; empty when none names
// one. libcups answers a default that names a missing queue with no
// destination at all; this finds out which name it refused.
std::string configured_default_name();

}  // namespace tarvo::cups
