// The further control charts: textbook data with published results
// (tests/data: Montgomery's CUSUM readings, the orange juice cans, the
// personal computers), charts worked by hand, the within σ of subgroups as the
// SPC request estimates it, the layout of the figures with its capacity, and
// an independent implementation (tests/data/chart_reference.py) over random
// series of every chart kind through tests/data/chart_reference.txt.
#include "spc/core/chart_statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "core_test_support.h"
#include "spc/core/chart_request.h"
#include "spc/core/chart_results.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_table.h"

namespace {

using namespace coretest;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A caller's array: element 0 is a NaN that is never read.
std::vector<double> Array(std::initializer_list<double> values) {
  std::vector<double> array{kNaN};
  array.insert(array.end(), values);
  return array;
}

// Options 1 .. 10 all at their defaults (not a number); set one by its element.
struct Options {
  std::vector<double> elements = std::vector<double>(kChartOptionElements + 1, kNaN);
  Options& Set(int element, double value) {
    elements[static_cast<size_t>(element)] = value;
    return *this;
  }
};

ChartRequest ChartRequestOf(ChartKind kind, const std::vector<double>& values, const std::vector<double>* sizes = nullptr,
                       const Options* options = nullptr, int32_t sampleSize = 1, uint32_t norm = 1) {
  ChartRequest request;
  request.chart = static_cast<uint32_t>(kind);
  request.values = values.data();
  request.sizes = sizes ? sizes->data() : nullptr;
  request.count = static_cast<int32_t>(values.size()) - 1;
  request.SampleSize = sampleSize;
  request.SPCNorm = norm;
  if (options) {
    request.options = options->elements.data();
    request.optionCount = kChartOptionElements;
  }
  return request;
}

// The whole figures of a request, element 0 included (never written).
std::vector<double> FiguresOf(const ChartRequest& request) {
  std::vector<double> figures(35 + 5 * static_cast<size_t>(request.count) + 1, kNaN);
  const int32_t written = Chart_Statistics(request, figures.data(), static_cast<int32_t>(figures.size()) - 1);
  EXPECT_GT(written, 0) << "the request was refused";
  figures.resize(static_cast<size_t>(written > 0 ? written : 0) + 1);
  return figures;
}

// Element of block b (0 statistic, 1 second statistic, 2 upper limit, 3 lower limit, 4 flags) of point i.
double PointFigure(const std::vector<double>& figures, int block, int i) {
  const int k = static_cast<int>(figures[kChartFigurePoints]);
  return figures[static_cast<size_t>(kChartFixedFigures + block * k + i)];
}

// The points whose flags carry `bit`.
std::vector<int> Flagged(const std::vector<double>& figures, int bit) {
  std::vector<int> points;
  const int k = static_cast<int>(figures[kChartFigurePoints]);
  for (int i = 1; i <= k; ++i)
    if (static_cast<int>(PointFigure(figures, 4, i)) & bit) points.push_back(i);
  return points;
}

// A textbook data file of tests/data (comment lines start with #, then a header line), column `column`.
std::vector<double> Column(const char* file, int column, int first = 1, int last = 1 << 30) {
  std::istringstream in(ReadTestFile(file));
  std::vector<double> values{kNaN};
  std::string line;
  bool header = true;
  int row = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (header) {
      header = false;
      continue;
    }
    ++row;
    std::istringstream fields(line);
    std::string field;
    for (int c = 0; c <= column; ++c) std::getline(fields, field, ',');
    if (row >= first && row <= last) values.push_back(std::strtod(field.c_str(), nullptr));
  }
  return values;
}

class ChartStatisticsTest : public ChartRequestTest {};

// ---- Textbook data -----------------------------------------------------------

TEST_F(ChartStatisticsTest, CusumOfMontgomerysReadingsSignalsFirstAtReading29) {
  const std::vector<double> readings = Column("cusum_montgomery.csv", 1);
  ASSERT_EQ(readings.size(), 31u);
  const Options target = Options().Set(kChartOptionCentre, 10).Set(kChartOptionSigma, 1);
  const std::vector<double> f = FiguresOf(ChartRequestOf(ChartKind::Cusum, readings, nullptr, &target));
  ASSERT_EQ(f.size(), 35u + 5 * 30 + 1);
  // The upper sums of the textbook's table, to its two decimals.
  const double upper[31] = {0,    0,    0,    0,    1.16, 2.82, 2.50, 0.04, 1.00, 0,    0,
                            0,    0.97, 0.98, 0,    0,    0,    0.12, 0,    0,    0.34, 0.74,
                            0,    1.79, 2.79, 2.89, 3.47, 3.35, 4.47, 5.28, 5.30};
  for (int i = 1; i <= 30; ++i) EXPECT_NEAR(PointFigure(f, 0, i), upper[i], 0.005) << "reading " << i;
  // The lower sums of the first readings, by hand: 0.55 - 0.5, then 2.01 - 0.5 + 0.05, 0.71 - 0.5 + 1.56.
  EXPECT_NEAR(PointFigure(f, 1, 1), 0.05, 1e-12);
  EXPECT_NEAR(PointFigure(f, 1, 2), 1.56, 1e-12);
  EXPECT_NEAR(PointFigure(f, 1, 3), 1.77, 1e-12);
  EXPECT_EQ(PointFigure(f, 1, 4), 0.0);  // -1.66 - 0.5 + 1.77 is below 0
  EXPECT_EQ(f[kChartFigureFirstSignal], 29);
  EXPECT_EQ(f[kChartFigureFirstFlagged], 29);
  EXPECT_EQ(f[kChartFigureTestCounts], 2);  // 5.28 and 5.30
  EXPECT_EQ(f[kChartFigureSecondCount], 0);
  EXPECT_EQ(Flagged(f, 1), (std::vector<int>{29, 30}));
  EXPECT_EQ(f[kChartFigureCentre], 10);
  EXPECT_EQ(f[kChartFigureSigma], 1);
  EXPECT_EQ(f[kChartFigureCentreGiven], 1);
  EXPECT_EQ(f[kChartFigureSigmaGiven], 1);
  EXPECT_EQ(f[kChartFigureK], 0.5);
  EXPECT_EQ(f[kChartFigureH], 5);
  const double lines[] = {5, -5, 0, 5, -5};  // figures 9 to 13: ±h for the upper sum, 0 and ±h for both
  for (int i = 0; i < 5; ++i) EXPECT_EQ(f[kChartFigureUpperLimit + i], lines[i]) << "figure " << 9 + i;
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(PointFigure(f, 2, i), 5) << i;
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(PointFigure(f, 3, i), -5) << i;
}

TEST_F(ChartStatisticsTest, EwmaOfMontgomerysReadingsSignalsFirstAtReading29) {
  const std::vector<double> readings = Column("cusum_montgomery.csv", 1);
  const Options options = Options()
                              .Set(kChartOptionCentre, 10)
                              .Set(kChartOptionSigma, 1)
                              .Set(kChartOptionLambda, 0.1)
                              .Set(kChartOptionL, 2.7);
  const std::vector<double> f = FiguresOf(ChartRequestOf(ChartKind::Ewma, readings, nullptr, &options));
  // z1 = 0.1 * 9.45 + 0.9 * 10; the first limits 10 ± 2.7 √(0.1 / 1.9 · (1 − 0.81)) = 10 ± 0.27.
  EXPECT_NEAR(PointFigure(f, 0, 1), 9.945, 1e-12);
  EXPECT_NEAR(PointFigure(f, 2, 1), 10.27, 1e-12);
  EXPECT_NEAR(PointFigure(f, 3, 1), 9.73, 1e-12);
  // The textbook's asymptotic limits, 10 ± 0.62.
  EXPECT_NEAR(f[kChartFigureUpperLimit], 10.62, 0.005);
  EXPECT_NEAR(f[kChartFigureLowerLimit], 9.38, 0.005);
  EXPECT_EQ(f[kChartFigureFirstSignal], 29);
  EXPECT_EQ(Flagged(f, 1), (std::vector<int>{29, 30}));
  EXPECT_EQ(f[kChartFigureLambda], 0.1);
  EXPECT_EQ(f[kChartFigureL], 2.7);
  for (int t = 2; t <= 8; ++t) EXPECT_EQ(f[kChartFigureTestCounts + t - 1], 0) << "test " << t;
  // The limits widen towards the asymptotic ones; with option 10 they are those from the start.
  for (int i = 2; i <= 30; ++i) EXPECT_GT(PointFigure(f, 2, i), PointFigure(f, 2, i - 1)) << i;
  EXPECT_LT(PointFigure(f, 2, 30), f[kChartFigureUpperLimit]);
  Options asymptotic = options;
  asymptotic.Set(kChartOptionEwmaLimits, 1);
  const std::vector<double> g = FiguresOf(ChartRequestOf(ChartKind::Ewma, readings, nullptr, &asymptotic));
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(PointFigure(g, 2, i), f[kChartFigureUpperLimit]) << i;
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(PointFigure(g, 0, i), PointFigure(f, 0, i)) << i;
}

TEST_F(ChartStatisticsTest, PChartOfTheOrangeJuiceTrialSamplesFlagsSamples15And23) {
  const std::vector<double> counts = Column("p_chart_orangejuice.csv", 1, 1, 30);
  const std::vector<double> sizes = Column("p_chart_orangejuice.csv", 2, 1, 30);
  ASSERT_EQ(counts.size(), 31u);
  const std::vector<double> f = FiguresOf(ChartRequestOf(ChartKind::P, counts, &sizes));
  EXPECT_NEAR(f[kChartFigureCentre], 0.231333, 5e-7);
  EXPECT_NEAR(f[kChartFigureUpperLimit], 0.410239, 5e-7);
  EXPECT_NEAR(f[kChartFigureLowerLimit], 0.052428, 5e-7);
  EXPECT_NEAR(f[kChartFigureSigma], std::sqrt(0.231333 * (1 - 0.231333)), 1e-6);
  EXPECT_EQ(f[kChartFigureCentreGiven], 0);
  EXPECT_EQ(Flagged(f, 1), (std::vector<int>{15, 23}));
  EXPECT_EQ(PointFigure(f, 0, 15), 22.0 / 50);
  EXPECT_EQ(PointFigure(f, 1, 15), 0);  // no second statistic

  // Samples 31 to 54 against the trial's limits: the process got better. Sample
  // 41 (2 of 50) falls below the lower limit, and from sample 34 on every
  // sample lies below the centre, so the ninth of them (sample 42) completes test 2.
  const std::vector<double> later = Column("p_chart_orangejuice.csv", 1, 31, 54);
  const std::vector<double> laterSizes = Column("p_chart_orangejuice.csv", 2, 31, 54);
  const Options historical = Options().Set(kChartOptionCentre, f[kChartFigureOwnCentre]);
  const std::vector<double> g = FiguresOf(ChartRequestOf(ChartKind::P, later, &laterSizes, &historical));
  EXPECT_EQ(g[kChartFigureCentreGiven], 1);
  EXPECT_EQ(g[kChartFigureUpperLimit], f[kChartFigureUpperLimit]);
  EXPECT_EQ(g[kChartFigureLowerLimit], f[kChartFigureLowerLimit]);
  EXPECT_NEAR(g[kChartFigureOwnCentre], 133.0 / 1200, 1e-15);  // the later samples' own p̄ stays beside it
  EXPECT_EQ(Flagged(g, 1), (std::vector<int>{11}));
  EXPECT_EQ(g[kChartFigureFirstFlagged + 1], 12);
  EXPECT_EQ(g[kChartFigureTestCounts + 1], 13);  // samples 42 to 54
}

TEST_F(ChartStatisticsTest, UChartOfThePersonalComputersHasThePublishedLimits) {
  const std::vector<double> counts = Column("u_chart_pcmanufact.csv", 0);
  const std::vector<double> sizes = Column("u_chart_pcmanufact.csv", 1);
  ASSERT_EQ(counts.size(), 21u);
  const std::vector<double> f = FiguresOf(ChartRequestOf(ChartKind::U, counts, &sizes));
  EXPECT_NEAR(f[kChartFigureCentre], 1.93, 1e-14);
  EXPECT_NEAR(f[kChartFigureUpperLimit], 3.7939, 5e-5);
  EXPECT_NEAR(f[kChartFigureLowerLimit], 0.0661, 5e-5);
  EXPECT_NEAR(f[kChartFigureSigma], std::sqrt(1.93), 1e-14);
  EXPECT_EQ(f[kChartFigureTestCounts], 0);
  EXPECT_EQ(PointFigure(f, 0, 6), 16.0 / 5);
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(PointFigure(f, 2, i), f[kChartFigureUpperLimit]) << i;
}

// ---- Worked by hand ----------------------------------------------------------

// Readings 5 7 6 9 8 6 7 16: x̄ 8, moving ranges 2 1 3 1 2 1 9 with mean 19/7,
// σ = (19/7) / 1.128, limits 8 ± 3σ; the moving ranges' upper limit D4(2)·MR̄
// with D4(2) = 3.686 / 1.128 (the table's range factors).
TEST_F(ChartStatisticsTest, IndividualsChartWorkedByHand) {
  const std::vector<double> x = Array({5, 7, 6, 9, 8, 6, 7, 16});
  const std::vector<double> f = FiguresOf(ChartRequestOf(ChartKind::Individuals, x));
  ASSERT_EQ(f.size(), 35u + 5 * 8 + 1);
  const double mrBar = 19.0 / 7, sigma = mrBar / 1.128;
  EXPECT_EQ(f[kChartFigureChart], 1);
  EXPECT_EQ(f[kChartFigurePoints], 8);
  EXPECT_EQ(f[kChartFigureCentre], 8);
  EXPECT_NEAR(f[kChartFigureSigma], 2.406282, 5e-7);
  EXPECT_NEAR(f[kChartFigureSigma], sigma, 1e-7);
  EXPECT_EQ(f[kChartFigureOwnCentre], 8);
  EXPECT_EQ(f[kChartFigureOwnSigma], f[kChartFigureSigma]);
  EXPECT_NEAR(f[kChartFigureUpperLimit], 15.218845, 5e-6);
  EXPECT_NEAR(f[kChartFigureLowerLimit], 0.781155, 5e-6);
  EXPECT_NEAR(f[kChartFigureSecondCentre], mrBar, 1e-15);
  EXPECT_NEAR(f[kChartFigureSecondUpper], 8.869553, 5e-6);
  EXPECT_EQ(f[kChartFigureSecondLower], 0);
  for (int i = kChartFigureLambda; i <= kChartFigureH; ++i) EXPECT_EQ(f[i], 0) << "figure " << i;
  const double ranges[] = {0, 2, 1, 3, 1, 2, 1, 9};
  EXPECT_TRUE(std::isnan(PointFigure(f, 1, 1)));
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(PointFigure(f, 0, i), x[static_cast<size_t>(i)]) << i;
    if (i > 1) {
      EXPECT_EQ(PointFigure(f, 1, i), ranges[i - 1]) << i;
    }
    EXPECT_EQ(PointFigure(f, 2, i), f[kChartFigureUpperLimit]) << i;
    EXPECT_EQ(PointFigure(f, 3, i), f[kChartFigureLowerLimit]) << i;
  }
  // 16 lies beyond 15.22 and its moving range 9 beyond 8.87: test 1 and the second chart at point 8.
  EXPECT_EQ(PointFigure(f, 4, 8), 1 + 256);
  for (int i = 1; i < 8; ++i) EXPECT_EQ(PointFigure(f, 4, i), 0) << i;
  EXPECT_EQ(f[kChartFigureTestCounts], 1);
  EXPECT_EQ(f[kChartFigureSecondCount], 1);
  EXPECT_EQ(f[kChartFigureFirstFlagged], 8);
  EXPECT_EQ(f[kChartFigureFirstSignal], 8);
}

TEST_F(ChartStatisticsTest, IndividualsRunTestsUseZonesOfWidthSigma) {
  // Around a given centre 10 with σ 1: three readings on the zone bounds and
  // one on the centre, then nine at 10.5: the ninth on one side completes
  // test 2, nothing else fires (nothing strictly beyond 1σ, no six rising, no
  // fifteen within).
  const std::vector<double> x = Array({9, 11, 9, 10, 10.5, 10.5, 10.5, 10.5, 10.5, 10.5, 10.5, 10.5, 10.5});
  const Options given = Options().Set(kChartOptionCentre, 10).Set(kChartOptionSigma, 1);
  const std::vector<double> f = FiguresOf(ChartRequestOf(ChartKind::Individuals, x, nullptr, &given));
  EXPECT_EQ(Flagged(f, 2), (std::vector<int>{13}));
  EXPECT_EQ(f[kChartFigureFirstSignal], 13);
  for (int t = 1; t <= 8; ++t) EXPECT_EQ(f[kChartFigureTestCounts + t - 1], t == 2 ? 1 : 0) << "test " << t;
  // With σ given, the moving ranges' centre is d2(2)·σ and their limit D4(2) times that.
  EXPECT_NEAR(f[kChartFigureSecondCentre], 1.128, 1e-7);
  EXPECT_NEAR(f[kChartFigureSecondUpper], 3.686, 1e-6);
  EXPECT_EQ(f[kChartFigureUpperLimit], 13);
  EXPECT_EQ(f[kChartFigureLowerLimit], 7);
  // Without test 2 in the mask, nothing is flagged.
  Options noTest2 = given;
  noTest2.Set(kChartOptionRunTests, 255 - 2);
  EXPECT_EQ(FiguresOf(ChartRequestOf(ChartKind::Individuals, x, nullptr, &noTest2))[kChartFigureFirstSignal], 0);
}

// p̄ = 8 / 80 = 0.1 over samples of 20, 50 and 10: the limits step with the
// size, the lower one cut at 0; figures 9 and 10 at the mean size 80 / 3.
TEST_F(ChartStatisticsTest, PChartLimitsStepWithTheSampleSize) {
  const std::vector<double> d = Array({2, 5, 1, 0});
  const std::vector<double> n = Array({20, 50, 10, 0.5e9});  // the last sample is huge: its limits hug p̄
  const std::vector<double> ok = Array({2, 5, 1});
  const std::vector<double> f = FiguresOf(ChartRequestOf(ChartKind::P, ok, &n));
  EXPECT_DOUBLE_EQ(f[kChartFigureCentre], 0.1);
  EXPECT_DOUBLE_EQ(PointFigure(f, 2, 1), 0.1 + 3 * std::sqrt(0.09 / 20));
  EXPECT_DOUBLE_EQ(PointFigure(f, 2, 2), 0.1 + 3 * std::sqrt(0.09 / 50));
  EXPECT_DOUBLE_EQ(PointFigure(f, 2, 3), 0.1 + 3 * std::sqrt(0.09 / 10));
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(PointFigure(f, 3, i), 0) << "lower limit of sample " << i << " cut at 0";
  EXPECT_DOUBLE_EQ(f[kChartFigureUpperLimit], 0.1 + 3 * std::sqrt(0.09 / (80.0 / 3)));
  EXPECT_EQ(f[kChartFigureLowerLimit], 0);
  EXPECT_DOUBLE_EQ(PointFigure(f, 0, 2), 0.1);
  // Against a given p̄ of 0.1, the huge sample's p of 0 is far below its lower
  // limit of about 0.1, the others inside theirs: test 1 reads the limits per point.
  const Options given = Options().Set(kChartOptionCentre, 0.1);
  const std::vector<double> g = FiguresOf(ChartRequestOf(ChartKind::P, d, &n, &given));
  EXPECT_EQ(Flagged(g, 1), (std::vector<int>{4}));
  EXPECT_GT(PointFigure(g, 3, 4), 0.09);
}

TEST_F(ChartStatisticsTest, NpChartPlotsCountsAgainstNTimesPBar) {
  // 100 items each: p̄ = 0.06, centre line 6, limits 6 ± 3√(100·0.06·0.94) = 6 ± 7.1246, cut at 0.
  const std::vector<double> d = Array({4, 8, 6, 5, 7, 3, 9, 6});
  const std::vector<double> n = Array({100, 100, 100, 100, 100, 100, 100, 100});
  const std::vector<double> f = FiguresOf(ChartRequestOf(ChartKind::Np, d, &n));
  EXPECT_DOUBLE_EQ(f[kChartFigureCentre], 0.06);  // the centre a later request may give: p̄
  EXPECT_DOUBLE_EQ(f[kChartFigureSigma], std::sqrt(0.06 * 0.94));
  EXPECT_NEAR(f[kChartFigureUpperLimit], 13.124605, 1e-6);
  EXPECT_EQ(f[kChartFigureLowerLimit], 0);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(PointFigure(f, 0, i), d[static_cast<size_t>(i)]) << i;
}

TEST_F(ChartStatisticsTest, CChartLimitsAreCBarPlusMinusThreeRootCBar) {
  // c̄ = 36 / 4 = 9: limits 9 ± 9, the lower one exactly 0; 19 beyond 18.
  const std::vector<double> c = Array({5, 9, 3, 19});
  const std::vector<double> f = FiguresOf(ChartRequestOf(ChartKind::C, c));
  EXPECT_EQ(f[kChartFigureCentre], 9);
  EXPECT_EQ(f[kChartFigureSigma], 3);
  EXPECT_EQ(f[kChartFigureUpperLimit], 18);
  EXPECT_EQ(f[kChartFigureLowerLimit], 0);
  EXPECT_EQ(Flagged(f, 1), (std::vector<int>{4}));
  // A given c̄ of 4: limits 4 ± 6, cut at 0; 19 beyond 10.
  const Options given = Options().Set(kChartOptionCentre, 4);
  const std::vector<double> g = FiguresOf(ChartRequestOf(ChartKind::C, c, nullptr, &given));
  EXPECT_EQ(g[kChartFigureUpperLimit], 10);
  EXPECT_EQ(g[kChartFigureLowerLimit], 0);
  EXPECT_EQ(g[kChartFigureOwnCentre], 9);
  EXPECT_EQ(g[kChartFigureOwnSigma], 3);
  EXPECT_EQ(Flagged(g, 1), (std::vector<int>{4}));
}

TEST_F(ChartStatisticsTest, AttributeChartsWithUnequalSizesApplyTest1Only) {
  // Nine samples above ū: test 2 would fire with equal sizes, not with these.
  const std::vector<double> c = Array({3, 3, 3, 3, 3, 3, 3, 3, 3, 0, 0, 0});
  const std::vector<double> equal = Array({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
  const std::vector<double> unequal = Array({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1.5});
  EXPECT_EQ(Flagged(FiguresOf(ChartRequestOf(ChartKind::U, c, &equal)), 2), (std::vector<int>{9}));
  EXPECT_TRUE(Flagged(FiguresOf(ChartRequestOf(ChartKind::U, c, &unequal)), 2).empty());
}

// The shipped table's range factors give the published D4(2) = 3.267 and d2(2) = 1.128.
TEST_F(ChartStatisticsTest, MovingRangeFactorsOfTheShippedTableAreThePublishedOnes) {
  const std::string shipped = ReadFile(MERIDAN_DATA_DIR "/TESSAN_SPC.TAB");
  ASSERT_TRUE(SPC_ParseTable(shipped.data(), shipped.size()));
  EXPECT_NEAR(D4(2), 3.267, 0.0005);
  EXPECT_NEAR(d2(2), 1.128, 0.0005);
  LoadTestConstants();
}

// ---- Within σ of subgroups, as the SPC request estimates it -------------------

TEST_F(ChartStatisticsTest, SubgroupSigmaIsExactlyTheSpcRequestsForEveryMethod) {
  std::vector<double> values{kNaN};
  for (int i = 0; i < 53; ++i) values.push_back(10 + 0.01 * ((i * 37) % 23) - 0.1 * (i % 4));
  for (uint32_t norm = 0; norm <= 3; ++norm)
    for (int32_t m : {2, 5, 20}) {
      SCOPED_TRACE(testing::Message() << "SPCNorm " << norm << ", m " << m);
      SpcResult spc{};
      ASSERT_TRUE(SPC_ComputeRequest(coretest::RequestOf(values, 11, m, static_cast<int16_t>(norm)), spc));
      for (ChartKind kind : {ChartKind::Ewma, ChartKind::Cusum}) {
        const std::vector<double> f = FiguresOf(ChartRequestOf(kind, values, nullptr, nullptr, m, norm));
        EXPECT_EQ(f[kChartFigurePoints], 53 / m);
        EXPECT_EQ(f[kChartFigureOwnCentre], spc.stats.grandMean);
        EXPECT_EQ(f[kChartFigureOwnSigma], spc.stats.sigmaWithin);
      }
    }
}

TEST_F(ChartStatisticsTest, EwmaOfSubgroupsPlotsTheirMeansWithStandardErrorSigmaOverRootM) {
  // Two subgroups of 4 with means 10 and 12 (readings after the last complete subgroup unused); σ given 2.
  const std::vector<double> x = Array({9, 11, 10, 10, 12, 12, 11, 13, 100});
  const Options given = Options().Set(kChartOptionSigma, 2).Set(kChartOptionLambda, 0.5);
  const std::vector<double> f = FiguresOf(ChartRequestOf(ChartKind::Ewma, x, nullptr, &given, 4, 1));
  EXPECT_EQ(f[kChartFigurePoints], 2);
  EXPECT_EQ(f[kChartFigureCentre], 11);
  EXPECT_EQ(PointFigure(f, 0, 1), 10.5);  // 0.5 · 10 + 0.5 · 11
  EXPECT_EQ(PointFigure(f, 0, 2), 11.25);
  // Limits 11 ± 3 · (2 / 2) · √(0.5 / 1.5 · (1 − 0.5^(2i))).
  EXPECT_DOUBLE_EQ(PointFigure(f, 2, 1), 11 + 3 * std::sqrt(0.25));
  EXPECT_DOUBLE_EQ(PointFigure(f, 3, 2), 11 - 3 * std::sqrt(1.0 / 3 * (1 - 0.0625)));
  EXPECT_DOUBLE_EQ(f[kChartFigureUpperLimit], 11 + 3 * std::sqrt(1.0 / 3));
}

TEST_F(ChartStatisticsTest, CusumHeadStartStartsBothSums) {
  // Target 0, σ 1, k 0.5, head start 2.5: the sums start at 2.5.
  const std::vector<double> x = Array({0, 1, -3});
  const Options options =
      Options().Set(kChartOptionCentre, 0).Set(kChartOptionSigma, 1).Set(kChartOptionHeadStart, 2.5);
  const std::vector<double> f = FiguresOf(ChartRequestOf(ChartKind::Cusum, x, nullptr, &options));
  EXPECT_EQ(PointFigure(f, 0, 1), 2.0);  // 0 − 0.5 + 2.5
  EXPECT_EQ(PointFigure(f, 1, 1), 2.0);
  EXPECT_EQ(PointFigure(f, 0, 2), 2.5);  // 1 − 0.5 + 2
  EXPECT_EQ(PointFigure(f, 1, 2), 0.5);  // −1 − 0.5 + 2
  EXPECT_EQ(PointFigure(f, 0, 3), 0.0);  // −3 − 0.5 + 2.5 is below 0
  EXPECT_EQ(PointFigure(f, 1, 3), 3.0);  // 3 − 0.5 + 0.5
  EXPECT_EQ(f[kChartFigureFirstSignal], 0);
}

// ---- The layout and its capacity -----------------------------------------------

TEST_F(ChartStatisticsTest, FiguresAreWrittenUpToTheCapacityAndNoFurther) {
  const std::vector<double> x = Array({5, 7, 6, 9, 8, 6, 7, 16});
  const ChartRequest request = ChartRequestOf(ChartKind::Individuals, x);
  const std::vector<double> whole = FiguresOf(request);
  constexpr double kUnwritten = -7.25e-301;
  for (int32_t capacity : {1, 2, 34, 35, 36, 43, 44, 74, 75, 76, 200}) {
    SCOPED_TRACE(capacity);
    std::vector<double> figures(static_cast<size_t>(capacity) + 10, kUnwritten);
    const int32_t written = Chart_Statistics(request, figures.data(), capacity);
    EXPECT_EQ(written, std::min(capacity, 75));
    EXPECT_EQ(figures[0], kUnwritten);
    for (int32_t i = 1; i <= written; ++i)
      EXPECT_EQ(std::memcmp(&figures[static_cast<size_t>(i)], &whole[static_cast<size_t>(i)], sizeof(double)), 0)
          << "element " << i;
    for (size_t i = static_cast<size_t>(written) + 1; i < figures.size(); ++i) EXPECT_EQ(figures[i], kUnwritten) << i;
  }
}

// ---- Independent implementation over random requests of every kind -------------

struct ReferenceCase {
  std::string name;
  uint32_t chart = 0;
  int32_t count = 0, sampleSize = 1;
  uint32_t norm = 0;
  std::vector<double> values{kNaN}, sizes{kNaN}, options{kNaN};
  bool sizesGiven = false;
  std::vector<double> figures{kNaN};
  std::vector<double> blocks[4];  // statistic, second statistic, upper limit, lower limit: element 0 is point 1
  std::vector<int> flags;
};

// Reads every number of the rest of a line, "nan" too.
std::vector<double> Numbers(std::istringstream& fields) {
  std::vector<double> numbers;
  for (std::string field; fields >> field;) numbers.push_back(std::strtod(field.c_str(), nullptr));
  return numbers;
}

std::vector<ReferenceCase> ReadReferenceCases() {
  std::istringstream in(ReadTestFile("chart_reference.txt"));
  std::vector<ReferenceCase> cases;
  const char* blockNames[4] = {"statistic", "second", "upper", "lower"};
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string key;
    fields >> key;
    if (key == "case") {
      cases.emplace_back();
      fields >> cases.back().name;
      continue;
    }
    if (cases.empty()) continue;
    ReferenceCase& c = cases.back();
    if (key == "input") fields >> c.chart >> c.count >> c.sampleSize >> c.norm;
    if (key == "values")
      for (double v : Numbers(fields)) c.values.push_back(v);
    if (key == "sizes" && line != "sizes none") {
      c.sizesGiven = true;
      for (double v : Numbers(fields)) c.sizes.push_back(v);
    }
    if (key == "options")
      for (double v : Numbers(fields)) c.options.push_back(v);
    if (key == "figures")
      for (double v : Numbers(fields)) c.figures.push_back(v);
    for (int b = 0; b < 4; ++b)
      if (key == blockNames[b]) c.blocks[b] = Numbers(fields);
    if (key == "flags")
      for (double v : Numbers(fields)) c.flags.push_back(static_cast<int>(v));
  }
  return cases;
}

// The tolerance of every figure against the independent one: the two sum in
// different orders, so they may part in the last digits (CUSUM sums carry that
// along), never more.
void ExpectClose(double actual, double expected, const std::string& what) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(actual)) << what << " is " << actual << ", expected not a number";
    return;
  }
  EXPECT_NEAR(actual, expected, 1e-9 * std::max(1.0, std::fabs(expected))) << what;
}

TEST_F(ChartStatisticsTest, MatchesAnIndependentImplementationOverRandomRequestsOfEveryKind) {
  const std::vector<ReferenceCase> cases = ReadReferenceCases();
  ASSERT_GE(cases.size(), 98u) << "tests/data/chart_reference.txt";
  int flagged[kChartKindCount + 1][kRunTestCount + 1] = {};
  for (const ReferenceCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.values.size(), static_cast<size_t>(c.count) + 1);
    ASSERT_EQ(c.options.size(), static_cast<size_t>(kChartOptionElements) + 1);
    ChartRequest request;
    request.chart = c.chart;
    request.values = c.values.data();
    request.sizes = c.sizesGiven ? c.sizes.data() : nullptr;
    request.count = c.count;
    request.SampleSize = c.sampleSize;
    request.SPCNorm = c.norm;
    request.options = c.options.data();
    request.optionCount = kChartOptionElements;
    const std::vector<double> f = FiguresOf(request);
    const int k = static_cast<int>(c.figures[kChartFigurePoints]);
    ASSERT_EQ(f.size(), static_cast<size_t>(kChartFixedFigures + 5 * k) + 1);
    for (int i = 1; i <= kChartFixedFigures; ++i)
      ExpectClose(f[static_cast<size_t>(i)], c.figures[static_cast<size_t>(i)], "figure " + std::to_string(i));
    for (int b = 0; b < 4; ++b) {
      ASSERT_EQ(c.blocks[b].size(), static_cast<size_t>(k));
      for (int i = 1; i <= k; ++i)
        ExpectClose(PointFigure(f, b, i), c.blocks[b][static_cast<size_t>(i - 1)],
                    "block " + std::to_string(b + 1) + " point " + std::to_string(i));
    }
    ASSERT_EQ(c.flags.size(), static_cast<size_t>(k));
    for (int i = 1; i <= k; ++i) {
      const int flags = c.flags[static_cast<size_t>(i - 1)];
      EXPECT_EQ(PointFigure(f, 4, i), flags) << "flags of point " << i;
      for (int bit = 0; bit <= kRunTestCount; ++bit) flagged[c.chart][bit] += flags >> bit & 1;
    }
  }
  // The requests reach every test on the individuals chart and on the attribute
  // charts together, the EWMA's and CUSUM's signals, and the second charts'.
  for (int t = 1; t <= kRunTestCount; ++t) {
    EXPECT_GT(flagged[1][t - 1], 3) << "imr: test " << t << " is never flagged";
    EXPECT_GT(flagged[4][t - 1] + flagged[5][t - 1] + flagged[6][t - 1] + flagged[7][t - 1], 3)
        << "attribute charts: test " << t << " is never flagged";
  }
  for (int chart : {2, 3}) EXPECT_GT(flagged[chart][0], 3) << "chart " << chart << ": no signal";
  for (int chart : {1, 3}) EXPECT_GT(flagged[chart][kRunTestCount], 3) << "chart " << chart << ": second chart";
}

}  // namespace
