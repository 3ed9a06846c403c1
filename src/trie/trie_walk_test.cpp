#include "trie/trie_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace ws {
namespace {

struct Visit {
  std::string word;
  uint32_t count;
  int children;
  int linkNumber;
};

class RecordingVisitor : public TrieVisitor {
 public:
  void visit(std::string_view word, uint32_t count, const NodeView& node,
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

// Many random words: one visit per node, words in increasing unsigned byte
// order, counts and child counts as inserted, last visit root 224.
TEST(TrieWalk, VisitsEveryNodeOnceInByteOrder) {
  WordTrie trie;
  std::map<std::string, uint32_t> counts;
  std::mt19937 random(7);
  // More than 11 letters, so nodes both with listed and with scanned children occur.
  const std::string alphabet =
      "!a\x7f\xe4\xfe\xff"
      "bcdefghij";
  std::vector<std::string> everyByte;
  for (int b = 33; b <= 255; ++b) everyByte.push_back(std::string("q") + static_cast<char>(b));
  std::shuffle(everyByte.begin(), everyByte.end(), random);
  for (const auto& word : everyByte) {
    trie.insertWord(word);
    ++counts[word];
  }
  for (int n = 0; n < 5000; ++n) {
    std::string word(1 + random() % 6, ' ');
    for (char& c : word) c = alphabet[random() % alphabet.size()];
    trie.insertWord(word);
    ++counts[word];
  }
  const auto visits = walkAll(trie);
  ASSERT_EQ(visits.size(), trie.nodeCount());
  const auto bytes = [](const std::string& s) {
    return std::basic_string_view<unsigned char>(reinterpret_cast<const unsigned char*>(s.data()),
                                                 s.size());
  };
  // Root 224 (the word of one zero byte) closes the walk out of byte order.
  for (size_t i = 0; i + 2 < visits.size(); ++i) {
    ASSERT_LT(bytes(visits[i].word), bytes(visits[i + 1].word)) << i;
  }
  std::map<std::string, int> children;
  for (const auto& v : visits) {
    const auto it = counts.find(v.word);
    ASSERT_EQ(v.count, it == counts.end() ? 0u : it->second) << v.word;
    if (v.word.size() > 1) ++children[v.word.substr(0, v.word.size() - 1)];
    if (v.linkNumber != 224) {
      EXPECT_EQ(v.linkNumber, static_cast<unsigned char>(v.word.back()) - 32);
    }
  }
  for (const auto& v : visits) ASSERT_EQ(v.children, children[v.word]) << v.word;
  EXPECT_EQ(visits.back().linkNumber, 224);

  // Small layouts that must nest give the same visits.
  for (size_t layoutEntries : {1, 2, 5, 40, 300}) {
    RecordingVisitor nested;
    detail::walkTrieInLayouts(trie, nested, layoutEntries);
    ASSERT_EQ(nested.visits.size(), visits.size()) << layoutEntries;
    for (size_t i = 0; i < visits.size(); ++i) {
      ASSERT_EQ(nested.visits[i].word, visits[i].word) << layoutEntries << " " << i;
      ASSERT_EQ(nested.visits[i].count, visits[i].count);
      ASSERT_EQ(nested.visits[i].children, visits[i].children);
      ASSERT_EQ(nested.visits[i].linkNumber, visits[i].linkNumber);
    }
  }

  // A cut walk is the full walk's beginning, inside a root's subtree, at a root and past the end.
  const auto sameVisits = [](const Visit& a, const Visit& b) {
    return a.word == b.word && a.count == b.count && a.children == b.children &&
           a.linkNumber == b.linkNumber;
  };
  for (size_t layoutEntries : {size_t{3}, size_t{64}, kWalkLayoutEntries}) {
    for (uint64_t limit : {0ul, 1ul, 100ul, 'q' - 32ul, 2000ul, visits.size() - 1, visits.size(),
                           visits.size() + 5}) {
      RecordingVisitor cut;
      detail::walkTrieInLayouts(trie, cut, layoutEntries, limit);
      const size_t expected = std::min<size_t>(limit, visits.size());
      ASSERT_EQ(cut.visits.size(), expected) << layoutEntries << " " << limit;
      ASSERT_TRUE(std::equal(cut.visits.begin(), cut.visits.end(), visits.begin(), sameVisits))
          << layoutEntries << " " << limit;
    }
  }
}

TEST(TrieWalk, WalkNodeCoversOneSubtreeUnderTheGivenWord) {
  WordTrie trie;
  trie.insertWord("haus");
  trie.insertWord("hof");
  trie.insertWord("igel");
  RecordingVisitor visitor;
  walkNode(trie, trie.rootEntry('h' - 32), 'h' - 32, "H", visitor);
  std::vector<std::string> words;
  for (const auto& v : visitor.visits) words.push_back(v.word);
  EXPECT_EQ(words, (std::vector<std::string>{"H", "Ha", "Hau", "Haus", "Ho", "Hof"}));
  EXPECT_EQ(visitor.visits.front().linkNumber, 'h' - 32);

  RecordingVisitor none;
  walkNode(trie, 0, 1, "x", none);
  EXPECT_TRUE(none.visits.empty());
}

TEST(TrieWalk, MillionByteWordIsWalkedWithoutDeepCallStack) {
  WordTrie trie;
  trie.insertWord(std::string(1'000'000, 'x'));
  trie.insertWord("xy");
  struct : TrieVisitor {
    void visit(std::string_view word, uint32_t count, const NodeView&, uint8_t) override {
      ++visits;
      if (count != 0) longest = std::max(longest, word.size());
    }
    size_t visits = 0, longest = 0;
  } visitor;
  walkNode(trie, trie.rootEntry('x' - 32), 'x' - 32, "x", visitor);
  EXPECT_EQ(visitor.visits, 1'000'000u + 1u);  // the long chain plus "xy"
  EXPECT_EQ(visitor.longest, 1'000'000u);
}

TEST(TrieWalk, FreedTrieHasNothingToVisit) {
  WordTrie trie;
  trie.insertWord("haus");
  trie.freeTrie();
  EXPECT_TRUE(walkAll(trie).empty());
}

}  // namespace
}  // namespace ws
