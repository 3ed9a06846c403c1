#pragma once
// What the views draw on: a frame of the screen held locked for as long as the canvas lives.
// Pixels, lines, glyph text, colours and the text console land in the frame buffer only; the
// whole picture is shown at once when the canvas goes and the frame lock returns to zero. So
// no view can show half a picture, and none sees keys or the time.

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "screen/colour.h"
#include "screen/frame_buffer.h"
#include "screen/screen_service.h"

namespace ws {

class Canvas {
 public:
  // Takes the frame lock of `screen`, which must outlive the canvas.
  explicit Canvas(ScreenService& screen) : screen_(screen) { screen_.lockScreen(); }
  // Gives the lock back (on every way out), marking the whole frame as changed.
  ~Canvas() { screen_.unlockScreen(-1, -1); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  std::pair<int, int> windowSize() const { return screen_.windowSize(); }
  void setColours(Colour foreground, Colour background) {
    screen_.setColours(foreground, background);
  }

  // Coordinates rounded half away from zero, everything outside the window clipped; an omitted
  // colour is the current foreground colour.
  void plotPixel(float x, float y) { screen_.plotPixel(x, y); }
  void plotPixel(float x, float y, Colour colour) { screen_.plotPixel(x, y, colour); }
  // A pixel at whole coordinates, clipped: the dot fields' many points, without rounding.
  void plotDot(std::int64_t x, std::int64_t y, std::uint16_t pixel) {
    FrameBuffer& frame = screen_.drawingFrame();
    if (x >= 0 && x < frame.width() && y >= 0 && y < frame.height()) {
      frame.set(static_cast<int>(x), static_cast<int>(y), pixel);
    }
  }
  void drawLine(float x1, float y1, float x2, float y2, std::optional<Colour> colour,
                uint16_t style) {
    screen_.drawLine(x1, y1, x2, y2, colour, style);
  }
  void drawText(float x, float y, std::string_view text, std::optional<Colour> colour) {
    screen_.drawText(x, y, text, colour);
  }

  // For writing many points without a call per point: the frame itself (clipping is the
  // writer's) and the pixel of the current foreground colour.
  FrameBuffer& frame() { return screen_.drawingFrame(); }
  uint16_t foregroundPixel() const { return screen_.foregroundPixel(); }

  // The text console (rows and columns 1-based, see TextConsole).
  void setTextViewport(int top, int bottom) { screen_.setTextViewport(top, bottom); }
  void clearScreen(ClearMode mode = ClearMode::kDefault) { screen_.clearScreen(mode); }
  void moveCursor(int row, int column) { screen_.moveCursor(row, column); }
  int cursorRow() const { return screen_.cursorRow(); }
  int cursorColumn() const { return screen_.cursorColumn(); }
  int textViewportRows() const { return screen_.textViewportRows(); }
  bool pendingLineEnd() const { return screen_.pendingLineEnd(); }
  void printText(std::string_view text, bool lineEnd = false) { screen_.printText(text, lineEnd); }
  void printLineEnd() { screen_.printLineEnd(); }

 private:
  ScreenService& screen_;
};

}  // namespace ws
