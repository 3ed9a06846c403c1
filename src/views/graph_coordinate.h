// Coordinates of the growth graph as the screen turns them into pixels, and the rows a span of
// records puts a series on (where the columns lie is GraphLayout's).
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
