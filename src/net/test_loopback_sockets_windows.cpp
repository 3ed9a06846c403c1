#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "net/test_loopback_sockets.h"

namespace ws::testing {
namespace {

SOCKET handleOf(SocketDescriptor socket) {
  return static_cast<SOCKET>(socket);
}

bool readyWithin(SocketDescriptor socket, std::chrono::milliseconds wait) {
  fd_set ready;
  FD_ZERO(&ready);
  FD_SET(handleOf(socket), &ready);
  timeval limit{static_cast<long>(wait.count() / 1000),
                static_cast<long>(wait.count() % 1000) * 1000};
  return select(0, &ready, nullptr, nullptr, &limit) > 0;
}

int clamped(size_t size) {
  return static_cast<int>(std::min<size_t>(size, INT_MAX));
}

}  // namespace

SocketDescriptor bindLoopbackSocket(uint16_t& port) {
  const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket == INVALID_SOCKET) throw std::runtime_error("test server: socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (bind(socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    closesocket(socket);
    throw std::runtime_error("test server: bind failed");
  }
  port = ntohs(address.sin_port);
  return static_cast<SocketDescriptor>(socket);
}

void listenOn(SocketDescriptor listener) {
  if (listen(handleOf(listener), 64) != 0) throw std::runtime_error("test server: listen failed");
}

SocketDescriptor acceptWithin(SocketDescriptor listener, std::chrono::milliseconds wait) {
  if (!readyWithin(listener, wait)) return kNoSocket;
  const SOCKET connection = accept(handleOf(listener), nullptr, nullptr);
  return connection == INVALID_SOCKET ? kNoSocket : static_cast<SocketDescriptor>(connection);
}

bool readableWithin(SocketDescriptor socket, std::chrono::milliseconds wait) {
  return readyWithin(socket, wait);
}

long receiveBytes(SocketDescriptor socket, char* buffer, size_t size) {
  return recv(handleOf(socket), buffer, clamped(size), 0);
}

long sendBytes(SocketDescriptor socket, const char* bytes, size_t size) {
  return send(handleOf(socket), bytes, clamped(size), 0);
}

void resetOnClose(SocketDescriptor socket) {
  linger abortive{1, 0};
  setsockopt(handleOf(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive),
             sizeof abortive);
}

size_t openDescriptorCount() {
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
}

}  // namespace ws::testing
