#include "net/http_client.h"

#include "net/socket_calls.h"

namespace ws {
namespace {

constexpr uint16_t kDefaultPort = 80;

// Reads the reply until the peer closes, a receive fails or the request is given up.
void receiveAll(SocketDescriptor socket, std::string& reply) {
  receiveBlocks(reply,
                [socket](char* block, size_t size) { return receiveSome(socket, block, size); });
}

}  // namespace

std::string httpGet(std::string_view host, std::string_view path, std::string_view extraHeaders) {
  const std::optional<Endpoint> endpoint = splitHostPort(host, kDefaultPort);
  if (!endpoint) return std::string(kResolveErrorText);
  TcpConnection connection = openTcpConnection(*endpoint, std::nullopt);
  if (!connection.errorText.empty()) return std::string(connection.errorText);
  const SocketDescriptor socket = connection.socket.get();

  if (!sendAll(socket, buildGetRequest(host, path, extraHeaders))) {
    return std::string(kSendErrorText);
  }

  std::string reply;
  receiveAll(socket, reply);
  shutdownSocket(socket);
  return reply;
}

}  // namespace ws
