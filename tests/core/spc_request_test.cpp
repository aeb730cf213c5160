// Chart request computations: statistics, capability, histogram classes,
// subgroups, control limits and the figures handed to macros. Expected figures
// are worked out by hand here, or come from tests/data/spc_reference.py
// (Python's statistics module) through tests/data/spc_reference.txt.
#include "spc/core/spc_request.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "core_test_support.h"
#include "spc/core/spc_statistics_results.h"
#include "spc/core/spc_table.h"

namespace {

using namespace coretest;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

float Single(double value) { return static_cast<float>(value); }

// A caller's array: element 0 is a NaN that must never be read.
struct Values {
  std::vector<double> data{kNaN};
  Values(std::initializer_list<double> values) { data.insert(data.end(), values); }
  explicit Values(const std::vector<double>& values) { data.insert(data.end(), values.begin(), values.end()); }
  int32_t count() const { return static_cast<int32_t>(data.size()) - 1; }
};

SpcRequest Request(const Values& values, int16_t typ, int32_t sampleSize, int16_t norm = 1) {
  SpcRequest request = ToleranceRequest();
  request.typ = typ;
  request.meaval = values.data.data();
  request.numofval = values.count();
  request.SampleSize = sampleSize;
  request.SPCNorm = norm;
  return request;
}

SpcResult Compute(const SpcRequest& request) {
  SpcResult result{};
  EXPECT_TRUE(SPC_ComputeRequest(request, result));
  return result;
}

class ChartRequest : public ::testing::Test {
 protected:
  void SetUp() override { LoadTestConstants(); }
};

// ---- Overall statistics ----------------------------------------------------

TEST_F(ChartRequest, SevenValuesOfKindOneGiveTenXPositions) {
  Values values{1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(Compute(Request(values, 1, 1)).xPositions, 10.0);
}

TEST_F(ChartRequest, NinetyFiveValuesInSubgroupsOfFiveGiveNineteenXPositions) {
  Values values(std::vector<double>(95, 10.0));
  EXPECT_EQ(Compute(Request(values, 11, 5)).xPositions, 19.0);
  // Kind 1 counts single values whatever the subgroup size.
  EXPECT_EQ(Compute(Request(values, 1, 5)).xPositions, 95.0);
}

TEST_F(ChartRequest, CountsOnlyAgainstLimitsInForce) {
  Values values{1, 2, 3};
  SpcRequest request = Request(values, 1, 1);
  request.USL = 2.5;
  request.LSL = 0.0;
  request.LSLOnOff = 0;
  SpcResult result = Compute(request);
  EXPECT_EQ(result.stats.countAbove, 1);
  EXPECT_EQ(result.stats.countBelow, 0);
  EXPECT_DOUBLE_EQ(result.stats.percentOutside, 100.0 / 3.0);
  EXPECT_DOUBLE_EQ(result.stats.mean, 2.0);
  EXPECT_DOUBLE_EQ(result.stats.stdDev, 1.0);
  EXPECT_EQ(result.stats.smallest, 1.0);
  EXPECT_EQ(result.stats.largest, 3.0);
  EXPECT_EQ(result.stats.range, 2.0);
}

TEST_F(ChartRequest, MachineCapabilityOfBothLimitsAndOfTheLowerOne) {
  Values values{10.1, 10.2, 10.3};  // x̄ 10.2, s 0.1
  SpcRequest request = Request(values, 1, 1);
  SpcResult both = Compute(request);
  // s carries the rounding of the sum-of-squares formula (0.0999999999999…).
  EXPECT_NEAR(both.stats.Cm, 1.0 / 0.6, 1e-10);  // (10.5 - 9.5) / 0.6
  EXPECT_NEAR(both.stats.Cmk, 1.0, 1e-10);       // (10.5 - 10.2) / 0.3
  request.USLOnOff = 0;
  SpcResult lower = Compute(request);
  EXPECT_NEAR(lower.stats.Cm, 0.5 / 0.3, 1e-10);  // (10 - 9.5) / 0.3
  EXPECT_NEAR(lower.stats.Cmk, 0.7 / 0.3, 1e-10);
  request.USLOnOff = 1;
  request.LSLOnOff = 0;
  SpcResult upper = Compute(request);
  EXPECT_NEAR(upper.stats.Cm, 0.5 / 0.3, 1e-10);  // (10.5 - 10) / 0.3
  EXPECT_NEAR(upper.stats.Cmk, 0.3 / 0.3, 1e-10);
}

TEST_F(ChartRequest, NegativeUpperSwitchCountsNothingAndSelectsNoFormula) {
  Values values{10.1, 10.2, 10.3, 11.0};
  SpcRequest request = Request(values, 1, 1);
  request.USLOnOff = -1;
  SpcResult result = Compute(request);
  EXPECT_EQ(result.stats.countAbove, 0);  // 11.0 is above USL but the limit is not in force
  EXPECT_EQ(result.stats.Cm, 0.0);
  EXPECT_EQ(result.stats.Cmk, 0.0);
  EXPECT_EQ(result.stats.Cp, 0.0);
}

TEST_F(ChartRequest, SingleValueHasNoSpreadAndNoCapability) {
  Values values{10.02};
  SpcResult result = Compute(Request(values, 11, 5));
  EXPECT_EQ(result.stats.n, 1);
  EXPECT_DOUBLE_EQ(result.stats.mean, 10.02);
  EXPECT_EQ(result.stats.stdDev, 0.0);
  EXPECT_EQ(result.stats.Cm, 0.0);
  EXPECT_EQ(result.stats.Cmk, 0.0);
  EXPECT_EQ(result.stats.range, 0.0);
  EXPECT_EQ(result.stats.k, 0);
}

TEST_F(ChartRequest, EqualValuesGiveZeroSpreadNotNaN) {
  // Three times 0.1: sum of squares minus n x̄² rounds to -1.7e-18.
  Values three{0.1, 0.1, 0.1};
  SpcResult overall = Compute(Request(three, 1, 1));
  EXPECT_EQ(overall.stats.stdDev, 0.0);
  EXPECT_EQ(overall.stats.Cm, 0.0);

  // Subgroups of six times 0.7 round below zero as well, in every method that takes a root.
  Values twelve(std::vector<double>(12, 0.7));
  for (int16_t norm : {0, 2, 3}) {
    SCOPED_TRACE(norm);
    SpcResult result = Compute(Request(twelve, 10, 6, norm));
    EXPECT_EQ(result.stats.sigmaWithin, 0.0);
    EXPECT_EQ(result.limits.upperControl, result.stats.grandMean);
    EXPECT_EQ(SPC_DispersionSeries()[1], 0.0);
    EXPECT_EQ(SPC_DispersionSeries()[2], 0.0);
  }
}

// ---- Histogram classes -----------------------------------------------------

TEST_F(ChartRequest, AllValuesEqualToBothLimitsFallInClassEight) {
  Values values{5, 5, 5, 5, 5, 5};
  SpcRequest request = Request(values, 1, 1);
  request.USL = request.LSL = 5.0;
  SpcResult result = Compute(request);
  EXPECT_DOUBLE_EQ(result.classes.lo, 4.99);
  EXPECT_DOUBLE_EQ(result.classes.hi, 5.01);
  for (int c = 1; c <= kHistogramClasses; ++c) EXPECT_EQ(result.classes.counts[c], c == 8 ? 6 : 0) << c;
  EXPECT_EQ(result.classes.peak, 10);
}

// A hundredth is lost in the rounding of 1e20: the classes span a millionth of
// the size instead, so the equal values still fall in the middle class.
TEST_F(ChartRequest, AllValuesEqualAndTooLargeForAHundredthStillFallInClassEight) {
  Values values{1e20, 1e20, 1e20, 1e20};
  SpcRequest request = Request(values, 1, 1);
  request.USL = request.LSL = 1e20;
  SpcResult result = Compute(request);
  EXPECT_LT(result.classes.lo, 1e20);
  EXPECT_GT(result.classes.hi, 1e20);
  for (int c = 1; c <= kHistogramClasses; ++c) EXPECT_EQ(result.classes.counts[c], c == 8 ? 4 : 0) << c;
}

// 1e9 and the next double above it: the widening by a fifteenth of their
// distance vanishes, and the top bound would be the largest value itself.
TEST_F(ChartRequest, LargestValueOneUnitInTheLastPlaceAboveTheRestIsCounted) {
  const double above = std::nextafter(1e9, 2e9);
  Values values{1e9, 1e9, above};
  SpcRequest request = Request(values, 1, 1);
  request.USL = request.LSL = 1e9;
  SpcResult result = Compute(request);
  int total = 0;
  for (int c = 1; c <= kHistogramClasses; ++c) total += result.classes.counts[c];
  EXPECT_EQ(total, 3);
  EXPECT_GT(result.classes.hi, above);
  EXPECT_EQ(result.classes.bounds[kHistogramClasses], result.classes.hi);
}

TEST_F(ChartRequest, ClassRangeWidensByOneFifteenthEachWay) {
  // Values 0 .. 29, limits inside: lo 0, hi 29; hi = 29 + 29/15, then lo = 0 - hi/15 = -2.0622.
  std::vector<double> v;
  for (int i = 0; i < 30; ++i) v.push_back(i);
  Values values(v);
  SpcRequest request = Request(values, 1, 1);
  request.LSL = 1;
  request.USL = 2;
  SpcResult result = Compute(request);
  const double hi = 29 + 29.0 / 15;  // 30.9333…
  EXPECT_DOUBLE_EQ(result.classes.hi, hi);
  EXPECT_DOUBLE_EQ(result.classes.lo, -hi / 15);
  // Class width 2.1997: class 1 is -2.06 .. 0.14, class 2 0.14 .. 2.34, class 6 8.94 .. 11.14,
  // class 15 28.73 .. 30.93.
  int total = 0;
  for (int c = 1; c <= kHistogramClasses; ++c) total += result.classes.counts[c];
  EXPECT_EQ(total, 30);
  EXPECT_EQ(result.classes.counts[1], 1);  // 0
  EXPECT_EQ(result.classes.counts[2], 2);  // 1, 2
  EXPECT_EQ(result.classes.counts[6], 3);  // 9, 10, 11
  EXPECT_EQ(result.classes.counts[15], 1);  // 29
  EXPECT_EQ(result.classes.peak, 10);
}

TEST_F(ChartRequest, PeakAboveTenIsRaisedByOne) {
  Values values(std::vector<double>(12, 10.0));
  EXPECT_EQ(Compute(Request(values, 1, 1)).classes.peak, 13);
}

// ---- Subgroups ---------------------------------------------------------------

TEST_F(ChartRequest, SampleSizeAboveTwentyUsesBlocksOfTwentyCountedWithTheSizeGiven) {
  std::vector<double> v;
  for (int i = 1; i <= 100; ++i) v.push_back(i);
  Values values(v);
  SpcResult result = Compute(Request(values, 11, 25));
  EXPECT_EQ(result.stats.k, 4);
  EXPECT_EQ(result.stats.m, 20);
  EXPECT_EQ(result.xPositions, 10.0);  // 100 div 25 = 4, raised to 10
  // Values 1-20, 21-40, 41-60, 61-80; 81-100 belong to no subgroup.
  const double* location = SPC_LocationSeries();
  EXPECT_DOUBLE_EQ(location[1], 10.5);
  EXPECT_DOUBLE_EQ(location[2], 30.5);
  EXPECT_DOUBLE_EQ(location[3], 50.5);
  EXPECT_DOUBLE_EQ(location[4], 70.5);
  EXPECT_DOUBLE_EQ(result.stats.grandMean, 40.5);
  EXPECT_EQ(SPC_DispersionSeries()[1], 19.0);  // range of 1 .. 20
}

TEST_F(ChartRequest, MedianOfEvenSubgroupIsMeanOfMiddlePair) {
  Values values{4, 1, 3, 2, 9, 7, 8, 10};
  Compute(Request(values, 14, 4));
  EXPECT_DOUBLE_EQ(SPC_LocationSeries()[1], 2.5);
  EXPECT_DOUBLE_EQ(SPC_LocationSeries()[2], 8.5);
  EXPECT_EQ(SPC_DispersionSeries()[1], 3.0);  // typ 14: range chart
}

TEST_F(ChartRequest, MedianOfOddSubgroupIsTheMiddleValue) {
  Values values{5, 1, 4, 2, 3};
  Compute(Request(values, 13, 5));
  EXPECT_EQ(SPC_LocationSeries()[1], 3.0);
  EXPECT_DOUBLE_EQ(SPC_DispersionSeries()[1], std::sqrt(2.5));  // typ 13: standard deviation chart
}

TEST_F(ChartRequest, SingleValueChartsKeepSmallestAndLargestPerSubgroup) {
  Values values{3, 1, 2, 6, 5, 4};
  SpcResult result = Compute(Request(values, 17, 3));
  EXPECT_EQ(result.limits.seriesCount, 2);
  const double* location = SPC_LocationSeries();
  EXPECT_EQ(location[1], 1.0);
  EXPECT_EQ(location[kSeriesStride + 1], 3.0);
  EXPECT_EQ(location[2], 4.0);
  EXPECT_EQ(location[kSeriesStride + 2], 6.0);
}

TEST_F(ChartRequest, KindWithoutDispersionChartLeavesNoStaleDispersionValues) {
  Values values{1, 5, 2, 8};
  Compute(Request(values, 11, 2));
  ASSERT_EQ(SPC_DispersionSeries()[1], 4.0);
  SpcResult result = Compute(Request(values, 12, 2));
  EXPECT_TRUE(result.seriesWritten);
  EXPECT_FALSE(result.dispersionWritten);
  EXPECT_EQ(SPC_DispersionSeries()[1], 0.0);
  EXPECT_EQ(SPC_DispersionSeries()[2], 0.0);
  EXPECT_EQ(result.limits.dispersionUpper, 0.0);
  EXPECT_EQ(result.limits.dispersionCentre, 0.0);
}

TEST_F(ChartRequest, MeansChartLeavesTheLargestValuesAlone) {
  Values values{1, 5, 2, 8};
  Compute(Request(values, 16, 2));
  ASSERT_EQ(SPC_LocationSeries()[kSeriesStride + 2], 8.0);
  Values other{0, 0, 0, 0};
  Compute(Request(other, 10, 2));
  EXPECT_EQ(SPC_LocationSeries()[kSeriesStride + 2], 8.0);
}

TEST_F(ChartRequest, SubgroupSizeOneHasNoLimitsAndProcessEqualsMachineCapability) {
  Values values{10.1, 10.2, 10.3, 10.25};
  SpcResult result = Compute(Request(values, 11, 1));
  EXPECT_EQ(result.limits.limitsPresent, 0);
  EXPECT_EQ(result.limits.warningPresent, 0);
  EXPECT_EQ(result.limits.seriesCount, 1);
  EXPECT_EQ(result.limits.upperControl, 0.0);
  EXPECT_EQ(result.limits.dispersionUpper, 0.0);
  EXPECT_FALSE(result.seriesWritten);
  EXPECT_EQ(result.stats.Cp, result.stats.Cm);
  EXPECT_EQ(result.stats.Cpk, result.stats.Cmk);
  EXPECT_GT(result.stats.Cm, 0.0);
}

// ---- Control limits ----------------------------------------------------------

// Five subgroups of five, worked by hand: x̿ = 11.6, R̄ = 2.4. A published table
// of control-chart factors gives for n = 5 A2 = 0.577, D3 = 0, D4 = 2.114, so
// the x̄ chart runs from 11.6 - 0.577·2.4 = 10.2152 to 12.9848 and the R chart
// up to 2.114·2.4 = 5.0736. The three-decimal factors are good to ±0.0005·R̄.
TEST_F(ChartRequest, TextbookXbarRChartAgreesWithPublishedFactors) {
  Values values{10, 12, 11, 13, 14, 11, 11, 12, 10, 11, 12, 13, 12, 14, 14, 10, 9, 11, 10, 10, 13, 12, 11, 12, 12};
  SpcResult result = Compute(Request(values, 11, 5, 1));
  const double rBar = 2.4, tolerance = 0.0005 * rBar;
  EXPECT_DOUBLE_EQ(result.stats.grandMean, 11.6);
  EXPECT_NEAR(result.stats.sigmaWithin, rBar / 2.326, 1e-6);  // d2(5) = 2.326
  EXPECT_NEAR(result.limits.upperControl, 12.9848, tolerance);
  EXPECT_NEAR(result.limits.lowerControl, 10.2152, tolerance);
  EXPECT_NEAR(result.limits.dispersionUpper, 5.0736, tolerance);
  EXPECT_EQ(result.limits.dispersionLower, 0.0);
  EXPECT_EQ(result.limits.limitsPresent, 1);
  EXPECT_EQ(result.limits.warningPresent, 1);
  const double ranges[] = {4, 2, 2, 2, 2}, means[] = {12, 11, 13, 10, 12};
  for (int j = 1; j <= 5; ++j) {
    EXPECT_EQ(SPC_DispersionSeries()[j], ranges[j - 1]) << j;
    EXPECT_DOUBLE_EQ(SPC_LocationSeries()[j], means[j - 1]) << j;
  }
}

TEST_F(ChartRequest, AcceptanceChartExchangesLimitsThatCross) {
  // Tolerance 9.99 .. 10.01 is narrower than the distance f·σ̂ on either side.
  Values values{9.9, 10.1, 9.95, 10.05, 9.8, 10.2};
  SpcRequest request = Request(values, 20, 2, 3);
  request.USL = 10.01;
  request.LSL = 9.99;
  SpcResult result = Compute(request);
  EXPECT_GT(result.limits.upperControl, result.limits.lowerControl);
  EXPECT_NEAR(result.limits.upperControl + result.limits.lowerControl, 20.0, 1e-12);
  EXPECT_EQ(result.limits.warningPresent, 0);
  EXPECT_EQ(result.limits.upperWarning, 0.0);
}

TEST_F(ChartRequest, SingleValueAcceptanceLimitsOfSmallSubgroupsStayInsideTheTolerance) {
  // For m = 2 the probability 0.1^(1/2) = 316.2 per mille lies below the median:
  // f = u(0.95) - u(0.3162) = 2.1231, a distance inside each limit (four-decimal
  // table and linear interpolation: good to about 3e-4).
  Values values{9.98, 10.02, 10.0, 10.01, 9.99, 10.0};
  SpcRequest request = Request(values, 26, 2, 3);
  SpcResult result = Compute(request);
  const double sigma = result.stats.sigmaWithin;
  ASSERT_GT(sigma, 0.0);
  EXPECT_LT(result.limits.upperControl, request.USL);
  EXPECT_GT(result.limits.lowerControl, request.LSL);
  EXPECT_NEAR((request.USL - result.limits.upperControl) / sigma, 2.1231, 3e-4);
  EXPECT_NEAR((result.limits.lowerControl - request.LSL) / sigma, 2.1231, 3e-4);
}

TEST_F(ChartRequest, KindsFromThirtyUpPlotOneSeriesWithoutLimitLines) {
  Values values{3, 1, 2, 6, 5, 4};
  SpcResult result = Compute(Request(values, 36, 3));
  EXPECT_EQ(result.limits.limitsPresent, 0);
  EXPECT_EQ(result.limits.warningPresent, 0);
  EXPECT_EQ(result.limits.seriesCount, 1);
  EXPECT_EQ(result.limits.upperControl, 0.0);
  EXPECT_EQ(result.limits.lowerControl, 0.0);
  EXPECT_TRUE(result.seriesWritten);
  EXPECT_EQ(SPC_LocationSeries()[1], 1.0);  // units digit 6: smallest value per subgroup
  EXPECT_GT(result.limits.dispersionUpper, 0.0);  // 36 mod 3 = 0: standard deviation chart
}

TEST_F(ChartRequest, MissingConstantsGiveInfiniteFiguresNotACrash) {
  ASSERT_TRUE(SPC_ParseTable("", 0));  // every constant reads 0
  Values values{1, 2, 3, 4, 5, 6};
  SpcResult result = Compute(Request(values, 11, 2, 1));
  EXPECT_TRUE(std::isinf(result.stats.sigmaWithin));
  EXPECT_FALSE(std::isfinite(result.limits.upperControl));
  SpcResult deviation = Compute(Request(values, 13, 2, 2));
  EXPECT_TRUE(std::isinf(deviation.stats.sigmaWithin));
  EXPECT_TRUE(std::isnan(deviation.limits.dispersionUpper));  // 0 · ∞
}

// ---- Quantiles -------------------------------------------------------------

TEST_F(ChartRequest, QuantileIsReadAndInterpolatedInTheTable) {
  EXPECT_EQ(SPC_QuantilePerMille(975), Single(1.96));
  EXPECT_EQ(SPC_QuantilePerMille(500), 0.0);
  EXPECT_NEAR(SPC_QuantilePerMille(975.5), (double(Single(1.96)) + Single(1.9774)) / 2, 1e-15);
  EXPECT_NEAR(SPC_QuantilePerMille(900.25), 0.75 * Single(1.2816) + 0.25 * Single(1.2873), 1e-15);
}

TEST_F(ChartRequest, QuantileAt998Point65IsThreeWhateverTheTable) {
  EXPECT_EQ(SPC_QuantilePerMille(998.65), 3.0);
  EXPECT_EQ(SPC_QuantilePerMille(998.64), 3.0);
  EXPECT_EQ(SPC_QuantilePerMille(998.66), 3.0);
  const char table[] = "998 \"7\"\r\n999 \"8\"\r\n";
  ASSERT_TRUE(SPC_ParseTable(table, sizeof table - 1));
  EXPECT_EQ(SPC_QuantilePerMille(998.65), 3.0);
  EXPECT_DOUBLE_EQ(SPC_QuantilePerMille(998.5), 7.5);
}

TEST_F(ChartRequest, QuantileBelowTheMedianMirrorsTheUpperHalf) {
  EXPECT_EQ(SPC_QuantilePerMille(25), -double(Single(1.96)));
  EXPECT_EQ(SPC_QuantilePerMille(316.2), -SPC_QuantilePerMille(683.8));
  EXPECT_EQ(SPC_QuantilePerMille(1.35), -3.0);
  EXPECT_LT(SPC_QuantilePerMille(499.9), 0.0);
}

TEST_F(ChartRequest, QuantileFromThousandUpIsTheLastRow) {
  const double last = Single(3.719);
  EXPECT_EQ(SPC_QuantilePerMille(1000), last);
  EXPECT_EQ(SPC_QuantilePerMille(1000.5), last);
  EXPECT_EQ(SPC_QuantilePerMille(1e9), last);
  EXPECT_EQ(SPC_QuantilePerMille(kInf), last);
  EXPECT_NEAR(SPC_QuantilePerMille(999.5), (double(Single(3.0902)) + last) / 2, 1e-15);
  EXPECT_TRUE(std::isnan(SPC_QuantilePerMille(kNaN)));
}

// ---- Requests outside the contract and unusual values ------------------------

TEST_F(ChartRequest, RejectsSampleSizeZeroOrBelowAndCountsOutsideSixteenBits) {
  Values values{1, 2, 3};
  SpcResult result{};
  result.xPositions = 123.0;
  for (int32_t size : {0, -5}) EXPECT_FALSE(SPC_ComputeRequest(Request(values, 11, size), result));
  SpcRequest request = Request(values, 11, 1);
  for (int32_t count : {-1, 65536, std::numeric_limits<int32_t>::max()}) {
    request.numofval = count;
    EXPECT_FALSE(SPC_ComputeRequest(request, result)) << count;
  }
  EXPECT_EQ(result.xPositions, 123.0);  // nothing computed
}

// 16-bit arguments come in 32-bit slots: the high half is dropped and the low
// half read as signed, so 0x0001000B is kind 11 and 0xFFFF a limit not in force.
TEST_F(ChartRequest, ArgumentSlotsKeepOnlyTheirLowHalf) {
  Values values{1, 2};
  SpcRequest request = SPC_RequestOfArguments(0x0001000Bu, values.data.data(), 2, 10.0, 11.0, 9.0, 0xFFFFu,
                                              0x00020001u, 5, 0x7FFF0003u);
  EXPECT_EQ(request.typ, 11);
  EXPECT_EQ(request.meaval, values.data.data());
  EXPECT_EQ(request.numofval, 2);
  EXPECT_EQ(request.NomSize, 10.0);
  EXPECT_EQ(request.USL, 11.0);
  EXPECT_EQ(request.LSL, 9.0);
  EXPECT_EQ(request.USLOnOff, -1);
  EXPECT_EQ(request.LSLOnOff, 1);
  EXPECT_EQ(request.SampleSize, 5);
  EXPECT_EQ(request.SPCNorm, 3);
}

TEST_F(ChartRequest, NoValuesNeverReadsTheArray) {
  SpcRequest request = Request(Values{}, 11, 5);
  request.meaval = nullptr;
  SpcResult result = Compute(request);
  EXPECT_EQ(result.stats.n, 0);
  EXPECT_EQ(result.stats.mean, 0.0);
  EXPECT_EQ(result.stats.k, 0);
  EXPECT_EQ(result.xPositions, 10.0);
  // Only the limits span the classes: 9.5 .. 10.5 widened.
  EXPECT_DOUBLE_EQ(result.classes.hi, 10.5 + 1.0 / 15);
}

TEST_F(ChartRequest, TakesTheLargestCountOfValues) {
  std::vector<double> v(65535);
  for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<double>(i % 7);
  Values values(v);
  SpcResult result = Compute(Request(values, 17, 2, 0));
  EXPECT_EQ(result.stats.n, 65535);
  EXPECT_EQ(result.stats.k, 32767);
  // Subgroup 32767 holds values 65533 and 65534, which are 65532 mod 7 = 5 and 6.
  EXPECT_EQ(SPC_LocationSeries()[32767], 5.0);
  EXPECT_EQ(SPC_LocationSeries()[kSeriesStride + 32767], 6.0);
}

TEST_F(ChartRequest, NanAndInfiniteValuesGiveNanFiguresWithoutUndefinedBehaviour) {
  Values withNaN{1, kNaN, 3, 4, 5, 6};
  for (int16_t typ : {11, 14, 17, 20, 23, 26}) {
    SCOPED_TRACE(typ);
    SpcResult result = Compute(Request(withNaN, typ, 2, 1));
    EXPECT_TRUE(std::isnan(result.stats.mean));
    EXPECT_TRUE(std::isnan(result.stats.Cm) || result.stats.Cm == 0.0);
  }
  Values withInf{1, kInf, 3, -kInf};
  for (int16_t norm = 0; norm <= 3; ++norm) {
    SpcResult result = Compute(Request(withInf, 19, 2, norm));
    EXPECT_FALSE(std::isfinite(result.stats.mean));
  }
  Values first{kNaN, 1, 2};  // a NaN first value starts the extremes
  SpcResult result = Compute(Request(first, 1, 1));
  EXPECT_TRUE(std::isnan(result.stats.range));
}

TEST_F(ChartRequest, NanLimitsGiveEmptyClassesWithoutUndefinedBehaviour) {
  Values values{1, 2, 3};
  SpcRequest request = Request(values, 26, 3, 1);
  request.USL = kNaN;
  request.LSL = kNaN;
  SpcResult result = Compute(request);
  for (int c = 1; c <= kHistogramClasses; ++c) EXPECT_EQ(result.classes.counts[c], 0);
  EXPECT_EQ(result.classes.peak, 10);
}

// ---- Figures for the workbook --------------------------------------------------

TEST_F(ChartRequest, StatisticsResultsFillElementsOneToFortyEight) {
  Values values{10.1, 10.2, 10.3, 10.6, 9.4, 10.0};
  SpcResult result = Compute(Request(values, 11, 3, 1));
  double results[50];
  for (double& r : results) r = -7.0;
  SPC_WriteStatisticsResults(result, results);
  EXPECT_EQ(results[0], -7.0);
  EXPECT_EQ(results[49], -7.0);
  EXPECT_EQ(results[1], 6.0);
  EXPECT_DOUBLE_EQ(results[2], 10.1);
  EXPECT_EQ(results[4], 9.4);
  EXPECT_EQ(results[5], 10.6);
  EXPECT_EQ(results[7], 1.0);
  EXPECT_EQ(results[8], 1.0);
  EXPECT_DOUBLE_EQ(results[9], 100.0 / 3);
  EXPECT_EQ(results[12], 2.0);
  EXPECT_EQ(results[13], 3.0);
  EXPECT_EQ(results[18], result.limits.upperControl);
  EXPECT_EQ(results[21], result.limits.lowerControl);
  EXPECT_EQ(results[22], 1.0);
  EXPECT_EQ(results[23], 1.0);
  EXPECT_EQ(results[24], 1.0);
  EXPECT_EQ(results[27], result.limits.dispersionCentre);
  EXPECT_EQ(results[30], 10.0);
  EXPECT_EQ(results[31], result.classes.lo);
  EXPECT_EQ(results[33], 10.0);
  double counted = 0;
  for (int i = 34; i <= 48; ++i) counted += results[i];
  EXPECT_EQ(counted, 6.0);
}

// ---- Independent figures for every chart kind and method -----------------------

struct ReferenceCase {
  std::string name;
  int typ = 0, sampleSize = 0, norm = 0, uslOn = 0, lslOn = 0;
  double nom = 0, usl = 0, lsl = 0;
  std::vector<double> values;
  std::vector<std::pair<int, double>> results;
  std::vector<std::tuple<std::string, int, double>> series;
};

std::vector<ReferenceCase> ReadReferenceCases() {
  std::istringstream in(ReadTestFile("spc_reference.txt"));
  std::vector<ReferenceCase> cases;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string key;
    fields >> key;
    if (key == "case") {
      cases.emplace_back();
      fields >> cases.back().name;
    } else if (key == "input") {
      ReferenceCase& c = cases.back();
      fields >> c.typ >> c.sampleSize >> c.norm >> c.nom >> c.usl >> c.lsl >> c.uslOn >> c.lslOn;
    } else if (key == "values") {
      for (double v; fields >> v;) cases.back().values.push_back(v);
    } else if (key == "result") {
      int index;
      double value;
      fields >> index >> value;
      cases.back().results.emplace_back(index, value);
    } else if (key == "location" || key == "largest" || key == "dispersion") {
      int j;
      double value;
      fields >> j >> value;
      cases.back().series.emplace_back(key, j, value);
    }
  }
  return cases;
}

void ExpectClose(double actual, double expected, const std::string& what) {
  EXPECT_NEAR(actual, expected, 1e-9 * std::max(1.0, std::fabs(expected))) << what;
}

TEST_F(ChartRequest, MatchesIndependentFiguresForEveryChartKindAndMethod) {
  std::vector<ReferenceCase> cases = ReadReferenceCases();
  ASSERT_GE(cases.size(), 30u);
  for (const ReferenceCase& c : cases) {
    SCOPED_TRACE(c.name);
    Values values(c.values);
    SpcRequest request = Request(values, static_cast<int16_t>(c.typ), c.sampleSize, static_cast<int16_t>(c.norm));
    request.NomSize = c.nom;
    request.USL = c.usl;
    request.LSL = c.lsl;
    request.USLOnOff = static_cast<int16_t>(c.uslOn);
    request.LSLOnOff = static_cast<int16_t>(c.lslOn);
    SpcResult result = Compute(request);
    double results[kStatisticsResultCount + 1];
    SPC_WriteStatisticsResults(result, results);
    ASSERT_EQ(c.results.size(), static_cast<size_t>(kStatisticsResultCount));
    for (const auto& [index, expected] : c.results)
      ExpectClose(results[index], expected, "element " + std::to_string(index));
    for (const auto& [kind, j, expected] : c.series) {
      double actual = kind == "location"  ? SPC_LocationSeries()[j]
                      : kind == "largest" ? SPC_LocationSeries()[kSeriesStride + j]
                                          : SPC_DispersionSeries()[j];
      ExpectClose(actual, expected, kind + " " + std::to_string(j));
    }
  }
}

}  // namespace
