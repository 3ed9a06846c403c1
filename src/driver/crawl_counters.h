#pragma once
// The run-wide counters of the crawl: the word counters that splitting moves, and the crawl's
// own. None is ever decreased or reset while the program runs.

#include <cstdint>

#include "text/word_counters.h"

namespace ws {

struct CrawlCounters : WordCounters {
  uint64_t pagesRead = 0;           // article requests made, answered or not
  uint64_t charactersRead = 0;      // bytes of all counted article texts, separators included
  uint64_t lastSamplePosition = 0;  // absolute text position of the last sample taken
};

}  // namespace ws
