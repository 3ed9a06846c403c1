#include "views/growth_graph.h"

#include <gtest/gtest.h>

#include <bit>

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
  f.appendSample(0.4567f, 1000, 262144);
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
  f.appendSample(0.5f, 2, 262144);
  f.counters.nodeCount = 262144;
  f.draw('1');
  const ScreenReader& r = f.reader;
  EXPECT_EQ(r.textAt(590, 450, 4), "50% ") << r.region(585, 445, 639, 460);
  // wordsTotal 2 is too small for a words scale, but the words label is drawn.
  EXPECT_EQ(r.textAt(30, 195, 2), "2 ");
}

TEST(GrowthGraph, LogWithoutCompleteRecordsDrawsLikeTheZeroRecord) {
  ViewFixture f;
  f.sampleLog.clear();
  f.draw('1');
  EXPECT_EQ(f.reader.pixel(10, 470), kCyan565);
  EXPECT_EQ(f.reader.textAt(590, 450, 2), "0%");

  // A damaged log: a NaN ratio and a tiny one put every point far off the window; nothing of
  // them may appear, and the next drawing still works.
  ViewFixture g;
  g.appendSample(1e-30f, 300, 300);
  g.appendSample(std::bit_cast<float>(0x7FC00000u), 300, 300);
  g.draw('1');
  g.appendSample(1.0f, 300, 300);
  g.screen.setTextViewport(0, 0);
  g.screen.clearScreen();
  g.draw('1');
  EXPECT_EQ(g.painter.previousMaxRatio(), 1.0f);
  EXPECT_EQ(g.reader.pixel(10, 470), kCyan565);  // record 0 still on the axis
}

TEST(SampleRecord, DecodesLittleEndianFields) {
  const std::uint8_t bytes[] = {0,    0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0,
                                0x00, 0x00, 0x40, 0x3F, 0x04, 0x00, 0x00, 0x00, 0xE6, 0, 0, 0};
  const SampleRecord r = readSampleRecord(bytes, 1);
  EXPECT_EQ(r.ratio, 0.75f);
  EXPECT_EQ(r.wordsTotal, 4u);
  EXPECT_EQ(r.nodeCount, 230u);
}

}  // namespace
}  // namespace ws::testing
