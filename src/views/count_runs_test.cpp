#include "views/count_runs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "views/graph_coordinate.h"

namespace ws {
namespace {

// The row of a count is the plain coordinate's pixel, also for counts that land next to a
// pixel's edge, above or below the window, and at scales from a few counts a row to billions.
TEST(CountRow, IsThePixelOfTheDividedCoordinate) {
  std::mt19937_64 random(3);
  for (int trial = 0; trial < 2000; ++trial) {
    const int height = trial % 2 == 0 ? 480 : 800;
    const double baseline = height - 10;
    const double scale = std::nearbyint(std::exp2(std::uniform_real_distribution<>(0, 34)(random)));
    const CountRow rowOf{baseline, scale, height};
    for (int k = -3; k <= height + 3; k += 1 + static_cast<int>(random() % 40)) {
      // Counts around the edge between pixels k - 1 and k.
      const double edge = (baseline - k + 0.5) * scale;
      for (int d = -3; d <= 3; ++d) {
        const double at = std::floor(edge) + d;
        if (at < 0) continue;
        const auto n = static_cast<std::uint64_t>(at);
        ASSERT_EQ(rowOf(n),
                  pixelOn(graphCoordinate(baseline - static_cast<double>(n) / scale), height))
            << n << " at scale " << scale;
      }
    }
  }
}

}  // namespace
}  // namespace ws
