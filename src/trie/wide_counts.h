#pragma once
// Word counts beyond what a node's 32-bit record holds. A record counts up to kSaturated - 1 by
// itself; from then on it stays at kSaturated and the rest of its count is kept here, under the
// node's word. Words are the one name of a node that survives every re-lay of the child blocks,
// and only the few most frequent words of a long run ever get here (a German text's "die" after
// about nineteen hours of the stand-in), so the records stay 8 bytes and counting stays one
// increment and one compare.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "trie/trie_node.h"

namespace ws {

class WideCounts {
 public:
  // The record value that means "look the rest up here".
  static constexpr uint32_t kSaturated = UINT32_MAX;

  // Counts `times` more occurrences of `word`, whose record count is `recordCount`.
  // REQUIRES: `word` is the word of the node whose record holds `recordCount`.
  void add(uint32_t& recordCount, std::string_view word, WordCount times) {
    const WordCount room = kSaturated - recordCount;
    if (times <= room) {
      recordCount += static_cast<uint32_t>(times);
      return;
    }
    recordCount = kSaturated;
    addBeyond(word, times - room);
  }
  // Counts one more occurrence: the step of every word read, so it costs one increment and a
  // test of its zero flag; only the wrap from kSaturated takes the slow way.
  void addOne(uint32_t& recordCount, std::string_view word) {
    if (++recordCount == 0) [[unlikely]] {
      recordCount = kSaturated;
      addBeyond(word, 1);
    }
  }

  // The whole count of the node of `word` whose record count is `recordCount`.
  WordCount countOf(uint32_t recordCount, std::string_view word) const {
    if (recordCount != kSaturated) [[likely]]
      return recordCount;
    return kSaturated + beyondOf(word);
  }

  void clear() { beyond_.clear(); }
  // Words whose counts went beyond their records.
  size_t size() const { return beyond_.size(); }

 private:
  void addBeyond(std::string_view word, WordCount times);
  WordCount beyondOf(std::string_view word) const;

  std::map<std::string, WordCount, std::less<>> beyond_;
};

}  // namespace ws
