// The points of a count series of the growth graph in one window column, found in one of three
// ways: from the series' runs (CountRuns), as every row between two rows where its records step
// by less than a row, and entry by entry where the counts may fall.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "views/count_runs.h"
#include "views/graph_coordinate.h"
#include "views/sample_log.h"

namespace ws {

// A count series in one column whose records all step by less than a row and never fall: its
// points cover every row from that of its first entry's smallest count up to that of its last
// entry's largest. The last entry on a row is looked up only where it matters.
class CountColumn {
 public:
  // `top` and `bottom` are the rows of the last entry's largest count and the first entry's
  // smallest. REQUIRES: begin < end <= log.entries().
  CountColumn(const SampleLog& log, CountSeries series, const CountRow& rowOf, std::size_t begin,
              std::size_t end, int top, int bottom)
      : log_(log),
        series_(series),
        rowOf_(rowOf),
        begin_(begin),
        end_(end),
        top_(top),
        bottom_(bottom) {}

  // The rows inside the window; top() > bottom() when there are none.
  int top() const { return std::max(top_, 0); }
  int bottom() const { return std::min(bottom_, rowOf_.height - 1); }
  bool covers(int row) const { return row >= top_ && row <= bottom_; }

  // The last entry with a point on the row: the last whose smallest count lands on it or below.
  // REQUIRES: covers(row).
  std::size_t lastEntryOn(int row) const {
    if (row == top_) return end_ - 1;
    std::size_t low = begin_ + 1, high = end_;
    while (low < high) {
      const std::size_t mid = low + (high - low) / 2;
      if (rowOf_(log_.lowCount(series_, mid)) < row) {
        high = mid;
      } else {
        low = mid + 1;
      }
    }
    return low - 1;
  }

  // Its points, in log order.
  void addPoints(std::vector<SeriesPoint>& points) const {
    for (int row = bottom(); row >= top(); --row)
      points.push_back(SeriesPoint{lastEntryOn(row), row});
  }

 private:
  const SampleLog& log_;
  const CountSeries series_;
  const CountRow& rowOf_;
  const std::size_t begin_;
  const std::size_t end_;
  const int top_;
  const int bottom_;
};

// The points of a count series column by column, from its runs: for each run, the rows that its
// last entry in the column lands on (of a lone record, its one row). An entry's rows lie between
// those of its smallest and largest count and the counts never fall, so the last entry of the
// column on a row is the last of the latest run starting on that row or below it: one of these.
//
// A span's rows beyond its run's row lie between that row and the next run's, and a point on the
// next run's row is covered by a later one of the same series; so a span is read only when the
// next run lies more than a row higher, or there is none.
class RunPoints {
 public:
  // `runs` are those of entries 0 .. limit - 1.
  RunPoints(const SampleLog& log, CountSeries series, const CountRow& rowOf,
            const std::vector<CountRun>& runs, std::size_t limit)
      : log_(log),
        series_(series),
        rowOf_(rowOf),
        runs_(runs.data()),
        runCount_(runs.size()),
        singles_(log.singleEntries()),
        entries_(limit) {}

  // REQUIRES: calls for columns from left to right; end <= limit.
  void add(std::size_t begin, std::size_t end, std::vector<SeriesPoint>& points) {
    while (run_ + 1 < runCount_ && runs_[run_ + 1].start <= begin) ++run_;
    for (std::size_t j = run_; j < runCount_ && runs_[j].start < end; ++j) {
      const std::size_t next = j + 1 < runCount_ ? runs_[j + 1].start : entries_;
      const std::size_t last = std::min(next, end) - 1;
      const int row = runs_[j].row;
      // The run goes on after the column (its span's rows are all on `row`), or the next run
      // starts in the column one row higher.
      if (last < singles_ || (last + 1 < entries_ &&
                              (last + 1 < next || (next < end && runs_[j + 1].row >= row - 1)))) {
        if (row >= 0 && row < rowOf_.height) points.push_back(SeriesPoint{last, row});
      } else {
        addSpan(last, row, points);
      }
    }
  }

 private:
  void addSpan(std::size_t last, int row, std::vector<SeriesPoint>& points) const {
    const SeriesSpan<std::uint64_t> span = log_.countSpan(series_, last);
    const int highRow = rowOf_(span.high);
    addSpanRows(row, highRow, row, highRow, rowOf_.fills(span.step), rowOf_.height, [&](int r) {
      points.push_back(SeriesPoint{last, r});
    });
  }

  const SampleLog& log_;
  const CountSeries series_;
  const CountRow& rowOf_;
  const CountRun* const runs_;
  const std::size_t runCount_;
  const std::size_t singles_;
  const std::size_t entries_;
  std::size_t run_ = 0;
};

// Every entry's points of a count series that may fall (a damaged log), in log order.
void addEveryCount(const SampleLog& log, std::size_t begin, std::size_t end, CountSeries series,
                   const CountRow& rowOf, std::vector<SeriesPoint>& points);

}  // namespace ws
