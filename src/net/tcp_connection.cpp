#include "net/tcp_connection.h"

#include "net/name_lookup.h"
#include "net/socket_calls.h"

namespace ws {

TcpConnection openTcpConnection(const Endpoint& endpoint,
                                std::optional<std::chrono::milliseconds> connectTimeout) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  TcpConnection result;
  const std::optional<IPv4Address> address = connectTimeout
                                                 ? resolveIPv4Within(endpoint.name, *connectTimeout)
                                                 : resolveIPv4(endpoint.name);
  if (!address) {
    result.errorText = kResolveErrorText;
    return result;
  }
  result.socket.reset(openTcpSocket());
  if (!result.socket.valid()) {
    result.errorText = kSocketErrorText;
    return result;
  }
  bool connected;
  if (connectTimeout) {
    // The look-up took its share of the time.
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        start + *connectTimeout - Clock::now());
    connected =
        left.count() > 0 && connectSocket(result.socket.get(), *address, endpoint.port, left);
  } else {
    connected = connectSocket(result.socket.get(), *address, endpoint.port, std::nullopt);
  }
  if (!connected) {
    result.socket.reset();
    result.errorText = kConnectErrorText;
  }
  return result;
}

bool sendAll(SocketDescriptor socket, std::string_view bytes) {
  while (!bytes.empty()) {
    const long sent = sendSome(socket, bytes.data(), bytes.size());
    if (sent < 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

}  // namespace ws
