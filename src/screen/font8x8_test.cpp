#include "screen/font8x8.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>

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

TEST(Font8x8, BlanksAndBlocks) {
  EXPECT_EQ(pixelsOf(glyphOf(0)), 0);
  EXPECT_EQ(pixelsOf(glyphOf(' ')), 0);
  EXPECT_EQ(pixelsOf(glyphOf(0xDB)), 64) << artOf(glyphOf(0xDB));
  const Glyph& upperHalf = glyphOf(0xDF);  // the glyph a Latin-1 sharp s shows as
  for (int y = 0; y < 8; ++y) EXPECT_EQ(upperHalf[y], y < 4 ? 0xFF : 0x00) << artOf(upperHalf);
  const Glyph& lowerHalf = glyphOf(0xDC);
  for (int y = 0; y < 8; ++y) EXPECT_EQ(lowerHalf[y], y < 4 ? 0x00 : 0xFF) << artOf(lowerHalf);
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

TEST(Font8x8, EveryPrintableCodeHasItsOwnGlyph) {
  // Codes 1..254 except the blank are all drawn, and almost all glyphs are distinct.
  int distinct = 0;
  for (int code = 1; code < 255; ++code) {
    if (code == ' ') continue;
    EXPECT_GT(pixelsOf(glyphOf(static_cast<unsigned char>(code))), 0) << code;
    bool unique = true;
    for (int other = 1; other < code && unique; ++other) {
      unique =
          glyphOf(static_cast<unsigned char>(other)) != glyphOf(static_cast<unsigned char>(code));
    }
    distinct += unique;
  }
  EXPECT_GE(distinct, 240);
}

TEST(Font8x8, HorizontalBoxLineForCapitalAUmlaut) {
  // 0xC4 is a horizontal box-drawing line: one full row, the others empty.
  const Glyph& line = glyphOf(0xC4);
  int fullRows = 0;
  for (uint8_t row : line) {
    EXPECT_TRUE(row == 0x00 || row == 0xFF) << artOf(line);
    fullRows += row == 0xFF;
  }
  EXPECT_EQ(fullRows, 1) << artOf(line);
}

}  // namespace
}  // namespace ws
