// The rule by which a received block joins the reply.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

namespace ws {

// Bytes read per receive call, in both transports.
inline constexpr size_t kReceiveBlockSize = 16384;

// How many of the `received` bytes at `block` are kept: those before the first zero byte, so a
// reply never holds a zero byte; later blocks are kept by their own rule.
inline size_t keptBlockBytes(const char* block, size_t received) {
  const void* zero = std::memchr(block, 0, received);
  return zero ? static_cast<size_t>(static_cast<const char*>(zero) - block) : received;
}

// The receive loop of both transports: reads blocks of kReceiveBlockSize straight into the end
// of `reply`, each kept by keptBlockBytes, until `read(block, size)` returns 0 or less (the peer
// closed, or the read failed); returns that last result.
template <typename Read>
long receiveBlocks(std::string& reply, Read read) {
  for (;;) {
    const size_t oldSize = reply.size();
    reply.resize(oldSize + kReceiveBlockSize);
    char* block = reply.data() + oldSize;
    const long received = read(block, kReceiveBlockSize);
    if (received <= 0) {
      reply.resize(oldSize);
      return received;
    }
    reply.resize(oldSize + keptBlockBytes(block, static_cast<size_t>(received)));
  }
}

}  // namespace ws
