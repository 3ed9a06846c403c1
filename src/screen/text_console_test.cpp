#include "screen/text_console.h"

#include <gtest/gtest.h>

#include <string>

#include "screen/font8x8.h"
#include "screen/test_picture.h"

namespace ws {
namespace {

using testing::pictureOf;

constexpr uint16_t kInk = 0xFFFF;
constexpr uint16_t kPaper = 0x0000;
constexpr uint16_t kMarker = 0x1111;

// A 640 x 480 frame with an 80 x 60 grid, white on black.
class TextConsoleTest : public ::testing::Test {
 protected:
  TextConsoleTest() {
    frame.resize(640, 480);
    console.reset(80, 60);
  }

  // Fills text row r (all pixel rows of it) with a marker value, as a picture would.
  void markRow(int row, uint16_t value) { frame.fillRows(8 * (row - 1), 8 * row - 1, value); }

  // Value of every pixel of text row r if they are all equal, else -1.
  int uniformRow(int row) {
    console.frame();  // rows in display order
    const uint16_t first = frame.at(0, 8 * (row - 1));
    for (int y = 8 * (row - 1); y < 8 * row; ++y) {
      for (int x = 0; x < frame.width(); ++x) {
        if (frame.at(x, y) != first) return -1;
      }
    }
    return first;
  }

  // Whether the cell at (row, column) shows the glyph of code in ink on paper.
  ::testing::AssertionResult cellShows(int row, int column, unsigned char code) {
    console.frame();  // rows in display order
    const Glyph& glyph = glyphOf(code);
    for (int gy = 0; gy < 8; ++gy) {
      for (int gx = 0; gx < 8; ++gx) {
        const uint16_t want = (glyph[gy] & (0x80 >> gx)) ? pen.foreground : pen.background;
        if (frame.at(8 * (column - 1) + gx, 8 * (row - 1) + gy) != want) {
          const int left = 8 * (column - 1);
          const int top = 8 * (row - 1);
          return ::testing::AssertionFailure()
                 << "cell (" << row << ", " << column << ") is not '" << code << "':\n"
                 << pictureOf(frame, left, top, left + 7, top + 7, pen.background);
        }
      }
    }
    return ::testing::AssertionSuccess();
  }

  void expectCursor(int row, int column) const {
    EXPECT_EQ(console.cursorRow(), row);
    EXPECT_EQ(console.cursorColumn(), column);
  }

  FrameBuffer frame;
  PenColours pen{kInk, kPaper};
  TextConsole console{frame, pen};
};

TEST_F(TextConsoleTest, PrintsOpaqueCellsAndEndsLines) {
  frame.fillRows(0, 7, kMarker);
  console.printText("Fertig.", true);
  expectCursor(2, 1);
  const std::string text = "Fertig.";
  for (size_t i = 0; i < text.size(); ++i)
    EXPECT_TRUE(cellShows(1, static_cast<int>(i) + 1, text[i]));
  EXPECT_EQ(frame.at(8 * 7, 0), kMarker);  // cells after the text keep their pixels
}

TEST_F(TextConsoleTest, FullRowFollowedByLineEndLeavesAnEmptyRow) {
  console.moveCursor(5, 1);
  markRow(6, kMarker);
  console.printText(std::string(80, 'x'));
  expectCursor(6, 1);
  console.printLineEnd();
  expectCursor(7, 1);
  EXPECT_EQ(uniformRow(6), kMarker);
}

TEST_F(TextConsoleTest, ControlBytes) {
  console.printText("\t");
  expectCursor(1, 9);
  console.printText("\t");
  expectCursor(1, 17);
  console.moveCursor(0, 5);
  console.printText("\t");
  expectCursor(1, 9);
  EXPECT_EQ(uniformRow(1), kPaper);  // tabs print blanks
  console.printText("ab\b\bc\a");
  expectCursor(1, 10);
  EXPECT_TRUE(cellShows(1, 9, 'c'));
  EXPECT_TRUE(cellShows(1, 10, 'b'));
  console.moveCursor(0, 1);
  console.printText("\b");
  expectCursor(1, 1);
  console.printText("abc\r");
  expectCursor(1, 1);
  console.printText("\n");
  expectCursor(2, 1);
}

TEST_F(TextConsoleTest, TabStopsAtTheEndOfANarrowRow) {
  console.reset(12, 4);
  console.moveCursor(1, 9);
  console.printText("\t");
  expectCursor(2, 1);  // four blanks fill the row, the next row starts
}

TEST_F(TextConsoleTest, LineEndOnTheBottomRowScrollsOnlyTheViewport) {
  for (int row = 1; row <= 60; ++row) markRow(row, static_cast<uint16_t>(row));
  ASSERT_TRUE(console.setTextViewport(18, 60));
  console.moveCursor(60, 1);
  console.printLineEnd();
  expectCursor(60, 1);
  for (int row = 1; row <= 17; ++row) EXPECT_EQ(uniformRow(row), row) << row;
  for (int row = 18; row <= 59; ++row) EXPECT_EQ(uniformRow(row), row + 1) << row;
  EXPECT_EQ(uniformRow(60), kPaper);
}

TEST_F(TextConsoleTest, RefusedMovesKeepTheCursor) {
  ASSERT_TRUE(console.setTextViewport(18, 60));
  console.moveCursor(60, 1);
  EXPECT_FALSE(console.moveCursor(console.cursorRow() + 3, 5));
  expectCursor(60, 1);
  console.printText("a");
  EXPECT_TRUE(cellShows(60, 1, 'a'));

  console.setTextViewport(0, 0);
  console.moveCursor(10, 10);
  EXPECT_FALSE(console.moveCursor(14, 81));
  expectCursor(10, 10);
  EXPECT_FALSE(console.moveCursor(-1, 0));
  EXPECT_FALSE(console.moveCursor(0, -1));
  expectCursor(10, 10);
  EXPECT_TRUE(console.moveCursor(0, 80));
  expectCursor(10, 80);
  EXPECT_TRUE(console.moveCursor(14, 0));
  expectCursor(14, 80);
}

TEST_F(TextConsoleTest, ViewportRequests) {
  console.moveCursor(15, 7);
  EXPECT_TRUE(console.setTextViewport(console.cursorRow() + 3, 60));
  expectCursor(18, 1);
  EXPECT_FALSE(console.setTextViewport(61, 60));
  EXPECT_FALSE(console.setTextViewport(30, 20));
  EXPECT_FALSE(console.setTextViewport(1, 61));
  EXPECT_FALSE(console.setTextViewport(-2, 10));
  EXPECT_EQ(console.viewportTop(), 18);
  EXPECT_EQ(console.viewportBottom(), 60);
  EXPECT_TRUE(console.setTextViewport(0, 0));
  EXPECT_EQ(console.viewportTop(), 1);
  EXPECT_EQ(console.viewportBottom(), 60);
}

TEST_F(TextConsoleTest, WrapOnTheBottomRowWaitsForTheNextByte) {
  markRow(1, kMarker);
  console.moveCursor(60, 1);
  console.printText(std::string(80, 'x'));
  expectCursor(60, 80);
  EXPECT_TRUE(console.pendingLineEnd());
  EXPECT_EQ(uniformRow(1), kMarker);  // nothing scrolled yet

  console.printText("y");  // scrolls first, then draws on the bottom row
  expectCursor(60, 2);
  EXPECT_FALSE(console.pendingLineEnd());
  EXPECT_TRUE(cellShows(59, 80, 'x'));
  EXPECT_TRUE(cellShows(60, 1, 'y'));
  EXPECT_EQ(uniformRow(1), kPaper);  // the marked row scrolled out
}

TEST_F(TextConsoleTest, MoveCursorCancelsThePendingLineEnd) {
  markRow(1, kMarker);
  console.moveCursor(60, 1);
  console.printText(std::string(80, 'x'));
  console.moveCursor(60, 3);
  EXPECT_FALSE(console.pendingLineEnd());
  console.printText("y");
  expectCursor(60, 4);
  EXPECT_EQ(uniformRow(1), kMarker);
  EXPECT_TRUE(cellShows(60, 3, 'y'));

  // A refused move cancels it too.
  console.moveCursor(60, 1);
  console.printText(std::string(80, 'x'));
  EXPECT_FALSE(console.moveCursor(0, 81));
  EXPECT_FALSE(console.pendingLineEnd());
  expectCursor(60, 80);
}

TEST_F(TextConsoleTest, FullBottomRowAndLineEndScrollsTwice) {
  for (int row = 1; row <= 60; ++row) markRow(row, static_cast<uint16_t>(row));
  console.moveCursor(60, 1);
  console.printText(std::string(80, 'x'), true);
  expectCursor(60, 1);
  EXPECT_EQ(uniformRow(57), 59);
  EXPECT_TRUE(cellShows(58, 1, 'x'));
  EXPECT_EQ(uniformRow(59), kPaper);  // the empty row the line end leaves
  EXPECT_EQ(uniformRow(60), kPaper);
}

TEST_F(TextConsoleTest, ClearScreenModes) {
  for (int row = 1; row <= 60; ++row) markRow(row, kMarker);
  ASSERT_TRUE(console.setTextViewport(13, 60));
  console.moveCursor(20, 4);
  console.clearScreen(ClearMode::kViewport);
  expectCursor(13, 1);
  for (int row = 1; row <= 12; ++row) EXPECT_EQ(uniformRow(row), kMarker) << row;
  for (int row = 13; row <= 60; ++row) EXPECT_EQ(uniformRow(row), kPaper) << row;

  // The default mode clears only the viewport unless it covers all rows.
  for (int row = 1; row <= 60; ++row) markRow(row, kMarker);
  console.clearScreen(ClearMode::kDefault);
  EXPECT_EQ(uniformRow(12), kMarker);
  EXPECT_EQ(uniformRow(13), kPaper);
  console.setTextViewport(0, 0);
  console.clearScreen(ClearMode::kDefault);
  for (int row = 1; row <= 60; ++row) EXPECT_EQ(uniformRow(row), kPaper) << row;
}

TEST_F(TextConsoleTest, ClearScreenUsesTheBackgroundAndCoversTheWholeFrame) {
  FrameBuffer odd;
  odd.resize(20, 20);  // 2 x 2 cells leave a strip of 4 pixels right and below
  odd.fillRows(0, 19, kMarker);
  PenColours bluePaper{kInk, 0x001F};
  TextConsole small(odd, bluePaper);
  small.reset(2, 2);
  small.clearScreen(ClearMode::kDefault);
  EXPECT_EQ(odd.at(19, 19), 0x001F);
  EXPECT_EQ(odd.at(0, 0), 0x001F);
}

TEST_F(TextConsoleTest, ColoursAreReadAtEachPrint) {
  console.printText("a");
  pen.foreground = 0x07FF;
  pen.background = 0x0001;
  console.printText("b");
  EXPECT_TRUE(cellShows(1, 2, 'b'));
  pen = PenColours{kInk, kPaper};
  EXPECT_TRUE(cellShows(1, 1, 'a'));
}

TEST_F(TextConsoleTest, ThousandsOfLinesScrollWithinTheViewport) {
  markRow(17, kMarker);
  console.setTextViewport(18, 60);
  for (int i = 0; i < 3000; ++i) console.printText("line", true);
  expectCursor(60, 1);
  EXPECT_EQ(uniformRow(17), kMarker);
  EXPECT_TRUE(cellShows(59, 1, 'l'));
  EXPECT_EQ(uniformRow(60), kPaper);
}

TEST_F(TextConsoleTest, EmptyGridPrintsNothing) {
  FrameBuffer frame2;
  frame2.resize(16, 16);
  TextConsole empty(frame2, pen);
  empty.printText("abc", true);
  empty.clearScreen(ClearMode::kDefault);
  EXPECT_FALSE(empty.setTextViewport(0, 0));
  EXPECT_FALSE(empty.reset(0, 5));
  EXPECT_EQ(testing::countSet(frame2), 0);
}

TEST_F(TextConsoleTest, GridLargerThanTheFrameIsClipped) {
  FrameBuffer tiny;
  tiny.resize(12, 12);
  TextConsole big(tiny, pen);
  big.reset(4, 4);
  big.printText(std::string(16, '\xDB'));
  EXPECT_EQ(testing::countSet(tiny), 144);
  big.printText("\r");  // settles the wrap: one scroll
  big.frame();          // rows in display order
  EXPECT_EQ(big.cursorRow(), 4);
  EXPECT_EQ(tiny.at(11, 3), kInk);  // pixel rows 8..11 moved up to 0..3
  EXPECT_EQ(tiny.at(11, 4), kPaper);
  EXPECT_EQ(tiny.at(11, 11), kPaper);
}

}  // namespace
}  // namespace ws
