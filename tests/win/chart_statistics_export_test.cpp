// Create_ChartStatistics through MERIDAN.dll: every element bit for bit what
// the core linked into this program computes for requests of every chart kind;
// a textbook chart's published figures through the export; refusals that write
// nothing; the caller's capacity never passed; and two threads asking at once
// each getting exactly their own figures.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "meridan_api.h"
#include "spc/core/chart_request.h"
#include "spc/core/chart_results.h"
#include "spc/core/spc_table.h"
#include "win_test_support.h"

namespace {

constexpr double kUntouched = -12345.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Call {
  uint32_t chart = 1;
  std::vector<double> values{kNaN}, sizes{kNaN};  // element 0 first
  bool withSizes = false;
  int32_t sampleSize = 1;
  uint32_t norm = 1;
  std::vector<double> options{kNaN};  // element 0 first

  int32_t count() const { return static_cast<int32_t>(values.size()) - 1; }
  ChartRequest Request() const {
    ChartRequest r;
    r.chart = chart;
    r.values = values.data();
    r.sizes = withSizes ? sizes.data() : nullptr;
    r.count = count();
    r.SampleSize = sampleSize;
    r.SPCNorm = norm;
    r.options = options.data();
    r.optionCount = static_cast<int32_t>(options.size()) - 1;
    return r;
  }
};

int32_t Export(const Call& c, double* results, int32_t capacity) {
  return Create_ChartStatistics(c.chart, c.values.data(), c.withSizes ? c.sizes.data() : nullptr, c.count(),
                                c.sampleSize, c.norm, c.options.data(), static_cast<int32_t>(c.options.size()) - 1,
                                results, capacity);
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// Readings with a drift and a wobble, counts that follow them, sizes that vary.
Call Drifting(uint32_t chart, int count, int32_t sampleSize, uint32_t norm, bool equalSizes) {
  Call c;
  c.chart = chart;
  c.sampleSize = sampleSize;
  c.norm = norm;
  c.withSizes = chart == 4 || chart == 5 || chart == 7;
  for (int i = 0; i < count; ++i) {
    const double wobble = 0.03 * std::sin(i * 0.9) + 0.002 * (i % 5);
    if (chart <= 3) {
      c.values.push_back(10.0 + 0.0004 * i + wobble);
    } else {
      const double size = equalSizes ? 50 : 30 + (i * 7) % 41;
      c.sizes.push_back(size);
      c.values.push_back(std::floor(size * (0.1 + 2 * wobble + 0.001 * i)));
    }
  }
  return c;
}

class ChartStatisticsExport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string table = wintest::ReadFileBytes(wintest::BinDir() + L"TESSAN_SPC.TAB");
    ASSERT_FALSE(table.empty());
    ASSERT_TRUE(SPC_ParseTable(table.data(), table.size()));
  }
};

TEST_F(ChartStatisticsExport, WritesWhatTheCoreComputesForEveryChartKind) {
  for (uint32_t chart = 1; chart <= 7; ++chart)
    for (int32_t size : {1, 2, 5, 20})
      for (uint32_t norm : {0u, 1u, 2u, 3u})
        for (bool equal : {true, false}) {
          if ((chart != 2 && chart != 3 && size != 1) || (chart == 5 && !equal)) continue;
          SCOPED_TRACE(testing::Message() << "chart " << chart << " m " << size << " norm " << norm);
          Call c = Drifting(chart, 300, size, norm, equal);
          if (norm == 2) c.options = {kNaN, kNaN, kNaN, 255, 1, 0.3, 2.8, 0.4, 4.5, 1, 1};
          const int32_t k = chart == 2 || chart == 3 ? 300 / size : 300;
          std::vector<double> exported(static_cast<size_t>(35 + 5 * k) + 10, kUntouched);
          std::vector<double> core(exported.size(), kUntouched);
          const int32_t capacity = static_cast<int32_t>(exported.size()) - 1;
          ASSERT_EQ(Export(c, exported.data(), capacity), 35 + 5 * k);
          ASSERT_EQ(Chart_Statistics(c.Request(), core.data(), capacity), 35 + 5 * k);
          EXPECT_TRUE(SameBits(exported, core));
          EXPECT_EQ(exported[0], kUntouched);
          EXPECT_EQ(exported[static_cast<size_t>(36 + 5 * k)], kUntouched);
        }
}

TEST_F(ChartStatisticsExport, CusumOfMontgomerysReadingsSignalsFirstAtReading29) {
  Call c;
  c.chart = 3;
  for (double x : {9.45, 7.99, 9.29, 11.66, 12.16, 10.18, 8.04, 11.46, 9.20, 10.34, 9.03, 11.47, 10.51, 9.40, 10.08,
                   9.37, 10.62, 10.31, 8.52, 10.84, 10.90, 9.33, 12.29, 11.50, 10.60, 11.08, 10.38, 11.62, 11.31, 10.52})
    c.values.push_back(x);
  c.options = {kNaN, 10, 1};  // target 10, σ 1; k 0.5 and h 5 by default
  std::vector<double> f(200, kUntouched);
  ASSERT_EQ(Export(c, f.data(), 199), 35 + 5 * 30);
  EXPECT_EQ(f[35], 29);                      // the first signal
  EXPECT_NEAR(f[35 + 28], 4.47, 0.005);      // the upper sum at reading 28
  EXPECT_NEAR(f[35 + 29], 5.28, 0.005);      // and at 29
  EXPECT_EQ(f[35 + 4 * 30 + 29], 1);         // flagged by test 1
}

TEST_F(ChartStatisticsExport, RefusedRequestsReturn0AndWriteNothing) {
  const Call sound = Drifting(4, 40, 1, 1, false);
  struct Refusal {
    const char* what;
    Call call;
    int32_t capacity;
    bool resultsMissing;
  };
  std::vector<Refusal> refusals;
  auto add = [&](const char* what, void (*spoil)(Call&), int32_t capacity = 400, bool missing = false) {
    Call c = sound;
    spoil(c);
    refusals.push_back({what, c, capacity, missing});
  };
  add("chart 0", [](Call& c) { c.chart = 0; });
  add("chart 8", [](Call& c) { c.chart = 8; });
  add("sizes missing", [](Call& c) { c.withSizes = false; });
  add("a count above its size", [](Call& c) { c.values[3] = c.sizes[3] + 1; });
  add("a size of 0", [](Call& c) { c.sizes[5] = 0; });
  add("a count not a number", [](Call& c) { c.values[7] = kNaN; });
  add("a given σ for a p chart", [](Call& c) { c.options = {kNaN, kNaN, 0.1}; });
  add("a given p̄ of 1", [](Call& c) { c.options = {kNaN, 1.0}; });
  add("a test mask of 256", [](Call& c) { c.options = {kNaN, kNaN, kNaN, 256}; });
  add("λ of 0", [](Call& c) { c.options = {kNaN, kNaN, kNaN, kNaN, kNaN, 0}; });
  add("fewer than 2 points", [](Call& c) { c.values.resize(2); });
  add("capacity 0", [](Call&) {}, 0);
  add("results missing", [](Call&) {}, 400, true);
  for (const Refusal& r : refusals) {
    std::vector<double> results(410, kUntouched);
    EXPECT_EQ(Export(r.call, r.resultsMissing ? nullptr : results.data(), r.capacity), 0) << r.what;
    EXPECT_TRUE(SameBits(results, std::vector<double>(410, kUntouched))) << r.what;
  }
  // Values missing altogether, and a count the values cannot hold.
  std::vector<double> results(410, kUntouched);
  EXPECT_EQ(Create_ChartStatistics(1, nullptr, nullptr, 10, 1, 1, nullptr, 0, results.data(), 400), 0);
  EXPECT_EQ(Create_ChartStatistics(6, sound.values.data(), nullptr, 65536, 1, 1, nullptr, 0, results.data(), 400), 0);
  EXPECT_TRUE(SameBits(results, std::vector<double>(410, kUntouched)));
}

TEST_F(ChartStatisticsExport, NothingIsWrittenPastTheCapacity) {
  const Call c = Drifting(1, 12, 1, 1, true);
  std::vector<double> whole(100, kUntouched);
  ASSERT_EQ(Export(c, whole.data(), 99), 95);
  for (int32_t capacity : {1, 35, 36, 94, 95}) {
    std::vector<double> results(100, kUntouched);
    EXPECT_EQ(Export(c, results.data(), capacity), capacity);
    for (int32_t i = 1; i <= capacity; ++i) EXPECT_EQ(std::memcmp(&results[i], &whole[i], sizeof(double)), 0) << i;
    for (size_t i = static_cast<size_t>(capacity) + 1; i < results.size(); ++i) EXPECT_EQ(results[i], kUntouched);
    EXPECT_EQ(results[0], kUntouched);
  }
}

TEST_F(ChartStatisticsExport, TwoThreadsAtOnceEachGetTheirOwnFigures) {
  const Call calls[2] = {Drifting(2, 4000, 5, 1, true), Drifting(7, 3000, 1, 1, false)};
  std::vector<double> alone[2];
  for (int t = 0; t < 2; ++t) {
    alone[t].assign(35 + 5 * 3000 + 1, kUntouched);
    ASSERT_GT(Export(calls[t], alone[t].data(), static_cast<int32_t>(alone[t].size()) - 1), 0);
  }
  bool same[2] = {true, true};
  std::thread threads[2];
  for (int t = 0; t < 2; ++t)
    threads[t] = std::thread([&, t] {
      for (int round = 0; round < 20; ++round) {
        std::vector<double> results(alone[t].size(), kUntouched);
        Export(calls[t], results.data(), static_cast<int32_t>(results.size()) - 1);
        same[t] = same[t] && SameBits(results, alone[t]);
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_TRUE(same[0]);
  EXPECT_TRUE(same[1]);
}

}  // namespace
