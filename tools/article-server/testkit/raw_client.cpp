#include "raw_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace ws::testkit {

std::string getRequest(std::string_view target, std::string_view host) {
  return "GET " + std::string(target) + " HTTP/1.0\r\nHost: " + std::string(host) +
         "\r\nConnection: close\r\n\r\n";
}

Exchange exchange(std::uint16_t port, std::string_view request, std::chrono::milliseconds timeout,
                  bool keepData) {
  Exchange result;
  const int fd = connectLoopback(port);
  if (fd < 0) return result;
  result.connected = true;
  std::size_t sent = 0;
  while (sent < request.size()) {
    const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  char buffer[65536];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timedOut = true;
      break;
    }
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) == 0) continue;
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      result.reset = errno == ECONNRESET;
      break;
    }
    result.bytes += static_cast<std::uint64_t>(n);
    if (keepData) result.data.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return result;
}

}  // namespace ws::testkit
