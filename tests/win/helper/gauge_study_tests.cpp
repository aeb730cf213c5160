// The helper's gauge study methods, GaugeStudyStatistics and GaugeStudyBitmap,
// from a C++ client (by name through IDispatch and through the dual
// interface): the figures and the page are those of the same call made in
// this process, and arrays shorter than their counts fail before the library.
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

// 8 parts x 3 appraisers x 2 trials (element 0 never read).
std::vector<double> Readings() {
  std::vector<double> readings{0.0};
  for (int a = 0; a < 3; ++a)
    for (int p = 0; p < 8; ++p)
      for (int t = 0; t < 2; ++t) readings.push_back(20.0 + 0.05 * p + 0.004 * a + 0.002 * ((a + 3 * p + 5 * t) % 4));
  return readings;
}


class GaugeStudyThroughTheHelper : public HelperObjectSuite {};

TEST_F(GaugeStudyThroughTheHelper, GaugeStudyStatisticsGivesTheFiguresOfTheLibraryItself) {
  const std::vector<double> readings = Readings(), options{kNaN, 5.15, 1.0};
  std::vector<double> expected(90, -7.0);
  const int32_t expectedCount = Create_GaugeStudyStatistics(2, readings.data(), 8, 3, 2, 0, 0.6, options.data(), 2,
                                                            expected.data(), 89);
  ASSERT_EQ(expectedCount, 81);

  SAFEARRAY* values = MakeArray(VT_R8, 0, readings);
  SAFEARRAY* settings = MakeArray(VT_R8, 0, options);
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(90, -7.0));
  Outcome byName = Call(helper_, L"GaugeStudyStatistics",
                        {I2(2), RefArray(&values), I4(8), I4(3), I4(2), R8(0), R8(0.6), RefArray(&settings), I4(2),
                         RefArray(&results), I4(89)});
  ASSERT_EQ(byName.hr, S_OK);
  ASSERT_EQ(byName.result.vt, VT_I4);
  EXPECT_EQ(byName.result.lVal, expectedCount);
  std::vector<double> received = ArrayValues(results);
  for (int i = 0; i <= 89; ++i) EXPECT_TRUE(SameFigure(received[i], expected[i])) << "element " << i;
  EXPECT_EQ(IdOf(helper_, L"GaugeStudyStatistics"), 0x60030013);
  EXPECT_EQ(IdOf(helper_, L"GaugeStudyBitmap"), 0x60030014);
  EXPECT_EQ(IdOf(helper_, L"SPCStatisticsEx"), 0x60030012) << "the methods before keep their numbers";

  SafeArrayDestroy(results);
  results = MakeArray(VT_R8, 0, std::vector<double>(90, -7.0));
  LONG count = 0;
  ASSERT_EQ(dual_->GaugeStudyStatistics(2, &values, 8, 3, 2, 0, 0.6, &settings, 2, &results, 89, &count), S_OK);
  EXPECT_EQ(count, expectedCount);
  received = ArrayValues(results);
  for (int i = 0; i <= 89; ++i) EXPECT_TRUE(SameFigure(received[i], expected[i])) << "element " << i;
  // A refused study: 0, nothing written.
  SafeArrayDestroy(results);
  results = MakeArray(VT_R8, 0, std::vector<double>(90, -7.0));
  ASSERT_EQ(dual_->GaugeStudyStatistics(4, &values, 8, 3, 2, 0, 0.6, &settings, 2, &results, 89, &count), S_OK);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(ArrayValues(results), std::vector<double>(90, -7.0));
  for (SAFEARRAY* array : {values, settings, results}) SafeArrayDestroy(array);
}

TEST_F(GaugeStudyThroughTheHelper, GaugeStudyBitmapWritesTheSamePageAsTheLibraryItself) {
  std::wstring folder = wintest::MakeTempDir(L"gaugehelper");
  std::wstring file = folder + L"through_helper.bmp", local = folder + L"in_process.bmp";
  const std::vector<double> readings = Readings(), options{kNaN};
  SAFEARRAY* values = MakeArray(VT_R8, 0, readings);
  SAFEARRAY* settings = MakeArray(VT_R8, 0, options);
  Outcome page = Call(helper_, L"GaugeStudyBitmap",
                      {I4(0), Str(Bstr(file)), I4(640), I4(480), R8(1), Str(Bstr(L"Through the helper")), I2(2),
                       RefArray(&values), I4(8), I4(3), I4(2), R8(0), R8(0.6), RefArray(&settings), I4(0)});
  ASSERT_EQ(page.hr, S_OK);
  EXPECT_EQ(page.Integer(), 0);
  const std::string name(local.begin(), local.end());
  ASSERT_EQ(Create_GaugeStudyBitmap(nullptr, name.c_str(), 640, 480, 1, "Through the helper", 2, readings.data(), 8,
                                    3, 2, 0, 0.6, options.data(), 0),
            0);
  const std::string helped = wintest::ReadFileBytes(file), inProcess = wintest::ReadFileBytes(local);
  EXPECT_GT(helped.size(), 54u);
  EXPECT_TRUE(helped == inProcess);
  // A refused request's code reaches the client, and no file is written.
  const std::wstring refused = folder + L"refused.bmp";
  short code = 0;
  Bstr refusedName(refused), title(L"");
  ASSERT_EQ(dual_->GaugeStudyBitmap(0, refusedName.Get(), 640, 480, 0, title.Get(), 2, &values, 8, 3, 2, 0, 0.6,
                                    &settings, 0, &code),
            S_OK);
  EXPECT_EQ(code, kGaugePageSizeRefused);
  EXPECT_FALSE(wintest::FileExists(refused));
  SafeArrayDestroy(values);
  SafeArrayDestroy(settings);
  wintest::RemoveTree(folder);
}

TEST_F(GaugeStudyThroughTheHelper, ArraysShorterThanTheirCountsFailBeforeTheLibrary) {
  const std::vector<double> readings = Readings();
  SAFEARRAY* values = MakeArray(VT_R8, 0, readings);
  SAFEARRAY* shortValues = MakeArray(VT_R8, 0, std::vector<double>(readings.begin(), readings.end() - 1));
  SAFEARRAY* options = MakeArray(VT_R8, 0, {kNaN, 6.0});
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(60, -7.0));
  LONG count = 0;
  // 48 readings announced, 47 given; room for 59 figures, 80 announced; 3 options announced, 1 given.
  EXPECT_EQ(dual_->GaugeStudyStatistics(2, &shortValues, 8, 3, 2, 0, 0.6, &options, 1, &results, 59, &count),
            kSubscriptOutOfRange);
  EXPECT_EQ(dual_->GaugeStudyStatistics(2, &values, 8, 3, 2, 0, 0.6, &options, 1, &results, 80, &count),
            kSubscriptOutOfRange);
  EXPECT_EQ(dual_->GaugeStudyStatistics(2, &values, 8, 3, 2, 0, 0.6, &options, 3, &results, 59, &count),
            kSubscriptOutOfRange);
  EXPECT_EQ(ArrayValues(results), std::vector<double>(60, -7.0));
  // Sizes whose readings the library never reads (more than 65 535, or below 1) ask nothing of the array.
  EXPECT_EQ(dual_->GaugeStudyStatistics(2, &shortValues, 70000, 3, 2, 0, 0.6, &options, 1, &results, 59, &count),
            S_OK);
  EXPECT_EQ(count, 0);
  SAFEARRAY* none = nullptr;
  Outcome bitmap = Call(helper_, L"GaugeStudyBitmap",
                        {I4(0), Str(Bstr(L"x.bmp")), I4(400), I4(300), R8(1), Str(Bstr(L"")), I2(2),
                         RefArray(&values), I4(8), I4(3), I4(2), R8(0), R8(0.6), RefArray(&none), I4(0)});
  EXPECT_EQ(bitmap.Error(), kSubscriptOutOfRange);
  EXPECT_NE(bitmap.Description().find(L"options"), std::wstring::npos) << bitmap.Description();
  for (SAFEARRAY* array : {values, shortValues, options, results}) SafeArrayDestroy(array);
}

}  // namespace
