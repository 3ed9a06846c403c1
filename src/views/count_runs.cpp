#include "views/count_runs.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "views/graph_coordinate.h"

namespace ws {

namespace {

constexpr std::size_t kNoHint = std::numeric_limits<std::size_t>::max();

// The smallest count in (low, high] whose row lies above `row`.
// REQUIRES: rowOf(low) >= row > rowOf(high).
std::uint64_t firstCountAbove(const CountRow& rowOf, int row, std::uint64_t low,
                              std::uint64_t high) {
  // Counts whose points round above row r: baseline - n / scale < r - 0.5. The float the screen
  // rounds may move the threshold a little, so the guess is only where the search starts.
  const double guess = std::ceil((rowOf.baseline - row + 0.5) * rowOf.scale);
  if (guess > static_cast<double>(low) && guess < static_cast<double>(high)) {
    const auto g = static_cast<std::uint64_t>(guess);
    const bool above = rowOf(g) < row;
    for (std::uint64_t step = 1;; step *= 2) {
      if (above) {
        high = g - (step / 2);
        if (g - low <= step) break;
        if (rowOf(g - step) >= row) {
          low = g - step;
          break;
        }
      } else {
        low = g + (step / 2);
        if (high - g <= step) break;
        if (rowOf(g + step) < row) {
          high = g + step;
          break;
        }
      }
    }
  }
  while (high - low > 1) {
    const std::uint64_t mid = low + (high - low) / 2;
    if (rowOf(mid) < row) {
      high = mid;
    } else {
      low = mid;
    }
  }
  return high;
}

// The first record in low .. high whose count reaches t, searched outwards from `hint`.
// REQUIRES: low <= high, the counts never fall, and record high's count reaches t.
std::size_t firstRecordReaching(const SampleLog& log, std::uint32_t SampleRecord::*count,
                                std::uint64_t t, std::size_t low, std::size_t high,
                                std::size_t hint) {
  const auto reaches = [&](std::size_t i) { return log.record(i).*count >= t; };
  if (hint >= low && hint <= high) {
    if (reaches(hint)) {
      high = hint;
      for (std::size_t step = 1; hint - low >= step; step *= 2) {
        if (!reaches(hint - step)) {
          low = hint - step + 1;
          break;
        }
        high = hint - step;
      }
    } else {
      low = hint + 1;
      for (std::size_t step = 1; high - hint > step; step *= 2) {
        if (reaches(hint + step)) {
          high = hint + step;
          break;
        }
        low = hint + step + 1;
      }
    }
  }
  while (low < high) {
    const std::size_t mid = low + (high - low) / 2;
    if (reaches(mid)) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  return low;
}

}  // namespace

int CountRow::operator()(std::uint64_t n) const {
  // n < 2^32: exact in double.
  return pixelOn(graphCoordinate(baseline - static_cast<double>(n) / scale), height);
}

const std::vector<CountRun>& CountRuns::find(const SampleLog& log,
                                             std::uint32_t SampleRecord::*count,
                                             const CountRow& rowOf) {
  // Rows run from -1 (above the window) to height (below it).
  const auto slots = static_cast<std::size_t>(rowOf.height) + 2;
  if (previousStart_.size() != slots) previousStart_.assign(slots, kNoHint);
  const auto slot = [](int row) { return static_cast<std::size_t>(row + 1); };

  const std::size_t last = log.size() - 1;
  const std::uint64_t lastCount = log.record(last).*count;
  const int lastRow = rowOf(lastCount);
  const bool extends = log.identity() == identity_ && count == count_ && rowOf == rowOf_ &&
                       log.size() >= records_ && !runs_.empty();
  if (!extends) runs_.assign(1, CountRun{0, rowOf(log.record(0).*count)});
  identity_ = log.identity();
  count_ = count;
  rowOf_ = rowOf;
  records_ = log.size();
  std::size_t start = runs_.back().start;
  std::uint64_t startCount = log.record(start).*count;
  int row = runs_.back().row;
  while (row > lastRow) {
    const std::uint64_t t = firstCountAbove(rowOf, row, startCount, lastCount);
    start = firstRecordReaching(log, count, t, start + 1, last, previousStart_[slot(row - 1)]);
    startCount = log.record(start).*count;
    row = rowOf(startCount);
    runs_.push_back(CountRun{start, row});
  }
  for (const CountRun& run : runs_) previousStart_[slot(run.row)] = run.start;
  return runs_;
}

}  // namespace ws
