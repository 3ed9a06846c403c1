#include "views/growth_graph.h"

#include "screen/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <utility>

#include "screen/number_format.h"

#include "views/test_growth_drawing.h"
#include "views/test_view_fixture.h"

namespace ws::testing {
namespace {

int inkedPixels(const ScreenReader& r, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) n += r.pixel(x, y) != 0 ? 1 : 0;
  }
  return n;
}

TEST(GrowthGraph, ZeroRecordOnlyDrawsAxesOneRatioPointRatioTextAndLegend) {
  ViewFixture f;
  f.draw('1');
  const ScreenReader& r = f.reader;
  EXPECT_EQ(r.rowText(14), " 1) Graphische Darstellung:");
  EXPECT_EQ(r.cellInk(14, 2), kCyan565);
  // Axes in white; the one ratio point sits on their corner.
  EXPECT_EQ(r.pixel(10, 170), kWhite565);
  EXPECT_EQ(r.pixel(10, 300), kWhite565);
  EXPECT_EQ(r.pixel(10, 169), 0);
  EXPECT_EQ(r.pixel(630, 470), kWhite565);
  EXPECT_EQ(r.pixel(631, 470), 0);
  EXPECT_EQ(r.pixel(10, 470), kCyan565);
  EXPECT_EQ(r.pixel(11, 470), kWhite565);
  // No memory or words points, no guide line, no memory or words labels.
  EXPECT_EQ(inkedPixels(r, 11, 120, 639, 420), 0) << r.region(0, 160, 100, 200);
  EXPECT_EQ(r.textAt(590, 450, 2), "0%");
  EXPECT_EQ(r.textAt(320, 430, 14), "_____ Speicher");
  EXPECT_EQ(r.textAt(320, 440, 20), "_____ Woerter gesamt");
  EXPECT_EQ(r.textAt(320, 450, 23), "_____ Rel. verschiedene");
  EXPECT_EQ(r.pixel(320, 437), kWhite565);  // underscores on the glyphs' lower rows
  EXPECT_EQ(r.pixel(320, 447), kYellow565);
  EXPECT_EQ(r.pixel(320, 457), kCyan565);
  EXPECT_EQ(f.painter.previousMaxRatio(), 0.0f);
}

TEST(GrowthGraph, LabelsAreCutNotRoundedAndTheRatioScaleComesFromThePreviousDrawing) {
  ViewFixture f;
  f.sampleLog.append({0.4567f, 1000, 262144});
  f.counters.nodeCount = 262144;
  f.draw('1');
  const ScreenReader& r = f.reader;
  // nodesScale = 936, the last record's memory level 470 - 262144 / 936 = 189.94.
  EXPECT_EQ(r.textAt(30, 180, 6), "225 MB") << r.region(20, 175, 90, 205);
  EXPECT_EQ(r.textAt(30, 195, 4), "1000") << r.region(20, 175, 90, 205);
  // Guide line: dots 14 and 15 pixels from its start, every 16 pixels.
  EXPECT_EQ(r.pixel(24, 190), kWhite565) << r.region(8, 186, 60, 194);
  EXPECT_EQ(r.pixel(25, 190), kWhite565) << r.region(8, 186, 60, 194);
  EXPECT_EQ(r.pixel(26, 190), 0) << r.region(8, 186, 60, 194);
  EXPECT_EQ(r.pixel(40, 190), kWhite565) << r.region(8, 186, 60, 194);
  // Record 1 at x = 320: memory point on the guide line, words at 470 - 1000 / 4.
  EXPECT_EQ(r.pixel(320, 190), kWhite565);
  EXPECT_EQ(r.pixel(320, 220), kYellow565);
  // First drawing: the ratio series lies on the axis and its label at H - 30.
  EXPECT_EQ(r.pixel(320, 470), kCyan565);
  EXPECT_EQ(r.textAt(590, 450, 5), "45.6%") << r.region(585, 445, 639, 460);
  EXPECT_EQ(f.painter.previousMaxRatio(), 0.4567f);

  // Another view in between does not touch the ratio memory.
  f.draw('6');
  EXPECT_EQ(f.painter.previousMaxRatio(), 0.4567f);

  f.screen.setTextViewport(0, 0);
  f.screen.clearScreen();
  f.draw('1');
  // ratioScale = round(280 / 0.4567) = 613: the point 279 pixels up, the label 279.96 up.
  EXPECT_EQ(r.pixel(320, 191), kCyan565) << r.region(310, 185, 330, 195);
  EXPECT_EQ(r.pixel(320, 470), kWhite565);
  EXPECT_EQ(r.textAt(590, 170, 5), "45.6%") << r.region(585, 165, 639, 180);
}

TEST(GrowthGraph, WholeValuesAreLabelledWithoutDecimals) {
  ViewFixture f;
  f.sampleLog.append({0.5f, 2, 262144});
  f.counters.nodeCount = 262144;
  f.draw('1');
  const ScreenReader& r = f.reader;
  EXPECT_EQ(r.textAt(590, 450, 4), "50% ") << r.region(585, 445, 639, 460);
  // wordsTotal 2 is too small for a words scale, but the words label is drawn.
  EXPECT_EQ(r.textAt(30, 195, 2), "2 ");
}

TEST(GrowthGraph, DamagedLogPutsItsPointsOffTheWindow) {
  // A NaN ratio and a tiny one put every point far off the window; nothing of them may appear,
  // and the next drawing still works.
  ViewFixture g;
  g.sampleLog.append({1e-30f, 300, 300});
  g.sampleLog.append({std::bit_cast<float>(0x7FC00000u), 300, 300});
  g.draw('1');
  g.sampleLog.append({1.0f, 300, 300});
  g.screen.setTextViewport(0, 0);
  g.screen.clearScreen();
  g.draw('1');
  EXPECT_EQ(g.painter.previousMaxRatio(), 1.0f);
  EXPECT_EQ(g.reader.pixel(10, 470), kCyan565);  // record 0 still on the axis
}

// Draws the log with `graph` and with the plain drawing (entry by entry, for a thinned log) on
// fresh screens of the size; the two pictures and ratio memories must agree.
void expectPlainPicture(GrowthGraph& graph, float& plainMax, const SampleLog& log, int width,
                        int height, const std::string& what) {
  ScreenService fast;
  ScreenService plain;
  for (ScreenService* screen : {&fast, &plain}) {
    screen->openWindow(width, height);
    screen->lockScreen();
  }
  fast.moveCursor(14, 1);
  {
    Canvas canvas(fast);
    graph.draw(canvas, log, 300'000);
  }
  plainMax = log.exact() ? drawPlainGrowthGraph(plain, log, 300'000, plainMax)
                         : drawEntryByEntry(plain, log, 300'000, plainMax);
  ASSERT_EQ(std::bit_cast<std::uint32_t>(graph.previousMaxRatio()),
            std::bit_cast<std::uint32_t>(plainMax))
      << what;
  for (int y = 0; y < height; ++y) {
    if (std::equal(fast.frame().row(y), fast.frame().row(y) + width, plain.frame().row(y))) {
      continue;
    }
    for (int x = 0; x < width; ++x) {
      ASSERT_EQ(fast.frame().at(x, y), plain.frame().at(x, y))
          << what << ", " << log.size() << " records, " << width << " x " << height << ", at (" << x
          << ", " << y << ")";
    }
  }
}

// Drawn twice (the second drawing scales the ratios by the first one's largest), each picture
// equals the plain drawing pixel for pixel.
TEST(GrowthGraph, PictureEqualsThePlainPerRecordDrawing) {
  std::mt19937 random(3);
  struct Case {
    const char* name;
    SampleLog log;
  };
  Case cases[] = {{"one record", SampleLog()},
                  {"short run", crawlLikeLog(random, 50)},
                  {"few blocks", crawlLikeLog(random, 700)},
                  {"long run", crawlLikeLog(random, 150'000)},
                  {"damaged", damagedLog(random, 3'000)}};
  for (const auto& [name, log] : cases) {
    for (const auto& [width, height] : {std::pair{640, 480}, std::pair{1200, 800}}) {
      GrowthGraph graph;
      float plainMax = 0.0f;
      for (int drawing = 1; drawing <= 2; ++drawing) {
        expectPlainPicture(graph, plainMax, log, width, height,
                           std::string(name) + ", drawing " + std::to_string(drawing));
      }
    }
  }
}

// One graph drawing a log as a crawl does: between drawings the log gains one record or many, the
// scales change with it, the window switches size, a record raises the largest ratio, and logs
// of the same length but other records come in between.
TEST(GrowthGraph, PictureStaysThePlainOneWhileTheLogGrows) {
  std::mt19937 random(5);
  CrawlLikeGrowth growth(random);
  SampleLog log;
  growth.grow(log, 20'000);
  GrowthGraph graph;
  float plainMax = 0.0f;
  int width = 640, height = 480;
  const auto drawBoth = [&](const SampleLog& l, const std::string& what) {
    expectPlainPicture(graph, plainMax, l, width, height, what);
  };
  for (int step = 0; step < 40; ++step) {
    growth.grow(log, log.size() + 1);
    drawBoth(log, "one more record");
  }
  for (const std::size_t many : {15u, 700u, 6'000u}) {
    growth.grow(log, log.size() + many);
    drawBoth(log, "many more records");
  }
  std::tie(width, height) = std::pair{1200, 800};
  for (int step = 0; step < 20; ++step) {
    growth.grow(log, log.size() + 1);
    drawBoth(log, "one more record, large window");
  }
  const SampleRecord before = log.last();
  log.append({0.9f, before.wordsTotal, before.nodeCount});  // the largest ratio
  drawBoth(log, "largest ratio raised");
  growth.grow(log, log.size() + 1);
  drawBoth(log, "ratio scale changed");

  // Logs that parted from this one: as long, ending in the same record, other records before.
  const SampleRecord last = log.last();
  const auto jump = [&last](SampleLog& l, std::uint32_t by) {
    l.append({last.ratio, last.wordsTotal + by, last.nodeCount + by});
  };
  SampleLog other = log;
  SampleLog falling = log;
  jump(log, 50'000);
  jump(log, 100'000);
  jump(other, 25'000);
  jump(other, 100'000);
  falling.append({0.25f, 5, 5});
  jump(falling, 100'000);
  ASSERT_TRUE(log.countsNeverFall() && other.countsNeverFall());
  std::tie(width, height) = std::pair{640, 480};
  for (int step = 0; step < 2; ++step) {
    drawBoth(log, "the log");
    drawBoth(other, "another log");
    drawBoth(falling, "a log whose counts fall");
  }
}

// Past its bound the log is drawn entry by entry: while it grows a record or many at a time,
// through thinnings, window sizes and other logs drawn in between, the picture stays that of
// plotting every entry.
TEST(GrowthGraph, ThinnedPictureIsTheEntryByEntryPlotting) {
  std::mt19937 random(9);
  CrawlLikeGrowth growth(random);
  SampleLog log(1024);
  growth.grow(log, 1000);
  GrowthGraph graph;
  float plainMax = 0.0f;
  int width = 640, height = 480;
  const auto drawBoth = [&](const SampleLog& l, const std::string& what) {
    expectPlainPicture(graph, plainMax, l, width, height, what);
  };
  for (const std::size_t many : {1u, 30u, 1u, 200u, 3'000u, 1u, 1u, 20'000u, 100'000u}) {
    for (int step = 0; step < 6; ++step) {
      growth.grow(log, log.size() + many);
      drawBoth(log, "grown by " + std::to_string(many));
    }
    std::tie(width, height) = width == 640 ? std::pair{1200, 800} : std::pair{640, 480};
  }
  ASSERT_FALSE(log.exact());
  ASSERT_GE(log.spanRecords(), 512u);
  // The last span takes in a record far above the others, then counts that jump.
  const SampleRecord before = log.last();
  log.append({log.largestRatio(), before.wordsTotal, before.nodeCount});
  drawBoth(log, "a high ratio in the last span");
  log.append({0.9f, before.wordsTotal, before.nodeCount});
  drawBoth(log, "largest ratio raised in the last span");
  log.append({0.1f, before.wordsTotal + 90'000, before.nodeCount + 90'000});
  drawBoth(log, "ratio scale changed, counts jumped");
  growth.grow(log, log.size() + 1);
  drawBoth(log, "one more record");
  SampleLog other = log;
  growth.grow(other, other.size() + 3);
  for (int step = 0; step < 2; ++step) {
    drawBoth(log, "the log");
    drawBoth(other, "another log");
  }
  std::mt19937 damage(4);
  const SampleLog damaged = damagedLog(damage, 30'000, 256);
  ASSERT_FALSE(damaged.exact());
  for (int step = 0; step < 2; ++step) drawBoth(damaged, "damaged");
}

// The picture of a long run, thinned past a bound of 2^20 records, against the plain drawing of
// every one of its 10,000,000 records; and of 3,000,000 past 2^18 in the large window. At most
// 0.5 % of the pixels that either sets in the graph's box (rows 170 to H - 10, columns 10 to
// W - 10) may differ.
TEST(GrowthGraph, ThinnedPictureStaysCloseToThePlainDrawingOfEveryRecord) {
  struct Case {
    std::size_t records;
    std::size_t exactRecords;
    int width;
    int height;
  };
  for (const Case& c : {Case{10'000'000, std::size_t{1} << 20, 640, 480},
                        Case{3'000'000, std::size_t{1} << 18, 1200, 800}}) {
    SampleLog log(c.exactRecords);
    RealisticCrawl crawl;
    while (log.size() < c.records) log.append(crawl.next());
    ASSERT_FALSE(log.exact());
    const auto everyRecord = [&c](auto&& f) {
      RealisticCrawl again;
      f(SampleRecord{});
      for (std::size_t i = 1; i < c.records; ++i) f(again.next());
    };
    ScreenService fast;
    ScreenService plain;
    for (ScreenService* screen : {&fast, &plain}) {
      screen->openWindow(c.width, c.height);
      screen->lockScreen();
    }
    GrowthGraph graph;
    {
      Canvas canvas(fast);
      canvas.moveCursor(14, 1);
      graph.draw(canvas, log, 300'000);  // the first drawing finds the ratio scale
      canvas.clearScreen();
      canvas.moveCursor(14, 1);
      graph.draw(canvas, log, 300'000);
    }
    drawPlainGrowthGraph(plain, c.records, log.last(), everyRecord, 300'000, log.largestRatio());
    int set = 0, differing = 0, area = 0;
    for (int y = 170; y <= c.height - 10; ++y) {
      for (int x = 10; x <= c.width - 10; ++x) {
        const std::uint16_t a = fast.frame().at(x, y), b = plain.frame().at(x, y);
        ++area;
        set += a != 0 || b != 0 ? 1 : 0;
        differing += a != b ? 1 : 0;
      }
    }
    const double share = 100.0 * differing / set;
    std::printf(
        "%zu records, %d x %d: %d of %d pixels set differ (%.3f %%; %.4f %% of the box's %d)\n",
        c.records, c.width, c.height, differing, set, share, 100.0 * differing / area, area);
    EXPECT_LE(share, 0.5) << c.records << " records, " << c.width << " x " << c.height;
  }
}

}  // namespace
}  // namespace ws::testing
