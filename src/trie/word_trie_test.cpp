#include "trie/word_trie.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace ws {
namespace {

TEST(WordTrie, FreshTrieHasTheRootsInOrderAndNoWords) {
  WordTrie trie;
  EXPECT_EQ(trie.nodeCount(), 224u);
  for (int k = 1; k <= 224; ++k) {
    ASSERT_EQ(trie.rootEntry(k), static_cast<NodeIndex>(k)) << "root " << k;
    EXPECT_EQ(trie.node(trie.rootEntry(k)).count, 0u);
  }
  EXPECT_EQ(trie.lookupWord("a"), 0u);
  EXPECT_EQ(trie.lookupWord("haus"), 0u);
}

TEST(WordTrie, InsertReturnsNodesCreatedAlongThePath) {
  WordTrie trie;
  EXPECT_EQ(trie.insertWord("haus"), 3u);
  EXPECT_EQ(trie.insertWord("hause"), 1u);
  EXPECT_EQ(trie.insertWord("hau"), 0u);  // a prefix: its node existed with count 0
  EXPECT_EQ(trie.insertWord("haus"), 0u);
  EXPECT_EQ(trie.nodeCount(), 224u + 4u);

  EXPECT_EQ(trie.lookupWord("hau"), 1u);
  EXPECT_EQ(trie.lookupWord("haus"), 2u);
  EXPECT_EQ(trie.lookupWord("hause"), 1u);
  EXPECT_EQ(trie.lookupWord("ha"), 0u);
  EXPECT_EQ(trie.lookupWord("h"), 0u);
  EXPECT_EQ(trie.lookupWord("hx"), 0u);        // path breaks off
  EXPECT_EQ(trie.lookupWord("hausboot"), 0u);  // path runs past a leaf
}

TEST(WordTrie, OneByteWordsCountInTheirRootNode) {
  WordTrie trie;
  EXPECT_EQ(trie.insertWord("a"), 0u);
  EXPECT_EQ(trie.insertWord("a"), 0u);
  EXPECT_EQ(trie.node(trie.rootEntry(65)).count, 2u);
  EXPECT_EQ(trie.lookupWord("a"), 2u);
  EXPECT_EQ(trie.nodeCount(), 224u);
}

TEST(WordTrie, HighestByteUsesLink223AndLink224StaysEmpty) {
  WordTrie trie;
  EXPECT_EQ(trie.insertWord("\xff\xff"), 1u);
  EXPECT_EQ(trie.insertWord("a\xff!"), 2u);
  const TrieNode& root = trie.node(trie.rootEntry(223));
  EXPECT_NE(root.links[222], 0u);
  EXPECT_EQ(trie.summary(trie.rootEntry(223)).childLinks[0], 223);
  EXPECT_EQ(trie.lookupWord("\xff\xff"), 1u);
  EXPECT_EQ(trie.lookupWord("a\xff!"), 1u);
  for (NodeIndex i = 1; i <= trie.nodeCount(); ++i) {
    EXPECT_EQ(trie.node(i).links[223], 0u) << "node " << i;
  }
}

TEST(WordTrie, WordsThatCannotBeStoredAreNotFound) {
  WordTrie trie;
  trie.insertWord("ab");
  EXPECT_EQ(trie.lookupWord(""), 0u);
  EXPECT_EQ(trie.lookupWord(std::string_view("a b", 3)), 0u);
  EXPECT_EQ(trie.lookupWord(std::string_view("\0b", 2)), 0u);
}

TEST(WordTrie, MillionByteWordNeedsNoDeepCallStack) {
  WordTrie trie;
  const std::string word(1'000'000, 'x');
  EXPECT_EQ(trie.insertWord(word), 999'999u);
  EXPECT_EQ(trie.insertWord(word), 0u);
  EXPECT_EQ(trie.lookupWord(word), 2u);
  EXPECT_EQ(trie.lookupWord(std::string_view(word).substr(0, 500'000)), 0u);
  EXPECT_EQ(trie.nodeCount(), 224u + 999'999u);
}

// Against a plain map: counts, created nodes (= new distinct prefixes) and the
// node summaries must agree for many words over a small alphabet, where prefixes
// and repeats are frequent.
TEST(WordTrie, AgreesWithAReferenceMapOnRandomWords) {
  WordTrie trie;
  std::map<std::string, uint32_t> counts;
  std::set<std::string> prefixes;
  std::mt19937 random(42);
  std::uniform_int_distribution<int> length(1, 6);
  const std::string alphabet = "ab\xe4\xff!cdefghijklm";
  for (int n = 0; n < 20000; ++n) {
    std::string word;
    const int len = length(random);
    for (int i = 0; i < len; ++i) word += alphabet[random() % alphabet.size()];
    size_t newPrefixes = 0;
    for (size_t p = 2; p <= word.size(); ++p)
      newPrefixes += prefixes.insert(word.substr(0, p)).second;
    ASSERT_EQ(trie.insertWord(word), newPrefixes) << word;
    ++counts[word];
  }
  EXPECT_EQ(trie.nodeCount(), 224u + prefixes.size());
  for (const auto& [word, count] : counts) ASSERT_EQ(trie.lookupWord(word), count) << word;
  for (NodeIndex i = 1; i <= trie.nodeCount(); ++i) {
    std::vector<int> present;
    for (int k = 1; k <= 224; ++k) {
      if (trie.node(i).links[k - 1] != 0) present.push_back(k);
    }
    const NodeSummary& summary = trie.summary(i);
    ASSERT_EQ(summary.childCount, present.size()) << i;
    if (summary.listsChildren()) {
      ASSERT_EQ(std::vector<int>(summary.childLinks, summary.childLinks + summary.childCount),
                present)
          << i;
    }
  }
}

// Words inserted together must give what one insert after the other gives: a
// node on a shared new path is credited to the first word in order.
TEST(WordTrie, InsertingInBatchesMatchesOneByOne) {
  WordTrie batched;
  uint32_t created[2];
  const std::string_view shorterFirst[] = {"xy", "xyz"};
  batched.insertWords(shorterFirst, 2, created);
  EXPECT_EQ(created[0], 1u);
  EXPECT_EQ(created[1], 1u);
  const std::string_view longerFirst[] = {"qrs", "qr", "qr", "q"};
  uint32_t four[4];
  batched.insertWords(longerFirst, 4, four);
  EXPECT_EQ(four[0], 2u);
  EXPECT_EQ(four[1], 0u);
  EXPECT_EQ(four[3], 0u);
  EXPECT_EQ(batched.lookupWord("qr"), 2u);

  WordTrie single, many;
  std::mt19937 random(3);
  std::vector<std::string> words;
  for (int n = 0; n < 3000; ++n) {
    std::string word(1 + random() % 7, ' ');
    for (char& c : word) c = "abc\xfc"[random() % 4];
    words.push_back(word);
  }
  std::vector<std::string_view> views(words.begin(), words.end());
  std::vector<uint32_t> results(words.size());
  for (size_t done = 0; done < views.size();) {
    const size_t n = std::min<size_t>(1 + random() % 70, views.size() - done);
    many.insertWords(views.data() + done, n, results.data() + done);
    done += n;
  }
  for (size_t i = 0; i < words.size(); ++i) ASSERT_EQ(single.insertWord(words[i]), results[i]) << i;
  EXPECT_EQ(many.nodeCount(), single.nodeCount());
  for (const auto& word : words) ASSERT_EQ(many.lookupWord(word), single.lookupWord(word));
}

TEST(WordTrie, FreeTrieLeavesAnEmptyTrie) {
  WordTrie trie;
  trie.insertWord("haus");
  trie.insertWord("a");
  trie.freeTrie();
  EXPECT_EQ(trie.nodeCount(), 0u);
  for (int k = 1; k <= 224; ++k) EXPECT_EQ(trie.rootEntry(k), 0u);
  EXPECT_EQ(trie.lookupWord("haus"), 0u);
  EXPECT_EQ(trie.lookupWord("a"), 0u);
}

TEST(WordTrie, GrowsAcrossCommitStepsWithoutMovingNodes) {
  WordTrie trie;
  const TrieNode* first = &trie.node(trie.rootEntry(1));
  // Enough new nodes to need memory beyond the first commit step.
  std::string word;
  for (int n = 0; n < 70000; ++n) {
    word = 'w' + std::to_string(n);
    trie.insertWord(word + "!");
  }
  EXPECT_EQ(first, &trie.node(trie.rootEntry(1)));
  EXPECT_EQ(trie.lookupWord("w69999!"), 1u);
  EXPECT_EQ(trie.lookupWord("w0!"), 1u);
  EXPECT_EQ(trie.lookupWord("w0"), 0u);
}

TEST(WordTrieDeathTest, ExhaustedReservationEndsWithAMessage) {
  EXPECT_EXIT(
      {
        WordTrie trie(300);
        for (int n = 0; n < 100; ++n) trie.insertWord("wort" + std::to_string(n));
      },
      testing::ExitedWithCode(1), "keinen Platz fuer weitere Knoten \\(300 Knoten\\)");
}

TEST(WordTrie, ReservationHoldsExactlyItsNodes) {
  WordTrie trie(230);
  EXPECT_EQ(trie.maxNodes(), 230u);
  EXPECT_EQ(trie.insertWord("abcdefg"), 6u);  // 224 + 6 = 230: full, but fits
  EXPECT_EQ(trie.lookupWord("abcdefg"), 1u);
}

}  // namespace
}  // namespace ws
