#include "spc/core/capability_fits.h"

#include <boost/math/special_functions/expm1.hpp>
#include <boost/math/special_functions/log1p.hpp>
#include <cmath>
#include <limits>
#include <vector>

#include "core/distributions.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Boost's own expm1 (chosen by the policy type): the C libraries of the two
// Windows builds differ in the last bit of theirs.
double ExpMinusOne(double t) { return boost::math::expm1(t, meridan::dist::Policy()); }
double LogOnePlus(double t) { return boost::math::log1p(t, meridan::dist::Policy()); }

// The check every fit starts with: positive values, at least two different ones.
FitStatus UsableForFit(const double* sorted, int32_t n) {
  if (n < 1 || !(sorted[0] > 0.0)) return kFitNotPositive;
  if (n < 2 || !(sorted[n - 1] > sorted[0])) return kFitTooFewValues;
  return kFitNormal;
}

DistributionFit Failed(FitStatus why) {
  DistributionFit fit;
  fit.status = why;
  fit.first = fit.second = fit.mu = fit.sigma = kNaN;
  return fit;
}

double MeanLog(const double* values, int32_t n) {
  double sum = 0.0;
  for (int32_t i = 0; i < n; ++i) sum += std::log(values[i]);
  return sum / n;
}

// ---- Weibull ---------------------------------------------------------------
// With u = log(x / largest) ≤ 0 and w = exp(β u), the maximum-likelihood shape
// β solves g(β) = Σ w u / Σ w - 1/β - mean(u) = 0 (the derivative of the
// profile log-likelihood over n). g rises from -∞ near 0 to -mean(u) > 0, so
// its root is kept in a bracket; Newton's step is taken when it stays inside,
// else the bracket is halved. Scaling by the largest value keeps every w ≤ 1.

struct ShapeEquation {
  double value;
  double slope;
};

ShapeEquation WeibullShapeEquation(const double* u, int32_t n, double meanU, double beta) {
  double sumW = 0.0, sumWU = 0.0, sumWUU = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    double w = std::exp(beta * u[i]);
    sumW += w;
    sumWU += w * u[i];
    sumWUU += w * u[i] * u[i];
  }
  double ratio = sumWU / sumW;
  return {ratio - 1.0 / beta - meanU, sumWUU / sumW - ratio * ratio + 1.0 / (beta * beta)};
}

constexpr int kNewtonSteps = 200;
constexpr double kShapeTolerance = 1e-13;  // relative change of β at which it counts as found

}  // namespace

bool Fit_IsMade(const DistributionFit& fit) { return fit.status >= kFitNormal; }

DistributionFit Fit_Normal(double mean, double stdDev) {
  DistributionFit fit;
  fit.status = kFitNormal;
  fit.mu = fit.first = mean;
  fit.sigma = fit.second = stdDev;
  return fit;
}

DistributionFit Fit_Lognormal(const double* sorted, int32_t n) {
  FitStatus usable = UsableForFit(sorted, n);
  if (usable != kFitNormal) return Failed(usable);
  double mu = MeanLog(sorted, n), squares = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    double d = std::log(sorted[i]) - mu;
    squares += d * d;
  }
  DistributionFit fit;
  fit.status = kFitLognormal;
  fit.first = fit.mu = mu;
  fit.second = fit.sigma = std::sqrt(squares / n);
  // Values a few units in the last place apart can have equal logarithms.
  if (!(fit.sigma > 0.0)) return Failed(kFitTooFewValues);
  return fit;
}

DistributionFit Fit_Weibull(const double* sorted, int32_t n) {
  FitStatus usable = UsableForFit(sorted, n);
  if (usable != kFitNormal) return Failed(usable);
  std::vector<double> storage(static_cast<size_t>(n));
  double* u = storage.data();
  const double logLargest = std::log(sorted[n - 1]);
  double meanU = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    u[i] = std::log(sorted[i]) - logLargest;
    meanU += u[i];
  }
  meanU /= n;
  double spread = 0.0;
  for (int32_t i = 0; i < n; ++i) spread += (u[i] - meanU) * (u[i] - meanU);
  spread = std::sqrt(spread / (n - 1));
  // The start: the shape whose log-Weibull has the standard deviation of the logarithms (π / √6 / sd).
  double beta = 1.2825498301618641 / spread;
  double low = 0.0, high = std::numeric_limits<double>::infinity();
  DistributionFit fit = Failed(kFitNotConverged);
  for (int step = 1; step <= kNewtonSteps && std::isfinite(beta) && beta > 0.0; ++step) {
    ShapeEquation g = WeibullShapeEquation(u, n, meanU, beta);
    if (!std::isfinite(g.value) || !std::isfinite(g.slope)) break;
    if (g.value < 0.0) low = beta;
    if (g.value > 0.0) high = beta;
    double next = g.slope > 0.0 ? beta - g.value / g.slope : kNaN;
    if (!(next > low && next < high)) next = std::isfinite(high) ? (low + high) / 2 : 2 * beta;
    bool found = g.value == 0.0 || std::fabs(next - beta) <= kShapeTolerance * beta;
    beta = g.value == 0.0 ? beta : next;
    if (found) {
      double sumW = 0.0;
      for (int32_t i = 0; i < n; ++i) sumW += std::exp(beta * u[i]);
      fit.status = kFitWeibull;
      fit.first = beta;
      fit.second = std::exp(logLargest + std::log(sumW / n) / beta);
      fit.mu = fit.sigma = kNaN;
      fit.iterations = step;
      break;
    }
  }
  if (fit.status == kFitWeibull && !(std::isfinite(fit.second) && fit.second > 0.0)) return Failed(kFitNotConverged);
  return fit;
}

namespace {

constexpr int kLambdaGridSteps = 100;                   // λ = -5, -4.9, ... 5 first
constexpr double kLambdaTolerance = 1e-10;              // the golden-section search stops at this width
constexpr double kGoldenFraction = 0.3819660112501051;  // (3 - √5) / 2

// The profile log-likelihood of λ up to a constant, from the logarithms of the
// values less their mean (the logarithm of the geometric mean g):
// -n/2 log σ²(λ) + (λ - 1) Σ log x with the values divided by g, where the
// second term is 0; dividing by g changes σ² by a factor whose logarithm
// cancels against the term it removes, so only σ² of T(x) remains.
double BoxCoxProfile(const std::vector<double>& centredLogs, double lambda) {
  const size_t n = centredLogs.size();
  double sum = 0.0, squares = 0.0;
  for (double c : centredLogs) sum += lambda == 0.0 ? c : ExpMinusOne(lambda * c) / lambda;
  double mean = sum / n;
  for (double c : centredLogs) {
    double t = (lambda == 0.0 ? c : ExpMinusOne(lambda * c) / lambda) - mean;
    squares += t * t;
  }
  return -0.5 * n * std::log(squares / n);
}

// λ of the largest profile log-likelihood in -5 .. 5: the best point of a grid,
// then a golden-section search between its neighbours.
double BestLambda(const std::vector<double>& centredLogs) {
  const double step = 2 * kBoxCoxLambdaBound / kLambdaGridSteps;
  int best = 0;
  double bestProfile = -std::numeric_limits<double>::infinity();
  for (int i = 0; i <= kLambdaGridSteps; ++i) {
    double profile = BoxCoxProfile(centredLogs, -kBoxCoxLambdaBound + i * step);
    if (profile > bestProfile) {
      bestProfile = profile;
      best = i;
    }
  }
  double a = -kBoxCoxLambdaBound + (best > 0 ? best - 1 : 0) * step;
  double b = -kBoxCoxLambdaBound + (best < kLambdaGridSteps ? best + 1 : kLambdaGridSteps) * step;
  double x1 = a + kGoldenFraction * (b - a), x2 = b - kGoldenFraction * (b - a);
  double f1 = BoxCoxProfile(centredLogs, x1), f2 = BoxCoxProfile(centredLogs, x2);
  while (b - a > kLambdaTolerance) {
    if (f1 >= f2) {
      b = x2;
      x2 = x1;
      f2 = f1;
      x1 = a + kGoldenFraction * (b - a);
      f1 = BoxCoxProfile(centredLogs, x1);
    } else {
      a = x1;
      x1 = x2;
      f1 = f2;
      x2 = b - kGoldenFraction * (b - a);
      f2 = BoxCoxProfile(centredLogs, x2);
    }
  }
  // The interval ends count too: the maximum may lie on the bound itself.
  double lambda = (a + b) / 2, profile = BoxCoxProfile(centredLogs, lambda);
  if (a == -kBoxCoxLambdaBound && BoxCoxProfile(centredLogs, a) > profile) return a;
  if (b == kBoxCoxLambdaBound && BoxCoxProfile(centredLogs, b) > profile) return b;
  return lambda;
}

double BoxCoxTransform(const DistributionFit& fit, double x) {
  double c = std::log(x) - fit.logCentre;
  return fit.first == 0.0 ? c : ExpMinusOne(fit.first * c) / fit.first;
}

// The standardised position of x under a Box-Cox fit; values at or below 0
// lie below every value of the distribution.
double BoxCoxStandardised(const DistributionFit& fit, double x) {
  if (!(x > 0.0)) return x == x ? -std::numeric_limits<double>::infinity() : x;
  return (BoxCoxTransform(fit, x) - fit.mu) / fit.sigma;
}

}  // namespace

DistributionFit Fit_BoxCox(const double* sorted, int32_t n, double givenLambda) {
  FitStatus usable = UsableForFit(sorted, n);
  if (usable != kFitNormal) return Failed(usable);
  DistributionFit fit;
  fit.status = kFitBoxCox;
  fit.logCentre = MeanLog(sorted, n);
  if (std::isnan(givenLambda)) {
    std::vector<double> centredLogs(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) centredLogs[i] = std::log(sorted[i]) - fit.logCentre;
    fit.first = BestLambda(centredLogs);
  } else {
    fit.first = givenLambda;
  }
  fit.second = 0.0;
  double sum = 0.0, squares = 0.0;
  for (int32_t i = 0; i < n; ++i) sum += BoxCoxTransform(fit, sorted[i]);
  fit.mu = sum / n;
  for (int32_t i = 0; i < n; ++i) {
    double d = BoxCoxTransform(fit, sorted[i]) - fit.mu;
    squares += d * d;
  }
  fit.sigma = std::sqrt(squares / n);
  if (!(fit.sigma > 0.0 && std::isfinite(fit.sigma))) return Failed(kFitTooFewValues);
  return fit;
}

double Fit_Cdf(const DistributionFit& fit, double x) {
  using namespace meridan::dist;
  switch (fit.status) {
    case kFitNormal: return cdf(Normal(fit.mu, fit.sigma), x);
    case kFitLognormal: return x > 0.0 ? cdf(Lognormal(fit.first, fit.second), x) : (x == x ? 0.0 : x);
    case kFitWeibull: return x > 0.0 ? cdf(Weibull(fit.first, fit.second), x) : (x == x ? 0.0 : x);
    case kFitBoxCox: return cdf(Normal(), BoxCoxStandardised(fit, x));
    default: return kNaN;
  }
}

double Fit_Survival(const DistributionFit& fit, double x) {
  using namespace meridan::dist;
  switch (fit.status) {
    case kFitNormal: return cdf(complement(Normal(fit.mu, fit.sigma), x));
    case kFitLognormal: return x > 0.0 ? cdf(complement(Lognormal(fit.first, fit.second), x)) : (x == x ? 1.0 : x);
    case kFitWeibull: return x > 0.0 ? cdf(complement(Weibull(fit.first, fit.second), x)) : (x == x ? 1.0 : x);
    case kFitBoxCox: return cdf(complement(Normal(), BoxCoxStandardised(fit, x)));
    default: return kNaN;
  }
}

double Fit_Quantile(const DistributionFit& fit, double p) {
  using namespace meridan::dist;
  switch (fit.status) {
    case kFitNormal: return quantile(Normal(fit.mu, fit.sigma), p);
    case kFitLognormal: return quantile(Lognormal(fit.first, fit.second), p);
    case kFitWeibull: return quantile(Weibull(fit.first, fit.second), p);
    case kFitBoxCox: {
      // x = g (1 + λ t)^(1/λ); where 1 + λ t ≤ 0 the transform has no x: the
      // distribution's lower end (0) for λ > 0, its upper end (∞) for λ < 0.
      double t = fit.mu + fit.sigma * quantile(Normal(), p), lambda = fit.first;
      if (lambda == 0.0) return std::exp(fit.logCentre + t);
      double base = lambda * t;
      if (!(base > -1.0)) return base == base ? (lambda > 0.0 ? 0.0 : std::numeric_limits<double>::infinity()) : base;
      return std::exp(fit.logCentre + LogOnePlus(base) / lambda);
    }
    default: return kNaN;
  }
}

double Fit_AndersonDarling(const DistributionFit& fit, const double* sorted, int32_t n) {
  if (n < 1 || !Fit_IsMade(fit)) return kNaN;
  // A² = -n - (1/n) Σ (2i - 1) [log F(x(i)) + log(1 - F(x(n+1-i)))]
  double sum = 0.0;
  for (int32_t i = 1; i <= n; ++i)
    sum += (2.0 * i - 1.0) * (std::log(Fit_Cdf(fit, sorted[i - 1])) + std::log(Fit_Survival(fit, sorted[n - i])));
  return -n - sum / n;
}
