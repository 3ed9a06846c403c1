#include "net/http_client.h"

#include <sys/socket.h>

#include <cerrno>

namespace ws {
namespace {

constexpr uint16_t kDefaultPort = 80;

// Reads blocks straight into the end of `reply` until the peer closes or a receive fails.
void receiveAll(int fd, std::string& reply) {
  for (;;) {
    size_t oldSize = reply.size();
    reply.resize(oldSize + kReceiveBlockSize);
    char* block = reply.data() + oldSize;
    ssize_t received;
    do {
      received = recv(fd, block, kReceiveBlockSize, 0);
    } while (received < 0 && errno == EINTR);
    if (received <= 0) {
      reply.resize(oldSize);
      return;
    }
    reply.resize(oldSize + keptBlockBytes(block, static_cast<size_t>(received)));
  }
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
