#include "screen/text_console.h"

#include <algorithm>
#include <array>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "screen/font8x8.h"

namespace ws {
namespace {

constexpr int kCell = 8;

#ifdef __SSE2__
// For each glyph row byte, eight 16-bit lanes that are all ones where the row's pixel is set
// (the leftmost pixel is the byte's top bit): a row of a cell is then drawn in one store.
constexpr auto kRowMasks = [] {
  std::array<std::array<uint16_t, kCell>, 256> masks{};
  for (int bits = 0; bits < 256; ++bits) {
    for (int x = 0; x < kCell; ++x) masks[bits][x] = (bits & (0x80 >> x)) ? 0xFFFF : 0;
  }
  return masks;
}();
#endif

// One row of a cell: `width` pixels from `pixels` on, foreground where `bits` has a pixel set.
void drawGlyphRow(uint16_t* pixels, uint8_t bits, int width, uint16_t foreground,
                  uint16_t background) {
#ifdef __SSE2__
  if (width == kCell) {
    const __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRowMasks[bits].data()));
    const __m128i row =
        _mm_or_si128(_mm_and_si128(mask, _mm_set1_epi16(static_cast<int16_t>(foreground))),
                     _mm_andnot_si128(mask, _mm_set1_epi16(static_cast<int16_t>(background))));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), row);
    return;
  }
#endif
  for (int gx = 0; gx < width; ++gx) {
    pixels[gx] = (bits & (0x80 >> gx)) ? foreground : background;
  }
}

}  // namespace

bool TextConsole::reset(int columns, int rows) {
  if (columns < 1 || rows < 1) return false;
  settle();
  columns_ = columns;
  rows_ = rows;
  top_ = 1;
  bottom_ = rows;
  row_ = 1;
  column_ = 1;
  pendingLineEnd_ = false;
  return true;
}

bool TextConsole::setTextViewport(int top, int bottom) {
  if (!ready()) return false;
  if (top == 0) top = 1;
  if (bottom == 0) bottom = rows_;
  if (bottom < top || top < 1 || bottom > rows_) return false;
  settle();
  top_ = top;
  bottom_ = bottom;
  row_ = top;
  column_ = 1;
  pendingLineEnd_ = false;
  return true;
}

int TextConsole::firstViewportPixelRow() const {
  return std::clamp((top_ - 1) * kCell, 0, frame_.height());
}

int TextConsole::lastViewportPixelRow() const {
  return std::min(bottom_ * kCell, frame_.height()) - 1;
}

void TextConsole::clearScreen(ClearMode mode) {
  if (!ready()) return;
  if (mode == ClearMode::kDefault && top_ == 1 && bottom_ == rows_) {
    frame_.fillRows(0, frame_.height() - 1, pen_.background);
  } else {
    frame_.fillRows(firstViewportPixelRow(), lastViewportPixelRow(), pen_.background);
  }
  rotation_ = 0;  // every viewport row is blank: their order no longer matters
  row_ = top_;
  column_ = 1;
  pendingLineEnd_ = false;
}

bool TextConsole::moveCursor(int row, int column) {
  pendingLineEnd_ = false;
  if (row != 0 && (row < top_ || row > bottom_)) return false;
  if (column != 0 && (column < 1 || column > columns_)) return false;
  if (row != 0) row_ = row;
  if (column != 0) column_ = column;
  return true;
}

void TextConsole::printText(std::string_view text, bool lineEnd) {
  if (!ready()) return;
  for (const char byte : text) printByte(static_cast<unsigned char>(byte));
  if (lineEnd) {
    printByte(13);
    printByte(10);
  }
}

void TextConsole::printByte(unsigned char byte) {
  if (pendingLineEnd_) {
    pendingLineEnd_ = false;
    column_ = 1;
    nextRow();
  }
  switch (byte) {
    case 7:  // beep: the screen has no sound; nothing is drawn
      return;
    case 8:
      if (column_ > 1) --column_;
      return;
    case 9: {
      // Blanks up to the next tab column (1 + a multiple of 8), never past the row's end.
      const int blanks = std::min(kCell - (column_ - 1) % kCell, columns_ - column_ + 1);
      for (int i = 0; i < blanks; ++i) printByte(' ');
      return;
    }
    case 13:
      column_ = 1;
      return;
    case 10:
      column_ = 1;
      nextRow();
      return;
    default:
      putCell(byte);
  }
}

void TextConsole::putCell(unsigned char code) {
  const Glyph& glyph = glyphOf(code);
  const int left = (column_ - 1) * kCell;
  const int top = (storedRow(row_) - 1) * kCell;
  const int width = std::min(kCell, frame_.width() - left);
  for (int gy = 0; gy < kCell && top + gy < frame_.height() && width > 0; ++gy) {
    drawGlyphRow(frame_.row(top + gy) + left, glyph[gy], width, pen_.foreground, pen_.background);
  }
  if (column_ < columns_) {
    ++column_;
  } else if (row_ < bottom_) {
    column_ = 1;
    ++row_;
  } else {
    // The wrap below the bottom row scrolls only when the next byte arrives.
    pendingLineEnd_ = true;
  }
}

void TextConsole::nextRow() {
  if (row_ < bottom_) {
    ++row_;
  } else {
    scrollViewport();
  }
}

bool TextConsole::viewportInsideFrame() const {
  return bottom_ * kCell <= frame_.height();
}

int TextConsole::storedRow(int row) const {
  if (rotation_ == 0) return row;
  const int height = bottom_ - top_ + 1;
  return top_ + (row - top_ + rotation_) % height;
}

void TextConsole::unrotate() {
  uint16_t* first = frame_.row((top_ - 1) * kCell);
  const auto rowPixels = static_cast<std::ptrdiff_t>(frame_.width()) * kCell;
  std::rotate(first, first + rotation_ * rowPixels, first + (bottom_ - top_ + 1) * rowPixels);
  rotation_ = 0;
}

void TextConsole::scrollViewport() {
  if (viewportInsideFrame()) {
    // The top row's pixels become the new bottom row, blanked.
    const int stored = storedRow(top_);
    rotation_ = (rotation_ + 1) % (bottom_ - top_ + 1);
    frame_.fillRows((stored - 1) * kCell, stored * kCell - 1, pen_.background);
    return;
  }
  const int first = firstViewportPixelRow();
  const int last = lastViewportPixelRow();
  if (first > last) return;
  frame_.scrollRowsUp(first, last, kCell);
  frame_.fillRows(std::max(first, last - kCell + 1), last, pen_.background);
}

}  // namespace ws
