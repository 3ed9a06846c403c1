#pragma once
// The window's picture: width x height pixels of RGB 5-6-5, row by row, top row first.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ws {

class FrameBuffer {
 public:
  FrameBuffer() = default;

  // Replaces the picture by a black one of the new size (negative sizes count as 0).
  void resize(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }

  // REQUIRES: 0 <= x < width(), 0 <= y < height().
  uint16_t at(int x, int y) const { return pixels_[index(x, y)]; }
  void set(int x, int y, uint16_t pixel) { pixels_[index(x, y)] = pixel; }

  // The width() pixels of row y; valid until the next resize.
  // REQUIRES: 0 <= y < height().
  const uint16_t* row(int y) const { return pixels_.data() + index(0, y); }
  uint16_t* row(int y) { return pixels_.data() + index(0, y); }

  // Fills the pixel rows first..last (inclusive, clipped to the picture) over the full width.
  void fillRows(int first, int last, uint16_t pixel);

  // Moves the pixel rows first + distance..last up by distance rows, over the full width; the
  // rows last - distance + 1..last keep their old pixels. Rows outside first..last never change.
  // REQUIRES: 0 <= first, last < height(), distance >= 0.
  void scrollRowsUp(int first, int last, int distance);

 private:
  std::size_t index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<uint16_t> pixels_;
};

}  // namespace ws
