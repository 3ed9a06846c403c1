#include "screen/number_format.h"

#include <gtest/gtest.h>

namespace ws {
namespace {

TEST(NumberFormatSmoke, Basics) {
  EXPECT_EQ(doubleText(0.1), "0.1");
  EXPECT_EQ(maskedText("##.###", 5.1235), " 5.124");
  EXPECT_EQ(elapsedText(3725.4567, 2), "1:02:05.45");
}

}  // namespace
}  // namespace ws
