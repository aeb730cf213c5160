// The helper's capability methods, CapabilityStatistics and CapabilityBitmap,
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

// A runout a script could make the same way: 0.004 + (i mod 11)^2 / 10000 + (i mod 3) / 1000.
std::vector<double> Runout(int count) {
  std::vector<double> values{0.0};
  for (int i = 1; i <= count; ++i) values.push_back(0.004 + (i % 11) * (i % 11) / 10000.0 + (i % 3) / 1000.0);
  return values;
}


class CapabilityThroughTheHelper : public HelperObjectSuite {};

TEST_F(CapabilityThroughTheHelper, CapabilityStatisticsGivesTheFiguresOfTheLibraryItself) {
  const std::vector<double> values = Runout(80), options{kNaN, 0.0, 0.9, 2};
  std::vector<double> expected(56, -7.0);
  const int32_t expectedCount = Create_CapabilityStatistics(values.data(), 80, 1, 0, 0.0, 0.03, 0.0, 1, 0,
                                                            options.data(), 3, expected.data(), 55);
  ASSERT_EQ(expectedCount, 55);
  ASSERT_EQ(expected[41], 2.0);  // the Weibull fit was made

  SAFEARRAY* readings = MakeArray(VT_R8, 0, values);
  SAFEARRAY* settings = MakeArray(VT_R8, 0, options);
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(56, -7.0));
  Outcome byName = Call(helper_, L"CapabilityStatistics",
                        {RefArray(&readings), I4(80), I4(1), I2(0), R8(0.0), R8(0.03), R8(0.0), I2(1), I2(0),
                         RefArray(&settings), I4(3), RefArray(&results), I4(55)});
  ASSERT_EQ(byName.hr, S_OK);
  ASSERT_EQ(byName.result.vt, VT_I4);
  EXPECT_EQ(byName.result.lVal, 55);
  std::vector<double> received = ArrayValues(results);
  for (int i = 0; i <= 55; ++i) EXPECT_TRUE(SameFigure(received[i], expected[i])) << "element " << i;
  EXPECT_EQ(IdOf(helper_, L"CapabilityStatistics"), 0x60030017);
  EXPECT_EQ(IdOf(helper_, L"CapabilityBitmap"), 0x60030018);
  EXPECT_EQ(IdOf(helper_, L"SPCStatisticsEx"), 0x60030012);  // nothing before them moved

  SafeArrayDestroy(results);
  results = MakeArray(VT_R8, 0, std::vector<double>(56, -7.0));
  LONG count = 0;
  ASSERT_EQ(dual_->CapabilityStatistics(&readings, 80, 1, 0, 0.0, 0.03, 0.0, 1, 0, &settings, 3, &results, 55, &count),
            S_OK);
  EXPECT_EQ(count, 55);
  received = ArrayValues(results);
  for (int i = 0; i <= 55; ++i) EXPECT_TRUE(SameFigure(received[i], expected[i])) << "element " << i;
  // A refused request (no limit in force) answers 0 and leaves the array.
  SafeArrayDestroy(results);
  results = MakeArray(VT_R8, 0, std::vector<double>(56, -7.0));
  ASSERT_EQ(dual_->CapabilityStatistics(&readings, 80, 1, 0, 0.0, 0.03, 0.0, 0, 0, &settings, 3, &results, 55, &count),
            S_OK);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(ArrayValues(results), std::vector<double>(56, -7.0));
  for (SAFEARRAY* array : {readings, settings, results}) SafeArrayDestroy(array);
}

TEST_F(CapabilityThroughTheHelper, ArraysShorterThanTheirCountsFailBeforeTheLibrary) {
  SAFEARRAY* readings = MakeArray(VT_R8, 0, Runout(30));
  SAFEARRAY* options = MakeArray(VT_R8, 0, {kNaN, 0.0});
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(40, -7.0));
  LONG count = 0;
  // Room for 39 figures, 55 announced: the library would write past the array.
  EXPECT_EQ(dual_->CapabilityStatistics(&readings, 30, 1, 0, 0, 0.03, 0, 1, 0, &options, 1, &results, 55, &count),
            kSubscriptOutOfRange);
  // 31 values announced, 30 in the array; 2 options announced, 1 given.
  EXPECT_EQ(dual_->CapabilityStatistics(&readings, 31, 1, 0, 0, 0.03, 0, 1, 0, &options, 1, &results, 39, &count),
            kSubscriptOutOfRange);
  EXPECT_EQ(dual_->CapabilityStatistics(&readings, 30, 1, 0, 0, 0.03, 0, 1, 0, &options, 2, &results, 39, &count),
            kSubscriptOutOfRange);
  EXPECT_EQ(ArrayValues(results), std::vector<double>(40, -7.0));
  SAFEARRAY* none = nullptr;
  Outcome page = Call(helper_, L"CapabilityBitmap",
                      {I4(0), Str(Bstr(L"x.bmp")), I4(800), I4(600), R8(1), Str(Bstr(L"")), RefArray(&readings),
                       I4(30), I4(1), I2(0), R8(0), R8(0.03), R8(0), I2(1), I2(0), RefArray(&none), I4(1)});
  EXPECT_EQ(page.Error(), kSubscriptOutOfRange);
  EXPECT_NE(page.Description().find(L"options"), std::wstring::npos) << page.Description();
  for (SAFEARRAY* array : {readings, options, results}) SafeArrayDestroy(array);
}

TEST_F(CapabilityThroughTheHelper, CapabilityBitmapWritesTheSamePageAsTheLibraryItself) {
  std::wstring folder = wintest::MakeTempDir(L"capability");
  std::wstring file = folder + L"through_helper.bmp", local = folder + L"in_process.bmp";
  const std::vector<double> values = Runout(120), options{kNaN, 0.0, kNaN, 4};
  SAFEARRAY* readings = MakeArray(VT_R8, 0, values);
  SAFEARRAY* settings = MakeArray(VT_R8, 0, options);
  Outcome page = Call(helper_, L"CapabilityBitmap",
                      {I4(0), Str(Bstr(file)), I4(800), I4(600), R8(1), Str(Bstr(L"Runout through the helper")),
                       RefArray(&readings), I4(120), I4(5), I2(3), R8(0), R8(0.03), R8(0), I2(1), I2(0),
                       RefArray(&settings), I4(3)});
  ASSERT_EQ(page.hr, S_OK);
  EXPECT_EQ(page.Integer(), 0);
  std::string name(local.begin(), local.end());
  ASSERT_EQ(Create_CapabilityBitmap(nullptr, name.c_str(), 800, 600, 1, "Runout through the helper", values.data(),
                                    120, 5, 3, 0, 0.03, 0, 1, 0, options.data(), 3),
            0);
  const std::string helped = wintest::ReadFileBytes(file), inProcess = wintest::ReadFileBytes(local);
  EXPECT_EQ(helped.size(), 54u + 800 * 600 * 4);
  EXPECT_TRUE(helped == inProcess);
  // A refused page answers its code and writes no file.
  std::wstring refused = folder + L"refused.bmp";
  short code = -1;
  BSTR refusedName = SysAllocString(refused.c_str()), title = SysAllocString(L"t");
  ASSERT_EQ(dual_->CapabilityBitmap(0, refusedName, 100, 100, 1, title, &readings, 120, 5, 3, 0, 0.03, 0, 1, 0,
                                    &settings, 3, &code),
            S_OK);
  EXPECT_EQ(code, 2);
  EXPECT_FALSE(wintest::FileExists(refused));
  SysFreeString(refusedName);
  SysFreeString(title);
  SafeArrayDestroy(readings);
  SafeArrayDestroy(settings);
  wintest::RemoveTree(folder);
}

}  // namespace
