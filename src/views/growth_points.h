// The three point series of the growth graph (view 1): for record i of m, in its column of the
// GraphLayout, the memory point at baseline - nodeCount / nodesScale, the words point at
// baseline - wordsTotal / wordsScale and the ratio point at baseline - floor(ratioScale * ratio),
// plotted record by record in log order, each record's three in that order.
//
// A thinned log is plotted entry by entry the same way: a span of records, in the column of its
// first record, puts each series on the rows its records land on as far as the span tells them
// (addSpanRows): all rows between its extremes where its records step by less than a row, else
// the rows of its first, last, smallest and largest value.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "screen/frame_buffer.h"
#include "views/count_column.h"
#include "views/count_runs.h"
#include "views/graph_coordinate.h"
#include "views/graph_layout.h"
#include "views/ratio_columns.h"
#include "views/sample_log.h"

namespace ws {

struct GrowthScales {
  double nodesScale = 0.0;  // 0: no memory points
  double wordsScale = 0.0;  // 0: no words points
  double ratioScale = 0.0;  // >= 0
};

struct GrowthPixels {
  std::uint16_t memory;
  std::uint16_t words;
  std::uint16_t ratio;
};

// Plots the series into the frame with the picture of the entry-by-entry plotting, in time that
// hardly grows with the log: per column only the points that no later point of their series
// covers are plotted, in log order. Where the counts never fall, a count series covers every row
// between two in each column whose records step by less than a row (CountColumn; the last entry
// on a row is looked up only where another series shares the row), and comes from its runs of
// equal rows (CountRuns) in the columns before; the ratio series comes from RatioColumns. Keeps
// scratch space, search hints and the ratio columns from one drawing to the next; all of it is
// bounded by the window's size.
class GrowthPoints {
 public:
  // REQUIRES: the layout is the frame's size.
  void plot(FrameBuffer& frame, const SampleLog& log, const GraphLayout& layout,
            const GrowthScales& scales, const GrowthPixels& pixels);

 private:
  // How a drawing finds a count series' points.
  struct CountSeriesPlan {
    CountSeries series;
    const CountRow& rowOf;
    bool shown;
    // Columns from this entry on take the series as CountColumns.
    std::size_t withinRowsFrom = 0;
    // The runs of entries 0 .. runsLimit - 1.
    const std::vector<CountRun>* runs = nullptr;
    std::size_t runsLimit = 0;
  };

  // A column's counts at its ends and their rows.
  struct ColumnCounts {
    std::size_t begin = 0;
    std::size_t end = 0;  // 0: nothing kept
    KeptRow memoryLow;
    KeptRow memoryHigh;
    KeptRow wordsLow;
    KeptRow wordsHigh;
    // The numbers of the row functions their rows were last found or checked with.
    std::uint64_t memoryRows = 0;
    std::uint64_t wordsRows = 0;
  };

  // A column's pixels as last plotted where both count series were CountColumns, in plotting
  // order: plotted again as they are while the column's ratio points, entries and count rows
  // stay, unless a row was shared (the last entry on it may move with a scale) or they were more
  // than a picture holds. Kept in place, next to each other: the frame's clearing pushes them out
  // of the nearer caches on every pass.
  struct ColumnPicture {
    static constexpr int kPixels = 12;
    bool replayable = false;
    std::uint8_t size = 0;
    std::array<std::uint16_t, kPixels> rows;
    std::array<std::uint16_t, kPixels> pixels;
  };

  void findColumnStarts(const GraphLayout& layout, const SampleLog& log);
  // `kept`: whether the column's entries and rows are those of the last drawing.
  const ColumnCounts& columnCounts(const SampleLog& log, int x, std::size_t begin, std::size_t end,
                                   const CountRow& memoryRow, const CountRow& wordsRow, bool& kept);
  void planCountSeries(const SampleLog& log, const GraphKey& key, CountSeriesPlan& plan);
  static void addCountPoints(const SampleLog& log, const CountSeriesPlan& plan,
                             const std::optional<CountColumn>& column, RunPoints& runs,
                             std::size_t begin, std::size_t end, std::vector<SeriesPoint>& points);
  // Plots the column's points of the three series; memoryPoints_ and wordsPoints_ hold the count
  // series' points, each in log order.
  void plotColumn(FrameBuffer& frame, int x, const std::vector<SeriesPoint>& ratio,
                  const GrowthPixels& pixels);
  // The same where both count series are CountColumns (or not shown: null), into `picture` too.
  void plotColumn(FrameBuffer& frame, int x, const std::vector<SeriesPoint>& ratio,
                  const CountColumn* memory, const CountColumn* words, const GrowthPixels& pixels,
                  ColumnPicture& picture);
  // Every entry's three series; for windows too narrow for columns to grow with the records.
  static void plotEveryEntry(FrameBuffer& frame, const SampleLog& log, const GraphLayout& layout,
                             const GrowthScales& scales, const GrowthPixels& pixels);

  // The entries of column x are columnStarts_[x] .. columnStarts_[x + 1] - 1.
  std::vector<std::size_t> columnStarts_;
  // By column: the edge shares of edgesLayout_.
  std::vector<double> edgeShares_;
  GraphLayout edgesLayout_{0, 0};
  // By column, for the log and layout of countsKey_.
  std::vector<ColumnCounts> columnCounts_;
  GraphKey countsKey_;
  // The row functions of the last drawing, numbered anew (from 1) whenever they change.
  CountRow memoryRowKept_{0.0, 0.0, -1};
  CountRow wordsRowKept_{0.0, 0.0, -1};
  std::uint64_t memoryRows_ = 0;
  std::uint64_t wordsRows_ = 0;
  // By column, for the same log, rows and pixels as columnCounts_.
  std::vector<ColumnPicture> pictures_;
  GrowthPixels picturePixels_{0, 0, 0};
  std::vector<SeriesPoint> memoryPoints_;
  std::vector<SeriesPoint> wordsPoints_;
  CountRuns memoryRuns_;
  CountRuns wordsRuns_;
  RatioColumns ratioColumns_;
  // By row: the latest ratio point (its entry) of the column being plotted, where stamp is stamp_.
  struct LatestRatio {
    std::uint64_t stamp = 0;
    std::size_t record = 0;
  };
  std::vector<LatestRatio> latestRatio_;
  std::uint64_t stamp_ = 0;
};

}  // namespace ws
