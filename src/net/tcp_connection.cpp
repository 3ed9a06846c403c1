#include "net/tcp_connection.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <string>

#include "net/interrupted_calls.h"
#include "net/name_lookup.h"

namespace ws {
namespace {

// Waits for a connect in progress; -1 as the time-out waits without limit.
bool awaitConnect(int fd, int timeoutMs) {
  pollfd waiting{fd, POLLOUT, 0};
  int ready;
  do {
    if (requestsGivenUp()) return false;
    ready = poll(&waiting, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0) return false;
  int error = 0;
  socklen_t length = sizeof error;
  return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

// A blocking connect interrupted by a signal goes on in the background; its outcome is awaited
// rather than starting a second connect, which would fail with EALREADY.
bool connectBlocking(int fd, const sockaddr_in& target) {
  if (requestsGivenUp()) return false;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) return true;
  return errno == EINTR && awaitConnect(fd, -1);
}

bool connectWithin(int fd, const sockaddr_in& target, std::chrono::milliseconds timeout) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return false;
  bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0;
  if (!connected && (errno == EINPROGRESS || errno == EINTR)) {
    connected = awaitConnect(fd, static_cast<int>(timeout.count()));
  }
  return connected && fcntl(fd, F_SETFL, flags) == 0;
}

}  // namespace

TcpConnection openTcpConnection(const Endpoint& endpoint,
                                std::optional<std::chrono::milliseconds> connectTimeout) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  TcpConnection result;
  const std::optional<in_addr> address = connectTimeout
                                             ? resolveIPv4Within(endpoint.name, *connectTimeout)
                                             : resolveIPv4(endpoint.name);
  if (!address) {
    result.errorText = kResolveErrorText;
    return result;
  }
  result.socket.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
  if (!result.socket.valid()) {
    result.errorText = kSocketErrorText;
    return result;
  }
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(endpoint.port);
  target.sin_addr = *address;
  bool connected;
  if (connectTimeout) {
    // The look-up took its share of the time.
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        start + *connectTimeout - Clock::now());
    connected = left.count() > 0 && connectWithin(result.socket.get(), target, left);
  } else {
    connected = connectBlocking(result.socket.get(), target);
  }
  if (!connected) {
    result.socket.reset();
    result.errorText = kConnectErrorText;
  }
  return result;
}

// MSG_NOSIGNAL keeps a closed peer from raising SIGPIPE even if the process has not ignored it.
bool sendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    if (requestsGivenUp()) return false;
    ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

}  // namespace ws
