// Where a deviation bar and its tolerance marks fall in a bar area, worked
// out by hand in the comments.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "display/core/display_bar.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();

// A bar area with a client area of 242 x 14 pixels: x0 = 1, x1 = 241, so the
// centre is at 121 and the half-width 120 pixels.
const int kWidth = 242, kHeight = 14;

TEST(BarPlacement, BackgroundLiesOnePixelInsideTheClientArea) {
  BarGeometry bar = ComputeBarGeometry(10, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_EQ(bar.x0, 1);
  EXPECT_EQ(bar.y0, 1);
  EXPECT_EQ(bar.x1, 241);
  EXPECT_EQ(bar.y1, 13);
  EXPECT_EQ(bar.centreX, 121);
  EXPECT_EQ(bar.barLeft, 121);
  EXPECT_EQ(bar.barRight, 121);
}

TEST(BarPlacement, DeviationAtTheUpperLimitIsGreenAndReachesFiveSixthsOfTheHalfWidth) {
  BarGeometry bar = ComputeBarGeometry(10.5, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_FALSE(bar.outOfTolerance);
  EXPECT_EQ(bar.barRight, 221);  // 121 + 120 / 1.2
  EXPECT_EQ(bar.upperMarkX, 221);
  EXPECT_EQ(bar.lowerMarkX, 21);
}

TEST(BarPlacement, DeviationAtTheLowerLimitIsWithinTolerance) {
  BarGeometry bar = ComputeBarGeometry(9.5, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_FALSE(bar.outOfTolerance);
  EXPECT_EQ(bar.barRight, 21);
}

TEST(BarPlacement, NegativeDeviationExtendsLeftOfTheCentre) {
  BarGeometry bar = ComputeBarGeometry(9.75, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_FALSE(bar.outOfTolerance);
  EXPECT_EQ(bar.barLeft, 121);
  EXPECT_EQ(bar.barRight, 71);  // 121 - 120 * 0.25 / 0.6
}

TEST(BarPlacement, DeviationBeyondTheLimitIsRedAndClampedToTheEnd) {
  BarGeometry beyond = ComputeBarGeometry(10.75, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_TRUE(beyond.outOfTolerance);
  EXPECT_EQ(beyond.barRight, 241);
  BarGeometry far = ComputeBarGeometry(100, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_TRUE(far.outOfTolerance);
  EXPECT_EQ(far.barRight, 241);
  BarGeometry farBelow = ComputeBarGeometry(-1e300, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_TRUE(farBelow.outOfTolerance);
  EXPECT_EQ(farBelow.barRight, 1);
}

// Half-width 384, range 0.1: 384 x -0.1 / 0.1 rounds to -384.00000000000006,
// which would put the bar's end at x 0, one pixel left of the bar area.
TEST(BarPlacement, FarDeviationEndsAtTheEndOfTheBarAreaWhateverTheRounding) {
  BarGeometry bar = ComputeBarGeometry(-5, 0, 0, 0, 770, kHeight);
  EXPECT_EQ(bar.x0, 1);
  EXPECT_EQ(bar.centreX, 385);
  EXPECT_EQ(bar.barRight, 1);
  EXPECT_EQ(ComputeBarGeometry(5, 0, 0, 0, 770, kHeight).barRight, 769);
}

// Coordinates are 16-bit: a client size keeps its low 16 bits, and none overflows the "less one".
TEST(BarPlacement, ClientSizesOfAnyMagnitudeGiveSixteenBitCoordinates) {
  BarGeometry smallest = ComputeBarGeometry(10, 10, 0.5, -0.5, INT_MIN, INT_MIN);
  EXPECT_EQ(smallest.x1, -1);
  EXPECT_EQ(smallest.y1, -1);
  BarGeometry wrapped = ComputeBarGeometry(10, 10, 0.5, -0.5, 65536 + 242, 14);
  EXPECT_EQ(wrapped.x1, 241);
  EXPECT_EQ(wrapped.centreX, 121);
}

TEST(BarPlacement, MarksOfUnequalTolerancesUseTheLargerOneForTheRange) {
  // Range 1.2 * 0.02 = 0.024: the upper mark at 121 + 120 / 1.2, the lower at 121 - 50.
  BarGeometry bar = ComputeBarGeometry(25.0, 25.0, 0.02, -0.01, kWidth, kHeight);
  EXPECT_EQ(bar.upperMarkX, 221);
  EXPECT_EQ(bar.lowerMarkX, 71);
}

TEST(BarPlacement, ZeroTolerancesPutBothMarksOnTheCentreAndAnyDeviationIsRed) {
  BarGeometry bar = ComputeBarGeometry(5.05, 5.0, 0, 0, kWidth, kHeight);
  EXPECT_EQ(bar.upperMarkX, 121);
  EXPECT_EQ(bar.lowerMarkX, 121);
  EXPECT_TRUE(bar.outOfTolerance);
  EXPECT_NEAR(bar.barRight, 181, 1);  // range 0.1: 121 + 120 * 0.05 / 0.1
  EXPECT_FALSE(ComputeBarGeometry(5.0, 5.0, 0, 0, kWidth, kHeight).outOfTolerance);
}

TEST(BarPlacement, ValueThatIsNotANumberIsRedWithNoBar) {
  BarGeometry bar = ComputeBarGeometry(kNaN, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_TRUE(bar.outOfTolerance);
  EXPECT_EQ(bar.barRight, bar.centreX);
  EXPECT_EQ(bar.upperMarkX, 221);
}

// Out of tolerance means below the lower or above the upper limit; a limit that
// is not a number is never passed, so it puts nothing out of tolerance.
TEST(BarPlacement, LimitThatIsNotANumberPutsNoDeviationOutOfTolerance) {
  EXPECT_FALSE(ComputeBarGeometry(10.2, 10, kNaN, kNaN, kWidth, kHeight).outOfTolerance);
  EXPECT_FALSE(ComputeBarGeometry(10.7, 10, kNaN, -0.5, kWidth, kHeight).outOfTolerance);
  EXPECT_TRUE(ComputeBarGeometry(9.2, 10, kNaN, -0.5, kWidth, kHeight).outOfTolerance);
  EXPECT_FALSE(ComputeBarGeometry(9.2, 10, 0.5, kNaN, kWidth, kHeight).outOfTolerance);
  EXPECT_TRUE(ComputeBarGeometry(10.7, 10, 0.5, kNaN, kWidth, kHeight).outOfTolerance);
  // A reading that is not a number stays out of tolerance whatever the limits.
  EXPECT_TRUE(ComputeBarGeometry(kNaN, 10, kNaN, kNaN, kWidth, kHeight).outOfTolerance);
}

// With one limit not a number the other one alone spans the bar area, in
// whichever order they come: range 1.2 * 0.5, the mark at 121 + 120 / 1.2.
TEST(BarPlacement, OneLimitThatIsNotANumberLeavesTheOtherToSpanTheBar) {
  BarGeometry lowerMissing = ComputeBarGeometry(10.25, 10, 0.5, kNaN, kWidth, kHeight);
  EXPECT_EQ(lowerMissing.upperMarkX, 221);
  EXPECT_EQ(lowerMissing.lowerMarkX, 121);
  EXPECT_EQ(lowerMissing.barRight, 171);  // 121 + 120 * 0.25 / 0.6
  BarGeometry upperMissing = ComputeBarGeometry(9.75, 10, kNaN, -0.5, kWidth, kHeight);
  EXPECT_EQ(upperMissing.lowerMarkX, 21);
  EXPECT_EQ(upperMissing.upperMarkX, 121);
  EXPECT_EQ(upperMissing.barRight, 71);  // 121 - 120 * 0.25 / 0.6
}

TEST(BarPlacement, LimitsThatAreNotNumbersStayInsideTheBarArea) {
  BarGeometry bar = ComputeBarGeometry(10.2, 10, kNaN, kNaN, kWidth, kHeight);
  EXPECT_GE(bar.barRight, bar.x0);
  EXPECT_LE(bar.barRight, bar.x1);
  EXPECT_EQ(bar.upperMarkX, 121);
  EXPECT_EQ(bar.lowerMarkX, 121);
  BarGeometry unbounded = ComputeBarGeometry(kInfinity, 10, kInfinity, -kInfinity, kWidth, kHeight);
  EXPECT_GE(unbounded.barRight, unbounded.x0);
  EXPECT_LE(unbounded.barRight, unbounded.x1);
  EXPECT_GE(unbounded.upperMarkX, unbounded.x0);
  EXPECT_LE(unbounded.upperMarkX, unbounded.x1);
}

}  // namespace
