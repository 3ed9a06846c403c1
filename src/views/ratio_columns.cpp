#include "views/ratio_columns.h"

#include <algorithm>
#include <cmath>

#include "views/graph_coordinate.h"

namespace ws {

int RatioRow::operator()(float ratio) const {
  return pixelOn(graphCoordinate(baseline - std::floor(scale * ratio)), height);
}

void RatioColumns::start(const SampleLog& log, const RatioRow& rowOf, int width) {
  if (log.identity() != identity_ || !(rowOf == rowOf_)) {
    for (Column& c : columns_) c.end = c.begin;
  }
  log_ = &log;
  identity_ = log.identity();
  rowOf_ = rowOf;
  columns_.resize(static_cast<std::size_t>(std::max(width, 0)));
}

const std::vector<SeriesPoint>& RatioColumns::column(int x, std::size_t begin, std::size_t end) {
  // A few new records cost less to add one by one than the search from the column's end.
  constexpr std::size_t kFewRecords = 16;
  Column& c = columns_[static_cast<std::size_t>(x)];
  if (c.begin == begin && c.end == end) return c.points;
  if (c.begin < c.end && c.begin <= begin && begin <= c.end && c.end <= end &&
      end - c.end <= kFewRecords) {
    moveOn(c, begin, end);
  } else {
    c.begin = begin;
    c.end = end;
    find(c);
  }
  return c.points;
}

// Records before `begin` leave: a point among them was the last of its row in the column, so no
// record that stays has that row. Records from the old end on arrive: each covers the point
// before it when they share a row.
void RatioColumns::moveOn(Column& column, std::size_t begin, std::size_t end) const {
  auto& points = column.points;
  const auto staying = std::find_if(points.begin(), points.end(),
                                    [begin](const SeriesPoint& p) { return p.record >= begin; });
  points.erase(points.begin(), staying);
  for (std::size_t i = column.end; i < end; ++i) {
    const int row = rowOf_(log_->record(i).ratio);
    if (row < 0 || row >= rowOf_.height) continue;
    if (!points.empty() && points.back().row == row) {
      points.back().record = i;
    } else {
      points.push_back(SeriesPoint{i, row});
    }
  }
  column.begin = begin;
  column.end = end;
}

// From the column's last record backwards: each record's point, then a skip over the earlier
// records of the largest finished block around it whose extremes land on its row (they lie under
// its point).
void RatioColumns::find(Column& column) const {
  const SampleLog& log = *log_;
  column.points.clear();
  std::size_t end = column.end;
  while (end > column.begin) {
    const std::size_t i = end - 1;
    std::size_t next = i;
    for (int level = SampleLog::kBlockLevels - 1; level >= 0; --level) {
      const std::size_t size = SampleLog::blockRecords(level);
      const std::size_t k = i / size;
      if (k >= log.blockCount(level)) continue;
      const SampleBlock& b = log.block(level, k);
      if (b.finiteRatios && rowOf_(b.lowRatio) == rowOf_(b.highRatio)) {
        next = std::max(column.begin, k * size);
        break;
      }
    }
    const int row = rowOf_(log.record(i).ratio);
    if (row >= 0 && row < rowOf_.height) column.points.push_back(SeriesPoint{i, row});
    end = next;
  }
  std::reverse(column.points.begin(), column.points.end());
}

}  // namespace ws
