// Arithmetic of the SPC drawing: colour shading, bitmap file headers, plot
// and histogram geometry, axis ticks, the text panel's grid and the
// statistics panel's rows. Figures are worked out by hand in the comments.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "spc/axis_ticks_layout.h"
#include "spc/bmp_layout.h"
#include "spc/draw_math.h"
#include "spc/panel_grid.h"
#include "spc/plot_geometry.h"
#include "spc/stat_panel_rows.h"

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

// ---- text panel grid

struct PanelRows {
  int32_t labels[20] = {};
  int32_t values[20] = {};
  int16_t columns[20] = {};
  int32_t count = 0;
  void Add(int16_t column, int32_t label, int32_t value) {
    ++count;
    columns[count] = column;
    labels[count] = label;
    values[count] = value;
  }
  PanelPlan Plan(int32_t width, int32_t height, int32_t innerGap = 2, int32_t columnGap = 0) {
    PanelPlan plan;
    Panel_PlanText(width, height, count, labels, values, columns, innerGap, columnGap, 15, 7, &plan);
    return plan;
  }
};

TEST(PanelGrid, ColumnsAddTheirWidthsAndGaps) {
  PanelRows rows;
  rows.Add(0, 4, 8);
  rows.Add(1, 6, 5);
  PanelPlan plan = rows.Plan(300, 100);
  EXPECT_EQ(plan.textWidth, 27);  // 4 + 2 + 8 + 6 + 2 + 5
  // margin 3 + 15 div 2 = 10; the second column's label starts at character 14
  ASSERT_EQ(plan.cells.size(), 4u);
  EXPECT_EQ(plan.cells[0].left, 10);
  EXPECT_EQ(plan.cells[2].row, 2);
  EXPECT_EQ(plan.cells[2].left, 10 + 14 * 7);
  EXPECT_EQ(plan.cells[0].top, 3);
  EXPECT_EQ(plan.cells[0].bottom, 18);
}

TEST(PanelGrid, KeepsTheLastRowsWhenNotAllFit) {
  PanelRows rows;
  for (int i = 0; i < 12; ++i) rows.Add(0, 3, 3);
  PanelPlan plan = rows.Plan(200, 6 + 150);  // room for 10 rows
  EXPECT_EQ(plan.rowsShown, 10);
  ASSERT_EQ(plan.cells.size(), 20u);
  EXPECT_EQ(plan.cells.front().row, 3);
  EXPECT_EQ(plan.cells.back().row, 12);
  EXPECT_EQ(plan.cells.back().bottom, 3 + 150);
}

TEST(PanelGrid, ValuesAreFlushRightAndLabelsFlushLeft) {
  PanelRows rows;
  rows.Add(0, 3, 8);
  rows.Add(0, 5, 3);
  PanelPlan plan = rows.Plan(300, 100);
  const PanelCell& label = plan.cells[2];
  const PanelCell& value = plan.cells[3];
  EXPECT_EQ(label.left, 10);
  EXPECT_EQ(label.right, 10 + 5 * 7);
  EXPECT_EQ(label.format, kPanelLabelFormat);
  // column: labels 5 wide, gap 2, values 8 wide; the value ends at character 15
  EXPECT_EQ(value.right, 10 + 15 * 7);
  EXPECT_EQ(value.left, 10 + 12 * 7);
  EXPECT_EQ(value.format, kPanelValueFormat);
}

TEST(PanelGrid, NarrowPanelCutsValuesKeepingTheirLeadingCharacters) {
  PanelRows rows;
  rows.Add(0, 4, 8);
  rows.Add(0, 4, 3);
  PanelPlan plan = rows.Plan(6 + 70, 100);  // 10 characters visible of 14
  EXPECT_EQ(plan.visibleChars, 10);
  const PanelCell& cut = plan.cells[1];
  EXPECT_EQ(cut.length, 4);  // characters 6 .. 9 of a value standing at 6 .. 13
  EXPECT_FALSE(cut.blank);
  EXPECT_EQ(cut.right, 76 - 3);
  EXPECT_EQ(cut.left, 73 - 28);
  const PanelCell& gone = plan.cells[3];  // a 3-character value at 11 .. 13
  EXPECT_TRUE(gone.blank);
  EXPECT_EQ(gone.left, 73 - 7);
}

TEST(PanelGrid, RowsInAColumnOutsideTheGridAreIgnored) {
  PanelRows rows;
  rows.Add(0, 4, 4);
  rows.Add(12, 30, 30);
  rows.Add(-1, 30, 30);
  PanelPlan plan = rows.Plan(300, 100);
  EXPECT_EQ(plan.textWidth, 10);
  EXPECT_EQ(plan.mostRows, 1);
  EXPECT_EQ(plan.cells.size(), 2u);
}

TEST(PanelGrid, NoGridNoText) {
  PanelRows rows;
  rows.Add(0, 4, 4);
  PanelPlan plan;
  Panel_PlanText(300, 100, rows.count, rows.labels, rows.values, rows.columns, 2, 0, 0, 7, &plan);
  EXPECT_TRUE(plan.cells.empty());
  EXPECT_TRUE(rows.Plan(5, 5).cells.empty());  // smaller than its frame
}

// ---- statistics panel rows

class StatRows : public testing::Test {
 protected:
  SpcRequest request{};
  SpcStatistics stats{};
  StatRow rows[kStatRows + 1];
  void SetUp() override {
    request.USL = 10.5;
    request.LSL = 9.5;
    request.NomSize = 10;
    request.USLOnOff = 1;
    request.LSLOnOff = 1;
  }
  std::string Value(int row) {
    StatPanel_ComposeRows(request, stats, rows);
    return rows[row].value;
  }
};

TEST_F(StatRows, LabelsStandInPanelOrder) {
  StatPanel_ComposeRows(request, stats, rows);
  const char* labels[] = {"", "USL", "Nom", "LSL", "N", "+NG", "-NG", "P", "Xq", "Max",
                          "Min", "R", "S", "Cm", "Cmk", "Cp", "Cpk"};
  for (int r = 0; r <= kStatRows; ++r) EXPECT_STREQ(rows[r].label, labels[r]) << "row " << r;
  EXPECT_STREQ(rows[0].value, "");
}

TEST_F(StatRows, SingleValueShowsLocationButNoSpread) {
  stats.n = 1;
  stats.mean = stats.largest = stats.smallest = 10.25;
  StatPanel_ComposeRows(request, stats, rows);
  EXPECT_STREQ(rows[4].value, "1");
  EXPECT_STREQ(rows[7].value, "0.0000");
  EXPECT_STREQ(rows[8].value, "10.2500");
  EXPECT_STREQ(rows[11].value, "0.0000");
  for (int r = 12; r <= 16; ++r) EXPECT_STREQ(rows[r].value, "---") << "row " << r;
}

TEST_F(StatRows, LimitsOffShowDashesButNominalSizeStays) {
  request.USLOnOff = 0;
  request.LSLOnOff = -1;
  stats.n = 5;
  StatPanel_ComposeRows(request, stats, rows);
  EXPECT_STREQ(rows[1].value, "---");
  EXPECT_STREQ(rows[2].value, "10.0000");
  EXPECT_STREQ(rows[3].value, "---");
  EXPECT_STREQ(rows[5].value, "0");
  EXPECT_STREQ(rows[13].value, "0.00");
  EXPECT_STREQ(rows[16].value, "0.00");
}

TEST_F(StatRows, FiguresAreShownAtSinglePrecision) {
  stats.n = 2;
  stats.mean = 12345.678901;  // single precision 12345.6787109375
  EXPECT_EQ(Value(8), "12345.6787");
  stats.Cm = 1.005;  // single precision 1.00499999523, plus 0.005 prints as 1.010000
  EXPECT_EQ(Value(13), "1.01");
  stats.Cpk = -0.456;
  EXPECT_EQ(Value(16), "-0.46");
}

TEST_F(StatRows, CountsAndPercentage) {
  stats.n = 3;
  stats.countAbove = 1;
  stats.percentOutside = 100.0 / 3;
  EXPECT_EQ(Value(5), "1");
  EXPECT_EQ(Value(7), "33.3333");
}

TEST_F(StatRows, FiguresBeyondSinglePrecisionShowAsInfinite) {
  stats.n = 2;
  stats.stdDev = 1e300;
  stats.Cm = kNaN;
  EXPECT_EQ(Value(12), "inf");
  EXPECT_EQ(Value(13), "nan");
  EXPECT_TRUE(std::isinf(StatPanel_Narrow(-1e39)));
}

}  // namespace
