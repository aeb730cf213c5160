// Axis ticks: label texts with the step's decimals, tick and label places in
// the strips beside a plot. Figures are worked out by hand in the comments.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "spc/core/axis_ticks_layout.h"
#include "spc/core/draw_math.h"

namespace {

// ---- axis ticks

class AxisTicks : public testing::Test {
 protected:
  void SetUp() override { SPC_SetScale(1.0); }
};

TEST_F(AxisTicks, LabelsShowExactlyTheStepsDecimals) {
  EXPECT_EQ(Axis_LabelText(12.5, 0.25), "12.50");
  EXPECT_EQ(Axis_LabelText(15, 5), "15");
  EXPECT_EQ(Axis_LabelText(0.3, 0.1), "0.3");
  EXPECT_EQ(Axis_LabelText(4, 2), "4");
}

TEST_F(AxisTicks, HorizontalStripBelowThePlot) {
  AxisTickPlan plan;
  Axis_PlanTicks(0, 100, 200, 20, 2, 5, 7, 1.25, 10, 0, 2.5, 4, &plan);
  EXPECT_EQ(plan.labelFormat, 33u);
  ASSERT_EQ(plan.major.size(), 5u);
  const AxisMark& second = plan.major[1];
  EXPECT_EQ(second.label, "2.5");
  EXPECT_EQ(second.tick.x0, 50);
  EXPECT_EQ(second.tick.y0, 100);
  EXPECT_EQ(second.tick.y1, 107);
  // box 2 x ceil((200 div 4) / 2) = 50 wide; gap floor(7 x 1.25 + 0.5) = 9 below the strip's top
  EXPECT_EQ(second.left, 25);
  EXPECT_EQ(second.right, 75);
  EXPECT_EQ(second.top, 109);
  EXPECT_EQ(second.bottom, 120);
  EXPECT_EQ(plan.major[4].label, "10.0");
  EXPECT_EQ(plan.minor.size(), 21u);  // every 0.5 from 0 to 10
  EXPECT_EQ(plan.minor[1].y1, 105);
}

TEST_F(AxisTicks, VerticalStripLeftOfThePlot) {
  AxisTickPlan plan;
  Axis_PlanTicks(0, 0, 50, 100, 3, 5, 7, 1.25, 10, 0, 2, 5, &plan);
  EXPECT_EQ(plan.labelFormat, 38u);
  ASSERT_EQ(plan.major.size(), 6u);
  const AxisMark& two = plan.major[1];
  EXPECT_EQ(two.label, "2");
  EXPECT_EQ(two.tick.x0, 43);
  EXPECT_EQ(two.tick.x1, 50);
  EXPECT_EQ(two.tick.y0, 80);
  // box 2 x ceil(1.25 x 15 / 2) = 20 high around the tick, ending 9 pixels before the ticks' side
  EXPECT_EQ(two.top, 70);
  EXPECT_EQ(two.bottom, 90);
  EXPECT_EQ(two.left, 0);
  EXPECT_EQ(two.right, 41);
}

TEST_F(AxisTicks, LongTicksStopAtTheUpperLimit) {
  AxisTickPlan plan;
  Axis_PlanTicks(0, 0, 50, 120, 3, 5, 7, 2, 10, 0, 3, 3, &plan);  // labels 0, 3, 6, 9; 10 stays the limit
  ASSERT_EQ(plan.major.size(), 4u);
  EXPECT_EQ(plan.major[3].label, "9");
}

TEST_F(AxisTicks, TickPositionMultipliesByTheLengthBeforeDividingByTheRange) {
  // Range -0.3 .. 0.9, step 0.3: the fourth tick is -0.3 + 3 x 0.3, a hair below 0.6, so
  // 14 x (v - min) / 1.2 is a hair below 10.5 and rounds to 10. Dividing first,
  // 14 x ((v - min) / 1.2) comes out at exactly 10.5 and would round to 11.
  AxisTickPlan plan;
  Axis_PlanTicks(0, 0, 14, 20, 2, 5, 7, 1.25, 0.9, -0.3, 0.3, 4, &plan);
  ASSERT_EQ(plan.major.size(), 5u);
  EXPECT_EQ(plan.major[3].tick.x0, 10);
  Axis_PlanTicks(0, 0, 20, 14, 3, 5, 7, 1.25, 0.9, -0.3, 0.3, 4, &plan);
  ASSERT_EQ(plan.major.size(), 5u);
  EXPECT_EQ(plan.major[3].tick.y0, 4);  // 14 - 10
}

TEST_F(AxisTicks, RangeNearTheLargestDoubleStillPlacesTicksAlongTheStrip) {
  // -8e307 .. 8e307 in ten steps: 3072 x (v - min) overflows from the middle tick on.
  AxisTickPlan plan;
  Axis_PlanTicks(3, 0, 3072, 20, 2, 5, 7, 1.25, 8e307, -8e307, 1.6e307, 10, &plan);
  ASSERT_EQ(plan.major.size(), 11u);
  EXPECT_EQ(plan.major[0].tick.x0, 3);
  EXPECT_EQ(plan.major[5].tick.x0, 3 + 1536);
  EXPECT_EQ(plan.major[10].tick.x0, 3 + 3072);
  for (const Segment& tick : plan.minor) {
    EXPECT_GE(tick.x0, 3);
    EXPECT_LE(tick.x0, 3 + 3072);
  }
}

TEST_F(AxisTicks, MultiplesOfTheStepBeyondTheLargestDoubleGetNoTick) {
  // From the largest negative double up to 0 in steps of 2^1021 x 4/3: the first
  // multiple below, -6 steps, is beyond double's range and would be a tick at -infinity.
  const double lowest = -std::numeric_limits<double>::max();
  AxisTickPlan plan;
  Axis_PlanTicks(0, 0, 20, 768, 3, 5, 7, 1.25, -0.0, lowest, 0x1.5555555555555p+1021, 6, &plan);
  ASSERT_FALSE(plan.major.empty());
  for (const AxisMark& mark : plan.major) {
    EXPECT_GE(mark.tick.y0, 0);
    EXPECT_LE(mark.tick.y0, 768);
  }
  for (const Segment& tick : plan.minor) {
    EXPECT_GE(tick.y0, 0);
    EXPECT_LE(tick.y0, 768);
  }
}

TEST_F(AxisTicks, MinOfAFewDenormalsPlacesNoTickBeforeTheStrip) {
  // min / step underflows to 0, whose multiple 0 lies below min: no tick for it.
  const double denormal = std::numeric_limits<double>::denorm_min();
  AxisTickPlan plan;
  Axis_PlanTicks(100, 0, 210, 20, 2, 5, 7, 1.25, 35 * denormal, denormal, 5, 1, &plan);
  EXPECT_TRUE(plan.major.empty());
  EXPECT_TRUE(plan.minor.empty());
}

TEST_F(AxisTicks, StepFinerThanTheValuesLastPlacePlacesNoTickOffTheStrip) {
  // Around 1e15 the last place is 0.125: 0.05 x ceil(min / 0.05) rounds to the
  // double below min, which would stand 0.125 / 1 of the strip's length beyond its foot.
  const double min = 1e15 + 0.125, max = min + 1;
  AxisTickPlan plan;
  Axis_PlanTicks(0, 0, 20, 400, 3, 5, 7, 1.25, max, min, 0.05, 20, &plan);
  for (const AxisMark& mark : plan.major) {
    EXPECT_GE(mark.tick.y0, 0);
    EXPECT_LE(mark.tick.y0, 400);
  }
  for (const Segment& tick : plan.minor) {
    EXPECT_GE(tick.y0, 0);
    EXPECT_LE(tick.y0, 400);
  }
}

TEST_F(AxisTicks, StripGivenUpsideDownKeepsItsTicks) {
  // A height of -100 runs from 100 up to 0: every place of 0 .. 10 lies along it.
  AxisTickPlan plan;
  Axis_PlanTicks(0, 100, 50, -100, 3, 5, 7, 1.25, 10, 0, 2, 5, &plan);
  ASSERT_EQ(plan.major.size(), 6u);
  EXPECT_EQ(plan.major[0].tick.y0, 0);
  EXPECT_EQ(plan.major[5].tick.y0, 100);
  EXPECT_EQ(plan.minor.size(), 26u);
}

TEST_F(AxisTicks, NothingForNoStepsOrAStepThatPlacesNothing) {
  AxisTickPlan plan;
  Axis_PlanTicks(0, 0, 50, 100, 3, 5, 7, 1.25, 10, 0, 2, 0, &plan);
  EXPECT_TRUE(plan.major.empty());
  Axis_PlanTicks(0, 0, 50, 100, 3, 5, 7, 1.25, 10, 0, 0, 5, &plan);
  EXPECT_TRUE(plan.major.empty());
  Axis_PlanTicks(0, 0, 50, 100, 3, 5, 7, 1.25, 10, 10, 2, 5, &plan);
  EXPECT_TRUE(plan.major.empty());
  EXPECT_TRUE(plan.minor.empty());
}

}  // namespace
