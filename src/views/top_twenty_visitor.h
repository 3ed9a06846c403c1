// View 3's visitor: ranks the 20 most frequent words of two or more characters and finds the
// longest word; prints both on the last visit of a walk.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "screen/canvas.h"
#include "trie/trie_walk.h"

namespace ws {

class TopTwentyVisitor final : public TrieVisitor {
 public:
  struct Entry {
    std::string word;
    WordCount count = 0;
  };
  static constexpr int kRanked = 20;

  // The console the report goes to; without one the visitor ranks but prints nothing.
  // REQUIRES: screen outlives every walk made with this visitor.
  void setScreen(Canvas& screen) { screen_ = &screen; }

  // Resets on the walk's first visit ("!" under link 1), reports after the last (link 224).
  void visit(std::string_view word, WordCount count, const NodeView& node,
             std::uint8_t linkNumber) override;

  // Empties the ranking and forgets the longest word.
  void reset();
  // One candidate. It enters only with a count strictly above that of rank 20 and passes only
  // strictly smaller counts, so among equal counts the earlier candidate keeps the better rank.
  // Counts are compared as signed 32-bit values: a count of 2^31 or more counts as negative and
  // never enters. Words shorter than two bytes are ignored.
  void offer(std::string_view word, WordCount count);

  // REQUIRES: 1 <= rank <= kRanked.
  const Entry& ranked(int rank) const { return topWords_[rank - 1]; }
  const std::string& longestWord() const { return longestWord_; }
  std::int32_t longestLength() const { return longestLength_; }

 private:
  void printReport();

  Canvas* screen_ = nullptr;
  // Ranks 1..20, then the slot a candidate enters through.
  std::array<Entry, kRanked + 1> topWords_;
  std::string longestWord_;
  std::int32_t longestLength_ = 0;
};

}  // namespace ws
