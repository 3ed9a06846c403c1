#pragma once
// Colours as the program names them (32-bit 0xAARRGGBB) and their reduction to the
// 16-bit RGB 5-6-5 pixels of the frame buffer.

#include <cstdint>

namespace ws {

using Colour = uint32_t;

inline constexpr Colour kWhite = 0xFFFFFFFF;
inline constexpr Colour kYellow = 0xFFFFFF00;
inline constexpr Colour kCyan = 0xFF00FFFF;
inline constexpr Colour kRed = 0xFFFF0000;
inline constexpr Colour kBlack = 0xFF000000;

// Pixel value of a colour: bits 23..19 become red (15..11), bits 15..10 green (10..5) and
// bits 7..3 blue (4..0). Low bits are dropped, never rounded; alpha is ignored.
constexpr uint16_t toRgb565(Colour colour) {
  return static_cast<uint16_t>(((colour >> 19) & 0x1F) << 11 | ((colour >> 10) & 0x3F) << 5 |
                               ((colour >> 3) & 0x1F));
}

}  // namespace ws
