// View 1: how the collection grew, drawn from the sample log.
#pragma once

#include <cstdint>

#include "screen/canvas.h"
#include "views/growth_points.h"
#include "views/sample_log.h"

namespace ws {

class GrowthGraph {
 public:
  // Draws the headline, axes, the three series (memory, words read, share of different words),
  // the guide line at the current memory level, the labels and the legend. The ratio series is
  // scaled by the largest ratio of the previous drawing; afterwards that memory holds the largest
  // ratio of this one. nodeCount is the trie's current node count, shown in the memory label.
  //
  // The picture is that of plotting the three points of every record in log order, each later
  // point over the earlier ones (of a thinned log: entry by entry, see GrowthPoints); the log is
  // read in place, and only the points that no later one covers are plotted.
  // REQUIRES: cursor on row 14, column 1, and the frame lock held (see ViewPainter::drawView).
  void draw(Canvas& screen, const SampleLog& log, std::uint32_t nodeCount);

  float previousMaxRatio() const { return previousMaxRatio_; }

 private:
  float previousMaxRatio_ = 0.0f;
  GrowthPoints points_;
};

}  // namespace ws
