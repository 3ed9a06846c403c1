#include "trie/recent_words.h"

#include <algorithm>

namespace ws {

RecentWords::RecentWords() : entries_(new Entry[size_t{1} << kSlotBits]()) {}

void RecentWords::nextGeneration() {
  if (++generation_ != 0) return;
  // After 2^32 generations the counter would name old entries again: empty the table instead.
  std::fill_n(entries_.get(), size_t{1} << kSlotBits, Entry{});
  generation_ = 1;
}

}  // namespace ws
