// Create_SPCStatisticsEx through MERIDAN.dll: elements 1 .. 48 bit for bit
// those of Create_SPCStatistics for the same request, whatever the options;
// the run-test figures after them as the core linked into this program
// computes them; the caller's capacity never passed; bad options refused.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "meridan_api.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_run_test_figures.h"
#include "spc/core/spc_run_tests.h"
#include "spc/core/spc_table.h"
#include "win_test_support.h"

namespace {

constexpr double kUntouched = -12345.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Call {
  uint32_t typ = 11;
  std::vector<double> values;  // element 0 first
  int32_t sampleSize = 5;
  uint32_t norm = 1;
  std::vector<double> options{kNaN};  // element 0 first
};

int32_t Plain(const Call& c, std::vector<double>& results) {
  return Create_SPCStatistics(c.typ, c.values.data(), static_cast<int32_t>(c.values.size()) - 1, 10.0, 10.5, 9.5, 1,
                              1, c.sampleSize, c.norm, results.data());
}

int32_t Extended(const Call& c, std::vector<double>& results, int32_t capacity) {
  return Create_SPCStatisticsEx(c.typ, c.values.data(), static_cast<int32_t>(c.values.size()) - 1, 10.0, 10.5, 9.5,
                                1, 1, c.sampleSize, c.norm, c.options.data(),
                                static_cast<int32_t>(c.options.size()) - 1, results.data(), capacity);
}

bool SameFigure(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A drifting process: runs, trends and points beyond the limits for the tests to find.
std::vector<double> Drifting(int count) {
  std::vector<double> values{kNaN};
  for (int i = 0; i < count; ++i) values.push_back(10.0 + 0.0004 * i + 0.03 * std::sin(i * 0.9) + 0.002 * (i % 5));
  return values;
}

class SpcStatisticsEx : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string table = wintest::ReadFileBytes(wintest::BinDir() + L"TESSAN_SPC.TAB");
    ASSERT_FALSE(table.empty());
    ASSERT_TRUE(SPC_ParseTable(table.data(), table.size()));
  }
};

TEST_F(SpcStatisticsEx, WritesTheFortyEightFiguresOfCreateSPCStatisticsThenTheRunTestsOfTheSameComputation) {
  for (uint32_t typ : {1u, 4u, 10u, 11u, 12u, 13u, 14u, 15u, 16u, 17u, 19u, 20u, 22u, 24u, 26u, 29u, 31u})
    for (int32_t size : {1, 2, 5, 20})
      for (uint32_t norm : {0u, 1u, 2u, 3u}) {
        SCOPED_TRACE(testing::Message() << "typ " << typ << " size " << size << " norm " << norm);
        Call c;
        c.typ = typ;
        c.sampleSize = size;
        c.norm = norm;
        c.values = Drifting(300);
        std::vector<double> plain(50, kUntouched), extended(2000, kUntouched);
        ASSERT_EQ(Plain(c, plain), 48);
        const int32_t k = 300 / size;
        ASSERT_EQ(Extended(c, extended, 1999), 69 + k);
        for (int i = 0; i <= 48; ++i) EXPECT_TRUE(SameFigure(extended[i], plain[i])) << "element " << i;
        EXPECT_EQ(extended[70 + k], kUntouched);

        // The core linked here, on the same request.
        SpcRequest request{static_cast<int16_t>(typ), c.values.data(), 300, 10.0, 10.5, 9.5, 1, 1, size,
                           static_cast<int16_t>(norm)};
        SpcResult result{};
        ASSERT_TRUE(SPC_ComputeRequest(request, result));
        SpcRunTests tests;
        SPC_RunTestsOfRequest(result, kAllRunTests, &tests);
        std::vector<double> native(2000, kUntouched);
        SPC_WriteRunTestFigures(result, tests, native.data(), 1999);
        for (int i = 49; i <= 69 + k; ++i) EXPECT_TRUE(SameFigure(extended[i], native[i])) << "element " << i;
      }
}

TEST_F(SpcStatisticsEx, OptionsChangeOnlyTheLimitsAndTheTests) {
  Call c;
  c.values = Drifting(150);
  std::vector<double> data(200, kUntouched);
  ASSERT_EQ(Extended(c, data, 199), 69 + 30);
  c.options = {kNaN, 10.01, 0.02, 2};  // given centre and sigma, test 2 only
  std::vector<double> given(200, kUntouched);
  ASSERT_EQ(Extended(c, given, 199), 69 + 30);
  for (int i : {1, 2, 3, 14, 15, 16, 17, 30, 34}) EXPECT_TRUE(SameFigure(given[i], data[i])) << "element " << i;
  EXPECT_DOUBLE_EQ(given[18], 10.01 + 3 * 0.02 / std::sqrt(5.0));
  EXPECT_EQ(given[49], 10.01);
  EXPECT_EQ(given[50], 0.02);
  EXPECT_EQ(given[51], 1.0);
  EXPECT_EQ(given[52], 1.0);
  EXPECT_EQ(data[51], 0.0);
  EXPECT_TRUE(SameFigure(data[49], data[14]));
  EXPECT_TRUE(SameFigure(data[50], data[15]));
  for (int t = 0; t < kRunTestCount; ++t) {
    if (t != 1) {
      EXPECT_EQ(given[53 + t], 0.0) << "test " << t + 1 << " was not asked for";
    }
  }
  EXPECT_EQ(given[61], 0.0);
  for (int j = 1; j <= 30; ++j) EXPECT_EQ(static_cast<int>(given[69 + j]) & ~2, 0) << "subgroup " << j;
}

TEST_F(SpcStatisticsEx, NeverWritesPastTheCapacity) {
  Call c;
  c.values = Drifting(100);
  for (int32_t capacity : {1, 10, 48, 49, 69, 70, 80, 89, 200}) {
    std::vector<double> results(capacity + 2, kUntouched);
    const int32_t written = Extended(c, results, capacity);
    EXPECT_EQ(written, std::min(capacity, 69 + 20)) << capacity;
    EXPECT_EQ(results[0], kUntouched);
    for (int i = written + 1; i <= capacity + 1; ++i) EXPECT_EQ(results[i], kUntouched) << capacity << ": " << i;
  }
}

TEST_F(SpcStatisticsEx, RefusesWhatIsOutsideTheContractAndLeavesTheResultsAlone) {
  Call c;
  c.values = Drifting(50);
  std::vector<double> results(120, kUntouched);
  EXPECT_EQ(Extended(c, results, 0), 0);
  EXPECT_EQ(Extended(c, results, -5), 0);
  EXPECT_EQ(Create_SPCStatisticsEx(11, c.values.data(), 50, 10, 10.5, 9.5, 1, 1, 5, 1, nullptr, 0, nullptr, 100), 0);
  EXPECT_EQ(Create_SPCStatisticsEx(11, c.values.data(), 50, 10, 10.5, 9.5, 1, 1, 5, 1, nullptr, 3, results.data(),
                                   100),
            0);
  for (std::vector<double> options : {std::vector<double>{kNaN, kNaN, 0.0}, std::vector<double>{kNaN, kNaN, -1.0},
                                      std::vector<double>{kNaN, kNaN, kNaN, 256.0},
                                      std::vector<double>{kNaN, std::numeric_limits<double>::infinity()}}) {
    c.options = options;
    EXPECT_EQ(Extended(c, results, 100), 0);
  }
  c.options = {kNaN};
  c.sampleSize = 0;
  EXPECT_EQ(Extended(c, results, 100), 0);
  for (double r : results) EXPECT_EQ(r, kUntouched);
  // Without options (a count of 0) the array is not read at all.
  EXPECT_EQ(Create_SPCStatisticsEx(11, c.values.data(), 50, 10, 10.5, 9.5, 1, 1, 5, 1, nullptr, 0, results.data(),
                                   100),
            69 + 10);
}

}  // namespace
