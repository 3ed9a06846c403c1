#pragma once
// The run-wide counters of the crawl. None is ever decreased or reset while the
// program runs.

#include <cstdint>

namespace ws {

struct CrawlCounters {
  uint32_t pagesRead = 0;           // article requests made, answered or not
  uint32_t nodeCount = 224;         // trie nodes in existence; the 224 roots exist from start-up
  uint32_t distinctWords = 0;       // words whose insertion created at least one node
  uint32_t wordsTotal = 0;          // words read
  uint32_t letterCount = 0;         // sum of the lengths of the words read
  uint64_t charactersRead = 0;      // bytes of all counted article texts, separators included
  uint64_t lastSamplePosition = 0;  // absolute text position of the last sample taken
};

}  // namespace ws
