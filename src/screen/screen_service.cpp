#include "screen/screen_service.h"

#include <algorithm>

#include "screen/pixel_drawing.h"

namespace ws {

ScreenService::ScreenService(WindowHost* host) : host_(host), console_(frame_, pen_) {}

template <class Draw>
void ScreenService::drawLocked(long long firstRow, long long lastRow, Draw&& draw) {
  const bool ownLock = lock_.depth() == 0;
  if (ownLock) lock_.lock();
  draw();
  if (ownLock) {
    markRows(firstRow, lastRow);
    releaseLock();
  }
}

void ScreenService::markRows(long long firstRow, long long lastRow) {
  const long long first = std::max(firstRow, 0LL);
  const long long last = std::min(lastRow, static_cast<long long>(frame_.height()) - 1);
  if (first <= last) lock_.markChanged(static_cast<int>(first), static_cast<int>(last));
}

void ScreenService::releaseLock() {
  // The window thread may read the frame as soon as the lock is free: hand it over in order.
  if (lock_.depth() == 1) console_.frame();
  if (!lock_.unlock()) return;
  if (host_ == nullptr) return;
  if (resizePending_) {
    resizePending_ = false;
    host_->resizeWindow(frame_.width(), frame_.height());
  }
  host_->frameReady();
}

void ScreenService::openWindow(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  const bool ownLock = lock_.depth() == 0;
  if (ownLock && host_ != nullptr) {
    // Without the frame lock: the window thread may need it to finish a presentation first.
    host_->resizeWindow(width, height);
  } else if (host_ != nullptr) {
    resizePending_ = true;
  }
  if (ownLock) lock_.lock();
  console_.frame().resize(width, height);
  pen_ = PenColours{toRgb565(kWhite), toRgb565(kBlack)};
  if (!console_.reset(width / 8, height / 8)) console_.clearGrid();
  markRows(0, height - 1);
  if (ownLock) releaseLock();
}

void ScreenService::setTextGrid(int columns, int rows) {
  console_.reset(columns, rows);
}

void ScreenService::setColours(Colour foreground, Colour background) {
  pen_.foreground = toRgb565(foreground);
  pen_.background = toRgb565(background);
}

void ScreenService::lockScreen() {
  lock_.lock();
}

void ScreenService::unlockScreen(int firstRow, int lastRow) {
  if (lock_.depth() == 0) return;
  markRows(firstRow == -1 ? 0 : firstRow, lastRow == -1 ? frame_.height() - 1 : lastRow);
  releaseLock();
}

uint16_t ScreenService::pixelOf(std::optional<Colour> colour) const {
  return colour ? toRgb565(*colour) : pen_.foreground;
}

void ScreenService::plotPixel(float x, float y) {
  plot(x, y, pen_.foreground);
}

void ScreenService::plotPixel(float x, float y, Colour colour) {
  plot(x, y, toRgb565(colour));
}

void ScreenService::plot(float x, float y, uint16_t pixel) {
  FrameBuffer& frame = console_.frame();
  if (lock_.depth() > 0) {
    plotPoint(frame, x, y, pixel);
    return;
  }
  const double column = roundedCoordinate(x);
  const double row = roundedCoordinate(y);
  if (!(column >= 0.0 && column < frame.width() && row >= 0.0 && row < frame.height())) return;
  drawLocked(static_cast<long long>(row), static_cast<long long>(row),
             [&] { plotPoint(frame, x, y, pixel); });
}

void ScreenService::drawLine(float x1, float y1, float x2, float y2, std::optional<Colour> colour,
                             uint16_t style) {
  FrameBuffer& frame = console_.frame();
  const uint16_t pixel = pixelOf(colour);
  const double row1 = roundedCoordinate(y1);
  const double row2 = roundedCoordinate(y2);
  // Rows to present; clamped first so that far-away end points convert safely.
  const double limit = static_cast<double>(frame.height());
  const auto first = static_cast<long long>(std::clamp(std::min(row1, row2), -1.0, limit));
  const auto last = static_cast<long long>(std::clamp(std::max(row1, row2), -1.0, limit));
  drawLocked(first, last, [&] { drawStyledLine(frame, x1, y1, x2, y2, pixel, style); });
}

void ScreenService::drawText(float x, float y, std::string_view text,
                             std::optional<Colour> colour) {
  FrameBuffer& frame = console_.frame();
  const uint16_t pixel = pixelOf(colour);
  const double top = std::clamp(roundedCoordinate(y), -8.0, static_cast<double>(frame.height()));
  const auto first = static_cast<long long>(top);
  drawLocked(first, first + 7, [&] { drawGlyphText(frame, x, y, text, pixel); });
}

void ScreenService::setTextViewport(int top, int bottom) {
  console_.setTextViewport(top, bottom);
}

void ScreenService::clearScreen(ClearMode mode) {
  drawLocked(0, frame_.height() - 1, [&] { console_.clearScreen(mode); });
}

void ScreenService::moveCursor(int row, int column) {
  console_.moveCursor(row, column);
}

void ScreenService::printText(std::string_view text, bool lineEnd) {
  drawLocked(console_.firstViewportPixelRow(), console_.lastViewportPixelRow(),
             [&] { console_.printText(text, lineEnd); });
}

void ScreenService::printLineEnd() {
  printText({}, true);
}

bool ScreenService::presentChanges(const PresentFunction& f) {
  return lock_.present([&](int first, int last) { f(frame_, first, last); });
}

}  // namespace ws
