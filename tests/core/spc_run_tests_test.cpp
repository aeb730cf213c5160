// Run tests and historical limits: series built by hand at each test's
// threshold, not-a-number values inside runs, random series of every chart
// family and subgroup size against tests/data/run_tests_reference.py (an
// independent implementation that counts runs forward), and limits given
// back or taken from earlier subgroups.
#include "spc/core/spc_run_tests.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "core_test_support.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_statistics_results.h"

namespace {

using namespace coretest;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A series around centre 0 with zone width 1 and control limits at +-3;
// flags[j] for j = 1 .. count.
struct Points {
  std::vector<double> values{kNaN};
  std::vector<uint16_t> flags;

  explicit Points(std::initializer_list<double> list) { values.insert(values.end(), list); }
  Points(int repeat, double value) { values.insert(values.end(), repeat, value); }

  Points& Then(std::initializer_list<double> list) {
    values.insert(values.end(), list);
    return *this;
  }
  Points& Then(int repeat, double value) {
    values.insert(values.end(), repeat, value);
    return *this;
  }

  // The points (numbered from 1) that `test` flags.
  std::vector<int> Flagged(int test) {
    RunTestSeries series;
    series.low = series.high = values.data();
    series.count = static_cast<int32_t>(values.size()) - 1;
    series.upperLimit = 3;
    series.lowerLimit = -3;
    series.centre = 0;
    series.zone = 1;
    flags.assign(values.size(), 0);
    SPC_FlagRunTests(series, kAllRunTests, flags.data());
    std::vector<int> points;
    for (size_t j = 1; j < flags.size(); ++j)
      if (flags[j] >> (test - 1) & 1) points.push_back(static_cast<int>(j));
    return points;
  }
};

using Flags = std::vector<int>;

// Rising by one from `start`, `count` points.
Points Rising(int count, double start = -2.5) {
  Points p{};
  for (int i = 0; i < count; ++i) p.Then({start + i});
  return p;
}

// +0.5 and -0.5 by turns (all inside one sigma, so only the alternation counts), `count` points.
Points Alternating(int count) {
  Points p{};
  for (int i = 0; i < count; ++i) p.Then({i % 2 ? 0.5 : -0.5});
  return p;
}

// ---- Test 1: beyond a control limit --------------------------------------------

TEST(RunTest1, OnlyPointsStrictlyBeyondALimit) {
  EXPECT_EQ(Points({0, 3.0, 3.01, -3.0, -3.5, 2.9}).Flagged(1), (Flags{3, 5}));
}

TEST(RunTest1, TwoSeriesChartsTestTheSmallestAgainstTheLowerAndTheLargestAgainstTheUpperLimit) {
  std::vector<double> smallest{kNaN, -1, -3.5, 2, -1}, largest{kNaN, 1, 1, 3.5, 4};
  RunTestSeries series;
  series.low = smallest.data();
  series.high = largest.data();
  series.count = 4;
  series.upperLimit = 3;
  series.lowerLimit = -3;
  series.zone = 1;
  std::vector<uint16_t> flags(5, 0);
  SPC_FlagRunTests(series, 1, flags.data());
  EXPECT_EQ(flags, (std::vector<uint16_t>{0, 0, 1, 1, 1}));
  // The mark goes on the value beyond its limit only.
  EXPECT_TRUE(SPC_PointMarked(series, 1, 2, flags[2]));
  EXPECT_FALSE(SPC_PointMarked(series, 2, 2, flags[2]));
  EXPECT_FALSE(SPC_PointMarked(series, 1, 3, flags[3]));
  EXPECT_TRUE(SPC_PointMarked(series, 2, 3, flags[3]));
  EXPECT_FALSE(SPC_PointMarked(series, 1, 1, flags[1]));
}

// ---- Test 2: nine in a row on one side -----------------------------------------
TEST(RunTest1, LimitsThatVaryPerPointTakeThePlaceOfTheConstantOnes) {
  // Stepped limits: point 2 is beyond its own narrow limits though inside the constant ones; point 3 is not
  // beyond its wide ones though beyond the constant ones.
  std::vector<double> values{kNaN, 2, 2, 5, -2};
  std::vector<double> upper{kNaN, 3, 1.5, 6, 3}, lower{kNaN, -3, -1.5, -6, -1.999};
  RunTestSeries series;
  series.low = series.high = values.data();
  series.count = 4;
  series.upperLimit = 3;
  series.lowerLimit = -3;
  series.upperLimits = upper.data();
  series.lowerLimits = lower.data();
  std::vector<uint16_t> flags(5, 0);
  SPC_FlagRunTests(series, 1, flags.data());
  EXPECT_EQ(flags, (std::vector<uint16_t>{0, 0, 1, 0, 1}));
}


TEST(RunTest2, NineInARowOnOneSideFlagTheNinthAndEveryOneAfter) {
  EXPECT_EQ(Points(8, 0.5).Flagged(2), Flags{});
  EXPECT_EQ(Points(9, 0.5).Flagged(2), Flags{9});
  EXPECT_EQ(Points(10, -0.5).Flagged(2), (Flags{9, 10}));
}

TEST(RunTest2, APointOnTheCentreOrOnTheOtherSideBreaksTheRun) {
  EXPECT_EQ(Points(5, 0.5).Then({0.0}).Then(8, 0.5).Flagged(2), Flags{});
  EXPECT_EQ(Points(5, 0.5).Then({-0.1}).Then(9, 0.5).Flagged(2), Flags{15});
}

// ---- Test 3: six rising or falling -----------------------------------------------

TEST(RunTest3, SixPointsEachHigherThanTheOneBeforeFlagTheSixth) {
  EXPECT_EQ(Rising(5).Flagged(3), Flags{});
  EXPECT_EQ(Rising(6).Flagged(3), Flags{6});
  EXPECT_EQ(Rising(7).Flagged(3), (Flags{6, 7}));
  EXPECT_EQ(Points({2.5, 1.5, 0.5, -0.5, -1.5, -2.5}).Flagged(3), Flags{6});
}

TEST(RunTest3, ATieBreaksTheTrend) {
  EXPECT_EQ(Points({-2, -1, 0, 0, 1, 2, 2.5}).Flagged(3), Flags{});
}

// ---- Test 4: fourteen alternating -------------------------------------------------

TEST(RunTest4, FourteenPointsAlternatingUpAndDownFlagTheFourteenth) {
  EXPECT_EQ(Alternating(13).Flagged(4), Flags{});
  EXPECT_EQ(Alternating(14).Flagged(4), Flags{14});
  EXPECT_EQ(Alternating(16).Flagged(4), (Flags{14, 15, 16}));
}

TEST(RunTest4, TwoStepsTheSameWayOrATieBreakTheAlternation) {
  Points twoDown = Alternating(7);  // point 7 is -0.5 after a fall; point 8 falls again
  twoDown.Then({-0.7}).Then({0.5, -0.5, 0.5, -0.5, 0.5, -0.5});
  EXPECT_EQ(twoDown.Flagged(4), Flags{});
  Points tie = Alternating(7);
  tie.Then({-0.5}).Then({0.5, -0.5, 0.5, -0.5, 0.5, -0.5, 0.5});
  EXPECT_EQ(tie.Flagged(4), Flags{});
}

// ---- Tests 5 and 6: two of three beyond two sigma, four of five beyond one -----

TEST(RunTest5, TwoOfThreeBeyondTwoSigmaOnOneSideWithTheLastAmongThem) {
  EXPECT_EQ(Points({2.5, 0, 2.1}).Flagged(5), Flags{3});
  EXPECT_EQ(Points({0, 2.5, 2.1, 0}).Flagged(5), Flags{3});  // the last of the three inside flags nothing
  EXPECT_EQ(Points({2.5, 2.1}).Flagged(5), Flags{});         // three points are needed
  EXPECT_EQ(Points({2.5, 0, 0, 2.1}).Flagged(5), Flags{});
  EXPECT_EQ(Points({2.5, 0, -2.1}).Flagged(5), Flags{});  // not on the same side
  EXPECT_EQ(Points({2.0, 0, 2.5}).Flagged(5), Flags{});   // exactly on two sigma is not beyond
}

TEST(RunTest6, FourOfFiveBeyondOneSigmaOnOneSideWithTheLastAmongThem) {
  EXPECT_EQ(Points({1.5, 1.5, 0, 1.5, 1.2}).Flagged(6), Flags{5});
  EXPECT_EQ(Points({1.5, 1.5, 0, 1.5, 0.5}).Flagged(6), Flags{});
  EXPECT_EQ(Points({1.5, 1.5, 0, 1.0, 1.5}).Flagged(6), Flags{});
  EXPECT_EQ(Points({-1.5, -1.5, -1.5, -1.5, -1.5, -1.5}).Flagged(6), (Flags{5, 6}));  // five points are needed
}

// ---- Tests 7 and 8: hugging the centre, avoiding it -----------------------------

TEST(RunTest7, FifteenWithinOneSigmaBoundsIncluded) {
  EXPECT_EQ(Points(14, 0.2).Flagged(7), Flags{});
  EXPECT_EQ(Points(7, 0.2).Then({1.0}).Then(7, -0.3).Flagged(7), Flags{15});
  EXPECT_EQ(Points(7, 0.2).Then({-1.0}).Then(8, -0.3).Flagged(7), (Flags{15, 16}));
  EXPECT_EQ(Points(7, 0.2).Then({1.01}).Then(7, -0.3).Flagged(7), Flags{});
}

TEST(RunTest8, EightBeyondOneSigmaWithBothSidesAmongThem) {
  EXPECT_EQ(Points(8, 1.5).Flagged(8), Flags{});  // one side only
  EXPECT_EQ(Points(4, 1.5).Then(4, -1.5).Flagged(8), Flags{8});
  EXPECT_EQ(Points(4, 1.5).Then(3, -1.5).Flagged(8), Flags{});
  EXPECT_EQ(Points(4, 1.5).Then({1.0}).Then(3, -1.5).Flagged(8), Flags{});  // on the bound is within
  EXPECT_EQ(Points(4, 1.5).Then(5, -1.5).Flagged(8), (Flags{8, 9}));
}

// ---- Values that are not numbers --------------------------------------------------

TEST(RunTestNaN, ANaNBreaksEveryRunAndIsNeverFlagged) {
  EXPECT_EQ(Points(4, 0.5).Then({kNaN}).Then(5, 0.5).Flagged(2), Flags{});
  EXPECT_EQ(Points(4, 0.5).Then({kNaN}).Then(9, 0.5).Flagged(2), Flags{14});
  EXPECT_EQ(Points({-2.5, -1.5, kNaN, 0.5, 1.5, 2.5}).Flagged(3), Flags{});
  EXPECT_EQ(Points(7, 0.2).Then({kNaN}).Then(7, 0.2).Flagged(7), Flags{});
  EXPECT_EQ(Points({2.5, kNaN, 2.1}).Flagged(5), Flags{});
  Points withNaN({kNaN, 4.0, kNaN});
  withNaN.Flagged(1);
  EXPECT_EQ(withNaN.flags, (std::vector<uint16_t>{0, 0, 1, 0}));
}

TEST(RunTestNaN, APointBreaksSeveralTestsAtOnce) {
  Points p(8, 0.5);
  p.Then({3.5});
  p.Flagged(1);
  EXPECT_EQ(p.flags[9], 0x1 | 0x2);  // beyond the limit and the ninth on one side
}

// ---- Requests: which tests a chart kind has, counts, figures --------------------

TEST_F(ChartRequestTest, ChartKindsHaveTheirTests) {
  std::vector<double> values = SubgroupsWithMeans(std::vector<double>(12, 10.0));
  struct Expected {
    int16_t typ;
    int32_t sampleSize;
    uint8_t applied;
    bool dispersion;
  } rows[] = {{10, 5, 0xFF, true},  {14, 5, 0xFF, true},  {12, 5, 0xFF, false}, {16, 5, 0x01, true},
              {20, 5, 0x01, true},  {28, 5, 0x01, false}, {29, 5, 0x01, true},  {5, 5, 0, false},
              {11, 1, 0, false},    {31, 5, 0, false},    {-3, 5, 0, false}};
  for (const Expected& row : rows) {
    SCOPED_TRACE(row.typ);
    SpcResult result{};
    ASSERT_TRUE(SPC_ComputeRequest(RequestOf(values, row.typ, row.sampleSize), result));
    SpcRunTests tests;
    SPC_RunTestsOfRequest(result, kAllRunTests, &tests);
    EXPECT_EQ(tests.applied, row.applied);
    EXPECT_EQ(tests.dispersionTested, row.dispersion);
    EXPECT_EQ(tests.flags.size(), static_cast<size_t>(result.stats.k) + 1);
    SPC_RunTestsOfRequest(result, 0xFE, &tests);
    EXPECT_FALSE(tests.dispersionTested) << "test 1 not asked for";
  }
}

// A process qualified on 20 subgroups (means 10 +- 0.01, ranges 0.2), then
// production charted against those limits: the limits are the textbook ones,
// Z +- A2 R-bar with A2 = 0.577 for subgroups of five.
TEST_F(ChartRequestTest, LaterSubgroupsChartedAgainstLimitsFromEarlierOnes) {
  std::vector<double> qualification;
  for (int j = 0; j < 20; ++j) qualification.push_back(j % 2 ? 10.01 : 9.99);
  SpcResult earlier{};
  std::vector<double> first = SubgroupsWithMeans(qualification);
  ASSERT_TRUE(SPC_ComputeRequest(RequestOf(first, 11, 5), earlier));
  EXPECT_NEAR(earlier.stats.grandMean, 10.0, 1e-12);
  EXPECT_NEAR(earlier.stats.sigmaWithin, 0.2 / 2.326, 1e-6);
  EXPECT_NEAR(earlier.limits.upperControl, 10.0 + 0.577 * 0.2, 2e-4);

  // Production has moved up by 0.05 and one subgroup lies at 10.2.
  std::vector<double> later = SubgroupsWithMeans({10.05, 10.05, 10.06, 10.05, 10.2, 10.05, 10.04, 10.05, 10.05, 10.06});
  const SpcGivenLimits given{earlier.stats.grandMean, earlier.stats.sigmaWithin};
  SpcResult charted{};
  ASSERT_TRUE(SPC_ComputeRequest(RequestOf(later, 11, 5), charted, &given));
  EXPECT_EQ(charted.limits.upperControl, earlier.limits.upperControl);
  EXPECT_EQ(charted.limits.lowerControl, earlier.limits.lowerControl);
  EXPECT_EQ(charted.limits.dispersionUpper, earlier.limits.dispersionUpper);
  EXPECT_NEAR(charted.stats.grandMean, 10.066, 1e-12) << "the data's own figures stay";
  SpcRunTests tests;
  SPC_RunTestsOfRequest(charted, kAllRunTests, &tests);
  EXPECT_EQ(tests.counts[0], 1);
  EXPECT_EQ(tests.firstFlagged[0], 5);
  EXPECT_EQ(tests.counts[1], 2);  // subgroups 9 and 10 are the ninth and tenth above the old centre
  EXPECT_EQ(tests.firstFlagged[1], 9);
  EXPECT_EQ(tests.flags[5] & 1, 1);

  // Against limits of its own data the same production shows no run.
  SpcResult own{};
  ASSERT_TRUE(SPC_ComputeRequest(RequestOf(later, 11, 5), own));
  SPC_RunTestsOfRequest(own, kAllRunTests, &tests);
  EXPECT_EQ(tests.counts[1], 0);
}

TEST_F(ChartRequestTest, GivingBackTheCentreAndSigmaOfTheSameDataReproducesTheLimitsExactly) {
  std::vector<double> values{kNaN};
  for (int i = 0; i < 240; ++i) values.push_back(10.0 + 0.05 * std::sin(i * 1.7) + 0.001 * (i % 7));
  for (int16_t typ : {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29})
    for (int32_t m : {2, 5, 12, 20})
      for (int16_t norm : {0, 1, 2, 3}) {
        SCOPED_TRACE(testing::Message() << "typ " << typ << " m " << m << " norm " << norm);
        SpcResult data{}, givenBack{};
        ASSERT_TRUE(SPC_ComputeRequest(RequestOf(values, typ, m, norm), data));
        const SpcGivenLimits given{data.stats.grandMean, data.stats.sigmaWithin};
        ASSERT_TRUE(SPC_ComputeRequest(RequestOf(values, typ, m, norm), givenBack, &given));
        double a[kStatisticsResultCount + 1], b[kStatisticsResultCount + 1];
        SPC_WriteStatisticsResults(data, a);
        SPC_WriteStatisticsResults(givenBack, b);
        for (int i = 1; i <= kStatisticsResultCount; ++i) EXPECT_EQ(a[i], b[i]) << "element " << i;
        EXPECT_TRUE(givenBack.centreGiven && givenBack.sigmaGiven);
        EXPECT_FALSE(data.centreGiven || data.sigmaGiven);
      }
}

TEST_F(ChartRequestTest, EitherValueMayBeGivenAloneAndBadSigmasAreRefused) {
  std::vector<double> values = SubgroupsWithMeans({9.99, 10.01, 9.99, 10.01});
  SpcResult data{}, result{};
  ASSERT_TRUE(SPC_ComputeRequest(RequestOf(values, 10, 5), data));
  SpcGivenLimits centreOnly{10.5, kNaN};
  ASSERT_TRUE(SPC_ComputeRequest(RequestOf(values, 10, 5), result, &centreOnly));
  EXPECT_EQ(result.limitsCentre, 10.5);
  EXPECT_EQ(result.limitsSigma, data.stats.sigmaWithin);
  EXPECT_DOUBLE_EQ(result.limits.upperControl - 10.5, data.limits.upperControl - data.stats.grandMean);
  EXPECT_EQ(result.limits.dispersionUpper, data.limits.dispersionUpper);
  EXPECT_TRUE(result.centreGiven);
  EXPECT_FALSE(result.sigmaGiven);
  SpcGivenLimits sigmaOnly{kNaN, 0.2};
  ASSERT_TRUE(SPC_ComputeRequest(RequestOf(values, 10, 5), result, &sigmaOnly));
  EXPECT_EQ(result.limitsCentre, data.stats.grandMean);
  EXPECT_DOUBLE_EQ(result.limits.upperControl, data.stats.grandMean + 3 * 0.2 / std::sqrt(5.0));
  for (double bad : {0.0, -0.1, std::numeric_limits<double>::infinity()}) {
    SpcGivenLimits refused{kNaN, bad};
    EXPECT_FALSE(SPC_ComputeRequest(RequestOf(values, 10, 5), result, &refused)) << bad;
  }
  SpcGivenLimits infiniteCentre{std::numeric_limits<double>::infinity(), kNaN};
  EXPECT_FALSE(SPC_ComputeRequest(RequestOf(values, 10, 5), result, &infiniteCentre));
}

// ---- Independent implementation over every chart family and subgroup size ---------

struct ReferenceCase {
  std::string name;
  int typ = 0, sampleSize = 0, norm = 0, uslOn = 0, lslOn = 0, tests = 0;
  double nom = 0, usl = 0, lsl = 0;
  bool given = false;
  SpcGivenLimits limits{kNaN, kNaN};
  std::vector<double> values{kNaN};
  double centre = 0, zone = 0, ucl = 0, lcl = 0;
  std::vector<int> flags;
};

double Number(const std::string& text) { return std::strtod(text.c_str(), nullptr); }  // reads "nan" too

std::vector<ReferenceCase> ReadReferenceCases() {
  std::istringstream in(ReadTestFile("run_tests_reference.txt"));
  std::vector<ReferenceCase> cases;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string key, a, b;
    fields >> key;
    if (key == "case") {
      cases.emplace_back();
      fields >> cases.back().name;
    } else if (key == "input") {
      ReferenceCase& c = cases.back();
      fields >> c.typ >> c.sampleSize >> c.norm >> c.nom >> c.usl >> c.lsl >> c.uslOn >> c.lslOn;
    } else if (key == "given") {
      fields >> a >> b;
      if (a != "none") cases.back().given = true, cases.back().limits = {Number(a), Number(b)};
    } else if (key == "tests") {
      fields >> cases.back().tests;
    } else if (key == "values") {
      for (double v; fields >> v;) cases.back().values.push_back(v);
    } else if (key == "zones") {
      ReferenceCase& c = cases.back();
      fields >> c.centre >> c.zone >> c.ucl >> c.lcl;
    } else if (key == "flags") {
      for (int f; fields >> f;) cases.back().flags.push_back(f);
    }
  }
  return cases;
}

TEST_F(ChartRequestTest, MatchesAnIndependentImplementationOverEveryFamilyAndSubgroupSize) {
  std::vector<ReferenceCase> cases = ReadReferenceCases();
  ASSERT_GE(cases.size(), 110u) << "tests/data/run_tests_reference.txt";
  int flagged[kRunTestCount + 1] = {};
  for (const ReferenceCase& c : cases) {
    SCOPED_TRACE(c.name);
    SpcRequest request = RequestOf(c.values, static_cast<int16_t>(c.typ), c.sampleSize, static_cast<int16_t>(c.norm));
    request.NomSize = c.nom;
    request.USL = c.usl;
    request.LSL = c.lsl;
    request.USLOnOff = static_cast<int16_t>(c.uslOn);
    request.LSLOnOff = static_cast<int16_t>(c.lslOn);
    SpcResult result{};
    ASSERT_TRUE(SPC_ComputeRequest(request, result, c.given ? &c.limits : nullptr));
    if (result.runTestsAllowed) {
      const RunTestSeries series = SPC_LocationTestSeries(result);
      EXPECT_NEAR(series.centre, c.centre, 1e-9);
      EXPECT_NEAR(series.zone, c.zone, 1e-9);
      EXPECT_NEAR(series.upperLimit, c.ucl, 1e-9);
      EXPECT_NEAR(series.lowerLimit, c.lcl, 1e-9);
    }
    SpcRunTests tests;
    SPC_RunTestsOfRequest(result, static_cast<uint8_t>(c.tests), &tests);
    ASSERT_EQ(tests.flags.size(), c.flags.size() + 1);
    for (size_t j = 0; j < c.flags.size(); ++j) {
      EXPECT_EQ(tests.flags[j + 1], c.flags[j]) << "subgroup " << j + 1;
      for (int t = 0; t <= kRunTestCount; ++t) flagged[t] += c.flags[j] >> t & 1;
    }
  }
  // The cases reach every test (the dispersion chart's beyond-limit points last).
  for (int t = 0; t <= kRunTestCount; ++t) EXPECT_GT(flagged[t], 3) << "test " << t + 1 << " is never flagged";
}

}  // namespace
