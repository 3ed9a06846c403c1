#include "screen/font8x8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace ws {
namespace {

int pixelsOf(const Glyph& glyph) {
  int count = 0;
  for (uint8_t row : glyph) count += std::popcount(row);
  return count;
}

std::string artOf(const Glyph& glyph) {
  std::string art;
  for (uint8_t row : glyph) {
    for (int x = 0; x < 8; ++x) art += (row & (0x80 >> x)) ? '#' : '.';
    art += '\n';
  }
  return art;
}

uint8_t mirrored(uint8_t row) {
  uint8_t out = 0;
  for (int x = 0; x < 8; ++x) {
    if (row & (1 << x)) out |= static_cast<uint8_t>(0x80 >> x);
  }
  return out;
}

TEST(Font8x8, LettersLookLikeLetters) {
  // A capital A: non-empty, and as wide on the left as on the right (within one column).
  const Glyph& a = glyphOf('A');
  EXPECT_GT(pixelsOf(a), 12) << artOf(a);
  int asymmetric = 0;
  for (uint8_t row : a)
    asymmetric +=
        std::popcount(static_cast<uint8_t>(row ^ static_cast<uint8_t>(mirrored(row) << 1)));
  EXPECT_LE(asymmetric, 4) << artOf(a);
  // 'I' and 'l' differ, digits differ from each other, upper from lower case.
  EXPECT_NE(glyphOf('I'), glyphOf('l'));
  EXPECT_NE(glyphOf('0'), glyphOf('8'));
  EXPECT_NE(glyphOf('a'), glyphOf('A'));
}

TEST(Font8x8, EveryCodeButTheBlanksHasABitmapOfItsOwn) {
  for (int code = 0; code < 256; ++code) {
    const Glyph& glyph = glyphOf(static_cast<unsigned char>(code));
    const bool blank = code == 0x00 || code == 0x20 || code == 0xFF;
    EXPECT_EQ(pixelsOf(glyph) == 0, blank) << code;
    if (blank) continue;
    for (int other = 0; other < code; ++other) {
      EXPECT_NE(glyph, glyphOf(static_cast<unsigned char>(other)))
          << "0x" << std::hex << other << " and 0x" << code << "\n"
          << artOf(glyph);
    }
  }
}

// The runs of set pixels in one row, as (first column, last column), left to right.
std::vector<std::pair<int, int>> runsOf(uint8_t row) {
  std::vector<std::pair<int, int>> runs;
  for (int x = 0; x < 8; ++x) {
    if (!(row & (0x80 >> x))) continue;
    if (runs.empty() || runs.back().second != x - 1) runs.push_back({x, x});
    runs.back().second = x;
  }
  return runs;
}

std::vector<int> inkedRows(const Glyph& glyph) {
  std::vector<int> rows;
  for (int y = 0; y < 8; ++y) {
    if (glyph[y]) rows.push_back(y);
  }
  return rows;
}

// The Latin-1 letters of German text show as their code page 437 namesakes.
TEST(Font8x8, GermanLettersShowTheirCodePage437Glyphs) {
  // 0xE4 (a with diaeresis): a capital sigma. Full bars on top and bottom, and between them a
  // stroke whose left end moves right to the middle and back.
  const Glyph& sigma = glyphOf(0xE4);
  const std::vector<int> sigmaRows = inkedRows(sigma);
  ASSERT_GE(sigmaRows.size(), 5u) << artOf(sigma);
  for (int y : {sigmaRows.front(), sigmaRows.back()}) {
    ASSERT_EQ(runsOf(sigma[y]).size(), 1u) << artOf(sigma);
    EXPECT_GE(runsOf(sigma[y])[0].second - runsOf(sigma[y])[0].first, 5) << artOf(sigma);
  }
  std::vector<int> leftEdge;
  for (int y = sigmaRows.front(); y <= sigmaRows.back(); ++y)
    leftEdge.push_back(runsOf(sigma[y]).at(0).first);
  const auto deepest = std::max_element(leftEdge.begin(), leftEdge.end());
  EXPECT_TRUE(std::is_sorted(leftEdge.begin(), deepest + 1)) << artOf(sigma);
  EXPECT_TRUE(std::is_sorted(leftEdge.rbegin(), std::make_reverse_iterator(deepest)))
      << artOf(sigma);
  EXPECT_GE(*deepest, 2) << artOf(sigma);

  // 0xF6 (o with diaeresis): a division sign. A dot, a wider bar and a dot, apart.
  const Glyph& division = glyphOf(0xF6);
  const std::vector<int> divisionRows = inkedRows(division);
  ASSERT_EQ(divisionRows.size(), 3u) << artOf(division);
  EXPECT_GT(divisionRows[1], divisionRows[0] + 1) << artOf(division);
  EXPECT_GT(divisionRows[2], divisionRows[1] + 1) << artOf(division);
  EXPECT_EQ(division[divisionRows[0]], division[divisionRows[2]]) << artOf(division);
  EXPECT_GT(std::popcount(division[divisionRows[1]]), std::popcount(division[divisionRows[0]]));
  EXPECT_EQ(division[divisionRows[0]] & ~division[divisionRows[1]], 0) << artOf(division);

  // 0xFC (u with diaeresis): a superscript n. Only the upper rows, ending in two legs.
  const Glyph& superscriptN = glyphOf(0xFC);
  const std::vector<int> nRows = inkedRows(superscriptN);
  ASSERT_FALSE(nRows.empty());
  EXPECT_LE(nRows.back(), 4) << artOf(superscriptN);
  EXPECT_EQ(runsOf(superscriptN[nRows.back()]).size(), 2u) << artOf(superscriptN);

  // 0xDF (sharp s) and 0xDC (capital U with diaeresis): the upper and the lower half block.
  for (int y = 0; y < 8; ++y) {
    EXPECT_EQ(glyphOf(0xDF)[y], y < 4 ? 0xFF : 0x00) << artOf(glyphOf(0xDF));
    EXPECT_EQ(glyphOf(0xDC)[y], y < 4 ? 0x00 : 0xFF) << artOf(glyphOf(0xDC));
  }

  // 0xC4 (capital A with diaeresis): a horizontal box-drawing line, one full row and nothing
  // else.
  const Glyph& line = glyphOf(0xC4);
  ASSERT_EQ(inkedRows(line).size(), 1u) << artOf(line);
  EXPECT_EQ(line[inkedRows(line)[0]], 0xFF) << artOf(line);

  // 0xD6 (capital O with diaeresis): a box-drawing corner. Nothing above a bar that runs to the
  // right edge; below it the same vertical strokes down to the bottom edge.
  const Glyph& corner = glyphOf(0xD6);
  const std::vector<int> cornerRows = inkedRows(corner);
  ASSERT_FALSE(cornerRows.empty());
  const int bar = cornerRows.front();
  ASSERT_EQ(runsOf(corner[bar]).size(), 1u) << artOf(corner);
  EXPECT_EQ(runsOf(corner[bar])[0].second, 7) << artOf(corner);
  EXPECT_GT(runsOf(corner[bar])[0].first, 0) << artOf(corner);
  ASSERT_LT(bar, 7) << artOf(corner);
  for (int y = bar + 1; y < 8; ++y) {
    EXPECT_EQ(corner[y], corner[bar + 1]) << artOf(corner);
    EXPECT_NE(corner[y], 0) << artOf(corner);
    EXPECT_EQ(corner[y] & 0x01, 0) << artOf(corner);
  }
}

}  // namespace
}  // namespace ws
