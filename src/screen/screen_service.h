#pragma once
// What the program draws on: the window's frame buffer, the current colours, pixel drawing, the
// text console and the frame lock. The keys typed into the window are a buffer of their own
// (screen/key_ring.h), and the time is the crawler's clock (screen/clock.h).
//
// Threads: every method except presentChanges belongs to the working thread; presentChanges
// belongs to the window thread. The frame lock is the mutual exclusion between drawing and
// presenting: the window thread reads the frame only inside presentChanges.
//
// Drawing and console calls made while the frame lock is held write into the frame buffer only;
// the unlock that brings the lock back to zero presents. Called outside a lock, each such call
// locks and unlocks around itself, so its own changes are shown at once.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "screen/colour.h"
#include "screen/frame_buffer.h"
#include "screen/frame_lock.h"
#include "screen/text_console.h"
#include "screen/window_host.h"

namespace ws {

class ScreenService {
 public:
  using ClearMode = ws::ClearMode;
  using PresentFunction = std::function<void(const FrameBuffer&, int firstRow, int lastRow)>;

  // host (may be nullptr: the screen then lives in memory only) must outlive the service.
  explicit ScreenService(WindowHost* host = nullptr);
  ScreenService(const ScreenService&) = delete;
  ScreenService& operator=(const ScreenService&) = delete;

  // Replaces the window by a black one of width x height pixels (negative sizes count as 0);
  // colours white on black, text grid width/8 x height/8, console reset. The host resizes its
  // window before the frame changes; while the frame lock is held that waits for the unlock.
  void openWindow(int width, int height);
  std::pair<int, int> windowSize() const { return {frame_.width(), frame_.height()}; }

  // Text grid of columns x rows 8 x 8 cells; resets the console. Ignored unless both are >= 1.
  void setTextGrid(int columns, int rows);
  std::pair<int, int> textGrid() const { return {console_.columns(), console_.rows()}; }

  void setColours(Colour foreground, Colour background);

  // Nesting frame lock. unlockScreen marks pixel rows firstRow..lastRow as changed (-1 means the
  // first / last row) and presents the changed rows when the lock returns to zero. An unlock
  // without a lock is ignored.
  void lockScreen();
  void unlockScreen(int firstRow = -1, int lastRow = -1);

  // Coordinates are rounded half away from zero; everything outside the window is clipped.
  // An omitted colour means the current foreground colour.
  void plotPixel(float x, float y);
  void plotPixel(float x, float y, Colour colour);
  void drawLine(float x1, float y1, float x2, float y2, std::optional<Colour> colour,
                uint16_t style);
  // Transparent glyphs; no control codes, no wrapping, the text cursor does not move.
  void drawText(float x, float y, std::string_view text, std::optional<Colour> colour);

  // For drawing many points at once without a call per point: the frame buffer itself, to be
  // written as plotPixel writes it (rounding and clipping are the caller's), and the pixel value
  // of the current foreground colour. REQUIRES: the frame lock is held; the changes are shown by
  // the unlock that brings it to zero, with the rows that unlock marks.
  FrameBuffer& drawingFrame() { return console_.frame(); }
  uint16_t foregroundPixel() const { return pen_.foreground; }

  // Text console (rows and columns 1-based, see TextConsole).
  void setTextViewport(int top, int bottom);
  void clearScreen(ClearMode mode = ClearMode::kDefault);
  void moveCursor(int row, int column);
  int cursorRow() const { return console_.cursorRow(); }
  // Rows of the text viewport.
  int textViewportRows() const { return console_.viewportBottom() - console_.viewportTop() + 1; }
  int cursorColumn() const { return console_.cursorColumn(); }
  bool pendingLineEnd() const { return console_.pendingLineEnd(); }
  void printText(std::string_view text, bool lineEnd = false);
  void printLineEnd();

  // Window thread: under the frame lock, hands the changed rows to f and clears the marks.
  // Does nothing (returns false) when no row changed. Around openWindow the frame's size may
  // briefly differ from the window's; f should show the rows and columns both have.
  bool presentChanges(const PresentFunction& f);

  // The picture as it will be shown. Tests, and the working thread while it holds the lock.
  const FrameBuffer& frame() { return console_.frame(); }
  int lockDepth() const { return lock_.depth(); }

 private:
  // Runs draw() under the frame lock; when no lock was held, takes one just for it and presents
  // pixel rows firstRow..lastRow (clipped to the frame) afterwards.
  template <class Draw>
  void drawLocked(long long firstRow, long long lastRow, Draw&& draw);
  void markRows(long long firstRow, long long lastRow);
  void plot(float x, float y, uint16_t pixel);
  void releaseLock();
  uint16_t pixelOf(std::optional<Colour> colour) const;

  WindowHost* host_;
  // Written through console_.frame() only, which hands it out with its rows in display order;
  // its size is read directly.
  FrameBuffer frame_;
  PenColours pen_;
  TextConsole console_;
  FrameLock lock_;
  bool resizePending_ = false;
};

}  // namespace ws
