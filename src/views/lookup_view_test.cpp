#include "views/lookup_view.h"

#include <gtest/gtest.h>

#include <string>

#include "views/test_view_fixture.h"

namespace ws::testing {
namespace {

TEST(LookupView, ShowsEachListWordWithItsCountAndTheTiming) {
  ViewFixture f;
  f.read("haus", 2);  // the text's "Haus" and "haus" both arrive lower-cased
  f.read("der", 3);
  f.read("dieser");  // "die" is only a prefix
  f.read("freebasic");
  f.draw('2');
  const ScreenReader& r = f.reader;
  EXPECT_EQ(r.rowText(14), " 2) Gezielter Lookup von Woertern:");
  const char* expected[] = {
      "    Wie oft kommt Computernerd vor?  0x", "    Wie oft kommt freeBasic vor?  1x",
      "    Wie oft kommt der vor?  3x",          "    Wie oft kommt die vor?  0x",
      "    Wie oft kommt das vor?  0x",          "    Wie oft kommt und vor?  0x",
      "    Wie oft kommt in vor?  0x",           "    Wie oft kommt Klingone vor?  0x",
      "    Wie oft kommt Rhabarber vor?  0x",    "    Wie oft kommt Haus vor?  2x"};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(r.rowText(18 + i), expected[i]) << r.rows(14, 30);
  EXPECT_EQ(r.rowText(28), "");
  const std::string timing = r.rowText(29);
  EXPECT_EQ(timing.rfind("    Das Nachschlagen der Haeufigkeiten dauerte ", 0), 0u)
      << r.rows(14, 30);
  EXPECT_EQ(timing.substr(timing.size() - 10), " Sekunden.") << r.rows(14, 30);
}

TEST(LookupView, WordsAreYellowCountsRedAndTheRestWhite) {
  ViewFixture f;
  f.read("haus", 12);
  f.draw('2');
  const ScreenReader& r = f.reader;
  const int row = 27;  // the last list word, Haus
  ASSERT_EQ(r.rowText(row), "    Wie oft kommt Haus vor?  12x") << r.rows(14, 30);
  EXPECT_EQ(r.cellInk(row, 5), kWhite565);    // W
  EXPECT_EQ(r.cellInk(row, 19), kYellow565);  // H
  EXPECT_EQ(r.cellInk(row, 22), kYellow565);  // s
  EXPECT_EQ(r.cellInk(row, 24), kWhite565);   // v
  EXPECT_EQ(r.cellInk(row, 30), kRed565);     // 1
  EXPECT_EQ(r.cellInk(row, 31), kRed565);     // 2
  EXPECT_EQ(r.cellInk(row, 32), kWhite565);   // x
  EXPECT_EQ(r.cellInk(14, 2), kCyan565);
}

}  // namespace
}  // namespace ws::testing
