// The ratio series of the growth graph, column by column, kept from one drawing to the next: the
// ratio scale seldom changes and most columns keep their entries when the log gains one, so a
// drawing finds points only in the columns whose entries or scale changed.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "views/graph_coordinate.h"
#include "views/graph_layout.h"
#include "views/ratio_blocks.h"
#include "views/sample_log.h"

namespace ws {

// The row of a ratio's point, pixelOn(graphCoordinate(baseline - floor(scale * ratio)), height).
struct RatioRow {
  RatioRow(double baseline, double scale, int height)
      : baseline(baseline),
        scale(scale),
        height(height),
        wholeBaseline_(baseline == std::floor(baseline) && baseline >= 0.0 && baseline < 0x1p24
                           ? static_cast<int>(baseline)
                           : -1) {}

  double baseline;
  double scale;
  int height;

  int operator()(float ratio) const {
    // Below a whole baseline, the coordinate is whole: its own pixel.
    const double up = scale * ratio;
    if (up >= 0.0 && up < 0x1p30 && wholeBaseline_ >= 0) {
      const int row = wholeBaseline_ - static_cast<int>(up);
      if (row >= 0 && row < height) return row;
    }
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

  int wholeBaseline_;  // -1: not a whole number of pixels
};

class RatioColumns {
 public:
  // Starts a drawing of `log` with these rows; the kept columns stay valid only for the same key
  // and the same rows. REQUIRES: key is the log's.
  void start(const SampleLog& log, const GraphKey& key, const RatioRow& rowOf);

  // Points of entries begin .. end - 1 inside the window, in log order, among them for each row
  // the last entry of the column on it (others may be there too, covered by later ones); valid
  // until the next call for column x. A column whose entries moved on by a few since the last
  // drawing drops its points before the new begin and adds the new entries' points; the points of
  // the log's last entry, which may still change, are found anew each time.
  // `kept` tells whether they are those of the last call for column x.
  // REQUIRES: start() for this drawing; 0 <= x < the layout's width; begin < end <= log.entries().
  const std::vector<SeriesPoint>& column(int x, std::size_t begin, std::size_t end, bool& kept) {
    Column& c = columns_[static_cast<std::size_t>(x)];
    // Mostly the column keeps its entries, or a few fixed records arrive: here at once.
    kept = c.begin == begin && c.end == end && end <= fixedEntries_ && c.unfixedPoints == 0;
    if (kept) return c.points;
    if (c.unfixedPoints == 0 && c.begin < c.end && c.begin <= begin && begin <= c.end &&
        c.end <= end && end <= singleFixed_ && end - c.end <= kFewEntries &&
        c.points.size() < crowded_) {
      if (!c.points.empty() && c.points.front().record < begin) dropBefore(c.points, begin);
      for (std::size_t i = c.end; i < end; ++i) {
        const int row = rowOf_(log_->singleRatio(i));
        if (row >= 0 && row < rowOf_.height) addArrival(c.points, i, row);
      }
      c.begin = begin;
      c.end = end;
      return c.points;
    }
    return columnOfAnyEntries(c, begin, end);
  }

 private:
  // A few new entries cost less to add one by one than the search from the column's end.
  static constexpr std::size_t kFewEntries = 16;

  // The points of entries begin .. end - 1, all fixed, then those of the unfixed last entry.
  struct Column {
    std::size_t begin = 0;
    std::size_t end = 0;  // begin == end: nothing kept
    std::vector<SeriesPoint> points;
    std::size_t unfixedPoints = 0;
  };
  const std::vector<SeriesPoint>& columnOfAnyEntries(Column& c, std::size_t begin, std::size_t end);
  void find(Column& column);
  void moveOn(Column& column, std::size_t begin, std::size_t end);
  static void dropBefore(std::vector<SeriesPoint>& points, std::size_t begin);
  static void addArrival(std::vector<SeriesPoint>& points, std::size_t entry, int row) {
    if (!points.empty() && points.back().row == row) {
      points.back().record = entry;
    } else {
      points.push_back(SeriesPoint{entry, row});
    }
  }

  const SampleLog* log_ = nullptr;
  GraphKey key_;
  RatioBlocks blocks_;
  RatioRow rowOf_{0.0, 0.0, 0};
  // Entries before these are fixed, and single records and fixed.
  std::size_t fixedEntries_ = 0;
  std::size_t singleFixed_ = 0;
  // Arrivals may repeat rows; past this many points a column is found afresh, one a row, so a
  // column holds at most about twice the window's height.
  std::size_t crowded_ = 0;
  std::vector<Column> columns_;
  // By row: whether a later entry of the column being found took it (stamp == stamp_).
  std::vector<std::uint64_t> taken_;
  std::uint64_t stamp_ = 0;
};

}  // namespace ws
