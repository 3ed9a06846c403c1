#include "views/ratio_columns.h"

#include <algorithm>
#include <cmath>

namespace ws {

int RatioRow::exactRow(float ratio) const {
  return pixelOn(graphCoordinate(baseline - std::floor(scale * ratio)), height);
}

void RatioColumns::start(const SampleLog& log, const GraphKey& key, const RatioRow& rowOf) {
  if (!(key == key_) || !(rowOf == rowOf_)) {
    for (Column& c : columns_) {
      c.end = c.begin;
      c.points.clear();
      c.unfixedPoints = 0;
    }
  }
  log_ = &log;
  key_ = key;
  blocks_.catchUp(log);
  rowOf_ = rowOf;
  fixedEntries_ = log.fixedEntries();
  singleFixed_ = std::min(log.singleEntries(), fixedEntries_);
  crowded_ = static_cast<std::size_t>(std::max(rowOf.height, 0)) + kFewEntries;
  columns_.resize(static_cast<std::size_t>(std::max(key.layout.width(), 0)));
  taken_.resize(static_cast<std::size_t>(std::max(rowOf.height, 0)));
}

// Entries before `begin` leave: a point among them was the last of its row in the column, so no
// entry that stays has that row. Entries from the old end on arrive: each covers the point before
// it when they share a row.
void RatioColumns::moveOn(Column& column, std::size_t begin, std::size_t end) {
  auto& points = column.points;
  if (!points.empty() && points.front().record < begin) dropBefore(points, begin);
  const std::size_t singles = log_->singleEntries();
  for (std::size_t i = column.end; i < end; ++i) {
    if (i < singles) {
      const int row = rowOf_(log_->singleRatio(i));
      if (row >= 0 && row < rowOf_.height) addArrival(points, i, row);
    } else {
      rowOf_.addRows(log_->ratioSpan(i), [&](int row) { addArrival(points, i, row); });
    }
    // Spans may each bring a tall column of rows: found afresh, one point a row.
    if (points.size() > crowded_) {
      column.begin = begin;
      column.end = end;
      find(column);
      return;
    }
  }
  column.begin = begin;
  column.end = end;
}

void RatioColumns::dropBefore(std::vector<SeriesPoint>& points, std::size_t begin) {
  const auto staying = std::find_if(points.begin(), points.end(),
                                    [begin](const SeriesPoint& p) { return p.record >= begin; });
  points.erase(points.begin(), staying);
}

const std::vector<SeriesPoint>& RatioColumns::columnOfAnyEntries(Column& c, std::size_t begin,
                                                                 std::size_t end) {
  if (c.unfixedPoints > 0) {
    c.points.resize(c.points.size() - c.unfixedPoints);
    c.unfixedPoints = 0;
  }
  const std::size_t fixed = log_->fixedEntries();
  const std::size_t fixedEnd = end <= fixed ? end : std::max(begin, fixed);
  if (c.begin != begin || c.end != fixedEnd) {
    if (c.begin < c.end && c.begin <= begin && begin <= c.end && c.end <= fixedEnd &&
        fixedEnd - c.end <= kFewEntries && c.points.size() < crowded_) {
      moveOn(c, begin, fixedEnd);
    } else {
      c.begin = begin;
      c.end = fixedEnd;
      find(c);
    }
  }
  if (fixedEnd < end) {
    const std::size_t unfixed = end - 1;
    rowOf_.addRows(log_->ratioSpan(unfixed), [&](int row) {
      c.points.push_back(SeriesPoint{unfixed, row});
      ++c.unfixedPoints;
    });
  }
  return c.points;
}

// From the column's last entry backwards: each entry's points on rows no later entry took, then a
// skip over the earlier entries of the largest finished block around it whose extremes land on
// one row (they lie under its point).
void RatioColumns::find(Column& column) {
  const SampleLog& log = *log_;
  column.points.clear();
  ++stamp_;
  std::size_t end = column.end;
  while (end > column.begin) {
    const std::size_t i = end - 1;
    std::size_t next = i;
    for (int level = RatioBlocks::kLevels - 1; level >= 0; --level) {
      const std::size_t size = RatioBlocks::entriesPerBlock(level);
      const std::size_t k = i / size;
      if (k >= blocks_.count(level)) continue;
      const SampleBlock& b = blocks_.block(level, k);
      if (b.finiteRatios && rowOf_(b.lowRatio) == rowOf_(b.highRatio)) {
        next = std::max(column.begin, k * size);
        break;
      }
    }
    rowOf_.addRows(log.ratioSpan(i), [&](int row) {
      std::uint64_t& taken = taken_[static_cast<std::size_t>(row)];
      if (taken == stamp_) return;
      taken = stamp_;
      column.points.push_back(SeriesPoint{i, row});
    });
    end = next;
  }
  std::reverse(column.points.begin(), column.points.end());
}

}  // namespace ws
