// The three point series of the growth graph (view 1): for record i of m, in column
// 10 + (W - 20) * i / m, the memory point at baseline - nodeCount / nodesScale, the words point at
// baseline - wordsTotal / wordsScale and the ratio point at baseline - floor(ratioScale * ratio),
// plotted record by record in log order, each record's three in that order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "screen/frame_buffer.h"
#include "views/sample_log.h"

namespace ws {

// A computed coordinate of the graph for the screen, which rounds floats to pixels. Values far off
// the window (a huge scale, a NaN from a damaged log) are pinned well outside it, so the screen
// still drops them and never meets a float it cannot turn into a pixel position.
float graphCoordinate(double v);

struct GrowthScales {
  double baseline = 0.0;
  double nodesScale = 0.0;  // 0: no memory points
  double wordsScale = 0.0;  // 0: no words points
  double ratioScale = 0.0;  // >= 0
};

struct GrowthPixels {
  std::uint16_t memory;
  std::uint16_t words;
  std::uint16_t ratio;
};

// Plots the series into the frame with the picture of the record-by-record plotting, in time that
// hardly grows with the log: per column only the points that no later point covers are found
// (binary search where the counts never fall, the log's block extremes for the ratio) and
// plotted. Keeps scratch space from one drawing to the next.
class GrowthPoints {
 public:
  void plot(FrameBuffer& frame, const SampleLog& log, const GrowthScales& scales,
            const GrowthPixels& pixels);

 private:
  struct Point {
    std::size_t record;
    int series;  // plotting order within a record: memory 0, words 1, ratio 2
    int row;
    std::uint16_t pixel;
  };
  std::vector<std::size_t> columnStarts_;
  std::vector<Point> points_;
};

}  // namespace ws
