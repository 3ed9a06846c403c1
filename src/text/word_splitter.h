#pragma once
// Cutting an article text into words and counting them into the trie.

#include <cstddef>
#include <string>
#include <string_view>

#include "text/lower_case.h"
#include "text/word_counters.h"
#include "trie/word_trie.h"

namespace ws {

// True for the bytes that end a word: every byte up to 32 (controls and the blank)
// and the seven characters + , - . / : ;. Every other byte, 127 and 128..255
// included, belongs to words.
constexpr bool isWordSeparator(unsigned char b) {
  return b <= 32 || (b >= '+' && b <= '/') || b == ':' || b == ';';
}

// Calls found(begin, end) for every word of `text` in text order: each maximal run
// of non-separator bytes, begin and end as 0-based byte offsets (end is the offset
// of the separator that ends the word, or the text's length).
template <class Found>
void forEachWord(std::string_view text, Found&& found) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  for (;;) {
    while (i < n && isWordSeparator(bytes[i])) ++i;
    if (i == n) return;
    size_t j = i + 1;
    while (j < n && !isWordSeparator(bytes[j])) ++j;
    found(i, j);
    if (j >= n) return;
    i = j + 1;
  }
}

// Lower-cases `text` in place, then for each word in text order: adds its length
// to letterCount and 1 to wordsTotal, inserts it into the trie, adds the nodes
// created to nodeCount and 1 to distinctWords when that was more than 0, then
// calls afterWord(endPosition) with the offset of the first byte after the word.
// afterWord sees the counters with the word already counted; the trie may then
// already hold a few of the following words too (words are inserted in small
// batches so that their memory reads overlap).
template <class AfterWord>
void splitWords(std::string& text, WordTrie& trie, WordCounters& counters, AfterWord&& afterWord) {
  constexpr size_t kBatch = 64;
  lowerCaseInPlace(text);
  const std::string_view view(text);
  std::string_view words[kBatch];
  size_t ends[kBatch];
  uint32_t created[kBatch];
  size_t count = 0;
  const auto flush = [&] {
    trie.insertWords(words, count, created);
    for (size_t i = 0; i < count; ++i) {
      counters.letterCount += words[i].size();
      counters.wordsTotal += 1;
      counters.nodeCount += created[i];
      if (created[i] != 0) counters.distinctWords += 1;
      afterWord(ends[i]);
    }
    count = 0;
  };
  forEachWord(view, [&](size_t begin, size_t end) {
    words[count] = view.substr(begin, end - begin);
    ends[count] = end;
    if (++count == kBatch) flush();
  });
  flush();
}

}  // namespace ws
