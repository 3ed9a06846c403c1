#include "net/socket_handle.h"

#include <unistd.h>

namespace ws {

SocketHandle& SocketHandle::operator=(SocketHandle&& other) noexcept {
  if (this != &other) reset(other.release());
  return *this;
}

int SocketHandle::release() {
  int fd = fd_;
  fd_ = -1;
  return fd;
}

void SocketHandle::reset(int fd) {
  // close() is not retried on EINTR: on Linux the descriptor is released either way, and a
  // retry could close a descriptor another thread has just been given.
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

}  // namespace ws
