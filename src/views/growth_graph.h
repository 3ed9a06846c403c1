// View 1: how the collection grew, drawn from the sample log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "screen/screen_service.h"

namespace ws {

// One 12-byte record of the sample log, decoded.
struct SampleRecord {
  float ratio = 0.0f;
  std::uint32_t wordsTotal = 0;
  std::uint32_t nodeCount = 0;
};

inline constexpr std::size_t kSampleRecordSize = 12;

// Decodes record `index` of a log of little-endian records.
// REQUIRES: (index + 1) * kSampleRecordSize <= log.size().
SampleRecord readSampleRecord(std::span<const std::uint8_t> log, std::size_t index);

class GrowthGraph {
 public:
  // Draws the headline, axes, the three series (memory, words read, share of different words),
  // the guide line at the current memory level, the labels and the legend. The ratio series is
  // scaled by the largest ratio of the previous drawing; afterwards that memory holds the largest
  // ratio of this one. nodeCount is the trie's current node count, shown in the memory label.
  // A log without any complete record is drawn as if it held only the all-zero record.
  // REQUIRES: cursor on row 14, column 1 (see ViewPainter::drawView).
  void draw(ScreenService& screen, std::span<const std::uint8_t> sampleLog,
            std::uint32_t nodeCount);

  float previousMaxRatio() const { return previousMaxRatio_; }

 private:
  float previousMaxRatio_ = 0.0f;
};

}  // namespace ws
