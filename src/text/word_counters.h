#pragma once
// The four run-wide counters that word splitting moves. The crawl keeps them as part of its
// CrawlCounters; the views read them. None is ever decreased or reset while the program runs.
// The word counters are 64 bits wide: at the stand-in's pace (two million words a second) 32 bits
// would wrap within minutes; 64 bits last hundreds of thousands of years. The node count stays
// 32 bits: the trie ends the program long before it holds 2^32 nodes.

#include <cstdint>

namespace ws {

struct WordCounters {
  std::uint32_t nodeCount = 224;    // trie nodes in existence; the 224 roots exist from start-up
  std::uint64_t distinctWords = 0;  // words whose insertion created at least one node
  std::uint64_t wordsTotal = 0;     // words read
  std::uint64_t letterCount = 0;    // sum of the lengths of the words read
};

}  // namespace ws
