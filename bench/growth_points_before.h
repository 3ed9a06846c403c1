// The growth graph's point plotting as it was before the points were found from run boundaries
// and kept ratio columns: per column, binary searches over the log and the block extremes, then
// a sort. Kept only so that views_bench measures both side by side in one run.
#pragma once

#include <cstddef>
#include <vector>

#include "screen/frame_buffer.h"
#include "views/graph_layout.h"
#include "views/growth_points.h"
#include "views/ratio_blocks.h"
#include "views/sample_log.h"

namespace ws {

class GrowthPointsBefore {
 public:
  // REQUIRES: log.exact().
  void plot(FrameBuffer& frame, const SampleLog& log, const GraphLayout& layout,
            const GrowthScales& scales, const GrowthPixels& pixels);

 private:
  struct Point {
    std::size_t record;
    int series;  // plotting order within a record: memory 0, words 1, ratio 2
    int row;
    std::uint16_t pixel;
  };
  RatioBlocks blocks_;
  std::vector<std::size_t> columnStarts_;
  std::vector<Point> points_;
};

}  // namespace ws
