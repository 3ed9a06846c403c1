#pragma once
// Plain loopback TCP for tests and benchmarks: what exactly the server sends,
// including resets and connections left open.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "loopback.h"

namespace ws::testkit {

using ws::connectLoopback;

struct Exchange {
  bool connected = false;   // false: connection refused
  std::string data;         // everything received (empty if dataKept is false)
  std::uint64_t bytes = 0;  // bytes received in all
  bool reset = false;       // the receive ended with a connection reset
  bool timedOut = false;    // the server had not closed when the time was up
};

// Sends request, then reads until the server closes, the connection is reset
// or timeout passes. With keepData false only the byte count is kept.
Exchange exchange(std::uint16_t port, std::string_view request,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10),
                  bool keepData = true);

// "GET target HTTP/1.0" with a Host line, as the crawler writes it.
std::string getRequest(std::string_view target, std::string_view host);

}  // namespace ws::testkit
