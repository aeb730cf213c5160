// Axis scaling: limits widened to multiples of a step, a step that lets the
// labels fit, at the page scale in force. Figures worked out by hand.
#include "spc/core/axis_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "spc/core/draw_math.h"

namespace {

constexpr int16_t kVertical = 3, kHorizontal = 2;
constexpr int16_t kSamples = 1, kFourDecimals = 3, kWhole = 7, kNoMinimum = 9;

struct Scale {
  double max, min, step;
  int16_t steps;
};

Scale Calc(int16_t side, int16_t lengthX, int16_t lengthY, double spacing, double max, double min, int16_t decimals) {
  Scale s{max, min, -1.0, -1};
  Axis_CalcScale(side, lengthX, lengthY, spacing, &s.max, &s.min, &s.step, decimals, &s.steps);
  return s;
}

void ExpectScale(const Scale& s, double min, double max, double step, int16_t steps) {
  EXPECT_EQ(s.min, min);
  EXPECT_EQ(s.max, max);
  EXPECT_EQ(s.step, step);
  EXPECT_EQ(s.steps, steps);
}

class AxisScale : public ::testing::Test {
 protected:
  void SetUp() override { SPC_SetScale(1.0); }
  void TearDown() override { SPC_SetScale(1.0); }
};

TEST_F(AxisScale, VerticalStepIsWholeBaseStepsEnoughForTheLabels) {
  // Base step 0.1 raised to 1; limits 0 and 10; h = 10; 120 / (15 · 2) = 4 labels fit;
  // the step becomes ⌈10 / 4⌉ · 1 = 3, so three steps (labels 0, 3, 6, 9; the limit stays 10).
  Scale s = Calc(kVertical, 0, 120, 2.0, 10.0, 0.0, kWhole);
  ExpectScale(s, 0.0, 10.0, 3.0, 3);
}

TEST_F(AxisScale, PageScaleEnlargesTheRoomOfALabel) {
  // At scale 2 a label needs 30 · 2 pixels: 120 / 60 = 2 labels, step ⌈10 / 2⌉ = 5.
  SPC_SetScale(2.0);
  Scale s = Calc(kVertical, 0, 120, 2.0, 10.0, 0.0, kWhole);
  EXPECT_EQ(s.step, 5.0);
  EXPECT_EQ(s.steps, 2);
  // Side 1 is vertical as well.
  Scale right = Calc(1, 0, 120, 2.0, 10.0, 0.0, kWhole);
  EXPECT_EQ(right.step, 5.0);
}

TEST_F(AxisScale, FinestStepInSinglePrecisionLeavesLimitsJustBelowTheDecimals) {
  // 0.01 in single precision is 0.0099999998: 10.03 is 1003.00002 such steps, so the lower
  // limit is 1003 of them, 10.0299998; 10.27 rounds up to 1028 of them, 10.2799998.
  Scale s = Calc(kVertical, 0, 300, 1.25, 10.27, 10.03, 0);
  EXPECT_NEAR(s.min, 10.0299998, 1e-7);
  EXPECT_LT(s.min, 10.03);
  EXPECT_NEAR(s.max, 10.2799998, 1e-7);
  EXPECT_LT(s.max, 10.28);
  // 25 steps of 0.01 in 16 labels (300 / 18.75): two steps each, 0.0199999996,
  // raised to the decimal 0.02; the 0.2499999944 between the limits hold 12 of them.
  EXPECT_DOUBLE_EQ(s.step, 0.02);
  EXPECT_EQ(s.steps, 12);
}

TEST_F(AxisScale, RangeEndingInANonZeroDigitStartsFromATenMillionth) {
  // "0.123457" has no trailing zero: base step 1e-7, no finest step to raise it.
  Scale fine = Calc(kVertical, 0, 300, 1.25, 0.123457, 0.0, kNoMinimum);
  EXPECT_EQ(fine.min, 0.0);
  EXPECT_NEAR(fine.max, 0.123457, 2e-7);
  // With four decimals it is raised to 0.0001: the upper limit becomes 1235 of those.
  Scale four = Calc(kVertical, 0, 1000, 1.25, 0.123457, 0.0, kFourDecimals);
  EXPECT_NEAR(four.max, 0.1235, 1e-8);
  // 1000 / 18.75 = 53 labels for 1235 steps: ⌈1235 / 53⌉ = 24 of them, 0.0024; 51 steps.
  EXPECT_NEAR(four.step, 0.0024, 1e-10);
  EXPECT_EQ(four.steps, 51);
}

TEST_F(AxisScale, SampleAxisKeepsItsLimitsAndStepsByFiveOrMore) {
  // 1 .. 125: base step 5, h = 24; ten sample labels, the longest "125" (3 characters);
  // 300 / (7 · 3 · 1.25) = 11 labels: ⌈24 / 11⌉ · 5 = 15; 124 / 15 = 8 steps.
  Scale s = Calc(kHorizontal, 300, 0, 1.25, 125.0, 1.0, kSamples);
  ExpectScale(s, 1.0, 125.0, 15.0, 8);
}

TEST_F(AxisScale, SampleAxisOfOneStepHasLabelsAtItsEnds) {
  // 1 .. 10 is one step of 5 (h = 1): one step, ticks at 5 and 10.
  Scale ten = Calc(kHorizontal, 300, 0, 1.25, 10.0, 1.0, kSamples);
  ExpectScale(ten, 1.0, 10.0, 5.0, 1);
  // Narrower than the finest step: still one step of 5, never less.
  Scale three = Calc(kHorizontal, 300, 0, 1.25, 3.0, 1.0, kSamples);
  EXPECT_EQ(three.max, 3.0);
  EXPECT_EQ(three.step, 5.0);
  EXPECT_EQ(three.steps, 1);
}

TEST_F(AxisScale, HorizontalLabelsAreMeasuredWithTheDecimalsOfTheStep) {
  // 0 .. 100 in whole steps: labels "0" .. "100" after cutting ".000000", 3 characters;
  // 105 / (7 · 3) = 5 labels, step 20, five steps. Uncut labels would fit only once.
  Scale s = Calc(kHorizontal, 105, 0, 1.0, 100.0, 0.0, kWhole);
  EXPECT_EQ(s.step, 20.0);
  EXPECT_EQ(s.steps, 5);
}

TEST_F(AxisScale, AxisTooShortForOneLabelHasNoSteps) {
  Scale vertical = Calc(kVertical, 0, 10, 1.25, 10.0, 0.0, kWhole);  // 10 / 18.75 < 1
  EXPECT_EQ(vertical.steps, 0);
  EXPECT_EQ(vertical.step, 0.0);
  EXPECT_EQ(vertical.max, 10.0);
  Scale horizontal = Calc(kHorizontal, 5, 0, 1.25, 125.0, 1.0, kSamples);
  EXPECT_EQ(horizontal.steps, 0);
  Scale nothing = Calc(kVertical, 0, 0, 1.25, 10.0, 0.0, kWhole);
  EXPECT_EQ(nothing.steps, 0);
}

TEST_F(AxisScale, EqualLimitsMakeAnAxisOfOneStep) {
  Scale whole = Calc(kVertical, 0, 300, 1.25, 5.0, 5.0, kWhole);
  ExpectScale(whole, 5.0, 6.0, 1.0, 1);
  // Base step 0.0999999997 (from "0.000000"): the limits already part, 4.99999999 .. 5.0999999.
  Scale four = Calc(kVertical, 0, 300, 1.25, 5.0, 5.0, kFourDecimals);
  EXPECT_EQ(four.steps, 1);
  EXPECT_LE(four.min, 5.0);
  EXPECT_GE(four.max, 5.0);
  EXPECT_NEAR(four.step, 0.1, 1e-8);
  EXPECT_NEAR(four.max - four.min, 0.1, 1e-8);
  Scale zero = Calc(kHorizontal, 300, 0, 1.25, 0.0, 0.0, kWhole);
  EXPECT_EQ(zero.min, 0.0);
  EXPECT_EQ(zero.max, 1.0);
  EXPECT_EQ(zero.steps, 1);
}

TEST_F(AxisScale, SwappedLimitsAreTakenTheRightWayRound) {
  Scale s = Calc(kVertical, 0, 120, 2.0, 0.0, 10.0, kWhole);
  EXPECT_EQ(s.min, 0.0);
  EXPECT_EQ(s.max, 10.0);
  EXPECT_EQ(s.steps, 3);
}

TEST_F(AxisScale, NonFiniteRangeLeavesTheLimitsAndHasNoSteps) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  Scale a = Calc(kVertical, 0, 300, 1.25, nan, 0.0, kFourDecimals);
  EXPECT_TRUE(std::isnan(a.max));
  EXPECT_EQ(a.min, 0.0);
  EXPECT_EQ(a.steps, 0);
  EXPECT_EQ(a.step, 0.0);
  Scale b = Calc(kHorizontal, 300, 0, 1.25, inf, -inf, kSamples);
  EXPECT_EQ(b.steps, 0);
  Scale c = Calc(kVertical, 0, 300, 1.25, 1e308, -1e308, kFourDecimals);  // the difference overflows
  EXPECT_EQ(c.steps, 0);
  EXPECT_EQ(c.max, 1e308);
}

TEST_F(AxisScale, NonsenseSizesGiveNoStepsRatherThanUndefinedBehaviour) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(Calc(kVertical, 0, 300, nan, 10.0, 0.0, kWhole).steps, 0);
  EXPECT_EQ(Calc(kVertical, 0, 300, -1.0, 10.0, 0.0, kWhole).steps, 0);
  EXPECT_EQ(Calc(kVertical, 0, -300, 1.25, 10.0, 0.0, kWhole).steps, 0);
  // No room taken by a label (scale below 1/15): every base step gets its label.
  SPC_SetScale(0.01);
  Scale free = Calc(kVertical, 0, 300, 1.25, 10.0, 0.0, kWhole);
  EXPECT_EQ(free.step, 1.0);
  EXPECT_EQ(free.steps, 10);
  SPC_SetScale(nan);
  EXPECT_GE(Calc(kHorizontal, 300, 0, 1.25, 125.0, 1.0, kSamples).steps, 0);
}

TEST_F(AxisScale, HugeRangeKeepsStepsWithinSixteenBits) {
  SPC_SetScale(0.01);
  Scale s = Calc(kVertical, 0, 32767, 0.001, 1e12, 0.0, kFourDecimals);
  EXPECT_GE(s.steps, 1);
  EXPECT_LE(s.steps, 32767);
  EXPECT_GT(s.step, 0.0);
}

TEST_F(AxisScale, MissingPointersAreIgnored) {
  double max = 1.0, min = 0.0, step = 0.0;
  Axis_CalcScale(kVertical, 0, 300, 1.25, &max, &min, &step, kWhole, nullptr);
  EXPECT_EQ(max, 1.0);
}

}  // namespace
