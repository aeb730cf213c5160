// Create_ChartBitmap through MERIDAN.dll, checked by the page's pixels at the
// places the core's layout gives: every chart kind's limits (constant lines,
// the steps of p limits over lots of varying size, the EWMA's widening
// limits, the CUSUM's +h and -h), the moving range chart and the histogram of
// the individuals chart, rings only where marking is asked for, the figures
// panel, refusals with their codes and no file, and drawing objects that do
// not grow over many pages.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "meridan_api.h"
#include "spc/core/chart_page_layout.h"
#include "spc/core/chart_page_text.h"
#include "spc/core/chart_statistics.h"
#include "spc_page_support.h"

using namespace spctest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const COLORREF kRing = RGB(255, 128, 0);

struct ChartCall {
  uint32_t chart = 1;
  std::vector<double> values{kNaN}, sizes;  // element 0 never read
  int32_t sampleSize = 1;
  std::vector<double> options{kNaN};
  int32_t width = 800, height = 600;
  double factor = 1;

  int32_t Count() const { return static_cast<int32_t>(values.size()) - 1; }
  const double* Sizes() const { return sizes.empty() ? nullptr : sizes.data(); }
  int32_t Write(const std::wstring& path) const {
    const std::string name = Narrow(path);
    return Create_ChartBitmap(nullptr, name.c_str(), width, height, factor, "Chart page", chart, values.data(),
                              Sizes(), Count(), sampleSize, 3, options.data(),
                              static_cast<int32_t>(options.size()) - 1);
  }
  ChartRequest AsRequest() const {
    ChartRequest r;
    r.chart = chart;
    r.values = values.data();
    r.sizes = Sizes();
    r.count = Count();
    r.SampleSize = sampleSize;
    r.SPCNorm = 3;
    r.options = options.data();
    r.optionCount = static_cast<int32_t>(options.size()) - 1;
    return r;
  }
};

// Readings about 10 (deterministic), a drift upwards from reading `driftFrom` on.
ChartCall Readings(uint32_t chart, int count, int driftFrom = 0) {
  ChartCall call;
  call.chart = chart;
  for (int i = 1; i <= count; ++i)
    call.values.push_back(10.0 + 0.1 * std::sin(i * 2.3 + 0.4) * ((i % 5) + 1) / 5 +
                          (driftFrom && i >= driftFrom ? 0.02 * (i - driftFrom + 1) : 0.0));
  return call;
}

// Lots of sizes 50, 100, 200 in turn with about 10 % nonconforming, lot `bad` with 40 %.
ChartCall Lots(uint32_t chart, int count, bool varying, int bad = 0) {
  ChartCall call;
  call.chart = chart;
  call.sizes.push_back(kNaN);
  for (int i = 1; i <= count; ++i) {
    const double n = varying ? 50.0 * (1 << (i % 3)) : 100.0;
    call.sizes.push_back(n);
    call.values.push_back(std::floor(n * (i == bad ? 0.4 : 0.1 + 0.03 * std::sin(i * 1.7))));
  }
  return call;
}

class ChartPage : public SpcPage {
 protected:
  struct Drawn {
    ChartResult result;
    ChartPageLayout layout;
    PageFile page;
  };
  Drawn Draw(const ChartCall& call, const wchar_t* name = L"chart.bmp") {
    Drawn d{ChartResult{}, ChartPageLayout{}, PageFile(L"")};
    EXPECT_TRUE(Chart_Compute(call.AsRequest(), &d.result));
    SpcResult histogram;
    SPC_ComputeRequest(Chart_HistogramRequest(call.values.data(), call.Count(), d.result.upperLimit,
                                              d.result.lowerLimit),
                       histogram);
    SPC_SetScale(call.factor);
    Chart_LayoutPage(d.result, &histogram.classes, call.width, call.height, call.factor, &d.layout);
    SPC_SetScale(1.0);
    EXPECT_EQ(call.Write(File(name)), MERIDAN_CHART_PAGE_DRAWN);
    d.page = PageFile(File(name));
    EXPECT_TRUE(d.page.Valid());
    return d;
  }
  // Red pixels on the row of `value` across the plot of `chart`.
  static int RedAcross(const PageFile& page, const ChartArea& chart, double value) {
    const PlotBox box = Plot_InnerBox(chart.left, chart.top, chart.width, chart.height);
    const int y = ValueRow(chart, value);
    return page.Count(kRed, box.left, y, box.right, y + 1);
  }
  // Red pixels within `reach` rows of `value` in the column of point i.
  static int RedAt(const PageFile& page, const ChartArea& chart, int i, double value, int reach = 1) {
    const int x = SampleColumn(chart, i), y = ValueRow(chart, value);
    return page.Count(kRed, x, y - reach, x + 1, y + reach + 1);
  }
};

TEST_F(ChartPage, TheIndividualsChartHasItsLimitsTheMovingRangesUnderItAndAHistogramBeside) {
  const Drawn d = Draw(Readings(1, 40));
  const PageLayout& page = d.layout.page;
  ASSERT_TRUE(page.dispersionShown);
  ASSERT_TRUE(d.layout.histogramShown);
  const int plotWidth = Plot_InnerBox(page.location.left, 0, page.location.width, 1).right -
                        Plot_InnerBox(page.location.left, 0, page.location.width, 1).left;
  EXPECT_GT(RedAcross(d.page, page.location, d.result.upperLimit), plotWidth * 9 / 10);
  EXPECT_GT(RedAcross(d.page, page.location, d.result.lowerLimit), plotWidth * 9 / 10);
  EXPECT_GT(RedAcross(d.page, page.dispersion, d.result.secondUpper), plotWidth * 9 / 10);
  EXPECT_GT(page.dispersion.top, page.location.top + page.location.height);
  // The histogram's bars lie beside the charts.
  const HistogramArea& h = page.histogram;
  EXPECT_GT(d.page.Count(kGrey, h.left, h.top, h.left + h.width, h.top + h.height), 100);
  EXPECT_GE(h.left, page.location.left + page.location.width);
}

TEST_F(ChartPage, StepsOfThePLimitsFollowEachLotsSize) {
  const Drawn d = Draw(Lots(4, 24, true));
  ASSERT_TRUE(d.layout.varyingLimits);
  const ChartArea& chart = d.layout.page.location;
  for (int i = 1; i <= 6; ++i) {
    EXPECT_GT(RedAt(d.page, chart, i, d.result.upper[i]), 0) << "lot " << i;
    if (d.result.upper[i] != d.result.upper[i % 3 + 1]) {  // another size: another step
      EXPECT_EQ(RedAt(d.page, chart, i, d.result.upper[i % 3 + 1], 0), 0) << "lot " << i;
    }
  }
  // No constant limit line at the mean size's limits.
  EXPECT_LT(RedAcross(d.page, chart, d.result.upperLimit), (chart.width) / 2);
}

TEST_F(ChartPage, TheEwmaLimitsWidenFromTheFirstPoint) {
  const Drawn d = Draw(Readings(2, 40));
  ASSERT_TRUE(d.layout.varyingLimits);
  const ChartArea& chart = d.layout.page.location;
  ASSERT_LT(ValueRow(chart, d.result.upperLimit), ValueRow(chart, d.result.upper[1]) - 3);
  EXPECT_GT(RedAt(d.page, chart, 1, d.result.upper[1]), 0);
  EXPECT_EQ(RedAt(d.page, chart, 1, d.result.upperLimit, 0), 0);
  EXPECT_GT(RedAt(d.page, chart, 40, d.result.upper[40]), 0);
  // Asked for, the asymptotic limits are straight lines.
  ChartCall asymptotic = Readings(2, 40);
  asymptotic.options = {kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, 1};
  const Drawn a = Draw(asymptotic, L"asymptotic.bmp");
  EXPECT_FALSE(a.layout.varyingLimits);
  EXPECT_GT(RedAt(a.page, a.layout.page.location, 1, a.result.upperLimit), 0);
}

TEST_F(ChartPage, TheCusumShowsBothSumsBetweenPlusAndMinusH) {
  ChartCall call = Readings(3, 50, 30);
  call.options = {kNaN, 10.0, 0.05};
  const Drawn d = Draw(call);
  const ChartArea& chart = d.layout.page.location;
  EXPECT_EQ(chart.series, 2);
  EXPECT_GT(RedAcross(d.page, chart, 5.0), chart.width * 9 / 10);
  EXPECT_GT(RedAcross(d.page, chart, -5.0), chart.width * 9 / 10);
  ASSERT_GT(d.result.firstSignal, 0);
  // The lower sum is drawn below zero: its values lie on the chart as -C-.
  EXPECT_DOUBLE_EQ(chart.values[kSeriesStride + 5], -d.result.second[5]);
  EXPECT_LE(chart.yMin, -5.0);
  EXPECT_GE(chart.yMax, d.result.statistic[50]);
}

TEST_F(ChartPage, FlaggedPointsAreRingedOnlyWhenMarkingIsAsked) {
  ChartCall call = Lots(5, 20, false, 7);
  const Drawn plain = Draw(call, L"plain.bmp");
  ASSERT_EQ(plain.result.testCounts[0], 1);
  EXPECT_EQ(plain.page.Count(kRing, 0, 0, plain.page.width, plain.page.height), 0);
  call.options = {kNaN, kNaN, kNaN, 255, 1};
  const Drawn marked = Draw(call, L"marked.bmp");
  const ChartArea& chart = marked.layout.page.location;
  const int x = SampleColumn(chart, 7);
  const int y = std::min(ValueRow(chart, marked.result.statistic[7]), chart.top + chart.height);
  EXPECT_GT(marked.page.Count(kRing, x - 8, y - 8, x + 9, y + 9), 4);
  // The legend's ring in the title band, and no ring at the unflagged points.
  const PageRect& band = marked.layout.page.titleBand;
  EXPECT_GT(marked.page.Count(kRing, band.left, band.top, band.right, band.bottom), 0);
  const int x2 = SampleColumn(chart, 3), y2 = ValueRow(chart, marked.result.statistic[3]);
  EXPECT_EQ(marked.page.Count(kRing, x2 - 4, y2 - 4, x2 + 5, y2 + 5), 0);
}

TEST_F(ChartPage, TheCusumRingsTheLowerSumsSignalsBelowZero) {
  ChartCall call = Readings(3, 50);
  for (int i = 30; i <= 50; ++i) call.values[i] -= 0.1;
  call.options = {kNaN, 10.0, 0.05, 255, 1};
  const Drawn d = Draw(call);
  ASSERT_GT(d.result.secondCount, 0);
  ASSERT_EQ(d.result.testCounts[0], 0);
  const ChartArea& chart = d.layout.page.location;
  const PlotBox box = Plot_InnerBox(chart.left, chart.top, chart.width, chart.height);
  const int zero = ValueRow(chart, 0.0);
  EXPECT_EQ(d.page.Count(kRing, box.left, box.top, box.right, zero - 8), 0);
  EXPECT_GT(d.page.Count(kRing, box.left, zero + 8, box.right, box.bottom + 8), 0);
}

TEST_F(ChartPage, ThePanelHoldsTheFiguresOfEachKindBesideTheChart) {
  for (uint32_t chart : {1u, 2u, 3u, 4u, 5u, 6u, 7u}) {
    ChartCall call = chart >= 4 ? Lots(chart, 20, chart == 4 || chart == 7) : Readings(chart, 30);
    if (chart == 6) call.sizes.clear();
    const Drawn d = Draw(call);
    const PageRect& panel = d.layout.page.panel;
    ASSERT_GT(panel.right - panel.left, 50) << chart;
    EXPECT_GE(panel.left, d.layout.page.location.left + d.layout.page.location.width) << chart;
    // Text in black on the panel's colours, in its upper part: one row per figure.
    const int rows = static_cast<int>(Chart_PanelRows(d.result).size()) - 1;
    const int16_t lh = d.layout.page.lineHeight;
    for (int r = 0; r < rows; ++r)
      EXPECT_GT(d.page.Count(kBlack, panel.left + 4, panel.top + 3 + r * lh, panel.right - 4,
                             panel.top + 3 + (r + 1) * lh),
                5)
          << "chart " << chart << " row " << r + 1;
  }
}

TEST_F(ChartPage, LargePagesScaleTheirParts) {
  ChartCall call = Lots(7, 30, true, 4);
  call.width = 1600;
  call.height = 1200;
  const Drawn big = Draw(call, L"big.bmp");
  EXPECT_EQ(big.page.width, 1600);
  EXPECT_GT(RedAt(big.page, big.layout.page.location, 2, big.result.upper[2]), 0);
  call.width = 800;
  call.height = 600;
  call.factor = 2;
  const Drawn scaled = Draw(call, L"scaled.bmp");
  EXPECT_EQ(scaled.page.width, 1600);
  EXPECT_EQ(scaled.page.height, 1200);
}

TEST_F(ChartPage, PagesTooSmallForTheirPartsAreStillWritten) {
  for (int side : {1, 8, 40, 120}) {
    ChartCall call = Readings(1, 30);
    call.width = side;
    call.height = side;
    EXPECT_EQ(call.Write(File(L"small.bmp")), MERIDAN_CHART_PAGE_DRAWN) << side;
    EXPECT_TRUE(PageFile(File(L"small.bmp")).Valid()) << side;
  }
}

TEST_F(ChartPage, RefusedRequestsGiveTheirCodeAndNoFile) {
  struct Case {
    const char* what;
    ChartCall call;
    int32_t code;
  };
  std::vector<Case> cases;
  cases.push_back({"chart 0", Readings(0, 20), MERIDAN_CHART_REQUEST_REFUSED});
  cases.push_back({"chart 8", Readings(8, 20), MERIDAN_CHART_REQUEST_REFUSED});
  ChartCall one = Readings(1, 1);
  cases.push_back({"one point", one, MERIDAN_CHART_REQUEST_REFUSED});
  ChartCall subgroups = Readings(1, 20);
  subgroups.sampleSize = 2;
  cases.push_back({"m 2 for chart 1", subgroups, MERIDAN_CHART_REQUEST_REFUSED});
  ChartCall lambda = Readings(2, 20);
  lambda.options = {kNaN, kNaN, kNaN, kNaN, kNaN, 1.5};
  cases.push_back({"lambda 1.5", lambda, MERIDAN_CHART_REQUEST_REFUSED});
  ChartCall sigma = Lots(4, 20, true);
  sigma.options = {kNaN, kNaN, 0.1};
  cases.push_back({"sigma for p", sigma, MERIDAN_CHART_REQUEST_REFUSED});
  ChartCall tooMany = Lots(4, 20, true);
  tooMany.values[3] = tooMany.sizes[3] + 1;
  cases.push_back({"D above n", tooMany, MERIDAN_CHART_REQUEST_REFUSED});
  cases.push_back({"unequal np", Lots(5, 20, true), MERIDAN_CHART_REQUEST_REFUSED});
  ChartCall nan = Readings(1, 20);
  nan.values[4] = kNaN;
  cases.push_back({"reading not a number", nan, MERIDAN_CHART_REQUEST_REFUSED});
  ChartCall wide = Readings(1, 20);
  wide.width = 40000;
  cases.push_back({"width 40000", wide, MERIDAN_CHART_PAGE_SIZE_REFUSED});
  ChartCall factor = Readings(1, 20);
  factor.factor = kNaN;
  cases.push_back({"factor not a number", factor, MERIDAN_CHART_PAGE_SIZE_REFUSED});
  ChartCall zero = Readings(1, 20);
  zero.height = 0;
  cases.push_back({"height 0", zero, MERIDAN_CHART_PAGE_SIZE_REFUSED});
  for (const Case& c : cases) {
    EXPECT_EQ(c.call.Write(File(L"refused.bmp")), c.code) << c.what;
    EXPECT_FALSE(wintest::FileExists(File(L"refused.bmp"))) << c.what;
  }
  const ChartCall fine = Readings(1, 20);
  EXPECT_EQ(Create_ChartBitmap(nullptr, nullptr, 800, 600, 1, "t", 1, fine.values.data(), nullptr, 20, 1, 0, nullptr,
                               0),
            MERIDAN_CHART_NO_FILE_NAME);
  EXPECT_EQ(Create_ChartBitmap(nullptr, "", 800, 600, 1, "t", 1, fine.values.data(), nullptr, 20, 1, 0, nullptr, 0),
            MERIDAN_CHART_NO_FILE_NAME);
}

TEST_F(ChartPage, DrawingObjectsStayFlatOverManyPages) {
  const ChartCall calls[] = {Readings(1, 40), Readings(2, 40), Readings(3, 40, 20), Lots(4, 30, true, 5),
                             Lots(5, 30, false, 5), Lots(7, 30, true, 5)};
  for (const ChartCall& call : calls) call.Write(File(L"warm.bmp"));
  const size_t before = GdiObjects();
  for (int round = 0; round < 10; ++round)
    for (ChartCall call : calls) {
      call.options = {kNaN, kNaN, kNaN, 255, 1};
      ASSERT_EQ(call.Write(File(L"many.bmp")), MERIDAN_CHART_PAGE_DRAWN);
    }
  EXPECT_EQ(GdiObjects(), before);
}

}  // namespace
