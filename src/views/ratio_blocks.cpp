#include "views/ratio_blocks.h"

#include <algorithm>
#include <cmath>

namespace ws {

void RatioBlocks::catchUp(const SampleLog& log) {
  if (log.identity() != identity_) {
    for (Level& level : levels_) level.done.truncate(0);
    identity_ = log.identity();
    taken_ = 0;
  }
  for (; taken_ < log.fixedEntries(); ++taken_) {
    const SeriesSpan<float> ratio = log.ratioSpan(taken_);
    const std::size_t inBlock = taken_ % entriesPerBlock(0);
    add(0, SampleBlock{ratio.low, ratio.high, !std::isnan(ratio.step)}, inBlock == 0,
        inBlock == entriesPerBlock(0) - 1);
  }
}

// `part` is the next sixteenth of the open block of `level` (or its next entry, on level 0).
void RatioBlocks::add(int level, const SampleBlock& part, bool first, bool last) {
  Level& l = levels_[level];
  if (first) {
    l.open = part;
  } else {
    l.open.lowRatio = std::min(l.open.lowRatio, part.lowRatio);
    l.open.highRatio = std::max(l.open.highRatio, part.highRatio);
    l.open.finiteRatios = l.open.finiteRatios && part.finiteRatios;
  }
  if (!last) return;
  l.done.pushBack(l.open);
  if (level + 1 == kLevels) return;
  const std::size_t inBlock = (l.done.size() - 1) % 16;
  add(level + 1, l.open, inBlock == 0, inBlock == 15);
}

std::size_t RatioBlocks::bytesHeld() const {
  std::size_t bytes = sizeof(*this);
  for (const Level& level : levels_) bytes += level.done.bytesHeld();
  return bytes;
}

}  // namespace ws
