#pragma once
// Test helpers: a frame region as ASCII art ('#' for pixels that differ from the background,
// '.' for the rest), so that a failing picture comparison shows what was drawn.

#include <cstdint>
#include <string>
#include <vector>

#include "screen/frame_buffer.h"

namespace ws::testing {

inline std::string pictureOf(const FrameBuffer& frame, int left, int top, int right, int bottom,
                             uint16_t background = 0) {
  std::string art;
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) art += frame.at(x, y) != background ? '#' : '.';
    art += '\n';
  }
  return art;
}

// Columns of row y whose pixel differs from background.
inline std::vector<int> setColumns(const FrameBuffer& frame, int y, uint16_t background = 0) {
  std::vector<int> columns;
  for (int x = 0; x < frame.width(); ++x) {
    if (frame.at(x, y) != background) columns.push_back(x);
  }
  return columns;
}

inline int countSet(const FrameBuffer& frame, uint16_t background = 0) {
  int count = 0;
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) count += frame.at(x, y) != background;
  }
  return count;
}

}  // namespace ws::testing
