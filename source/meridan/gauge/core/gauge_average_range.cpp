// The average and range method beside the ANOVA: the older hand method of the
// measurement systems manuals, from ranges and means only.
#include <algorithm>
#include <cmath>

#include "gauge/core/gauge_compute.h"
#include "spc/core/spc_table.h"

namespace {

// The method's constants (1 / d2* of the manuals, to 4 places as published):
// K1 by trials, K2 by appraisers, K3 by parts. 0: no constant for that size.
double K1(int32_t trials) { return trials == 2 ? 0.8862 : trials == 3 ? 0.5908 : 0.0; }
double K2(int32_t appraisers) { return appraisers == 2 ? 0.7071 : appraisers == 3 ? 0.5231 : 0.0; }
double K3(int32_t parts) {
  static const double byParts[] = {0.7071, 0.5231, 0.4467, 0.4030, 0.3742, 0.3534, 0.3375, 0.3249, 0.3146};
  return parts >= 2 && parts <= 10 ? byParts[parts - 2] : 0.0;
}

double PercentOf(double part, double whole) { return whole > 0 ? 100.0 * (part / whole) : 0.0; }

}  // namespace

void Gauge_ComputeAverageRange(const GaugeRequest& request, const GaugeOptions& options, GaugeResult* result) {
  const int32_t n = request.parts, o = request.appraisers, r = request.trials;
  result->appraiserMeanRange.assign(o, 0.0);
  result->appraiserMean.assign(o, 0.0);
  for (int32_t a = 1; a <= o; ++a) {
    result->appraiserMeanRange[a - 1] = Gauge_Mean(n, [&](int32_t p) { return Gauge_CellRange(request, a, p); });
    // Appraiser a's readings lie together: part by part, trial by trial.
    result->appraiserMean[a - 1] =
        Gauge_Mean(n * r, [&](int32_t i) { return Gauge_Reading(request, a, 1 + (i - 1) / r, 1 + (i - 1) % r); });
  }

  GaugeAverageRange g{};
  g.applies = request.kind == kGaugeCrossed && K1(r) > 0 && K2(o) > 0 && K3(n) > 0;
  if (!g.applies) {
    result->averageRange = g;
    return;
  }
  g.Rbarbar = Gauge_Mean(o, [&](int32_t a) { return result->appraiserMeanRange[a - 1]; });
  const auto [lowMean, highMean] = std::minmax_element(result->appraiserMean.begin(), result->appraiserMean.end());
  g.Xdiff = *highMean - *lowMean;
  double lowPart = 0.0, highPart = 0.0;
  for (int32_t p = 1; p <= n; ++p) {
    const double mean =
        Gauge_Mean(o * r, [&](int32_t i) { return Gauge_Reading(request, 1 + (i - 1) / r, p, 1 + (i - 1) % r); });
    lowPart = p == 1 ? mean : std::min(lowPart, mean);
    highPart = p == 1 ? mean : std::max(highPart, mean);
  }
  g.Rp = highPart - lowPart;

  g.EV = g.Rbarbar * K1(r);
  g.PV = g.Rp * K3(n);
  const double appraiserSpread = g.Xdiff * K2(o);
  // The roots are taken of figures scaled by a power of 2 near their size: exact, so they equal the plain
  // formulas' bit for bit, and squares of very small or very large figures keep their digits (no
  // underflow to denormals that would put %EV of TV above 100).
  const double largest = std::max({g.EV, g.PV, appraiserSpread});
  const double scale = largest > 0 ? std::ldexp(1.0, -std::ilogb(largest)) : 1.0;
  const double ev = g.EV * scale, pv = g.PV * scale, spread = appraiserSpread * scale;
  const double appraiserSquare = spread * spread - ev * ev / (static_cast<double>(n) * r);
  const double av = appraiserSquare > 0 ? std::sqrt(appraiserSquare) : 0.0;
  const double grr = std::sqrt(ev * ev + av * av);
  const double tv = std::sqrt(grr * grr + pv * pv);
  g.AV = av / scale;
  g.GRR = grr / scale;
  g.TV = tv / scale;
  const double sigmas[4] = {ev, av, grr, pv};
  for (int i = 0; i < 4; ++i) g.percentOfTV[i] = PercentOf(sigmas[i], tv);
  const double T = Gauge_UsableTolerance(request.tolerance);
  g.grrPercentOfTolerance = T > 0 ? 100.0 * options.multiplier * g.GRR / T : 0.0;
  g.ndc = Gauge_DistinctCategories(g.PV, g.GRR);

  Gauge_RangeChartLimits(r, g.Rbarbar, &g.upperRangeLimit, &g.lowerRangeLimit);
  for (int32_t a = 1; a <= o; ++a)
    for (int32_t p = 1; p <= n; ++p) g.rangesAbove += Gauge_CellRange(request, a, p) > g.upperRangeLimit;
  result->averageRange = g;
}

namespace {

// The table's rows hold subgroups of 2 to 20; any other size would read a row of other constants.
double RangeDivisor(int32_t trials) { return trials >= 2 && trials <= 20 ? d2(trials) : 0.0; }

}  // namespace

double Gauge_MeanChartReach(int32_t trials, double Rbarbar) {
  const double d2r = RangeDivisor(trials);
  return d2r > 0 ? 3.0 * Rbarbar / (d2r * std::sqrt(static_cast<double>(trials))) : std::nan("");
}

void Gauge_RangeChartLimits(int32_t trials, double Rbarbar, double* upper, double* lower) {
  const double d2r = RangeDivisor(trials);
  *upper = d2r > 0 ? D2(trials) / d2r * Rbarbar : std::nan("");
  *lower = d2r > 0 ? D1(trials) / d2r * Rbarbar : std::nan("");
}
