#include "views/growth_graph.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "screen/colour.h"
#include "screen/frame_buffer.h"
#include "screen/number_format.h"
#include "screen/pixel_drawing.h"
#include "views/headline.h"

namespace ws {

namespace {

constexpr float kMargin = 10.0f;
constexpr float kAxisTop = 170.0f;
// The last record's words and nodes are scaled to the window height minus this many pixels.
constexpr int kScaleReserve = 200;
constexpr std::uint16_t kSolid = 0xFFFF;
constexpr std::uint16_t kGuideStyle = 0x0003;

// A computed coordinate for the screen, which rounds floats to pixels. Values far off the window
// (a huge scale, a NaN from a damaged log) are pinned well outside it, so the screen still drops
// them and never meets a float it cannot turn into a pixel position.
float coordinate(double v) {
  constexpr double kFar = 1.0e6;
  if (std::isnan(v)) return static_cast<float>(-kFar);
  return static_cast<float>(std::clamp(v, -kFar, kFar));
}

// The scale that maps `value` onto `span` pixels: their quotient rounded half to even, or 0 when
// the band is empty. Kept as a double: an integer that may exceed every integer type.
double scaleFactor(double value, double span) {
  if (span <= 0.0) return 0.0;
  return std::nearbyint(value / span);
}

// The pixel a coordinate falls on along an axis of `limit` pixels, as plotPixel rounds it; -1 for
// every position before the window and `limit` for every one beyond. Never decreases as v grows.
int pixelOn(float v, int limit) {
  const double p = roundedCoordinate(v);
  if (!(p >= 0.0)) return -1;
  if (p >= limit) return limit;
  return static_cast<int>(p);
}

// The series' points, plotted from the last record back to the first: a pixel takes the first
// point that reaches it, which is the last one plotted over it in log order.
class BackwardPlotter {
 public:
  BackwardPlotter(FrameBuffer& frame, std::vector<std::uint64_t>& taken)
      : frame_(frame), taken_(taken), width_(frame.width()), height_(frame.height()) {
    const std::size_t pixels = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    taken_.assign((pixels + 63) / 64, 0);
  }

  // REQUIRES: 0 <= x < width.
  void plot(int x, int y, std::uint16_t pixel) {
    if (y < 0 || y >= height_) return;
    const std::size_t bit = static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                            static_cast<std::size_t>(x);
    std::uint64_t& word = taken_[bit / 64];
    const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
    if ((word & mask) != 0) return;
    word |= mask;
    frame_.set(x, y, pixel);
  }

 private:
  FrameBuffer& frame_;
  std::vector<std::uint64_t>& taken_;
  const int width_;
  const int height_;
};

}  // namespace

void GrowthGraph::draw(ScreenService& screen, const SampleLog& log, std::uint32_t nodeCount) {
  const auto [width, height] = screen.windowSize();
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  const double baseline = h - kMargin;

  printHeadline(screen, " 1) Graphische Darstellung:");
  screen.drawLine(kMargin, h - kMargin, kMargin, kAxisTop, std::nullopt, kSolid);
  screen.drawLine(kMargin, h - kMargin, w - kMargin, h - kMargin, std::nullopt, kSolid);

  const std::size_t records = log.size();
  const SampleRecord last = log.record(records - 1);

  const double span = height - kScaleReserve;
  const double wordsScale = scaleFactor(last.wordsTotal, span);
  const double nodesScale = scaleFactor(last.nodeCount, span);
  const double ratioScale = previousMaxRatio_ == 0.0f ? 0.0 : scaleFactor(span, previousMaxRatio_);

  // Where record i's points land. Each is a non-decreasing or non-increasing function of the
  // record's number or value, so a block whose extremes land on one pixel lands there whole.
  const auto column = [&](std::size_t i) {
    // In double: (width - 20) * i overflows 32 bits on a long run.
    return pixelOn(static_cast<float>(kMargin + (width - 20) * static_cast<double>(i) /
                                                    static_cast<double>(records)),
                   width);
  };
  const auto memoryRow = [&](std::uint32_t n) {
    return pixelOn(coordinate(baseline - n / nodesScale), height);
  };
  const auto wordsRow = [&](std::uint32_t n) {
    return pixelOn(coordinate(baseline - n / wordsScale), height);
  };
  const auto ratioRow = [&](float ratio) {
    return pixelOn(coordinate(baseline - std::floor(ratioScale * ratio)), height);
  };

  const std::uint16_t memoryPixel = screen.foregroundPixel();
  const std::uint16_t wordsPixel = toRgb565(kYellow);
  const std::uint16_t ratioPixel = toRgb565(kCyan);
  BackwardPlotter plotter(screen.drawingFrame(), taken_);
  // A record's memory, words and ratio points in column x, in reverse of their plotting order.
  // REQUIRES: 0 <= x < width.
  const auto plotPoints = [&](int x, const SampleRecord& r) {
    plotter.plot(x, ratioRow(r.ratio), ratioPixel);
    if (wordsScale > 0.0) plotter.plot(x, wordsRow(r.wordsTotal), wordsPixel);
    if (nodesScale > 0.0) plotter.plot(x, memoryRow(r.nodeCount), memoryPixel);
  };
  // Every record of the block lands on the rows of every other one.
  const auto sharesRows = [&](const SampleBlock& b) {
    return b.finiteRatios && ratioRow(b.lowRatio) == ratioRow(b.highRatio) &&
           (wordsScale <= 0.0 || wordsRow(b.lowWords) == wordsRow(b.highWords)) &&
           (nodesScale <= 0.0 || memoryRow(b.lowNodes) == memoryRow(b.highNodes));
  };
  // Plots records begin..end - 1 of column x from the last back. Where the largest block that
  // ends at the current record and lies wholly in the range shares its rows, its last record
  // covers the others, and the rest of the block is passed over.
  const auto plotColumn = [&](int x, std::size_t begin, std::size_t end) {
    while (end > begin) {
      const SampleBlock* block = nullptr;
      std::size_t size = 1;
      for (int level = SampleLog::kBlockLevels - 1; level >= 0 && block == nullptr; --level) {
        size = SampleLog::blockRecords(level);
        if (end % size != 0 || end - begin < size || end / size > log.blockCount(level)) continue;
        const SampleBlock& b = log.block(level, end / size - 1);
        if (sharesRows(b)) block = &b;
      }
      if (block != nullptr) {
        plotPoints(x, block->last);
        end -= size;
      } else {
        plotPoints(x, log.record(end - 1));
        end -= 1;
      }
    }
  };

  if (width <= 20) {
    // The x of the records does not grow with their number; no window of the program is this
    // narrow.
    for (std::size_t i = records; i-- > 0;) {
      const int x = column(i);
      if (x >= 0 && x < width) plotPoints(x, log.record(i));
    }
  } else {
    // The records of column x are columnStart[x] .. columnStart[x + 1] - 1.
    std::vector<std::size_t>& starts = columnStarts_;
    starts.assign(static_cast<std::size_t>(width) + 1, records);
    std::size_t low = 0;
    for (int x = 0; x <= width; ++x) {
      std::size_t high = records;
      while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (column(mid) >= x) {
          high = mid;
        } else {
          low = mid + 1;
        }
      }
      starts[static_cast<std::size_t>(x)] = low;
    }
    for (int x = width - 1; x >= 0; --x) {
      plotColumn(x, starts[static_cast<std::size_t>(x)], starts[static_cast<std::size_t>(x) + 1]);
    }
  }

  previousMaxRatio_ = log.largestRatio();

  if (nodesScale > 0.0) {
    const double memoryLevel = baseline - last.nodeCount / nodesScale;
    const float ym = coordinate(memoryLevel);
    screen.drawLine(kMargin, ym, w - kMargin, ym, kWhite, kGuideStyle);
    const double megabytes = static_cast<double>(nodeCount) * 900.0 / 1048576.0;
    screen.drawText(30.0f, coordinate(memoryLevel - 10.0),
                    cutAfterFirstDecimal(doubleText(megabytes)) + " MB", std::nullopt);
    screen.drawText(30.0f, coordinate(memoryLevel + 5.0), unsignedText(last.wordsTotal), kYellow);
  }

  const float percent = last.ratio * 100.0f;
  screen.drawText(w - 50.0f, coordinate((h - 30.0) - ratioScale * last.ratio),
                  cutAfterFirstDecimal(singleText(percent)) + "%", kCyan);

  const float legendX = static_cast<float>(width / 2);
  screen.drawText(legendX, h - 50.0f, "_____ Speicher", kWhite);
  screen.drawText(legendX, h - 40.0f, "_____ Woerter gesamt", kYellow);
  screen.drawText(legendX, h - 30.0f, "_____ Rel. verschiedene", kCyan);
}

}  // namespace ws
