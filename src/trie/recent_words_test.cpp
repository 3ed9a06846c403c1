#include "trie/recent_words.h"

#include <gtest/gtest.h>

#include <string>

#include "trie/child_blocks.h"

namespace ws {
namespace {

bool sameKey(const RecentWords::Key& a, const RecentWords::Key& b) {
  return a.head == b.head && a.tail == b.tail && a.length == b.length;
}

// A key stands for exactly one word: words that differ in any one byte, or only in length,
// never share a key, whatever their length up to the longest kept.
TEST(RecentWords, KeysDifferWhereverTheWordsDiffer) {
  const std::string letters = "abcdefghijklmnop";
  for (size_t length = 1; length <= RecentWords::kMaxLength; ++length) {
    const std::string word = letters.substr(0, length);
    const RecentWords::Key key = RecentWords::keyOf(word);
    ASSERT_TRUE(key.valid());
    EXPECT_TRUE(sameKey(key, RecentWords::keyOf(std::string(word))));
    for (size_t pos = 0; pos < length; ++pos) {
      std::string other = word;
      other[pos] = '\xfc';
      EXPECT_FALSE(sameKey(key, RecentWords::keyOf(other))) << word << " at " << pos;
    }
    const std::string run(length, 'a');
    EXPECT_FALSE(sameKey(RecentWords::keyOf(run), RecentWords::keyOf(run + "a"))) << length;
  }
  EXPECT_FALSE(RecentWords::keyOf(letters + "q").valid());
}

// The table answers a key with the place remembered for it; whether that place still names the
// word's record is the arena's answer, which turns to nothing once the record may have moved.
TEST(RecentWords, AnswersTheLastPlaceOfAKeyWhichGoesStaleWithItsRecord) {
  ChildBlocks blocks;
  ASSERT_TRUE(blocks.reserve(size_t{1} << 20));
  const ChildBlocks::Placement hau = blocks.createBlock(linkNumberOf('s'));
  RecentWords recent;
  const RecentWords::Key haus = RecentWords::keyOf("haus");
  EXPECT_EQ(blocks.recordAt(recent.find(haus)), nullptr);
  recent.remember(haus, blocks.placeOf(*hau.record));
  EXPECT_EQ(blocks.recordAt(recent.find(haus)), hau.record);
  EXPECT_EQ(blocks.recordAt(recent.find(RecentWords::keyOf("maus"))), nullptr);
  blocks.addChild(hau.block, linkNumberOf('e'));  // "haue" joins "haus": the block moves up
  EXPECT_EQ(blocks.recordAt(recent.find(haus)), nullptr);
}

}  // namespace
}  // namespace ws
