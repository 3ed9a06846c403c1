#include "views/sample_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace ws {
namespace {

bool sameRecord(const SampleRecord& a, const SampleRecord& b) {
  return std::bit_cast<std::uint32_t>(a.ratio) == std::bit_cast<std::uint32_t>(b.ratio) &&
         a.wordsTotal == b.wordsTotal && a.nodeCount == b.nodeCount;
}

TEST(SampleLog, StartsAsOneAllZeroRecord) {
  SampleLog log;
  ASSERT_EQ(log.size(), 1u);
  ASSERT_EQ(log.entries(), 1u);
  EXPECT_TRUE(log.exact());
  EXPECT_TRUE(sameRecord(log.record(0), SampleRecord{}));
  EXPECT_TRUE(sameRecord(log.last(), SampleRecord{}));
}

// The ratio is divided in double and rounded once to single precision, and a words total beyond
// 32 bits is kept whole.
TEST(SampleLog, SampleRatioIsRoundedOnceAndWideTotalsStay) {
  SampleLog log;
  log.appendSample(1, 3, 0x01020304);
  EXPECT_EQ(log.record(1).ratio, static_cast<float>(1.0 / 3.0));
  EXPECT_EQ(log.record(1).nodeCount, 0x01020304u);
  // In single precision the counts would round to 2^24 and 2^25 before dividing: 0.5.
  log.appendSample(16'777'217, 33'554'431, 0x01020305);
  EXPECT_EQ(log.record(2).ratio, 0x1.000002p-1f);
  log.appendSample(5'000'000'000ull, 15'000'000'001ull, 0x01020306);
  EXPECT_EQ(log.record(3).wordsTotal, 15'000'000'001ull);
  EXPECT_EQ(log.last().wordsTotal, 15'000'000'001ull);
  EXPECT_TRUE(log.countsNeverFall());
  log.append({0.5f, 15'000'000'000ull, 0x01020307});
  EXPECT_FALSE(log.countsNeverFall());
}

// While exact, every record reads back bit for bit and each complete block holds the ratio
// extremes of its records.
TEST(SampleLog, RecordsReadBack) {
  SampleLog log;
  std::mt19937_64 random(5);
  std::vector<SampleRecord> written{SampleRecord{}};
  for (int i = 0; i < 9000; ++i) {
    SampleRecord r{std::bit_cast<float>(static_cast<std::uint32_t>(random())), random(),
                   static_cast<std::uint32_t>(random())};
    if (i % 7 == 0) r.ratio = static_cast<float>(random() % 1000) / 1000.0f;
    log.append(r);
    written.push_back(r);
  }
  ASSERT_EQ(log.size(), written.size());
  ASSERT_EQ(log.entries(), written.size());
  for (std::size_t i = 0; i < written.size(); ++i)
    ASSERT_TRUE(sameRecord(log.record(i), written[i]));
}

// A crawl's counters, with now and then a NaN ratio or a jump, as far as the spans care.
std::vector<SampleRecord> crawlRecords(std::size_t count) {
  std::mt19937 random(17);
  std::vector<SampleRecord> records{SampleRecord{}};
  std::uint64_t words = 0;
  std::uint32_t nodes = 224;
  while (records.size() < count) {
    words += 100 + random() % 100;
    if (random() % 5000 == 0) words += 1'000'000;
    nodes += random() % 7;
    float ratio = static_cast<float>(random() % 1000) / 1000.0f;
    if (random() % 3000 == 0) ratio = std::numeric_limits<float>::quiet_NaN();
    records.push_back({ratio, words, nodes});
  }
  return records;
}

template <class T, class Value>
void expectSeries(const SeriesSpan<T>& span, const std::vector<SampleRecord>& records,
                  std::size_t begin, std::size_t end, Value value, const std::string& what) {
  T low = value(records[begin]), high = low, step = 0;
  for (std::size_t i = begin + 1; i < end; ++i) {
    const T v = value(records[i]);
    const T previous = value(records[i - 1]);
    low = std::min(low, v);
    high = std::max(high, v);
    step = std::max(step, v > previous ? v - previous : previous - v);
  }
  ASSERT_EQ(span.first, value(records[begin])) << what;
  ASSERT_EQ(span.last, value(records[end - 1])) << what;
  ASSERT_EQ(span.low, low) << what;
  ASSERT_EQ(span.high, high) << what;
  ASSERT_EQ(span.step, step) << what;
}

// Every entry stands for its records: a lone one for itself, a span for its extremes, ends and
// largest step.
void expectEntriesStandForTheirRecords(const SampleLog& log,
                                       const std::vector<SampleRecord>& records) {
  ASSERT_EQ(log.size(), records.size());
  ASSERT_TRUE(sameRecord(log.last(), records.back()));
  ASSERT_EQ(log.firstRecordOf(log.entries()) >= log.size(), true);
  for (std::size_t e = 0; e < log.singleEntries(); ++e) {
    ASSERT_TRUE(sameRecord(log.record(e), records[e])) << e;
  }
  for (std::size_t e = log.singleEntries(); e < log.entries(); ++e) {
    const std::size_t begin = log.firstRecordOf(e);
    const std::size_t end = std::min(log.firstRecordOf(e + 1), log.size());
    const std::string what = "entry " + std::to_string(e) + " of " + std::to_string(log.size());
    ASSERT_EQ(log.firstEntryFrom(begin), e);
    expectSeries(
        log.countSpan(CountSeries::kWords, e), records, begin, end,
        [](const SampleRecord& r) { return r.wordsTotal; }, what);
    expectSeries(
        log.countSpan(CountSeries::kNodes, e), records, begin, end,
        [](const SampleRecord& r) { return std::uint64_t{r.nodeCount}; }, what);
    const SeriesSpan<float> ratio = log.ratioSpan(e);
    float low = std::numeric_limits<float>::infinity(), high = -low;
    bool finite = true;
    for (std::size_t i = begin; i < end; ++i) {
      finite = finite && std::isfinite(records[i].ratio);
      if (std::isnan(records[i].ratio)) continue;
      low = std::min(low, records[i].ratio);
      high = std::max(high, records[i].ratio);
    }
    ASSERT_EQ(ratio.low, low) << what;
    ASSERT_EQ(ratio.high, high) << what;
    ASSERT_EQ(!std::isnan(ratio.step), finite) << what;
  }
}

// Past its bound the log thins: the head stays record by record, the rest turns into spans of
// 2^k that keep each series' extremes, and the bytes held stay within their bound for ever.
TEST(SampleLog, ThinnedLogKeepsExtremesAndStaysWithinItsBytes) {
  constexpr std::size_t kExact = std::size_t{1} << 16;
  const std::vector<SampleRecord> records = crawlRecords(1'100'000);
  SampleLog log(kExact);
  std::vector<SampleRecord> appended{SampleRecord{}};
  std::uint64_t identity = log.identity();
  int thinnings = 0;
  std::size_t largestBytes = 0;
  for (std::size_t i = 1; i < records.size(); ++i) {
    log.append(records[i]);
    appended.push_back(records[i]);
    largestBytes = std::max(largestBytes, log.bytesHeld());
    if (log.identity() != identity) {
      // A thinning: readers' kept results must go.
      identity = log.identity();
      ++thinnings;
      expectEntriesStandForTheirRecords(log, appended);
    }
    ASSERT_EQ(log.exact(), i < kExact) << i;
  }
  expectEntriesStandForTheirRecords(log, appended);
  EXPECT_EQ(thinnings, 5);  // spans of 8, then 16, 32, 64, 128 records
  EXPECT_EQ(log.spanRecords(), 128u);
  EXPECT_EQ(log.singleEntries(), log.headRecords());
  EXPECT_LE(log.entries(), log.headRecords() + kExact / 4);
  EXPECT_GE(log.entries(), log.headRecords() + kExact / 8);
  EXPECT_EQ(log.largestRatio(), 0.999f);
  EXPECT_LE(largestBytes, 24 * kExact) << largestBytes;
}

// Readers keep results per identity: a log keeps its own while it grows, and no copy shares it,
// since a copy may go on with other records.
TEST(SampleLog, CopiesAndMovesTakeAnIdentityOfTheirOwn) {
  SampleLog log;
  const std::uint64_t identity = log.identity();
  log.appendSample(1, 2, 3);
  EXPECT_EQ(log.identity(), identity);
  SampleLog copy = log;
  EXPECT_NE(copy.identity(), identity);
  ASSERT_EQ(copy.size(), 2u);
  EXPECT_TRUE(sameRecord(copy.record(1), log.record(1)));
  copy = log;
  EXPECT_NE(copy.identity(), identity);
  SampleLog moved = std::move(copy);
  EXPECT_NE(moved.identity(), identity);
  EXPECT_TRUE(sameRecord(moved.last(), log.last()));
  SampleLog assigned;
  const std::uint64_t before = assigned.identity();
  assigned = std::move(moved);
  EXPECT_NE(assigned.identity(), before);
  EXPECT_NE(assigned.identity(), identity);
  EXPECT_EQ(assigned.size(), 2u);
}

}  // namespace
}  // namespace ws
