// Geometry of the SPC page: page and font sizes, the frame, title and panel
// worked out by hand for 800 x 600, which chart each chart kind gets, what
// the charts are handed, the axis rule for wide ranges, and that the regions
// fit together without overlapping at both scales.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core_test_support.h"
#include "spc/core/page_layout.h"
#include "spc/core/spc_table.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

class PageLayoutTest : public testing::Test {
 protected:
  std::vector<double> values{0.0};  // element 0 is never read
  SpcRequest request{};
  SpcResult result{};
  PageLayout page;

  static void SetUpTestSuite() { coretest::LoadTestConstants(); }
  void SetUp() override {
    request = coretest::ToleranceRequest();
    request.typ = 11;
    request.SampleSize = 5;
    request.SPCNorm = 3;
  }
  void TearDown() override { SPC_SetScale(1.0); }
  void Values(int count, double centre = 10, double spread = 0.1) {
    values.assign(1, 0.0);
    for (int i = 0; i < count; ++i) values.push_back(centre + spread * ((i * 7) % 11 - 5) / 5.0);
  }
  void Lay(int32_t width = 800, int32_t height = 600, double factor = 1) {
    request.meaval = values.data();
    request.numofval = static_cast<int32_t>(values.size()) - 1;
    ASSERT_TRUE(SPC_ComputeRequest(request, result));
    SPC_SetScale(factor);
    SPC_LayoutPage(request, result, width, height, factor, &page);
  }
  static bool Inside(const PageRect& outer, int32_t left, int32_t top, int32_t width, int32_t height) {
    return left >= outer.left && top >= outer.top && left + width <= outer.right && top + height <= outer.bottom;
  }
};

TEST(PageSize, IsTheCallersSizeTimesTheFactorCutToWholePixels) {
  int32_t w = 0, h = 0;
  ASSERT_TRUE(SPC_PageSize(800, 600, 1, &w, &h));
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  ASSERT_TRUE(SPC_PageSize(800, 600, 2, &w, &h));
  EXPECT_EQ(w, 1600);
  EXPECT_EQ(h, 1200);
  ASSERT_TRUE(SPC_PageSize(801, 601, 0.999, &w, &h));
  EXPECT_EQ(w, 800);  // 800.199
  EXPECT_EQ(h, 600);  // 600.399
}

TEST(PageSize, PagesThatCannotBeMadeAreRefused) {
  int32_t w = 0, h = 0;
  EXPECT_FALSE(SPC_PageSize(0, 600, 1, &w, &h));
  EXPECT_FALSE(SPC_PageSize(800, -600, 1, &w, &h));
  EXPECT_FALSE(SPC_PageSize(-800, -600, -1, &w, &h));  // positive product, but no page has a negative scale
  EXPECT_FALSE(SPC_PageSize(800, 600, 0, &w, &h));
  EXPECT_FALSE(SPC_PageSize(800, 600, kNaN, &w, &h));
  EXPECT_FALSE(SPC_PageSize(800, 600, std::numeric_limits<double>::infinity(), &w, &h));
  EXPECT_FALSE(SPC_PageSize(800, 600, 0.001, &w, &h));  // less than one pixel
  EXPECT_FALSE(SPC_PageSize(40000, 600, 1, &w, &h));
  EXPECT_FALSE(SPC_PageSize(800, 600, 1e300, &w, &h));
  EXPECT_TRUE(SPC_PageSize(32767, 1, 1, &w, &h));
}

TEST_F(PageLayoutTest, FontsAtScaleOneAndTwo) {
  Values(25);
  Lay();
  EXPECT_EQ(page.lineHeight, 15);
  EXPECT_EQ(page.charWidth, 7);
  EXPECT_EQ(page.fontAHeight, 11);
  EXPECT_EQ(page.fontAWidth, 5);
  EXPECT_EQ(page.fontBHeight, 18);
  EXPECT_EQ(page.fontBWidth, 8);
  EXPECT_EQ(page.minorTick, 5);
  EXPECT_EQ(page.majorTick, 7);
  Lay(800, 600, 2);
  EXPECT_EQ(page.pageWidth, 1600);
  EXPECT_EQ(page.pageHeight, 1200);
  EXPECT_EQ(page.fontAHeight, 19);  // 0.75 x 0.85 x 30 = 19.125
  EXPECT_EQ(page.fontAWidth, 8);    // 0.75 x 0.8 x 14 = 8.4
  EXPECT_EQ(page.fontBHeight, 31);  // 1.25 x 25.5
  EXPECT_EQ(page.fontBWidth, 14);
  Lay(800, 600, 1.5);  // not above 1.5: the plain shares
  EXPECT_EQ(page.fontAHeight, 16);  // 0.75 x 22
  EXPECT_EQ(page.fontAWidth, 7);    // 0.75 x 10
}

TEST_F(PageLayoutTest, FrameTitleAndPanelOfAnEightHundredBySixHundredPage) {
  Values(25);
  Lay();
  EXPECT_EQ(page.frame.right, 800);
  EXPECT_EQ(page.frame.bottom, 600);
  // inset 5: the sunken plot region
  EXPECT_EQ(page.plotRegion.left, 5);
  EXPECT_EQ(page.plotRegion.top, 5);
  EXPECT_EQ(page.plotRegion.right, 795);
  EXPECT_EQ(page.plotRegion.bottom, 595);
  // then 4 in from left, right and top, 3 up from the bottom: L 9, T 9, R 791, B 592; the band 2 further in
  EXPECT_EQ(page.titleBand.left, 11);
  EXPECT_EQ(page.titleBand.top, 9);
  EXPECT_EQ(page.titleBand.right, 789);
  EXPECT_EQ(page.titleBand.bottom, 36);
  // text 8 in; top 9 + trunc((27 - 18.75) / 2) = 13, 18 high
  EXPECT_EQ(page.titleText.left, 17);
  EXPECT_EQ(page.titleText.right, 783);
  EXPECT_EQ(page.titleText.top, 13);
  EXPECT_EQ(page.titleText.bottom, 31);
  // panel: 0.15 of 782 = 117.3; at trunc(791 - 117.3) = 673, from 9 + 27 + 2 = 38 down to 592
  EXPECT_EQ(page.panel.left, 673);
  EXPECT_EQ(page.panel.right, 673 + 117);
  EXPECT_EQ(page.panel.top, 38);
  EXPECT_EQ(page.panel.bottom, 592);
}

TEST_F(PageLayoutTest, NoValuesLeaveFrameAndTitleOnly) {
  values.assign(1, 0.0);
  Lay();
  EXPECT_FALSE(page.content);
  EXPECT_EQ(page.titleBand.bottom, 36);
  EXPECT_EQ(page.panel.right, 0);
  EXPECT_FALSE(page.locationAxis.drawn);
}

TEST_F(PageLayoutTest, ControlChartsGetTheirPartsOfTheRegion) {
  Values(125);
  Lay();
  ASSERT_TRUE(page.controlCharts);
  ASSERT_TRUE(page.dispersionShown);
  const int32_t lab = page.labelChars;
  EXPECT_GT(lab, 0);
  // region below the title: 38 .. 592 (554 high), charts to R = 791 - 117 - 3 = 671
  EXPECT_EQ(page.plotWidth, static_cast<int32_t>(std::floor(662 * 0.65 - 7 * lab - 7 + 0.5)));
  EXPECT_EQ(page.location.left, 9 + 7 * lab + 7);
  EXPECT_EQ(page.location.top, 43);       // trunc(38 + 7.5 - 2)
  EXPECT_EQ(page.location.height, 327);   // floor(554 x 0.65 + 4 - 30 - 7 + 0.5)
  EXPECT_EQ(page.dispersion.top, 398);    // trunc(592 - 554 x 0.35)
  EXPECT_EQ(page.dispersion.height, 187);  // floor(193.9 - 7 + 0.5)
  EXPECT_EQ(page.locationAxis.left, 9);
  EXPECT_EQ(page.locationAxis.left + page.locationAxis.width, page.location.left);
  EXPECT_EQ(page.locationAxis.height, 323);
  EXPECT_EQ(page.sampleAxis.top, 372);  // floor(38 + 360.1 - 18.75 - 7 + 0.5)
  EXPECT_GE(page.sampleAxis.top, page.location.top + page.location.height);
  EXPECT_EQ(page.histogram.height, 521);  // floor(554 - 30 - 7 + 4 + 0.5)
  EXPECT_LE(page.histogram.left + page.histogram.width, page.panel.left);
  EXPECT_GE(page.histogramValueAxis.left, page.location.left + page.location.width);
  EXPECT_EQ(page.histogramValueAxis.left + page.histogramValueAxis.width, page.histogram.left);
}

TEST_F(PageLayoutTest, LocationChartIsHandedTheLimitsAndTheSeries) {
  Values(125);
  Lay();
  const ControlLimits& limits = result.limits;
  const ChartArea& chart = page.location;
  double spread = limits.upperControl - limits.lowerControl;
  EXPECT_LE(chart.yMin, limits.lowerControl - 0.15 * spread + 1e-9);
  EXPECT_GE(chart.yMax, limits.upperControl + 0.15 * spread - 1e-9);
  EXPECT_EQ(chart.yMin, page.locationAxis.scale.min);
  EXPECT_EQ(chart.lastSample, 25);
  EXPECT_EQ(chart.count, 25);
  EXPECT_EQ(chart.series, 1);
  EXPECT_EQ(chart.lineMask, 6);
  EXPECT_EQ(chart.upper2, limits.upperControl);
  EXPECT_EQ(chart.lower3, limits.lowerWarning);
  EXPECT_EQ(chart.centre, result.stats.mean);  // the mean, not the grand mean of the subgroups
  EXPECT_EQ(chart.values, SPC_LocationSeries());
  EXPECT_EQ(chart.xGridStep, page.sampleAxis.scale.step);
  EXPECT_EQ(chart.colour2, kRedColour);
  const ChartArea& spreadChart = page.dispersion;
  EXPECT_EQ(spreadChart.values, SPC_DispersionSeries());
  EXPECT_EQ(spreadChart.count, 25);
  EXPECT_EQ(spreadChart.lineMask, 6);
  EXPECT_EQ(spreadChart.yMin, 0);
  EXPECT_GE(spreadChart.yMax, limits.dispersionUpper);
  EXPECT_EQ(spreadChart.centre, limits.dispersionCentre);
}

TEST_F(PageLayoutTest, ChartKindsChooseLinesAndSeries) {
  Values(100);
  request.typ = 21;  // acceptance: no warning limits
  Lay();
  EXPECT_EQ(page.location.lineMask, 2);
  request.typ = 17;  // smallest and largest value per subgroup
  Lay();
  EXPECT_EQ(page.location.series, 2);
  request.typ = 12;  // no dispersion chart: its frame stays empty
  Lay();
  EXPECT_EQ(page.dispersion.count, 0);
  EXPECT_EQ(page.location.count, 20);
}

TEST_F(PageLayoutTest, KindsFromThirtyUpPlotTheValuesRangeWithoutLimitLines) {
  Values(100);
  request.typ = 31;
  Lay();
  ASSERT_TRUE(page.controlCharts);
  EXPECT_EQ(page.location.lineMask, 0);
  EXPECT_EQ(page.location.series, 1);
  EXPECT_LE(page.location.yMin, result.stats.smallest);
  EXPECT_GE(page.location.yMax, result.stats.largest);
  EXPECT_TRUE(page.locationAxis.drawn);
}

TEST_F(PageLayoutTest, RunChartOfTwelveValuesSharesItsScaleWithTheHistogram) {
  Values(12);
  request.typ = 5;
  request.SampleSize = 1;
  Lay();
  ASSERT_FALSE(page.controlCharts);
  EXPECT_FALSE(page.dispersionShown);
  const ChartArea& chart = page.location;
  EXPECT_EQ(chart.lastSample, 12);
  EXPECT_EQ(chart.count, 12);
  EXPECT_EQ(chart.values, values.data());
  EXPECT_EQ(chart.lineMask, 1);
  EXPECT_EQ(chart.upper1, 10.5);
  EXPECT_EQ(chart.lower1, 9.5);
  EXPECT_EQ(chart.colour2, kBlackColour);
  EXPECT_EQ(chart.colour3, kBlackColour);
  EXPECT_EQ(chart.height, 521);
  EXPECT_EQ(page.histogram.valueMin, chart.yMin);
  EXPECT_EQ(page.histogram.valueMax, chart.yMax);
  EXPECT_LE(chart.yMin, result.classes.lo);
  EXPECT_GE(chart.yMax, result.classes.hi);
  EXPECT_EQ(page.histogramLabelChars, 2);
  EXPECT_FALSE(page.histogramValueAxis.drawn);
  EXPECT_EQ(page.sampleAxis.top, 566);  // floor(592 - 18.75 - 7 + 0.5)
}

TEST_F(PageLayoutTest, RunChartXPositionsDependOnTheKind) {
  Values(100);
  request.typ = 0;
  request.SampleSize = 5;
  Lay();
  EXPECT_EQ(page.location.lastSample, 20);
  EXPECT_EQ(page.location.count, 20);  // values 1 to 20 only
  request.typ = 1;
  Lay();
  EXPECT_EQ(page.location.lastSample, 100);
  EXPECT_EQ(page.location.count, 100);
}

TEST_F(PageLayoutTest, RangeOfAMillionOrMoreLeavesTheChartWithoutAxes) {
  values = {0.0, 0.0, 2e6, 1e6};
  request.typ = 1;
  request.USL = 1e6;
  request.LSL = 0;
  Lay();
  EXPECT_FALSE(page.locationAxis.drawn);
  EXPECT_FALSE(page.sampleAxis.drawn);
  EXPECT_FALSE(page.frequencyAxis.drawn);
  EXPECT_EQ(page.location.yGridCount, 0);
  EXPECT_EQ(page.location.yMin, result.classes.lo);  // left as computed, not rounded
  EXPECT_EQ(page.location.yMax, result.classes.hi);
  EXPECT_GT(page.location.width, 0);  // the plot itself is still drawn
}

TEST_F(PageLayoutTest, RegionsFitTogetherAtBothScales) {
  Values(125);
  for (double factor : {1.0, 2.0}) {
    Lay(800, 600, factor);
    const PageRect& region = page.plotRegion;
    const ChartArea& a = page.location;
    const ChartArea& d = page.dispersion;
    const HistogramArea& h = page.histogram;
    EXPECT_TRUE(Inside(region, a.left, a.top, a.width, a.height)) << factor;
    EXPECT_TRUE(Inside(region, d.left, d.top, d.width, d.height)) << factor;
    EXPECT_TRUE(Inside(region, h.left, h.top, h.width, h.height)) << factor;
    EXPECT_LT(a.top + a.height, d.top) << factor;
    EXPECT_LT(a.left + a.width, h.left) << factor;
    EXPECT_LT(h.left + h.width, page.panel.left) << factor;
    EXPECT_LE(page.panel.right, region.right) << factor;
    EXPECT_GT(page.locationAxis.scale.steps, 1) << factor;
    EXPECT_GT(page.frequencyAxis.scale.steps, 0) << factor;
  }
}

TEST_F(PageLayoutTest, ValuesThatAreNotNumbersStillGiveAPage) {
  Values(30);
  values[4] = kNaN;
  values[9] = std::numeric_limits<double>::infinity();
  request.typ = 1;
  Lay();
  EXPECT_TRUE(page.content);
  EXPECT_FALSE(page.locationAxis.drawn);  // the range is not finite
  EXPECT_GT(page.location.width, 0);
}

// An 800 x 20 page is lower than its own title band (9 + 27 pixels): every part
// that covers any area is cut to the page rather than drawn off the bitmap.
TEST_F(PageLayoutTest, PartsOfAPageTooSmallForThemStayOnThePage) {
  Values(25);
  for (int32_t height : {20, 2}) {
    Lay(800, height, 1);
    const PageRect pageRect{0, 0, page.pageWidth, page.pageHeight};
    for (const PageRect& r : {page.frame, page.plotRegion, page.titleBand, page.titleText, page.panel})
      if (r.right > r.left && r.bottom > r.top) {
        EXPECT_TRUE(Inside(pageRect, r.left, r.top, r.right - r.left, r.bottom - r.top)) << height;
      }
    for (const ChartArea& c : {page.location, page.dispersion})
      if (c.width > 0 && c.height > 0) {
        EXPECT_TRUE(Inside(pageRect, c.left, c.top, c.width, c.height)) << height;
      }
    const HistogramArea& h = page.histogram;
    if (h.width > 0 && h.height > 0) {
      EXPECT_TRUE(Inside(pageRect, h.left, h.top, h.width, h.height)) << height;
    }
  }
  EXPECT_EQ(page.titleBand.bottom, 2);
}

TEST_F(PageLayoutTest, TinyPageStaysDefined) {
  Values(25);
  Lay(40, 30, 1);
  EXPECT_EQ(page.pageWidth, 40);
  EXPECT_LT(page.location.width, 40);
}

}  // namespace
