// Where the growth graph (view 1) puts things in its window: the one place that knows the margins,
// the axes, the baseline, the column of a record and, the other way round, the first record of a
// column. Every drawing and every cache of the graph asks a GraphLayout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "views/graph_coordinate.h"

namespace ws {

// A window of width x height pixels. The axes stand kMargin pixels inside the left, right and
// bottom edges, the vertical one up to row kAxisTop; the series rise from the baseline, the
// horizontal axis. Record i of m goes in the column where plotPixel puts
// kMargin + (width - 2 * kMargin) * i / m; while the plot area has no width (hasColumns() false)
// that is all there is, and the columns do not grow with the records.
class GraphLayout {
 public:
  static constexpr int kMargin = 10;
  static constexpr float kAxisTop = 170.0f;

  GraphLayout(int width, int height) : width_(width), height_(height) {}

  int width() const { return width_; }
  int height() const { return height_; }
  float left() const { return static_cast<float>(kMargin); }
  float right() const { return static_cast<float>(width_ - kMargin); }
  float bottom() const { return static_cast<float>(height_ - kMargin); }
  double baseline() const { return static_cast<double>(height_) - kMargin; }
  bool hasColumns() const { return width_ > 2 * kMargin; }

  // The column of record i of `records`, as pixelOn gives it: -1 left of the window, width()
  // right of it. Never decreases as i grows.
  int columnOf(std::size_t i, std::size_t records) const {
    // In double: the plot width times i overflows 32 bits on a long run.
    return pixelOn(static_cast<float>(kMargin + plotWidth() * static_cast<double>(i) /
                                                    static_cast<double>(records)),
                   width_);
  }

  // Where the records of column x and later begin, as a share of all records; 0 for the columns
  // up to the left margin, where record 0 lies. Depends on the width alone, so a reader may keep
  // it. REQUIRES: hasColumns().
  double edgeShare(int x) const;

  // The first record whose column is x or later, `records` when there is none, from the column's
  // edgeShare(x). REQUIRES: hasColumns(), 1 <= records < 2^62.
  std::size_t firstRecordFrom(double edgeShare, int x, std::size_t records) const;
  std::size_t firstRecordIn(int x, std::size_t records) const {
    return firstRecordFrom(edgeShare(x), x, records);
  }

  bool operator==(const GraphLayout&) const = default;

 private:
  int plotWidth() const { return width_ - 2 * kMargin; }

  int width_;
  int height_;
};

// What a result kept from one drawing of the graph to the next was found for: the log (by its
// identity) and the layout. A kept result is valid for a drawing with an equal key only; the
// scales it also depends on, each reader compares by their row functions.
struct GraphKey {
  std::uint64_t log = 0;  // 0: no log, nothing kept
  GraphLayout layout{0, 0};

  bool operator==(const GraphKey&) const = default;
};

}  // namespace ws
