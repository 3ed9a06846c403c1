#include "driver/sample_log.h"

#include <gtest/gtest.h>

#include <string>

namespace ws {
namespace {

std::string bytesOf(std::initializer_list<unsigned> values) {
  std::string out;
  for (unsigned v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(SampleLog, StartsAsOneAllZeroRecord) {
  SampleLog log;
  EXPECT_EQ(log.recordCount(), 1u);
  EXPECT_EQ(log.bytes(), std::string(12, '\0'));
}

TEST(SampleLog, AppendedRecordIsLittleEndianFloatAndTwoCounts) {
  SampleLog log;
  log.appendSample(3, 4, 230);
  ASSERT_EQ(log.recordCount(), 2u);
  EXPECT_EQ(log.bytes().substr(12),
            bytesOf({0x00, 0x00, 0x40, 0x3F, 0x04, 0x00, 0x00, 0x00, 0xE6, 0x00, 0x00, 0x00}));
  // The ratio is divided in double and rounded once to the nearest single: 1/3.
  log.appendSample(1, 3, 0x01020304);
  EXPECT_EQ(log.bytes().substr(24),
            bytesOf({0xAB, 0xAA, 0xAA, 0x3E, 0x03, 0x00, 0x00, 0x00, 0x04, 0x03, 0x02, 0x01}));
}

TEST(SampleLog, FirstSampleAtFirstWordEndingAtOrBeyond1000) {
  SampleLog log;
  CrawlCounters counters;
  counters.wordsTotal = 5;
  counters.distinctWords = 2;
  log.checkSample(counters, 999);
  EXPECT_EQ(log.recordCount(), 1u);
  EXPECT_EQ(counters.lastSamplePosition, 0u);

  log.checkSample(counters, 1003);
  EXPECT_EQ(log.recordCount(), 2u);
  EXPECT_EQ(counters.lastSamplePosition, 1003u);
}

TEST(SampleLog, PositionIsAbsoluteAndNextSampleCountsFromTheLastOne) {
  SampleLog log;
  CrawlCounters counters;
  counters.wordsTotal = 1;
  counters.charactersRead = 1500;  // earlier articles
  log.checkSample(counters, 7);
  EXPECT_EQ(counters.lastSamplePosition, 1507u);
  // Moves from where the sample was taken, not by a fixed step: 2502 is too early.
  log.checkSample(counters, 1002);
  EXPECT_EQ(log.recordCount(), 2u);
  log.checkSample(counters, 1007);
  EXPECT_EQ(log.recordCount(), 3u);
  EXPECT_EQ(counters.lastSamplePosition, 2507u);
}

TEST(SampleLog, PositionsBeyond32BitsAreCompared) {
  SampleLog log;
  CrawlCounters counters;
  counters.wordsTotal = 1;
  counters.charactersRead = 5'000'000'000ull;
  counters.lastSamplePosition = 4'999'999'500ull;
  log.checkSample(counters, 499);
  EXPECT_EQ(log.recordCount(), 1u);
  log.checkSample(counters, 500);
  EXPECT_EQ(log.recordCount(), 2u);
  EXPECT_EQ(counters.lastSamplePosition, 5'000'000'500ull);
}

}  // namespace
}  // namespace ws
