// The VBScript examples (examples/vbs) run by Wine's cscript against the
// registered helper, from a folder of their own, as a user runs them. Each
// checks itself (its exit code); here their output is also compared with the
// library called in this process on the same readings of the stand-in kit:
// the figures to the 15 digits a script prints, the page byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "helper/helper_client.h"
#include "win_test_support.h"

using namespace helpertest;

namespace {

constexpr int kCount = 125;

std::wstring ExamplesDir() {
  std::string dir = MERIDAN_EXAMPLES_DIR;
  for (char& c : dir)
    if (c == '/') c = '\\';
  return L"Z:" + std::wstring(dir.begin(), dir.end()) + L"\\";
}

struct ScriptRun {
  long exitCode = -1;
  std::string output;
};

ScriptRun RunExample(const wchar_t* script, const std::wstring& workingDir, const std::wstring& arguments = L"") {
  ScriptRun run;
  std::wstring output = workingDir + L"cscript_output.txt";
  run.exitCode = Finish(
      Start(L"cscript.exe //nologo \"" + ExamplesDir() + script + L"\" " + arguments, workingDir, output), 90000);
  run.output = wintest::ReadFileBytes(output);
  DeleteFileW(output.c_str());
  return run;
}

// The library in this process, with the stand-in kit behind it.
template <typename Function>
Function Export(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryW(L"MERIDAN.dll"), name)));
}

// What the examples read: the first 125 values of device 1, address 1 after
// the kit's start (element 0 unused).
std::vector<double> KitValues() {
  auto init = Export<int32_t(WINAPI*)(int16_t*, uint32_t, const char*, HWND, int32_t)>("MERIDAN_Init");
  auto value = Export<int32_t(WINAPI*)(uint32_t, uint32_t, double*)>("MERIDAN_Value");
  auto deinit = Export<int32_t(WINAPI*)()>("MERIDAN_DeInit");
  int16_t reserved = 0;
  std::vector<double> values(kCount + 1, 0.0);
  EXPECT_EQ(init(&reserved, 0, "", nullptr, 0), 0);
  for (int i = 1; i <= kCount; ++i) EXPECT_EQ(value(1, 1, &values[i]), 0);
  deinit();
  return values;
}

class VbsExamples : public testing::Test {
 public:
  static void SetUpTestSuite() {
    StopAllHelpers();
    ASSERT_TRUE(Register(HelperPath()));
  }

 protected:
  void SetUp() override { folder_ = wintest::MakeTempDir(L"examples"); }
  void TearDown() override {
    EXPECT_TRUE(WaitUntilNoHelper(10000)) << "the helper outlived the script";
    wintest::RemoveTree(folder_);
  }
  std::wstring folder_;
};

}  // namespace

TEST_F(VbsExamples, ReadValuesPrintsTheGaugesNameAndItsReadings) {
  ScriptRun run = RunExample(L"read_values.vbs", folder_);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Device 1: TESSAN Caliper C150\r\n"), std::string::npos) << run.output;
  std::vector<double> expected = KitValues();
  std::regex line(R"(value (\d+): (\S+))");
  int seen = 0;
  for (std::sregex_iterator it(run.output.begin(), run.output.end(), line), end; it != end; ++it, ++seen) {
    int index = std::stoi((*it)[1]);
    EXPECT_EQ(index, seen + 1);
    EXPECT_NEAR(std::strtod((*it)[2].str().c_str(), nullptr), expected[index], 1e-9) << "value " << index;
  }
  EXPECT_EQ(seen, 10);
}

TEST_F(VbsExamples, SpcFiguresAreTheLibrarysFigures) {
  ScriptRun run = RunExample(L"spc_figures.vbs", folder_);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::vector<double> values = KitValues();
  std::vector<double> expected(49, 0.0);
  auto statistics = Export<int32_t(WINAPI*)(uint32_t, const double*, int32_t, double, double, double, uint32_t,
                                            uint32_t, int32_t, uint32_t, double*)>("Create_SPCStatistics");
  ASSERT_EQ(statistics(11, values.data(), kCount, 25.0, 25.03, 24.97, 1, 1, 5, 1, expected.data()), 48);

  std::istringstream lines(run.output);
  std::regex figure(R"(^\s*(\d+) (\w+)\s+(\S+)\r?$)");
  int seen = 0;
  for (std::string text; std::getline(lines, text);) {
    std::smatch match;
    if (!std::regex_match(text, match, figure)) continue;
    int index = std::stoi(match[1]);
    ASSERT_EQ(index, ++seen);
    double printed = std::strtod(match[3].str().c_str(), nullptr);
    EXPECT_NEAR(printed, expected[index], std::fabs(expected[index]) * 1e-14) << match[2] << " (" << index << ")";
  }
  EXPECT_EQ(seen, 48) << run.output;
  EXPECT_NE(run.output.find("  1 n "), std::string::npos);
  EXPECT_NE(run.output.find(" 17 Cpk "), std::string::npos);
}

TEST_F(VbsExamples, SpcPageIsTheLibrarysPageByteForByte) {
  ScriptRun run = RunExample(L"spc_page.vbs", folder_);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::string page = wintest::ReadFileBytes(folder_ + L"spc_page.bmp");
  ASSERT_GT(page.size(), 54u) << "written into the script's current folder";

  std::vector<double> values = KitValues();
  auto chart = Export<int32_t(WINAPI*)(HWND, const char*, int32_t, int32_t, double, const char*, uint32_t,
                                       const double*, int32_t, double, double, double, uint32_t, uint32_t, int32_t,
                                       uint32_t)>("Create_SPCBitmap");
  std::wstring local = folder_ + L"in_process.bmp";
  std::string localName(local.begin(), local.end());
  ASSERT_EQ(chart(nullptr, localName.c_str(), 1200, 900, 1.0, "Caliper C150, address 1", 11, values.data(), kCount,
                  25.0, 25.03, 24.97, 1, 1, 5, 1),
            0);
  EXPECT_TRUE(wintest::ReadFileBytes(local) == page) << "the page written through the helper differs";

  // Once the first script's helper has ended: one started while it withdraws its classes would miss it.
  ASSERT_TRUE(WaitUntilNoHelper(10000));
  ScriptRun named = RunExample(L"spc_page.vbs", folder_, L"named.bmp");
  ASSERT_EQ(named.exitCode, 0) << named.output;
  EXPECT_TRUE(wintest::ReadFileBytes(folder_ + L"named.bmp") == page) << "a file name relative to the current folder";
}
