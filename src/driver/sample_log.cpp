#include "driver/sample_log.h"

#include <array>

#include "screen/number_format.h"

namespace ws {

namespace {

void appendBytes(std::string& out, const std::array<std::uint8_t, 4>& bytes) {
  for (std::uint8_t b : bytes) out.push_back(static_cast<char>(b));
}

}  // namespace

void SampleLog::appendSample(std::uint32_t distinctWords, std::uint32_t wordsTotal,
                             std::uint32_t nodeCount) {
  // Divided in double, then rounded once to single precision.
  const double ratio = static_cast<double>(distinctWords) / static_cast<double>(wordsTotal);
  appendBytes(bytes_, singleBytes(static_cast<float>(ratio)));
  appendBytes(bytes_, int32Bytes(static_cast<std::int32_t>(wordsTotal)));
  appendBytes(bytes_, int32Bytes(static_cast<std::int32_t>(nodeCount)));
}

void SampleLog::checkSample(CrawlCounters& counters, std::uint64_t endPosition) {
  const std::uint64_t position = counters.charactersRead + endPosition;
  if (position < counters.lastSamplePosition + kSampleDistance) return;
  appendSample(counters.distinctWords, counters.wordsTotal, counters.nodeCount);
  counters.lastSamplePosition = position;
}

}  // namespace ws
