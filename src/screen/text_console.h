#pragma once
// Text at rows and columns of 8 x 8 cells, printed into the frame buffer inside a text viewport
// that scrolls. Rows and columns are 1-based; text row r covers pixel rows 8(r-1)..8r-1.
//
// Invariant (grid not empty): top <= cursor row <= bottom and 1 <= cursor column <= columns.
// While pendingLineEnd() is set the cursor stands on (bottom, columns) and the line end that the
// last printed byte owes is settled by the next printed byte (scrolling first).
//
// Scrolling a viewport that lies inside the frame moves no pixels: the viewport's text rows are
// kept rotated in place until someone else needs the pixels. Besides the console, everyone reads
// and draws the frame through frame(), which puts the rows back in display order first.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "screen/frame_buffer.h"

namespace ws {

// The current text colours as pixel values; owned by the screen, read at every print.
struct PenColours {
  uint16_t foreground = 0xFFFF;
  uint16_t background = 0x0000;
};

enum class ClearMode { kDefault, kViewport };

// The text cells that `pixels` pixels come to, to the nearest whole 8-pixel cell: the text grid
// the program sets for a window (80 x 60 at 640 x 480).
inline int textCells(int pixels) {
  return static_cast<int>(std::lround(pixels / 8.0));
}

class TextConsole {
 public:
  // frame and pen must outlive the console. The grid starts empty (nothing is printed).
  TextConsole(FrameBuffer& frame, const PenColours& pen) : frame_(frame), pen_(pen) {}

  // Sets the grid to columns x rows and resets cursor (1, 1), viewport 1..rows and the pending
  // line end. Returns false and changes nothing when columns or rows is below 1.
  bool reset(int columns, int rows);

  // Makes the grid empty: printing and clearing do nothing until the next reset.
  void clearGrid() { columns_ = rows_ = 0; }

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  int viewportTop() const { return top_; }
  int viewportBottom() const { return bottom_; }
  int cursorRow() const { return row_; }
  int cursorColumn() const { return column_; }
  bool pendingLineEnd() const { return pendingLineEnd_; }

  // top 0 means row 1, bottom 0 means the last row. Refused (false, nothing changes) when
  // bottom < top, top < 1 or bottom > rows; else the cursor goes to (top, 1).
  bool setTextViewport(int top, int bottom);

  // Fills the viewport's pixel rows (kDefault with a viewport over all rows: the whole frame)
  // with the background colour; cursor to (top, 1).
  void clearScreen(ClearMode mode);

  // row 0 keeps the row, column 0 the column. Refused (false, cursor unchanged) when a non-zero
  // row lies outside the viewport or a non-zero column outside 1..columns. Always cancels the
  // pending line end.
  bool moveCursor(int row, int column);

  // Prints the bytes of text (7 beep, 8 back, 9 tab, 10 line feed, 13 carriage return, every
  // other byte an opaque glyph cell), then CR LF when lineEnd is set.
  void printText(std::string_view text, bool lineEnd = false);
  void printLineEnd() { printText({}, true); }

  // The frame with every row in display order (deferred scrolls are put back first; cheap when
  // nothing scrolled since the last call). The console's own printing may rotate rows again.
  FrameBuffer& frame() {
    settle();
    return frame_;
  }

  // Pixel rows the viewport covers (clipped to the frame); empty range when first > last.
  int firstViewportPixelRow() const;
  int lastViewportPixelRow() const;

 private:
  bool ready() const { return columns_ > 0 && rows_ > 0; }
  void settle() {
    if (rotation_ != 0) unrotate();
  }
  void printByte(unsigned char byte);
  void putCell(unsigned char code);
  void nextRow();
  void scrollViewport();
  bool viewportInsideFrame() const;
  int storedRow(int row) const;  // text row that holds viewport row `row` while rotated
  void unrotate();

  FrameBuffer& frame_;
  const PenColours& pen_;
  int columns_ = 0;
  int rows_ = 0;
  int top_ = 1;
  int bottom_ = 0;
  int row_ = 1;
  int column_ = 1;
  bool pendingLineEnd_ = false;
  int rotation_ = 0;  // viewport row top + i is stored in row top + (i + rotation_) mod height
};

}  // namespace ws
