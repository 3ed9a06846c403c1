#pragma once
// The four run-wide counters that word splitting moves. The crawl keeps them as part of its
// CrawlCounters; the views read them. None is ever decreased or reset while the program runs.

#include <cstdint>

namespace ws {

struct WordCounters {
  std::uint32_t nodeCount = 224;    // trie nodes in existence; the 224 roots exist from start-up
  std::uint32_t distinctWords = 0;  // words whose insertion created at least one node
  std::uint32_t wordsTotal = 0;     // words read
  std::uint32_t letterCount = 0;    // sum of the lengths of the words read
};

}  // namespace ws
