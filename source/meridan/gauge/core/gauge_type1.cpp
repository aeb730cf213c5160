// Type 1: one reference part measured r times by one appraiser. How much of
// the tolerance the gauge's spread (Cg) and its spread with its bias (Cgk)
// take up, and whether the bias differs from 0 (t test).
#include <algorithm>
#include <cmath>
#include <vector>

#include "gauge/core/gauge_compute.h"

bool Gauge_ComputeType1(const GaugeRequest& request, const GaugeOptions& options, GaugeType1* type1) {
  GaugeType1 g{};
  std::vector<double> taken;  // the readings that are numbers (a reading not taken is left out)
  for (int32_t t = 1; t <= request.trials; ++t) {
    const double x = Gauge_Reading(request, 1, 1, t);
    if (std::isnan(x)) continue;
    if (!std::isfinite(x)) return false;
    taken.push_back(x);
  }
  g.n = static_cast<int32_t>(taken.size());
  if (g.n < 2) return false;
  const auto [smallest, largest] = std::minmax_element(taken.begin(), taken.end());
  g.smallest = *smallest;
  g.largest = *largest;
  // Without any spread Cg, Cgk and t have no value: the gauge's resolution hides its repeatability.
  if (g.smallest == g.largest) return false;
  g.mean = Gauge_Mean(g.n, [&](int32_t i) { return taken[i - 1]; });
  double squares = 0.0;
  for (double x : taken) squares += (x - g.mean) * (x - g.mean);
  g.s = std::sqrt(squares / (g.n - 1));
  if (!std::isfinite(g.s)) return false;

  const double T = request.tolerance, K = options.K, L = options.L;
  g.bias = g.mean - request.reference;
  const double standardError = g.s / std::sqrt(static_cast<double>(g.n));
  g.t = g.bias / standardError;
  g.degreesOfFreedom = g.n - 1;
  g.pValue = Gauge_StudentTwoSidedP(g.t, g.degreesOfFreedom);
  const double quantile = Gauge_StudentQuantileAbove((1.0 - options.confidence) / 2.0, g.degreesOfFreedom);
  g.biasLow = g.bias - quantile * standardError;
  g.biasHigh = g.bias + quantile * standardError;
  g.Cg = (K / 100.0 * T) / (L * g.s);
  g.Cgk = (K / 200.0 * T - std::fabs(g.bias)) / (L / 2.0 * g.s);
  g.percentRepeatability = K / g.Cg;
  g.percentRepeatabilityBias = K / g.Cgk;
  const double figures[] = {g.bias, g.t, g.pValue, g.biasLow, g.biasHigh, g.Cg, g.Cgk, g.percentRepeatability};
  for (double figure : figures)
    if (!std::isfinite(figure)) return false;  // readings, reference or tolerance so far apart that a figure overflows
  *type1 = g;
  return true;
}
