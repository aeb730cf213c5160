// The page's legend line of the run tests, its full and short texts worked out by hand.
#include "spc/core/run_test_marks.h"

#include <gtest/gtest.h>

#include <vector>

#include "core_test_support.h"

namespace {

using namespace coretest;

TEST_F(ChartRequestTest, TheLegendNamesTheTestsThatFiredAndTheGivenLimits) {
  std::vector<double> values = SubgroupsWithMeans({10.05, 10.05, 10.06, 10.05, 10.2, 10.05, 10.04, 10.05, 10.05});
  const SpcGivenLimits given{10.0, 0.2 / 2.326};
  SpcResult result{};
  ASSERT_TRUE(SPC_ComputeRequest(RequestOf(values, 11, 5), result, &given));
  SpcRunTests tests;
  SPC_RunTestsOfRequest(result, kAllRunTests, &tests);
  ASSERT_EQ(tests.counts[5], 5);  // subgroups 5 to 9 are the fourth and later of five beyond one sigma
  EXPECT_EQ(RunTest_Legend(result, tests, true, LegendForm::Full),
            "Historical limits: centre 10.0000, sigma 0.0860   Run tests: 1 beyond limits (1), 2 nine on one side "
            "(1), 6 four of five beyond 1 sigma (5)");
  EXPECT_EQ(RunTest_Legend(result, tests, true, LegendForm::Short),
            "Historical limits 10.0000 / 0.0860   Run tests (points): 1 (1), 2 (1), 6 (5)");
  EXPECT_EQ(RunTest_Legend(result, tests, false, LegendForm::Full), "Historical limits: centre 10.0000, sigma 0.0860");

  SpcResult own{};
  ASSERT_TRUE(SPC_ComputeRequest(RequestOf(values, 11, 5), own));
  SPC_RunTestsOfRequest(own, 0x80, &tests);
  EXPECT_EQ(RunTest_Legend(own, tests, true, LegendForm::Full), "Run tests: no point flagged");
  EXPECT_EQ(RunTest_Legend(own, tests, false, LegendForm::Full), "");
  ASSERT_TRUE(SPC_ComputeRequest(RequestOf(values, 1, 1), own));
  SPC_RunTestsOfRequest(own, kAllRunTests, &tests);
  EXPECT_EQ(RunTest_Legend(own, tests, true, LegendForm::Short), "Run tests (points): none apply to this chart");
}

}  // namespace
