#include "screen/pixel_drawing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "screen/font8x8.h"
#include "screen/test_picture.h"

namespace ws {
namespace {

using testing::countSet;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::pictureOf;
using testing::setColumns;

constexpr uint16_t kInk = 0xFFFF;

FrameBuffer makeFrame(int width = 640, int height = 480) {
  FrameBuffer frame;
  frame.resize(width, height);
  return frame;
}

TEST(CoordinateRounding, HalvesGoAwayFromZero) {
  EXPECT_EQ(roundedCoordinate(2.5f), 3.0);
  EXPECT_EQ(roundedCoordinate(-2.5f), -3.0);
  EXPECT_EQ(roundedCoordinate(0.49f), 0.0);
  EXPECT_EQ(roundedCoordinate(0.5f), 1.0);
  EXPECT_EQ(roundedCoordinate(-0.5f), -1.0);
  EXPECT_EQ(roundedCoordinate(-0.49f), 0.0);
  EXPECT_EQ(roundedCoordinate(0.0f), 0.0);
  // The largest float below one half must not be rounded up by float arithmetic.
  EXPECT_EQ(roundedCoordinate(std::nextafter(0.5f, 0.0f)), 0.0);
  EXPECT_EQ(roundedCoordinate(1e20f), 1e20f);
}

TEST(PlotPoint, RoundsAndClips) {
  FrameBuffer frame = makeFrame();
  plotPoint(frame, 0.5f, 0.49f, kInk);
  EXPECT_EQ(frame.at(1, 0), kInk);
  EXPECT_EQ(countSet(frame), 1);

  FrameBuffer other = makeFrame();
  for (float x : {-0.5f, 639.5f, 1e30f, std::numeric_limits<float>::quiet_NaN()}) {
    plotPoint(other, x, 3.0f, kInk);
  }
  plotPoint(other, 3.0f, 479.5f, kInk);
  plotPoint(other, 3.0f, -std::numeric_limits<float>::infinity(), kInk);
  EXPECT_EQ(countSet(other), 0);
}

TEST(StyledLine, DottedPatternIsLaidFromTheFirstEndPoint) {
  FrameBuffer frame = makeFrame();
  drawStyledLine(frame, 10, 100, 40, 100, kInk, 3);
  EXPECT_THAT(setColumns(frame, 100), ElementsAre(24, 25, 40));
  EXPECT_EQ(countSet(frame), 3);

  FrameBuffer reversed = makeFrame();
  drawStyledLine(reversed, 40, 100, 10, 100, kInk, 3);
  EXPECT_THAT(setColumns(reversed, 100), ElementsAre(10, 25, 26));
}

TEST(StyledLine, SolidLinesIncludeBothEndsInEveryDirection) {
  FrameBuffer frame = makeFrame(16, 16);
  drawStyledLine(frame, 1, 1, 6, 6, kInk, 0xFFFF);
  drawStyledLine(frame, 12, 14, 10, 2, kInk, 0xFFFF);  // steep, upwards
  const std::string expected =
      "................\n"
      ".#..............\n"
      "..#.......#.....\n"
      "...#......#.....\n"
      "....#.....#.....\n"
      ".....#....#.....\n"
      "......#....#....\n"
      "...........#....\n"
      "...........#....\n"
      "...........#....\n"
      "...........#....\n"
      "...........#....\n"
      "............#...\n"
      "............#...\n"
      "............#...\n"
      "................\n";
  EXPECT_EQ(pictureOf(frame, 0, 0, 15, 15), expected) << pictureOf(frame, 0, 0, 15, 15);
}

TEST(StyledLine, SinglePointLine) {
  FrameBuffer frame = makeFrame(8, 8);
  drawStyledLine(frame, 3, 4, 3, 4, kInk, 0x8000);
  EXPECT_EQ(frame.at(3, 4), kInk);
  EXPECT_EQ(countSet(frame), 1);
  FrameBuffer blank = makeFrame(8, 8);
  drawStyledLine(blank, 3, 4, 3, 4, kInk, 0x7FFF);  // k = 0 uses bit 15
  EXPECT_EQ(countSet(blank), 0);
}

TEST(StyledLine, ClippingKeepsThePatternPhase) {
  FrameBuffer frame = makeFrame(100, 10);
  drawStyledLine(frame, -16, 5, 200, 5, kInk, 0x8000);
  EXPECT_THAT(setColumns(frame, 5), ElementsAre(0, 16, 32, 48, 64, 80, 96));

  FrameBuffer steep = makeFrame(10, 100);
  drawStyledLine(steep, 3, 150, 3, -40, kInk, 0xFFFF);
  for (int y = 0; y < 100; ++y) ASSERT_EQ(steep.at(3, y), kInk) << y;
  EXPECT_EQ(countSet(steep), 100);
}

TEST(StyledLine, FarAwayEndPointsAreClippedWithoutWalkingThem) {
  FrameBuffer frame = makeFrame(64, 64);
  drawStyledLine(frame, -1e30f, 10, 1e30f, 10, kInk, 0xFFFF);
  EXPECT_EQ(setColumns(frame, 10).size(), 64u);
  drawStyledLine(frame, -1e9f, -1e9f, 1e9f, 1e9f, kInk, 0xFFFF);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(frame.at(i, i), kInk) << i;
  EXPECT_EQ(countSet(frame), 64 + 63);

  // The pattern still counts from the far end point: 2^30 is a multiple of 16.
  FrameBuffer dotted = makeFrame(64, 4);
  drawStyledLine(dotted, -1073741824.0f, 1, 40, 1, kInk, 0x8000);
  EXPECT_THAT(setColumns(dotted, 1), ElementsAre(0, 16, 32));

  FrameBuffer missed = makeFrame(64, 64);
  drawStyledLine(missed, -1e30f, -5, 1e30f, -5, kInk, 0xFFFF);
  drawStyledLine(missed, 0, 0, std::numeric_limits<float>::infinity(), 0, kInk, 0xFFFF);
  drawStyledLine(missed, std::numeric_limits<float>::quiet_NaN(), 0, 5, 5, kInk, 0xFFFF);
  EXPECT_EQ(countSet(missed), 0);
}

TEST(GlyphText, DrawsOnlyTheGlyphPixels) {
  constexpr uint16_t kPaper = 0x1234;
  FrameBuffer frame = makeFrame(24, 8);
  frame.fillRows(0, 7, kPaper);
  drawGlyphText(frame, 8, 0, "A", kInk);
  const Glyph& a = glyphOf('A');
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 24; ++x) {
      const bool inGlyph = x >= 8 && x < 16 && (a[y] & (0x80 >> (x - 8)));
      ASSERT_EQ(frame.at(x, y), inGlyph ? kInk : kPaper) << x << "," << y << "\n"
                                                         << pictureOf(frame, 0, 0, 23, 7, kPaper);
    }
  }
}

TEST(GlyphText, ControlBytesAreGlyphsAndCellsAdvanceByEight) {
  FrameBuffer frame = makeFrame(32, 8);
  drawGlyphText(frame, 0, 0, std::string_view("\xDB\n\xDB", 3), kInk);
  const std::string expected =
      "########" + std::string(8, '.') + "########" + std::string(8, '.') + "\n";
  const Glyph& lineFeed = glyphOf('\n');
  for (int y = 0; y < 8; ++y) {
    std::string row = expected;
    for (int x = 0; x < 8; ++x) row[8 + x] = (lineFeed[y] & (0x80 >> x)) ? '#' : '.';
    EXPECT_EQ(pictureOf(frame, 0, y, 31, y), row) << y;
  }
}

TEST(GlyphText, ClipsAtEveryEdge) {
  FrameBuffer frame = makeFrame(20, 10);
  drawGlyphText(frame, -4, -4, "\xDB\xDB\xDB\xDB", kInk);  // full blocks
  drawGlyphText(frame, -1e30f, 0, "\xDB", kInk);
  drawGlyphText(frame, 0, 1e30f, "\xDB", kInk);
  const std::string expected =
      "####################\n"
      "####################\n"
      "####################\n"
      "####################\n"
      "....................\n"
      "....................\n"
      "....................\n"
      "....................\n"
      "....................\n"
      "....................\n";
  EXPECT_EQ(pictureOf(frame, 0, 0, 19, 9), expected) << pictureOf(frame, 0, 0, 19, 9);
}

TEST(GlyphText, EmptyTextAndZeroSizedFrame) {
  FrameBuffer empty;
  drawGlyphText(empty, 0, 0, "abc", kInk);
  drawStyledLine(empty, 0, 0, 10, 10, kInk, 0xFFFF);
  plotPoint(empty, 0, 0, kInk);
  FrameBuffer frame = makeFrame(8, 8);
  drawGlyphText(frame, 0, 0, "", kInk);
  EXPECT_THAT(setColumns(frame, 0), IsEmpty());
}

}  // namespace
}  // namespace ws
