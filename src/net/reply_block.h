// The rule by which a received block joins the reply.
#pragma once

#include <algorithm>
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

// The most bytes read for one reply, in both transports. A server that never stops sending
// cannot fill the memory: once this many bytes have come, the reply ends there.
inline constexpr size_t kReplyLimit = size_t{64} * 1024 * 1024;

// The receive loop of both transports: reads blocks of kReceiveBlockSize straight into the end
// of `reply`, each kept by keptBlockBytes, until `read(block, size)` returns 0 or less (the peer
// closed, or the read failed) or `limit` bytes have been read in all; the bytes of the last block
// beyond the limit are dropped, as if the server had closed there. Returns the last read's
// result, or 1 when the limit ended the reply (the caller then closes the connection).
template <typename Read>
long receiveBlocks(std::string& reply, Read read, size_t limit = kReplyLimit) {
  for (size_t total = 0; total < limit;) {
    const size_t oldSize = reply.size();
    reply.resize(oldSize + kReceiveBlockSize);
    char* block = reply.data() + oldSize;
    const long received = read(block, kReceiveBlockSize);
    if (received <= 0) {
      reply.resize(oldSize);
      return received;
    }
    const size_t taken = std::min(static_cast<size_t>(received), limit - total);
    total += taken;
    reply.resize(oldSize + keptBlockBytes(block, taken));
  }
  return 1;
}

}  // namespace ws
