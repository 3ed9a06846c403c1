#include "trie/recent_words.h"

namespace ws {

RecentWords::RecentWords() : entries_(new Entry[size_t{1} << kSlotBits]()) {}

}  // namespace ws
