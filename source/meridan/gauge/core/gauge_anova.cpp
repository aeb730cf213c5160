// Types 2 and 3: the ANOVA of a balanced study (parts x appraisers with r
// trials each; one appraiser for type 3) and the variance components of the
// model it settles on.
#include <algorithm>
#include <cmath>
#include <vector>

#include "gauge/core/gauge_compute.h"

namespace {

double AtLeastZero(double variance) { return variance > 0 ? variance : 0.0; }

// 100 x part / whole, for 0 <= part <= whole (the ratio first, so it never overflows and never passes 100).
double Percent(double part, double whole) { return 100.0 * (part / whole); }

}  // namespace

bool Gauge_ComputeAnova(const GaugeRequest& request, double alpha, GaugeAnova* anova) {
  const int32_t n = request.parts, o = request.appraisers, r = request.trials;
  const double readings = static_cast<double>(n) * o * r;
  const double grand = Gauge_Mean(n * o * r, [&](int32_t i) { return request.readings[i]; });

  // Cell means (part p by appraiser a), then the part and appraiser means made of them.
  std::vector<double> cell(static_cast<size_t>(n) * o);
  auto cellMean = [&](int32_t a, int32_t p) { return cell[(a - 1) * n + (p - 1)]; };
  GaugeAnova g{};
  double& ssError = g.ss[kRowRepeatability];
  double& ssTotal = g.ss[kRowTotal];
  for (int32_t a = 1; a <= o; ++a)
    for (int32_t p = 1; p <= n; ++p) {
      const double mean = Gauge_Mean(r, [&](int32_t t) { return Gauge_Reading(request, a, p, t); });
      cell[(a - 1) * n + (p - 1)] = mean;
      for (int32_t t = 1; t <= r; ++t) {
        const double x = Gauge_Reading(request, a, p, t);
        ssError += (x - mean) * (x - mean);
        ssTotal += (x - grand) * (x - grand);
      }
    }
  std::vector<double> part(n), appraiser(o);
  for (int32_t p = 1; p <= n; ++p) part[p - 1] = Gauge_Mean(o, [&](int32_t a) { return cellMean(a, p); });
  for (int32_t a = 1; a <= o; ++a) appraiser[a - 1] = Gauge_Mean(n, [&](int32_t p) { return cellMean(a, p); });
  for (double mean : part) g.ss[kRowPart] += (mean - grand) * (mean - grand);
  g.ss[kRowPart] *= static_cast<double>(o) * r;
  if (request.kind == kGaugeCrossed) {  // one appraiser has neither an appraiser effect nor an interaction
    for (double mean : appraiser) g.ss[kRowAppraiser] += (mean - grand) * (mean - grand);
    g.ss[kRowAppraiser] *= static_cast<double>(n) * r;
    for (int32_t a = 1; a <= o; ++a)
      for (int32_t p = 1; p <= n; ++p) {
        const double residual = cellMean(a, p) - part[p - 1] - appraiser[a - 1] + grand;
        g.ss[kRowInteraction] += residual * residual;
      }
    g.ss[kRowInteraction] *= r;
  }
  for (double ss : g.ss)
    if (!std::isfinite(ss)) return false;  // readings so far apart that their squares overflow

  g.df[kRowPart] = n - 1;
  g.df[kRowAppraiser] = o - 1;
  g.df[kRowInteraction] = static_cast<double>(n - 1) * (o - 1);
  g.df[kRowRepeatability] = static_cast<double>(n) * o * (r - 1);
  g.df[kRowTotal] = readings - 1;
  for (int row = kRowPart; row <= kRowRepeatability; ++row)
    g.ms[row] = g.df[row] > 0 ? g.ss[row] / g.df[row] : 0.0;

  if (request.kind == kGaugeCrossed) {
    // Part and appraiser against the interaction (random effects), the interaction against repeatability.
    const double* ms = g.ms;
    g.F[kRowPart] = ms[kRowPart] / ms[kRowInteraction];
    g.F[kRowAppraiser] = ms[kRowAppraiser] / ms[kRowInteraction];
    g.F[kRowInteraction] = ms[kRowInteraction] / ms[kRowRepeatability];
    for (int row = kRowPart; row <= kRowInteraction; ++row)
      g.p[row] = Gauge_UpperTailF(g.F[row], g.df[row],
                                  g.df[row == kRowInteraction ? kRowRepeatability : kRowInteraction]);
    g.interactionRemoved = g.p[kRowInteraction] > alpha;
  } else {
    // One appraiser: part against repeatability; no appraiser or interaction figures.
    g.F[kRowPart] = g.ms[kRowPart] / g.ms[kRowRepeatability];
    g.p[kRowPart] = Gauge_UpperTailF(g.F[kRowPart], g.df[kRowPart], g.df[kRowRepeatability]);
  }
  *anova = g;
  return true;
}

bool Gauge_ComputeComponents(const GaugeRequest& request, const GaugeAnova& anova, const GaugeOptions& options,
                             GaugeComponents* components) {
  const double n = request.parts, o = request.appraisers, r = request.trials;
  const double* ms = anova.ms;
  GaugeComponents c{};
  if (request.kind == kGaugeNoAppraiser) {
    c.repeatability = ms[kRowRepeatability];
    c.part = AtLeastZero((ms[kRowPart] - ms[kRowRepeatability]) / r);
  } else if (anova.interactionRemoved) {
    // The additive model: the interaction's sum of squares and degrees of freedom join repeatability's.
    const double pooled = (anova.ss[kRowInteraction] + anova.ss[kRowRepeatability]) /
                          (anova.df[kRowInteraction] + anova.df[kRowRepeatability]);
    c.repeatability = pooled;
    c.appraiser = AtLeastZero((ms[kRowAppraiser] - pooled) / (n * r));
    c.part = AtLeastZero((ms[kRowPart] - pooled) / (o * r));
  } else {
    c.repeatability = ms[kRowRepeatability];
    c.interaction = AtLeastZero((ms[kRowInteraction] - ms[kRowRepeatability]) / r);
    c.appraiser = AtLeastZero((ms[kRowAppraiser] - ms[kRowInteraction]) / (n * r));
    c.part = AtLeastZero((ms[kRowPart] - ms[kRowInteraction]) / (o * r));
  }
  c.reproducibility = c.appraiser + c.interaction;
  c.grr = c.repeatability + c.reproducibility;
  c.total = c.grr + c.part;
  if (!(c.total > 0) || !std::isfinite(c.total)) return false;

  c.EV = std::sqrt(c.repeatability);
  c.AV = std::sqrt(c.reproducibility);
  c.GRR = std::sqrt(c.grr);
  c.PV = std::sqrt(c.part);
  c.TV = std::sqrt(c.total);
  const double variances[4] = {c.repeatability, c.reproducibility, c.grr, c.part};
  const double sigmas[5] = {c.EV, c.AV, c.GRR, c.PV, c.TV};
  const double T = Gauge_UsableTolerance(request.tolerance);
  for (int i = 0; i < 5; ++i) c.studyVariation[i] = options.multiplier * sigmas[i];
  for (int i = 0; i < 4; ++i) {
    c.contribution[i] = Percent(variances[i], c.total);
    c.studyVariationPercent[i] = Percent(sigmas[i], c.TV);
    c.tolerancePercent[i] = T > 0 ? 100.0 * c.studyVariation[i] / T : 0.0;
  }
  c.ndc = Gauge_DistinctCategories(c.PV, c.GRR);
  *components = c;
  return true;
}
