#include "views/step_bound.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace ws {
namespace {

// The first record from which every step is within the limit, as the steps themselves say.
std::size_t trueFirstWithin(const std::vector<std::uint64_t>& steps, std::uint64_t limit) {
  for (std::size_t record = steps.size(); record-- > 1;) {
    if (steps[record] > limit) return record;
  }
  return 0;
}

// The bound never lets a step above the limit through, and it gives up at most a quarter of the
// limit: steps in falling stretches, in bursts, at the top of 64 bits.
TEST(StepBound, FirstRecordWithinIsSafeAndNearlyTight) {
  std::mt19937_64 random(8);
  for (int trial = 0; trial < 200; ++trial) {
    StepBound bound;
    std::vector<std::uint64_t> steps{0};
    const int shift = static_cast<int>(random() % 64);
    for (std::size_t record = 1; record < 3000; ++record) {
      std::uint64_t step = random() >> shift;
      if (trial % 3 == 0) step = step / record;  // falling, like a crawl's
      if (random() % 100 == 0) step = ~std::uint64_t{0} - random() % 3;
      steps.push_back(step);
      bound.add(record, step);
    }
    for (int probe = 0; probe < 50; ++probe) {
      const std::uint64_t limit = random() >> (random() % 64);
      const std::size_t first = bound.firstRecordWithin(limit);
      ASSERT_GE(first, trueFirstWithin(steps, limit)) << limit;
      ASSERT_LE(first, trueFirstWithin(steps, limit - limit / 4)) << limit;
    }
  }
}

}  // namespace
}  // namespace ws
