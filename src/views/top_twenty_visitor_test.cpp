#include "views/top_twenty_visitor.h"

#include <gtest/gtest.h>

#include <string>

namespace ws {
namespace {

std::string rankingText(const TopTwentyVisitor& v) {
  std::string text;
  for (int rank = 1; rank <= TopTwentyVisitor::kRanked; ++rank) {
    text += std::to_string(rank) + ":" + v.ranked(rank).word + "=" +
            std::to_string(v.ranked(rank).count) + " ";
  }
  return text;
}

TEST(TopTwentyRanking, EqualCountsKeepTheEarlierWordAheadAndDoNotDisplaceRankTwenty) {
  TopTwentyVisitor v;
  v.reset();
  v.offer("ab", 3);
  v.offer("ac", 3);
  v.offer("ad", 4);
  EXPECT_EQ(v.ranked(1).word, "ad") << rankingText(v);
  EXPECT_EQ(v.ranked(2).word, "ab") << rankingText(v);
  EXPECT_EQ(v.ranked(3).word, "ac") << rankingText(v);

  v.reset();
  for (int i = 0; i < 20; ++i) v.offer('w' + std::to_string(100 + i), 5);
  v.offer("zz", 5);  // ties rank 20: stays out
  EXPECT_EQ(v.ranked(20).word, "w119") << rankingText(v);
  v.offer("zy", 6);  // beats everyone: rank 1, the old rank 20 drops out
  EXPECT_EQ(v.ranked(1).word, "zy") << rankingText(v);
  EXPECT_EQ(v.ranked(2).word, "w100") << rankingText(v);
  EXPECT_EQ(v.ranked(20).word, "w118") << rankingText(v);
}

TEST(TopTwentyRanking, IgnoresOneByteWordsAndPrefixNodes) {
  TopTwentyVisitor v;
  v.reset();
  v.offer("e", 1000);
  v.offer("ha", 0);
  v.offer("haus", 2);
  EXPECT_EQ(v.ranked(1).word, "haus");
  EXPECT_EQ(v.ranked(2).word, "");
  EXPECT_EQ(v.ranked(2).count, 0u);
}

// Counts at and beyond the 32-bit boundaries rank by their whole value.
TEST(TopTwentyRanking, CountsAreComparedWhole) {
  TopTwentyVisitor v;
  v.reset();
  v.offer("der", 7);
  v.offer("die", 3'000'000'000u);  // negative as a signed 32-bit value
  v.offer("das", 2'147'483'647u);
  v.offer("und", (WordCount{1} << 32) + 5);  // 5 modulo 2^32
  v.offer("ist", 8);
  EXPECT_EQ(v.ranked(1).word, "und");
  EXPECT_EQ(v.ranked(2).word, "die");
  EXPECT_EQ(v.ranked(3).word, "das");
  EXPECT_EQ(v.ranked(4).word, "ist");
  EXPECT_EQ(v.ranked(5).word, "der");
  EXPECT_EQ(v.ranked(1).count, (WordCount{1} << 32) + 5);
}

TEST(TopTwentyRanking, LongestWordIsTheFirstOfTheLongestAndResetForgetsIt) {
  TopTwentyVisitor v;
  v.reset();
  v.offer("abc", 1);
  v.offer("xyz", 1);
  v.offer("e", 1);
  EXPECT_EQ(v.longestWord(), "abc");
  EXPECT_EQ(v.longestLength(), 3);
  v.reset();
  EXPECT_EQ(v.longestWord(), "");
  EXPECT_EQ(v.longestLength(), 0);
  EXPECT_EQ(v.ranked(1).word, "");
}

}  // namespace
}  // namespace ws
