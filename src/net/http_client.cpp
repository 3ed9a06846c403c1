#include "net/http_client.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>

#include "net/socket_handle.h"

namespace ws {
namespace {

constexpr uint16_t kDefaultPort = 80;

struct Endpoint {
  std::string name;  // dotted address or host name, without the port
  uint16_t port = kDefaultPort;
};

// Splits "name[:port]". The port must be a decimal number 1..65535.
std::optional<Endpoint> splitHostPort(std::string_view host) {
  Endpoint endpoint;
  size_t colon = host.rfind(':');
  if (colon == std::string_view::npos) {
    endpoint.name = host;
    return endpoint;
  }
  std::string_view portText = host.substr(colon + 1);
  unsigned port = 0;
  auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
  if (portText.empty() || error != std::errc() || end != portText.data() + portText.size() ||
      port == 0 || port > 65535) {
    return std::nullopt;
  }
  endpoint.name = host.substr(0, colon);
  endpoint.port = static_cast<uint16_t>(port);
  return endpoint;
}

// A dotted IPv4 address is used as it stands; anything else is looked up as a name and the
// first IPv4 address of the answer is taken.
std::optional<in_addr> resolveIPv4(const std::string& name) {
  in_addr address{};
  if (inet_pton(AF_INET, name.c_str(), &address) == 1) return address;
  if (name.empty()) return std::nullopt;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return address;
}

// A connect interrupted by a signal goes on in the background; its outcome is awaited rather
// than starting a second connect, which would fail with EALREADY.
bool connectTo(int fd, const sockaddr_in& target) {
  if (connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) return true;
  if (errno != EINTR) return false;
  pollfd waiting{fd, POLLOUT, 0};
  int ready;
  do {
    ready = poll(&waiting, 1, -1);
  } while (ready < 0 && errno == EINTR);
  if (ready < 0) return false;
  int error = 0;
  socklen_t length = sizeof error;
  return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

// Sends every byte, continuing after short sends and interruptions. MSG_NOSIGNAL keeps a
// closed peer from raising SIGPIPE even if the process has not ignored it.
bool sendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

// Reads blocks straight into the end of `reply` until the peer closes or a receive fails.
// Of each block only the bytes before its first zero byte are kept.
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
    const void* zero = std::memchr(block, 0, static_cast<size_t>(received));
    size_t kept = zero ? static_cast<size_t>(static_cast<const char*>(zero) - block)
                       : static_cast<size_t>(received);
    reply.resize(oldSize + kept);
  }
}

}  // namespace

std::string buildGetRequest(std::string_view host, std::string_view path,
                            std::string_view extraHeaders) {
  std::string request;
  request.reserve(path.size() + host.size() + extraHeaders.size() + 48);
  request.append("GET /").append(path).append(" HTTP/1.0\r\n");
  request.append("Host: ").append(host).append("\r\n");
  request.append("Connection: close\r\n");
  request.append(extraHeaders).append("\r\n");
  return request;
}

std::string httpGet(std::string_view host, std::string_view path, std::string_view extraHeaders) {
  std::optional<Endpoint> endpoint = splitHostPort(host);
  std::optional<in_addr> address;
  if (endpoint) address = resolveIPv4(endpoint->name);
  if (!address) return std::string(kResolveErrorText);

  SocketHandle socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
  if (!socket.valid()) return std::string(kSocketErrorText);

  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(endpoint->port);
  target.sin_addr = *address;
  if (!connectTo(socket.get(), target)) return std::string(kConnectErrorText);

  if (!sendAll(socket.get(), buildGetRequest(host, path, extraHeaders))) {
    return std::string(kSendErrorText);
  }

  std::string reply;
  receiveAll(socket.get(), reply);
  shutdown(socket.get(), SHUT_RDWR);
  return reply;
}

}  // namespace ws
