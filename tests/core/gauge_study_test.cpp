// Gauge studies: the published crossed study of the AIAG measurement systems
// analysis manual (4th edition), a type 1 study worked by hand, every refused
// request, the capacity, and every figure of random studies against an
// independent implementation (tests/data/gauge_study_reference.py, SciPy).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core_test_support.h"
#include "gauge_test_support.h"
#include "gauge/core/gauge_results.h"
#include "gauge/core/gauge_study.h"
#include "spc/core/spc_table.h"

namespace {

using namespace gaugetest;

class GaugeStudy : public ::testing::Test {
 protected:
  void SetUp() override { LoadShippedConstants(); }
};

// ---- The published crossed study ------------------------------------------------

TEST_F(GaugeStudy, AiagExampleAnovaTableAsPublished) {
  const Study s = AiagStudy();
  ASSERT_EQ(s.readings.size(), 91u);
  int32_t written = 0;
  const std::vector<double> f = s.Figures(&written);
  ASSERT_EQ(written, 75 + 2 * 3);
  EXPECT_EQ(f[1], 2.0);
  EXPECT_EQ(f[2], 10.0);
  EXPECT_EQ(f[3], 3.0);
  EXPECT_EQ(f[4], 3.0);
  EXPECT_EQ(f[5], 90.0);
  const double df[] = {9, 2, 18, 60, 89};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(f[6 + i], df[i]) << "degrees of freedom " << i;
  EXPECT_NEAR(f[11], 88.3619, 5e-5);
  EXPECT_NEAR(f[12], 3.1673, 5e-5);
  EXPECT_NEAR(f[13], 0.3590, 5e-5);
  EXPECT_NEAR(f[14], 2.7589, 5e-5);
  EXPECT_NEAR(f[15], 94.6471, 5e-5);
  EXPECT_NEAR(f[20], 492.29, 0.005);
  EXPECT_NEAR(f[21], 79.41, 0.005);
  EXPECT_NEAR(f[22], 0.434, 0.0005);
  EXPECT_NEAR(f[25], 0.974, 0.0005);
  EXPECT_EQ(f[26], 1.0) << "p 0.974 is above 0.05: the interaction is pooled into repeatability";
  EXPECT_EQ(f[27], 0.05);
}

TEST_F(GaugeStudy, AiagExampleComponentsAndNdcAsPublished) {
  const std::vector<double> f = AiagStudy().Figures();
  EXPECT_NEAR(f[35], 0.199933, 5e-7);  // EV
  EXPECT_NEAR(f[36], 0.226838, 5e-7);  // AV
  // GRR: the published 0.302373 is 1.5e-6 above √(EV² + AV²) of the published EV and AV (0.3023717; the
  // exact figures give 0.30237152): taken to the printed digit plus that.
  EXPECT_NEAR(f[37], 0.302373, 2e-6);
  EXPECT_NEAR(f[37], std::sqrt(0.199933 * 0.199933 + 0.226838 * 0.226838), 5e-7);
  EXPECT_NEAR(f[38], 1.042327, 5e-7);  // PV
  EXPECT_NEAR(f[39], 1.085300, 5e-7);  // TV
  EXPECT_NEAR(f[46], 27.86, 0.005);    // %study variation of GRR
  EXPECT_EQ(f[57], 4.0);
  EXPECT_EQ(f[31], 0.0) << "no interaction component once it is removed";
  EXPECT_DOUBLE_EQ(f[29], f[30]) << "reproducibility is the appraiser component alone";
  EXPECT_EQ(f[58], 6.0);
  // Study variation is 6 sigma; the percentages of a variance split add up.
  EXPECT_DOUBLE_EQ(f[50], 6 * f[37]);
  EXPECT_NEAR(f[40] + f[41], f[42], 1e-12);
  EXPECT_NEAR(f[42] + f[43], 100.0, 1e-12);
  for (int i = 53; i <= 56; ++i) EXPECT_EQ(f[i], 0.0) << "no tolerance given: element " << i;
}

TEST_F(GaugeStudy, AiagExampleAverageAndRangeAsPublished) {
  const std::vector<double> f = AiagStudy().Figures();
  EXPECT_NEAR(f[59], 0.3417, 5e-5);  // R̿
  EXPECT_NEAR(f[60], 0.4447, 5e-5);  // X_diff
  EXPECT_NEAR(f[61], 3.511, 5e-4);   // Rp
  EXPECT_NEAR(f[69], 26.68, 0.005);  // %GRR of TV
  EXPECT_EQ(f[72], 5.0);
  // The range chart: D4 = 2.574 (to the printed digits; the table's D2 / d2 is 2.57460) and D3 = 0 for
  // 3 trials; one range (appraiser B, part 4: 0.01, 1.03, 0.20) lies above the upper limit 0.880.
  EXPECT_NEAR(f[73] / f[59], 2.574, 0.001);
  EXPECT_NEAR(f[73], 0.880, 0.0005);
  EXPECT_EQ(f[74], 0.0);
  EXPECT_EQ(f[75], 1.0);
  // R̄ and X̄ of appraisers A, B, C as the manual's data sheet prints them.
  EXPECT_NEAR(f[76], 0.184, 5e-4);
  EXPECT_NEAR(f[77], 0.513, 5e-4);
  EXPECT_NEAR(f[78], 0.328, 5e-4);
  EXPECT_NEAR(f[79], 0.1903, 5e-5);
  EXPECT_NEAR(f[80], 0.0683, 5e-5);
  EXPECT_NEAR(f[81], -0.2543, 5e-5);
}

TEST_F(GaugeStudy, AlphaOfOneKeepsTheInteraction) {
  Study s = AiagStudy();
  s.options = {kNaN, kNaN, 1.0};
  const std::vector<double> f = s.Figures();
  EXPECT_EQ(f[26], 0.0);
  EXPECT_EQ(f[27], 1.0);
  // Components of the model with interaction: repeatability is MS_e, the interaction (MS_pa - MS_e) / r < 0 is 0.
  EXPECT_DOUBLE_EQ(f[28], f[19]);
  EXPECT_EQ(f[31], 0.0);
  EXPECT_DOUBLE_EQ(f[30], (f[17] - f[18]) / 30);
  EXPECT_DOUBLE_EQ(f[33], (f[16] - f[18]) / 9);
}

TEST_F(GaugeStudy, MultiplierAndToleranceGiveStudyVariationAndPercentOfTolerance) {
  Study s = AiagStudy();
  s.tolerance = 5.0;
  s.options = {kNaN, 5.15};
  const std::vector<double> f = s.Figures();
  EXPECT_EQ(f[58], 5.15);
  EXPECT_NEAR(f[48], 5.15 * 0.199933, 5.15 * 5e-7);
  EXPECT_NEAR(f[50], 5.15 * f[37], 1e-15);
  EXPECT_NEAR(f[53], 100 * 5.15 * 0.199933 / 5.0, 100 * 5.15 * 5e-7 / 5.0);
  EXPECT_NEAR(f[55], 100 * f[50] / 5.0, 1e-12);
  EXPECT_NEAR(f[71], 100 * 5.15 * f[64] / 5.0, 1e-12);
}

// ---- Type 1 worked by hand ---------------------------------------------------------

// 25 readings of a reference part of 10.000 (tolerance 0.1): twelve of 10.005, twelve of 9.999 and one of
// 10.002, and one reading not taken. x̄ = 10.002, Σ(x - x̄)² = 24 (0.003)², so s = 0.003; bias 0.002;
// t = 0.002 / (0.003 / 5) = 10 / 3 with 24 degrees of freedom.
Study Type1Study() {
  Study s;
  s.kind = kGaugeType1;
  s.parts = s.appraisers = 1;
  s.reference = 10.0;
  s.tolerance = 0.1;
  for (int i = 0; i < 12; ++i) {
    s.readings.push_back(10.005);
    s.readings.push_back(9.999);
  }
  s.readings.insert(s.readings.begin() + 7, 10.002);
  s.readings.insert(s.readings.begin() + 20, kNaN);
  s.trials = static_cast<int32_t>(s.readings.size()) - 1;
  return s;
}

void ExpectRelative(double actual, double expected, double relative, const char* what) {
  EXPECT_NEAR(actual, expected, relative * std::fabs(expected)) << what;
}

TEST_F(GaugeStudy, TypeOneWorkedByHandWithKTwentyAndLSix) {
  int32_t written = 0;
  const std::vector<double> f = Type1Study().Figures(&written);
  ASSERT_EQ(written, 20);
  EXPECT_EQ(f[1], 1.0);
  EXPECT_EQ(f[2], 25.0) << "the reading not taken is left out";
  ExpectRelative(f[3], 10.002, 1e-14, "mean");
  ExpectRelative(f[4], 0.003, 1e-9, "s");
  EXPECT_EQ(f[5], 9.999);
  EXPECT_EQ(f[6], 10.005);
  EXPECT_EQ(f[7], 10.0);
  EXPECT_EQ(f[8], 0.1);
  ExpectRelative(f[9], 0.002, 1e-9, "bias");
  ExpectRelative(f[10], 10.0 / 3, 1e-9, "t");
  EXPECT_EQ(f[11], 24.0);
  // Two-sided p of t = 10/3 with 24 degrees of freedom, 0.0027763 (SciPy: 2 t.sf(10/3, 24)); the
  // interval's quantile t(0.975, 24) = 2.0638986 (printed t tables: 2.064).
  ExpectRelative(f[12], 0.0027763142, 1e-8, "p");
  ExpectRelative(f[13], 0.002 - 2.0638986 * 0.0006, 1e-7, "interval's low end");
  ExpectRelative(f[14], 0.002 + 2.0638986 * 0.0006, 1e-7, "interval's high end");
  ExpectRelative(f[15], 0.02 / 0.018, 1e-9, "Cg = (20/100 · 0.1) / (6 · 0.003)");
  ExpectRelative(f[16], 0.008 / 0.009, 1e-9, "Cgk = (20/200 · 0.1 - 0.002) / (3 · 0.003)");
  ExpectRelative(f[17], 18.0, 1e-9, "%Var(repeatability) = 20 / Cg");
  ExpectRelative(f[18], 22.5, 1e-9, "%Var(repeatability and bias) = 20 / Cgk");
  EXPECT_EQ(f[19], 20.0);
  EXPECT_EQ(f[20], 6.0);
  EXPECT_EQ(f[21], kUntouched);
}

TEST_F(GaugeStudy, TypeOneWorkedByHandWithKFifteenAndLFour) {
  Study s = Type1Study();
  s.options = {kNaN, kNaN, kNaN, 15.0, 4.0, 0.99};
  const std::vector<double> f = s.Figures();
  ExpectRelative(f[15], 1.25, 1e-9, "Cg = (15/100 · 0.1) / (4 · 0.003)");
  ExpectRelative(f[16], 0.0055 / 0.006, 1e-9, "Cgk = (15/200 · 0.1 - 0.002) / (2 · 0.003)");
  ExpectRelative(f[17], 12.0, 1e-9, "%Var(repeatability) = 15 / Cg");
  ExpectRelative(f[18], 15.0 / (0.0055 / 0.006), 1e-9, "%Var(repeatability and bias) = 15 / Cgk");
  EXPECT_EQ(f[19], 15.0);
  EXPECT_EQ(f[20], 4.0);
  // At 99 %: t(0.995, 24) = 2.7969395 (printed tables: 2.797).
  ExpectRelative(f[13], 0.002 - 2.7969395 * 0.0006, 1e-7, "interval's low end");
  ExpectRelative(f[14], 0.002 + 2.7969395 * 0.0006, 1e-7, "interval's high end");
}

// ---- Degenerate but valid studies --------------------------------------------------

TEST_F(GaugeStudy, NoMeasurementErrorGivesInfiniteNdc) {
  // Every appraiser reads each part the same every time: EV = AV = GRR = 0 while the parts differ.
  Study s;
  s.parts = 3;
  s.appraisers = 2;
  s.trials = 2;
  for (int a = 0; a < 2; ++a)
    for (double part : {1.0, 2.0, 4.0}) s.readings.insert(s.readings.end(), {part, part});
  const std::vector<double> f = s.Figures();
  EXPECT_EQ(f[37], 0.0);
  EXPECT_GT(f[38], 0.0);
  EXPECT_EQ(f[57], std::numeric_limits<double>::infinity());
  EXPECT_EQ(f[42], 0.0);
  EXPECT_EQ(f[43], 100.0);
}

// Found by fuzzing: the squares of the average and range method's sigmas underflowed for readings near 1e-160 and
// put %EV of TV above 100. Scaled by a power of 2, the study's percentages are those of the study itself.
TEST_F(GaugeStudy, AverageAndRangePercentagesDoNotDependOnTheReadingsScale) {
  const Study aiag = AiagStudy();
  Study tiny = aiag;
  for (size_t i = 1; i < tiny.readings.size(); ++i) tiny.readings[i] = std::ldexp(tiny.readings[i], -530);
  const std::vector<double> f = aiag.Figures(), g = tiny.Figures();
  for (int i = 67; i <= 70; ++i) EXPECT_EQ(g[i], f[i]) << "element " << i;
  EXPECT_EQ(g[64], std::ldexp(f[64], -530));
  EXPECT_EQ(g[72], f[72]);
}

TEST_F(GaugeStudy, TypeThreeHasNoAppraiserOrInteractionFigures) {
  Study s;
  s.kind = kGaugeNoAppraiser;
  s.parts = 4;
  s.appraisers = 1;
  s.trials = 2;
  s.readings.insert(s.readings.end(), {1.0, 1.2, 2.0, 2.2, 3.1, 2.9, 4.0, 4.4});
  int32_t written = 0;
  const std::vector<double> f = s.Figures(&written);
  ASSERT_EQ(written, 77);
  // By hand: cell means 1.1, 2.1, 3.0, 4.2; SS_e = 0.02 + 0.02 + 0.02 + 0.08 = 0.14 on 4 df;
  // grand mean 2.6, SS_part = 2 (1.5² + 0.5² + 0.4² + 1.6²) = 10.44 on 3 df.
  EXPECT_NEAR(f[11], 10.44, 1e-12);
  EXPECT_NEAR(f[14], 0.14, 1e-12);
  EXPECT_NEAR(f[20], (10.44 / 3) / (0.14 / 4), 1e-9);
  for (int i : {7, 8, 12, 13, 17, 18, 21, 22, 24, 25, 26, 30, 31, 36}) EXPECT_EQ(f[i], 0.0) << "element " << i;
  EXPECT_NEAR(f[28], 0.035, 1e-12);
  EXPECT_NEAR(f[33], (3.48 - 0.035) / 2, 1e-12);
  for (int i = 59; i <= 75; ++i) EXPECT_EQ(f[i], 0.0) << "no average and range method with one appraiser";
  EXPECT_NEAR(f[76], (0.2 + 0.2 + 0.2 + 0.4) / 4, 1e-12);
  EXPECT_NEAR(f[77], 2.6, 1e-12);
}

// ---- Refused requests ----------------------------------------------------------------

// The request is refused: 0 and not one element of the output written.
void ExpectRefused(const Study& s, const char* why, int32_t capacity = 200) {
  std::vector<double> figures(capacity > 0 ? capacity + 1 : 1, kUntouched);
  EXPECT_EQ(Gauge_StudyFigures(s.Request(), figures.data(), capacity), 0) << why;
  for (size_t i = 0; i < figures.size(); ++i) EXPECT_EQ(figures[i], kUntouched) << why << ": element " << i;
}

TEST_F(GaugeStudy, RefusesTypeOneOutsideItsContract) {
  Study s = Type1Study();
  Study oneReading = s;
  for (size_t i = 2; i < oneReading.readings.size(); ++i) oneReading.readings[i] = kNaN;
  ExpectRefused(oneReading, "fewer than 2 readings that are numbers");
  Study t = s;
  t.tolerance = 0;
  ExpectRefused(t, "tolerance 0");
  t.tolerance = -0.1;
  ExpectRefused(t, "negative tolerance");
  t.tolerance = kNaN;
  ExpectRefused(t, "tolerance not a number");
  Study shape = s;
  shape.parts = 2;
  shape.trials = 13;
  ExpectRefused(shape, "two parts");
  shape = s;
  shape.appraisers = 2;
  shape.trials = 13;
  ExpectRefused(shape, "two appraisers");
  Study same = s;
  for (size_t i = 1; i < same.readings.size(); ++i) same.readings[i] = 10.002;
  ExpectRefused(same, "no spread: Cg and Cgk have no value");
  Study infinite = s;
  infinite.readings[3] = std::numeric_limits<double>::infinity();
  ExpectRefused(infinite, "an infinite reading");
}

TEST_F(GaugeStudy, RefusesCrossedAndTypeThreeStudiesOutsideTheirContract) {
  const Study aiag = AiagStudy();
  Study s = aiag;
  s.readings[17] = kNaN;
  ExpectRefused(s, "a reading not taken (unbalanced)");
  s = aiag;
  s.readings[17] = -std::numeric_limits<double>::infinity();
  ExpectRefused(s, "an infinite reading");
  s = aiag;
  s.parts = 1;
  ExpectRefused(s, "one part");
  s = aiag;
  s.trials = 1;
  ExpectRefused(s, "one trial");
  s = aiag;
  s.appraisers = 1;
  ExpectRefused(s, "type 2 with one appraiser");
  s = aiag;
  s.kind = kGaugeNoAppraiser;
  ExpectRefused(s, "type 3 with three appraisers");
  s = aiag;
  s.parts = -10;
  s.appraisers = -3;
  ExpectRefused(s, "negative sizes");
  s = aiag;
  s.parts = 100;
  s.appraisers = 30;
  s.trials = 22;  // 66 000 readings; the 90 there must not be read
  ExpectRefused(s, "more than 65 535 readings");
  s = aiag;
  s.parts = 65536;
  s.appraisers = 65536;
  s.trials = 2;  // a product past 32 bits
  ExpectRefused(s, "a count that overflows 32 bits");
  s = aiag;
  s.parts = s.appraisers = s.trials = 2097152;  // 2^63: a product past 64 bits
  ExpectRefused(s, "a count that overflows 64 bits");
  s = aiag;
  for (size_t i = 1; i < s.readings.size(); ++i) s.readings[i] = 0.25;
  ExpectRefused(s, "every reading the same");
  s = aiag;
  s.readings[1] = 1e300;
  s.readings[2] = -1e300;
  ExpectRefused(s, "readings whose squares overflow");
  for (int32_t kind : {0, 4, -1}) {
    s = aiag;
    s.kind = kind;
    ExpectRefused(s, "unknown kind");
  }
  GaugeRequest noArray = aiag.Request();
  noArray.readings = nullptr;
  std::vector<double> figures(100, kUntouched);
  EXPECT_EQ(Gauge_StudyFigures(noArray, figures.data(), 99), 0);
  EXPECT_EQ(figures[1], kUntouched);
  EXPECT_EQ(Gauge_StudyFigures(aiag.Request(), nullptr, 99), 0);
}

TEST_F(GaugeStudy, RefusesOptionsOutOfRange) {
  const Study aiag = AiagStudy();
  const struct {
    int element;
    double value;
    const char* why;
  } outOfRange[] = {{1, 0.0, "multiplier 0"},   {1, -6.0, "negative multiplier"},
                    {1, HUGE_VAL, "infinite multiplier"},
                    {2, -0.01, "alpha below 0"}, {2, 1.01, "alpha above 1"},
                    {3, 0.0, "K 0"},             {3, 100.5, "K above 100"},
                    {3, -20.0, "negative K"},    {4, 0.0, "L 0"},
                    {4, -6.0, "negative L"},     {5, 0.49, "confidence below 0.5"},
                    {5, 1.01, "confidence above 1"}, {5, 1.0, "confidence 1: no finite interval"}};
  for (const auto& o : outOfRange) {
    Study s = aiag;
    s.options.assign(6, kNaN);
    s.options[o.element] = o.value;
    ExpectRefused(s, o.why);
    Study t = Type1Study();
    t.options = s.options;
    ExpectRefused(t, o.why);
  }
  GaugeRequest r = aiag.Request();
  std::vector<double> figures(100, kUntouched);
  r.optionCount = -1;
  EXPECT_EQ(Gauge_StudyFigures(r, figures.data(), 99), 0) << "negative option count";
  r.optionCount = 3;
  r.options = nullptr;
  EXPECT_EQ(Gauge_StudyFigures(r, figures.data(), 99), 0) << "a count without an array";
  EXPECT_EQ(figures[1], kUntouched);
}

TEST_F(GaugeStudy, OptionsAtTheEdgesOfTheirRangesAndBeyondTheLastAreTaken) {
  Study s = AiagStudy();
  s.options = {kNaN, 5.15, 0.0, 100.0, 1e-3, 0.5, 12345.0, -1.0};  // elements 6 and 7 are not options (yet)
  int32_t written = 0;
  const std::vector<double> f = s.Figures(&written);
  EXPECT_EQ(written, 81);
  EXPECT_EQ(f[58], 5.15);
  EXPECT_EQ(f[27], 0.0);
  EXPECT_EQ(f[26], 1.0) << "alpha 0 removes the interaction whenever its p-value is above 0";
  s.options = {kNaN, kNaN, kNaN, kNaN};  // not a number: the defaults
  EXPECT_EQ(s.Figures()[58], 6.0);
  EXPECT_EQ(s.Figures()[27], 0.05);
}

TEST_F(GaugeStudy, CapacityBelowOneWritesNothing) {
  ExpectRefused(AiagStudy(), "capacity 0", 0);
  std::vector<double> figures(4, kUntouched);
  EXPECT_EQ(Gauge_StudyFigures(AiagStudy().Request(), figures.data(), -5), 0);
  for (double x : figures) EXPECT_EQ(x, kUntouched);
}

TEST_F(GaugeStudy, FiguresStopAtTheCapacity) {
  const Study aiag = AiagStudy();
  const std::vector<double> whole = aiag.Figures();
  for (int32_t capacity : {1, 5, 20, 75, 76, 80, 81}) {
    std::vector<double> figures(90, kUntouched);
    EXPECT_EQ(Gauge_StudyFigures(aiag.Request(), figures.data(), capacity), capacity);
    EXPECT_EQ(figures[0], kUntouched);
    for (int32_t i = 1; i <= capacity; ++i) EXPECT_EQ(std::memcmp(&figures[i], &whole[i], sizeof(double)), 0) << i;
    for (size_t i = capacity + 1; i < figures.size(); ++i) EXPECT_EQ(figures[i], kUntouched) << capacity << " " << i;
  }
  std::vector<double> type1(30, kUntouched);
  EXPECT_EQ(Gauge_StudyFigures(Type1Study().Request(), type1.data(), 29), 20);
  EXPECT_EQ(Gauge_StudyFigures(Type1Study().Request(), type1.data(), 7), 7);
  EXPECT_EQ(type1[21], kUntouched);
}

// ---- Independent figures of random studies ------------------------------------------

struct ReferenceStudy {
  std::string name;
  Study study;
  std::vector<double> expected{kNaN};  // element i: figure i
};

std::vector<double> NumbersOf(std::istringstream& fields) {
  std::vector<double> numbers;
  for (std::string token; fields >> token;) numbers.push_back(std::strtod(token.c_str(), nullptr));  // "nan" too
  return numbers;
}

std::vector<ReferenceStudy> ReadReferenceStudies() {
  std::istringstream in(ReadTestFile("gauge_study_reference.txt"));
  std::vector<ReferenceStudy> studies;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string key;
    fields >> key;
    if (key == "case") {
      studies.emplace_back();
      fields >> studies.back().name;
    } else if (key == "input") {
      const std::vector<double> v = NumbersOf(fields);
      Study& s = studies.back().study;
      s.kind = static_cast<int32_t>(v.at(0));
      s.parts = static_cast<int32_t>(v.at(1));
      s.appraisers = static_cast<int32_t>(v.at(2));
      s.trials = static_cast<int32_t>(v.at(3));
      s.reference = v.at(4);
      s.tolerance = v.at(5);
    } else if (key == "options") {
      studies.back().study.options = NumbersOf(fields);
    } else if (key == "readings") {
      std::vector<double> readings = NumbersOf(fields);
      studies.back().study.readings.insert(studies.back().study.readings.end(), readings.begin(), readings.end());
    } else if (key == "result") {
      const std::vector<double> v = NumbersOf(fields);
      ReferenceStudy& c = studies.back();
      EXPECT_EQ(static_cast<size_t>(v.at(0)), c.expected.size()) << c.name;
      c.expected.push_back(v.at(1));
    }
  }
  return studies;
}

// How close each figure must come to the independent one: 1e-10 of its size. The two implementations
// sum in different orders and take p-values and quantiles from different libraries (Boost.Math, SciPy);
// measured, they differ by at most 3e-11 of a figure, most of it from readings near 100 that vary in
// the fourth decimal (sums of squared deviations keep about 12 of their 16 digits). Counts, flags,
// ndc and the sizes are whole numbers, so 1e-10 of them asks for the same number. The type 1 figures
// that are differences of x̄ and the reference (bias, the interval's ends, t) can only be as exact as
// x̄ itself: for them 1e-12 of |x̄| (and of |x̄| / standard error for t) is the floor; and the p-value
// of t carries t's difference on, magnified in the tail by about 1 + t² (d ln p / d ln t).
double AllowedDifference(const ReferenceStudy& c, int32_t i) {
  const double e = std::fabs(c.expected[i]);
  double floor = 0.0;
  if (c.study.kind == kGaugeType1) {
    const double mean = std::fabs(c.expected[3]), standardError = c.expected[4] / std::sqrt(c.expected[2]);
    if (i == 9 || i == 13 || i == 14) floor = 1e-12 * mean;
    if (i == 10) floor = 1e-12 * mean / standardError;
    if (i == 12) floor = 1e-10 * e * (1 + c.expected[10] * c.expected[10]);
  }
  return std::max(1e-10 * e, floor);
}

TEST_F(GaugeStudy, MatchesIndependentFiguresOfRandomStudies) {
  const std::vector<ReferenceStudy> studies = ReadReferenceStudies();
  ASSERT_EQ(studies.size(), 100u);
  int removed = 0, kept = 0, averageRange = 0;
  for (const ReferenceStudy& c : studies) {
    SCOPED_TRACE(c.name);
    int32_t written = 0;
    const std::vector<double> f = c.study.Figures(&written);
    ASSERT_EQ(static_cast<size_t>(written) + 1, c.expected.size());
    for (int32_t i = 1; i <= written; ++i)
      EXPECT_NEAR(f[i], c.expected[i], AllowedDifference(c, i)) << "element " << i;
    if (c.study.kind == kGaugeCrossed) {
      (f[26] == 1.0 ? removed : kept) += 1;
      averageRange += f[59] != 0.0;
    }
  }
  // The random studies reach both models and the average and range method.
  EXPECT_GE(removed, 10);
  EXPECT_GE(kept, 10);
  EXPECT_GE(averageRange, 15);
}

}  // namespace
