#include "driver/sample_check.h"

namespace ws {

void checkSample(SampleLog& log, CrawlCounters& counters, std::uint64_t endPosition) {
  const std::uint64_t position = counters.charactersRead + endPosition;
  if (position < counters.lastSamplePosition + kSampleDistance) return;
  log.appendSample(counters.distinctWords, counters.wordsTotal, counters.nodeCount);
  counters.lastSamplePosition = position;
}

}  // namespace ws
