#include "net/socket_handle.h"

namespace ws {

SocketHandle& SocketHandle::operator=(SocketHandle&& other) noexcept {
  if (this != &other) reset(other.release());
  return *this;
}

SocketDescriptor SocketHandle::release() {
  const SocketDescriptor socket = socket_;
  socket_ = kNoSocket;
  return socket;
}

void SocketHandle::reset(SocketDescriptor socket) {
  if (socket_ != kNoSocket) closeSocket(socket_);
  socket_ = socket;
}

}  // namespace ws
