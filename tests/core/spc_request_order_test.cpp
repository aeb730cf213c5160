// The figures of a request that depend on how they are worked out, against
// the way they have always been worked out, bit for bit: the subgroup median
// (the middle of an exchange sort of positions 1 .. m, whatever a value that
// is not a number or a zero's sign does to that order), the histogram class
// of a value (the first class i in order with bound i - 1 <= x < bound i) and
// the overall sums (added in the order of the values). Inputs are random, with
// NaN, infinities, signed zeros, repeated values and huge magnitudes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "core_test_support.h"
#include "spc/core/spc_request.h"

namespace {

using namespace coretest;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The rule the medians have always followed, written out.
double MedianByExchanges(std::vector<double> v) {  // v[1 .. m]
  const int m = static_cast<int>(v.size()) - 1;
  for (int i = 1; i <= m - 1; ++i)
    for (int l = i + 1; l <= m; ++l)
      if (v[l] < v[i]) std::swap(v[i], v[l]);
  return m % 2 == 1 ? v[(m + 1) / 2] : (v[m / 2] + v[m / 2 + 1]) / 2;
}

struct Random {
  uint64_t state;
  uint32_t Next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state >> 33);
  }
  // Mostly ordinary readings, now and then one of the awkward values, and in
  // some subgroups only a few distinct values (ties).
  double Value(int flavour) {
    static const double awkward[] = {kNaN, kInf, -kInf, 0.0, -0.0, 1e300, -1e300, 5e-324, 1.0, 1.0};
    uint32_t r = Next();
    if (flavour == 1 && r % 5 == 0) return awkward[Next() % 10];
    if (flavour == 2) return static_cast<double>(r % 4) - 1.5;
    if (flavour == 3) return r % 3 == 0 ? 0.0 : r % 3 == 1 ? -0.0 : 2.0;
    return 10.0 + (static_cast<int>(r % 20001) - 10000) * 1e-5;
  }
};

TEST(RequestOrder, SubgroupMediansAreThoseOfTheExchangeSortBitForBit) {
  Random random{7};
  for (int32_t m = 2; m <= 20; ++m)
    for (int flavour = 0; flavour < 4; ++flavour) {
      const int32_t k = 300;
      std::vector<double> values{kNaN};
      for (int32_t i = 0; i < m * k; ++i) values.push_back(random.Value(flavour));
      SpcResult result{};
      ASSERT_TRUE(SPC_ComputeRequest(RequestOf(values, 13, m), result));
      ASSERT_TRUE(result.seriesWritten);
      const double* medians = SPC_LocationSeries();
      for (int32_t j = 1; j <= k; ++j) {
        std::vector<double> group(values.begin() + 1 + (j - 1) * m, values.begin() + 1 + j * m);
        group.insert(group.begin(), 0.0);
        const double expected = MedianByExchanges(group);
        ASSERT_TRUE(SameBits(medians[j], expected))
            << "m " << m << " flavour " << flavour << " subgroup " << j << ": " << medians[j] << " for " << expected;
      }
    }
}

TEST(RequestOrder, HistogramClassesAreTheFirstInOrderThatHoldTheValue) {
  Random random{11};
  for (int flavour = 0; flavour < 4; ++flavour)
    for (int round = 0; round < 20; ++round) {
      std::vector<double> values{kNaN};
      const int count = 1 + static_cast<int>(random.Next() % 3000);
      for (int i = 0; i < count; ++i) values.push_back(random.Value(flavour));
      SpcRequest request = RequestOf(values, 11, 5);
      // Limits that widen the classes now and then, or lie beyond every value.
      if (round % 4 == 1) request.USL = 1e308, request.LSL = -1e308;
      if (round % 4 == 2) request.USL = 10.00001, request.LSL = 10.0;
      SpcResult result{};
      ASSERT_TRUE(SPC_ComputeRequest(request, result));
      int32_t expected[kHistogramClasses + 2] = {};
      const double* bounds = result.classes.bounds;
      for (int v = 1; v <= count; ++v)
        for (int i = 1; i <= kHistogramClasses; ++i)
          if (bounds[i - 1] <= values[v] && values[v] < bounds[i]) {
            ++expected[i];
            break;
          }
      for (int i = 0; i <= kHistogramClasses + 1; ++i)
        EXPECT_EQ(result.classes.counts[i], expected[i]) << "flavour " << flavour << " round " << round << " class " << i;
    }
}

TEST(RequestOrder, OverallFiguresAreSummedInTheOrderOfTheValues) {
  Random random{13};
  for (int flavour = 0; flavour < 4; ++flavour) {
    std::vector<double> values{kNaN};
    for (int i = 0; i < 65535; ++i) values.push_back(random.Value(flavour));
    SpcResult result{};
    ASSERT_TRUE(SPC_ComputeRequest(RequestOf(values, 11, 5), result));
    double sum = 0.0, squares = 0.0, largest = values[1], smallest = values[1];
    int above = 0, below = 0;
    for (size_t i = 1; i < values.size(); ++i) {
      sum += values[i];
      squares += values[i] * values[i];
      if (values[i] > largest) largest = values[i];
      if (values[i] < smallest) smallest = values[i];
      above += values[i] > 10.5;
      below += values[i] < 9.5;
    }
    EXPECT_TRUE(SameBits(result.stats.sum, sum)) << "flavour " << flavour;
    EXPECT_TRUE(SameBits(result.stats.sumSquares, squares)) << "flavour " << flavour;
    EXPECT_TRUE(SameBits(result.stats.largest, largest)) << "flavour " << flavour;
    EXPECT_TRUE(SameBits(result.stats.smallest, smallest)) << "flavour " << flavour;
    EXPECT_EQ(result.stats.countAbove, above) << "flavour " << flavour;
    EXPECT_EQ(result.stats.countBelow, below) << "flavour " << flavour;
  }
}

}  // namespace
