#include "views/growth_points.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>
#include <utility>

namespace ws {

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

// Only where two series share a row does the last entry on it decide: the memory point goes over
// the words point of an earlier entry, and either over a ratio point of an earlier one.
inline void GrowthPoints::plotColumn(FrameBuffer& frame, int x,
                                     const std::vector<SeriesPoint>& ratio,
                                     const CountColumn* memory, const CountColumn* words,
                                     const GrowthPixels& pixels, ColumnPicture& picture) {
  picture.size = 0;
  picture.replayable = true;
  const auto set = [&](int row, std::uint16_t pixel) {
    frame.set(x, row, pixel);
    if (picture.size == ColumnPicture::kPixels) {
      picture.replayable = false;
    } else {
      picture.rows[picture.size] = static_cast<std::uint16_t>(row);
      picture.pixels[picture.size++] = pixel;
    }
  };
  const auto lastEntryOn = [&picture](const CountColumn& column, int row) {
    picture.replayable = false;
    return column.lastEntryOn(row);
  };
  ++stamp_;
  for (const SeriesPoint& p : ratio) {
    set(p.row, pixels.ratio);
    latestRatio_[static_cast<std::size_t>(p.row)] = {stamp_, p.record};
  }
  const bool ratioShown = !ratio.empty();
  // Over a ratio point only when later than it.
  const auto plotCount = [&](int row, std::uint16_t pixel, const CountColumn& column) {
    const LatestRatio& latest = latestRatio_[static_cast<std::size_t>(row)];
    if (!ratioShown || latest.stamp != stamp_ || latest.record < lastEntryOn(column, row)) {
      set(row, pixel);
    }
  };
  const int memoryTop = memory != nullptr ? memory->top() : 1;
  const int memoryBottom = memory != nullptr ? memory->bottom() : 0;
  const int wordsTop = words != nullptr ? words->top() : 1;
  const int wordsBottom = words != nullptr ? words->bottom() : 0;
  for (int row = memoryTop; row <= memoryBottom; ++row) {
    if (row < wordsTop || row > wordsBottom) {
      plotCount(row, pixels.memory, *memory);
    } else if (lastEntryOn(*memory, row) > lastEntryOn(*words, row)) {
      plotCount(row, pixels.memory, *memory);
    } else {
      plotCount(row, pixels.words, *words);
    }
  }
  for (int row = wordsTop; row <= wordsBottom; ++row) {
    if (row < memoryTop || row > memoryBottom) plotCount(row, pixels.words, *words);
  }
}

namespace {

// The first entry from which on a count steps by less than a row at this scale.
std::size_t firstEntryWithinRows(const SampleLog& log, CountSeries series, double scale) {
  const double limit = std::floor(scale * kStepWithinARow);
  const std::uint64_t steps =
      limit >= 0x1p64 ? ~std::uint64_t{0} : static_cast<std::uint64_t>(limit);
  return log.firstEntryFrom(log.firstRecordSteppingWithin(series, steps));
}

}  // namespace

void GrowthPoints::plot(FrameBuffer& frame, const SampleLog& log, const GraphLayout& layout,
                        const GrowthScales& scales, const GrowthPixels& pixels) {
  if (!layout.hasColumns()) {
    plotEveryEntry(frame, log, layout, scales, pixels);
    return;
  }
  const int width = layout.width();
  const int height = layout.height();
  findColumnStarts(layout, log);
  const GraphKey key{log.identity(), layout};

  const CountRow memoryRow{layout.baseline(), scales.nodesScale, height};
  const CountRow wordsRow{layout.baseline(), scales.wordsScale, height};
  CountSeriesPlan memory{CountSeries::kNodes, memoryRow, scales.nodesScale > 0.0};
  CountSeriesPlan words{CountSeries::kWords, wordsRow, scales.wordsScale > 0.0};
  for (CountSeriesPlan* plan : {&memory, &words}) planCountSeries(log, key, *plan);
  RunPoints memoryRuns(log, CountSeries::kNodes, memoryRow, *memory.runs, memory.runsLimit);
  RunPoints wordsRuns(log, CountSeries::kWords, wordsRow, *words.runs, words.runsLimit);
  ratioColumns_.start(log, key, RatioRow{layout.baseline(), scales.ratioScale, height});

  // Counts kept per column belong to one log and layout, the pictures to those pixels too.
  if (!(key == countsKey_) || pixels.memory != picturePixels_.memory ||
      pixels.words != picturePixels_.words || pixels.ratio != picturePixels_.ratio) {
    picturePixels_ = pixels;
    columnCounts_.assign(static_cast<std::size_t>(width), ColumnCounts{});
    pictures_.assign(static_cast<std::size_t>(width), ColumnPicture{});
    countsKey_ = key;
  }
  // Each row function a number of its own, so that rows found with it are known to stay.
  for (auto [rowOf, kept, number] : {std::tuple{&memoryRow, &memoryRowKept_, &memoryRows_},
                                     std::tuple{&wordsRow, &wordsRowKept_, &wordsRows_}}) {
    if (!(*rowOf == *kept)) {
      *kept = *rowOf;
      ++*number;
    }
  }
  latestRatio_.resize(static_cast<std::size_t>(height));
  for (int x = 0; x < width; ++x) {
    const std::size_t begin = columnStarts_[static_cast<std::size_t>(x)];
    const std::size_t end = columnStarts_[static_cast<std::size_t>(x) + 1];
    if (begin == end) continue;
    bool ratioKept = false;
    const std::vector<SeriesPoint>& ratio = ratioColumns_.column(x, begin, end, ratioKept);
    const bool memoryInRows = memory.shown && begin >= memory.withinRowsFrom;
    const bool wordsInRows = words.shown && begin >= words.withinRowsFrom;
    const bool inRows = (memoryInRows || !memory.shown) && (wordsInRows || !words.shown);
    std::optional<CountColumn> memoryColumn;
    std::optional<CountColumn> wordsColumn;
    bool countsKept = true;
    if (memoryInRows || wordsInRows) {
      const ColumnCounts& counts =
          columnCounts(log, x, begin, end, memoryRow, wordsRow, countsKept);
      ColumnPicture& picture = pictures_[static_cast<std::size_t>(x)];
      if (inRows && ratioKept && countsKept && picture.replayable) {
        for (int i = 0; i < picture.size; ++i) frame.set(x, picture.rows[i], picture.pixels[i]);
        continue;
      }
      if (memoryInRows) {
        memoryColumn.emplace(log, CountSeries::kNodes, memoryRow, begin, end, counts.memoryHigh.row,
                             counts.memoryLow.row);
      }
      if (wordsInRows) {
        wordsColumn.emplace(log, CountSeries::kWords, wordsRow, begin, end, counts.wordsHigh.row,
                            counts.wordsLow.row);
      }
    }
    if (inRows) {
      plotColumn(frame, x, ratio, memoryColumn ? &*memoryColumn : nullptr,
                 wordsColumn ? &*wordsColumn : nullptr, pixels,
                 pictures_[static_cast<std::size_t>(x)]);
      continue;
    }
    pictures_[static_cast<std::size_t>(x)].replayable = false;
    memoryPoints_.clear();
    wordsPoints_.clear();
    addCountPoints(log, memory, memoryColumn, memoryRuns, begin, end, memoryPoints_);
    addCountPoints(log, words, wordsColumn, wordsRuns, begin, end, wordsPoints_);
    plotColumn(frame, x, ratio, pixels);
  }
}

// A column's counts are read again only when its entries changed or the last of them may still
// take in records; their rows are found again only when those changed or a scale moved them.
inline const GrowthPoints::ColumnCounts& GrowthPoints::columnCounts(
    const SampleLog& log, int x, std::size_t begin, std::size_t end, const CountRow& memoryRow,
    const CountRow& wordsRow, bool& kept) {
  ColumnCounts& c = columnCounts_[static_cast<std::size_t>(x)];
  // A row found for the same count with the same row function stays; others are found again,
  // or checked against their kept range.
  const bool memoryRowsStay = c.memoryRows == memoryRows_;
  const bool wordsRowsStay = c.wordsRows == wordsRows_;
  const auto update = [](const CountRow& rowOf, KeptRow& row, std::uint64_t count) {
    const int before = row.row;
    return rowOf.row(count, row) == before;
  };
  kept = true;
  if (c.begin != begin) {
    kept = false;
    c.begin = begin;
    update(memoryRow, c.memoryLow, log.lowCount(CountSeries::kNodes, begin));
    update(wordsRow, c.wordsLow, log.lowCount(CountSeries::kWords, begin));
  } else {
    if (!memoryRowsStay) kept &= update(memoryRow, c.memoryLow, c.memoryLow.count);
    if (!wordsRowsStay) kept &= update(wordsRow, c.wordsLow, c.wordsLow.count);
  }
  if (c.end != end || end > log.fixedEntries()) {
    kept = false;
    c.end = end;
    update(memoryRow, c.memoryHigh, log.highCount(CountSeries::kNodes, end - 1));
    update(wordsRow, c.wordsHigh, log.highCount(CountSeries::kWords, end - 1));
  } else {
    if (!memoryRowsStay) kept &= update(memoryRow, c.memoryHigh, c.memoryHigh.count);
    if (!wordsRowsStay) kept &= update(wordsRow, c.wordsHigh, c.wordsHigh.count);
  }
  c.memoryRows = memoryRows_;
  c.wordsRows = wordsRows_;
  return c;
}

// Where the counts never fall, columns from the first whose records all step by less than a row
// take the series as CountColumns; the runs are needed only in the columns before.
void GrowthPoints::planCountSeries(const SampleLog& log, const GraphKey& key,
                                   CountSeriesPlan& plan) {
  static const std::vector<CountRun> kNoRuns;
  plan.runs = &kNoRuns;
  plan.runsLimit = 0;
  plan.withinRowsFrom = log.entries();
  if (!plan.shown || !log.countsNeverFall()) return;
  plan.withinRowsFrom = firstEntryWithinRows(log, plan.series, plan.rowOf.scale);
  if (plan.withinRowsFrom == 0) return;
  // The runs reach to the end of the column holding the entry before.
  plan.runsLimit =
      *std::upper_bound(columnStarts_.begin(), columnStarts_.end(), plan.withinRowsFrom - 1);
  CountRuns& runs = plan.series == CountSeries::kWords ? wordsRuns_ : memoryRuns_;
  plan.runs = &runs.find(log, key, plan.series, plan.rowOf, plan.runsLimit);
}

void GrowthPoints::addCountPoints(const SampleLog& log, const CountSeriesPlan& plan,
                                  const std::optional<CountColumn>& column, RunPoints& runs,
                                  std::size_t begin, std::size_t end,
                                  std::vector<SeriesPoint>& points) {
  if (!plan.shown) return;
  if (column) {
    column->addPoints(points);
  } else if (log.countsNeverFall()) {
    runs.add(begin, end, points);
  } else {
    addEveryCount(log, begin, end, plan.series, plan.rowOf, points);
  }
}

void GrowthPoints::findColumnStarts(const GraphLayout& layout, const SampleLog& log) {
  const int width = layout.width();
  if (!(layout == edgesLayout_)) {
    edgesLayout_ = layout;
    edgeShares_.resize(static_cast<std::size_t>(width) + 1);
    for (int x = 0; x <= width; ++x) edgeShares_[static_cast<std::size_t>(x)] = layout.edgeShare(x);
  }
  columnStarts_.resize(static_cast<std::size_t>(width) + 1);
  for (int x = 0; x <= width; ++x) {
    const auto i = static_cast<std::size_t>(x);
    columnStarts_[i] = layout.firstRecordFrom(edgeShares_[i], x, log.size());
  }
  // A span belongs to the column of its first record.
  if (!log.exact()) {
    for (std::size_t& start : columnStarts_) start = log.firstEntryFrom(start);
  }
}

void GrowthPoints::plotEveryEntry(FrameBuffer& frame, const SampleLog& log,
                                  const GraphLayout& layout, const GrowthScales& scales,
                                  const GrowthPixels& pixels) {
  const int width = layout.width();
  const int height = layout.height();
  const CountRow memoryRow{layout.baseline(), scales.nodesScale, height};
  const CountRow wordsRow{layout.baseline(), scales.wordsScale, height};
  const RatioRow ratioRow{layout.baseline(), scales.ratioScale, height};
  for (std::size_t i = 0; i < log.entries(); ++i) {
    const int x = layout.columnOf(log.firstRecordOf(i), log.size());
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
