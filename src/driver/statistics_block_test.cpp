#include "driver/statistics_block.h"

#include "screen/canvas.h"

#include <gtest/gtest.h>

#include "driver/test_support.h"
#include "screen/screen_service.h"

namespace ws {
namespace {

using ws::testing::openSmallScreen;
using ws::testing::sameRows;

// Column (1-based) of the first occurrence of c in row, 0 if absent.
std::size_t columnOf(const std::string& row, char c) {
  const auto at = row.find(c);
  return at == std::string::npos ? 0 : at + 1;
}

TEST(StatisticsRows, FreshRunShowsRootNodesAndZeroAverage) {
  CrawlCounters counters;
  CrawlTiming timing;
  timing.startTime = 100.0;
  const StatisticsRows rows = statisticsRows(counters, timing, "", 100.0 + 3725.4567);
  EXPECT_EQ(rows[0], "                       Gesamtzeit: 1:02:05.45");
  EXPECT_EQ(rows[3], "                Anzahl der Knoten: 224");
  EXPECT_EQ(rows[4], "                Belegter Speicher: 0.1 MB");
  EXPECT_EQ(rows[6], "                Woerter insgesamt: 0");
  EXPECT_EQ(rows[7], "         Unterschiedliche Woerter: 0");
  EXPECT_EQ(rows[8], "     Durchschnittliche Wortlaenge: 0.000 Buchstaben.");
  EXPECT_EQ(rows[10], "Eingelesene Website (0): ");
  EXPECT_TRUE(rows[2].empty() && rows[5].empty() && rows[9].empty());
  for (int row = 0; row < 9; ++row) {
    if (!rows[row].empty()) {
      EXPECT_EQ(columnOf(rows[row], ':'), 34u) << "row " << row + 1;
    }
  }
}

TEST(StatisticsRows, AverageKeepsItsDecimalPointInColumn37) {
  CrawlCounters counters;
  CrawlTiming timing;
  counters.wordsTotal = 8;
  counters.letterCount = 41;  // 5.125
  StatisticsRows rows = statisticsRows(counters, timing, "", 0.0);
  EXPECT_EQ(rows[8], "     Durchschnittliche Wortlaenge: 5.125 Buchstaben.");
  EXPECT_EQ(rows[8][34], ' ');
  EXPECT_EQ(columnOf(rows[8], '.'), 37u);
  EXPECT_DOUBLE_EQ(timing.averageWordLength, 5.125);

  counters.letterCount = 100;  // 12.5
  rows = statisticsRows(counters, timing, "", 0.0);
  EXPECT_EQ(rows[8], "     Durchschnittliche Wortlaenge:12.500 Buchstaben.");
  EXPECT_EQ(columnOf(rows[8], '.'), 37u);
}

TEST(StatisticsRows, AverageIsKeptWhileNoWordWasRead) {
  CrawlCounters counters;
  CrawlTiming timing;
  timing.averageWordLength = 6.25;
  const StatisticsRows rows = statisticsRows(counters, timing, "", 0.0);
  EXPECT_DOUBLE_EQ(timing.averageWordLength, 6.25);
  EXPECT_EQ(rows[8], "     Durchschnittliche Wortlaenge: 6.250 Buchstaben.");
}

TEST(StatisticsRows, CountsReadingTimeAndArticlePath) {
  CrawlCounters counters;
  counters.pagesRead = 17;
  counters.nodeCount = 5000;
  counters.wordsTotal = 4294967295u;
  counters.distinctWords = 1234;
  counters.letterCount = 5;
  CrawlTiming timing;
  timing.readingTime = 7384.25;
  const StatisticsRows rows = statisticsRows(counters, timing, "/wiki/Stra%C3%9Fe", 0.0);
  EXPECT_EQ(rows[1], "Gesamtzeit zum Einlesen der Daten: 2:03:04.25");
  EXPECT_EQ(rows[3], "                Anzahl der Knoten: 5000");
  EXPECT_EQ(rows[6], "                Woerter insgesamt: 4294967295");
  EXPECT_EQ(rows[7], "         Unterschiedliche Woerter: 1234");
  EXPECT_EQ(rows[10], "Eingelesene Website (17): /wiki/Stra%C3%9Fe");
}

TEST(PrintStatistics, RendersTheRowsOnTheTextConsole) {
  CrawlCounters counters;
  counters.pagesRead = 3;
  counters.nodeCount = 262144;
  counters.wordsTotal = 4;
  counters.distinctWords = 3;
  counters.letterCount = 19;
  CrawlTiming timing;
  timing.startTime = 10.0;
  timing.readingTime = 0.5;

  ScreenService actual;
  openSmallScreen(actual);
  {
    Canvas canvas(actual);
    printStatistics(canvas, counters, timing, "/wiki/Haus", 22.345678);
  }
  EXPECT_EQ(actual.cursorRow(), 12);
  EXPECT_EQ(actual.cursorColumn(), 1);

  ScreenService expected;
  openSmallScreen(expected);
  expected.printText(
      "                       Gesamtzeit: 0:00:12.34\r\n"
      "Gesamtzeit zum Einlesen der Daten: 0:00:00.5\r\n"
      "\r\n"
      "                Anzahl der Knoten: 262144\r\n"
      "                Belegter Speicher: 225 MB\r\n"
      "\r\n"
      "                Woerter insgesamt: 4\r\n"
      "         Unterschiedliche Woerter: 3\r\n"
      "     Durchschnittliche Wortlaenge: 4.750 Buchstaben.\r\n"
      "\r\n"
      "Eingelesene Website (3): /wiki/Haus\r\n");
  EXPECT_TRUE(sameRows(actual.frame(), expected.frame(), 0, 479));
}

}  // namespace
}  // namespace ws
