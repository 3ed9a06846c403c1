#include "trie/word_trie.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "trie/trie_walk.h"

namespace ws {
namespace {

TEST(WordTrie, FreshTrieHasTheRootsAndNoWords) {
  WordTrie trie;
  EXPECT_EQ(trie.nodeCount(), 224u);
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
  EXPECT_EQ(trie.lookupWord("a"), 2u);
  EXPECT_EQ(trie.nodeCount(), 224u);
}

TEST(WordTrie, WordsThatCannotBeStoredAreNotFound) {
  WordTrie trie;
  trie.insertWord("ab");
  EXPECT_EQ(trie.lookupWord(""), 0u);
  EXPECT_EQ(trie.lookupWord(std::string_view("a b", 3)), 0u);
  EXPECT_EQ(trie.lookupWord(std::string_view("\0b", 2)), 0u);
}

// One hostile page can hold a word of a million bytes: it must neither need a deep call stack nor
// take memory anywhere near the 900 bytes per node the user is shown.
TEST(WordTrie, MillionByteWordNeedsNoDeepCallStackAndLittleMemory) {
  WordTrie trie;
  const std::string word(1'000'000, 'x');
  EXPECT_EQ(trie.insertWord(word), 999'999u);
  EXPECT_LE(trie.blockBytes(), size_t{16} << 20);
  EXPECT_EQ(trie.insertWord(word), 0u);
  EXPECT_EQ(trie.lookupWord(word), 2u);
  EXPECT_EQ(trie.lookupWord(std::string_view(word).substr(0, 500'000)), 0u);
  EXPECT_EQ(trie.nodeCount(), 224u + 999'999u);
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

// Counts go on past 2^32 - 1, where a node's record can count no further, along every way a word
// is counted: a descent, the batched descent, the table of recent words (short words only) and
// after a re-lay; look-ups and walks see the whole count.
TEST(WordTrie, CountsRunOnPastThirtyTwoBitsOnEveryCountingPath) {
  const WordCount edge = WordCount{1} << 32;
  const std::string longWord = "donaudampfschifffahrtsgesellschaft";  // beyond the recent table
  WordTrie trie;
  EXPECT_EQ(trie.countWord("die", edge - 3), 2u);
  EXPECT_EQ(trie.countWord(longWord, edge - 1), longWord.size() - 1);
  trie.countWord("e", edge + 7);  // a root node
  EXPECT_EQ(trie.countWord("der", (edge >> 1) - 1), 2u);
  EXPECT_EQ(trie.lookupWord("die"), edge - 3);

  EXPECT_EQ(trie.insertWord("die"), 0u);
  const std::vector<std::string_view> batch(300, "die");
  std::vector<uint32_t> created(batch.size());
  trie.insertWords(batch.data(), batch.size(), created.data());
  for (const std::string_view word : {std::string_view(longWord), std::string_view("e")}) {
    std::vector<std::string_view> words(70, word);
    trie.insertWords(words.data(), words.size(), created.data());
  }
  trie.insertWord("der");
  trie.insertWord("der");
  trie.layOutInWalkOrder();
  trie.insertWord("die");

  const std::map<std::string, WordCount> expected{{"die", edge - 3 + 302},
                                                  {longWord, edge - 1 + 70},
                                                  {"e", edge + 7 + 70},
                                                  {"der", (edge >> 1) + 1},
                                                  {"di", 0}};
  struct Collect : TrieVisitor {
    std::map<std::string, WordCount> counts;
    void visit(std::string_view word, WordCount count, const NodeView& node, uint8_t) override {
      EXPECT_EQ(node.count(), count);
      counts[std::string(word)] = count;
    }
  } walked;
  walkTrie(trie, walked);
  for (const auto& [word, count] : expected) {
    EXPECT_EQ(trie.lookupWord(word), count) << word;
    EXPECT_EQ(walked.counts[word], count) << word;
  }
  trie.freeTrie();
  WordTrie fresh;
  EXPECT_EQ(fresh.countWord("die", 1), 2u);
  EXPECT_EQ(fresh.lookupWord("die"), 1u);
}

TEST(WordTrie, FreeTrieLeavesAnEmptyTrie) {
  WordTrie trie;
  trie.insertWord("haus");
  trie.insertWord("a");
  trie.freeTrie();
  EXPECT_EQ(trie.nodeCount(), 0u);
  EXPECT_EQ(trie.lookupWord("haus"), 0u);
  EXPECT_EQ(trie.lookupWord("a"), 0u);
}

TEST(WordTrie, GrowsAcrossCommitSteps) {
  WordTrie trie;
  // Enough new nodes to need memory beyond the first commit step.
  std::string word;
  for (int n = 0; n < 70000; ++n) {
    word = 'w' + std::to_string(n);
    trie.insertWord(word + "!");
  }
  trie.insertWord(std::string(400'000, 'z'));
  EXPECT_GT(trie.blockBytes(), size_t{4} << 20);
  EXPECT_EQ(trie.lookupWord("w69999!"), 1u);
  EXPECT_EQ(trie.lookupWord("w0!"), 1u);
  EXPECT_EQ(trie.lookupWord("w0"), 0u);
}

TEST(WordTrieDeathTest, ReachingTheNodeLimitEndsWithAMessage) {
  EXPECT_EXIT(
      {
        WordTrie trie(300);
        for (int n = 0; n < 100; ++n) trie.insertWord("wort" + std::to_string(n));
      },
      testing::ExitedWithCode(1), "keinen Platz fuer weitere Knoten \\(300 Knoten\\)");
}

TEST(WordTrie, NodeLimitHoldsExactlyItsNodes) {
  WordTrie trie(230);
  EXPECT_EQ(trie.maxNodes(), 230u);
  EXPECT_EQ(trie.insertWord("abcdefg"), 6u);  // 224 + 6 = 230: full, but fits
  EXPECT_EQ(trie.lookupWord("abcdefg"), 1u);
}

}  // namespace
}  // namespace ws
