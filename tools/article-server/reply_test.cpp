#include "reply.h"

#include <gtest/gtest.h>

#include <memory>

namespace ws {
namespace {

TEST(Reply, PiecesFollowEachOtherWithoutGapsOrOverlap) {
  Reply r;
  r.head = "HEAD";
  r.repeated = std::make_shared<const std::string>("abc");
  r.repeatCount = 3;
  r.tail = "END";
  EXPECT_EQ(r.size(), 4u + 9u + 3u);
  EXPECT_EQ(r.flatten(), "HEADabcabcabcEND");
  EXPECT_EQ(r.bytesAt(2), "AD");
  EXPECT_EQ(r.bytesAt(4), "abc");
  EXPECT_EQ(r.bytesAt(9), "c");  // second repetition, last byte
  EXPECT_EQ(r.bytesAt(13), "END");
  EXPECT_EQ(r.bytesAt(16), "");
}

TEST(Reply, HeadOnly) {
  Reply r;
  r.head = "x";
  EXPECT_EQ(r.flatten(), "x");
  EXPECT_EQ(r.bytesAt(1), "");
}

}  // namespace
}  // namespace ws
