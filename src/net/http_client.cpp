#include "net/http_client.h"

#include <sys/socket.h>

#include <cerrno>

#include "net/interrupted_calls.h"

namespace ws {
namespace {

constexpr uint16_t kDefaultPort = 80;

// Reads the reply until the peer closes, a receive fails or the request is given up.
void receiveAll(int fd, std::string& reply) {
  receiveBlocks(reply, [fd](char* block, size_t size) {
    ssize_t received;
    do {
      if (requestsGivenUp()) return -1L;
      received = recv(fd, block, size, 0);
    } while (received < 0 && errno == EINTR);
    return static_cast<long>(received);
  });
}

}  // namespace

std::string httpGet(std::string_view host, std::string_view path, std::string_view extraHeaders) {
  const std::optional<Endpoint> endpoint = splitHostPort(host, kDefaultPort);
  if (!endpoint) return std::string(kResolveErrorText);
  TcpConnection connection = openTcpConnection(*endpoint, std::nullopt);
  if (!connection.errorText.empty()) return std::string(connection.errorText);
  const int fd = connection.socket.get();

  if (!sendAll(fd, buildGetRequest(host, path, extraHeaders))) {
    return std::string(kSendErrorText);
  }

  std::string reply;
  receiveAll(fd, reply);
  shutdown(fd, SHUT_RDWR);
  return reply;
}

}  // namespace ws
