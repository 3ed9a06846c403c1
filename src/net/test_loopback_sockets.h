// The socket calls of the test server (test_server.h), one file per platform: plain calls that,
// unlike the client's (socket_calls.h), never give up when a test lets the program end.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "net/socket_calls.h"

namespace ws::testing {

// A socket bound to an ephemeral port of 127.0.0.1, which is stored in `port`; throws
// std::runtime_error when the system refuses.
SocketDescriptor bindLoopbackSocket(uint16_t& port);
// Throws std::runtime_error when the system refuses.
void listenOn(SocketDescriptor listener);
// The next connection, or kNoSocket when none comes within `wait`.
SocketDescriptor acceptWithin(SocketDescriptor listener, std::chrono::milliseconds wait);
// Whether bytes (or the end) can be received within `wait`.
bool readableWithin(SocketDescriptor socket, std::chrono::milliseconds wait);
// One recv / send: the count, 0 at the end (recv), or a negative number on an error.
long receiveBytes(SocketDescriptor socket, char* buffer, size_t size);
long sendBytes(SocketDescriptor socket, const char* bytes, size_t size);
// Makes the close of `socket` a reset (RST) instead of an orderly end.
void resetOnClose(SocketDescriptor socket);

// Number of open descriptors (POSIX) or handles (Windows) of this process.
size_t openDescriptorCount();

}  // namespace ws::testing
