// The gauge studies' own tails of t and F (taken so that both Windows builds
// give the same bits) against Boost.Math's and against values worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "core/distributions.h"
#include "gauge/core/gauge_compute.h"

namespace {

namespace dist = meridan::dist;

void ExpectRelative(double actual, double expected, double relative, const char* what, double at) {
  EXPECT_NEAR(actual, expected, relative * std::fabs(expected)) << what << " at " << at;
}

TEST(GaugeTails, OneDegreeOfFreedomTailIsTheCauchyTail) {
  EXPECT_DOUBLE_EQ(Gauge_StudentTwoSidedP(1.0, 1), 0.5);  // P(|T| > 1) = 1/2 for one degree of freedom
  EXPECT_DOUBLE_EQ(Gauge_StudentTwoSidedP(-1.0, 1), 0.5);
  EXPECT_EQ(Gauge_StudentTwoSidedP(0.0, 1), 1.0);
  // SciPy's 2 t.sf(t, 1). (Boost's own tail loses digits near t = 0: 1 at 1e-9, 1e-14 off at 0.001.)
  const std::pair<double, double> scipy[] = {{1e-9, 0.9999999993633802},        {0.001, 0.9993633804398389},
                                             {0.3, 0.8144528418445154},         {2.0, 0.2951672353008664},
                                             {12.706204736174698, 0.050000000000000024}, {1e3, 0.0006366195601611177},
                                             {1e12, 6.366197723675812e-13}};
  for (const auto& [t, expected] : scipy) ExpectRelative(Gauge_StudentTwoSidedP(t, 1), expected, 1e-15, "t(1)", t);
  ExpectRelative(Gauge_StudentTwoSidedP(12.706204736174698, 1), 0.05, 1e-14, "the 97.5 % point", 12.7);
}

TEST(GaugeTails, OtherDegreesOfFreedomAreBoostsTail) {
  for (double df : {2.0, 4.0, 6.0, 24.0, 119.0})
    for (double t : {0.1, 1.0, 3.3333333333333335, 40.0})
      EXPECT_EQ(Gauge_StudentTwoSidedP(t, df), 2 * dist::cdf(dist::complement(dist::StudentsT(df), t)));
}

TEST(GaugeTails, QuantileFoundByHalvingMatchesBoostsAndPublishedTables) {
  for (double df = 1; df <= 30; ++df)
    for (double share : {0.25, 0.1, 0.05, 0.025, 0.005, 0.0005, 1e-9, 1e-15}) {
      const double boost = dist::quantile(dist::complement(dist::StudentsT(df), share));
      ExpectRelative(Gauge_StudentQuantileAbove(share, df), boost, 2e-13, "quantile", df);
    }
  // Tables of t: 12.706 (1), 4.303 (2), 2.776 (4), 2.064 (24) for 95 % two-sided.
  EXPECT_NEAR(Gauge_StudentQuantileAbove(0.025, 1), 12.706, 5e-4);
  EXPECT_NEAR(Gauge_StudentQuantileAbove(0.025, 2), 4.303, 5e-4);
  EXPECT_NEAR(Gauge_StudentQuantileAbove(0.025, 4), 2.776, 5e-4);
  EXPECT_NEAR(Gauge_StudentQuantileAbove(0.025, 24), 2.064, 5e-4);
  EXPECT_TRUE(std::isnan(Gauge_StudentQuantileAbove(0.0, 5)));
  EXPECT_TRUE(std::isnan(Gauge_StudentQuantileAbove(0.6, 5)));
}

TEST(GaugeTails, FWithOneAndOneDegreesOfFreedom) {
  EXPECT_DOUBLE_EQ(Gauge_UpperTailF(1.0, 1, 1), 0.5);
  // SciPy's f.sf(f, 1, 1) (its incomplete beta function keeps fewer digits near 0 than the closed form).
  const std::pair<double, double> scipy[] = {{1e-6, 0.9993633804398584}, {0.2, 0.73227952719877},
                                             {3.0, 0.33333333333333337}, {161.4476387, 0.05000000001504942},
                                             {1e8, 6.366197702455155e-05}};
  for (const auto& [f, expected] : scipy) ExpectRelative(Gauge_UpperTailF(f, 1, 1), expected, 1e-13, "F(1, 1)", f);
  ExpectRelative(Gauge_UpperTailF(161.4476387, 1, 1), 0.05, 1e-8, "the 95 % point of F(1, 1)", 161.4);
  EXPECT_EQ(Gauge_UpperTailF(INFINITY, 1, 1), 0.0);
  EXPECT_TRUE(std::isnan(Gauge_UpperTailF(NAN, 1, 1)));
  EXPECT_EQ(Gauge_UpperTailF(2.5, 3, 60), dist::cdf(dist::complement(dist::FisherF(3, 60), 2.5)));
}

}  // namespace
