// Arithmetic of the SPC drawing: colour shading and rounding, bitmap file
// headers, plot and histogram geometry, axis ticks. Figures are worked out by
// hand in the comments.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "spc/core/axis_ticks_layout.h"
#include "spc/core/bmp_layout.h"
#include "spc/core/draw_math.h"
#include "spc/core/plot_geometry.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

uint32_t Read32(const uint8_t* at) { return at[0] | at[1] << 8 | at[2] << 16 | uint32_t(at[3]) << 24; }
uint16_t Read16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

// ---- colour shading

TEST(ColorShade, WhiteStaysWhiteWhenLightened) { EXPECT_EQ(Color_Shade(0xFFFFFF, 1.15f), 0xFFFFFFu); }

TEST(ColorShade, DarkensEachChannelRoundingHalfUp) {
  EXPECT_EQ(Color_Shade(0x000080, 0.65f), 0x000053u);  // 128 x 0.65 + 0.5 = 83.7 -> 83
  // page colour (240, 233, 208) x 0.65: 156.5 -> 156, 151.95 -> 151, 135.7 -> 135
  EXPECT_EQ(Color_Shade(Rgb(240, 233, 208), 0.65f), Rgb(156, 151, 135));
}

TEST(ColorShade, ClearsTheTopByteAndKeepsChannelsAtFactorOne) {
  EXPECT_EQ(Color_Shade(0x7F123456, 1.0f), 0x00123456u);
}

TEST(ColorShade, CapsLightenedChannelsAt255) {
  EXPECT_EQ(Color_Shade(Rgb(250, 100, 0), 1.15f), Rgb(255, 115, 0));  // 287.5 -> 255, 115.5 -> 115
}

TEST(SinglePrecisionRounding, FloorsAndCeilsToWholeNumbers) {
  EXPECT_EQ(Round_Floor(-0.5f), -1.0f);
  EXPECT_EQ(Round_Floor(83.7f), 83.0f);
  EXPECT_EQ(Round_Ceil(2.1f), 3.0f);
  EXPECT_EQ(Round_Ceil(-2.9f), -2.0f);
  EXPECT_EQ(Round_Ceil(16777215.0f), 16777215.0f);
}

TEST(SinglePrecisionPower, RaisesTheNarrowedBase) {
  EXPECT_EQ(Math_PowF(2.7182817f, 1.0), static_cast<double>(2.7182817f));
  EXPECT_EQ(Math_PowF(0.1f, 1.0), static_cast<double>(0.1f));  // not 0.1: the base was narrowed
  EXPECT_DOUBLE_EQ(Math_PowF(2.0f, 0.5), std::sqrt(2.0));
}

// ---- bitmap file headers

TEST(BmpLayout, ThirtyTwoBitPageHasNoColourTableAndFourBytesAPixel) {
  BmpLayout layout;
  ASSERT_TRUE(Bmp_ComputeLayout(801, 600, 1, 32, &layout));
  EXPECT_EQ(layout.rowSize, 3204u);
  EXPECT_EQ(layout.imageSize, 3204u * 600);
  EXPECT_EQ(layout.colours, 0u);
  EXPECT_EQ(layout.pixelOffset, 54u);
  EXPECT_EQ(layout.fileSize, 54u + 3204u * 600);
}

TEST(BmpLayout, EightBitPageCarriesAFullColourTable) {
  BmpLayout layout;
  ASSERT_TRUE(Bmp_ComputeLayout(801, 3, 1, 8, &layout));
  EXPECT_EQ(layout.colours, 256u);
  EXPECT_EQ(layout.pixelOffset, 1078u);
  EXPECT_EQ(layout.rowSize, 804u);  // 801 bytes padded to 4
  EXPECT_EQ(layout.fileSize, 1078u + 804u * 3);
}

TEST(BmpLayout, OddWidthRowsArePaddedToFourBytes) {
  BmpLayout layout;
  ASSERT_TRUE(Bmp_ComputeLayout(3, 1, 1, 24, &layout));
  EXPECT_EQ(layout.rowSize, 12u);  // 9 bytes of pixels, 3 of padding
  ASSERT_TRUE(Bmp_ComputeLayout(17, 1, 1, 1, &layout));
  EXPECT_EQ(layout.rowSize, 4u);
  EXPECT_EQ(layout.colours, 2u);
}

TEST(BmpLayout, BitsRoundUpToTheFormatsAFileCanHold) {
  EXPECT_EQ(Bmp_RoundBits(1), 1);
  EXPECT_EQ(Bmp_RoundBits(2), 4);
  EXPECT_EQ(Bmp_RoundBits(15), 16);
  EXPECT_EQ(Bmp_RoundBits(24), 24);
  EXPECT_EQ(Bmp_RoundBits(25), 32);
  EXPECT_EQ(Bmp_RoundBits(64), 32);
}

TEST(BmpLayout, RejectsEmptySizesAndFilesBeyondThirtyTwoBits) {
  BmpLayout layout;
  EXPECT_FALSE(Bmp_ComputeLayout(0, 10, 1, 32, &layout));
  EXPECT_FALSE(Bmp_ComputeLayout(10, -1, 1, 32, &layout));
  EXPECT_FALSE(Bmp_ComputeLayout(40000, 40000, 1, 32, &layout));  // 6.4 GB
  EXPECT_TRUE(Bmp_ComputeLayout(32767, 8191, 1, 32, &layout));
}

TEST(BmpLayout, HeadersAreWrittenFieldByFieldLittleEndian) {
  BmpLayout layout;
  ASSERT_TRUE(Bmp_ComputeLayout(801, 2, 1, 32, &layout));
  uint8_t file[14], info[40];
  Bmp_WriteFileHeader(layout, file);
  Bmp_WriteInfoHeader(layout, info);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Read32(file + 2), 54u + 6408u);
  EXPECT_EQ(Read16(file + 6), 0);
  EXPECT_EQ(Read16(file + 8), 0);
  EXPECT_EQ(Read32(file + 10), 54u);
  EXPECT_EQ(Read32(info + 0), 40u);
  EXPECT_EQ(Read32(info + 4), 801u);
  EXPECT_EQ(Read32(info + 8), 2u);
  EXPECT_EQ(Read16(info + 12), 1);
  EXPECT_EQ(Read16(info + 14), 32);
  EXPECT_EQ(Read32(info + 16), 0u);
  EXPECT_EQ(Read32(info + 20), 6408u);
  for (int offset : {24, 28, 32, 36}) EXPECT_EQ(Read32(info + offset), 0u) << "offset " << offset;
}

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
