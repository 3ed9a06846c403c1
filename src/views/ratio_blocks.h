// An index beside the sample log for the growth graph's ratio series: the extremes of the ratios
// of blocks of the log's fixed entries, so that a reader can skip a block whose entries all land
// on one row. The log knows nothing of it; the index catches up with the log before each use.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "views/chunked_array.h"
#include "views/sample_log.h"

namespace ws {

// The extremes of the ratios of one block of entries.
struct SampleBlock {
  float lowRatio;
  float highRatio;
  bool finiteRatios;  // no NaN and no infinity in any of its records; else the two say nothing
};

// INVARIANT: for the log of identity_, block k of level l summarises entries
// entriesPerBlock(l) * k onwards, all among the first taken_ fixed entries.
class RatioBlocks {
 public:
  // Blocks of 16, 256, 4096 and 65536 entries.
  static constexpr int kLevels = 4;
  static constexpr std::size_t entriesPerBlock(int level) {
    return std::size_t{16} << (4 * level);
  }

  // Takes in the entries the log fixed since the last call, or all of them for a log of another
  // identity (a thinning gives the log a new one).
  void catchUp(const SampleLog& log);

  // Finished blocks of the level. REQUIRES: 0 <= level < kLevels.
  std::size_t count(int level) const { return levels_[level].done.size(); }
  // REQUIRES: index < count(level).
  const SampleBlock& block(int level, std::size_t index) const {
    return levels_[level].done[index];
  }

  std::size_t bytesHeld() const;

 private:
  struct Level {
    ChunkedArray<SampleBlock, 12> done;
    SampleBlock open{};  // the block being filled; meaningful once it holds a part
  };
  void add(int level, const SampleBlock& part, bool first, bool last);

  std::uint64_t identity_ = 0;
  std::size_t taken_ = 0;
  std::array<Level, kLevels> levels_;
};

}  // namespace ws
