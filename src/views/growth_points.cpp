#include "views/growth_points.h"

#include <algorithm>
#include <cmath>

namespace ws {

namespace {

// The points of the count series in entries begin .. end - 1: for each run, the rows that its last
// entry in the column lands on (of a lone record, its one row). An entry's rows lie between those
// of its smallest and largest count and the counts never fall, so the last entry of the column on
// a row is the last of the latest run starting on that row or below it: one of these.
//
// A span's rows beyond its run's row lie between that row and the next run's, and a point on the
// next run's row is covered by a later one of the same series; so a span is read only when the
// next run lies more than a row higher, or there is none.
void addRunsOfCount(const SampleLog& log, CountSeries series, const CountRow& rowOf,
                    std::size_t begin, std::size_t end, const std::vector<CountRun>& runs,
                    std::size_t& run, std::vector<SeriesPoint>& points) {
  const std::size_t singles = log.singleEntries();
  const std::size_t entries = log.entries();
  while (run + 1 < runs.size() && runs[run + 1].start <= begin) ++run;
  for (std::size_t j = run; j < runs.size() && runs[j].start < end; ++j) {
    const std::size_t next = j + 1 < runs.size() ? runs[j + 1].start : entries;
    const std::size_t last = std::min(next, end) - 1;
    const int row = runs[j].row;
    // The run goes on after the column (its span's rows are all on `row`), or the next run
    // starts in the column one row higher.
    const bool alone =
        last < singles ||
        (last + 1 < entries && (last + 1 < next || (next < end && runs[j + 1].row >= row - 1)));
    if (alone) {
      if (row >= 0 && row < rowOf.height) points.push_back(SeriesPoint{last, row});
      continue;
    }
    const SeriesSpan<std::uint64_t> span = log.countSpan(series, last);
    const int highRow = rowOf(span.high);
    addSpanRows(row, highRow, row, highRow, rowOf.fills(span.step), rowOf.height, [&](int r) {
      points.push_back(SeriesPoint{last, r});
    });
  }
}

// Every entry's points of a count series that may fall (a damaged log).
void addEveryCount(const SampleLog& log, std::size_t begin, std::size_t end, CountSeries series,
                   const CountRow& rowOf, std::vector<SeriesPoint>& points) {
  for (std::size_t i = begin; i < end; ++i) {
    rowOf.addRows(log.countSpan(series, i), [&](int row) {
      points.push_back(SeriesPoint{i, row});
    });
  }
}

}  // namespace

// The record-by-record plotting leaves on each pixel the point of the latest record, and of a
// record the ratio point over the others. The ratio points go first, in log order; a memory or
// words point then goes over a ratio point only when its record comes later.
void GrowthPoints::plotColumn(FrameBuffer& frame, int x, const std::vector<SeriesPoint>& ratio,
                              const GrowthPixels& pixels) {
  ++stamp_;
  for (const SeriesPoint& p : ratio) {
    frame.set(x, p.row, pixels.ratio);
    auto& latest = latestRatio_[static_cast<std::size_t>(p.row)];
    latest = {stamp_, p.record};
  }
  const auto plotCount = [&](const SeriesPoint& p, std::uint16_t pixel) {
    const auto& latest = latestRatio_[static_cast<std::size_t>(p.row)];
    if (latest.stamp != stamp_ || latest.record < p.record) frame.set(x, p.row, pixel);
  };
  // Memory and words in log order, memory first within a record.
  std::size_t w = 0;
  for (const SeriesPoint& m : memoryPoints_) {
    for (; w < wordsPoints_.size() && wordsPoints_[w].record < m.record; ++w) {
      plotCount(wordsPoints_[w], pixels.words);
    }
    plotCount(m, pixels.memory);
  }
  for (; w < wordsPoints_.size(); ++w) plotCount(wordsPoints_[w], pixels.words);
}

void GrowthPoints::plot(FrameBuffer& frame, const SampleLog& log, const GrowthScales& scales,
                        const GrowthPixels& pixels) {
  const int width = frame.width();
  const int height = frame.height();
  if (width <= 20) {
    plotEveryEntry(frame, log, scales, pixels);
    return;
  }
  findColumnStarts(width, log);

  const CountRow memoryRow{scales.baseline, scales.nodesScale, height};
  const CountRow wordsRow{scales.baseline, scales.wordsScale, height};
  const bool memoryShown = scales.nodesScale > 0.0;
  const bool wordsShown = scales.wordsScale > 0.0;
  const bool countsNeverFall = log.countsNeverFall();
  static const std::vector<CountRun> kNoRuns;
  const std::vector<CountRun>& memoryRuns =
      memoryShown && countsNeverFall ? memoryRuns_.find(log, CountSeries::kNodes, memoryRow)
                                     : kNoRuns;
  const std::vector<CountRun>& wordsRuns =
      wordsShown && countsNeverFall ? wordsRuns_.find(log, CountSeries::kWords, wordsRow) : kNoRuns;
  ratioColumns_.start(log, RatioRow{scales.baseline, scales.ratioScale, height}, width);

  std::size_t memoryRun = 0;
  std::size_t wordsRun = 0;
  latestRatio_.resize(static_cast<std::size_t>(height));
  for (int x = 0; x < width; ++x) {
    const std::size_t begin = columnStarts_[static_cast<std::size_t>(x)];
    const std::size_t end = columnStarts_[static_cast<std::size_t>(x) + 1];
    if (begin == end) continue;
    memoryPoints_.clear();
    wordsPoints_.clear();
    if (memoryShown && countsNeverFall) {
      addRunsOfCount(log, CountSeries::kNodes, memoryRow, begin, end, memoryRuns, memoryRun,
                     memoryPoints_);
    } else if (memoryShown) {
      addEveryCount(log, begin, end, CountSeries::kNodes, memoryRow, memoryPoints_);
    }
    if (wordsShown && countsNeverFall) {
      addRunsOfCount(log, CountSeries::kWords, wordsRow, begin, end, wordsRuns, wordsRun,
                     wordsPoints_);
    } else if (wordsShown) {
      addEveryCount(log, begin, end, CountSeries::kWords, wordsRow, wordsPoints_);
    }
    plotColumn(frame, x, ratioColumns_.column(x, begin, end), pixels);
  }
}

void GrowthPoints::findColumnStarts(int width, const SampleLog& log) {
  if (edgeShares_.size() != static_cast<std::size_t>(width) + 1) {
    edgeShares_.resize(static_cast<std::size_t>(width) + 1);
    for (int x = 0; x <= width; ++x) {
      edgeShares_[static_cast<std::size_t>(x)] = columnEdgeShare(x, width);
    }
  }
  columnStarts_.resize(static_cast<std::size_t>(width) + 1);
  for (int x = 0; x <= width; ++x) {
    const auto i = static_cast<std::size_t>(x);
    columnStarts_[i] = firstRecordFromEdge(edgeShares_[i], x, log.size(), width);
  }
  // A span belongs to the column of its first record.
  if (!log.exact()) {
    for (std::size_t& start : columnStarts_) start = log.firstEntryFrom(start);
  }
}

void GrowthPoints::plotEveryEntry(FrameBuffer& frame, const SampleLog& log,
                                  const GrowthScales& scales, const GrowthPixels& pixels) {
  const int width = frame.width();
  const int height = frame.height();
  const CountRow memoryRow{scales.baseline, scales.nodesScale, height};
  const CountRow wordsRow{scales.baseline, scales.wordsScale, height};
  const RatioRow ratioRow{scales.baseline, scales.ratioScale, height};
  for (std::size_t i = 0; i < log.entries(); ++i) {
    const int x = recordColumn(log.firstRecordOf(i), log.size(), width);
    if (x < 0 || x >= width) continue;
    const auto plot = [&](std::uint16_t pixel) {
      return [&frame, x, pixel](int row) { frame.set(x, row, pixel); };
    };
    if (scales.nodesScale > 0.0)
      memoryRow.addRows(log.countSpan(CountSeries::kNodes, i), plot(pixels.memory));
    if (scales.wordsScale > 0.0)
      wordsRow.addRows(log.countSpan(CountSeries::kWords, i), plot(pixels.words));
    ratioRow.addRows(log.ratioSpan(i), plot(pixels.ratio));
  }
}

}  // namespace ws
