#include "views/memory_text.h"

#include <gtest/gtest.h>

namespace ws {
namespace {

TEST(MemoryText, IsCutAfterTheFirstDecimalOrWrittenWhole) {
  EXPECT_EQ(memoryText(224), "0.1 MB");                // 0.19226...
  EXPECT_EQ(memoryText(10000), "8.5 MB");              // 8.583..., cut, not rounded
  EXPECT_EQ(memoryText(262144), "225 MB");             // whole megabytes have no point
  EXPECT_EQ(memoryText(4294967295u), "3686399.9 MB");  // no 32-bit overflow of the byte count
}

}  // namespace
}  // namespace ws
