#include "driver/sample_check.h"

#include <gtest/gtest.h>

namespace ws {
namespace {

TEST(SampleCheck, FirstSampleAtFirstWordEndingAtOrBeyond1000) {
  SampleLog log;
  CrawlCounters counters;
  counters.wordsTotal = 5;
  counters.distinctWords = 2;
  checkSample(log, counters, 999);
  EXPECT_EQ(log.size(), 1u);
  EXPECT_EQ(counters.lastSamplePosition, 0u);

  checkSample(log, counters, 1003);
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(counters.lastSamplePosition, 1003u);
}

TEST(SampleCheck, PositionIsAbsoluteAndNextSampleCountsFromTheLastOne) {
  SampleLog log;
  CrawlCounters counters;
  counters.wordsTotal = 1;
  counters.charactersRead = 1500;  // earlier articles
  checkSample(log, counters, 7);
  EXPECT_EQ(counters.lastSamplePosition, 1507u);
  // Moves from where the sample was taken, not by a fixed step: 2502 is too early.
  checkSample(log, counters, 1002);
  EXPECT_EQ(log.size(), 2u);
  checkSample(log, counters, 1007);
  EXPECT_EQ(log.size(), 3u);
  EXPECT_EQ(counters.lastSamplePosition, 2507u);
}

TEST(SampleCheck, PositionsBeyond32BitsAreCompared) {
  SampleLog log;
  CrawlCounters counters;
  counters.wordsTotal = 1;
  counters.charactersRead = 5'000'000'000ull;
  counters.lastSamplePosition = 4'999'999'500ull;
  checkSample(log, counters, 499);
  EXPECT_EQ(log.size(), 1u);
  checkSample(log, counters, 500);
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(counters.lastSamplePosition, 5'000'000'500ull);
}

}  // namespace
}  // namespace ws
