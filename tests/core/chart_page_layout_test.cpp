// The chart page's layout and words, natively: limit paths as steps centred on
// their points or joined from point to point, cut to the plot; the parts each
// chart kind has and where they lie; the CUSUM's lower sum below zero; the
// figures panel of the orange juice cans with the published p̄ and limits; the
// legend of tests and signals.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "core_test_support.h"
#include "spc/core/chart_page_layout.h"
#include "spc/core/chart_page_text.h"
#include "spc/core/draw_math.h"

namespace {

using coretest::ReadTestFile;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

ChartArea Area() {
  ChartArea a;
  a.left = 10, a.top = 20, a.width = 204, a.height = 104;  // inner box 12 .. 212, 22 .. 122
  a.firstSample = 1, a.lastSample = 9;                       // points 20 pixels apart from x 32
  a.yMin = 0, a.yMax = 10;                                   // 10 pixels per unit, 10 at y 22
  return a;
}

TEST(ChartLimitPath, StepsAreCentredOnTheirPointsAndRiseWhereTheLimitChanges) {
  const double limits[] = {kNaN, 5, 5, 7, 2};
  const std::vector<Segment> path = Chart_LimitPath(Area(), limits, 4, false);
  // By hand: x of point i is 12 + 200 i / 10; the steps reach halfway to the next point.
  const std::vector<Segment> expected = {
      {22, 72, 42, 72},                    // point 1 at 5, from halfway to point 0 on
      {42, 72, 62, 72},                    // point 2 at 5: no rise between them
      {62, 72, 62, 52},                    // up to 7
      {62, 52, 82, 52}, {82, 52, 82, 102},  // point 3, then down to 2
      {82, 102, 102, 102}};
  ASSERT_EQ(path.size(), expected.size());
  for (size_t s = 0; s < path.size(); ++s) {
    EXPECT_EQ(path[s].x0, expected[s].x0) << s;
    EXPECT_EQ(path[s].y0, expected[s].y0) << s;
    EXPECT_EQ(path[s].x1, expected[s].x1) << s;
    EXPECT_EQ(path[s].y1, expected[s].y1) << s;
  }
}

TEST(ChartLimitPath, JoinedLimitsRunFromPointToPoint) {
  const double limits[] = {kNaN, 2, 4, 5};
  const std::vector<Segment> path = Chart_LimitPath(Area(), limits, 3, true);
  ASSERT_EQ(path.size(), 2u);
  EXPECT_EQ(path[0].x0, 32);
  EXPECT_EQ(path[0].y0, 102);
  EXPECT_EQ(path[0].x1, 52);
  EXPECT_EQ(path[0].y1, 82);
  EXPECT_EQ(path[1].x1, 72);
  EXPECT_EQ(path[1].y1, 72);
}

TEST(ChartLimitPath, LimitsOffThePlotRunAlongItsEdgeAndNotANumberLeavesAGap) {
  const double limits[] = {kNaN, 50, kNaN, -1e300, HUGE_VAL};
  const std::vector<Segment> path = Chart_LimitPath(Area(), limits, 4, false);
  ASSERT_EQ(path.size(), 4u);  // steps 1, 3 and 4 and the rise between 3 and 4
  EXPECT_EQ(path[0].y0, 22);
  EXPECT_EQ(path[1].y0, 122);
  EXPECT_EQ(path[3].y0, 22);
  EXPECT_TRUE(Chart_LimitPath(Area(), limits, 0, false).empty());
  ChartArea flat = Area();
  flat.yMax = flat.yMin;
  EXPECT_TRUE(Chart_LimitPath(flat, limits, 4, false).empty());
}

// ---- the page's parts ---------------------------------------------------------

class ChartPageLayoutTest : public testing::Test {
 protected:
  void SetUp() override { coretest::LoadTestConstants(); }
  static ChartResult Computed(uint32_t chart, const std::vector<double>& values, const std::vector<double>* sizes,
                              const std::vector<double>& options = {kNaN}, int32_t m = 1) {
    ChartRequest r;
    r.chart = chart;
    r.values = values.data();
    r.sizes = sizes ? sizes->data() : nullptr;
    r.count = static_cast<int32_t>(values.size()) - 1;
    r.SampleSize = m;
    r.SPCNorm = 1;
    r.options = options.data();
    r.optionCount = static_cast<int32_t>(options.size()) - 1;
    ChartResult result;
    EXPECT_TRUE(Chart_Compute(r, &result));
    return result;
  }
  static ChartPageLayout Laid(const ChartResult& result, const HistogramClasses* classes = nullptr) {
    SPC_SetScale(1.0);
    ChartPageLayout layout;
    Chart_LayoutPage(result, classes, 800, 600, 1.0, &layout);
    return layout;
  }
  static std::vector<double> Readings(int count, double drift = 0) {
    std::vector<double> v{kNaN};
    for (int i = 1; i <= count; ++i) v.push_back(10 + 0.1 * std::sin(i * 2.3) + drift * i);
    return v;
  }
};

bool Inside(const ChartArea& a, const PageLayout& page) {
  return a.left >= 0 && a.top >= 0 && a.left + a.width <= page.pageWidth && a.top + a.height <= page.pageHeight;
}

TEST_F(ChartPageLayoutTest, TheIndividualsChartHasTheMovingRangesUnderItAndTheHistogramBeside) {
  const std::vector<double> x = Readings(40);
  const ChartResult r = Computed(1, x, nullptr);
  SpcResult histogram;
  ASSERT_TRUE(SPC_ComputeRequest(Chart_HistogramRequest(x.data(), 40, r.upperLimit, r.lowerLimit), histogram));
  const ChartPageLayout layout = Laid(r, &histogram.classes);
  const PageLayout& page = layout.page;
  ASSERT_TRUE(page.dispersionShown);
  ASSERT_TRUE(layout.histogramShown);
  EXPECT_FALSE(layout.varyingLimits);
  EXPECT_TRUE(Inside(page.location, page));
  EXPECT_TRUE(Inside(page.dispersion, page));
  EXPECT_GT(page.dispersion.top, page.location.top + page.location.height);
  EXPECT_EQ(page.dispersion.left, page.location.left);
  EXPECT_GT(page.histogram.left, page.location.left + page.location.width);
  EXPECT_LT(page.histogram.left + page.histogram.width, page.panel.left);
  EXPECT_LE(page.panel.right, page.pageWidth);
  // Limits and every point lie on the charts; the histogram's classes span the control limits.
  EXPECT_EQ(page.location.lineMask, 2);
  EXPECT_EQ(page.location.upper2, r.upperLimit);
  EXPECT_LT(page.location.yMin, r.lowerLimit);
  EXPECT_GT(page.location.yMax, r.upperLimit);
  EXPECT_EQ(page.dispersion.upper2, r.secondUpper);
  EXPECT_GT(page.dispersion.yMax, r.secondUpper);
  EXPECT_LE(histogram.classes.lo, r.lowerLimit);
  EXPECT_GE(histogram.classes.hi, r.upperLimit);
  EXPECT_EQ(page.histogram.line1, r.upperLimit);
}

TEST_F(ChartPageLayoutTest, EachOtherKindHasOneChartAcrossThePage) {
  std::vector<double> counts{kNaN}, sizes{kNaN};
  for (int i = 1; i <= 30; ++i) {
    sizes.push_back(50 + 25 * (i % 3));
    counts.push_back(5 + i % 4);
  }
  const std::vector<double> x = Readings(60);
  for (const ChartResult& r : {Computed(2, x, nullptr), Computed(3, x, nullptr), Computed(4, counts, &sizes),
                               Computed(6, counts, nullptr), Computed(7, counts, &sizes)}) {
    const ChartPageLayout layout = Laid(r);
    EXPECT_FALSE(layout.page.dispersionShown);
    EXPECT_FALSE(layout.histogramShown);
    EXPECT_TRUE(Inside(layout.page.location, layout.page));
    EXPECT_GT(layout.page.location.width, 500);  // the histogram's share goes to the chart
    EXPECT_LT(layout.page.location.left + layout.page.location.width, layout.page.panel.left);
  }
}

TEST_F(ChartPageLayoutTest, LimitsThatVaryAreDrawnAsPathsAndConstantOnesAsLines) {
  std::vector<double> counts{kNaN}, varying{kNaN}, equal{kNaN};
  for (int i = 1; i <= 20; ++i) {
    varying.push_back(50 + 50 * (i % 2));
    equal.push_back(100);
    counts.push_back(8 + i % 3);
  }
  const ChartPageLayout p = Laid(Computed(4, counts, &varying));
  EXPECT_TRUE(p.varyingLimits);
  EXPECT_EQ(p.page.location.lineMask, 0);
  EXPECT_EQ(p.upperPath.size(), 20u + 19u);  // a step per lot and a rise or fall between each two
  EXPECT_EQ(p.lowerPath.size(), 20u + 19u);
  const ChartPageLayout np = Laid(Computed(5, counts, &equal));
  EXPECT_FALSE(np.varyingLimits);
  EXPECT_TRUE(np.upperPath.empty());
  const std::vector<double> x = Readings(30);
  const ChartPageLayout exact = Laid(Computed(2, x, nullptr));
  EXPECT_TRUE(exact.varyingLimits);
  EXPECT_EQ(exact.upperPath.size(), 29u);  // joined from point to point
  const ChartPageLayout asymptotic =
      Laid(Computed(2, x, nullptr, {kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, 1}));
  EXPECT_FALSE(asymptotic.varyingLimits);
  EXPECT_EQ(asymptotic.page.location.lineMask, 2);
}

TEST_F(ChartPageLayoutTest, TheCusumPlotsTheLowerSumBelowZeroBetweenPlusAndMinusH) {
  std::vector<double> x = Readings(40);
  for (int i = 25; i <= 40; ++i) x[i] -= 0.3;
  const ChartResult r = Computed(3, x, nullptr, {kNaN, 10.0, 0.05});
  ASSERT_GT(r.second[40], 5.0);
  const ChartPageLayout layout = Laid(r);
  const ChartArea& chart = layout.page.location;
  EXPECT_EQ(chart.series, 2);
  EXPECT_EQ(chart.centre, 0.0);
  EXPECT_EQ(chart.upper2, 5.0);
  EXPECT_EQ(chart.lower2, -5.0);
  for (int i = 1; i <= 40; ++i) {
    EXPECT_EQ(chart.values[i], r.statistic[i]);
    EXPECT_EQ(chart.values[kSeriesStride + i], -r.second[i]);
  }
  EXPECT_LE(chart.yMin, -r.second[40]);
  EXPECT_GE(chart.yMax, 5.0);
}

TEST_F(ChartPageLayoutTest, PagesOfEverySizeKeepTheirPartsOnThePage) {
  const std::vector<double> x = Readings(40);
  const ChartResult r = Computed(1, x, nullptr);
  SpcResult histogram;
  SPC_ComputeRequest(Chart_HistogramRequest(x.data(), 40, r.upperLimit, r.lowerLimit), histogram);
  for (int side : {1, 10, 60, 200, 3000}) {
    for (double factor : {0.5, 1.0, 3.0}) {
      SPC_SetScale(factor);
      ChartPageLayout layout;
      Chart_LayoutPage(r, &histogram.classes, side, side, factor, &layout);
      SPC_SetScale(1.0);
      const PageLayout& page = layout.page;
      for (const ChartArea* a : {&page.location, &page.dispersion}) {
        EXPECT_GE(a->width, 0) << side << " " << factor;
        EXPECT_GE(a->height, 0) << side << " " << factor;
      }
      for (const TickStrip* s : {&page.locationAxis, &page.sampleAxis, &page.dispersionAxis}) {
        if (s->drawn) {
          EXPECT_GT(s->width * s->height, 0) << side << " " << factor;
        }
      }
    }
  }
}

TEST_F(ChartPageLayoutTest, HugeFiguresLayOutWithoutAnUndefinedConversion) {
  // Readings near the ends of the doubles, given centres and sigmas that make infinite limits: the host tree's
  // sanitizer stops the test at any conversion of such a figure to a pixel that is not defined.
  std::vector<double> huge{kNaN};
  for (int i = 1; i <= 40; ++i) huge.push_back(i % 2 ? 1e308 : -1e308);
  std::vector<double> tiny{kNaN};
  for (int i = 1; i <= 40; ++i) tiny.push_back(i * 1e-300);
  const std::vector<std::vector<double>> optionSets = {
      {kNaN}, {kNaN, 1e308, 1e308, 255, 1}, {kNaN, -1e308, 1e-300}, {kNaN, 0.0, 1e300, 255, 1, 1, 1e300}};
  for (uint32_t chart : {1u, 2u, 3u})
    for (const std::vector<double>* values : {&huge, &tiny})
      for (const std::vector<double>& options : optionSets) {
        ChartRequest r;
        r.chart = chart;
        r.values = values->data();
        r.count = 40;
        r.options = options.data();
        r.optionCount = static_cast<int32_t>(options.size()) - 1;
        ChartResult result;
        if (!Chart_Compute(r, &result)) continue;
        SpcResult histogram;
        SPC_ComputeRequest(Chart_HistogramRequest(values->data(), 40, result.upperLimit, result.lowerLimit),
                           histogram);
        for (double factor : {1.0, 2.5}) {
          SPC_SetScale(factor);
          ChartPageLayout layout;
          Chart_LayoutPage(result, &histogram.classes, 640, 480, factor, &layout);
          SPC_SetScale(1.0);
          EXPECT_TRUE(Inside(layout.page.location, layout.page)) << chart;
          const std::vector<StatRow> rows = Chart_PanelRows(result);
          EXPECT_GT(rows.size(), 5u);
          Chart_Legend(result, true, LegendForm::Full);
        }
      }
}

// ---- panel and legend --------------------------------------------------------

// A column of a textbook file of tests/data, rows first .. last.
std::vector<double> Column(const char* file, int column, int first, int last) {
  std::istringstream in(ReadTestFile(file));
  std::vector<double> values{kNaN};
  std::string line;
  bool header = true;
  int row = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (header) {
      header = false;
      continue;
    }
    ++row;
    std::istringstream fields(line);
    std::string field;
    for (int c = 0; c <= column; ++c) std::getline(fields, field, ',');
    if (row >= first && row <= last) values.push_back(std::strtod(field.c_str(), nullptr));
  }
  return values;
}

std::string ValueOf(const std::vector<StatRow>& rows, const std::string& label) {
  for (size_t r = 1; r < rows.size(); ++r)
    if (label == rows[r].label) return rows[r].value;
  return "(no row " + label + ")";
}

TEST_F(ChartPageLayoutTest, ThePanelOfTheOrangeJuiceCansShowsThePublishedFigures) {
  const std::vector<double> counts = Column("p_chart_orangejuice.csv", 1, 1, 30);
  const std::vector<double> sizes = Column("p_chart_orangejuice.csv", 2, 1, 30);
  // Test 1 alone, as the textbook charts them.
  const std::vector<StatRow> rows = Chart_PanelRows(Computed(4, counts, &sizes, {kNaN, kNaN, kNaN, 1}));
  EXPECT_EQ(ValueOf(rows, "Samples"), "30");
  EXPECT_EQ(ValueOf(rows, "Inspected"), "1500");
  EXPECT_EQ(ValueOf(rows, "Nonconform."), "347");
  EXPECT_EQ(ValueOf(rows, "p-bar"), "0.2313");  // published 0.231333
  EXPECT_EQ(ValueOf(rows, "UCL"), "0.4102");    // 0.410239
  EXPECT_EQ(ValueOf(rows, "LCL"), "0.0524");    // 0.052428
  EXPECT_EQ(ValueOf(rows, "Flagged"), "2");     // samples 15 and 23
  EXPECT_EQ(ValueOf(rows, "1st signal"), "15");
  // Against those limits as historical ones, the later samples name the given and the own p̄.
  const std::vector<double> later = Column("p_chart_orangejuice.csv", 1, 31, 54);
  const std::vector<double> laterSizes = Column("p_chart_orangejuice.csv", 2, 31, 54);
  const std::vector<StatRow> given = Chart_PanelRows(Computed(4, later, &laterSizes, {kNaN, 347.0 / 1500}));
  EXPECT_EQ(ValueOf(given, "Given p-bar"), "0.2313");
  EXPECT_EQ(ValueOf(given, "UCL"), "0.4102");
}

TEST_F(ChartPageLayoutTest, ThePanelOfVaryingSizesGivesTheLimitsAtTheMeanSize) {
  std::vector<double> counts{kNaN, 2, 3, 1}, units{kNaN, 1.5, 2, 0.75};
  const ChartResult u = Computed(7, counts, &units);
  const std::vector<StatRow> rows = Chart_PanelRows(u);
  EXPECT_EQ(ValueOf(rows, "Units"), "4.2500");       // units in parts: with decimals
  EXPECT_EQ(ValueOf(rows, "Defects"), "6");          // whole defects: without
  EXPECT_EQ(ValueOf(rows, "u-bar"), "1.4118");       // 6 / 4.25
  EXPECT_EQ(ValueOf(rows, "Mean size"), "1.4167");   // 4.25 / 3
  EXPECT_EQ(ValueOf(rows, "UCL mean n"), "4.4066");  // 1.41176 + 3 sqrt(1.41176 / 1.41667) = 4.40657
  EXPECT_EQ(ValueOf(rows, "LCL mean n"), "0.0000");  // cut at 0
}

TEST_F(ChartPageLayoutTest, TheLegendNamesTestsOrSignalsOnlyWhenMarkingIsAsked) {
  const std::vector<double> readings = Column("cusum_montgomery.csv", 1, 1, 30);
  const ChartResult cusum = Computed(3, readings, nullptr, {kNaN, 10, 1});
  EXPECT_EQ(Chart_Legend(cusum, true, LegendForm::Full),
            "Historical limits: centre 10.0000, sigma 1.0000   Signals: upper sum (2), lower sum (0)");
  EXPECT_EQ(Chart_Legend(cusum, true, LegendForm::Short), "Historical limits 10.0000 / 1.0000   Signals: upper 2, lower 0");
  EXPECT_EQ(Chart_Legend(cusum, false, LegendForm::Full), "Historical limits: centre 10.0000, sigma 1.0000");
  const ChartResult ewma = Computed(2, readings, nullptr, {kNaN, 10, 1, kNaN, kNaN, 0.1, 2.7});
  EXPECT_EQ(Chart_Legend(ewma, true, LegendForm::Short), "Historical limits 10.0000 / 1.0000   Signals: 2");
  const std::vector<double> counts = Column("p_chart_orangejuice.csv", 1, 1, 30);
  const std::vector<double> sizes = Column("p_chart_orangejuice.csv", 2, 1, 30);
  const ChartResult p = Computed(4, counts, &sizes, {kNaN, kNaN, kNaN, 1});
  EXPECT_EQ(Chart_Legend(p, false, LegendForm::Full), "");
  EXPECT_EQ(Chart_Legend(p, true, LegendForm::Full), "Run tests: 1 beyond limits (2)");
  EXPECT_EQ(Chart_Legend(p, true, LegendForm::Short), "Run tests (points): 1 (2)");
  const ChartResult all = Computed(4, counts, &sizes, {kNaN, kNaN, kNaN, 255});
  EXPECT_EQ(Chart_Legend(all, true, LegendForm::Short), "Run tests (points): 1 (2), 5 (2), 6 (1)");
  const ChartResult none = Computed(4, counts, &sizes, {kNaN, kNaN, kNaN, 0});
  EXPECT_EQ(Chart_Legend(none, true, LegendForm::Full), "Run tests: none asked for");
}

}  // namespace
