// The helper's methods of the further control charts, ChartStatistics and
// ChartBitmap, from a C++ client by name through IDispatch and through the
// dual interface: the figures and the page are those of the same call made in
// this process; arrays shorter than their counts fail before the library, and
// an array of sizes never allocated stands for none.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "helper/helper_client.h"
#include "meridan_api.h"
#include "win_test_support.h"

using namespace helpertest;

namespace {

constexpr HRESULT kSubscriptOutOfRange = static_cast<HRESULT>(0x800A0009);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();


// Nonconforming items in lots of 40, 60 and 80 in turn.
void Lots(int count, std::vector<double>* counts, std::vector<double>* sizes) {
  *counts = {0.0};
  *sizes = {0.0};
  for (int i = 1; i <= count; ++i) {
    sizes->push_back(40.0 + 20 * (i % 3));
    counts->push_back(std::floor(sizes->back() * (0.1 + 0.05 * std::sin(i))));
  }
}

std::vector<double> Readings(int count) {
  std::vector<double> values{0.0};
  for (int i = 1; i <= count; ++i) values.push_back(10.0 + (i % 7) / 100.0 + (i / 20) / 50.0);
  return values;
}

class FurtherChartsThroughTheHelper : public HelperObjectSuite {};

TEST_F(FurtherChartsThroughTheHelper, ChartStatisticsGivesTheFiguresOfTheLibraryItself) {
  std::vector<double> counts, sizes;
  Lots(30, &counts, &sizes);
  const std::vector<double> options{kNaN, kNaN, kNaN, 255, 1};
  const int32_t capacity = 35 + 5 * 30;
  std::vector<double> expected(capacity + 1, -7.0);
  const int32_t expectedCount =
      Create_ChartStatistics(4, counts.data(), sizes.data(), 30, 1, 0, options.data(), 4, expected.data(), capacity);
  ASSERT_EQ(expectedCount, capacity);

  SAFEARRAY* values = MakeArray(VT_R8, 0, counts);
  SAFEARRAY* samples = MakeArray(VT_R8, 0, sizes);
  SAFEARRAY* settings = MakeArray(VT_R8, 0, options);
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(capacity + 1, -7.0));
  Outcome byName = Call(helper_, L"ChartStatistics",
                        {I2(4), RefArray(&values), RefArray(&samples), I4(30), I4(1), I2(0), RefArray(&settings),
                         I4(4), RefArray(&results), I4(capacity)});
  ASSERT_EQ(byName.hr, S_OK);
  ASSERT_EQ(byName.result.vt, VT_I4);
  EXPECT_EQ(byName.result.lVal, expectedCount);
  std::vector<double> received = ArrayValues(results);
  for (int i = 0; i <= capacity; ++i) EXPECT_TRUE(SameFigure(received[i], expected[i])) << "element " << i;
  EXPECT_EQ(IdOf(helper_, L"ChartStatistics"), 0x60030015);
  EXPECT_EQ(IdOf(helper_, L"ChartBitmap"), 0x60030016);

  // Through the dual interface, an individuals chart with no sizes array at all.
  const std::vector<double> readings = Readings(50);
  std::vector<double> alone(35 + 5 * 50 + 1, -7.0);
  ASSERT_EQ(Create_ChartStatistics(1, readings.data(), nullptr, 50, 1, 0, options.data(), 0, alone.data(), 285), 285);
  SAFEARRAY* single = MakeArray(VT_R8, 0, readings);
  SAFEARRAY* none = nullptr;
  SAFEARRAY* figures = MakeArray(VT_R8, 0, std::vector<double>(286, -7.0));
  LONG count = 0;
  ASSERT_EQ(dual_->ChartStatistics(1, &single, &none, 50, 1, 0, &settings, 0, &figures, 285, &count), S_OK);
  EXPECT_EQ(count, 285);
  received = ArrayValues(figures);
  for (int i = 0; i <= 285; ++i) EXPECT_TRUE(SameFigure(received[i], alone[i])) << "element " << i;
  // A refused request: 0, nothing written.
  SafeArrayDestroy(figures);
  figures = MakeArray(VT_R8, 0, std::vector<double>(286, -7.0));
  ASSERT_EQ(dual_->ChartStatistics(4, &single, &none, 50, 1, 0, &settings, 0, &figures, 285, &count), S_OK);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(ArrayValues(figures), std::vector<double>(286, -7.0));
  for (SAFEARRAY* array : {values, samples, settings, results, single, figures}) SafeArrayDestroy(array);
}

TEST_F(FurtherChartsThroughTheHelper, ArraysShorterThanTheirCountsFailBeforeTheLibrary) {
  std::vector<double> counts, sizes;
  Lots(30, &counts, &sizes);
  SAFEARRAY* values = MakeArray(VT_R8, 0, counts);
  SAFEARRAY* shortSizes = MakeArray(VT_R8, 0, std::vector<double>(sizes.begin(), sizes.begin() + 20));
  SAFEARRAY* options = MakeArray(VT_R8, 0, {kNaN});
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(100, -7.0));
  LONG count = 5;
  EXPECT_EQ(dual_->ChartStatistics(4, &values, &shortSizes, 30, 1, 0, &options, 0, &results, 99, &count),
            kSubscriptOutOfRange);
  SAFEARRAY* sizesArray = MakeArray(VT_R8, 0, sizes);
  // Room for 99 figures, 185 announced: the library would write past the array.
  EXPECT_EQ(dual_->ChartStatistics(4, &values, &sizesArray, 30, 1, 0, &options, 0, &results, 185, &count),
            kSubscriptOutOfRange);
  EXPECT_EQ(dual_->ChartStatistics(4, &values, &sizesArray, 31, 1, 0, &options, 0, &results, 99, &count),
            kSubscriptOutOfRange);
  EXPECT_EQ(dual_->ChartStatistics(4, &values, &sizesArray, 30, 1, 0, &options, 3, &results, 99, &count),
            kSubscriptOutOfRange);
  EXPECT_EQ(ArrayValues(results), std::vector<double>(100, -7.0));
  Outcome page = Call(helper_, L"ChartBitmap",
                      {I4(0), Str(Bstr(L"x.bmp")), I4(400), I4(300), R8(1), Str(Bstr(L"")), I2(4),
                       RefArray(&values), RefArray(&shortSizes), I4(30), I4(1), I2(0), RefArray(&options), I4(0)});
  EXPECT_EQ(page.Error(), kSubscriptOutOfRange);
  EXPECT_NE(page.Description().find(L"sizes"), std::wstring::npos) << page.Description();
  for (SAFEARRAY* array : {values, shortSizes, options, results, sizesArray}) SafeArrayDestroy(array);
}

TEST_F(FurtherChartsThroughTheHelper, ChartBitmapWritesTheSamePageAsTheLibraryItselfAndReturnsItsCode) {
  std::wstring folder = wintest::MakeTempDir(L"chartpage");
  const std::wstring file = folder + L"through_helper.bmp", local = folder + L"in_process.bmp";
  std::vector<double> counts, sizes;
  Lots(30, &counts, &sizes);
  const std::vector<double> options{kNaN, kNaN, kNaN, 255, 1};
  SAFEARRAY* values = MakeArray(VT_R8, 0, counts);
  SAFEARRAY* samples = MakeArray(VT_R8, 0, sizes);
  SAFEARRAY* settings = MakeArray(VT_R8, 0, options);
  Outcome chart = Call(helper_, L"ChartBitmap",
                       {I4(0), Str(Bstr(file)), I4(700), I4(450), R8(1), Str(Bstr(L"Through the helper")), I2(4),
                        RefArray(&values), RefArray(&samples), I4(30), I4(1), I2(0), RefArray(&settings), I4(4)});
  ASSERT_EQ(chart.hr, S_OK);
  EXPECT_EQ(chart.Integer(), MERIDAN_CHART_PAGE_DRAWN);
  const std::string name(local.begin(), local.end());
  ASSERT_EQ(Create_ChartBitmap(nullptr, name.c_str(), 700, 450, 1, "Through the helper", 4, counts.data(),
                               sizes.data(), 30, 1, 0, options.data(), 4),
            MERIDAN_CHART_PAGE_DRAWN);
  const std::string helped = wintest::ReadFileBytes(file), inProcess = wintest::ReadFileBytes(local);
  EXPECT_GT(helped.size(), 54u);
  EXPECT_TRUE(helped == inProcess);
  // Refused: its code, no file.
  const std::wstring refused = folder + L"refused.bmp";
  short code = 0;
  const Bstr refusedName(refused), title(L"np of unequal lots");
  ASSERT_EQ(dual_->ChartBitmap(0, refusedName.Get(), 700, 450, 1, title.Get(), 5, &values, &samples, 30, 1, 0,
                               &settings, 4, &code),
            S_OK);
  EXPECT_EQ(code, MERIDAN_CHART_REQUEST_REFUSED);
  EXPECT_FALSE(wintest::FileExists(refused));
  for (SAFEARRAY* array : {values, samples, settings}) SafeArrayDestroy(array);
  wintest::RemoveTree(folder);
}

}  // namespace
