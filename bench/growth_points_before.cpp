#include "growth_points_before.h"

#include <algorithm>
#include <cmath>

#include "views/graph_coordinate.h"

namespace ws {

namespace {

constexpr float kMargin = 10.0f;

}  // namespace

void GrowthPointsBefore::plot(FrameBuffer& frame, const SampleLog& log, const GraphLayout& layout,
                              const GrowthScales& scales, const GrowthPixels& pixels) {
  const int width = layout.width();
  const int height = layout.height();
  const double baseline = layout.baseline();
  blocks_.catchUp(log);
  const std::size_t records = log.size();

  // Where record i's points land. Each is a monotone function of the record's number or of one
  // of its values, so records whose extremes land on one pixel all land there.
  const auto column = [&](std::size_t i) {
    // In double: (width - 20) * i overflows 32 bits on a long run.
    return pixelOn(static_cast<float>(kMargin + (width - 20) * static_cast<double>(i) /
                                                    static_cast<double>(records)),
                   width);
  };
  const auto memoryRow = [&](std::uint64_t n) {
    return pixelOn(graphCoordinate(baseline - n / scales.nodesScale), height);
  };
  const auto wordsRow = [&](std::uint64_t n) {
    return pixelOn(graphCoordinate(baseline - n / scales.wordsScale), height);
  };
  const auto ratioRow = [&](float ratio) {
    return pixelOn(graphCoordinate(baseline - std::floor(scales.ratioScale * ratio)),
                   height);
  };
  const bool memoryShown = scales.nodesScale > 0.0;
  const bool wordsShown = scales.wordsScale > 0.0;

  if (width <= 20) {
    // Columns do not grow with the record number here; no window of the program is this narrow.
    for (std::size_t i = 0; i < records; ++i) {
      const int x = column(i);
      if (x < 0 || x >= width) continue;
      const SampleRecord r = log.record(i);
      const int rows[] = {memoryShown ? memoryRow(r.nodeCount) : -1,
                          wordsShown ? wordsRow(r.wordsTotal) : -1, ratioRow(r.ratio)};
      const std::uint16_t colours[] = {pixels.memory, pixels.words, pixels.ratio};
      for (int s = 0; s < 3; ++s) {
        if (rows[s] >= 0 && rows[s] < height) frame.set(x, rows[s], colours[s]);
      }
    }
    return;
  }

  // The records of column x are columnStarts_[x] .. columnStarts_[x + 1] - 1.
  columnStarts_.assign(static_cast<std::size_t>(width) + 1, records);
  std::size_t low = 0;
  for (int x = 0; x <= width; ++x) {
    // Searched near the column's ideal first record (x - 10.5) * records / (width - 20), and in
    // the whole rest of the log should rounding have moved it further.
    const double ideal = (x - kMargin - 0.5) * static_cast<double>(records) / (width - 20);
    const auto guess = static_cast<std::size_t>(std::clamp(ideal, 0.0, double(records)));
    std::size_t high = records;
    if (guess > low + 2 && column(guess - 2) < x) low = guess - 2;
    if (guess + 2 < high && column(guess + 2) >= x) high = guess + 2;
    while (low < high) {
      const std::size_t mid = low + (high - low) / 2;
      if (column(mid) >= x) {
        high = mid;
      } else {
        low = mid + 1;
      }
    }
    columnStarts_[static_cast<std::size_t>(x)] = low;
  }

  // Per series, the last record of each run of equal rows within begin..end - 1.
  const auto add = [&](std::size_t i, int series, int row, std::uint16_t pixel) {
    if (row >= 0 && row < height) points_.push_back({i, series, row, pixel});
  };
  // A count that never falls gives rows that never rise: each run is found by binary search.
  const auto addRunsOfCount = [&](std::size_t begin, std::size_t end, int series,
                                  std::uint16_t pixel, auto row) {
    while (end > begin) {
      const std::size_t i = end - 1;
      const int r = row(i);
      std::size_t first = begin;
      std::size_t last = row(begin) == r ? begin : i;  // mostly one run per column
      while (first < last) {
        const std::size_t mid = first + (last - first) / 2;
        if (row(mid) == r) {
          last = mid;
        } else {
          first = mid + 1;
        }
      }
      add(i, series, r, pixel);
      end = first;
    }
  };
  const auto addEveryRecord = [&](std::size_t begin, std::size_t end, int series,
                                  std::uint16_t pixel, auto row) {
    for (std::size_t i = begin; i < end; ++i) add(i, series, row(i), pixel);
  };
  // Ratios: where the largest block around a record has its extremes on one row, the block's
  // earlier records in the column lie under that record's point.
  const auto addRunsOfRatio = [&](std::size_t begin, std::size_t end) {
    while (end > begin) {
      const std::size_t i = end - 1;
      std::size_t next = i;
      for (int level = RatioBlocks::kLevels - 1; level >= 0; --level) {
        const std::size_t size = RatioBlocks::entriesPerBlock(level);
        const std::size_t k = i / size;
        if (k >= blocks_.count(level)) continue;
        const SampleBlock& b = blocks_.block(level, k);
        if (b.finiteRatios && ratioRow(b.lowRatio) == ratioRow(b.highRatio)) {
          next = std::max(begin, k * size);
          break;
        }
      }
      add(i, 2, ratioRow(log.record(i).ratio), pixels.ratio);
      end = next;
    }
  };

  const auto nodesRowOf = [&](std::size_t i) { return memoryRow(log.record(i).nodeCount); };
  const auto wordsRowOf = [&](std::size_t i) { return wordsRow(log.record(i).wordsTotal); };
  const bool countsNeverFall = log.countsNeverFall();
  for (int x = 0; x < width; ++x) {
    const std::size_t begin = columnStarts_[static_cast<std::size_t>(x)];
    const std::size_t end = columnStarts_[static_cast<std::size_t>(x) + 1];
    if (begin == end) continue;
    points_.clear();
    if (memoryShown) {
      if (countsNeverFall) {
        addRunsOfCount(begin, end, 0, pixels.memory, nodesRowOf);
      } else {
        addEveryRecord(begin, end, 0, pixels.memory, nodesRowOf);
      }
    }
    if (wordsShown) {
      if (countsNeverFall) {
        addRunsOfCount(begin, end, 1, pixels.words, wordsRowOf);
      } else {
        addEveryRecord(begin, end, 1, pixels.words, wordsRowOf);
      }
    }
    addRunsOfRatio(begin, end);
    // In plotting order, so that the last point on a pixel stays.
    std::sort(points_.begin(), points_.end(), [](const Point& a, const Point& b) {
      return a.record != b.record ? a.record < b.record : a.series < b.series;
    });
    for (const Point& p : points_) frame.set(x, p.row, p.pixel);
  }
}

}  // namespace ws
