// Create_SPCStatistics through MERIDAN.dll: the figures a macro gets are those
// of the very same computation linked into this program, with the DLL's
// constants table (TESSAN_SPC.TAB beside the test) loaded here as well; the
// figures that need no table constant are also checked against hand-worked values.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "meridan_api.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_statistics_results.h"
#include "spc/core/spc_table.h"
#include "win_test_support.h"

namespace {

constexpr double kUntouched = -12345.0;
constexpr int kResultsSize = kStatisticsResultCount + 2;  // element 0, 1 .. 48, one beyond

struct Call {
  uint32_t typ = 11;
  std::vector<double> values;  // element 0 first
  double nom = 10.0, usl = 10.5, lsl = 9.5;
  uint32_t uslOn = 1, lslOn = 1;
  int32_t sampleSize = 5;
  uint32_t norm = 1;
};

std::vector<double> Results() { return std::vector<double>(kResultsSize, kUntouched); }

int32_t CallDll(const Call& c, std::vector<double>& results) {
  return Create_SPCStatistics(c.typ, c.values.data(), static_cast<int32_t>(c.values.size()) - 1, c.nom, c.usl,
                              c.lsl, c.uslOn, c.lslOn, c.sampleSize, c.norm, results.data());
}

// The same request computed by the core linked into this program.
std::vector<double> Native(const Call& c) {
  SpcRequest request{static_cast<int16_t>(c.typ & 0xFFFF), c.values.data(),
                     static_cast<int32_t>(c.values.size()) - 1, c.nom, c.usl, c.lsl,
                     static_cast<int16_t>(c.uslOn & 0xFFFF), static_cast<int16_t>(c.lslOn & 0xFFFF), c.sampleSize,
                     static_cast<int16_t>(c.norm & 0xFFFF)};
  SpcResult result{};
  std::vector<double> results = Results();
  if (SPC_ComputeRequest(request, result)) SPC_WriteStatisticsResults(result, results.data());
  return results;
}

bool SameFigure(double a, double b) { return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0; }

std::vector<double> Sequence(int count, double start, double step, int period) {
  std::vector<double> values{std::numeric_limits<double>::quiet_NaN()};  // element 0: never read
  for (int i = 0; i < count; ++i) values.push_back(start + step * (i % period) + 0.001 * (i % 3));
  return values;
}

class SpcStatistics : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The DLL loaded this file from the current directory when it was attached.
    std::string table = wintest::ReadFileBytes(wintest::BinDir() + L"TESSAN_SPC.TAB");
    ASSERT_FALSE(table.empty());
    ASSERT_TRUE(SPC_ParseTable(table.data(), table.size()));
  }
};

TEST_F(SpcStatistics, HandsBackTheFiguresOfTheSameComputation) {
  std::vector<Call> calls;
  for (uint32_t typ : {1u, 4u, 11u, 10u, 12u, 13u, 14u, 16u, 17u, 19u, 20u, 21u, 23u, 26u, 27u, 29u, 31u}) {
    for (uint32_t norm = 0; norm <= 3; ++norm) {
      for (int32_t size : {2, 5, 20, 25}) {
        Call c;
        c.typ = typ;
        c.norm = norm;
        c.sampleSize = size;
        c.values = Sequence(137, 9.9, 0.017, 13);
        calls.push_back(c);
      }
    }
  }
  for (const Call& c : calls) {
    SCOPED_TRACE(testing::Message() << "typ " << c.typ << " SPCNorm " << c.norm << " SampleSize " << c.sampleSize);
    std::vector<double> fromDll = Results();
    ASSERT_EQ(CallDll(c, fromDll), 48);
    std::vector<double> native = Native(c);
    for (int i = 0; i < kResultsSize; ++i)
      EXPECT_TRUE(SameFigure(fromDll[i], native[i])) << "element " << i << ": " << fromDll[i] << " vs " << native[i];
  }
}

TEST_F(SpcStatistics, FiguresWithoutTableConstantsMatchHandWorkedValues) {
  // 10.1, 10.2, 10.3, 10.6, 9.4, 10.0 in subgroups of 3, limits 9.5 .. 10.5 in force.
  Call c;
  c.values = {0.0, 10.1, 10.2, 10.3, 10.6, 9.4, 10.0};
  c.sampleSize = 3;
  std::vector<double> r = Results();
  ASSERT_EQ(CallDll(c, r), 48);
  EXPECT_EQ(r[0], kUntouched);
  EXPECT_EQ(r[49], kUntouched);
  EXPECT_EQ(r[1], 6.0);                          // n
  EXPECT_NEAR(r[2], 10.1, 1e-12);                // mean
  EXPECT_NEAR(r[3], 0.4, 1e-12);                 // squared deviations 0 .01 .04 .25 .49 .01: 0.8 / 5
  EXPECT_EQ(r[4], 9.4);
  EXPECT_EQ(r[5], 10.6);
  EXPECT_NEAR(r[6], 1.2, 1e-12);
  EXPECT_EQ(r[7], 1.0);  // 10.6
  EXPECT_EQ(r[8], 1.0);  // 9.4
  EXPECT_NEAR(r[9], 100.0 / 3, 1e-12);
  EXPECT_NEAR(r[10], 1.0 / 2.4, 1e-12);                     // Cm: 1 / (6 · 0.4)
  EXPECT_NEAR(r[11], 0.4 / 1.2, 1e-12);                     // Cmk: (10.5 - 10.1) / (3 · 0.4)
  EXPECT_EQ(r[12], 2.0);                                    // k
  EXPECT_EQ(r[13], 3.0);                                    // m
  EXPECT_NEAR(r[14], 10.1, 1e-12);                          // Z
  EXPECT_EQ(r[22], 1.0);
  EXPECT_EQ(r[23], 1.0);
  EXPECT_EQ(r[24], 1.0);
  EXPECT_EQ(r[30], 10.0);  // 6 div 3 = 2 x positions, raised to 10
  // Classes: 9.4 .. 10.6 widened: hi = 10.6 + 1.2/15 = 10.68, lo = 9.4 - 1.28/15.
  EXPECT_NEAR(r[32], 10.68, 1e-12);
  EXPECT_NEAR(r[31], 9.4 - 1.28 / 15, 1e-12);
  EXPECT_EQ(r[33], 10.0);
  double counted = 0;
  for (int i = 34; i <= 48; ++i) counted += r[i];
  EXPECT_EQ(counted, 6.0);
  EXPECT_EQ(r[34], 1.0);  // 9.4 in the first class
}

TEST_F(SpcStatistics, OnlyTheLowSixteenBitsOfSmallArgumentsCount) {
  Call c;
  c.values = Sequence(40, 9.9, 0.02, 7);
  Call wide = c;
  wide.typ = 0x7FFF0000u | 11u;
  wide.norm = 0xABCD0000u | 1u;
  wide.uslOn = 0xFFFFFFFFu;  // -1 either way: not in force
  c.uslOn = 0xFFFFu;
  wide.lslOn = 0x00050001u;
  std::vector<double> narrow = Results(), widened = Results();
  ASSERT_EQ(CallDll(c, narrow), 48);
  ASSERT_EQ(CallDll(wide, widened), 48);
  for (int i = 0; i < kResultsSize; ++i) EXPECT_TRUE(SameFigure(narrow[i], widened[i])) << "element " << i;
}

TEST_F(SpcStatistics, RejectedRequestReturnsZeroAndLeavesTheResultsAlone) {
  Call c;
  c.values = Sequence(10, 10.0, 0.1, 5);
  std::vector<double> r = Results();
  c.sampleSize = 0;
  EXPECT_EQ(CallDll(c, r), 0);
  c.sampleSize = -3;
  EXPECT_EQ(CallDll(c, r), 0);
  c.sampleSize = 5;
  EXPECT_EQ(Create_SPCStatistics(11, c.values.data(), 65536, 10, 10.5, 9.5, 1, 1, 5, 1, r.data()), 0);
  EXPECT_EQ(Create_SPCStatistics(11, c.values.data(), -1, 10, 10.5, 9.5, 1, 1, 5, 1, r.data()), 0);
  EXPECT_EQ(Create_SPCStatistics(11, nullptr, 5, 10, 10.5, 9.5, 1, 1, 5, 1, r.data()), 0);
  EXPECT_EQ(Create_SPCStatistics(11, c.values.data(), 5, 10, 10.5, 9.5, 1, 1, 5, 1, nullptr), 0);
  for (double figure : r) EXPECT_EQ(figure, kUntouched);
}

TEST_F(SpcStatistics, NoValuesNeedNoArray) {
  std::vector<double> r = Results();
  EXPECT_EQ(Create_SPCStatistics(11, nullptr, 0, 10, 10.5, 9.5, 1, 1, 5, 1, r.data()), 48);
  EXPECT_EQ(r[1], 0.0);
  EXPECT_EQ(r[2], 0.0);
  EXPECT_EQ(r[30], 10.0);
  EXPECT_EQ(r[0], kUntouched);
}

}  // namespace
