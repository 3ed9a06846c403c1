// The ratio series of the growth graph, column by column, kept from one drawing to the next: the
// ratio scale seldom changes and most columns keep their entries when the log gains one, so a
// drawing finds points only in the columns whose entries or scale changed.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "views/graph_coordinate.h"
#include "views/sample_log.h"

namespace ws {

// A point of one series in one window column: the log entry it comes from and its row.
struct SeriesPoint {
  std::size_t record;  // the entry's number
  int row;
};

// The row of a ratio's point, pixelOn(graphCoordinate(baseline - floor(scale * ratio)), height).
struct RatioRow {
  double baseline;
  double scale;
  int height;

  int operator()(float ratio) const {
    // A whole coordinate is its own pixel.
    const double y = baseline - std::floor(scale * ratio);
    if (y >= 0.0 && y < height && y == std::floor(y)) return static_cast<int>(y);
    return exactRow(ratio);
  }
  bool operator==(const RatioRow&) const = default;

  // Calls add(row) for each row in the window that the points of the span's records land on (see
  // addSpanRows); a lone record's one row, if inside.
  template <class Add>
  void addRows(const SeriesSpan<float>& span, Add&& add) const {
    if (span.low == span.high) {
      const int row = (*this)(span.low);
      if (row >= 0 && row < height) add(row);
      return;
    }
    addSpanRows((*this)(span.first), (*this)(span.last), (*this)(span.low), (*this)(span.high),
                scale * span.step <= kStepWithinARow, height, add);
  }

 private:
  int exactRow(float ratio) const;
};

class RatioColumns {
 public:
  // Starts a drawing of `log` with these rows; the kept columns stay valid only for the same log
  // (by identity) and the same rows.
  void start(const SampleLog& log, const RatioRow& rowOf, int width);

  // Points of entries begin .. end - 1 inside the window, in log order, among them for each row
  // the last entry of the column on it (others may be there too, covered by later ones); valid
  // until the next call for column x. A column whose entries moved on by a few since the last
  // drawing drops its points before the new begin and adds the new entries' points; the points of
  // the log's last entry, which may still change, are found anew each time.
  // REQUIRES: start() for this drawing; 0 <= x < width; begin < end <= log.entries().
  const std::vector<SeriesPoint>& column(int x, std::size_t begin, std::size_t end);

 private:
  // The points of entries begin .. end - 1, all fixed, then those of the unfixed last entry.
  struct Column {
    std::size_t begin = 0;
    std::size_t end = 0;  // begin == end: nothing kept
    std::vector<SeriesPoint> points;
    std::size_t unfixedPoints = 0;
  };
  void find(Column& column);
  void moveOn(Column& column, std::size_t begin, std::size_t end) const;

  const SampleLog* log_ = nullptr;
  std::uint64_t identity_ = 0;
  RatioRow rowOf_{0.0, 0.0, 0};
  std::vector<Column> columns_;
  // By row: whether a later entry of the column being found took it (stamp == stamp_).
  std::vector<std::uint64_t> taken_;
  std::uint64_t stamp_ = 0;
};

}  // namespace ws
