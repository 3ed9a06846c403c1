#include "text/word_splitter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace ws {
namespace {

// The words splitWords takes from `text`, as stored in the trie (lower case).
std::vector<std::string> wordsOf(std::string text) {
  lowerCaseInPlace(text);
  std::vector<std::string> words;
  forEachWord(text,
              [&](size_t begin, size_t end) { words.push_back(text.substr(begin, end - begin)); });
  return words;
}

using Words = std::vector<std::string>;

TEST(WordSplitter, SeparatorsAreControlsBlankAndSevenPunctuationMarks) {
  int separators = 0;
  for (int b = 0; b < 256; ++b) separators += isWordSeparator(static_cast<unsigned char>(b));
  EXPECT_EQ(separators, 33 + 7);
  for (char c : std::string("+,-./:; \t\r\n")) EXPECT_TRUE(isWordSeparator(c)) << c;
  for (int b :
       std::initializer_list<int>{'!', '(', '&', '\'', '0', '<', '@', '_', 127, 128, 0xA0, 0xFF}) {
    EXPECT_FALSE(isWordSeparator(static_cast<unsigned char>(b))) << b;
  }
}

TEST(WordSplitter, CutsAtTheSevenMarksOnly) {
  EXPECT_EQ(wordsOf("Haus-Boot"), (Words{"haus", "boot"}));
  EXPECT_EQ(wordsOf("z.B."), (Words{"z", "b"}));
  EXPECT_EQ(wordsOf("3,5 13:45 und/oder A+B"),
            (Words{"3", "5", "13", "45", "und", "oder", "a", "b"}));
  EXPECT_EQ(wordsOf("(Stadt) Hallo!"), (Words{"(stadt)", "hallo!"}));
  EXPECT_EQ(wordsOf("a&nbsp;b"), (Words{"a&nbsp", "b"}));
}

TEST(WordSplitter, UnfoldedMultiByteSequencesStayInsideWords) {
  // 0xC2 reads as the Latin-1 capital it is and is lower-cased like one.
  EXPECT_EQ(wordsOf("10\xC2\xA0km"), (Words{"10\xE2\xA0km"}));
  EXPECT_EQ(wordsOf("\xE2\x80\x9EZitat\xE2\x80\x9C"), (Words{"\xE2\x80\x9Ezitat\xE2\x80\x9C"}));
}

TEST(WordSplitter, RunsOfSeparatorsYieldNoEmptyWords) {
  EXPECT_EQ(wordsOf("eins, zwei\r\n\r\ndrei   vier"), (Words{"eins", "zwei", "drei", "vier"}));
  EXPECT_EQ(wordsOf(" .-; "), Words{});
}

TEST(WordSplitter, EndPositionsPointBehindEachWord) {
  WordTrie trie;
  WordCounters counters;
  std::string text = " ab,c de";
  std::vector<size_t> ends;
  splitWords(text, trie, counters, [&](size_t end) { ends.push_back(end); });
  EXPECT_EQ(ends, (std::vector<size_t>{3, 5, 8}));  // the last word ends at the text's length
}

TEST(WordSplitter, CountsWordsLettersNodesAndNewWords) {
  WordTrie trie;
  WordCounters counters;
  std::string text = "Die die DIE a Haus hau";
  std::vector<uint32_t> wordsSeen;
  splitWords(text, trie, counters, [&](size_t) { wordsSeen.push_back(counters.wordsTotal); });
  EXPECT_EQ(text, "die die die a haus hau");  // lower-cased in place
  EXPECT_EQ(counters.wordsTotal, 6u);
  EXPECT_EQ(counters.letterCount, 9u + 1u + 4u + 3u);
  // "die" creates 2 nodes once; "a" and the prefix "hau" create none.
  EXPECT_EQ(counters.nodeCount, 224u + 2u + 3u);
  EXPECT_EQ(counters.nodeCount, trie.nodeCount());
  EXPECT_EQ(counters.distinctWords, 2u);
  EXPECT_EQ(trie.lookupWord("die"), 3u);
  EXPECT_EQ(trie.lookupWord("hau"), 1u);
  EXPECT_EQ(wordsSeen, (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));  // counted before the action
}

// Many words, so that they reach the trie in several batches: after every word
// the counters must be what inserting the words one by one gives.
TEST(WordSplitter, CountersAfterEachWordMatchOneByOneInsertion) {
  std::mt19937 random(11);
  std::string text;
  for (int n = 0; n < 1000; ++n) {
    text += std::string(1 + random() % 5, "AbCd\xC4\xE4"[random() % 6]);
    text += " ,-\r\n"[random() % 5];
    if (random() % 7 == 0) text += "Xyz";
  }
  struct Seen {
    uint64_t words, letters;
    uint32_t nodes;
    uint64_t distinct;
    size_t end;
    bool operator==(const Seen&) const = default;
  };
  std::vector<Seen> expected;
  {
    WordTrie trie;
    WordCounters c;
    std::string lower = lowerCased(text);
    forEachWord(lower, [&](size_t begin, size_t end) {
      const uint32_t created = trie.insertWord(std::string_view(lower).substr(begin, end - begin));
      c.wordsTotal += 1;
      c.letterCount += static_cast<uint32_t>(end - begin);
      c.nodeCount += created;
      c.distinctWords += created != 0;
      expected.push_back({c.wordsTotal, c.letterCount, c.nodeCount, c.distinctWords, end});
    });
  }
  WordTrie trie;
  WordCounters counters;
  std::vector<Seen> seen;
  splitWords(text, trie, counters, [&](size_t end) {
    seen.push_back({counters.wordsTotal, counters.letterCount, counters.nodeCount,
                    counters.distinctWords, end});
  });
  ASSERT_GT(expected.size(), 200u);
  ASSERT_EQ(seen.size(), expected.size());
  for (size_t i = 0; i < seen.size(); ++i) ASSERT_TRUE(seen[i] == expected[i]) << "word " << i;
  EXPECT_EQ(counters.nodeCount, trie.nodeCount());
}

TEST(WordSplitter, SeparatorsOnlyChangeNothing) {
  WordTrie trie;
  WordCounters counters;
  std::string text = " ";
  int calls = 0;
  splitWords(text, trie, counters, [&](size_t) { ++calls; });
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(counters.wordsTotal, 0u);
  EXPECT_EQ(counters.letterCount, 0u);
  EXPECT_EQ(counters.nodeCount, 224u);
  EXPECT_EQ(counters.distinctWords, 0u);
}

TEST(WordSplitter, ParagraphWithoutSeparatorIsOneWord) {
  WordTrie trie;
  WordCounters counters;
  std::string text(1'000'000, 'Q');
  size_t lastEnd = 0;
  splitWords(text, trie, counters, [&](size_t end) { lastEnd = end; });
  EXPECT_EQ(counters.wordsTotal, 1u);
  EXPECT_EQ(counters.letterCount, 1'000'000u);
  EXPECT_EQ(counters.nodeCount, 224u + 999'999u);
  EXPECT_EQ(lastEnd, 1'000'000u);
  EXPECT_EQ(trie.lookupWord(std::string(1'000'000, 'q')), 1u);
}

}  // namespace
}  // namespace ws
