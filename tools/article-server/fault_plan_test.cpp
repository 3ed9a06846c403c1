#include "fault_plan.h"

#include <gtest/gtest.h>

namespace ws {
namespace {

TEST(FaultPlan, EveryModeNameRoundTrips) {
  for (const char* name : {"refuse", "close", "reset", "zero", "lowercase", "https", "otherhost",
                           "hold", "drip", "huge", "nopara", "garbage"}) {
    const auto mode = faultFromName(name);
    ASSERT_TRUE(mode.has_value()) << name;
    EXPECT_EQ(faultName(*mode), name);
  }
  EXPECT_FALSE(faultFromName("Reset"));
}

TEST(FaultPlan, RefusesBadRules) {
  FaultPlan plan;
  for (const char* bad : {"", "reset:", "reset:0", "reset:-1", "reset:2x", "explode", ":3"}) {
    EXPECT_FALSE(plan.add(bad)) << bad;
  }
  EXPECT_TRUE(plan.empty());
}

TEST(FaultPlan, AppliesToAllOrEveryKthConnection) {
  FaultPlan all;
  ASSERT_TRUE(all.add("hold"));
  EXPECT_EQ(all.faultFor(1), FaultMode::kHold);
  EXPECT_EQ(all.faultFor(7), FaultMode::kHold);

  FaultPlan third;
  ASSERT_TRUE(third.add("reset:3"));
  EXPECT_EQ(third.faultFor(1), FaultMode::kNone);
  EXPECT_EQ(third.faultFor(2), FaultMode::kNone);
  EXPECT_EQ(third.faultFor(3), FaultMode::kReset);
  EXPECT_EQ(third.faultFor(6), FaultMode::kReset);
  EXPECT_EQ(third.faultFor(7), FaultMode::kNone);
}

TEST(FaultPlan, FirstApplicableRuleWins) {
  FaultPlan plan;
  ASSERT_TRUE(plan.add("drip:4"));
  ASSERT_TRUE(plan.add("zero:2"));
  EXPECT_EQ(plan.faultFor(2), FaultMode::kZeroByte);
  EXPECT_EQ(plan.faultFor(4), FaultMode::kDrip);
  EXPECT_EQ(plan.faultFor(5), FaultMode::kNone);
}

}  // namespace
}  // namespace ws
