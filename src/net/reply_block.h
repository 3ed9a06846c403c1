// The rule by which a received block joins the reply.
#pragma once

#include <cstddef>
#include <cstring>

namespace ws {

// Bytes read per receive call, in both transports.
inline constexpr size_t kReceiveBlockSize = 16384;

// How many of the `received` bytes at `block` are kept: those before the first zero byte, so a
// reply never holds a zero byte; later blocks are kept by their own rule.
inline size_t keptBlockBytes(const char* block, size_t received) {
  const void* zero = std::memchr(block, 0, received);
  return zero ? static_cast<size_t>(static_cast<const char*>(zero) - block) : received;
}

}  // namespace ws
