#include "screen/code_page_437.h"

#include <array>

namespace ws {
namespace {

// The glyph of every code page 437 byte as a Unicode code point. Bytes 0 and 32..126 are not
// listed: 0 has no glyph to type, 32..126 are ASCII.
constexpr std::array<char32_t, 32> kLowGlyphs = {
    0,      0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  // 00..07
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,  // 08..0F
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  // 10..17
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,  // 18..1F
};
constexpr char32_t kHouseGlyph = 0x2302;  // byte 127

constexpr std::array<char32_t, 128> kHighGlyphs = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80..87
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88..8F
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90..97
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 98..9F
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0..A7
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8..AF
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0..B7
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8..BF
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0..C7
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8..CF
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0..D7
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8..DF
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0..E7
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // E8..EF
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0..F7
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F8..FF
};

// Length of the UTF-8 sequence that lead byte b starts, 0 when b cannot start one.
int sequenceLength(unsigned char b) {
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) return 2;
  if (b >= 0xE0 && b <= 0xEF) return 3;
  if (b >= 0xF0 && b <= 0xF4) return 4;
  return 0;
}

}  // namespace

std::optional<uint8_t> codePage437Byte(char32_t codePoint) {
  if (codePoint >= 32 && codePoint < 127) return static_cast<uint8_t>(codePoint);
  if (codePoint == kHouseGlyph) return 127;
  for (size_t i = 1; i < kLowGlyphs.size(); ++i) {
    if (kLowGlyphs[i] == codePoint) return static_cast<uint8_t>(i);
  }
  for (size_t i = 0; i < kHighGlyphs.size(); ++i) {
    if (kHighGlyphs[i] == codePoint) return static_cast<uint8_t>(0x80 + i);
  }
  return std::nullopt;
}

std::u32string decodeUtf8(std::string_view text) {
  std::u32string codePoints;
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = sequenceLength(lead);
    if (length == 0 || i + length > text.size()) {
      ++i;
      continue;
    }
    char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
    bool wellFormed = true;
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      wellFormed = wellFormed && (next & 0xC0) == 0x80;
      codePoint = (codePoint << 6) | (next & 0x3F);
    }
    // Overlong three- and four-byte forms, surrogates and values past U+10FFFF are not characters.
    const bool inRange =
        (length != 3 || (codePoint >= 0x800 && (codePoint < 0xD800 || codePoint > 0xDFFF))) &&
        (length != 4 || (codePoint >= 0x10000 && codePoint <= 0x10FFFF));
    if (!wellFormed || !inRange) {
      ++i;
      continue;
    }
    codePoints.push_back(codePoint);
    i += length;
  }
  return codePoints;
}

}  // namespace ws
