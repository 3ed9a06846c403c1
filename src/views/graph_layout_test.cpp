#include "views/graph_layout.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace ws {
namespace {

// Column starts from the edge's position agree with searching the records' columns, also where
// float rounding packs thousands of records onto one position.
TEST(GraphLayout, FirstRecordInColumnIsTheSearchedOne) {
  for (const int width : {21, 22, 640, 1200}) {
    const GraphLayout layout(width, 480);
    for (const std::size_t records :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{619}, std::size_t{620},
          std::size_t{621}, std::size_t{100'003}, std::size_t{16'777'217}, std::size_t{100'000'000},
          std::size_t{123'456'789'012}, std::size_t{1} << 50}) {
      std::size_t low = 0;
      for (int x = 0; x <= width; ++x) {
        std::size_t high = records;
        while (low < high) {
          const std::size_t mid = low + (high - low) / 2;
          if (layout.columnOf(mid, records) >= x) {
            high = mid;
          } else {
            low = mid + 1;
          }
        }
        ASSERT_EQ(layout.firstRecordIn(x, records), low)
            << "column " << x << " of " << width << ", " << records << " records";
      }
    }
  }
}

}  // namespace
}  // namespace ws
