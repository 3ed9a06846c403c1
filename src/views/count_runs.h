// The memory and words series of the growth graph, whose counts never fall along the log, cut
// into runs of records whose points land on one row: a drawing needs only each run's first record
// and row, never the records in between.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "views/sample_log.h"

namespace ws {

// The row of a count's point, pixelOn(graphCoordinate(baseline - n / scale), height): -1 for every
// position above the window and height for every one below it. Never rises as the count grows.
// REQUIRES: scale > 0.
struct CountRow {
  double baseline;
  double scale;
  int height;

  int operator()(std::uint64_t n) const;
  bool operator==(const CountRow&) const = default;
};

// Records start .. (the next run's start - 1) all have their point on `row`.
struct CountRun {
  std::size_t start;
  int row;
};

class CountRuns {
 public:
  // The runs of the series `count` of the log, in log order, rows falling from run to run; valid
  // until the next call. For the log of the last call (by identity) with the same rows, only the
  // runs from its last record on are found anew. Each run boundary is searched in the log outwards
  // from where the last call found the run of that row begin (a hint, checked against the
  // records, so any log may follow any other).
  // REQUIRES: log.countsNeverFall().
  const std::vector<CountRun>& find(const SampleLog& log, std::uint32_t SampleRecord::*count,
                                    const CountRow& rowOf);

 private:
  std::vector<CountRun> runs_;
  // What runs_ was found for.
  std::uint64_t identity_ = 0;
  std::uint32_t SampleRecord::*count_ = nullptr;
  CountRow rowOf_{0.0, 0.0, -1};
  std::size_t records_ = 0;
  // By row + 1: the start of the last call's run on that row, or kNoHint.
  std::vector<std::size_t> previousStart_;
};

}  // namespace ws
