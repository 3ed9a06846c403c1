#include "driver/pass_pacing.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "driver/crawler.h"
#include "driver/test_support.h"

namespace ws {
namespace {

using std::chrono::milliseconds;
using ws::testing::FakeArticleSource;
using ws::testing::FakeStopRequest;
using ws::testing::RecordingViewDrawer;

TEST(PassPacer, DoublesAfterEachPassWithoutTextUpToAMinuteAndResetsAfterACountedOne) {
  PassPacer pacer(milliseconds(1000));
  std::vector<long long> intervals{pacer.interval().count()};
  for (int i = 0; i < 8; ++i) {
    pacer.passEnded(false);
    intervals.push_back(pacer.interval().count());
  }
  EXPECT_EQ(intervals,
            (std::vector<long long>{1000, 2000, 4000, 8000, 16000, 32000, 60000, 60000, 60000}));
  pacer.passEnded(true);
  EXPECT_EQ(pacer.interval(), milliseconds(1000));

  PassPacer off(milliseconds(0));
  off.passEnded(false);
  EXPECT_EQ(off.interval(), milliseconds(0));
  PassPacer slow(milliseconds(90000));  // a minimum above the ceiling stays the interval
  slow.passEnded(false);
  EXPECT_EQ(slow.interval(), milliseconds(90000));
}

// A clock that moves only when the crawler pauses or a request takes its time.
class FakePassClock : public Clock {
 public:
  double seconds() override { return time; }
  void pause(double s) override {
    time += s;
    if (onPause) onPause();
  }
  double time = 1000.0;
  std::function<void()> onPause;
};

// Records when each fetch begins; each fetch takes 0.25 s of the fake clock.
class TimedSource : public FakeArticleSource {
 public:
  explicit TimedSource(FakePassClock& clock) : clock_(clock) {}
  std::string fetchRandomArticle(std::string& articlePath) override {
    starts.push_back(clock_.time);
    clock_.time += 0.25;
    return FakeArticleSource::fetchRandomArticle(articlePath);
  }
  std::vector<double> starts;

 private:
  FakePassClock& clock_;
};

class PacedCrawlerTest : public ::testing::Test {
 protected:
  PacedCrawlerTest() { crawler_.pacePasses({.paced = true, .minInterval = milliseconds(1000)}); }
  // Starts of the passes relative to the first one.
  std::vector<double> relativeStarts() const {
    std::vector<double> out;
    for (double s : source_.starts) out.push_back(s - source_.starts.front());
    return out;
  }

  FakePassClock clock_;
  TimedSource source_{clock_};
  ScreenService screen_;
  KeyRing keys_;
  RecordingViewDrawer views_;
  Crawler crawler_{source_, screen_, keys_, views_, std::nullopt, clock_};
};

TEST_F(PacedCrawlerTest, PassesKeepTheirIntervalBackingOffWhileNothingIsCountedAndEscEndsAWait) {
  source_.addArticle("wiki/A", "eins zwei");
  source_.addReply("wiki/B", "HTTP/1.0 200 OK\r\n\r\nkein Absatz");
  source_.addReply("wiki/C", "Error: Couldn't connect to host");
  source_.addArticle("wiki/D", "drei");
  // Keys pressed during the waits: "3" waits for the next counted pass, Esc ends the wait
  // after the fifth pass (which fails) at once.
  int pauses = 0;
  clock_.onPause = [&] {
    if (++pauses == 1) keys_.push("3");
    if (source_.starts.size() == 5) keys_.push("\x1b");
  };
  EXPECT_EQ(crawler_.run(), 0);
  // A counted, two failed, a counted and a failed pass: waits of 1 s, 2 s, 4 s, then 1 s again,
  // each counted from the start of the pass before (the fetches take 0.25 s).
  const std::vector<double> starts = relativeStarts();
  ASSERT_EQ(starts.size(), 5u);
  const std::vector<double> expected{0.0, 1.0, 3.0, 7.0, 8.0};
  for (size_t i = 0; i < starts.size(); ++i) EXPECT_NEAR(starts[i], expected[i], 1e-9) << i;
  EXPECT_LT(clock_.time - source_.starts.back(), 0.25 + 0.05);  // Esc did not wait out 1 s
  EXPECT_EQ(crawler_.counters().pagesRead, 5u);
  EXPECT_EQ(views_.calls.size(), 2u);
  EXPECT_EQ(crawler_.viewCode(), '3');  // the key read in a wait, taken by the next counted pass
  EXPECT_EQ(crawler_.trie().nodeCount(), 0u);  // the normal shut-down freed the trie
}

// A signal in the middle of a long back-off ends the wait at its next poll, with the shut-down.
TEST_F(PacedCrawlerTest, StopRequestEndsAWaitWithinAPoll) {
  FakeStopRequest stop;
  crawler_.stopWhen(&stop);
  for (int i = 0; i < 6; ++i) source_.addReply("wiki/X", "Error: Couldn't connect to host");
  clock_.onPause = [&] {
    // After the sixth failed pass the wait is a minute; the signal comes 5 s into it.
    if (source_.starts.size() == 6 && clock_.time > source_.starts.back() + 5.0) {
      stop.requested = true;
    }
    if (source_.starts.size() > 6) keys_.push("\x1b");  // the stop was missed
  };
  EXPECT_EQ(crawler_.run(), 0);
  EXPECT_EQ(source_.starts.size(), 6u);
  EXPECT_LT(clock_.time - source_.starts.back(), 5.0 + 0.03);
  EXPECT_EQ(crawler_.trie().nodeCount(), 0u);  // the normal shut-down freed the trie
}

// A server that asks for waits: 120 s after the first fetch, none after the second, 0.5 s
// after the third.
class AskingSource : public TimedSource {
 public:
  using TimedSource::TimedSource;
  std::chrono::milliseconds requestedPause() const override {
    const std::vector<milliseconds> asked{milliseconds(120000), milliseconds(0), milliseconds(500)};
    return starts.size() <= asked.size() ? asked[starts.size() - 1] : milliseconds(0);
  }
};

TEST(PacedCrawlerRetryAfter, TheServersWaitCountsFromTheEndOfThePassWhenItIsTheLonger) {
  FakePassClock clock;
  AskingSource source(clock);
  ScreenService screen;
  KeyRing keys;
  RecordingViewDrawer views;
  Crawler crawler(source, screen, keys, views, std::nullopt, clock);
  crawler.pacePasses({.paced = true, .minInterval = milliseconds(1000)});
  source.addReply("wiki/A", "");  // refused: a page without text
  source.addArticle("wiki/B", "eins");
  source.addReply("wiki/C", "");
  clock.onPause = [&] {
    if (source.starts.size() == 4) keys.push("\x1b");
  };
  EXPECT_EQ(crawler.run(), 0);
  ASSERT_EQ(source.starts.size(), 4u);
  // 120 s from the end of the first pass (not the 2 s of the back-off); then the interval after
  // a counted pass; then the back-off's 2 s, longer than the 0.5 s asked.
  EXPECT_NEAR(source.starts[1] - source.starts[0], 120.25, 1e-9);
  EXPECT_NEAR(source.starts[2] - source.starts[1], 1.0, 1e-9);
  EXPECT_NEAR(source.starts[3] - source.starts[2], 2.0, 1e-9);
  EXPECT_EQ(views.calls.size(), 1u);
}

TEST(UnpacedCrawler, EscDuringAnOutageWaitsForTheNextCountedArticle) {
  FakeArticleSource source;
  ScreenService screen;
  KeyRing keys;
  RecordingViewDrawer views;
  Crawler crawler(source, screen, keys, views, std::nullopt);
  for (int i = 0; i < 3; ++i) source.addReply("wiki/X", "Error: Couldn't connect to host");
  source.addArticle("wiki/Y", "da");
  keys.push("\x1b");
  EXPECT_EQ(crawler.run(), 0);
  EXPECT_EQ(source.requests, 4);
  EXPECT_EQ(crawler.counters().pagesRead, 4u);
}

}  // namespace
}  // namespace ws
