#include "spc/core/capability_study.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/argument_slot.h"
#include "core/distributions.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_table.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMillion = 1e6;
constexpr double kCapableIndex = 1.33;
constexpr int32_t kFewestForAndersonDarling = 8;
// The quantiles the percentile indices span: the normal's ±3σ and its median.
constexpr double kLowerPercentile = 0.00135, kUpperPercentile = 0.99865, kMedian = 0.5;

// ---- Reading the request ---------------------------------------------------

// An option element, or not a number when the caller gave fewer.
double Option(const double* options, int32_t count, int element) {
  return element <= count ? options[element] : kNaN;
}

bool ReadOptions(const double* options, int32_t count, CapabilityRequest& request) {
  if (count < 0 || (count > 0 && !options)) return false;
  double target = Option(options, count, kCapabilityOptionTarget);
  double level = Option(options, count, kCapabilityOptionLevel);
  double distribution = Option(options, count, kCapabilityOptionDistribution);
  double lambda = Option(options, count, kCapabilityOptionBoxCoxLambda);
  if (std::isinf(target)) return false;
  if (!std::isnan(level) && !(level > 0.5 && level < 1.0)) return false;
  if (!std::isnan(distribution) &&
      !(distribution >= 0.0 && distribution <= 4.0 && distribution == std::floor(distribution)))
    return false;
  if (!std::isnan(lambda) && !(lambda >= -kBoxCoxLambdaBound && lambda <= kBoxCoxLambdaBound)) return false;
  request.target = std::isnan(target) ? request.NomSize : target;
  request.level = std::isnan(level) ? kCapabilityDefaultLevel : level;
  request.distribution = std::isnan(distribution) ? CapabilityDistribution::NormalOnly
                                                  : static_cast<CapabilityDistribution>(static_cast<int>(distribution));
  request.givenLambda = lambda;
  return true;
}

// ---- Degrees of freedom of σ̂ -----------------------------------------------
// The chi-square interval of Cp needs the degrees of freedom ν of σ̂. The
// total and the pooled standard deviation are chi-distributed with km - 1 and
// k(m - 1). The mean range, the mean standard deviation and the mean moving
// range are not; each gets the ν of the chi-square whose relative variance is
// that of the estimate (Patnaik's approximation): a standard deviation from ν
// degrees of freedom has Var(σ̂) / σ² ≈ 1 / (2ν), so ν = 1 / (2 CV²).

// d3(m), the standard deviation of the range of m standard normal values (published table, m = 2 .. 20).
constexpr double kRangeDeviation[21] = {0,     0,     0.853, 0.888, 0.880, 0.864, 0.848, 0.833, 0.820, 0.808, 0.797,
                                        0.787, 0.778, 0.770, 0.763, 0.756, 0.750, 0.744, 0.739, 0.734, 0.729};

// The moving ranges |x(i+1) - x(i)| of normal values: each has mean 2σ/√π and
// variance 2σ²(1 - 2/π); neighbours (differences with correlation -1/2)
// have covariance (4σ²/π)(√3/2 + π/12 - 1); ranges further apart are independent.
double MovingRangeDegreesOfFreedom(int32_t n) {
  const double pi = 3.141592653589793, ranges = n - 1.0;
  const double variance = 2 * (1 - 2 / pi), covariance = 4 / pi * (std::sqrt(3.0) / 2 + pi / 12 - 1);
  double varianceOfMean = (ranges * variance + 2 * (ranges - 1) * covariance) / (ranges * ranges);
  double squaredCoefficient = varianceOfMean / (4 / pi);
  return 1 / (2 * squaredCoefficient);
}

double WithinDegreesOfFreedom(int16_t norm, int32_t k, int32_t m) {
  if (m == 1) return k >= 2 ? MovingRangeDegreesOfFreedom(k) : kNaN;
  if (k < 1) return kNaN;
  switch (norm) {
    case 0: return k * m - 1.0;
    case 1: {  // CV² of R̄ / d2 = d3² / (k d2²)
      double ratio = d2(m) / kRangeDeviation[m];
      return k * ratio * ratio / 2;
    }
    case 2: {  // CV² of S̄ / c4 = (1 - c4²) / (k c4²)
      double c = c4(m);
      return k * c * c / (2 * (1 - c * c));
    }
    default: return k * (m - 1.0);
  }
}

// ---- Steps of a study ------------------------------------------------------

// σ̂, Z, k and m as the SPC request computes them for the same values and
// SPCNorm; with subgroups of 1 from the mean moving range / d2(2).
void WithinEstimate(const CapabilityRequest& request, const std::vector<double>& used, CapabilityFigures& figures) {
  const int32_t n = figures.nUsed;
  figures.sigmaWithin = figures.centreWithin = kNaN;
  if (request.SampleSize == 1) {
    figures.k = n;
    figures.m = 1;
    figures.centreWithin = figures.mean;
    if (n >= 2) {
      double sumOfRanges = 0.0;
      for (int32_t i = 2; i <= n; ++i) sumOfRanges += std::fabs(used[i] - used[i - 1]);
      figures.sigmaWithin = sumOfRanges / (n - 1) / d2(2);
    }
  } else {
    SpcRequest chart{};
    chart.meaval = used.data();
    chart.numofval = n;
    chart.SampleSize = request.SampleSize;
    chart.SPCNorm = request.SPCNorm;
    chart.NomSize = request.NomSize;
    chart.USL = request.USL;
    chart.LSL = request.LSL;
    chart.USLOnOff = request.upperInForce ? 1 : 0;
    chart.LSLOnOff = request.lowerInForce ? 1 : 0;
    SpcResult result{};  // chart kind 0: figures only, no subgroup series written
    if (n >= 1 && SPC_ComputeRequest(chart, result)) {
      figures.k = result.stats.k;
      figures.m = result.stats.m;
      if (figures.k >= 1) {
        figures.sigmaWithin = result.stats.sigmaWithin;
        figures.centreWithin = result.stats.grandMean;
      }
    } else {
      figures.m = request.SampleSize > 20 ? 20 : request.SampleSize;
    }
  }
  figures.withinDegreesOfFreedom = WithinDegreesOfFreedom(request.SPCNorm, figures.k, figures.m);
}

struct Indices {
  double both, lower, upper, worst;
};

// The index of the worse side: not a number when either side is.
double WorseOf(double lower, double upper) {
  return std::isnan(lower) || std::isnan(upper) ? kNaN : std::min(lower, upper);
}

// The index of the sides in force: the worse of the two, or the one there is.
double WorstSide(const CapabilityRequest& request, double lower, double upper) {
  if (request.upperInForce && request.lowerInForce) return WorseOf(lower, upper);
  return request.upperInForce ? upper : lower;
}

// The four indices of a spread and a centre, written as the SPC exports write
// Cm/Cmk and Cp/Cpk, so that equal inputs give equal bits.
Indices IndicesOf(const CapabilityRequest& request, double spread, double centre) {
  Indices indices{kNaN, kNaN, kNaN, kNaN};
  if (!(spread > 0.0) || !std::isfinite(spread)) return indices;
  if (request.upperInForce && request.lowerInForce) indices.both = (request.USL - request.LSL) / (6 * spread);
  if (request.upperInForce) indices.upper = (request.USL - centre) / (3 * spread);
  if (request.lowerInForce) indices.lower = (centre - request.LSL) / (3 * spread);
  indices.worst = WorstSide(request, indices.lower, indices.upper);
  return indices;
}

// index · √(χ²(α/2, ν) / ν) to index · √(χ²(1 - α/2, ν) / ν)
ConfidenceInterval ChiSquareInterval(double index, double nu, double level) {
  using namespace meridan::dist;
  if (!(nu > 0.0) || std::isnan(index)) return {kNaN, kNaN};
  ChiSquared chi(nu);
  double alpha = 1 - level;
  return {index * std::sqrt(quantile(chi, alpha / 2) / nu), index * std::sqrt(quantile(chi, 1 - alpha / 2) / nu)};
}

// Bissell: index ± z √(1 / (9 n) + index² / (2ν))
ConfidenceInterval BissellInterval(double index, double values, double nu, double level) {
  using namespace meridan::dist;
  if (!(nu > 0.0) || !(values > 0.0) || std::isnan(index)) return {kNaN, kNaN};
  double z = quantile(Normal(), 1 - (1 - level) / 2);
  double half = z * std::sqrt(1 / (9 * values) + index * index / (2 * nu));
  return {index - half, index + half};
}

PartsPerMillion Observed(const CapabilityRequest& request, const std::vector<double>& used, int32_t n) {
  int32_t below = 0, above = 0;
  for (int32_t i = 1; i <= n; ++i) {
    if (request.lowerInForce && used[i] < request.LSL) ++below;
    if (request.upperInForce && used[i] > request.USL) ++above;
  }
  if (n < 1) return {kNaN, kNaN, kNaN};
  PartsPerMillion ppm{below * kMillion / n, above * kMillion / n, 0.0};
  ppm.total = ppm.below + ppm.above;
  return ppm;
}

// From a fitted (or normal) distribution; not a number when there is none.
PartsPerMillion Expected(const CapabilityRequest& request, const DistributionFit& fit) {
  // A normal of no spread, or with a centre that overflowed (values near the largest double), gives no figures.
  if (!Fit_IsMade(fit) ||
      (fit.status == kFitNormal && !(fit.sigma > 0.0 && std::isfinite(fit.sigma) && std::isfinite(fit.mu))))
    return {kNaN, kNaN, kNaN};
  PartsPerMillion ppm{0.0, 0.0, 0.0};
  if (request.lowerInForce) ppm.below = Fit_Cdf(fit, request.LSL) * kMillion;
  if (request.upperInForce) ppm.above = Fit_Survival(fit, request.USL) * kMillion;
  ppm.total = ppm.below + ppm.above;
  return ppm;
}

// The normal quantile above which the expected fraction out of tolerance lies.
double BenchmarkZ(const PartsPerMillion& expected) {
  using namespace meridan::dist;
  double fraction = expected.total / kMillion;
  if (!(fraction >= 0.0 && fraction <= 1.0)) return kNaN;
  return quantile(complement(Normal(), fraction));
}

// The p-value of A*² by the piecewise formula of D'Agostino and Stephens
// (Goodness-of-Fit Techniques, 1986, table 4.9), as the nortest package
// applies it, with its 3.7e-24 from A*² = 10 on.
double AndersonDarlingP(double adjusted) {
  if (std::isnan(adjusted)) return kNaN;
  if (adjusted < 0.2) return 1 - std::exp(-13.436 + 101.14 * adjusted - 223.73 * adjusted * adjusted);
  if (adjusted < 0.34) return 1 - std::exp(-8.318 + 42.796 * adjusted - 59.938 * adjusted * adjusted);
  if (adjusted < 0.6) return std::exp(0.9177 - 4.279 * adjusted - 1.38 * adjusted * adjusted);
  if (adjusted < 10) return std::exp(1.2937 - 5.709 * adjusted + 0.0186 * adjusted * adjusted);
  return 3.7e-24;
}

void Normality(const std::vector<double>& sorted, CapabilityFigures& figures) {
  const int32_t n = figures.nUsed;
  figures.andersonDarling = figures.andersonDarlingAdjusted = figures.andersonDarlingP = kNaN;
  if (n < kFewestForAndersonDarling || !(figures.stdDev > 0.0) || !std::isfinite(figures.stdDev)) return;
  figures.andersonDarling = Fit_AndersonDarling(Fit_Normal(figures.mean, figures.stdDev), sorted.data(), n);
  figures.andersonDarlingAdjusted = figures.andersonDarling * (1 + 0.75 / n + 2.25 / (1.0 * n * n));
  figures.andersonDarlingP = AndersonDarlingP(figures.andersonDarlingAdjusted);
}

DistributionFit FitOf(CapabilityDistribution kind, const CapabilityRequest& request, const std::vector<double>& sorted,
                      int32_t n) {
  switch (kind) {
    case CapabilityDistribution::Lognormal: return Fit_Lognormal(sorted.data(), n);
    case CapabilityDistribution::Weibull: return Fit_Weibull(sorted.data(), n);
    case CapabilityDistribution::BoxCox: return Fit_BoxCox(sorted.data(), n, request.givenLambda);
    default: return Fit_Normal(kNaN, kNaN);
  }
}

// The fit asked for; for the best fit the one of the three with the smallest
// A² (the first on a tie), or the first one's reason when none could be made.
void ChooseFit(const CapabilityRequest& request, const std::vector<double>& sorted, CapabilityFigures& figures) {
  const int32_t n = figures.nUsed;
  figures.fit = Fit_Normal(kNaN, kNaN);
  figures.fitAndersonDarling = kNaN;
  if (request.distribution == CapabilityDistribution::NormalOnly) return;
  if (request.distribution != CapabilityDistribution::BestFit) {
    figures.fit = FitOf(request.distribution, request, sorted, n);
    if (Fit_IsMade(figures.fit)) figures.fitAndersonDarling = Fit_AndersonDarling(figures.fit, sorted.data(), n);
    return;
  }
  bool chosen = false;
  for (CapabilityDistribution kind :
       {CapabilityDistribution::Lognormal, CapabilityDistribution::Weibull, CapabilityDistribution::BoxCox}) {
    DistributionFit fit = FitOf(kind, request, sorted, n);
    if (!Fit_IsMade(fit)) {
      if (!chosen && figures.fit.status == kFitNormal) figures.fit = fit;  // the first reason
      continue;
    }
    double statistic = Fit_AndersonDarling(fit, sorted.data(), n);
    if (!chosen || statistic < figures.fitAndersonDarling) {
      figures.fit = fit;
      figures.fitAndersonDarling = statistic;
      chosen = true;
    }
  }
}

void PercentileIndices(const CapabilityRequest& request, CapabilityFigures& figures) {
  figures.percentilePp = figures.percentilePPL = figures.percentilePPU = figures.percentilePpk = kNaN;
  figures.expectedFitted = {kNaN, kNaN, kNaN};
  const DistributionFit& fit = figures.fit;
  if (fit.status <= kFitNormal) return;
  double low = Fit_Quantile(fit, kLowerPercentile), median = Fit_Quantile(fit, kMedian),
         high = Fit_Quantile(fit, kUpperPercentile);
  if (request.upperInForce && request.lowerInForce) figures.percentilePp = (request.USL - request.LSL) / (high - low);
  if (request.upperInForce) figures.percentilePPU = (request.USL - median) / (high - median);
  if (request.lowerInForce) figures.percentilePPL = (median - request.LSL) / (median - low);
  figures.percentilePpk = WorstSide(request, figures.percentilePPL, figures.percentilePPU);
  figures.expectedFitted = Expected(request, fit);
}

}  // namespace

bool Capability_ReadRequest(const double* values, int32_t count, int32_t SampleSize, uint32_t SPCNorm,
                            double NomSize, double USL, double LSL, uint32_t USLOnOff, uint32_t LSLOnOff,
                            const double* options, int32_t optionCount, CapabilityRequest* request) {
  if (!request) return false;
  CapabilityRequest read{};
  read.values = values;
  read.count = count;
  read.SampleSize = SampleSize;
  read.SPCNorm = Low16Signed(SPCNorm);
  read.NomSize = NomSize;
  read.USL = USL;
  read.LSL = LSL;
  read.upperInForce = Low16Signed(USLOnOff) > 0;
  read.lowerInForce = Low16Signed(LSLOnOff) > 0;
  if (count < 1 || count > kCapabilityLargestCount || !values) return false;
  if (SampleSize < 1 || read.SPCNorm < 0 || read.SPCNorm > 3) return false;
  if (!read.upperInForce && !read.lowerInForce) return false;
  if ((read.upperInForce && !std::isfinite(USL)) || (read.lowerInForce && !std::isfinite(LSL))) return false;
  if (read.upperInForce && read.lowerInForce && !(LSL < USL)) return false;
  if (!ReadOptions(options, optionCount, read)) return false;
  *request = read;
  return true;
}

void Capability_Compute(const CapabilityRequest& request, CapabilityFigures* out) {
  CapabilityFigures figures{};
  figures.target = request.target;
  figures.level = request.level;
  // The values that are numbers, in their order (element 0 unused, as in a caller's array).
  std::vector<double> used(1, kNaN);
  used.reserve(static_cast<size_t>(request.count) + 1);
  for (int32_t i = 1; i <= request.count; ++i)
    if (std::isfinite(request.values[i])) used.push_back(request.values[i]);
  const int32_t n = static_cast<int32_t>(used.size()) - 1;
  figures.nUsed = n;
  figures.leftOut = request.count - n;

  // x̄ and s in two passes.
  double sum = 0.0;
  for (int32_t i = 1; i <= n; ++i) sum += used[i];
  figures.mean = n >= 1 ? sum / n : kNaN;
  double squares = 0.0;
  for (int32_t i = 1; i <= n; ++i) squares += (used[i] - figures.mean) * (used[i] - figures.mean);
  figures.stdDev = n >= 2 ? std::sqrt(squares / (n - 1)) : kNaN;
  WithinEstimate(request, used, figures);

  Indices overall = IndicesOf(request, figures.stdDev, figures.mean);
  Indices within = IndicesOf(request, figures.sigmaWithin, figures.centreWithin);
  figures.Pp = overall.both, figures.PPL = overall.lower, figures.PPU = overall.upper, figures.Ppk = overall.worst;
  figures.Cp = within.both, figures.CPL = within.lower, figures.CPU = within.upper, figures.Cpk = within.worst;

  // Cpm, with ν = n (1 + δ²)² / (1 + 2δ²), δ = (x̄ - T) / s for its interval (Boyles 1991).
  figures.Cpm = kNaN;
  figures.CpmInterval = {kNaN, kNaN};
  double offTarget = figures.mean - request.target;
  if (request.upperInForce && request.lowerInForce && figures.stdDev > 0.0 && std::isfinite(offTarget)) {
    figures.Cpm = (request.USL - request.LSL) / (6 * std::sqrt(figures.stdDev * figures.stdDev + offTarget * offTarget));
    double delta = offTarget / figures.stdDev, delta2 = delta * delta;
    double nu = n * (1 + delta2) * (1 + delta2) / (1 + 2 * delta2);
    figures.CpmInterval = ChiSquareInterval(figures.Cpm, nu, request.level);
  }
  figures.PpInterval = ChiSquareInterval(figures.Pp, n - 1.0, request.level);
  figures.CpInterval = ChiSquareInterval(figures.Cp, figures.withinDegreesOfFreedom, request.level);
  figures.PpkInterval = BissellInterval(figures.Ppk, n, n - 1.0, request.level);
  // ν' of Cpk: the values σ̂ and Z come from (those of the complete subgroups).
  double withinValues = figures.m == 1 ? n : 1.0 * figures.k * figures.m;
  figures.CpkInterval = BissellInterval(figures.Cpk, withinValues, figures.withinDegreesOfFreedom, request.level);

  figures.observed = Observed(request, used, n);
  figures.expectedOverall = Expected(request, Fit_Normal(figures.mean, figures.stdDev));
  figures.expectedWithin = Expected(request, Fit_Normal(figures.centreWithin, figures.sigmaWithin));
  figures.zBenchOverall = BenchmarkZ(figures.expectedOverall);
  figures.zBenchWithin = BenchmarkZ(figures.expectedWithin);

  std::vector<double> sorted(used.begin() + 1, used.end());
  std::sort(sorted.begin(), sorted.end());
  Normality(sorted, figures);
  ChooseFit(request, sorted, figures);
  PercentileIndices(request, figures);

  figures.capable = figures.Ppk >= kCapableIndex;
  figures.capableAtLowerLimit = figures.PpkInterval.lower >= kCapableIndex;
  *out = figures;
}
