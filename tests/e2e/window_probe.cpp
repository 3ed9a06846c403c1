// Opens the window through the real binding, draws a known picture and writes every key it reads
// to stdout as hex, one line per key ("key ff3e"). "+" and "-" switch to 1200 x 800 and back and
// redraw ("size 1200x800"); "h" holds and releases the frame lock (see holdOrRelease); Esc ends
// it with exit code 0. Driven by window_probe_test.py.

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>

#include "screen/colour.h"
#include "screen/screen_service.h"
#include "screen/window.h"

namespace {

using ws::Colour;
using ws::ScreenService;

constexpr Colour kGreen = 0xFF00FF00;
constexpr Colour kBlue = 0xFF0000FF;
constexpr int kBarHeight = 200;

// Four bars (red, green, blue, white) over the full width of rows 0..199, a yellow text at
// (16, 240) and a cyan last row, all shown by one unlock.
void drawPicture(ScreenService& screen) {
  const auto [width, height] = screen.windowSize();
  const Colour bars[] = {ws::kRed, kGreen, kBlue, ws::kWhite};
  screen.lockScreen();
  for (int bar = 0; bar < 4; ++bar) {
    const float left = static_cast<float>(bar * width / 4);
    const float right = static_cast<float>((bar + 1) * width / 4 - 1);
    for (int y = 0; y < kBarHeight; ++y) {
      screen.drawLine(left, static_cast<float>(y), right, static_cast<float>(y), bars[bar], 0xFFFF);
    }
  }
  screen.drawText(16, 240, "window_probe", ws::kYellow);
  const float bottom = static_cast<float>(height - 1);
  screen.drawLine(0, bottom, static_cast<float>(width - 1), bottom, ws::kCyan, 0xFFFF);
  screen.unlockScreen(-1, -1);
}

void openAndDraw(ScreenService& screen, int width, int height) {
  screen.openWindow(width, height);
  const auto [w, h] = screen.windowSize();
  screen.setTextGrid(w / 8, h / 8);
  drawPicture(screen);
  std::printf("size %dx%d\n", w, h);
  std::fflush(stdout);
}

// "h" takes the frame lock and draws a cyan block over rows 300..399 without showing it; the
// next "h" releases the lock, which shows the block.
void holdOrRelease(ScreenService& screen) {
  if (screen.lockDepth() > 0) {
    screen.unlockScreen(-1, -1);
    std::printf("released\n");
  } else {
    screen.lockScreen();
    const float right = static_cast<float>(screen.windowSize().first - 1);
    for (int y = 300; y < 400; ++y) {
      screen.drawLine(0, static_cast<float>(y), right, static_cast<float>(y), ws::kCyan, 0xFFFF);
    }
    std::printf("held\n");
  }
  std::fflush(stdout);
}

void reportKey(std::string_view key) {
  std::string hex;
  for (const unsigned char byte : key) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", byte);
    hex += digits;
  }
  std::printf("key %s\n", hex.c_str());
  std::fflush(stdout);
}

int probe(ScreenService& screen, ws::KeyRing& keys) {
  openAndDraw(screen, 640, 480);
  for (;;) {
    const std::string key = keys.take();
    if (key.empty()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    reportKey(key);
    if (key == "\x1B") return 0;
    if (key == "+") openAndDraw(screen, 1200, 800);
    if (key == "-") openAndDraw(screen, 640, 480);
    if (key == "h") holdOrRelease(screen);
  }
}

}  // namespace

int main() {
  return ws::runWithWindow(probe);
}
