#pragma once
// The stand-in's loopback addresses: it listens only on 127.0.0.1, and its TLS front and the
// test clients connect there.

#include <netinet/in.h>

#include <cstdint>

namespace ws {

// 127.0.0.1:port.
sockaddr_in loopbackAddress(std::uint16_t port);

// A connected socket to 127.0.0.1:port (close-on-exec), or -1 with errno set when the
// connection cannot be made.
int connectLoopback(std::uint16_t port);

}  // namespace ws
