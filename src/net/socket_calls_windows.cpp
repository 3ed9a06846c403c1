// The socket calls over Winsock (Windows). No signal interrupts a call here, so nothing blocks
// longer than kWaitSlice without asking whether the request is given up: receives, sends and
// connects first wait with select() in slices, and only call once the socket is ready.
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <system_error>
#include <thread>

#include "net/interrupted_calls.h"
#include "net/socket_calls.h"

namespace ws {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr size_t kSendSlice = 65536;

SOCKET handleOf(SocketDescriptor socket) {
  return static_cast<SOCKET>(socket);
}

bool setBlocking(SOCKET socket, bool blocking) {
  u_long nonBlocking = blocking ? 0 : 1;
  return ioctlsocket(socket, FIONBIO, &nonBlocking) == 0;
}

// One select() on one socket for at most `wait`: 1 ready, 0 not yet, -1 failed. A connect that
// failed shows in the exception set.
int selectOne(SOCKET socket, SocketDirection direction, milliseconds wait, bool& failedConnect) {
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(socket, &ready);
  FD_SET(socket, &failed);
  timeval limit{static_cast<long>(wait.count() / 1000),
                static_cast<long>(wait.count() % 1000) * 1000};
  const int count = direction == SocketDirection::kReceive
                        ? select(0, &ready, nullptr, &failed, &limit)
                        : select(0, nullptr, &ready, &failed, &limit);
  if (count == SOCKET_ERROR) return -1;
  failedConnect = FD_ISSET(socket, &failed) != 0;
  return FD_ISSET(socket, &ready) || failedConnect ? 1 : 0;
}

// Waits in slices until `socket` is ready, asking between them whether the request is given up.
bool awaitReady(SOCKET socket, SocketDirection direction) {
  for (;;) {
    if (requestsGivenUp()) return false;
    bool failedConnect = false;
    const int ready = selectOne(socket, direction, kWaitSlice, failedConnect);
    if (ready != 0) return ready > 0;
  }
}

// A connect under way on a non-blocking socket, awaited until `deadline` (none: without limit).
bool awaitConnect(SOCKET socket, std::optional<Clock::time_point> deadline) {
  for (;;) {
    if (requestsGivenUp()) return false;
    milliseconds wait = kWaitSlice;
    if (deadline) {
      const auto left = std::chrono::ceil<milliseconds>(*deadline - Clock::now());
      if (left.count() <= 0) return false;
      wait = std::min(wait, left);
    }
    bool failedConnect = false;
    const int ready = selectOne(socket, SocketDirection::kSend, wait, failedConnect);
    if (ready < 0 || failedConnect) return false;
    if (ready > 0) return true;
  }
}

}  // namespace

std::optional<IPv4Address> lookUpIPv4(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  IPv4Address address;
  std::memcpy(address.data(), &reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr,
              address.size());
  freeaddrinfo(found);
  return address;
}

bool startDetachedThreadWithoutSignals(std::function<void()> body) {
  try {
    std::thread(std::move(body)).detach();
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

SocketDescriptor openTcpSocket() {
  const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket == INVALID_SOCKET) return kNoSocket;
  // Not inherited by processes the program might start.
  SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
  return static_cast<SocketDescriptor>(socket);
}

void closeSocket(SocketDescriptor socket) {
  closesocket(handleOf(socket));
}

bool connectSocket(SocketDescriptor socket, const IPv4Address& address, uint16_t port,
                   std::optional<milliseconds> timeout) {
  std::optional<Clock::time_point> deadline;
  if (timeout) deadline = Clock::now() + *timeout;
  const SOCKET handle = handleOf(socket);
  if (requestsGivenUp() || !setBlocking(handle, false)) return false;
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  std::memcpy(&target.sin_addr, address.data(), address.size());
  bool connected = connect(handle, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0;
  if (!connected && WSAGetLastError() == WSAEWOULDBLOCK) {
    connected = awaitConnect(handle, deadline);
  }
  return connected && setBlocking(handle, true);
}

SocketWait waitForSocket(SocketDescriptor socket, SocketDirection direction, milliseconds timeout) {
  const milliseconds wait = std::min(timeout, kWaitSlice);
  bool failedConnect = false;
  const int ready = selectOne(handleOf(socket), direction, wait, failedConnect);
  if (ready > 0) return SocketWait::kReady;
  if (ready < 0) return SocketWait::kFailed;
  return wait < timeout ? SocketWait::kInterrupted : SocketWait::kTimedOut;
}

long receiveSome(SocketDescriptor socket, char* buffer, size_t size) {
  const SOCKET handle = handleOf(socket);
  if (!awaitReady(handle, SocketDirection::kReceive)) return -1;
  const int received = recv(handle, buffer, static_cast<int>(std::min<size_t>(size, INT_MAX)), 0);
  return received == SOCKET_ERROR ? -1 : received;
}

// A blocking send waits until all its bytes are taken: a send of at most kSendSlice bytes to a
// socket ready for sending is over soon, however slowly the peer reads.
long sendSome(SocketDescriptor socket, const char* bytes, size_t size) {
  const SOCKET handle = handleOf(socket);
  if (!awaitReady(handle, SocketDirection::kSend)) return -1;
  const int sent = send(handle, bytes, static_cast<int>(std::min<size_t>(size, kSendSlice)), 0);
  return sent == SOCKET_ERROR ? -1 : sent;
}

void shutdownSocket(SocketDescriptor socket) {
  shutdown(handleOf(socket), SD_BOTH);
}

}  // namespace ws
