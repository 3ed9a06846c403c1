// Checks receiveBlocks, the receive loop of both transports, against a model of the stream by
// byte positions, for any limit and any sequence of reads (short, full, zero-laden, a close or
// a failed read). The input's first two bytes give the limit (0xFFFF: kReplyLimit); then each
// read is one header byte and its bytes: n = header & 0x7F bytes follow; with the top bit set
// they repeat to fill a whole block; n == 0 is a close (0) or, with the top bit, a failed read
// (-1). A script that runs out closes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "net/reply_block.h"

namespace {

struct Read {
  long result;        // what the read returns
  std::string bytes;  // the bytes it delivers, result of them
};

const Read kClose{0, {}};

std::vector<Read> readScript(const uint8_t* data, size_t size) {
  std::vector<Read> reads;
  size_t at = 0;
  while (at < size) {
    const uint8_t header = data[at++];
    const size_t n = std::min<size_t>(header & 0x7F, size - at);
    std::string bytes(reinterpret_cast<const char*>(data) + at, n);
    at += n;
    if (n == 0) {
      reads.push_back({(header & 0x80) ? -1 : 0, {}});
      continue;
    }
    if (header & 0x80) {
      // The bytes over and over: each copy doubles the filled part, which stays a whole number
      // of repeats until the last, partial one.
      size_t filled = bytes.size();
      bytes.resize(ws::kReceiveBlockSize);
      while (filled < bytes.size()) {
        const size_t step = std::min(filled, bytes.size() - filled);
        std::memcpy(bytes.data() + filled, bytes.data(), step);
        filled += step;
      }
    }
    reads.push_back({static_cast<long>(bytes.size()), bytes});
  }
  return reads;
}

void checkKept(const char* block, size_t received) {
  const size_t kept = ws::keptBlockBytes(block, received);
  if (kept > received || std::memchr(block, 0, kept) != nullptr) std::abort();
  if (kept < received && block[kept] != '\0') std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t code = data[0] | (size_t{data[1]} << 8);
  const size_t limit = code == 0xFFFF ? ws::kReplyLimit : code;
  const std::vector<Read> script = readScript(data + 2, size - 2);

  // The model: the reads happen in order while fewer than `limit` bytes came; a block starting at
  // stream offset o keeps its bytes below offset `limit`, up to its first zero byte.
  std::string expected;
  long expectedLast = 1;
  size_t expectedReads = 0;
  size_t offset = 0;
  for (size_t i = 0; offset < limit; ++i) {
    ++expectedReads;
    const Read& read = i < script.size() ? script[i] : kClose;
    if (read.result <= 0) {
      expectedLast = read.result;
      break;
    }
    const std::string below = read.bytes.substr(0, limit - offset);
    expected += below.substr(0, below.find('\0'));
    offset += read.bytes.size();
  }

  std::string reply;
  size_t reads = 0;
  const long last = ws::receiveBlocks(
      reply,
      [&](char* block, size_t room) -> long {
        if (room != ws::kReceiveBlockSize) std::abort();
        const Read& read = reads < script.size() ? script[reads] : kClose;
        ++reads;
        // Bytes past what a read delivers are not part of the reply: put some after them.
        std::memset(block, '#', std::min(room, read.bytes.size() + 64));
        std::memcpy(block, read.bytes.data(), read.bytes.size());
        if (read.result > 0) checkKept(block, read.bytes.size());
        return read.result;
      },
      limit);

  if (reply != expected || last != expectedLast || reads != expectedReads) std::abort();
  if (reply.size() > limit || reply.find('\0') != std::string::npos) std::abort();
  return 0;
}
