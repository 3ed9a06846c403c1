// Opening one IPv4 TCP connection: the socket seam both transports share.
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

#include "net/host_port.h"
#include "net/socket_handle.h"

namespace ws {

// The four texts the client returns instead of a reply when it gets no connection or cannot
// send. They never start a real reply, which always begins with a status line.
inline constexpr std::string_view kResolveErrorText = "Error: IP couldn't be resolved!";
inline constexpr std::string_view kSocketErrorText = "Error: Socket couldn't be opened.";
inline constexpr std::string_view kConnectErrorText = "Error: Couldn't connect to host";
inline constexpr std::string_view kSendErrorText = "Error: Couldn't send request";

struct TcpConnection {
  SocketHandle socket;         // valid when errorText is empty
  std::string_view errorText;  // one of the first three texts above, or empty
};

// Resolves `endpoint` (a dotted IPv4 address as it stands, anything else looked up by name, the
// first IPv4 address taken), opens a socket and connects. Without a time-out the look-up and the
// connect block as long as the system lets them; with one, a look-up not done in that time fails
// with the look-up text, and a connect not done by the end of it with the connect text.
// Returns a blocking socket. No socket is left open on any failure. A request given up
// (interrupted_calls.h) fails with the connect text.
TcpConnection openTcpConnection(const Endpoint& endpoint,
                                std::optional<std::chrono::milliseconds> connectTimeout);

// Sends every byte, continuing after short sends and interruptions, without SIGPIPE; false on a
// send error or once the request is given up (interrupted_calls.h).
bool sendAll(SocketDescriptor socket, std::string_view bytes);

}  // namespace ws
