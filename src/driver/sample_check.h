#pragma once

#include <cstdint>

#include "driver/crawl_counters.h"
#include "views/sample_log.h"

namespace ws {

// Characters of article text that must pass between two samples.
inline constexpr std::uint64_t kSampleDistance = 1000;

// Called after every counted word, once the counters include it. endPosition is the 0-based
// offset within the current article text of the first byte after the word; the counters'
// charactersRead must not yet include the current text. Appends a sample to the log and moves
// lastSamplePosition to the word's end when at least kSampleDistance characters have passed
// since the last sample.
void checkSample(SampleLog& log, CrawlCounters& counters, std::uint64_t endPosition);

}  // namespace ws
