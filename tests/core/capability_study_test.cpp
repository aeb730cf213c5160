// The capability study: its figures against R on worked examples, against the
// independent implementation tests/data/capability_reference.py over random
// studies, against today's SPC figures, and its refusals and capacity.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "core_test_support.h"
#include "spc/core/capability_results.h"
#include "spc/core/capability_study.h"
#include "spc/core/spc_request.h"

namespace {

using namespace coretest;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kUnwritten = -7.25e-301;  // in every element the study must not write

// The study's arguments, with defaults: both limits in force, subgroups of 5 by the mean range.
struct Study {
  std::vector<double> values{kNaN};  // element 0 never read
  int32_t sampleSize = 5;
  uint32_t norm = 1;
  double nom = 10.0, usl = 10.15, lsl = 9.85;
  uint32_t uslOn = 1, lslOn = 1;
  std::vector<double> options{kNaN};  // element 0 never read

  Study() = default;
  explicit Study(const std::vector<double>& readings) { values.insert(values.end(), readings.begin(), readings.end()); }
  Study& Option(int element, double value) {
    if (static_cast<int>(options.size()) <= element) options.resize(element + 1, kNaN);
    options[element] = value;
    return *this;
  }
  int32_t count() const { return static_cast<int32_t>(values.size()) - 1; }
  int32_t optionCount() const { return static_cast<int32_t>(options.size()) - 1; }

  // The figures at 1 .. capacity (element 0 and those past the capacity stay kUnwritten); the count in `written`.
  std::vector<double> Run(int32_t* written = nullptr, int32_t capacity = kCapabilityResultCount) const {
    std::vector<double> results(kCapabilityResultCount + 3, kUnwritten);
    int32_t count = Capability_Statistics(values.data(), this->count(), sampleSize, norm, nom, usl, lsl, uslOn,
                                          lslOn, options.data(), optionCount(), results.data(), capacity);
    if (written) *written = count;
    return results;
  }
};

// The runout of 30 parts (mm), bounded at 0 and skewed to the right; USL 0.05 only.
const std::vector<double> kRunout = {0.0121, 0.0087, 0.0234, 0.0156, 0.0098, 0.0312, 0.0143, 0.0076, 0.0189, 0.0110,
                                     0.0267, 0.0132, 0.0095, 0.0178, 0.0411, 0.0124, 0.0083, 0.0147, 0.0201, 0.0116,
                                     0.0069, 0.0158, 0.0223, 0.0105, 0.0139, 0.0291, 0.0092, 0.0167, 0.0128, 0.0184};

// 25 diameters (mm) in subgroups of 5; tolerance 10 ± 0.15.
const std::vector<double> kDiameters = {10.021, 9.987, 10.034, 10.002, 9.968, 10.045, 10.011, 9.992, 10.027, 9.979,
                                        9.958, 10.016, 10.038, 10.004, 9.981, 10.029, 9.995, 10.052, 10.013, 9.974,
                                        10.008, 9.989, 10.041, 10.019, 9.963};

class CapabilityStudy : public ::testing::Test {
 protected:
  void SetUp() override { LoadTestConstants(); }
};

bool Near(double actual, double expected, double relative, double absolute = 0.0) {
  if (std::isnan(expected)) return std::isnan(actual);
  if (std::isinf(expected)) return actual == expected;
  return std::fabs(actual - expected) <= relative * std::fabs(expected) + absolute;
}

// ---- Worked examples, against R -------------------------------------------
// Computed once with R 4.2.2 (r-base-core, r-cran-mass 7.3, r-cran-nortest 1.0):
//   x <- c(10.021, 9.987, ...)          # kDiameters; usl <- 10.15; lsl <- 9.85; tg <- 10; lev <- 0.95; n <- 25
//   d2_5 <- 2.3259999752044678; d2_2 <- 1.128000020980835   # the table's single-precision d2(5), d2(2)
//   m <- mean(x); s <- sd(x); sig <- mean(apply(matrix(x, nrow=5), 2, function(v) diff(range(v)))) / d2_5
//   nu <- 5 * d2_5^2 / (2 * 0.864^2)    # Patnaik: nu of R-bar/d2 = k d2^2 / (2 d3^2)
//   Pp <- (usl-lsl)/(6*s); PPL <- (m-lsl)/(3*s); PPU <- (usl-m)/(3*s); Cp, CPL, CPU likewise with sig
//   Cpm <- (usl-lsl)/(6*sqrt(s^2+(m-tg)^2)); a <- 1-lev; z <- qnorm(1-a/2)
//   chi <- function(i, v) i*sqrt(qchisq(c(a/2,1-a/2), v)/v)
//   bis <- function(i, nv, v) i + c(-1,1)*z*sqrt(1/(9*nv)+i^2/(2*v))
//   chi(Pp, n-1); bis(Ppk, n, n-1); chi(Cp, nu); bis(Cpk, n, nu)
//   d <- (m-tg)/s; chi(Cpm, n*(1+d^2)^2/(1+2*d^2))
//   pnorm(lsl,m,s)*1e6; pnorm(usl,m,s,lower.tail=FALSE)*1e6; the same with sig; qnorm(total/1e6, lower.tail=FALSE)
//   ad.test(x)                           # nortest: A and the p-value of A*(1 + 0.75/n + 2.25/n^2)
// With the USL alone and subgroups of 1: sig1 <- mean(abs(diff(x)))/d2_2 and
//   nu1 <- 1/(2*((24*va + 2*23*ca)/24^2)/(4/pi)), va <- 2*(1-2/pi), ca <- 4/pi*(sqrt(3)/2 + pi/12 - 1).

void ExpectFigures(const std::vector<double>& actual, const std::vector<std::pair<int, double>>& expected,
                   double relative, const char* what) {
  for (const auto& [figure, value] : expected)
    EXPECT_TRUE(Near(actual[figure], value, relative))
        << what << " figure " << figure << ": " << actual[figure] << ", R gives " << value;
}

void ExpectNaN(const std::vector<double>& actual, std::initializer_list<int> figures, const char* what) {
  for (int figure : figures) EXPECT_TRUE(std::isnan(actual[figure])) << what << " figure " << figure << " is " << actual[figure];
}

TEST_F(CapabilityStudy, NormalStudyWithTwoLimitsEqualsR) {
  int32_t written = 0;
  std::vector<double> f = Study(kDiameters).Run(&written);
  EXPECT_EQ(written, 55);
  EXPECT_EQ(f[0], kUnwritten);
  EXPECT_EQ(f[56], kUnwritten);
  ExpectFigures(f, {{1, 25}, {2, 0}, {3, 10.005839999999999179}, {4, 0.026749890965509924},
                    {5, 0.031642304722522871}, {6, 5}, {7, 5}, {8, 1.869166497331439913}, {9, 1.941939379627533713},
                    {10, 1.796393615035346336}, {11, 1.796393615035346336}, {12, 1.580163026633464973},
                    {13, 1.641684040470385630}, {14, 1.518642012796544094}, {15, 1.518642012796544094},
                    {16, 1.826153073159145102}, {17, 1.3436103835292312}, {18, 2.3938250307219477},
                    {19, 1.2716711854239051}, {20, 2.3211160446467876}, {21, 1.0701703705516283},
                    {22, 2.0895822804730289}, {23, 1.0072183851000327}, {24, 2.0300656404930555},
                    {25, 1.3234207167304166}, {26, 2.3279989301077082}, {27, 0}, {28, 0}, {29, 0},
                    {30, 0.002841673986285174}, {31, 0.035389777339821876}, {32, 0.038231451326107051},
                    {33, 0.421689355112331743}, {34, 2.607764366166759995}, {35, 3.029453721279091738},
                    {36, 5.375282027184317357}, {37, 4.524323207633177191}, {38, 0.16586230458282358},
                    {39, 0.17143527801680647}, {40, 0.93091881594878290}, {41, 0}, {52, 1}, {53, 0}, {54, 10},
                    {55, 0.95}},
                1e-10, "two limits");
  ExpectNaN(f, {42, 43, 44, 45, 46, 47, 48, 49, 50, 51}, "normal only");
}

TEST_F(CapabilityStudy, NormalStudyWithTheUpperLimitAloneEqualsR) {
  Study study(kDiameters);
  study.sampleSize = 1;
  study.lslOn = 0;
  std::vector<double> f = study.Run();
  ExpectFigures(f, {{5, 0.03390957383736589}, {6, 25}, {7, 1}, {10, 1.79639361503534634},
                    {11, 1.79639361503534634}, {14, 1.41710224858038303}, {15, 1.41710224858038303},
                    {19, 1.27167118542390511}, {20, 2.32111604464678756}, {23, 0.88861921874367999},
                    {24, 1.94558527841708617}, {27, 0}, {28, 0}, {29, 0}, {30, 0}, {31, 0.035389777339821876},
                    {32, 0.035389777339821876}, {33, 0}, {34, 10.626342500085637965}, {35, 10.626342500085637965},
                    {36, 5.389180845106038120}, {37, 4.251306745741147530}},
                1e-10, "upper limit alone");
  ExpectNaN(f, {8, 9, 12, 13, 16, 17, 18, 21, 22, 25, 26}, "a figure of both limits or of the lower one");
}

// The runout of kRunout, USL 0.05 alone, computed with R as above and
//   adf <- function(F, S) -n - sum((2*(1:n)-1)*(log(F(sort(r))) + log(S(rev(sort(r))))))/n
//   ln <- fitdistr(r, "lognormal")$estimate; ql <- qlnorm(c(0.00135, 0.5, 0.99865), ln[1], ln[2])
//   (U-ql[2])/(ql[3]-ql[2]); plnorm(U, ln[1], ln[2], lower.tail=FALSE)*1e6
//   h <- function(b) sum(r^b*log(r))/sum(r^b) - 1/b - mean(log(r))     # the Weibull shape's likelihood equation
//   b <- uniroot(h, c(0.5, 20), tol=1e-14)$root; sc <- mean(r^b)^(1/b)  # 2.2132024, 0.018280954
//   (fitdistr(r, "weibull") stops at 2.2168743, 0.018326458: its optimiser's tolerance, 1.7e-3 off the root)
//   llf <- function(l) { y <- if (l == 0) log(r) else (r^l-1)/l; -n/2*log(mean((y-mean(y))^2)) + (l-1)*sum(log(r)) }
//   lam <- optimize(llf, c(-5, 5), maximum=TRUE, tol=1e-12)$maximum    # boxcox(r ~ 1) peaks at -0.41 on its grid
//   y <- (r^lam-1)/lam; mu <- mean(y); sg <- sqrt(mean((y-mu)^2)); qb <- (1 + lam*(mu + sg*qnorm(qs)))^(1/lam)
//   pnorm(((U^lam-1)/lam-mu)/sg, lower.tail=FALSE)*1e6
class SkewedRunout : public CapabilityStudy {
 protected:
  std::vector<double> Fitted(double distribution) {
    Study study(kRunout);
    study.sampleSize = 1;
    study.nom = 0.0;
    study.usl = 0.05;
    study.lslOn = 0;
    study.Option(kCapabilityOptionDistribution, distribution);
    return study.Run();
  }
};

TEST_F(SkewedRunout, NormalityIsRejectedAsInR) {
  ExpectFigures(Fitted(0), {{3, 0.0161199999999999989}, {4, 0.0078757769184357625}, {38, 1.0997701397465995},
                            {39, 1.1300138185896309}, {40, 0.00589413217573}},
                1e-10, "runout");
}

TEST_F(SkewedRunout, LognormalFitEqualsR) {
  std::vector<double> f = Fitted(1);
  ExpectFigures(f, {{41, 1}, {42, -4.2265475329096276}, {43, 0.4338235510240081}, {44, 0.17352761619642720},
                    {47, 0.90629076636626615}, {48, 0.90629076636626615}, {49, 0}, {50, 2276.02987090183023611},
                    {51, 2276.02987090183023611}},
                1e-10, "lognormal");
  ExpectNaN(f, {45, 46}, "lognormal without LSL");
}

TEST_F(SkewedRunout, WeibullFitEqualsTheRootOfItsLikelihoodEquationInR) {
  ExpectFigures(Fitted(2), {{41, 2}, {42, 2.213202376702413154}, {43, 0.018280954227485085},
                            {44, 0.72576071339511472}, {47, 1.25873609329384628}, {48, 1.25873609329384628},
                            {49, 0}, {50, 94.15656900549576847}, {51, 94.15656900549576847}},
                1e-9, "Weibull");
}

TEST_F(SkewedRunout, BoxCoxFitEqualsR) {
  // λ maximises a flat likelihood: R's optimize() and the study agree on it to about 1e-8.
  ExpectFigures(Fitted(3), {{41, 3}, {42, -0.41459457838397040}, {43, 0}, {44, 0.082073042189797718},
                            {47, 0.519719862287247203}, {48, 0.519719862287247203}, {49, 0},
                            {50, 9314.421363620238480507}, {51, 9314.421363620238480507}},
                1e-6, "Box-Cox");
}

TEST_F(SkewedRunout, BestFitIsTheBoxCoxFitWithTheSmallestAndersonDarlingStatistic) {
  std::vector<double> best = Fitted(4), boxCox = Fitted(3);
  for (int i = 1; i <= kCapabilityResultCount; ++i)
    EXPECT_TRUE(Near(best[i], boxCox[i], 0.0)) << "figure " << i << ": " << best[i] << " vs " << boxCox[i];
}

TEST_F(SkewedRunout, GivenLambdaIsUsedAsGiven) {
  Study study(kRunout);
  study.sampleSize = 1;
  study.usl = 0.05;
  study.lslOn = 0;
  study.Option(kCapabilityOptionDistribution, 3).Option(kCapabilityOptionBoxCoxLambda, 0.0);
  std::vector<double> f = study.Run(), lognormal = Fitted(1);
  EXPECT_EQ(f[41], 3);
  EXPECT_EQ(f[42], 0.0);
  // λ = 0 is the logarithm: the lognormal fit's indices and ppm.
  for (int i : {44, 47, 48, 50}) EXPECT_TRUE(Near(f[i], lognormal[i], 1e-12)) << "figure " << i;
}

TEST_F(SkewedRunout, ValueAtZeroGivesNoFitAndTheNotPositiveFlag) {
  Study study(kRunout);
  study.values[7] = 0.0;
  study.sampleSize = 1;
  study.usl = 0.05;
  study.lslOn = 0;
  for (double distribution : {1, 2, 3, 4}) {
    study.Option(kCapabilityOptionDistribution, distribution);
    int32_t written = 0;
    std::vector<double> f = study.Run(&written);
    EXPECT_EQ(written, 55);
    EXPECT_EQ(f[41], -1) << "distribution " << distribution;
    ExpectNaN(f, {42, 43, 44, 45, 46, 47, 48, 49, 50, 51}, "no fit");
    EXPECT_TRUE(std::isfinite(f[11]) && std::isfinite(f[38])) << "the normal figures stay";
  }
}

TEST_F(CapabilityStudy, EqualValuesGiveNoFitAndTheTooFewValuesFlag) {
  Study study(std::vector<double>(12, 10.0));
  study.Option(kCapabilityOptionDistribution, 2);
  std::vector<double> f = study.Run();
  EXPECT_EQ(f[41], -3);
  ExpectNaN(f, {8, 11, 12, 15, 38, 42, 45}, "no spread");
}

TEST_F(CapabilityStudy, TwoValuesWithEqualLogarithmsGiveNoLognormalFit) {
  std::vector<double> values;
  for (int i = 0; i < 2; ++i) values.push_back(i % 2 ? 1e100 : std::nextafter(1e100, 2e100));
  ASSERT_EQ(std::log(values[0]), std::log(values[1]));
  Study study(values);
  study.nom = 1e100, study.usl = 2e100, study.lsl = 0.5e100;
  study.Option(kCapabilityOptionDistribution, 1);
  std::vector<double> f = study.Run();
  EXPECT_EQ(f[41], -3);
  ExpectNaN(f, {42, 43, 44, 48, 51}, "no lognormal fit");
}

// ---- Agreement with today's SPC figures ------------------------------------

TEST_F(CapabilityStudy, PpPpkCpCpkEqualTodaysCmCmkCpCpkWithoutMissingValues) {
  std::vector<double> values;
  uint32_t state = 12345;
  for (int i = 0; i < 103; ++i) {  // 103: the last subgroup is incomplete for most sizes
    state = state * 1103515245u + 12345u;
    values.push_back(10.0 + ((state >> 8) % 2001 - 1000) * 1e-4 + (i % 7) * 3e-4);
  }
  for (int lowerOn : {1, 0})
    for (uint32_t norm = 0; norm <= 3; ++norm)
      for (int32_t size = 2; size <= 25; ++size) {
        Study study(values);
        study.sampleSize = size;
        study.norm = norm;
        study.lslOn = lowerOn;
        std::vector<double> f = study.Run();
        SpcRequest chart = SPC_RequestOfArguments(11, study.values.data(), study.count(), study.nom, study.usl,
                                                  study.lsl, study.uslOn, study.lslOn, size, norm);
        SpcResult today{};
        ASSERT_TRUE(SPC_ComputeRequest(chart, today));
        const char* sides = lowerOn ? "both limits" : "USL alone";
        EXPECT_TRUE(Near(f[11], today.stats.Cmk, 1e-12)) << sides << " norm " << norm << " size " << size;
        EXPECT_TRUE(Near(f[15], today.stats.Cpk, 1e-12)) << sides << " norm " << norm << " size " << size;
        EXPECT_TRUE(Near(f[5], today.stats.sigmaWithin, 1e-12)) << sides << " norm " << norm << " size " << size;
        if (lowerOn) {
          EXPECT_TRUE(Near(f[8], today.stats.Cm, 1e-12)) << "norm " << norm << " size " << size;
          EXPECT_TRUE(Near(f[12], today.stats.Cp, 1e-12)) << "norm " << norm << " size " << size;
        }
      }
}

// ---- Missing values, refusals, capacity ------------------------------------

TEST_F(CapabilityStudy, ValuesThatAreNotNumbersAreLeftOutAndCounted) {
  Study plain(kDiameters), gappy(kDiameters);
  gappy.values.insert(gappy.values.begin() + 4, kNaN);
  gappy.values.insert(gappy.values.begin() + 9, kInf);
  gappy.values.push_back(-kInf);
  std::vector<double> a = plain.Run(), b = gappy.Run();
  EXPECT_EQ(b[1], 25);
  EXPECT_EQ(b[2], 3);
  for (int i = 3; i <= kCapabilityResultCount; ++i) EXPECT_TRUE(Near(b[i], a[i], 0.0)) << "figure " << i;
}

TEST_F(CapabilityStudy, OptionsNotGivenOrNotANumberTakeTheirDefaults) {
  Study study(kDiameters);
  study.Option(4, kNaN);
  std::vector<double> f = study.Run();
  EXPECT_EQ(f[54], 10.0);
  EXPECT_EQ(f[55], 0.95);
  EXPECT_EQ(f[41], 0);
  study.Option(kCapabilityOptionTarget, 10.01).Option(kCapabilityOptionLevel, 0.99);
  f = study.Run();
  EXPECT_EQ(f[54], 10.01);
  EXPECT_EQ(f[55], 0.99);
  EXPECT_GT(f[18], Study(kDiameters).Run()[18]) << "a wider interval at 99 %";
}

void ExpectRefused(const Study& study, const char* why, int32_t capacity = kCapabilityResultCount) {
  int32_t written = -1;
  std::vector<double> f = study.Run(&written, capacity);
  EXPECT_EQ(written, 0) << why;
  for (double element : f) EXPECT_EQ(element, kUnwritten) << why << ": nothing written";
}

TEST_F(CapabilityStudy, RequestsOutsideTheContractAreRefusedAndWriteNothing) {
  Study good(kDiameters);
  { Study s = good; s.values.resize(1); ExpectRefused(s, "no values"); }
  { Study s(std::vector<double>(65536, 10.0)); ExpectRefused(s, "more than 65 535 values"); }
  { Study s = good; s.sampleSize = 0; ExpectRefused(s, "SampleSize 0"); }
  { Study s = good; s.sampleSize = -3; ExpectRefused(s, "SampleSize negative"); }
  { Study s = good; s.norm = 4; ExpectRefused(s, "SPCNorm 4"); }
  { Study s = good; s.norm = 0xFFFF; ExpectRefused(s, "SPCNorm -1"); }
  { Study s = good; s.uslOn = s.lslOn = 0; ExpectRefused(s, "no limit in force"); }
  { Study s = good; s.uslOn = 0x10000; s.lslOn = 0xFFFF; ExpectRefused(s, "no limit in force (low halves 0 and -1)"); }
  { Study s = good; s.usl = kInf; ExpectRefused(s, "infinite USL in force"); }
  { Study s = good; s.lsl = kNaN; ExpectRefused(s, "LSL in force not a number"); }
  { Study s = good; s.lsl = s.usl; ExpectRefused(s, "LSL equal to USL"); }
  { Study s = good; s.lsl = 10.2; ExpectRefused(s, "LSL above USL"); }
  { Study s = good; s.Option(1, kInf); ExpectRefused(s, "infinite target"); }
  for (double level : {0.5, 1.0, 0.3, 1.5, -kInf})
    { Study s = good; s.Option(2, level); ExpectRefused(s, "level outside 0.5 .. 1"); }
  for (double distribution : {-1.0, 5.0, 1.5, kInf})
    { Study s = good; s.Option(3, distribution); ExpectRefused(s, "distribution not 0 .. 4"); }
  for (double lambda : {-5.01, 5.5, kInf})
    { Study s = good; s.Option(4, lambda); ExpectRefused(s, "lambda outside -5 .. 5"); }
  ExpectRefused(good, "capacity 0", 0);
  ExpectRefused(good, "capacity negative", -1);
  std::vector<double> results(60, kUnwritten);
  EXPECT_EQ(Capability_Statistics(good.values.data(), good.count(), 5, 1, 10, 10.15, 9.85, 1, 1, nullptr, 2,
                                  results.data(), 55), 0) << "an option count without an array";
  EXPECT_EQ(Capability_Statistics(good.values.data(), good.count(), 5, 1, 10, 10.15, 9.85, 1, 1, good.options.data(),
                                  -1, results.data(), 55), 0) << "a negative option count";
  EXPECT_EQ(Capability_Statistics(nullptr, 25, 5, 1, 10, 10.15, 9.85, 1, 1, nullptr, 0, results.data(), 55), 0)
      << "values to read but no array";
  for (double element : results) EXPECT_EQ(element, kUnwritten);
  EXPECT_EQ(Capability_Statistics(good.values.data(), good.count(), 5, 1, 10, 10.15, 9.85, 1, 1, nullptr, 0, nullptr,
                                  55), 0) << "no results array";
}

TEST_F(CapabilityStudy, SPCNormAndLimitSwitchesReadOnlyTheLowHalfAsTheSPCExportsDo) {
  Study plain(kDiameters), high(kDiameters);
  high.norm = 0x30001;
  high.uslOn = 0x50001;
  std::vector<double> a = plain.Run(), b = high.Run();
  for (int i = 1; i <= kCapabilityResultCount; ++i) EXPECT_TRUE(Near(b[i], a[i], 0.0)) << "figure " << i;
}

TEST_F(CapabilityStudy, CapacityCutsTheFiguresAndNothingIsWrittenPastIt) {
  std::vector<double> full = Study(kDiameters).Run();
  for (int32_t capacity : {1, 10, 54, 55, 56, 1000}) {
    std::vector<double> results(kCapabilityResultCount + 3, kUnwritten);
    Study study(kDiameters);
    int32_t written = Capability_Statistics(study.values.data(), study.count(), 5, 1, 10, 10.15, 9.85, 1, 1, nullptr,
                                            0, results.data(), capacity < 57 ? capacity : 57);
    int32_t expected = capacity < 55 ? capacity : 55;
    EXPECT_EQ(written, expected);
    EXPECT_EQ(results[0], kUnwritten);
    for (int i = 1; i <= expected; ++i) EXPECT_TRUE(Near(results[i], full[i], 0.0)) << "figure " << i;
    for (int i = expected + 1; i < static_cast<int>(results.size()); ++i) EXPECT_EQ(results[i], kUnwritten);
  }
}

TEST_F(CapabilityStudy, FewerThanEightValuesGiveNoAndersonDarlingFigures) {
  std::vector<double> seven(kDiameters.begin(), kDiameters.begin() + 7), eight(kDiameters.begin(), kDiameters.begin() + 8);
  ExpectNaN(Study(seven).Run(), {38, 39, 40}, "seven values");
  std::vector<double> f = Study(eight).Run();
  EXPECT_TRUE(std::isfinite(f[38]) && std::isfinite(f[40]));
}

TEST_F(CapabilityStudy, LargestStudyIsComputedWithTheBestFit) {
  std::vector<double> values;
  uint32_t state = 99;
  for (int i = 0; i < 65535; ++i) {  // skewed and positive: the sum of two uniform squares
    state = state * 1103515245u + 12345u;
    double u = ((state >> 8) % 10000 + 1) * 1e-4;
    state = state * 1103515245u + 12345u;
    double v = ((state >> 8) % 10000 + 1) * 1e-4;
    values.push_back(0.01 * (u * u + v * v) + 1e-4);
  }
  Study study(values);
  study.usl = 0.05;
  study.lslOn = 0;
  study.Option(kCapabilityOptionDistribution, 4);
  int32_t written = 0;
  std::vector<double> f = study.Run(&written);
  EXPECT_EQ(written, 55);
  EXPECT_EQ(f[1], 65535);
  EXPECT_TRUE(f[41] >= 1 && f[41] <= 3) << f[41];
  EXPECT_TRUE(std::isfinite(f[48]) && std::isfinite(f[51]));
}

// ---- Against the independent implementation --------------------------------

// Relative tolerance of the figures of tests/data/capability_reference.txt
// (SciPy's distributions, root finder and optimiser). The fits' parameters
// come from two different searches: λ of the Box-Cox fit maximises a flat
// profile likelihood, and both searches stop within about 1e-9 of it.
constexpr double kReferenceRelative = 1e-6;
constexpr double kReferenceAbsolute = 1e-9;  // for figures that are 0 in one and a rounding error in the other

std::vector<double> Numbers(std::istringstream& line) {
  std::vector<double> numbers;
  std::string word;
  while (line >> word) numbers.push_back(std::strtod(word.c_str(), nullptr));
  return numbers;
}

TEST_F(CapabilityStudy, FiguresEqualTheIndependentImplementationOverRandomStudies) {
  std::istringstream file(ReadTestFile("capability_reference.txt"));
  std::string line, name;
  Study study;
  int cases = 0, compared = 0;
  double worst = 0.0;
  int worstFigure = 0;
  std::string worstCase;
  while (std::getline(file, line)) {
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (key == "case") {
      words >> name;
      study = Study();
    } else if (key == "input") {
      std::vector<double> in = Numbers(words);
      ASSERT_EQ(in.size(), 8u) << name;
      study.sampleSize = static_cast<int32_t>(in[1]);
      study.norm = static_cast<uint32_t>(in[2]);
      study.nom = in[3], study.usl = in[4], study.lsl = in[5];
      study.uslOn = static_cast<uint32_t>(in[6]), study.lslOn = static_cast<uint32_t>(in[7]);
    } else if (key == "options") {
      std::vector<double> in = Numbers(words);
      study.options.assign(in.begin(), in.end());  // the count stands in element 0, which is never read
    } else if (key == "values") {
      std::vector<double> in = Numbers(words);
      study.values.insert(study.values.end(), in.begin(), in.end());
    } else if (key == "figures") {
      std::vector<double> expected = Numbers(words);
      ASSERT_EQ(expected.size(), static_cast<size_t>(kCapabilityResultCount)) << name;
      int32_t written = 0;
      std::vector<double> actual = study.Run(&written);
      ASSERT_EQ(written, kCapabilityResultCount) << name;
      for (int i = 1; i <= kCapabilityResultCount; ++i) {
        EXPECT_TRUE(Near(actual[i], expected[i - 1], kReferenceRelative, kReferenceAbsolute))
            << name << " figure " << i << ": " << actual[i] << ", expected " << expected[i - 1];
        if (std::isfinite(expected[i - 1]) && expected[i - 1] != 0.0) {
          double deviation = std::fabs(actual[i] / expected[i - 1] - 1);
          if (deviation > worst) worst = deviation, worstFigure = i, worstCase = name;
        }
        ++compared;
      }
      ++cases;
    }
  }
  EXPECT_EQ(cases, 90);
  std::printf("%d studies, %d figures; largest relative deviation %.3g (%s, figure %d)\n", cases, compared, worst,
              worstCase.c_str(), worstFigure);
}

}  // namespace
