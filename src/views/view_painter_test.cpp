#include "views/views.h"

#include <gtest/gtest.h>

#include "views/test_view_fixture.h"

namespace ws::testing {
namespace {

TEST(ViewPainter, EveryViewHasACyanHeadlineAndLeavesWhiteOnBlack) {
  for (char code = '1'; code <= '8'; ++code) {
    ViewFixture f;
    f.read("haus");
    f.draw(code);
    const ScreenReader& r = f.reader;
    EXPECT_EQ(r.rowText(14).substr(0, 4), std::string(" ") + code + ") ") << "view " << code;
    EXPECT_EQ(r.cellInk(14, 2), kCyan565) << "view " << code;
    f.screen.setTextViewport(0, 0);
    f.screen.moveCursor(1, 1);
    f.screen.printText("#");
    EXPECT_EQ(r.cellInk(1, 1), kWhite565) << "view " << code;
    EXPECT_EQ(r.pixel(7, 7), 0) << "view " << code;  // background of the '#' cell
  }
}

TEST(ViewPainter, UnknownViewCodeDrawsNothing) {
  ViewFixture f;
  f.draw('9');
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) ASSERT_EQ(f.reader.pixel(x, y), 0) << x << ", " << y;
  }
}

}  // namespace
}  // namespace ws::testing
