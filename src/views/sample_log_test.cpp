#include "views/sample_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <utility>

namespace ws {
namespace {

std::string bytesOf(std::initializer_list<unsigned> values) {
  std::string out;
  for (unsigned v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(SampleLog, StartsAsOneAllZeroRecord) {
  SampleLog log;
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log.bytes(), std::string(12, '\0'));
  const SampleRecord zero = log.record(0);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(zero.ratio), 0u);
  EXPECT_EQ(zero.wordsTotal, 0u);
  EXPECT_EQ(zero.nodeCount, 0u);
}

TEST(SampleLog, AppendedRecordIsLittleEndianFloatAndTwoCounts) {
  SampleLog log;
  log.appendSample(3, 4, 230);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log.bytes().substr(12),
            bytesOf({0x00, 0x00, 0x40, 0x3F, 0x04, 0x00, 0x00, 0x00, 0xE6, 0x00, 0x00, 0x00}));
  // The ratio is divided in double and rounded once to the nearest single: 1/3.
  log.appendSample(1, 3, 0x01020304);
  EXPECT_EQ(log.bytes().substr(24),
            bytesOf({0xAB, 0xAA, 0xAA, 0x3E, 0x03, 0x00, 0x00, 0x00, 0x04, 0x03, 0x02, 0x01}));
  const SampleRecord r = log.record(2);
  EXPECT_EQ(r.ratio, static_cast<float>(1.0 / 3.0));
  EXPECT_EQ(r.wordsTotal, 3u);
  EXPECT_EQ(r.nodeCount, 0x01020304u);
}

// Every record reads back bit for bit, high bytes and odd floats included, and each complete
// block holds the extremes of its records.
TEST(SampleLog, RecordsReadBackAndBlocksHoldTheirExtremes) {
  SampleLog log;
  std::mt19937 random(5);
  std::vector<SampleRecord> written{SampleRecord{}};
  for (int i = 0; i < 9000; ++i) {
    SampleRecord r{std::bit_cast<float>(static_cast<std::uint32_t>(random())),
                   static_cast<std::uint32_t>(random()), static_cast<std::uint32_t>(random())};
    if (i % 7 == 0) r.ratio = static_cast<float>(random() % 1000) / 1000.0f;
    log.append(r);
    written.push_back(r);
  }
  ASSERT_EQ(log.size(), written.size());
  for (std::size_t i = 0; i < written.size(); ++i) {
    const SampleRecord r = log.record(i);
    ASSERT_EQ(std::bit_cast<std::uint32_t>(r.ratio),
              std::bit_cast<std::uint32_t>(written[i].ratio));
    ASSERT_EQ(r.wordsTotal, written[i].wordsTotal);
    ASSERT_EQ(r.nodeCount, written[i].nodeCount);
  }
  for (int level = 0; level < SampleLog::kBlockLevels; ++level) {
    const std::size_t records = SampleLog::blockRecords(level);
    ASSERT_EQ(log.blockCount(level), written.size() / records) << level;
    for (std::size_t k = 0; k < log.blockCount(level); ++k) {
      const auto first = written.begin() + static_cast<long>(k * records);
      const auto last = first + static_cast<long>(records);
      const SampleBlock& b = log.block(level, k);
      const auto words = std::minmax_element(
          first, last, [](auto& a, auto& c) { return a.wordsTotal < c.wordsTotal; });
      const auto nodes = std::minmax_element(
          first, last, [](auto& a, auto& c) { return a.nodeCount < c.nodeCount; });
      EXPECT_EQ(b.lowWords, words.first->wordsTotal);
      EXPECT_EQ(b.highWords, words.second->wordsTotal);
      EXPECT_EQ(b.lowNodes, nodes.first->nodeCount);
      EXPECT_EQ(b.highNodes, nodes.second->nodeCount);
      const bool finite = std::all_of(first, last, [](auto& r) { return std::isfinite(r.ratio); });
      EXPECT_EQ(b.finiteRatios, finite);
      EXPECT_EQ(b.last.nodeCount, (last - 1)->nodeCount);
      if (finite) {
        const auto ratios =
            std::minmax_element(first, last, [](auto& a, auto& c) { return a.ratio < c.ratio; });
        EXPECT_EQ(b.lowRatio, ratios.first->ratio);
        EXPECT_EQ(b.highRatio, ratios.second->ratio);
      }
    }
  }

  // A block of plain ratios.
  SampleLog plain;
  for (std::uint32_t i = 1; i < 16; ++i) plain.appendSample(i % 10, 10, i);
  ASSERT_EQ(plain.blockCount(0), 1u);
  EXPECT_TRUE(plain.block(0, 0).finiteRatios);
  EXPECT_EQ(plain.block(0, 0).lowRatio, 0.0f);
  EXPECT_EQ(plain.block(0, 0).highRatio, 0.9f);
  EXPECT_EQ(plain.block(0, 0).highNodes, 15u);
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
  EXPECT_EQ(copy.bytes(), log.bytes());
  copy = log;
  EXPECT_NE(copy.identity(), identity);
  SampleLog moved = std::move(copy);
  EXPECT_NE(moved.identity(), identity);
  EXPECT_EQ(moved.bytes(), log.bytes());
  SampleLog assigned;
  const std::uint64_t before = assigned.identity();
  assigned = std::move(moved);
  EXPECT_NE(assigned.identity(), before);
  EXPECT_NE(assigned.identity(), identity);
  EXPECT_EQ(assigned.size(), 2u);
}

}  // namespace
}  // namespace ws
