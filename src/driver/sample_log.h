#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "driver/crawl_counters.h"

namespace ws {

// The growth record of a run: SampleRecords of 12 bytes back to back, each the little-endian
// float ratio distinctWords / wordsTotal, then wordsTotal and nodeCount as unsigned 32-bit.
// INVARIANT: the length is a multiple of 12 and at least 12; record 0 is all zero bytes.
// Records are only appended, never changed or removed.
class SampleLog {
 public:
  static constexpr std::size_t kRecordSize = 12;
  // Characters of article text that must pass between two samples.
  static constexpr std::uint64_t kSampleDistance = 1000;

  SampleLog() : bytes_(kRecordSize, '\0') {}

  // Appends one record. REQUIRES: wordsTotal >= 1.
  void appendSample(std::uint32_t distinctWords, std::uint32_t wordsTotal, std::uint32_t nodeCount);

  // Called after every counted word, once the counters include it. endPosition is the 0-based
  // offset within the current article text of the first byte after the word; the counters'
  // charactersRead must not yet include the current text. Appends a record and moves
  // lastSamplePosition when at least kSampleDistance characters have passed since the last one.
  void checkSample(CrawlCounters& counters, std::uint64_t endPosition);

  std::string_view bytes() const { return bytes_; }
  std::size_t recordCount() const { return bytes_.size() / kRecordSize; }

 private:
  std::string bytes_;
};

}  // namespace ws
