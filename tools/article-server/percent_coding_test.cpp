#include "percent_coding.h"

#include <gtest/gtest.h>

namespace ws {
namespace {

TEST(PercentCoding, EncodesUmlautsBlanksAndUnsafeBytes) {
  EXPECT_EQ(encodeTitle("Münchner Straße"), "M%C3%BCnchner_Stra%C3%9Fe");
  EXPECT_EQ(encodeTitle("Ä/Ö?Ü#&"), "%C3%84%2F%C3%96%3F%C3%9C%23%26");
  EXPECT_EQ(encodeTitle("a_b"), "a%5Fb");  // a real "_" must not come back as a blank
  EXPECT_EQ(encodeTitle("Ls (Befehl), Teil 2"), "Ls_(Befehl),_Teil_2");
  EXPECT_EQ(encodeTitle("100%"), "100%25");
}

TEST(PercentCoding, DecodesWhatItEncodes) {
  for (const char* title : {"Münchner Straße", "a_b c", "100% sicher", "Ä/Ö?Ü#&+", "«»—"}) {
    const auto decoded = decodeTitle(encodeTitle(title));
    ASSERT_TRUE(decoded.has_value()) << title;
    EXPECT_EQ(*decoded, title);
  }
}

TEST(PercentCoding, DecodesLowerCaseHexAndRawUtf8) {
  EXPECT_EQ(decodeTitle("M%c3%bcnchen"), "München");
  EXPECT_EQ(decodeTitle("München_Ost"), "München Ost");
}

TEST(PercentCoding, RejectsBrokenEscapes) {
  EXPECT_FALSE(decodeTitle("%"));
  EXPECT_FALSE(decodeTitle("ab%4"));
  EXPECT_FALSE(decodeTitle("%G1"));
  EXPECT_FALSE(decodeTitle("%%41"));
}

}  // namespace
}  // namespace ws
