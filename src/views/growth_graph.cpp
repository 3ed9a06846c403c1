#include "views/growth_graph.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "screen/colour.h"
#include "screen/number_format.h"
#include "views/graph_layout.h"
#include "views/growth_points.h"
#include "views/headline.h"
#include "views/memory_text.h"

namespace ws {

namespace {

// The last record's words and nodes are scaled to the window height minus this many pixels.
constexpr int kScaleReserve = 200;
constexpr std::uint16_t kSolid = 0xFFFF;
constexpr std::uint16_t kGuideStyle = 0x0003;

// The scale that maps `value` onto `span` pixels: their quotient rounded half to even, or 0 when
// the band is empty. Kept as a double: an integer that may exceed every integer type.
double scaleFactor(double value, double span) {
  if (span <= 0.0) return 0.0;
  return std::nearbyint(value / span);
}

}  // namespace

void GrowthGraph::draw(Canvas& screen, const SampleLog& log, std::uint32_t nodeCount) {
  const auto [width, height] = screen.windowSize();
  const GraphLayout layout(width, height);
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  const double baseline = layout.baseline();

  printHeadline(screen, " 1) Graphische Darstellung:");
  screen.drawLine(layout.left(), layout.bottom(), layout.left(), GraphLayout::kAxisTop,
                  std::nullopt, kSolid);
  screen.drawLine(layout.left(), layout.bottom(), layout.right(), layout.bottom(), std::nullopt,
                  kSolid);

  const SampleRecord& last = log.last();

  const double span = height - kScaleReserve;
  const double wordsScale = scaleFactor(last.wordsTotal, span);
  const double nodesScale = scaleFactor(last.nodeCount, span);
  const double ratioScale = previousMaxRatio_ == 0.0f ? 0.0 : scaleFactor(span, previousMaxRatio_);

  points_.plot(screen.frame(), log, layout, GrowthScales{nodesScale, wordsScale, ratioScale},
               GrowthPixels{screen.foregroundPixel(), toRgb565(kYellow), toRgb565(kCyan)});
  previousMaxRatio_ = log.largestRatio();

  if (nodesScale > 0.0) {
    const double memoryLevel = baseline - last.nodeCount / nodesScale;
    const float ym = graphCoordinate(memoryLevel);
    screen.drawLine(layout.left(), ym, layout.right(), ym, kWhite, kGuideStyle);
    screen.drawText(30.0f, graphCoordinate(memoryLevel - 10.0), memoryText(nodeCount),
                    std::nullopt);
    screen.drawText(30.0f, graphCoordinate(memoryLevel + 5.0), unsignedText(last.wordsTotal),
                    kYellow);
  }

  const float percent = last.ratio * 100.0f;
  screen.drawText(w - 50.0f, graphCoordinate((h - 30.0) - ratioScale * last.ratio),
                  cutAfterFirstDecimal(singleText(percent)) + "%", kCyan);

  const float legendX = static_cast<float>(width / 2);
  screen.drawText(legendX, h - 50.0f, "_____ Speicher", kWhite);
  screen.drawText(legendX, h - 40.0f, "_____ Woerter gesamt", kYellow);
  screen.drawText(legendX, h - 30.0f, "_____ Rel. verschiedene", kCyan);
}

}  // namespace ws
