// Distributions fitted to the values of a capability study by maximum
// likelihood (lognormal, two-parameter Weibull, normal after a Box-Cox
// transform), their distribution functions and quantiles, and the
// Anderson–Darling statistic of a fit. Every fit needs values that are all
// positive and not all equal.
#pragma once
#include <cstdint>

constexpr double kBoxCoxLambdaBound = 5.0;  // λ is sought (or may be given) in -5 .. 5

// Which distribution a fit is, or why none was made. The code is what the
// figures report as "the distribution used".
enum FitStatus : int8_t {
  kFitNormal = 0,         // normal with a mean and a standard deviation (the normal-only study)
  kFitLognormal = 1,
  kFitWeibull = 2,
  kFitBoxCox = 3,
  kFitNotPositive = -1,   // a value is 0 or below: the fit needs positive values
  kFitNotConverged = -2,  // the Weibull shape was not found (Newton's method did not converge)
  kFitTooFewValues = -3,  // fewer than two different values
};

// A fitted distribution. The two published parameters: lognormal mean and
// standard deviation of the logarithms; Weibull shape and scale; Box-Cox λ
// and 0. A Box-Cox fit is the normal (ML, divisor n) of the transformed
// values T(x) = ((x / g)^λ - 1) / λ (log(x / g) for λ = 0), g the geometric
// mean of the values: the same distribution of x as with the plain
// (x^λ - 1) / λ, whose values would overflow for large λ.
struct DistributionFit {
  FitStatus status = kFitNormal;
  double first = 0.0;
  double second = 0.0;
  double logCentre = 0.0;  // Box-Cox: log g
  double mu = 0.0;         // normal: mean; Box-Cox: mean of T(x)
  double sigma = 0.0;      // normal: standard deviation; Box-Cox: standard deviation of T(x)
  int32_t iterations = 0;  // Weibull: Newton steps taken
};

bool Fit_IsMade(const DistributionFit& fit);

DistributionFit Fit_Normal(double mean, double stdDev);

// The fits of n values sorted in ascending order (any values: the checks are
// made here). A failed fit carries its reason in `status`.
DistributionFit Fit_Lognormal(const double* sorted, int32_t n);
DistributionFit Fit_Weibull(const double* sorted, int32_t n);
// λ maximising the profile log-likelihood over -5 .. 5, or `givenLambda` when it is a number.
DistributionFit Fit_BoxCox(const double* sorted, int32_t n, double givenLambda);

// Fraction below x, fraction above x, and the p quantile of a fit that was made.
double Fit_Cdf(const DistributionFit& fit, double x);
double Fit_Survival(const DistributionFit& fit, double x);
double Fit_Quantile(const DistributionFit& fit, double p);

// A² of n sorted values against a fit that was made; not a number below 1 value.
double Fit_AndersonDarling(const DistributionFit& fit, const double* sorted, int32_t n);
