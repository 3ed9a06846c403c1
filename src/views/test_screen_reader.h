// Test support: reads the text cells and pixels of an in-memory screen back, so view tests can
// compare what was printed and print the region when a comparison fails.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>

#include "screen/colour.h"
#include "screen/font8x8.h"
#include "screen/screen_service.h"

namespace ws::testing {

class ScreenReader {
 public:
  explicit ScreenReader(ScreenService& screen) : screen_(screen) {}

  // The bytes in the cells of text row `row` (1-based), trailing blanks removed. A cell whose
  // pixels match no glyph reads as '\x01'. Only printable ASCII glyphs and blanks are recognised.
  std::string rowText(int row) const {
    const int columns = screen_.frame().width() / 8;
    std::string text = textAt(0, 8 * (row - 1), columns);
    const auto end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
  }

  // `length` glyphs read from cells whose top-left pixels are (x, y), (x + 8, y), ...
  std::string textAt(int x, int y, int length) const {
    std::string text;
    for (int i = 0; i < length; ++i) text += glyphAt(x + 8 * i, y);
    return text;
  }

  // The 5-6-5 value of the first glyph pixel of a cell, 0 for an empty cell.
  std::uint16_t cellInk(int row, int column) const {
    for (int dy = 0; dy < 8; ++dy) {
      for (int dx = 0; dx < 8; ++dx) {
        const std::uint16_t p = pixel(8 * (column - 1) + dx, 8 * (row - 1) + dy);
        if (p != 0) return p;
      }
    }
    return 0;
  }

  // The column (1-based) where `needle` starts in row `row`, 0 when absent.
  int columnOf(int row, const std::string& needle) const {
    const auto at = rowText(row).find(needle);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
  }

  std::uint16_t pixel(int x, int y) const { return screen_.frame().at(x, y); }

  // Rows first..last as text, one line each, for failure messages.
  std::string rows(int first, int last) const {
    std::ostringstream out;
    for (int row = first; row <= last; ++row) out << row << ": |" << rowText(row) << "|\n";
    return out.str();
  }

  // A pixel region as a map of its distinct values ('.' black, letters by first appearance).
  std::string region(int x0, int y0, int x1, int y1) const {
    std::ostringstream out;
    std::string legend;
    std::uint16_t seen[26] = {};
    int kinds = 0;
    for (int y = y0; y <= y1; ++y) {
      out << y << ":";
      for (int x = x0; x <= x1; ++x) {
        const std::uint16_t p = pixel(x, y);
        if (p == 0) {
          out << '.';
          continue;
        }
        int k = 0;
        while (k < kinds && seen[k] != p) ++k;
        if (k == kinds && kinds < 26) seen[kinds++] = p;
        out << static_cast<char>('a' + (k < 26 ? k : 25));
      }
      out << '\n';
    }
    for (int k = 0; k < kinds; ++k) out << static_cast<char>('a' + k) << "=" << seen[k] << ' ';
    return out.str();
  }

 private:
  char glyphAt(int x, int y) const {
    Glyph cell{};
    for (int dy = 0; dy < 8; ++dy) {
      for (int dx = 0; dx < 8; ++dx) {
        if (pixel(x + dx, y + dy) != 0) {
          cell[dy] = static_cast<std::uint8_t>(cell[dy] | (0x80 >> dx));
        }
      }
    }
    if (cell == Glyph{}) return ' ';
    for (int code = 33; code < 127; ++code) {
      if (glyphOf(static_cast<unsigned char>(code)) == cell) return static_cast<char>(code);
    }
    return '\x01';
  }

  ScreenService& screen_;
};

inline constexpr std::uint16_t kWhite565 = 0xFFFF;
inline constexpr std::uint16_t kYellow565 = 0xFFE0;
inline constexpr std::uint16_t kCyan565 = 0x07FF;
inline constexpr std::uint16_t kRed565 = 0xF800;

}  // namespace ws::testing
