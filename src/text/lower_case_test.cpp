#include "text/lower_case.h"

#include <gtest/gtest.h>

namespace ws {
namespace {

TEST(LowerCase, AsciiAndLatin1CapitalsBecomeSmallAndNothingElseChanges) {
  EXPECT_EQ(lowerByte('A'), 'a');
  EXPECT_EQ(lowerByte('Z'), 'z');
  EXPECT_EQ(lowerByte(0xC4), 0xE4);  // Ä -> ä
  EXPECT_EQ(lowerByte(0xD6), 0xF6);  // Ö -> ö
  EXPECT_EQ(lowerByte(0xDC), 0xFC);  // Ü -> ü
  EXPECT_EQ(lowerByte(0xC0), 0xE0);
  EXPECT_EQ(lowerByte(0xDE), 0xFE);
  // Neighbours of the ranges and the two Latin-1 exceptions stay as they are.
  for (int b :
       std::initializer_list<int>{'@', '[', '`', '{', 0xBF, 0xD7, 0xDF, 0xE4, 0xF7, 0xFF, 0}) {
    EXPECT_EQ(lowerByte(static_cast<unsigned char>(b)), b) << b;
  }
  int changed = 0;
  for (int b = 0; b < 256; ++b) changed += lowerByte(static_cast<unsigned char>(b)) != b;
  EXPECT_EQ(changed, 26 + 30);
}

TEST(LowerCase, WholeTextsKeepTheirLength) {
  std::string text(
      "Gr\xD6\xDF"
      "E \xC4RGER\0X",
      11);
  lowerCaseInPlace(text);
  EXPECT_EQ(text, std::string("gr\xF6\xDF"
                              "e \xE4rger\0x",
                              11));
  EXPECT_EQ(lowerCased("Die DIE"), "die die");
}

}  // namespace
}  // namespace ws
