// Create_GaugeStudyStatistics through MERIDAN.dll: the figures bit for bit
// those of the core linked into this program, the published crossed study's
// figures, the kind read from the low half of its slot, the caller's capacity
// never passed, refused requests leaving the results alone, every count and
// double at its edges, and two threads asking at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "gauge/core/gauge_results.h"
#include "gauge/core/gauge_study.h"
#include "meridan_api.h"
#include "spc/core/spc_table.h"
#include "win_test_support.h"

namespace {

constexpr double kUntouched = -12345.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The AIAG crossed study (appraiser, part, trial order; element 0 not read): 10 parts, 3 appraisers, 3 trials.
const std::vector<double> kAiag = {
    kNaN,  0.29,  0.41,  0.64,  -0.56, -0.68, -0.58, 1.34,  1.17,  1.27,  0.47,  0.5,   0.64,  -0.8,  -0.92, -0.84,
    0.02,  -0.11, -0.21, 0.59,  0.75,  0.66,  -0.31, -0.2,  -0.17, 2.26,  1.99,  2.01,  -1.36, -1.25, -1.31,
    0.08,  0.25,  0.07,  -0.47, -1.22, -0.68, 1.19,  0.94,  1.34,  0.01,  1.03,  0.2,   -0.56, -1.2,  -1.28,
    -0.2,  0.22,  0.06,  0.47,  0.55,  0.83,  -0.63, 0.08,  -0.34, 1.8,   2.12,  2.19,  -1.68, -1.62, -1.5,
    0.04,  -0.11, -0.15, -1.38, -1.13, -0.96, 0.88,  1.09,  0.67,  0.14,  0.2,   0.11,  -1.46, -1.07, -1.45,
    -0.29, -0.67, -0.49, 0.02,  0.01,  0.21,  -0.46, -0.56, -0.49, 1.77,  1.45,  1.87,  -1.49, -1.77, -2.16};

struct Call {
  uint32_t kind = 2;
  std::vector<double> readings = kAiag;
  int32_t parts = 10, appraisers = 3, trials = 3;
  double reference = 0, tolerance = 0;
  std::vector<double> options{kNaN};
};

int32_t Export(const Call& c, std::vector<double>& results, int32_t capacity) {
  return Create_GaugeStudyStatistics(c.kind, c.readings.data(), c.parts, c.appraisers, c.trials, c.reference,
                                     c.tolerance, c.options.data(), static_cast<int32_t>(c.options.size()) - 1,
                                     results.data(), capacity);
}

bool SameFigure(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Type 1: 30 readings of a reference part of 25 with a bias of about 0.0004.
Call TypeOne() {
  Call c;
  c.kind = 1;
  c.readings = {kNaN};
  for (int i = 0; i < 30; ++i) c.readings.push_back(25.0004 + 0.0001 * ((i * 7) % 11 - 5));
  c.parts = c.appraisers = 1;
  c.trials = 30;
  c.reference = 25.0;
  c.tolerance = 0.02;
  return c;
}

class GaugeStatisticsExport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string table = wintest::ReadFileBytes(wintest::BinDir() + L"TESSAN_SPC.TAB");
    ASSERT_FALSE(table.empty());
    ASSERT_TRUE(SPC_ParseTable(table.data(), table.size()));
  }
};

TEST_F(GaugeStatisticsExport, GivesThePublishedCrossedStudy) {
  Call c;
  std::vector<double> f(100, kUntouched);
  ASSERT_EQ(Export(c, f, 99), 81);
  EXPECT_NEAR(f[11], 88.3619, 5e-5);
  EXPECT_NEAR(f[20], 492.29, 0.005);
  EXPECT_NEAR(f[25], 0.974, 0.0005);
  EXPECT_EQ(f[26], 1.0);
  EXPECT_NEAR(f[35], 0.199933, 5e-7);
  EXPECT_NEAR(f[38], 1.042327, 5e-7);
  EXPECT_NEAR(f[46], 27.86, 0.005);
  EXPECT_EQ(f[57], 4.0);
  EXPECT_NEAR(f[69], 26.68, 0.005);
  EXPECT_EQ(f[72], 5.0);
  EXPECT_EQ(f[75], 1.0);
  EXPECT_EQ(f[82], kUntouched);
}

TEST_F(GaugeStatisticsExport, FiguresAreThoseOfTheCoreBitForBit) {
  Call alphaOne;
  alphaOne.options = {kNaN, 5.15, 1.0};
  alphaOne.tolerance = 4.0;
  Call typeOne = TypeOne();
  typeOne.options = {kNaN, kNaN, kNaN, 15.0, 4.0, 0.99};
  Call oneWay;
  oneWay.kind = 3;
  oneWay.parts = 15;
  oneWay.appraisers = 1;
  oneWay.trials = 2;
  oneWay.readings.resize(31);
  for (const Call& c : {Call{}, alphaOne, TypeOne(), typeOne, oneWay}) {
    SCOPED_TRACE(testing::Message() << "kind " << c.kind);
    std::vector<double> exported(100, kUntouched), native(100, kUntouched);
    const int32_t written = Export(c, exported, 99);
    ASSERT_GT(written, 0);
    const GaugeRequest request{static_cast<int32_t>(c.kind), c.readings.data(), c.parts, c.appraisers, c.trials,
                               c.reference, c.tolerance, c.options.data(),
                               static_cast<int32_t>(c.options.size()) - 1};
    ASSERT_EQ(Gauge_StudyFigures(request, native.data(), 99), written);
    for (int i = 0; i < 100; ++i) EXPECT_TRUE(SameFigure(exported[i], native[i])) << "element " << i;
  }
}

TEST_F(GaugeStatisticsExport, ReadsTheKindFromTheLowHalfOfItsSlot) {
  std::vector<double> plain(100, kUntouched), high(100, kUntouched);
  Call c;
  ASSERT_EQ(Export(c, plain, 99), 81);
  for (uint32_t slot : {0x00010002u, 0xFFFF0002u}) {
    c.kind = slot;
    ASSERT_EQ(Export(c, high, 99), 81) << std::hex << slot;
    for (int i = 2; i < 100; ++i) EXPECT_TRUE(SameFigure(high[i], plain[i])) << "element " << i;
  }
  for (uint32_t slot : {0x00010000u, 0x0000FFFFu, 0x00020004u}) {
    c.kind = slot;
    std::vector<double> refused(100, kUntouched);
    EXPECT_EQ(Export(c, refused, 99), 0) << std::hex << slot;
    for (double x : refused) EXPECT_EQ(x, kUntouched);
  }
}

TEST_F(GaugeStatisticsExport, NeverWritesPastTheCapacity) {
  for (int32_t capacity : {1, 19, 20, 21, 75, 80, 81, 82}) {
    for (const Call& c : {Call{}, TypeOne()}) {
      std::vector<double> results(capacity + 3, kUntouched);
      const int32_t written = Export(c, results, capacity);
      EXPECT_EQ(written, std::min(capacity, c.kind == 1 ? 20 : 81)) << capacity;
      EXPECT_EQ(results[0], kUntouched);
      for (int i = written + 1; i < capacity + 3; ++i) EXPECT_EQ(results[i], kUntouched) << capacity << ": " << i;
    }
  }
}

TEST_F(GaugeStatisticsExport, RefusesWhatIsOutsideTheContractAndLeavesTheResultsAlone) {
  std::vector<double> results(120, kUntouched);
  Call c;
  EXPECT_EQ(Export(c, results, 0), 0);
  EXPECT_EQ(Export(c, results, -1), 0);
  EXPECT_EQ(Create_GaugeStudyStatistics(2, kAiag.data(), 10, 3, 3, 0, 0, nullptr, 0, nullptr, 100), 0);
  EXPECT_EQ(Create_GaugeStudyStatistics(2, nullptr, 10, 3, 3, 0, 0, nullptr, 0, results.data(), 100), 0);
  EXPECT_EQ(Create_GaugeStudyStatistics(2, kAiag.data(), 10, 3, 3, 0, 0, nullptr, 2, results.data(), 100), 0);
  Call nan;
  nan.readings[40] = kNaN;
  EXPECT_EQ(Export(nan, results, 100), 0);
  Call shape;
  shape.trials = 1;
  EXPECT_EQ(Export(shape, results, 100), 0);
  Call option;
  option.options = {kNaN, kNaN, 1.5};
  EXPECT_EQ(Export(option, results, 100), 0);
  Call huge;
  huge.parts = 40000;
  huge.appraisers = 2;
  huge.trials = 2;
  EXPECT_EQ(Export(huge, results, 100), 0);
  Call noTolerance = TypeOne();
  noTolerance.tolerance = 0;
  EXPECT_EQ(Export(noTolerance, results, 100), 0);
  for (double x : results) EXPECT_EQ(x, kUntouched);
}

// Every count at its edges and every double argument not a number, infinite, denormal or huge, one at a time:
// no crash, the count written is 0 or the study's, nothing past the capacity.
TEST_F(GaugeStatisticsExport, EveryCountAndDoubleAtItsEdges) {
  const int32_t counts[] = {INT_MIN, -65536, -1, 0, 1, 2, 3, 10, 65535, 65536, INT_MAX};
  const double doubles[] = {kNaN, HUGE_VAL, -HUGE_VAL, 0.0, -0.0, 4.9e-324, -4.9e-324, 1e308, -1e308,
                            std::numeric_limits<double>::max(), 1.0, -1.0};
  int calls = 0;
  auto check = [&](Call c, int32_t capacity) {
    // The array holds every reading the sizes ask for, when they ask for at most 65 535.
    const int64_t count = int64_t{c.parts} * c.appraisers * c.trials;
    if (c.parts > 0 && c.appraisers > 0 && c.trials > 0 && count <= 65535 &&
        count + 1 > static_cast<int64_t>(c.readings.size()))
      for (int64_t i = static_cast<int64_t>(c.readings.size()); i <= count; ++i) c.readings.push_back(0.01 * (i % 37));
    std::vector<double> results(200, kUntouched);
    const int32_t written = Export(c, results, std::min(capacity, 190));
    ++calls;
    EXPECT_TRUE(written == 0 || written == std::min({capacity, 190, c.kind % 65536 == 1 ? 20 : 75 + 2 * c.appraisers}))
        << written;
    EXPECT_EQ(results[0], kUntouched);
    for (int i = std::max(written, 0) + 1; i < 200; ++i) ASSERT_EQ(results[i], kUntouched) << "element " << i;
  };
  for (const Call& base : {Call{}, TypeOne()}) {
    for (int32_t n : counts) {
      Call c = base;
      c.parts = n;
      check(c, 100);
      c = base;
      c.appraisers = n;
      check(c, 100);
      c = base;
      c.trials = n;
      check(c, 100);
      c = base;
      check(c, n);
      std::vector<double> options(8, kNaN);
      std::vector<double> results(100, kUntouched);
      const int32_t written =
          Create_GaugeStudyStatistics(base.kind, base.readings.data(), base.parts, base.appraisers, base.trials,
                                      base.reference, base.tolerance, options.data(), std::min(n, 7),
                                      results.data(), 99);
      EXPECT_EQ(written, n < 0 ? 0 : (base.kind == 1 ? 20 : 81)) << "option count " << n;
      ++calls;
    }
    for (double x : doubles) {
      Call c = base;
      c.reference = x;
      check(c, 100);
      c = base;
      c.tolerance = x;
      check(c, 100);
      for (int element = 1; element <= 5; ++element) {
        c = base;
        c.options.assign(6, kNaN);
        c.options[element] = x;
        check(c, 100);
      }
      for (size_t at : {size_t{1}, size_t{17}, base.readings.size() - 1}) {
        c = base;
        c.readings[at] = x;
        check(c, 100);
      }
    }
  }
  EXPECT_GT(calls, 300);
}

// The study keeps nothing between calls: two threads asking at once each get the figures they get alone.
TEST_F(GaugeStatisticsExport, TwoCallersAtOnceGetTheirOwnFigures) {
  Call crossed;
  crossed.options = {kNaN, 5.15, 1.0};
  const Call typeOne = TypeOne();
  std::vector<double> crossedAlone(100, kUntouched), typeOneAlone(100, kUntouched);
  ASSERT_EQ(Export(crossed, crossedAlone, 99), 81);
  ASSERT_EQ(Export(typeOne, typeOneAlone, 99), 20);
  int wrong[2] = {0, 0};
  auto caller = [&](const Call& c, const std::vector<double>& alone, int* mistakes) {
    for (int i = 0; i < 2000; ++i) {
      std::vector<double> results(100, kUntouched);
      Export(c, results, 99);
      *mistakes += std::memcmp(results.data(), alone.data(), results.size() * sizeof(double)) != 0;
    }
  };
  std::thread first(caller, std::cref(crossed), std::cref(crossedAlone), &wrong[0]);
  std::thread second(caller, std::cref(typeOne), std::cref(typeOneAlone), &wrong[1]);
  first.join();
  second.join();
  EXPECT_EQ(wrong[0], 0);
  EXPECT_EQ(wrong[1], 0);
}

}  // namespace
