// The helper's methods of the extended chart exports, SPCBitmapEx and
// SPCStatisticsEx, from a C++ client (by name through IDispatch and through
// the dual interface) and from a VBScript run by Wine's cscript: the figures
// and the page are those of the same call made in this process.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "helper/helper_client.h"
#include "meridan_api.h"
#include "win_test_support.h"

using namespace helpertest;

namespace {

constexpr HRESULT kSubscriptOutOfRange = static_cast<HRESULT>(0x800A0009);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Values a script can make exactly the same way: 10 + (i mod 7) / 100 + (i \ 20) / 50.
std::vector<double> ScriptValues(int count) {
  std::vector<double> values{0.0};
  for (int i = 1; i <= count; ++i) values.push_back(10.0 + (i % 7) / 100.0 + (i / 20) / 50.0);
  return values;
}

std::vector<double> InProcessFigures(const std::vector<double>& values, int32_t sampleSize,
                                     const std::vector<double>& options, int32_t capacity, int32_t* written) {
  std::vector<double> figures(static_cast<size_t>(capacity) + 1, -7.0);
  *written = Create_SPCStatisticsEx(11, values.data(), static_cast<int32_t>(values.size()) - 1, 10.05, 10.2, 9.9, 1,
                                    1, sampleSize, 1, options.data(), static_cast<int32_t>(options.size()) - 1,
                                    figures.data(), capacity);
  return figures;
}


class ChartOptionsThroughTheHelper : public HelperObjectSuite {};

TEST_F(ChartOptionsThroughTheHelper, SPCStatisticsExGivesTheFiguresOfTheLibraryItself) {
  const std::vector<double> values = ScriptValues(100), options{kNaN, 10.04, 0.01, 255, 0};
  int32_t expectedCount = 0;
  const std::vector<double> expected = InProcessFigures(values, 5, options, 150, &expectedCount);
  ASSERT_EQ(expectedCount, 69 + 20);

  SAFEARRAY* meaval = MakeArray(VT_R8, 0, values);
  SAFEARRAY* settings = MakeArray(VT_R8, 0, options);
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(151, -7.0));
  Outcome byName = Call(helper_, L"SPCStatisticsEx",
                        {I2(11), RefArray(&meaval), I4(100), R8(10.05), R8(10.2), R8(9.9), I2(1), I2(1), I4(5),
                         I2(1), RefArray(&settings), I4(4), RefArray(&results), I4(150)});
  ASSERT_EQ(byName.hr, S_OK);
  ASSERT_EQ(byName.result.vt, VT_I4);
  EXPECT_EQ(byName.result.lVal, expectedCount);
  std::vector<double> received = ArrayValues(results);
  for (int i = 0; i <= 150; ++i) EXPECT_TRUE(SameFigure(received[i], expected[i])) << "element " << i;
  EXPECT_EQ(IdOf(helper_, L"SPCStatisticsEx"), 0x60030012);
  EXPECT_EQ(IdOf(helper_, L"SPCBitmapEx"), 0x60030011);

  SafeArrayDestroy(results);
  results = MakeArray(VT_R8, 0, std::vector<double>(151, -7.0));
  LONG count = 0;
  ASSERT_EQ(dual_->SPCStatisticsEx(11, &meaval, 100, 10.05, 10.2, 9.9, 1, 1, 5, 1, &settings, 4, &results, 150, &count),
            S_OK);
  EXPECT_EQ(count, expectedCount);
  received = ArrayValues(results);
  for (int i = 0; i <= 150; ++i) EXPECT_TRUE(SameFigure(received[i], expected[i])) << "element " << i;
  for (SAFEARRAY* array : {meaval, settings, results}) SafeArrayDestroy(array);
}

TEST_F(ChartOptionsThroughTheHelper, TheCountOfFiguresIsALongBeyond32767) {
  const std::vector<double> values = ScriptValues(40000), options{kNaN};
  SAFEARRAY* meaval = MakeArray(VT_R8, 0, values);
  SAFEARRAY* settings = MakeArray(VT_R8, 0, options);
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(40070, 0.0));
  LONG count = 0;
  // Subgroups of two: 20000 subgroups, 69 + 20000 figures.
  ASSERT_EQ(dual_->SPCStatisticsEx(11, &meaval, 40000, 10, 10.5, 9.5, 1, 1, 2, 1, &settings, 0, &results, 40069,
                                   &count),
            S_OK);
  EXPECT_EQ(count, 69 + 20000);
  for (SAFEARRAY* array : {meaval, settings, results}) SafeArrayDestroy(array);
}

TEST_F(ChartOptionsThroughTheHelper, ArraysShorterThanTheirCountsFailBeforeTheLibrary) {
  SAFEARRAY* meaval = MakeArray(VT_R8, 0, ScriptValues(30));
  SAFEARRAY* shortOptions = MakeArray(VT_R8, 0, {kNaN, 10.0});
  SAFEARRAY* options = MakeArray(VT_R8, 0, {kNaN, 10.0, 0.01});
  SAFEARRAY* results = MakeArray(VT_R8, 0, std::vector<double>(60, -7.0));
  LONG count = 5;
  // Room for 59 figures, 80 announced: the library would write past the array.
  EXPECT_EQ(dual_->SPCStatisticsEx(11, &meaval, 30, 10, 10.5, 9.5, 1, 1, 5, 1, &options, 2, &results, 80, &count),
            kSubscriptOutOfRange);
  EXPECT_EQ(dual_->SPCStatisticsEx(11, &meaval, 30, 10, 10.5, 9.5, 1, 1, 5, 1, &shortOptions, 2, &results, 59, &count),
            kSubscriptOutOfRange);
  EXPECT_EQ(ArrayValues(results), std::vector<double>(60, -7.0));
  SAFEARRAY* none = nullptr;
  Outcome bitmap = Call(helper_, L"SPCBitmapEx",
                        {I4(0), Str(Bstr(L"x.bmp")), I4(400), I4(300), R8(1), Str(Bstr(L"")), I2(11),
                         RefArray(&meaval), I4(30), R8(10), R8(10.5), R8(9.5), I2(1), I2(1), I4(5), I2(1),
                         RefArray(&none), I4(0)});
  EXPECT_EQ(bitmap.Error(), kSubscriptOutOfRange);
  EXPECT_NE(bitmap.Description().find(L"options"), std::wstring::npos) << bitmap.Description();
  for (SAFEARRAY* array : {meaval, shortOptions, options, results}) SafeArrayDestroy(array);
}

TEST_F(ChartOptionsThroughTheHelper, SPCBitmapExWritesTheSamePageAsTheLibraryItself) {
  std::wstring folder = wintest::MakeTempDir(L"chartex");
  std::wstring file = folder + L"through_helper.bmp", local = folder + L"in_process.bmp";
  const std::vector<double> values = ScriptValues(150), options{kNaN, 10.03, 0.012, 255, 1};
  SAFEARRAY* meaval = MakeArray(VT_R8, 0, values);
  SAFEARRAY* settings = MakeArray(VT_R8, 0, options);
  Outcome chart = Call(helper_, L"SPCBitmapEx",
                       {I4(0), Str(Bstr(file)), I4(700), I4(450), R8(1), Str(Bstr(L"Through the helper")), I2(11),
                        RefArray(&meaval), I4(150), R8(10.05), R8(10.2), R8(9.9), I2(1), I2(1), I4(5), I2(1),
                        RefArray(&settings), I4(4)});
  ASSERT_EQ(chart.hr, S_OK);
  EXPECT_EQ(chart.Integer(), 0);
  std::string name(local.begin(), local.end());
  ASSERT_EQ(Create_SPCBitmapEx(nullptr, name.c_str(), 700, 450, 1, "Through the helper", 11, values.data(), 150,
                               10.05, 10.2, 9.9, 1, 1, 5, 1, options.data(), 4),
            0);
  const std::string helped = wintest::ReadFileBytes(file), inProcess = wintest::ReadFileBytes(local);
  EXPECT_GT(helped.size(), 54u);
  EXPECT_TRUE(helped == inProcess);
  SafeArrayDestroy(meaval);
  SafeArrayDestroy(settings);
  wintest::RemoveTree(folder);
}

// ---- The same from a VBScript ----

TEST(VBScriptChartOptions, BothMethodsGiveWhatTheLibraryGivesInProcess) {
  StopAllHelpers();
  ASSERT_TRUE(Register(HelperPath()));
  std::wstring folder = wintest::MakeTempDir(L"vbsex");
  const std::string page = std::string(folder.begin(), folder.end()) + "script.bmp";
  const std::string script = R"(Option Explicit
On Error Resume Next
Dim helper : Set helper = CreateObject("MERIDAN_HELPER.DLLFcts")
If Err.Number <> 0 Then
  WScript.Echo "CreateObject failed: " & Err.Description
  WScript.Quit 100
End If
Dim values(100), options(4), results(150), i, written, status
For i = 1 To 100
  values(i) = 10 + (i Mod 7) / 100 + (i \ 20) / 50
Next
options(1) = 10.04 : options(2) = 0.01 : options(3) = 255 : options(4) = 1
' Elements the library leaves as they were come back as they were: start from numbers.
For i = 0 To 150
  results(i) = -7
Next
written = helper.SPCStatisticsEx(11, values, 100, 10.05, 10.2, 9.9, 1, 1, 5, 1, options, 4, results, 150)
If Err.Number <> 0 Then
  WScript.Echo "SPCStatisticsEx raised " & Err.Description
  WScript.Quit 101
End If
WScript.Echo "written " & written
For i = 1 To written
  WScript.Echo i & " " & results(i)
Next
status = helper.SPCBitmapEx(0, ")" + page + R"(", 700, 450, 1, "From a script", 11, values, 100, 10.05, 10.2, 9.9, 1, 1, 5, 1, options, 4)
If Err.Number <> 0 Then
  WScript.Echo "SPCBitmapEx raised " & Err.Description
  WScript.Quit 102
End If
WScript.Echo "page " & status
helper.CloseProg
Set helper = Nothing
WScript.Quit 0
)";
  ASSERT_TRUE(wintest::WriteFileBytes(folder + L"client.vbs", script));
  std::wstring output = folder + L"cscript_output.txt";
  long exitCode = Finish(Start(L"cscript.exe //nologo \"" + folder + L"client.vbs\"", wintest::BinDir(), output), 60000);
  const std::string printed = wintest::ReadFileBytes(output);
  ASSERT_EQ(exitCode, 0) << printed;

  const std::vector<double> values = ScriptValues(100), options{kNaN, 10.04, 0.01, 255, 1};
  int32_t expectedCount = 0;
  const std::vector<double> expected = InProcessFigures(values, 5, options, 150, &expectedCount);
  std::istringstream lines(printed);
  std::string word;
  int written = 0;
  lines >> word >> written;
  ASSERT_EQ(word, "written") << printed;
  EXPECT_EQ(written, expectedCount);
  for (int i = 1; i <= written; ++i) {
    int index = 0;
    std::string text;
    lines >> index >> text;
    ASSERT_EQ(index, i) << printed;
    // A script prints 15 significant digits; counts and flags come out exactly.
    const double shown = std::strtod(text.c_str(), nullptr);
    EXPECT_NEAR(shown, expected[i], 1e-13 * std::max(1.0, std::fabs(expected[i]))) << "element " << i << ": " << text;
    if (expected[i] == std::floor(expected[i])) {
      EXPECT_EQ(shown, expected[i]) << "element " << i;
    }
  }
  lines >> word;
  EXPECT_EQ(word, "page");

  const std::wstring local = folder + L"in_process.bmp";
  std::string name(local.begin(), local.end());
  ASSERT_EQ(Create_SPCBitmapEx(nullptr, name.c_str(), 700, 450, 1, "From a script", 11, values.data(), 100, 10.05,
                               10.2, 9.9, 1, 1, 5, 1, options.data(), 4),
            0);
  const std::string fromScript = wintest::ReadFileBytes(folder + L"script.bmp");
  EXPECT_GT(fromScript.size(), 54u);
  EXPECT_TRUE(fromScript == wintest::ReadFileBytes(local));
  EXPECT_TRUE(WaitUntilNoHelper(5000));
  wintest::RemoveTree(folder);
}

}  // namespace
