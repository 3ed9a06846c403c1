#pragma once
// Fakes and helpers shared by the driver's unit tests; not part of ws_driver.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "driver/stop_request.h"
#include "driver/view_drawer.h"
#include "net/article_fetch.h"
#include "screen/clock.h"
#include "screen/frame_buffer.h"
#include "screen/screen_service.h"
#include "screen/window_host.h"

namespace ws::testing {

// Hands out scripted replies in order; once they run out, every request gets an error text.
class FakeArticleSource : public ArticleSource {
 public:
  void addReply(std::string path, std::string reply) {
    replies_.emplace_back(std::move(path), std::move(reply));
  }
  // A reply whose body is one paragraph holding `paragraph`.
  void addArticle(std::string path, const std::string& paragraph) {
    addReply(std::move(path), "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body><p>" +
                                  paragraph + "</p></body></html>");
  }
  std::string fetchRandomArticle(std::string& articlePath) override {
    ++requests;
    if (replies_.empty()) return "Error: Verbindung fehlgeschlagen";
    auto [path, reply] = std::move(replies_.front());
    replies_.pop_front();
    articlePath = path;
    return reply;
  }
  int requests = 0;

 private:
  std::deque<std::pair<std::string, std::string>> replies_;
};

// Remembers each view drawn and where the text cursor stood when it was asked.
class RecordingViewDrawer : public ViewDrawer {
 public:
  struct Call {
    ViewCode viewCode;
    int cursorRow;
    int cursorColumn;
    int windowWidth;
    int windowHeight;
    std::size_t sampleLogRecords;
  };
  void drawView(ViewCode viewCode, const ViewInputs& inputs) override {
    const auto [width, height] = inputs.screen.windowSize();
    calls.push_back({viewCode, inputs.screen.cursorRow(), inputs.screen.cursorColumn(), width,
                     height, inputs.sampleLog.size()});
  }
  std::vector<Call> calls;
};

// A clock whose readings start at `first` and grow by `step` with every reading.
class SteppingClock : public Clock {
 public:
  SteppingClock(double first, double step) : next_(first), step_(step) {}
  double seconds() override {
    const double now = next_;
    next_ += step_;
    return now;
  }
  void pause(double seconds) override { next_ += seconds; }

 private:
  double next_;
  double step_;
};

// A stop request made by the test (`requested`), or by itself at the loop's `stopAtAsk`-th
// question (counted from 1; 0: never); counts the questions.
class FakeStopRequest : public StopRequest {
 public:
  bool stopRequested() const override {
    ++asks;
    return requested || (stopAtAsk > 0 && asks >= stopAtAsk);
  }
  bool requested = false;
  int stopAtAsk = 0;
  mutable int asks = 0;
};

// Counts the finished frames a screen hands to its window.
class CountingWindowHost : public WindowHost {
 public:
  void resizeWindow(int, int) override {}
  void frameReady() override { ++frames; }
  int frames = 0;
};

// An in-memory 640 x 480 screen with its 80 x 60 text grid.
inline void openSmallScreen(ScreenService& screen) {
  screen.openWindow(640, 480);
  screen.setTextGrid(80, 60);
}

// Pixel rows [firstRow, lastRow] of both frames drawn as text, for failure messages.
inline std::string pictureOf(const FrameBuffer& frame, int firstRow, int lastRow) {
  std::string out;
  for (int y = firstRow; y <= lastRow && y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) out += frame.at(x, y) != 0 ? '#' : '.';
    out += '\n';
  }
  return out;
}

// Checks that both frames agree on pixel rows [firstRow, lastRow]; prints the text rows that
// differ on failure.
inline ::testing::AssertionResult sameRows(const FrameBuffer& actual, const FrameBuffer& expected,
                                           int firstRow, int lastRow) {
  if (actual.width() != expected.width() || actual.height() != expected.height()) {
    return ::testing::AssertionFailure() << "frame sizes differ";
  }
  for (int y = firstRow; y <= lastRow; ++y) {
    for (int x = 0; x < actual.width(); ++x) {
      if (actual.at(x, y) != expected.at(x, y)) {
        const int textRowTop = y / 8 * 8;
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") differs; text row " << y / 8 + 1
               << "\nactual:\n"
               << pictureOf(actual, textRowTop, textRowTop + 7) << "expected:\n"
               << pictureOf(expected, textRowTop, textRowTop + 7);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace ws::testing
