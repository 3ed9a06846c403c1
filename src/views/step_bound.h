// How far a count of the sample log jumps from one record to the next, from each record on: what
// the growth graph needs to know that a stretch of records visits every row between its extremes.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace ws {

// For every record number i, an upper bound of the largest step between two consecutive records
// from i on. Steps are taken in as records are appended; each bound is rounded up to three
// significant bits, so at most four bounds per power of two are kept (under 5 KiB).
// INVARIANT: stairs_ by increasing `through` and strictly falling `bound`; records after the last
// stair's `through` step by 0.
class StepBound {
 public:
  // The step from record `record` - 1 to `record`. REQUIRES: record larger than at the last call.
  void add(std::size_t record, std::uint64_t step) {
    const std::uint64_t bound = roundedUp(step);
    if (bound == 0) return;
    while (!stairs_.empty() && stairs_.back().bound <= bound) stairs_.pop_back();
    stairs_.push_back(Stair{record, bound});
  }

  // The first record from which no step exceeds `limit` (as far as the bounds tell).
  std::size_t firstRecordWithin(std::uint64_t limit) const {
    // The last stair whose bound exceeds the limit: the stairs before it exceed it too.
    std::size_t low = 0, high = stairs_.size();
    while (low < high) {
      const std::size_t mid = low + (high - low) / 2;
      if (stairs_[mid].bound > limit) {
        low = mid + 1;
      } else {
        high = mid;
      }
    }
    return low == 0 ? 0 : stairs_[low - 1].through;
  }

 private:
  static std::uint64_t roundedUp(std::uint64_t step) {
    const int bits = std::bit_width(step);
    if (bits <= 3) return step;
    const int shift = bits - 3;
    const std::uint64_t unit = std::uint64_t{1} << shift;
    if (step > std::numeric_limits<std::uint64_t>::max() - unit) {
      return std::numeric_limits<std::uint64_t>::max();
    }
    return (step + unit - 1) >> shift << shift;
  }

  // Every step up to record `through` (from the previous stair's on) is at most `bound`.
  struct Stair {
    std::size_t through;
    std::uint64_t bound;
  };
  std::vector<Stair> stairs_;
};

}  // namespace ws
