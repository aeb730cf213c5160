// Geometry of the two plots: pixel rounding, the control chart's scales, grid,
// joining lines, zones and markers, the normal density and the histogram's
// bars, curve and lines. Figures are worked out by hand in the comments.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "spc/core/plot_geometry.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// ---- pixel rounding and the control chart's scales

TEST(PixelRounding, RoundsHalfUpAndHoldsUndefinedFiguresInRange) {
  EXPECT_EQ(Px_Round(2.5), 3);
  EXPECT_EQ(Px_Round(-2.5), -2);
  EXPECT_EQ(Px_Round(kNaN), 0);
  EXPECT_EQ(Px_Round(kInf), kPixelLimit);
  EXPECT_EQ(Px_Round(-1e300), -kPixelLimit);
  EXPECT_EQ(Px_Trunc(-2.7), -2);
  EXPECT_EQ(Px_Trunc16(1e9), 32767);
  EXPECT_EQ(Px_Trunc16(-1e9), -32768);
}

TEST(PlotScale, MapsValuesFromTheBottomEdgeUp) {
  PlotBox box = Plot_InnerBox(10, 20, 104, 54);  // L 12, T 22, R 112, B 72
  EXPECT_EQ(box.left, 12);
  EXPECT_EQ(box.bottom, 72);
  EXPECT_EQ(Plot_ValueY(box, 0, 0, 10), 72);
  EXPECT_EQ(Plot_ValueY(box, 10, 0, 10), 22);
  EXPECT_EQ(Plot_ValueY(box, 2.5, 0, 10), 59);  // 72 - floor(50 x 0.25 + 0.5)
}

TEST(PlotScale, RangeWithoutWidthPlacesNothing) {
  EXPECT_FALSE(Plot_RangeUsable(5, 5));
  EXPECT_FALSE(Plot_RangeUsable(kNaN, 5));
  EXPECT_FALSE(Plot_RangeUsable(-kInf, 5));
  EXPECT_FALSE(Plot_RangeUsable(-1e308, 1e308));  // the width itself overflows
  EXPECT_TRUE(Plot_RangeUsable(5, 6));
}

TEST(PlotScale, SamplesSitAtEqualSharesWithAMarginOfOne) {
  PlotBox box = Plot_InnerBox(10, 20, 104, 54);
  // first 1, last 9: (R - L) x i / 10
  EXPECT_EQ(ControlChart_SampleX(box, 1, 1, 9), 22);
  EXPECT_EQ(ControlChart_SampleX(box, 9, 1, 9), 102);
  EXPECT_FALSE(ControlChart_SamplesUsable(5, 3));
}

TEST(PlotScale, VerticalGridKeepsOneSampleWidthFromEachEnd) {
  PlotBox box = Plot_InnerBox(10, 20, 104, 54);
  int32_t x = 0;
  // g = 100 div 9 = 11; x = 12 + 11 + floor(78 (z - 1) / 8 + 0.5)
  ASSERT_TRUE(ControlChart_GridX(box, 1, 1, 9, &x));
  EXPECT_EQ(x, 23);
  ASSERT_TRUE(ControlChart_GridX(box, 5, 1, 9, &x));
  EXPECT_EQ(x, 62);
  ASSERT_TRUE(ControlChart_GridX(box, 9, 1, 9, &x));
  EXPECT_EQ(x, 101);
  EXPECT_FALSE(ControlChart_GridX(box, 1, 4, 4, &x));  // no interval between first and last
  EXPECT_FALSE(ControlChart_GridX(box, 1, 4, 3, &x));  // no sample at all
}

TEST(PlotScale, GridStartsAtTheFirstMultipleOfTheStep) {
  std::vector<double> grid = Plot_GridValues(0.3, 2.0, 0.5, 5);
  ASSERT_EQ(grid.size(), 4u);
  EXPECT_DOUBLE_EQ(grid[0], 0.5);
  EXPECT_DOUBLE_EQ(grid[3], 2.0);
  EXPECT_TRUE(Plot_GridValues(0, 10, 0, 5).empty());
  EXPECT_TRUE(Plot_GridValues(0, 10, kNaN, 5).empty());
}

// ---- joining lines, zones, markers

class JoinLine : public testing::Test {
 protected:
  PlotBox box = Plot_InnerBox(10, 20, 104, 54);  // T 22, B 72; 0..10 maps 72..22
  Segment Join(int32_t xPrev, double prev, int32_t xCur, double cur) {
    Segment s{-1, -1, -1, -1};
    EXPECT_TRUE(ControlChart_JoinSegment(box, 0, 10, xPrev, prev, xCur, cur, &s));
    return s;
  }
};

TEST_F(JoinLine, InsideTheRangeRunsPointToPoint) {
  Segment s = Join(22, 5, 33, 2.5);
  EXPECT_EQ(s.x0, 22);
  EXPECT_EQ(s.y0, 47);
  EXPECT_EQ(s.x1, 33);
  EXPECT_EQ(s.y1, 59);
}

TEST_F(JoinLine, PointAboveTheRangeEndsAtTheTopEdgeHalfway) {
  Segment s = Join(22, 5, 33, 20);
  EXPECT_EQ(s.x0, 22);
  EXPECT_EQ(s.y0, 47);
  EXPECT_EQ(s.x1, 27);  // (22 + 33) / 2
  EXPECT_EQ(s.y1, 22);
  s = Join(22, 20, 33, 5);
  EXPECT_EQ(s.x0, 27);
  EXPECT_EQ(s.y0, 21);  // one above the top edge
  EXPECT_EQ(s.x1, 33);
}

TEST_F(JoinLine, PointBelowTheRangeStartsAtTheBottomEdgeHalfway) {
  Segment s = Join(22, -5, 33, 5);
  EXPECT_EQ(s.x0, 27);
  EXPECT_EQ(s.y0, 72);
  s = Join(22, 5, 33, -kInf);
  EXPECT_EQ(s.x1, 27);
  EXPECT_EQ(s.y1, 72);
}

TEST_F(JoinLine, ValueThatIsNotANumberBreaksTheLine) {
  Segment s;
  EXPECT_FALSE(ControlChart_JoinSegment(box, 0, 10, 22, kNaN, 33, 5, &s));
  EXPECT_FALSE(ControlChart_JoinSegment(box, 0, 10, 22, 5, 33, kNaN, &s));
}

TEST(MarkerZone, FirstPairPassedWinsAndLimitsThemselvesAreInside) {
  const double upper[3] = {12, 11, 10};
  const double lower[3] = {0, 1, 2};
  EXPECT_EQ(ControlChart_Zone(12, upper, lower, 7), 2);  // on upper1: inside it, beyond upper2
  EXPECT_EQ(ControlChart_Zone(12.5, upper, lower, 7), 1);
  EXPECT_EQ(ControlChart_Zone(10, upper, lower, 7), 0);
  EXPECT_EQ(ControlChart_Zone(10.5, upper, lower, 7), 3);
  EXPECT_EQ(ControlChart_Zone(12.5, upper, lower, 6), 2);  // pair 1 not in force
  EXPECT_EQ(ControlChart_Zone(1.5, upper, lower, 0), 0);
  EXPECT_EQ(ControlChart_Zone(kNaN, upper, lower, 7), 0);
}

TEST(MarkerSize, GrowsWithThePageScaleFromOneAndAHalf) {
  EXPECT_EQ(ControlChart_PenWidth(1.5), 1);
  EXPECT_EQ(ControlChart_PenWidth(2), 2);
  MarkerReach one = ControlChart_MarkerReach(1);
  EXPECT_EQ(one.near3, 3);
  EXPECT_EQ(one.far4, 4);
  EXPECT_EQ(one.dot2, 2);
  MarkerReach three = ControlChart_MarkerReach(3);  // s = 2
  EXPECT_EQ(three.near3, 6);
  EXPECT_EQ(three.far4, 8);
  EXPECT_EQ(ControlChart_MarkerReach(kNaN).near3, 3);
}

// ---- histogram

TEST(NormalDensity, MatchesTheStandardNormalTable) {
  EXPECT_NEAR(Normal_Density(0, 0, 1), 0.3989423, 1e-6);
  EXPECT_NEAR(Normal_Density(1, 0, 1), 0.2419707, 1e-6);
  EXPECT_NEAR(Normal_Density(12, 10, 2), 0.2419707 / 2, 1e-6);
}

TEST(NormalDensity, DividesThePowerBySigmaTimesRootTwoPi) {
  // e (single precision 2.7182817) to the -2, divided by 1 x 2.5066283 (single precision):
  // 0.05399096978619517. Multiplying by a reciprocal taken first ends one bit lower.
  const double e = 2.7182817f, rootTwoPi = 2.5066283f;
  EXPECT_EQ(Normal_Density(2, 0, 1), std::pow(e, -2.0) / rootTwoPi);
  EXPECT_EQ(Normal_Density(1, 0, 0.5), std::pow(e, -2.0) / (0.5 * rootTwoPi));
}

class HistogramGeometry : public testing::Test {
 protected:
  int32_t counts[17] = {0, 2, 5, 5, 2};
  HistogramInput in{};
  void SetUp() override {
    // Plot 2..102 across, 2..202 down; four classes of width 1 over 0..4; frequencies 0..10.
    in = {0, 0, 104, 204, 1, 0, 4, counts, 0, 10, 0, 4, 4, 0, 3.5, 0.5, 2, 1, 1, 1, 0, 0, 0, 0};
  }
  HistogramPlan Plan() {
    HistogramPlan plan;
    Histogram_Plan(in, &plan);
    return plan;
  }
  static int32_t RightmostCurveX(const HistogramPlan& plan) {
    int32_t x = INT32_MIN;
    for (const Segment& s : plan.curve) x = std::max({x, s.x0, s.x1});
    return x;
  }
};

TEST_F(HistogramGeometry, LyingBarsGrowRightFromTheLeftEdge) {
  HistogramPlan plan = Plan();
  ASSERT_EQ(plan.bars.size(), 4u);
  // bar 1: count 2 of 10 over 100 pixels; class 0..1 from y 202 up to 152
  EXPECT_EQ(plan.bars[0].left, 2);
  EXPECT_EQ(plan.bars[0].right, 22);
  EXPECT_EQ(plan.bars[0].top, 202);
  EXPECT_EQ(plan.bars[0].bottom, 152);
  EXPECT_EQ(plan.bars[1].right, 52);
  EXPECT_EQ(plan.bars[3].bottom, 2);
}

TEST_F(HistogramGeometry, CurveFittedToTheBarsPeaksAtTheMean) {
  // Sum of length / density: 2 x 20 / 0.1295176 + 2 x 50 / 0.3520653 = 592.88; over 4 bars 148.22 pixels per
  // unit of density; at the mean 0.3989423 x 148.22 = 59.13 -> 59 pixels from the left edge, 2 + 59 = 61.
  HistogramPlan plan = Plan();
  EXPECT_EQ(RightmostCurveX(plan), 61);
  // The curve walks up one pixel at a time from one below the bottom edge.
  EXPECT_EQ(plan.curve.front().y0, 202);
  EXPECT_EQ(plan.curve.front().y1, 201);
}

TEST_F(HistogramGeometry, CurveThatWouldLeaveThePlotPeaksAtNinetyFivePercent) {
  in.sigma = 0.1;  // bars far in the tails: the fit explodes
  EXPECT_EQ(RightmostCurveX(Plan()), 2 + 95);
}

TEST_F(HistogramGeometry, CurveModeTwoPeaksAtTheLongestBar) {
  in.curveMode = 2;
  EXPECT_EQ(RightmostCurveX(Plan()), 2 + 50);
}

TEST_F(HistogramGeometry, OpenEndsAddTwoEndBarsAndReadTheOuterCounts) {
  int32_t wide[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  in.counts = wide;
  in.classes = 8;
  in.openEnds = 1;
  HistogramPlan plan = Plan();
  ASSERT_EQ(plan.bars.size(), 10u);
  EXPECT_TRUE(plan.bars[0].endBar);
  EXPECT_TRUE(plan.bars[9].endBar);
  EXPECT_FALSE(plan.bars[1].endBar);
  EXPECT_EQ(plan.bars[0].right, 2 + 10);   // counts[0] = 1
  EXPECT_EQ(plan.bars[9].right, 2 + 100);  // counts[9] = 10
}

TEST_F(HistogramGeometry, BarAtTheFrequencyMinimumHasNoLength) {
  counts[2] = 0;
  HistogramPlan plan = Plan();
  EXPECT_EQ(plan.bars[1].right, plan.bars[1].left);
}

TEST_F(HistogramGeometry, LinesOnlyInsideTheValueRangeAndTheMeanTwice) {
  HistogramPlan plan = Plan();
  ASSERT_EQ(plan.limitLines.size(), 2u);
  EXPECT_EQ(plan.limitLines[0].y0, 202 - 175);  // 3.5 of 4
  ASSERT_EQ(plan.meanLines.size(), 2u);
  EXPECT_EQ(plan.meanLines[0].y0, 102);
  EXPECT_EQ(plan.meanLines[1].y0, 101);
  in.line1 = 5;
  in.mean = -1;
  plan = Plan();
  EXPECT_EQ(plan.limitLines.size(), 1u);
  EXPECT_TRUE(plan.meanLines.empty());
}

TEST_F(HistogramGeometry, DivisionsByZeroSkipWhatNeedsThem) {
  in.sigma = 0;
  HistogramPlan plan = Plan();
  EXPECT_EQ(plan.bars.size(), 4u);
  EXPECT_TRUE(plan.curve.empty());
  in.sigma = 1;
  in.freqMax = in.freqMin;
  plan = Plan();
  EXPECT_TRUE(plan.bars.empty());
  EXPECT_FALSE(plan.curve.empty());  // the curve needs no frequency scale: it takes 95 %
  in.freqMax = 10;
  in.valueMax = in.valueMin;
  plan = Plan();
  EXPECT_TRUE(plan.bars.empty());
  EXPECT_TRUE(plan.curve.empty());
  EXPECT_TRUE(plan.meanLines.empty());
}

TEST_F(HistogramGeometry, GridFollowsBothAxes) {
  in.valueGridStep = 1;
  in.valueGridCount = 4;
  in.freqGridStep = 5;
  in.freqGridCount = 2;
  HistogramPlan plan = Plan();
  ASSERT_EQ(plan.grid.size(), 5u + 3u);
  EXPECT_EQ(plan.grid[1].y0, 152);  // value 1
  EXPECT_EQ(plan.grid[6].x0, 52);   // frequency 5 of 10
  in.gridOn = 0;
  EXPECT_TRUE(Plan().grid.empty());
}

TEST_F(HistogramGeometry, StandingBarsGrowUpFromTheBottomEdge) {
  in.lying = 0;
  in.width = 204;
  in.height = 104;  // plot 2..202 across, 2..102 down
  HistogramPlan plan = Plan();
  ASSERT_EQ(plan.bars.size(), 4u);
  EXPECT_EQ(plan.bars[0].left, 2);
  EXPECT_EQ(plan.bars[0].right, 52);
  EXPECT_EQ(plan.bars[0].top, 102);
  EXPECT_EQ(plan.bars[0].bottom, 82);
  EXPECT_EQ(plan.meanLines[1].x0, 101);  // one pixel to the left
}

}  // namespace
