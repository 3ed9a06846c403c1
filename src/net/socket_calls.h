// The platform's socket calls: the one seam under which every other file of the net layer is
// the same code on every platform. socket_calls_posix.cpp makes them of BSD sockets,
// socket_calls_windows.cpp of Winsock; the build takes one.
//
// Interruptions: on POSIX a signal that the program ends on interrupts a blocking call (EINTR,
// see interrupted_calls.h). Windows has no such signals, so there every wait is cut into slices
// of at most kWaitSlice, between which the call asks requestsGivenUp(); either way a request of
// an ending program is given up within a slice.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace ws {

// A socket of the platform: a POSIX descriptor or a Winsock SOCKET, both held in this type.
using SocketDescriptor = std::intptr_t;
inline constexpr SocketDescriptor kNoSocket = -1;

// An IPv4 address, its bytes in network order: "127.0.0.1" is {127, 0, 0, 1}.
using IPv4Address = std::array<uint8_t, 4>;

// The longest a wait runs on Windows before it asks whether the request is given up.
inline constexpr std::chrono::milliseconds kWaitSlice{100};

// The first IPv4 address the system's resolver gives for `name`; nullopt when there is none.
// Blocks as long as the resolver takes. REQUIRES: the socket library is started.
std::optional<IPv4Address> lookUpIPv4(const std::string& name);

// Runs `body` on a new thread of its own, which nobody joins, that takes no signals (on POSIX
// every signal is blocked on it, so that they interrupt the thread that asked; Windows has none).
// False when the system gives no thread; `body` has not run then.
bool startDetachedThreadWithoutSignals(std::function<void()> body);

// A blocking IPv4 TCP socket that child processes do not inherit; kNoSocket when none can be had.
SocketDescriptor openTcpSocket();

// Closes `socket`, which is invalid afterwards (also when the system reports an error).
void closeSocket(SocketDescriptor socket);

// Connects `socket` to `address`:`port`. Without a time-out it waits as long as the system lets
// it; with one, a connect not done by then fails. False when not connected, and once the request
// is given up (before the connect and while it waits). The socket is blocking again afterwards.
bool connectSocket(SocketDescriptor socket, const IPv4Address& address, uint16_t port,
                   std::optional<std::chrono::milliseconds> timeout);

enum class SocketDirection { kReceive, kSend };
enum class SocketWait {
  kReady,        // a receive or send would not block
  kTimedOut,     // the time-out passed
  kInterrupted,  // returned early (a signal; on Windows each kWaitSlice): ask and wait again
  kFailed,
};

// Waits until `socket` is ready in `direction` or `timeout` (> 0) passes. Does not ask
// requestsGivenUp(): the caller asks before each wait, as it also works out the time left.
SocketWait waitForSocket(SocketDescriptor socket, SocketDirection direction,
                         std::chrono::milliseconds timeout);

// One receive of up to `size` bytes: the number received (> 0), 0 when the peer has closed, -1
// on an error and once the request is given up (asked before the call and after interruptions).
long receiveSome(SocketDescriptor socket, char* buffer, size_t size);

// One send of up to `size` bytes: the number sent, or -1 on an error (a closed peer included:
// it never raises SIGPIPE) and once the request is given up, as receiveSome.
long sendSome(SocketDescriptor socket, const char* bytes, size_t size);

// Ends both directions of the connection (the peer sees the close before the socket is closed).
void shutdownSocket(SocketDescriptor socket);

}  // namespace ws
