// The memory and words series of the growth graph, whose counts never fall along the log, cut
// into runs of entries whose smallest counts land on one row: a drawing needs only each run's
// first entry and row, never the entries in between.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "views/graph_coordinate.h"
#include "views/graph_layout.h"
#include "views/sample_log.h"

namespace ws {

// A count's row kept from one drawing to the next: still its row under another scale while the
// scale's inverse stays inside (fromInverse, toInverse), and the baseline and height stay.
struct KeptRow {
  std::uint64_t count = 0;
  int row = 0;
  double fromInverse = 0.0;
  double toInverse = 0.0;  // fromInverse >= toInverse: for no other scale
};

// The row of a count's point, pixelOn(graphCoordinate(baseline - n / scale), height): -1 for every
// position above the window and height for every one below it. Never rises as the count grows.
// REQUIRES: scale > 0.
struct CountRow {
  CountRow(double baseline, double scale, int height)
      : baseline(baseline),
        scale(scale),
        height(height),
        inverse_(1.0 / scale),
        shiftedBaseline_(baseline + 0.5),
        fastRows_(std::min(height, 4096)) {}

  double baseline;
  double scale;
  int height;

  int operator()(std::uint64_t n) const {
    // Multiplied by the inverse, the coordinate lies within 2^-40 of the divided one, and below
    // 4096 a float moves it by at most 2^-13: away from a pixel's edge both fall on one pixel.
    if (n < std::uint64_t{1} << 62) {
      const double t =
          shiftedBaseline_ - static_cast<double>(static_cast<std::int64_t>(n)) * inverse_;
      if (t >= 0.0 && t < fastRows_) {
        const int pixel = static_cast<int>(t);
        if (std::fabs(t - pixel - 0.5) < 0.5 - 0x1p-12) return pixel;
      }
    }
    return exactRow(n);
  }
  bool operator==(const CountRow&) const = default;

  // The row of `count`, from `kept` while that holds for it, else found anew. A count found with
  // the same count before is kept with the inverses for which its row stays (a count that
  // changes every drawing is not worth the divisions).
  // REQUIRES: `kept` was last used with rows of this baseline and height.
  int row(std::uint64_t count, KeptRow& kept) const {
    if (kept.count == count && inverse_ > kept.fromInverse && inverse_ < kept.toInverse) {
      return kept.row;
    }
    const bool again = kept.count == count;
    kept = KeptRow{count, (*this)(count), 0.0, 0.0};
    if (again) keepRange(kept);
    return kept.row;
  }

  // Whether counts that step by at most `step` from record to record visit every row between.
  bool fills(std::uint64_t step) const {
    return static_cast<double>(step) <= scale * kStepWithinARow;
  }
  // Calls add(row) for each row in the window that the points of the span's records land on (see
  // addSpanRows); a lone record's one row, if inside.
  template <class Add>
  void addRows(const SeriesSpan<std::uint64_t>& span, Add&& add) const {
    if (span.low == span.high) {
      const int row = (*this)(span.low);
      if (row >= 0 && row < height) add(row);
      return;
    }
    addSpanRows((*this)(span.first), (*this)(span.last), (*this)(span.low), (*this)(span.high),
                fills(span.step), height, add);
  }

 private:
  int exactRow(std::uint64_t n) const;
  void keepRange(KeptRow& kept) const;

  double inverse_;
  double shiftedBaseline_;
  double fastRows_;
};

// Entries start .. (the next run's start - 1) all have their smallest count's point on `row`.
struct CountRun {
  std::size_t start;
  int row;
};

class CountRuns {
 public:
  // The runs of the series among the log's entries 0 .. limit - 1, in log order, rows falling
  // from run to run; valid until the next call. For the key of the last call with the same
  // rows, only the runs from its last entry on are found anew. Each run boundary is
  // searched in the log outwards from where the last call found the run of that row begin (a
  // hint, checked against the entries, so any log may follow any other).
  // REQUIRES: key is the log's; log.countsNeverFall(); 1 <= limit <= log.entries().
  const std::vector<CountRun>& find(const SampleLog& log, const GraphKey& key, CountSeries series,
                                    const CountRow& rowOf, std::size_t limit);

 private:
  std::vector<CountRun> runs_;
  // What runs_ was found for.
  GraphKey key_;
  CountSeries series_ = CountSeries::kNodes;
  CountRow rowOf_{0.0, 0.0, -1};
  std::size_t limit_ = 0;
  // By row + 1: the start of the last call's run on that row, or kNoHint.
  std::vector<std::size_t> previousStart_;
};

}  // namespace ws
