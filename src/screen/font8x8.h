#pragma once
// The 8 x 8 glyphs of all 256 byte codes (the code page 437 glyph set).

#include <array>
#include <cstdint>

namespace ws {

// Row 0 is the top row; in each row bit 7 (0x80) is the leftmost pixel.
using Glyph = std::array<uint8_t, 8>;

extern const std::array<Glyph, 256> kFont8x8;

inline const Glyph& glyphOf(unsigned char code) {
  return kFont8x8[code];
}

}  // namespace ws
