#pragma once

#include <cups/cups.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

namespace tarvo::cups {

// How long one exchange with the server may go without progress before it
// is given up: TARVOUSB_CUPS_TIMEOUT seconds (fractions allowed) when set to
// a positive number, else 30 s.
std::chrono::milliseconds exchange_timeout();

// A connection of our own to the CUPS server the user's environment names
// (CUPS_SERVER, client.conf, else the local scheduler). Every exchange on it
// gives up once the server has been silent for the timeout, so a server that
// stops answering cannot hold the program.
class Http {
 public:
  Http() = default;
  // Connects, waiting at most `timeout` for the connection and in each
  // exchange; null when the server cannot be reached.
  static Http open(std::chrono::milliseconds timeout);

  http_t* get() const { return http_.get(); }
  explicit operator bool() const { return http_ != nullptr; }
  // Closes the connection; no_answer() stays as it was.
  void reset() { http_.reset(); }

  // True when an exchange was given up because the server did not answer
  // in time (also when the server took the connection and never answered).
  bool no_answer() const { return watch_ != nullptr && watch_->no_answer; }
  // The wait for the server in the exchanges that follow.
  void set_timeout(std::chrono::milliseconds timeout);

 private:
  struct HttpClose {
    void operator()(http_t* http) const { httpClose(http); }
  };
  // Where libcups's timeout callback reports; it must not move with the
  // handle.
  struct Watch {
    bool no_answer = false;
  };
  static int on_timeout(http_t* http, void* watch);

  std::unique_ptr<http_t, HttpClose> http_;
  std::unique_ptr<Watch> watch_;
};

// Connects and makes sure the server answers a first small request. Null
// when the server cannot be reached or does not answer (no_answer() then
// tells which).
Http connect_server();

struct DestFree {
  void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using Dest = std::unique_ptr<cups_dest_t, DestFree>;

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
