// The socket calls over BSD sockets (Linux).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>

#include "net/interrupted_calls.h"
#include "net/socket_calls.h"

namespace ws {
namespace {

int descriptor(SocketDescriptor socket) {
  return static_cast<int>(socket);
}

IPv4Address bytesOf(const in_addr& address) {
  IPv4Address bytes;
  std::memcpy(bytes.data(), &address, bytes.size());
  return bytes;
}

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

std::optional<IPv4Address> lookUpIPv4(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  const in_addr address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return bytesOf(address);
}

bool startDetachedThreadWithoutSignals(std::function<void()> body) {
  // The new thread inherits the mask it is made with.
  sigset_t all;
  sigset_t callers;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &callers);
  bool started = true;
  try {
    std::thread(std::move(body)).detach();
  } catch (const std::system_error&) {
    started = false;
  }
  pthread_sigmask(SIG_SETMASK, &callers, nullptr);
  return started;
}

SocketDescriptor openTcpSocket() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  return fd < 0 ? kNoSocket : fd;
}

void closeSocket(SocketDescriptor socket) {
  // close() is not retried on EINTR: on Linux the descriptor is released either way, and a
  // retry could close a descriptor another thread has just been given.
  ::close(descriptor(socket));
}

bool connectSocket(SocketDescriptor socket, const IPv4Address& address, uint16_t port,
                   std::optional<std::chrono::milliseconds> timeout) {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  std::memcpy(&target.sin_addr, address.data(), address.size());
  return timeout ? connectWithin(descriptor(socket), target, *timeout)
                 : connectBlocking(descriptor(socket), target);
}

SocketWait waitForSocket(SocketDescriptor socket, SocketDirection direction,
                         std::chrono::milliseconds timeout) {
  pollfd waiting{descriptor(socket),
                 static_cast<short>(direction == SocketDirection::kReceive ? POLLIN : POLLOUT), 0};
  const int ready = poll(&waiting, 1, static_cast<int>(timeout.count()));
  if (ready > 0) return SocketWait::kReady;
  if (ready == 0) return SocketWait::kTimedOut;
  return errno == EINTR ? SocketWait::kInterrupted : SocketWait::kFailed;
}

long receiveSome(SocketDescriptor socket, char* buffer, size_t size) {
  ssize_t received;
  do {
    if (requestsGivenUp()) return -1;
    received = recv(descriptor(socket), buffer, size, 0);
  } while (received < 0 && errno == EINTR);
  return static_cast<long>(received);
}

// MSG_NOSIGNAL keeps a closed peer from raising SIGPIPE even if the process has not ignored it.
long sendSome(SocketDescriptor socket, const char* bytes, size_t size) {
  ssize_t sent;
  do {
    if (requestsGivenUp()) return -1;
    sent = send(descriptor(socket), bytes, size, MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  return static_cast<long>(sent);
}

void shutdownSocket(SocketDescriptor socket) {
  shutdown(descriptor(socket), SHUT_RDWR);
}

}  // namespace ws
