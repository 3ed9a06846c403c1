// The ratio series of the growth graph, column by column, kept from one drawing to the next: the
// ratio scale seldom changes and most columns keep their records when the log gains one, so a
// drawing finds points only in the columns whose records or scale changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "views/sample_log.h"

namespace ws {

// A point of one series in one window column: the record it comes from and its row.
struct SeriesPoint {
  std::size_t record;
  int row;
};

// The row of a ratio's point, pixelOn(graphCoordinate(baseline - floor(scale * ratio)), height).
struct RatioRow {
  double baseline;
  double scale;
  int height;

  int operator()(float ratio) const;
  bool operator==(const RatioRow&) const = default;
};

class RatioColumns {
 public:
  // Starts a drawing of `log` with these rows; the kept columns stay valid only for the same log
  // (by identity) and the same rows.
  void start(const SampleLog& log, const RatioRow& rowOf, int width);

  // Points of records begin .. end - 1 inside the window, in log order, among them for each row
  // the last record of the column on it (others may be there too, covered by later ones); valid
  // until the next call for column x. A column whose records moved on by a few since the last
  // drawing drops its points before the new begin and adds the new records' points.
  // REQUIRES: start() for this drawing; 0 <= x < width; begin < end <= log.size().
  const std::vector<SeriesPoint>& column(int x, std::size_t begin, std::size_t end);

 private:
  struct Column {
    std::size_t begin = 0;
    std::size_t end = 0;  // begin == end: nothing kept
    std::vector<SeriesPoint> points;
  };
  void find(Column& column) const;
  void moveOn(Column& column, std::size_t begin, std::size_t end) const;

  const SampleLog* log_ = nullptr;
  std::uint64_t identity_ = 0;
  RatioRow rowOf_{0.0, 0.0, 0};
  std::vector<Column> columns_;
};

}  // namespace ws
