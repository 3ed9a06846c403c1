// Ownership of one socket.
#pragma once

#include "net/socket_calls.h"

namespace ws {

// Closes its socket when destroyed; kNoSocket means "none". Movable, not copyable.
class SocketHandle {
 public:
  explicit SocketHandle(SocketDescriptor socket = kNoSocket) : socket_(socket) {}
  SocketHandle(SocketHandle&& other) noexcept : socket_(other.release()) {}
  SocketHandle& operator=(SocketHandle&& other) noexcept;
  SocketHandle(const SocketHandle&) = delete;
  SocketHandle& operator=(const SocketHandle&) = delete;
  ~SocketHandle() { reset(); }

  SocketDescriptor get() const { return socket_; }
  bool valid() const { return socket_ != kNoSocket; }
  SocketDescriptor release();
  // Closes the held socket (if any) and holds `socket` instead.
  void reset(SocketDescriptor socket = kNoSocket);

 private:
  SocketDescriptor socket_;
};

}  // namespace ws
