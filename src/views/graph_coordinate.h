// Coordinates of the growth graph as the screen turns them into pixels.
#pragma once

#include <algorithm>
#include <cmath>

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

}  // namespace ws
