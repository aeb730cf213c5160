// Create_CapabilityStatistics through MERIDAN.dll: the figures bit for bit
// those of the core linked into this program, the worked example's figures as
// R gives them, refused requests answered with 0 and nothing written, and the
// caller's capacity never passed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "meridan_api.h"
#include "spc/core/capability_results.h"
#include "spc/core/spc_table.h"
#include "win_test_support.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kUntouched = -12345.0;

struct Study {
  std::vector<double> values{kNaN};  // element 0 first
  int32_t sampleSize = 5;
  uint32_t norm = 1;
  double nom = 10.0, usl = 10.15, lsl = 9.85;
  uint32_t uslOn = 1, lslOn = 1;
  std::vector<double> options{kNaN};  // element 0 first

  int32_t count() const { return static_cast<int32_t>(values.size()) - 1; }
  int32_t optionCount() const { return static_cast<int32_t>(options.size()) - 1; }
  int32_t Export(std::vector<double>& results, int32_t capacity) const {
    return Create_CapabilityStatistics(values.data(), count(), sampleSize, norm, nom, usl, lsl, uslOn, lslOn,
                                       options.data(), optionCount(), results.data(), capacity);
  }
  int32_t Core(std::vector<double>& results, int32_t capacity) const {
    return Capability_Statistics(values.data(), count(), sampleSize, norm, nom, usl, lsl, uslOn, lslOn,
                                 options.data(), optionCount(), results.data(), capacity);
  }
};

bool SameFigure(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// 25 diameters in subgroups of 5, tolerance 10 ± 0.15 (the core test's worked example).
Study Diameters() {
  Study s;
  for (double x : {10.021, 9.987, 10.034, 10.002, 9.968, 10.045, 10.011, 9.992, 10.027, 9.979, 9.958, 10.016, 10.038,
                   10.004, 9.981, 10.029, 9.995, 10.052, 10.013, 9.974, 10.008, 9.989, 10.041, 10.019, 9.963})
    s.values.push_back(x);
  return s;
}

// A runout bounded at 0, USL 0.05 alone.
Study Runout(double distribution) {
  Study s;
  for (int i = 0; i < 60; ++i) s.values.push_back(0.004 + 0.0002 * ((i * 37) % 61) * (1 + 0.02 * (i % 7)) * ((i % 5) + 1) / 3);
  s.sampleSize = 1;
  s.nom = 0.0;
  s.usl = 0.05;
  s.lslOn = 0;
  s.options = {kNaN, kNaN, kNaN, distribution};
  return s;
}

class CapabilityStatisticsExport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string table = wintest::ReadFileBytes(wintest::BinDir() + L"TESSAN_SPC.TAB");
    ASSERT_FALSE(table.empty());
    ASSERT_TRUE(SPC_ParseTable(table.data(), table.size()));
  }
};

TEST_F(CapabilityStatisticsExport, FiguresAreThoseOfTheCoreBitForBit) {
  std::vector<Study> studies{Diameters()};
  for (double distribution : {0.0, 1.0, 2.0, 3.0, 4.0}) studies.push_back(Runout(distribution));
  for (uint32_t norm : {0u, 1u, 2u, 3u})
    for (int32_t size : {1, 2, 4, 7, 10}) {
      Study s = Diameters();
      s.norm = norm;
      s.sampleSize = size;
      studies.push_back(s);
    }
  for (const Study& s : studies) {
    std::vector<double> exported(kCapabilityResultCount + 2, kUntouched), core(kCapabilityResultCount + 2, kUntouched);
    ASSERT_EQ(s.Export(exported, kCapabilityResultCount), kCapabilityResultCount);
    ASSERT_EQ(s.Core(core, kCapabilityResultCount), kCapabilityResultCount);
    for (int i = 0; i <= kCapabilityResultCount + 1; ++i)
      EXPECT_TRUE(SameFigure(exported[i], core[i])) << "norm " << s.norm << " size " << s.sampleSize << " figure " << i
                                                    << ": " << exported[i] << ", the core gives " << core[i];
  }
}

TEST_F(CapabilityStatisticsExport, WorkedExampleGivesRsFigures) {
  std::vector<double> f(kCapabilityResultCount + 1, kUntouched);
  ASSERT_EQ(Diameters().Export(f, kCapabilityResultCount), 55);
  // R 4.2.2, as recorded in tests/core/capability_study_test.cpp: the figures of x̄ and s (σ̂ depends
  // on d2, which the shipped table holds to more digits than the core test's).
  const std::pair<int, double> expected[] = {{8, 1.869166497331439913},  {11, 1.796393615035346336},
                                             {16, 1.826153073159145102}, {17, 1.3436103835292312},
                                             {19, 1.2716711854239051},   {26, 2.3279989301077082},
                                             {32, 0.038231451326107051}, {36, 5.375282027184317357},
                                             {40, 0.93091881594878290}};
  for (const auto& [figure, value] : expected)
    EXPECT_NEAR(f[figure], value, 1e-10 * value) << "figure " << figure;
}

TEST_F(CapabilityStatisticsExport, RefusedRequestsReturnZeroAndWriteNothing) {
  auto expectRefused = [](const Study& s, int32_t capacity, const char* why) {
    std::vector<double> f(kCapabilityResultCount + 2, kUntouched);
    EXPECT_EQ(s.Export(f, capacity), 0) << why;
    for (double x : f) EXPECT_EQ(x, kUntouched) << why;
  };
  Study s = Diameters();
  s.uslOn = s.lslOn = 0;
  expectRefused(s, 55, "no limit in force");
  s = Diameters();
  s.sampleSize = 0;
  expectRefused(s, 55, "SampleSize 0");
  s = Diameters();
  s.options = {kNaN, kNaN, 1.0};
  expectRefused(s, 55, "level 1");
  expectRefused(Diameters(), 0, "capacity 0");
  std::vector<double> f(4, kUntouched);
  EXPECT_EQ(Create_CapabilityStatistics(nullptr, 25, 5, 1, 10, 10.15, 9.85, 1, 1, nullptr, 0, f.data(), 3), 0);
  EXPECT_EQ(Create_CapabilityStatistics(Diameters().values.data(), 25, 5, 1, 10, 10.15, 9.85, 1, 1, nullptr, 0, nullptr,
                                        55), 0);
}

TEST_F(CapabilityStatisticsExport, WritesNothingPastTheCapacity) {
  for (int32_t capacity : {1, 30, 54}) {
    std::vector<double> f(kCapabilityResultCount + 2, kUntouched);
    EXPECT_EQ(Diameters().Export(f, capacity), capacity);
    EXPECT_EQ(f[0], kUntouched);
    for (int i = capacity + 1; i < static_cast<int>(f.size()); ++i) EXPECT_EQ(f[i], kUntouched) << "element " << i;
  }
}

}  // namespace
