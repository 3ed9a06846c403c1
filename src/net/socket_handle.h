// Ownership of one socket descriptor.
#pragma once

namespace ws {

// Closes its descriptor when destroyed; -1 means "none". Movable, not copyable.
class SocketHandle {
 public:
  explicit SocketHandle(int fd = -1) : fd_(fd) {}
  SocketHandle(SocketHandle&& other) noexcept : fd_(other.release()) {}
  SocketHandle& operator=(SocketHandle&& other) noexcept;
  SocketHandle(const SocketHandle&) = delete;
  SocketHandle& operator=(const SocketHandle&) = delete;
  ~SocketHandle() { reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release();
  // Closes the held descriptor (if any) and holds `fd` instead.
  void reset(int fd = -1);

 private:
  int fd_;
};

}  // namespace ws
