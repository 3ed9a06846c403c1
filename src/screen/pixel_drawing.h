#pragma once
// Pixel operations on a frame buffer: coordinate rounding, points, styled lines, transparent text.
// Everything is clipped to the frame; nothing allocates.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "screen/frame_buffer.h"

namespace ws {

// Rounds half away from zero: 2.5 -> 3, -2.5 -> -3, 0.49 -> 0. Exact for every finite float
// (computed in double); NaN and infinities pass through.
inline double roundedCoordinate(float v) {
  const double d = v;
  return d > 0.0 ? std::trunc(d + 0.5) : std::trunc(d - 0.5);
}

void plotPoint(FrameBuffer& frame, float x, float y, uint16_t pixel);

// Line between the rounded end points, both included. The k-th pixel from (x1, y1) (k = 0 at that
// end) is set when bit 15 - (k mod 16) of style is 1. Only pixels inside the frame are visited, so
// far-away end points cost nothing. A non-finite coordinate draws nothing.
void drawStyledLine(FrameBuffer& frame, float x1, float y1, float x2, float y2, uint16_t pixel,
                    uint16_t style);

// Draws the glyph of each byte, the first cell's top-left pixel at the rounded (x, y), each next
// cell 8 pixels to the right; only the set glyph pixels are written.
void drawGlyphText(FrameBuffer& frame, float x, float y, std::string_view text, uint16_t pixel);

}  // namespace ws
