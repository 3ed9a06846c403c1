// Coordinates of the growth graph as the screen turns them into pixels.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "screen/pixel_drawing.h"

namespace ws {

// A computed coordinate of the graph for the screen, which rounds floats to pixels. Values far off
// the window (a huge scale, a NaN from a damaged log) are pinned well outside it, so the screen
// still drops them and never meets a float it cannot turn into a pixel position.
inline float graphCoordinate(double v) {
  constexpr double kFar = 1.0e6;
  if (std::isnan(v)) return static_cast<float>(-kFar);
  return static_cast<float>(std::clamp(v, -kFar, kFar));
}

// The pixel a coordinate falls on along an axis of `limit` pixels, as plotPixel rounds it; -1 for
// every position before the window and `limit` for every one beyond. Never decreases as v grows.
inline int pixelOn(float v, int limit) {
  const double p = roundedCoordinate(v);
  if (!(p >= 0.0)) return -1;
  if (p >= limit) return limit;
  return static_cast<int>(p);
}

// The column of record i of `records` in a window `width` pixels wide: where plotPixel puts
// 10 + (width - 20) * i / records.
inline int recordColumn(std::size_t i, std::size_t records, int width) {
  // In double: (width - 20) * i overflows 32 bits on a long run.
  return pixelOn(static_cast<float>(10.0 + (width - 20) * static_cast<double>(i) /
                                               static_cast<double>(records)),
                 width);
}

// Where the records of column x and later begin, as a share of all records: 0 for the columns up
// to 10, where record 0 lies. Column x or later: the position, rounded to a float, is at least
// x - 0.5, so the double is at least the midpoint between x - 0.5 and the float below it (a tie
// rounds to x - 0.5, whose last significand bit is 0). REQUIRES: width > 20.
inline double columnEdgeShare(int x, int width) {
  if (x <= 10) return 0.0;
  const float edge = static_cast<float>(x) - 0.5f;
  const double from = edge - (static_cast<double>(edge) - std::nextafter(edge, 0.0f)) / 2.0;
  return (from - 10.0) / (width - 20);
}

// The first record whose column is x or later, `records` when there is none, from the column's
// columnEdgeShare: without computing any record's column unless float rounding could put the
// records next to the edge on either side of it. REQUIRES: width > 20, 1 <= records < 2^62.
inline std::size_t firstRecordFromEdge(double edgeShare, int x, std::size_t records, int width) {
  if (edgeShare <= 0.0) return 0;
  const double n = static_cast<double>(static_cast<std::int64_t>(records));
  const double ideal = edgeShare * n;
  // The positions lie within a few units in the last place of their exact values, `ideal` too.
  const double doubt = n * 0x1p-45 + 0x1p-20;
  if (ideal >= n + doubt) return records;
  const auto below = static_cast<std::int64_t>(ideal);
  const double inside = ideal - static_cast<double>(below);
  if (inside > doubt && inside < 1.0 - doubt) {
    return std::min(static_cast<std::size_t>(below) + 1, records);
  }
  auto guess = std::min(static_cast<std::size_t>(below), records);
  while (guess > 0 && recordColumn(guess - 1, records, width) >= x) --guess;
  while (guess < records && recordColumn(guess, records, width) < x) ++guess;
  return guess;
}

inline std::size_t firstRecordInColumn(int x, std::size_t records, int width) {
  return firstRecordFromEdge(columnEdgeShare(x, width), x, records, width);
}

// A point of one series in one window column: the log entry it comes from and its row.
struct SeriesPoint {
  std::size_t record;  // the entry's number
  int row;
};

// A step between two records smaller than this many rows moves their points by at most one row,
// float rounding included.
inline constexpr double kStepWithinARow = 1.0 - 0x1p-10;

// Where the points of a span of records land in a window column, from the rows of its first,
// last, smallest and largest values: when no step between two of its records reaches a row
// (`fills`), they visit every row between the rows of its extremes; else only those four rows are
// known. Calls add(row) once for each such row in 0 .. height - 1.
template <class Add>
void addSpanRows(int first, int last, int low, int high, bool fills, int height, Add&& add) {
  if (fills) {
    const int top = std::max(std::min(low, high), 0);
    const int bottom = std::min(std::max(low, high), height - 1);
    for (int row = top; row <= bottom; ++row) add(row);
    return;
  }
  const int rows[] = {first, last, low, high};
  for (int i = 0; i < 4; ++i) {
    if (rows[i] < 0 || rows[i] >= height) continue;
    bool seen = false;
    for (int j = 0; j < i; ++j) seen = seen || rows[j] == rows[i];
    if (!seen) add(rows[i]);
  }
}

}  // namespace ws
