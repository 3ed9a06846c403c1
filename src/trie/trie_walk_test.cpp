#include "trie/trie_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ws {
namespace {

struct Visit {
  std::string word;
  WordCount count;
  int children;
  int linkNumber;
};

class RecordingVisitor : public TrieVisitor {
 public:
  void visit(std::string_view word, WordCount count, const NodeView& node,
             uint8_t linkNumber) override {
    visits.push_back({std::string(word), count, node.childCount(), linkNumber});
    EXPECT_EQ(count, node.count());
  }
  std::vector<Visit> visits;
};

std::vector<Visit> walkAll(const WordTrie& trie) {
  RecordingVisitor visitor;
  walkTrie(trie, visitor);
  return visitor.visits;
}

TEST(TrieWalk, FreshTrieVisitsTheRootsFromBangToByteZero) {
  WordTrie trie;
  const auto visits = walkAll(trie);
  ASSERT_EQ(visits.size(), 224u);
  EXPECT_EQ(visits.front().word, "!");
  EXPECT_EQ(visits.front().linkNumber, 1);
  EXPECT_EQ(visits.back().word, std::string(1, '\0'));
  EXPECT_EQ(visits.back().linkNumber, 224);
  for (size_t i = 0; i < visits.size(); ++i) {
    EXPECT_EQ(visits[i].linkNumber, static_cast<int>(i + 1));
    EXPECT_EQ(visits[i].count, 0u);
    EXPECT_EQ(visits[i].children, 0);
  }
}

TEST(TrieWalk, WordComesBeforeItsExtensionsAndTheNextSibling) {
  WordTrie trie;
  trie.insertWord("a");
  trie.insertWord("ab");
  const auto visits = walkAll(trie);
  ASSERT_EQ(visits.size(), 225u);
  const auto a = 'a' - 33;  // root "a" is the 65th visit
  EXPECT_EQ(visits[a].word, "a");
  EXPECT_EQ(visits[a].count, 1u);
  EXPECT_EQ(visits[a].linkNumber, 65);
  EXPECT_EQ(visits[a].children, 1);
  EXPECT_EQ(visits[a + 1].word, "ab");
  EXPECT_EQ(visits[a + 1].count, 1u);
  EXPECT_EQ(visits[a + 1].linkNumber, 66);
  EXPECT_EQ(visits[a + 2].word, "b");
  EXPECT_EQ(visits[a + 2].count, 0u);
  EXPECT_EQ(visits[a + 2].linkNumber, 66);
}

TEST(TrieWalk, PrefixNodesAreVisitedWithCountZero) {
  WordTrie trie;
  trie.insertWord("haus");
  const auto visits = walkAll(trie);
  const auto h = 'h' - 33;
  const std::vector<std::string> words = {"h", "ha", "hau", "haus"};
  for (size_t i = 0; i < words.size(); ++i) {
    EXPECT_EQ(visits[h + i].word, words[i]);
    EXPECT_EQ(visits[h + i].count, i == 3 ? 1u : 0u);
  }
  EXPECT_EQ(visits[h + 4].word, "i");
}

TEST(TrieWalk, MillionByteWordIsWalkedWithoutDeepCallStack) {
  WordTrie trie;
  trie.insertWord(std::string(1'000'000, 'x'));
  trie.insertWord("xy");
  struct : TrieVisitor {
    void visit(std::string_view word, WordCount count, const NodeView&, uint8_t) override {
      ++visits;
      if (count != 0) longest = std::max(longest, word.size());
    }
    size_t visits = 0, longest = 0;
  } visitor;
  walkTrie(trie, visitor);
  EXPECT_EQ(visitor.visits, 224u + 999'999u + 1u);  // the roots, the long chain and "xy"
  EXPECT_EQ(visitor.longest, 1'000'000u);
}

// What a walk tells a visitor, in order: b for begin, v for a visit, e for end.
class TellingVisitor : public TrieVisitor {
 public:
  void begin() override { told += 'b'; }
  void visit(std::string_view, WordCount, const NodeView&, uint8_t) override { told += 'v'; }
  void end() override { told += 'e'; }
  std::string told;
};

// A walk begins before its first visit and ends after its last, whether it visits the whole trie
// or stops at its limit; a walk without visits neither begins nor ends.
TEST(TrieWalk, BeginAndEndBracketTheVisitsOfEveryWalkThatVisits) {
  WordTrie trie;
  trie.insertWord("haus");  // 224 + 3 nodes
  const auto told = [&trie](uint64_t limit) {
    TellingVisitor visitor;
    if (limit == UINT64_MAX) {
      walkTrie(trie, visitor);
    } else {
      walkTrie(trie, visitor, limit);
    }
    return visitor.told;
  };
  const auto bracketed = [](size_t visits) {
    std::string told(visits + 2, 'v');
    told.front() = 'b';
    told.back() = 'e';
    return told;
  };
  EXPECT_EQ(told(UINT64_MAX), bracketed(227));
  EXPECT_EQ(told(1), bracketed(1));
  EXPECT_EQ(told('h' - 32 + 1), bracketed('h' - 32 + 1));  // ends inside the subtree of "h"
  EXPECT_EQ(told(227), bracketed(227));
  EXPECT_EQ(told(228), bracketed(227));
  EXPECT_EQ(told(0), "");
  trie.freeTrie();
  EXPECT_EQ(told(UINT64_MAX), "");
  EXPECT_EQ(told(5), "");
}

TEST(TrieWalk, FreedTrieHasNothingToVisit) {
  WordTrie trie;
  trie.insertWord("haus");
  trie.freeTrie();
  EXPECT_TRUE(walkAll(trie).empty());
}

}  // namespace
}  // namespace ws
