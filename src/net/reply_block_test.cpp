#include "net/reply_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

namespace ws {
namespace {

// A transport whose server never stops: every read fills `chunk` bytes (at most the size asked
// for) of `fill`.
struct EndlessServer {
  size_t chunk;
  char fill;
  size_t reads = 0;
  long operator()(char* block, size_t size) {
    ++reads;
    const size_t n = std::min(chunk, size);
    std::memset(block, fill, n);
    return static_cast<long>(n);
  }
};

TEST(ReceiveBlocks, ASenderThatNeverStopsEndsAtTheLimitWithEveryByteBeforeIt) {
  std::string reply;
  EndlessServer whole{kReceiveBlockSize, 'x'};
  EXPECT_EQ(receiveBlocks(reply, std::ref(whole)), 1);
  EXPECT_EQ(reply.size(), kReplyLimit);
  EXPECT_EQ(whole.reads, kReplyLimit / kReceiveBlockSize);
  EXPECT_EQ(reply.find_first_not_of('x'), std::string::npos);

  // Blocks that straddle the limit: the bytes beyond it are dropped.
  reply.clear();
  EndlessServer odd{10000, 'y'};
  EXPECT_EQ(receiveBlocks(reply, std::ref(odd)), 1);
  EXPECT_EQ(reply.size(), kReplyLimit);
  EXPECT_EQ(odd.reads, (kReplyLimit + 9999) / 10000);

  // Bytes dropped at zero bytes still count: a stream of zeros ends too, with nothing kept.
  reply.clear();
  EndlessServer zeros{kReceiveBlockSize, '\0'};
  EXPECT_EQ(receiveBlocks(reply, std::ref(zeros)), 1);
  EXPECT_EQ(reply, "");
  EXPECT_EQ(zeros.reads, kReplyLimit / kReceiveBlockSize);
}

TEST(ReceiveBlocks, AReplyJustUnderTheLimitArrivesWholeAndEndsWithTheClose) {
  size_t sent = 0;
  std::string reply;
  const long last = receiveBlocks(reply, [&sent](char* block, size_t size) {
    const size_t n = std::min(size, kReplyLimit - 1 - sent);
    std::memset(block, 'z', n);
    sent += n;
    return static_cast<long>(n);
  });
  EXPECT_EQ(last, 0);
  EXPECT_EQ(reply.size(), kReplyLimit - 1);
}

}  // namespace
}  // namespace ws
