// The check of a chart request: every refusal (result 0, nothing written, the
// caller's array untouched), the values just inside each range that are
// accepted, and the elements that are never read.
#include "spc/core/chart_request.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "core_test_support.h"
#include "spc/core/chart_results.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kUnwritten = -7.25e-301;

// A request with its own arrays, sound as made; each case spoils one thing.
struct Case {
  std::vector<double> values{kNaN, 4, 6, 5, 7, 3, 6};
  std::vector<double> sizes{kNaN, 50, 50, 50, 50, 50, 50};
  std::vector<double> options = std::vector<double>(kChartOptionElements + 1, kNaN);
  ChartRequest request;
  int32_t capacity = 200;
  bool resultsMissing = false;

  explicit Case(ChartKind kind) {
    request.chart = static_cast<uint32_t>(kind);
    request.SampleSize = 1;
    request.SPCNorm = 1;
    request.optionCount = kChartOptionElements;
  }
  Case& Option(int element, double value) {
    options[static_cast<size_t>(element)] = value;
    return *this;
  }
  // Points the request at the arrays (after any change to them).
  ChartRequest Bound() const {
    ChartRequest r = request;
    r.values = r.values ? values.data() : nullptr;
    r.sizes = r.sizes ? sizes.data() : nullptr;
    r.options = r.options ? options.data() : nullptr;
    return r;
  }
};

Case Sound(ChartKind kind) {
  Case c(kind);
  c.request.values = c.values.data();
  c.request.sizes = c.sizes.data();
  c.request.options = c.options.data();
  c.request.count = static_cast<int32_t>(c.values.size()) - 1;
  return c;
}

// The result and whether the caller's array kept every element it had.
int32_t StatisticsOf(const Case& c, bool* untouched) {
  std::vector<double> results(static_cast<size_t>(c.capacity > 0 ? c.capacity : 0) + 8, kUnwritten);
  const int32_t written = Chart_Statistics(c.Bound(), c.resultsMissing ? nullptr : results.data(), c.capacity);
  *untouched = true;
  for (double x : results) *untouched = *untouched && std::memcmp(&x, &kUnwritten, sizeof x) == 0;
  return written;
}

struct Refusal {
  std::string what;
  std::function<Case()> make;
};

class ChartRequestCheck : public coretest::ChartRequestTest {};

TEST_F(ChartRequestCheck, SoundRequestsOfEveryKindAreAccepted) {
  for (uint32_t chart = 1; chart <= kChartKindCount; ++chart) {
    bool untouched = false;
    EXPECT_EQ(StatisticsOf(Sound(static_cast<ChartKind>(chart)), &untouched), 35 + 5 * 6) << "chart " << chart;
  }
}

TEST_F(ChartRequestCheck, EveryRefusalReturns0AndWritesNothing) {
  using K = ChartKind;
  auto with = [](K kind, std::function<void(Case&)> spoil) {
    return [kind, spoil] {
      Case c = Sound(kind);
      spoil(c);
      return c;
    };
  };
  auto option = [&](K kind, int element, double value) {
    return with(kind, [element, value](Case& c) { c.Option(element, value); });
  };
  const std::vector<Refusal> refusals = {
      {"chart 0", with(K::Individuals, [](Case& c) { c.request.chart = 0; })},
      {"chart 8", with(K::Individuals, [](Case& c) { c.request.chart = 8; })},
      {"chart 2^32 - 1", with(K::Individuals, [](Case& c) { c.request.chart = 0xFFFFFFFFu; })},
      {"count 0", with(K::Individuals, [](Case& c) { c.request.count = 0; })},
      {"count -1", with(K::Individuals, [](Case& c) { c.request.count = -1; })},
      {"count 65 536", with(K::C, [](Case& c) {
         c.values.assign(65537, 1.0);
         c.request.count = 65536;
       })},
      {"values missing", with(K::Individuals, [](Case& c) { c.request.values = nullptr; })},
      {"sizes missing for p", with(K::P, [](Case& c) { c.request.sizes = nullptr; })},
      {"sizes missing for np", with(K::Np, [](Case& c) { c.request.sizes = nullptr; })},
      {"sizes missing for u", with(K::U, [](Case& c) { c.request.sizes = nullptr; })},
      {"SampleSize 0", with(K::Ewma, [](Case& c) { c.request.SampleSize = 0; })},
      {"SampleSize -1", with(K::C, [](Case& c) { c.request.SampleSize = -1; })},
      {"m > 1 for the individuals chart", with(K::Individuals, [](Case& c) { c.request.SampleSize = 2; })},
      {"m above 20 for the EWMA", with(K::Ewma, [](Case& c) {
         c.values.assign(100, 1.0);
         c.request.count = 99;
         c.request.SampleSize = 21;
       })},
      {"SPCNorm 4 with subgroups", with(K::Cusum, [](Case& c) {
         c.request.SampleSize = 2;
         c.request.SPCNorm = 4;
       })},
      {"fewer than 2 values", with(K::Individuals, [](Case& c) { c.request.count = 1; })},
      {"fewer than 2 subgroups", with(K::Ewma, [](Case& c) { c.request.SampleSize = 4; })},
      {"fewer than 2 samples", with(K::P, [](Case& c) { c.request.count = 1; })},
      {"a reading not a number", with(K::Individuals, [](Case& c) { c.values[3] = kNaN; })},
      {"a reading infinite", with(K::Cusum, [](Case& c) { c.values[6] = -kInf; })},
      {"a count not a number", with(K::P, [](Case& c) { c.values[2] = kNaN; })},
      {"a count below 0", with(K::C, [](Case& c) { c.values[1] = -1; })},
      {"a count infinite", with(K::C, [](Case& c) { c.values[1] = kInf; })},
      {"a size not a number", with(K::U, [](Case& c) { c.sizes[4] = kNaN; })},
      {"a size below 0", with(K::U, [](Case& c) { c.sizes[4] = -2; })},
      {"a size of 0", with(K::U, [](Case& c) { c.sizes[6] = 0; })},
      {"a size of 0 (p)", with(K::P, [](Case& c) { c.sizes[1] = 0; })},
      {"a size below one item (p)", with(K::P, [](Case& c) {
         c.values[1] = 0;
         c.sizes[1] = 0.5;
       })},
      {"a size infinite", with(K::P, [](Case& c) { c.sizes[1] = kInf; })},
      {"D above n (p)", with(K::P, [](Case& c) { c.values[2] = 51; })},
      {"D above n (np)", with(K::Np, [](Case& c) { c.values[5] = 50.5; })},
      {"unequal sizes (np)", with(K::Np, [](Case& c) { c.sizes[6] = 51; })},
      {"a negative option count", with(K::Individuals, [](Case& c) { c.request.optionCount = -1; })},
      {"options missing", with(K::Individuals, [](Case& c) { c.request.options = nullptr; })},
      {"given centre infinite", option(K::Individuals, kChartOptionCentre, kInf)},
      {"given p̄ of 0", option(K::P, kChartOptionCentre, 0)},
      {"given p̄ of 1", option(K::Np, kChartOptionCentre, 1)},
      {"given c̄ of 0", option(K::C, kChartOptionCentre, 0)},
      {"given ū below 0", option(K::U, kChartOptionCentre, -0.5)},
      {"given σ of 0", option(K::Individuals, kChartOptionSigma, 0)},
      {"given σ below 0", option(K::Ewma, kChartOptionSigma, -1)},
      {"given σ infinite", option(K::Cusum, kChartOptionSigma, kInf)},
      {"given σ for p", option(K::P, kChartOptionSigma, 0.1)},
      {"given σ for np", option(K::Np, kChartOptionSigma, 0.1)},
      {"given σ for c", option(K::C, kChartOptionSigma, 2)},
      {"given σ for u", option(K::U, kChartOptionSigma, 2)},
      {"test mask 256", option(K::Individuals, kChartOptionRunTests, 256)},
      {"test mask -1", option(K::Individuals, kChartOptionRunTests, -1)},
      {"test mask 1.5", option(K::C, kChartOptionRunTests, 1.5)},
      {"test mask infinite", option(K::C, kChartOptionRunTests, kInf)},
      {"λ 0", option(K::Ewma, kChartOptionLambda, 0)},
      {"λ above 1", option(K::Ewma, kChartOptionLambda, 1.0000001)},
      {"λ infinite", option(K::Ewma, kChartOptionLambda, kInf)},
      {"L 0", option(K::Ewma, kChartOptionL, 0)},
      {"L infinite", option(K::Ewma, kChartOptionL, kInf)},
      {"k below 0", option(K::Cusum, kChartOptionK, -0.1)},
      {"k infinite", option(K::Cusum, kChartOptionK, kInf)},
      {"h 0", option(K::Cusum, kChartOptionH, 0)},
      {"h infinite", option(K::Cusum, kChartOptionH, kInf)},
      {"head start below 0", option(K::Cusum, kChartOptionHeadStart, -1)},
      {"head start at h", option(K::Cusum, kChartOptionHeadStart, 5)},
      {"head start beyond a given h", with(K::Cusum, [](Case& c) { c.Option(kChartOptionH, 2).Option(kChartOptionHeadStart, 3); })},
      {"head start infinite", option(K::Cusum, kChartOptionHeadStart, kInf)},
      {"EWMA limits 2", option(K::Ewma, kChartOptionEwmaLimits, 2)},
      {"EWMA limits 0.5", option(K::Ewma, kChartOptionEwmaLimits, 0.5)},
      {"an EWMA option out of range on another chart", option(K::P, kChartOptionLambda, 2)},
      {"a CUSUM without spread", with(K::Cusum, [](Case& c) { c.values.assign(7, 5.0); })},
      {"capacity 0", with(K::Individuals, [](Case& c) { c.capacity = 0; })},
      {"capacity -1", with(K::Individuals, [](Case& c) { c.capacity = -1; })},
      {"results missing", with(K::Individuals, [](Case& c) { c.resultsMissing = true; })},
  };
  for (const Refusal& refusal : refusals) {
    bool untouched = false;
    EXPECT_EQ(StatisticsOf(refusal.make(), &untouched), 0) << refusal.what;
    EXPECT_TRUE(untouched) << refusal.what;
  }
}

TEST_F(ChartRequestCheck, ValuesAtTheEdgeOfEachRangeAreAccepted) {
  using K = ChartKind;
  struct Accepted {
    const char* what;
    Case c;
  };
  std::vector<Accepted> accepted;
  auto add = [&](const char* what, Case c) { accepted.push_back({what, std::move(c)}); };
  add("λ 1", Sound(K::Ewma).Option(kChartOptionLambda, 1));
  add("λ tiny", Sound(K::Ewma).Option(kChartOptionLambda, 1e-300));
  add("k 0", Sound(K::Cusum).Option(kChartOptionK, 0));
  add("head start just below h", Sound(K::Cusum).Option(kChartOptionHeadStart, 4.999));
  add("test mask 0", Sound(K::Individuals).Option(kChartOptionRunTests, 0));
  add("EWMA limits 1", Sound(K::Ewma).Option(kChartOptionEwmaLimits, 1));
  add("marking any number", Sound(K::C).Option(kChartOptionMarkFlagged, -kInf));
  add("given p̄ just below 1", Sound(K::P).Option(kChartOptionCentre, 0.999));
  add("given centre negative", Sound(K::Individuals).Option(kChartOptionCentre, -1e6));
  Case equalCounts = Sound(K::P);
  equalCounts.values = {kNaN, 50, 0, 50, 0, 50, 0};  // D = n and D = 0
  add("D equal to n", equalCounts);
  Case subgroupsNorm = Sound(K::Ewma);
  subgroupsNorm.request.SPCNorm = 99;  // single readings: the method is not read
  add("SPCNorm unread for single readings", subgroupsNorm);
  Case noSizes = Sound(K::C);
  noSizes.request.sizes = nullptr;
  add("sizes missing for c", noSizes);
  Case fractionalUnits = Sound(K::U);
  fractionalUnits.sizes = {kNaN, 0.5, 1.25, 2, 0.001, 3, 1};
  add("fractional inspection units (u)", fractionalUnits);
  Case few = Sound(K::Individuals);
  few.request.optionCount = 0;
  few.request.options = nullptr;
  add("no options at all", few);
  Case unknownOptions = Sound(K::Individuals);
  unknownOptions.request.optionCount = 3;  // element 4 on are not read: a NaN-free but absurd λ there is ignored
  unknownOptions.Option(kChartOptionLambda, -5);
  add("options past the count unread", unknownOptions);
  for (const Accepted& a : accepted) {
    bool untouched = true;
    EXPECT_EQ(StatisticsOf(a.c, &untouched), 65) << a.what;
  }
}

TEST_F(ChartRequestCheck, ElementZeroAndElementsPastTheCountAreNeverRead) {
  // Element 0 and the element after the last are poison: a not-a-number that would refuse the request.
  Case c = Sound(ChartKind::U);
  c.values.push_back(kNaN);
  c.sizes.push_back(-1);
  c.sizes[0] = -1;
  c.values[0] = kNaN;
  bool untouched = true;
  EXPECT_EQ(StatisticsOf(c, &untouched), 65);
}

TEST_F(ChartRequestCheck, KindPropertiesNameTheSevenCharts) {
  const char* names[] = {"imr", "ewma", "cusum", "p", "np", "c", "u"};
  for (uint32_t chart = 1; chart <= kChartKindCount; ++chart)
    EXPECT_STREQ(Chart_KindProperties(chart)->name, names[chart - 1]);
  EXPECT_EQ(Chart_KindProperties(0), nullptr);
  EXPECT_EQ(Chart_KindProperties(8), nullptr);
}

}  // namespace
