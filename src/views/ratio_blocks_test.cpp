#include "views/ratio_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>

namespace ws {
namespace {

// Every finished block of every level against the entries it stands for.
void expectBlocksOf(const RatioBlocks& blocks, const SampleLog& log) {
  for (int level = 0; level < RatioBlocks::kLevels; ++level) {
    const std::size_t size = RatioBlocks::entriesPerBlock(level);
    ASSERT_EQ(blocks.count(level), log.fixedEntries() / size) << "level " << level;
    for (std::size_t k = 0; k < blocks.count(level); ++k) {
      bool finite = true;
      float low = std::numeric_limits<float>::infinity(), high = -low;
      for (std::size_t e = k * size; e < (k + 1) * size; ++e) {
        const SeriesSpan<float> ratio = log.ratioSpan(e);
        finite = finite && !std::isnan(ratio.step);
        low = std::min(low, ratio.low);
        high = std::max(high, ratio.high);
      }
      const SampleBlock& b = blocks.block(level, k);
      ASSERT_EQ(b.finiteRatios, finite) << "level " << level << ", block " << k;
      if (finite) {
        ASSERT_EQ(b.lowRatio, low) << "level " << level << ", block " << k;
        ASSERT_EQ(b.highRatio, high) << "level " << level << ", block " << k;
      }
    }
  }
}

// Caught up now and then, the blocks of a log that stays exact and of one that thins (each
// thinning a new identity, so the blocks start over) hold the extremes of their entries' ratios:
// any bits at all, NaN and infinities among them, and now and then a plain share.
TEST(RatioBlocks, HoldTheirEntriesExtremesWhileTheLogGrowsAndThins) {
  std::mt19937_64 random(5);
  SampleLog exact;
  SampleLog thinning(std::size_t{1} << 12);
  RatioBlocks exactBlocks, thinningBlocks;
  for (int step = 0; step < 50; ++step) {
    for (SampleLog* log : {&exact, &thinning}) {
      const std::size_t more = step % 10 == 0 ? 20'000 : random() % 3000;
      for (std::size_t i = 0; i < more; ++i) {
        SampleRecord r{std::bit_cast<float>(static_cast<std::uint32_t>(random())), random(),
                       static_cast<std::uint32_t>(random())};
        if (random() % 7 != 0) r.ratio = static_cast<float>(random() % 1000) / 1000.0f;
        log->append(r);
      }
    }
    exactBlocks.catchUp(exact);
    thinningBlocks.catchUp(thinning);
    expectBlocksOf(exactBlocks, exact);
    expectBlocksOf(thinningBlocks, thinning);
  }
  ASSERT_GE(exactBlocks.count(RatioBlocks::kLevels - 1), 2u);
  ASSERT_FALSE(thinning.exact());
}

}  // namespace
}  // namespace ws
