// The extended figures of a chart request: elements 1 .. 48 as before, then
// the basis of the limits, the run-test counts and the flags per subgroup,
// never past the capacity.
#include "spc/core/spc_run_test_figures.h"

#include <gtest/gtest.h>

#include <vector>

#include "core_test_support.h"
#include "spc/core/spc_statistics_results.h"

namespace {

using namespace coretest;

TEST_F(ChartRequestTest, FiguresFollowTheFortyEightAndStopAtTheCapacity) {
  std::vector<double> values = SubgroupsWithMeans({10.05, 10.05, 10.06, 10.05, 10.2, 10.05, 10.04, 10.05, 10.05});
  const SpcGivenLimits given{10.0, 0.2 / 2.326};
  SpcResult result{};
  ASSERT_TRUE(SPC_ComputeRequest(RequestOf(values, 11, 5), result, &given));
  SpcRunTests tests;
  SPC_RunTestsOfRequest(result, kAllRunTests, &tests);
  std::vector<double> figures(100, -7.0);
  EXPECT_EQ(SPC_WriteRunTestFigures(result, tests, figures.data(), 99), 69 + 9);
  double plain[kStatisticsResultCount + 1];
  SPC_WriteStatisticsResults(result, plain);
  for (int i = 1; i <= kStatisticsResultCount; ++i) EXPECT_EQ(figures[i], plain[i]) << i;
  EXPECT_EQ(figures[0], -7.0);
  EXPECT_EQ(figures[49], 10.0);
  EXPECT_EQ(figures[50], 0.2 / 2.326);
  EXPECT_EQ(figures[51], 1.0);
  EXPECT_EQ(figures[52], 1.0);
  EXPECT_EQ(figures[53], 1.0);  // test 1: subgroup 5
  EXPECT_EQ(figures[54], 1.0);  // test 2: subgroup 9
  EXPECT_EQ(figures[61], 0.0);
  EXPECT_EQ(figures[62], 5.0);
  EXPECT_EQ(figures[63], 9.0);
  EXPECT_EQ(figures[64], 0.0);
  EXPECT_EQ(figures[70 + 4], static_cast<double>(tests.flags[5]));
  EXPECT_EQ(figures[78], 2.0 + 32.0);  // subgroup 9: tests 2 and 6 (the fourth of five beyond one sigma)
  EXPECT_EQ(figures[79], -7.0);

  std::vector<double> small(60, -7.0);
  EXPECT_EQ(SPC_WriteRunTestFigures(result, tests, small.data(), 50), 50);
  EXPECT_EQ(small[50], 0.2 / 2.326);
  EXPECT_EQ(small[51], -7.0);
  EXPECT_EQ(SPC_WriteRunTestFigures(result, tests, small.data(), 0), 0);
}

}  // namespace
