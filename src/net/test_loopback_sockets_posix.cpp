#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "net/test_loopback_sockets.h"

namespace ws::testing {
namespace {

int descriptor(SocketDescriptor socket) {
  return static_cast<int>(socket);
}

bool readyWithin(SocketDescriptor socket, std::chrono::milliseconds wait) {
  pollfd waiting{descriptor(socket), POLLIN, 0};
  return poll(&waiting, 1, static_cast<int>(wait.count())) > 0;
}

}  // namespace

SocketDescriptor bindLoopbackSocket(uint16_t& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("test server: socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(fd);
    throw std::runtime_error("test server: bind failed");
  }
  port = ntohs(address.sin_port);
  return fd;
}

void listenOn(SocketDescriptor listener) {
  if (listen(descriptor(listener), 64) != 0) throw std::runtime_error("test server: listen failed");
}

SocketDescriptor acceptWithin(SocketDescriptor listener, std::chrono::milliseconds wait) {
  if (!readyWithin(listener, wait)) return kNoSocket;
  const int connection = accept4(descriptor(listener), nullptr, nullptr, SOCK_CLOEXEC);
  return connection < 0 ? kNoSocket : connection;
}

bool readableWithin(SocketDescriptor socket, std::chrono::milliseconds wait) {
  return readyWithin(socket, wait);
}

long receiveBytes(SocketDescriptor socket, char* buffer, size_t size) {
  return static_cast<long>(recv(descriptor(socket), buffer, size, 0));
}

long sendBytes(SocketDescriptor socket, const char* bytes, size_t size) {
  return static_cast<long>(send(descriptor(socket), bytes, size, MSG_NOSIGNAL));
}

void resetOnClose(SocketDescriptor socket) {
  linger abortive{1, 0};
  setsockopt(descriptor(socket), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
}

size_t openDescriptorCount() {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

}  // namespace ws::testing
