#include "views/count_runs.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "views/graph_coordinate.h"

namespace ws {

namespace {

constexpr std::size_t kNoHint = std::numeric_limits<std::size_t>::max();

// The first entry in low .. high whose smallest count's point lies above `row`, and that point's
// row, searched outwards from `hint`. REQUIRES: low <= high; the rows of entries high and beyond
// lie above row, those of the entries before low do not; highRow is entry high's row.
CountRun firstEntryAbove(const SampleLog& log, CountSeries series, const CountRow& rowOf, int row,
                         std::size_t low, std::size_t high, int highRow, std::size_t hint) {
  int seen = 0;
  const auto above = [&](std::size_t i) {
    seen = rowOf(log.lowCount(series, i));
    return seen < row;
  };
  if (hint >= low && hint <= high) {
    if (above(hint)) {
      high = hint;
      highRow = seen;
      for (std::size_t step = 1; hint - low >= step; step *= 2) {
        if (!above(hint - step)) {
          low = hint - step + 1;
          break;
        }
        high = hint - step;
        highRow = seen;
      }
    } else {
      low = hint + 1;
      for (std::size_t step = 1; high - hint > step; step *= 2) {
        if (above(hint + step)) {
          high = hint + step;
          highRow = seen;
          break;
        }
        low = hint + step + 1;
      }
    }
  }
  while (low < high) {
    const std::size_t mid = low + (high - low) / 2;
    if (above(mid)) {
      high = mid;
      highRow = seen;
    } else {
      low = mid + 1;
    }
  }
  return CountRun{high, highRow};
}

}  // namespace

int CountRow::exactRow(std::uint64_t n) const {
  // Exact in double up to 2^53; beyond, the conversion still never decreases.
  return pixelOn(graphCoordinate(baseline - static_cast<double>(n) / scale), height);
}

// The fast path gives the row for every inverse that keeps the coordinate off the row's edges by
// twice its margin.
void CountRow::keepRange(KeptRow& kept) const {
  constexpr double kMargin = 0x1p-11;
  if (kept.count >= std::uint64_t{1} << 62) return;
  const double n = static_cast<double>(static_cast<std::int64_t>(kept.count));
  const double t = shiftedBaseline_ - n * inverse_;
  const double low = kept.row + kMargin;
  const double high = kept.row + 1.0 - kMargin;
  if (!(t > low && t < high && t < fastRows_)) return;
  if (kept.count == 0) {
    kept.fromInverse = -std::numeric_limits<double>::infinity();
    kept.toInverse = std::numeric_limits<double>::infinity();
    return;
  }
  // t = shifted - n * inverse falls as the inverse grows.
  kept.fromInverse = (shiftedBaseline_ - high) / n;
  kept.toInverse = (shiftedBaseline_ - low) / n;
}

const std::vector<CountRun>& CountRuns::find(const SampleLog& log, const GraphKey& key,
                                             CountSeries series, const CountRow& rowOf,
                                             std::size_t limit) {
  // Rows run from -1 (above the window) to height (below it).
  const auto slots = static_cast<std::size_t>(rowOf.height) + 2;
  if (previousStart_.size() != slots) previousStart_.assign(slots, kNoHint);
  const auto slot = [](int row) { return static_cast<std::size_t>(row + 1); };

  const std::size_t last = limit - 1;
  const int lastRow = rowOf(log.lowCount(series, last));
  const bool extends = key == key_ && series == series_ && rowOf == rowOf_ && limit >= limit_ &&
                       !runs_.empty();
  if (!extends) runs_.assign(1, CountRun{0, rowOf(log.lowCount(series, 0))});
  key_ = key;
  series_ = series;
  rowOf_ = rowOf;
  limit_ = limit;
  while (runs_.back().row > lastRow) {
    const CountRun& run = runs_.back();
    runs_.push_back(firstEntryAbove(log, series, rowOf, run.row, run.start + 1, last, lastRow,
                                    previousStart_[slot(run.row - 1)]));
  }
  for (const CountRun& run : runs_) previousStart_[slot(run.row)] = run.start;
  return runs_;
}

}  // namespace ws
