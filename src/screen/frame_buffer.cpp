#include "screen/frame_buffer.h"

#include <algorithm>
#include <cstring>

namespace ws {

void FrameBuffer::resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
}

void FrameBuffer::fillRows(int first, int last, uint16_t pixel) {
  first = std::max(first, 0);
  last = std::min(last, height_ - 1);
  if (first > last) return;
  std::fill(pixels_.begin() + static_cast<std::ptrdiff_t>(index(0, first)),
            pixels_.begin() + static_cast<std::ptrdiff_t>(index(0, last + 1)), pixel);
}

void FrameBuffer::scrollRowsUp(int first, int last, int distance) {
  const int moved = last - first + 1 - distance;
  if (moved <= 0 || distance <= 0) return;
  std::memmove(row(first), row(first + distance),
               static_cast<size_t>(moved) * static_cast<size_t>(width_) * sizeof(uint16_t));
}

}  // namespace ws
