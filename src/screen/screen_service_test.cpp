#include "screen/screen_service.h"

#include "screen/clock.h"
#include "screen/key_ring.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "screen/font8x8.h"
#include "screen/test_picture.h"

namespace ws {
namespace {

using testing::countSet;
using ::testing::ElementsAre;

TEST(Colour, NamedColoursReduceByDroppingLowBits) {
  EXPECT_EQ(toRgb565(kCyan), 0x07FF);
  EXPECT_EQ(toRgb565(kYellow), 0xFFE0);
  EXPECT_EQ(toRgb565(kBlack), 0x0000);
  EXPECT_EQ(toRgb565(kWhite), 0xFFFF);
  EXPECT_EQ(toRgb565(kRed), 0xF800);
  // Alpha is ignored and low bits are dropped, not rounded.
  EXPECT_EQ(toRgb565(0x00FFFFFF), 0xFFFF);
  EXPECT_EQ(toRgb565(0xFF070307), 0x0000);
  EXPECT_EQ(toRgb565(0xFF080408), 0x0821);
  EXPECT_EQ(toRgb565(0xFF271019), 0x2083);
}

// Records what the window side sees. Presents on request, as the window thread would.
class RecordingHost : public WindowHost {
 public:
  void resizeWindow(int width, int height) override {
    resizes.emplace_back(width, height);
    // The frame lock must be free here: a presentation on another thread has to get through.
    if (screen != nullptr) {
      auto done = std::async(std::launch::async, [this] { screen->presentChanges(noteRows); });
      resizeCouldPresent = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    }
  }
  void frameReady() override { ++framesReady; }

  ScreenService* screen = nullptr;
  std::vector<std::pair<int, int>> resizes;
  bool resizeCouldPresent = false;
  int framesReady = 0;
  ScreenService::PresentFunction noteRows = [](const FrameBuffer&, int, int) {};
};

struct Presented {
  bool called = false;
  int first = -1;
  int last = -1;
};

Presented presentNow(ScreenService& screen) {
  Presented seen;
  screen.presentChanges([&](const FrameBuffer&, int first, int last) {
    seen = {true, first, last};
  });
  return seen;
}

TEST(ScreenService, OpenWindowGivesABlackWindowWithDefaults) {
  RecordingHost host;
  ScreenService screen(&host);
  host.screen = &screen;
  screen.openWindow(640, 480);
  EXPECT_EQ(screen.windowSize(), std::make_pair(640, 480));
  EXPECT_EQ(screen.textGrid(), std::make_pair(80, 60));
  EXPECT_THAT(host.resizes, ElementsAre(std::make_pair(640, 480)));
  EXPECT_TRUE(host.resizeCouldPresent);
  EXPECT_EQ(countSet(screen.frame()), 0);

  screen.setColours(kRed, kCyan);
  screen.printText("ab", true);
  screen.openWindow(1200, 800);
  EXPECT_EQ(screen.textGrid(), std::make_pair(150, 100));
  EXPECT_EQ(screen.cursorRow(), 1);
  EXPECT_EQ(countSet(screen.frame()), 0);
  screen.plotPixel(3, 3);  // the foreground is white again
  EXPECT_EQ(screen.frame().at(3, 3), 0xFFFF);
  const Presented seen = presentNow(screen);
  EXPECT_TRUE(seen.called);
  EXPECT_EQ(seen.first, 0);
  EXPECT_EQ(seen.last, 799);
}

TEST(ScreenService, NothingIsPresentedWhileLocked) {
  RecordingHost host;
  ScreenService screen(&host);
  screen.openWindow(64, 48);
  presentNow(screen);
  const int readyBefore = host.framesReady;

  screen.lockScreen();
  screen.plotPixel(1, 1, kWhite);
  screen.lockScreen();  // nested
  screen.printText("x", true);
  screen.unlockScreen(-1, -1);
  EXPECT_EQ(host.framesReady, readyBefore);
  // The window thread cannot present while the working thread holds the lock.
  auto attempt = std::async(std::launch::async, [&] { return presentNow(screen); });
  EXPECT_EQ(attempt.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  screen.unlockScreen(-1, -1);
  EXPECT_EQ(host.framesReady, readyBefore + 1);
  const Presented seen = attempt.get();
  EXPECT_TRUE(seen.called);
  EXPECT_EQ(seen.first, 0);
  EXPECT_EQ(seen.last, 47);
  EXPECT_FALSE(presentNow(screen).called);  // marks were cleared
}

TEST(ScreenService, UnlockMarksTheGivenRows) {
  ScreenService screen;
  screen.openWindow(64, 48);
  presentNow(screen);
  screen.lockScreen();
  screen.unlockScreen(10, 20);
  Presented seen = presentNow(screen);
  EXPECT_EQ(seen.first, 10);
  EXPECT_EQ(seen.last, 20);
  screen.lockScreen();
  screen.unlockScreen(30, -1);
  seen = presentNow(screen);
  EXPECT_EQ(seen.first, 30);
  EXPECT_EQ(seen.last, 47);
  screen.unlockScreen();  // without a lock: ignored
  EXPECT_EQ(screen.lockDepth(), 0);
  EXPECT_FALSE(presentNow(screen).called);
}

TEST(ScreenService, OperationsOutsideALockPresentThemselves) {
  RecordingHost host;
  ScreenService screen(&host);
  screen.openWindow(64, 48);
  presentNow(screen);
  int ready = host.framesReady;

  screen.plotPixel(5, 7, kYellow);
  EXPECT_EQ(host.framesReady, ++ready);
  Presented seen = presentNow(screen);
  EXPECT_EQ(seen.first, 7);
  EXPECT_EQ(seen.last, 7);
  EXPECT_EQ(screen.frame().at(5, 7), 0xFFE0);

  screen.drawLine(0, 30, 63, 10, std::nullopt, 0xFFFF);
  EXPECT_EQ(host.framesReady, ++ready);
  seen = presentNow(screen);
  EXPECT_EQ(seen.first, 10);
  EXPECT_EQ(seen.last, 30);

  screen.drawText(0, 40, "ab", kCyan);
  EXPECT_EQ(host.framesReady, ++ready);
  seen = presentNow(screen);
  EXPECT_EQ(seen.first, 40);
  EXPECT_EQ(seen.last, 47);

  screen.printText("hello");
  EXPECT_EQ(host.framesReady, ++ready);
  EXPECT_TRUE(presentNow(screen).called);

  screen.plotPixel(-3, 7);  // clipped: nothing to show
  EXPECT_EQ(screen.lockDepth(), 0);
  EXPECT_FALSE(presentNow(screen).called);
}

TEST(ScreenService, OpenWindowWhileLockedResizesAtTheUnlock) {
  RecordingHost host;
  ScreenService screen(&host);
  screen.openWindow(64, 48);
  screen.lockScreen();
  screen.openWindow(80, 40);
  EXPECT_EQ(host.resizes.size(), 1u);
  EXPECT_EQ(screen.windowSize(), std::make_pair(80, 40));
  screen.unlockScreen();
  EXPECT_THAT(host.resizes, ElementsAre(std::make_pair(64, 48), std::make_pair(80, 40)));
}

TEST(ScreenService, DrawingUsesCurrentOrGivenColours) {
  ScreenService screen;
  screen.openWindow(64, 48);
  screen.setColours(kYellow, kBlack);
  screen.plotPixel(1, 1);
  screen.plotPixel(2, 1, kCyan);
  screen.drawLine(0, 2, 3, 2, std::nullopt, 0xFFFF);
  screen.drawText(8, 8, "\xDB", std::nullopt);
  EXPECT_EQ(screen.frame().at(1, 1), 0xFFE0);
  EXPECT_EQ(screen.frame().at(2, 1), 0x07FF);
  EXPECT_EQ(screen.frame().at(3, 2), 0xFFE0);
  EXPECT_EQ(screen.frame().at(15, 15), 0xFFE0);
}

TEST(ScreenService, TransparentTextAgainstOpaqueConsoleCells) {
  ScreenService screen;
  screen.openWindow(64, 16);
  screen.setColours(kWhite, kRed);
  screen.drawText(0, 0, "I", kCyan);      // transparent: black stays around the glyph
  screen.printText(std::string(1, 'I'));  // opaque: the cell becomes red around the glyph
  screen.moveCursor(2, 1);
  screen.printText(" ");
  EXPECT_EQ(screen.frame().at(0, 0), 0xF800);
  EXPECT_EQ(screen.frame().at(0, 8), 0xF800);
  screen.drawText(0, 8, "I", kCyan);  // over the red cell only glyph pixels change
  int red = 0;
  int cyan = 0;
  for (int y = 8; y < 16; ++y) {
    for (int x = 0; x < 8; ++x) {
      red += screen.frame().at(x, y) == 0xF800;
      cyan += screen.frame().at(x, y) == 0x07FF;
    }
  }
  EXPECT_EQ(red + cyan, 64);
  EXPECT_GT(cyan, 0);
  EXPECT_EQ(screen.cursorRow(), 2);
  EXPECT_EQ(screen.cursorColumn(), 2);  // drawText leaves the cursor alone
}

// Whether the 8 x 8 cell at text (row, column) shows code's glyph in white on black.
bool cellShows(const FrameBuffer& frame, int row, int column, unsigned char code) {
  const Glyph& glyph = glyphOf(code);
  for (int gy = 0; gy < 8; ++gy) {
    for (int gx = 0; gx < 8; ++gx) {
      const uint16_t want = (glyph[gy] & (0x80 >> gx)) ? 0xFFFF : 0x0000;
      if (frame.at(8 * (column - 1) + gx, 8 * (row - 1) + gy) != want) return false;
    }
  }
  return true;
}

TEST(ScreenService, PixelsDrawnBetweenScrollsMoveWithTheText) {
  ScreenService screen;
  screen.openWindow(64, 64);
  screen.drawLine(0, 0, 63, 0, kYellow, 0xFFFF);  // row 1, outside the viewport
  screen.lockScreen();
  screen.setTextViewport(3, 8);
  for (char letter = 'a'; letter <= 'j'; ++letter) screen.printText(std::string(1, letter), true);
  // Rows 3..8 now read f g h i j and a blank row; the block lands on the f.
  screen.drawText(0, 16, "\xDB", kWhite);
  EXPECT_EQ(screen.frame().at(7, 23), 0xFFFF);
  screen.printText("k", true);
  screen.unlockScreen();
  const FrameBuffer& frame = screen.frame();
  const std::string expected = "ghijk";
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(cellShows(frame, 3 + i, 1, expected[i])) << "row " << 3 + i << "\n"
                                                         << testing::pictureOf(frame, 0, 0, 15, 63);
  }
  EXPECT_TRUE(cellShows(frame, 8, 1, ' '));
  EXPECT_EQ(frame.at(5, 0), 0xFFE0);
  EXPECT_EQ(frame.at(5, 9), 0x0000);
}

TEST(ScreenService, ConsoleStartsAfterTheTextGridIsSet) {
  ScreenService screen;
  screen.printText("ignored", true);  // no window yet: nothing to print into
  screen.openWindow(640, 480);
  screen.setTextGrid(80, 60);
  EXPECT_EQ(screen.cursorRow(), 1);
  EXPECT_EQ(screen.cursorColumn(), 1);
  screen.printText("Fertig.", true);
  EXPECT_EQ(screen.cursorRow(), 2);
  EXPECT_EQ(screen.cursorColumn(), 1);
  screen.setTextViewport(13, 60);
  screen.setTextGrid(80, 60);  // resets the viewport
  screen.moveCursor(5, 1);
  EXPECT_EQ(screen.cursorRow(), 5);
}

TEST(KeyRing, KeepsTheLastFifteenOldestFirst) {
  KeyRing keys;
  EXPECT_EQ(keys.take(), "");
  for (int i = 0; i < 20; ++i) keys.push(std::string(1, static_cast<char>('a' + i)));
  std::string order;
  for (std::string key = keys.take(); !key.empty(); key = keys.take()) order += key;
  EXPECT_EQ(order, "fghijklmnopqrst");
  EXPECT_EQ(keys.take(), "");
}

TEST(KeyRing, TwoByteKeysAndEmptyTexts) {
  KeyRing ring;
  ring.push("\xFFk");
  ring.push("");
  ring.push("1");
  EXPECT_EQ(ring.size(), 2);
  EXPECT_EQ(ring.take(), "\xFFk");
  EXPECT_EQ(ring.take(), "1");
  EXPECT_EQ(ring.take(), "");
}

TEST(KeyRing, PushAndTakeFromTwoThreads) {
  KeyRing ring;
  constexpr int kKeys = 20000;
  std::atomic<bool> done = false;
  std::thread window([&] {
    for (int i = 0; i < kKeys; ++i) {
      const char key[2] = {static_cast<char>(i >> 8), static_cast<char>(i & 0xFF)};
      ring.push(std::string_view(key, 2));
    }
    done = true;
  });
  std::vector<int> taken;
  for (;;) {
    const std::string key = ring.take();
    if (!key.empty()) {
      ASSERT_EQ(key.size(), 2u);
      taken.push_back(static_cast<unsigned char>(key[0]) << 8 | static_cast<unsigned char>(key[1]));
    } else if (done) {
      if (ring.size() == 0) break;
    }
  }
  window.join();
  // Keys may be dropped when the ring overflows, but those read are whole and in order.
  ASSERT_FALSE(taken.empty());
  EXPECT_EQ(taken.back(), kKeys - 1);
  for (size_t i = 1; i < taken.size(); ++i) ASSERT_LT(taken[i - 1], taken[i]);
}

TEST(Clock, RunsForwardAndPauses) {
  Clock& clock = steadyClock();
  const double t0 = clock.seconds();
  clock.pause(0.02);
  const double t1 = clock.seconds();
  EXPECT_GE(t1 - t0, 0.015);
  EXPECT_LT(t1 - t0, 5.0);
}

}  // namespace
}  // namespace ws
