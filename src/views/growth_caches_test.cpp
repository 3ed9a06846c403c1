// The growth graph's kept results, each against what it stands for, drawing after drawing: while
// the log grows a few records or many, is thinned, its scales change and a second log's drawing
// comes between. Each test names the cache that broke.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "screen/frame_buffer.h"
#include "views/count_runs.h"
#include "views/graph_layout.h"
#include "views/growth_points.h"
#include "views/ratio_columns.h"
#include "views/sample_log.h"
#include "views/test_growth_drawing.h"

namespace ws {
namespace {

// Two logs, thinned past 2048 records, and the drawings of one or the other as they grow; in
// narrow windows, so that a column holds many entries.
class Drawings {
 public:
  explicit Drawings(unsigned seed) : random_(seed), growA_(random_), growB_(random_) {}

  // The log of drawing `d`: the first, grown by a few records (hundreds every tenth drawing), or
  // now and then the second, grown to as many records as the first, where its columns hold the
  // same entries.
  SampleLog& next(int d) {
    if (d % 7 == 3) {
      growB_.grow(b_, std::max(b_.size() + 1, a_.size()));
      return b_;
    }
    growA_.grow(a_, a_.size() + (d % 10 == 0 ? 1 + random_() % 1500 : 1 + random_() % 4));
    return a_;
  }
  // A scale that maps `value` onto about 280 rows, a little more every 40 drawings.
  static double scale(double value, int d) { return std::nearbyint(value / (280.0 + d / 40)); }
  std::mt19937& random() { return random_; }

 private:
  std::mt19937 random_;
  SampleLog a_{2048};
  SampleLog b_{2048};
  testing::CrawlLikeGrowth growA_;
  testing::CrawlLikeGrowth growB_;
};

// The entries of each column: those from the first record of the column on.
std::vector<std::size_t> columnStarts(const SampleLog& log, const GraphLayout& layout) {
  std::vector<std::size_t> starts;
  for (int x = 0; x <= layout.width(); ++x) {
    starts.push_back(log.firstEntryFrom(layout.firstRecordIn(x, log.size())));
  }
  return starts;
}

TEST(CountRuns, AreTheLogsRunsDrawingAfterDrawing) {
  Drawings drawings(11);
  const GraphLayout layout(640, 480);
  CountRuns memoryRuns, wordsRuns;
  for (int d = 0; d < 400; ++d) {
    const SampleLog& log = drawings.next(d);
    for (const CountSeries series : {CountSeries::kNodes, CountSeries::kWords}) {
      const double scale = Drawings::scale(log.highCount(series, log.entries() - 1), d);
      if (scale <= 0.0) continue;
      const CountRow rowOf{layout.baseline(), scale, layout.height()};
      // Mostly the whole log, as the drawings grow; now and then fewer entries.
      const std::size_t limit =
          d % 5 == 4 ? 1 + drawings.random()() % log.entries() : log.entries();
      CountRuns& runs = series == CountSeries::kNodes ? memoryRuns : wordsRuns;
      const auto& found = runs.find(log, GraphKey{log.identity(), layout}, series, rowOf, limit);
      std::vector<std::pair<std::size_t, int>> expected, got;
      for (std::size_t e = 0; e < limit; ++e) {
        const int row = rowOf(log.lowCount(series, e));
        if (expected.empty() || expected.back().second != row) expected.emplace_back(e, row);
      }
      for (const CountRun& run : found) got.emplace_back(run.start, run.row);
      ASSERT_EQ(got, expected) << "drawing " << d << ", " << log.entries() << " entries";
    }
  }
}

TEST(RatioColumns, HoldEachRowsLastEntryDrawingAfterDrawing) {
  Drawings drawings(12);
  const GraphLayout layout(160, 480);
  RatioColumns columns;
  for (int d = 0; d < 400; ++d) {
    const SampleLog& log = drawings.next(d);
    const RatioRow rowOf{layout.baseline(), Drawings::scale(280.0 * 280.0 / log.largestRatio(), d),
                         layout.height()};
    columns.start(log, GraphKey{log.identity(), layout}, rowOf);
    const std::vector<std::size_t> starts = columnStarts(log, layout);
    for (int x = 0; x < layout.width(); ++x) {
      const std::size_t begin = starts[x], end = starts[x + 1];
      if (begin == end) continue;
      std::vector<std::size_t> lastOn(layout.height(), end);  // end: no entry on the row
      for (std::size_t e = begin; e < end; ++e) {
        rowOf.addRows(log.ratioSpan(e), [&](int row) { lastOn[row] = e; });
      }
      bool kept = false;
      std::vector<std::size_t> lastPoint(layout.height(), end);
      std::size_t previous = begin;
      for (const SeriesPoint& p : columns.column(x, begin, end, kept)) {
        ASSERT_TRUE(p.record >= previous && p.record < end && p.row >= 0 && p.row < 480)
            << "drawing " << d << ", column " << x << ": entry " << p.record << " on row " << p.row;
        previous = p.record;
        lastPoint[p.row] = p.record;
      }
      ASSERT_EQ(lastPoint, lastOn) << "drawing " << d << ", column " << x;
    }
  }
}

// What GrowthPoints promises: entry after entry in the column of its first record, the rows of
// its memory, words and ratio spans in that order, each later point over the earlier ones.
void plotEntryByEntry(FrameBuffer& frame, const SampleLog& log, const GraphLayout& layout,
                      const GrowthScales& scales, const GrowthPixels& pixels) {
  const CountRow memoryRow{layout.baseline(), scales.nodesScale, layout.height()};
  const CountRow wordsRow{layout.baseline(), scales.wordsScale, layout.height()};
  const RatioRow ratioRow{layout.baseline(), scales.ratioScale, layout.height()};
  for (std::size_t e = 0; e < log.entries(); ++e) {
    const int x = layout.columnOf(log.firstRecordOf(e), log.size());
    if (x < 0 || x >= layout.width()) continue;
    const auto set = [&](std::uint16_t pixel) {
      return [&frame, x, pixel](int y) { frame.set(x, y, pixel); };
    };
    if (scales.nodesScale > 0.0) {
      memoryRow.addRows(log.countSpan(CountSeries::kNodes, e), set(pixels.memory));
    }
    if (scales.wordsScale > 0.0) {
      wordsRow.addRows(log.countSpan(CountSeries::kWords, e), set(pixels.words));
    }
    ratioRow.addRows(log.ratioSpan(e), set(pixels.ratio));
  }
}

TEST(GrowthPoints, PlotTheEntryByEntryPictureDrawingAfterDrawing) {
  Drawings drawings(13);
  GrowthPoints points;
  FrameBuffer frame, expected;
  for (int d = 0; d < 400; ++d) {
    const SampleLog& log = drawings.next(d);
    const GraphLayout layout = d % 50 < 40   ? GraphLayout(160, 480)
                               : d % 50 < 45 ? GraphLayout(640, 480)
                                             : GraphLayout(1200, 800);
    const double span = layout.height() - 200.0;
    const SampleRecord& last = log.last();
    const GrowthScales scales{Drawings::scale(last.nodeCount * 280.0 / span, d),
                              Drawings::scale(last.wordsTotal * 280.0 / span, d),
                              Drawings::scale(280.0 * span / log.largestRatio(), d)};
    const GrowthPixels pixels = d < 200 ? GrowthPixels{0xFFFF, 0xFFE0, 0x07FF}
                                        : GrowthPixels{0xFFFF, 0x07FF, 0xFFE0};
    for (FrameBuffer* f : {&frame, &expected}) {
      f->resize(layout.width(), layout.height());
      f->fillRows(0, layout.height() - 1, 0);
    }
    points.plot(frame, log, layout, scales, pixels);
    plotEntryByEntry(expected, log, layout, scales, pixels);
    for (int y = 0; y < layout.height(); ++y) {
      for (int x = 0; x < layout.width(); ++x) {
        ASSERT_EQ(frame.at(x, y), expected.at(x, y))
            << "drawing " << d << " of " << log.size() << " records, at " << x << ", " << y;
      }
    }
  }
}

}  // namespace
}  // namespace ws
