// Create_SPCBitmapEx through MERIDAN.dll: with its options at their defaults
// the page is byte for byte Create_SPCBitmap's; with marking asked for, the
// points the run tests flag carry an orange ring (also from 201 points on,
// where the chart draws no markers) and the title band a legend line; limits
// given from earlier data move the limit lines and the page says so.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "meridan_api.h"
#include "spc/core/run_test_marks.h"
#include "spc/core/spc_run_tests.h"
#include "spc_page_support.h"

using namespace spctest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const COLORREF kRing = RGB(255, 128, 0);

struct Options {
  std::vector<double> elements{kNaN};  // element 0 first, never read
  Options() = default;
  Options(double centre, double sigma, double tests, double mark) : elements{kNaN, centre, sigma, tests, mark} {}
  int32_t Count() const { return static_cast<int32_t>(elements.size()) - 1; }
};

int32_t WriteEx(const Request& r, const std::wstring& path, const Options& options) {
  std::string name = Narrow(path);
  return Create_SPCBitmapEx(nullptr, name.c_str(), r.width, r.height, r.factor, r.Title(), r.typ, r.values.data(),
                            r.Count(), r.nom, r.usl, r.lsl, r.uslOn, r.lslOn, r.sampleSize, r.norm,
                            options.elements.data(), options.Count());
}

// Subgroups of five around 10 with means wandering by +-0.01, then `shifted` subgroups moved up by 0.03.
Request Shifted(int steady, int shifted) {
  Request request;
  request.values = {kNaN};
  for (int j = 0; j < steady + shifted; ++j)
    for (double d : {-0.04, -0.02, 0.0, 0.02, 0.04})
      request.values.push_back(10.0 + (j % 2 ? 0.01 : -0.01) + (j >= steady ? 0.03 : 0.0) + d + 0.001 * (j % 3));
  request.usl = 10.2;
  request.lsl = 9.8;
  request.norm = 1;
  return request;
}

class SpcPageMarks : public SpcPage {
 protected:
  PageFile WrittenEx(const Request& request, const Options& options, const wchar_t* name = L"marked.bmp") {
    EXPECT_EQ(WriteEx(request, File(name), options), 0);
    return PageFile(File(name));
  }
  // Ring-coloured pixels within 8 pixels of point j of the location chart.
  static int RingPixelsAt(const PageFile& page, const ChartArea& chart, int j, double value) {
    int x = SampleColumn(chart, j), y = ValueRow(chart, value);
    return page.Count(kRing, x - 8, y - 8, x + 9, y + 9);
  }
};

TEST_F(SpcPageMarks, OptionsAtTheirDefaultsGiveTodaysPageByteForByte) {
  std::vector<Request> requests(6);
  requests[1].typ = 17;
  requests[2].typ = 21;
  requests[3] = RunChartOf(Values(60));
  requests[4] = Shifted(20, 30);
  requests[4].factor = 2;
  requests[5] = Shifted(250, 10);  // beyond 200 points
  const std::vector<Options> defaults = {Options(), Options(kNaN, kNaN, kNaN, kNaN), Options(kNaN, kNaN, 255, 0),
                                         Options(kNaN, kNaN, 3, kNaN)};
  for (size_t r = 0; r < requests.size(); ++r) {
    SCOPED_TRACE(testing::Message() << "request " << r);
    ASSERT_EQ(requests[r].Write(File(L"today.bmp")), 0);
    const std::string today = wintest::ReadFileBytes(File(L"today.bmp"));
    ASSERT_GT(today.size(), 54u);
    for (const Options& options : defaults) EXPECT_TRUE(WrittenEx(requests[r], options).bytes == today);
  }
}

TEST_F(SpcPageMarks, FlaggedPointsCarryARingAndTheOthersNone) {
  Request request = Shifted(15, 12);
  SpcResult result;
  PageLayout layout = request.Layout(&result);
  SpcRunTests tests;
  SPC_RunTestsOfRequest(result, kAllRunTests, &tests);
  ASSERT_GT(tests.counts[1], 0) << "the shift makes a run on one side";
  const std::vector<double> means(SPC_LocationSeries(), SPC_LocationSeries() + 28);
  PageFile page = WrittenEx(request, Options(kNaN, kNaN, kNaN, 1));
  ASSERT_TRUE(page.Valid());
  int ringed = 0;
  for (int j = 1; j <= 27; ++j) {
    const bool flagged = (tests.flags[j] & 0xFF) != 0;
    const int pixels = RingPixelsAt(page, layout.location, j, means[j]);
    if (flagged) {
      EXPECT_GT(pixels, 20) << "subgroup " << j << " is flagged";
      ++ringed;
    } else {
      // A neighbour's ring may reach in from the side, never around the point itself.
      EXPECT_NE(page.At(SampleColumn(layout.location, j), ValueRow(layout.location, means[j]) - 6), kRing)
          << "subgroup " << j;
    }
  }
  EXPECT_GT(ringed, 0);
  // Today's markers stay beneath: the point itself keeps its black or red cross.
  const int j = tests.firstFlagged[1];
  const COLORREF point = page.At(SampleColumn(layout.location, j), ValueRow(layout.location, means[j]));
  EXPECT_TRUE(point == kBlack || point == kRed);
}

TEST_F(SpcPageMarks, APointOffTheChartIsRingedOnTheEdgeItLeavesBy) {
  Request request = Shifted(25, 0);
  for (int i = 96; i <= 100; ++i) request.values[i] += 1.0;  // subgroup 20, far above the chart's range
  SpcResult result;
  PageLayout layout = request.Layout(&result);
  ASSERT_GT(SPC_LocationSeries()[20], layout.location.yMax);
  PageFile page = WrittenEx(request, Options(kNaN, kNaN, kNaN, 1));
  const ChartArea& chart = layout.location;
  const PlotBox box = Plot_InnerBox(chart.left, chart.top, chart.width, chart.height);
  const int x = SampleColumn(chart, 20);
  EXPECT_GT(page.Count(kRing, x - 8, box.top, x + 9, box.top + 9), 10);
}

TEST_F(SpcPageMarks, TheLegendLineNamesTheTestsInTheTitleBand) {
  Request request = Shifted(15, 12);
  SpcResult result;
  PageLayout layout = request.Layout(&result);
  PageFile marked = WrittenEx(request, Options(kNaN, kNaN, kNaN, 1));
  ASSERT_EQ(request.Write(File(L"today.bmp")), 0);
  PageFile today(File(L"today.bmp"));
  const PageRect& band = layout.titleText;
  const int middle = (band.left + band.right) / 2;
  // Right half of the title band: page colour only today; black text and one orange ring with the legend.
  EXPECT_EQ(today.Count(kBlack, middle, band.top, band.right, band.bottom), 0);
  EXPECT_GT(marked.Count(kBlack, middle, band.top, band.right, band.bottom), 100);
  EXPECT_GT(marked.Count(kRing, band.left, band.top, band.right, band.bottom), 20);
  // Everything outside the band, the charts and their rings apart, is today's page: the panel for one.
  const PageRect& panel = layout.panel;
  for (int y = panel.top; y < panel.bottom; y += 7)
    for (int x = panel.left; x < panel.right; x += 5) ASSERT_EQ(marked.At(x, y), today.At(x, y)) << x << "," << y;
}

TEST_F(SpcPageMarks, RingsAlsoFrom201PointsOnWhereTheChartDrawsNoMarkers) {
  Request request = Shifted(230, 20);
  SpcResult result;
  PageLayout layout = request.Layout(&result);
  SpcRunTests tests;
  SPC_RunTestsOfRequest(result, kAllRunTests, &tests);
  ASSERT_GE(layout.location.count, 201);
  ASSERT_GT(tests.counts[1], 0);
  const double mean = SPC_LocationSeries()[tests.firstFlagged[1]];
  PageFile page = WrittenEx(request, Options(kNaN, kNaN, kNaN, 1));
  EXPECT_GT(RingPixelsAt(page, layout.location, tests.firstFlagged[1], mean), 10);
  ASSERT_EQ(request.Write(File(L"today.bmp")), 0);
  EXPECT_EQ(RingPixelsAt(PageFile(File(L"today.bmp")), layout.location, tests.firstFlagged[1], mean), 0);
}

TEST_F(SpcPageMarks, TheDispersionChartRingsItsValuesBeyondTheLimit) {
  Request request = Shifted(20, 0);
  for (int i = 51; i <= 55; ++i) request.values[i] += (i - 53) * 0.12;  // subgroup 11 spreads wide
  SpcResult result;
  PageLayout layout = request.Layout(&result);
  SpcRunTests tests;
  SPC_RunTestsOfRequest(result, kAllRunTests, &tests);
  ASSERT_EQ(tests.flags[11] & kDispersionBeyondFlag, kDispersionBeyondFlag);
  const double range = SPC_DispersionSeries()[11];
  PageFile page = WrittenEx(request, Options(kNaN, kNaN, kNaN, 1));
  if (range <= layout.dispersion.yMax) {
    const int x = SampleColumn(layout.dispersion, 11), y = ValueRow(layout.dispersion, range);
    EXPECT_GT(page.Count(kRing, x - 8, y - 8, x + 9, y + 9), 20);
  }
  // Asked for the other tests only, nothing is ringed.
  PageFile without = WrittenEx(request, Options(kNaN, kNaN, 0xFE, 1), L"without.bmp");
  const ChartArea& d = layout.dispersion;
  EXPECT_EQ(without.Count(kRing, d.left, d.top, d.left + d.width, d.top + d.height), 0);
}

TEST_F(SpcPageMarks, GivenLimitsMoveTheLimitLinesAndThePageSaysSo) {
  Request request = Shifted(0, 25);
  SpcResult result;
  PageLayout layout = request.Layout(&result);
  // Limits given back from the data draw today's page but for the legend line.
  PageFile givenBack = WrittenEx(request, Options(result.stats.grandMean, result.stats.sigmaWithin, kNaN, 0));
  ASSERT_EQ(request.Write(File(L"today.bmp")), 0);
  PageFile today(File(L"today.bmp"));
  const PageRect& band = layout.titleText;
  const int middle = (band.left + band.right) / 2;
  EXPECT_GT(givenBack.Count(kBlack, middle, band.top, band.right, band.bottom), 40);
  int differing = 0;
  for (int y = band.bottom + 2; y < today.height; ++y)
    for (int x = 0; x < today.width; ++x) differing += givenBack.At(x, y) != today.At(x, y);
  EXPECT_EQ(differing, 0) << "below the title band";

  // Against an earlier centre of 10.0 the chart's upper limit line lies where that centre puts it.
  const double sigma = result.stats.sigmaWithin;
  PageFile earlier = WrittenEx(request, Options(10.0, sigma, kNaN, 0), L"earlier.bmp");
  SpcRequest asRequest = request.AsRequest();
  const SpcGivenLimits given{10.0, sigma};
  SpcResult against{};
  ASSERT_TRUE(SPC_ComputeRequest(asRequest, against, &given));
  SPC_SetScale(1.0);
  PageLayout againstLayout;
  SPC_LayoutPage(asRequest, against, request.width, request.height, 1.0, &againstLayout);
  const ChartArea& chart = againstLayout.location;
  const int row = ValueRow(chart, against.limits.upperControl);
  EXPECT_GT(earlier.Count(kRed, chart.left + 3, row, chart.left + chart.width - 3, row + 1), chart.width / 2);
}

}  // namespace
