#include "gauge/core/gauge_results.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<double> Type1Figures(const GaugeResult& result) {
  const GaugeType1& g = result.type1;
  return {static_cast<double>(result.kind), static_cast<double>(g.n), g.mean, g.s, g.smallest, g.largest,
          result.reference, result.tolerance, g.bias, g.t, g.degreesOfFreedom, g.pValue, g.biasLow, g.biasHigh,
          g.Cg, g.Cgk, g.percentRepeatability, g.percentRepeatabilityBias, result.options.K, result.options.L};
}

std::vector<double> StudyFigures(const GaugeResult& result) {
  const GaugeAnova& anova = result.anova;
  const GaugeComponents& c = result.components;
  const GaugeAverageRange& ar = result.averageRange;
  std::vector<double> f = {static_cast<double>(result.kind), static_cast<double>(result.parts),
                           static_cast<double>(result.appraisers), static_cast<double>(result.trials),
                           static_cast<double>(result.readings)};
  f.insert(f.end(), std::begin(anova.df), std::end(anova.df));
  f.insert(f.end(), std::begin(anova.ss), std::end(anova.ss));
  f.insert(f.end(), std::begin(anova.ms), std::end(anova.ms));
  f.insert(f.end(), std::begin(anova.F), std::end(anova.F));
  f.insert(f.end(), std::begin(anova.p), std::end(anova.p));
  f.insert(f.end(), {anova.interactionRemoved ? 1.0 : 0.0, result.options.alpha, c.repeatability, c.reproducibility,
                     c.appraiser, c.interaction, c.grr, c.part, c.total, c.EV, c.AV, c.GRR, c.PV, c.TV});
  f.insert(f.end(), std::begin(c.contribution), std::end(c.contribution));
  f.insert(f.end(), std::begin(c.studyVariationPercent), std::end(c.studyVariationPercent));
  f.insert(f.end(), std::begin(c.studyVariation), std::end(c.studyVariation));
  f.insert(f.end(), std::begin(c.tolerancePercent), std::end(c.tolerancePercent));
  f.insert(f.end(), {c.ndc, result.options.multiplier, ar.Rbarbar, ar.Xdiff, ar.Rp, ar.EV, ar.AV, ar.GRR, ar.PV,
                     ar.TV});
  f.insert(f.end(), std::begin(ar.percentOfTV), std::end(ar.percentOfTV));
  f.insert(f.end(), {ar.grrPercentOfTolerance, ar.ndc, ar.upperRangeLimit, ar.lowerRangeLimit,
                     static_cast<double>(ar.rangesAbove)});
  f.insert(f.end(), result.appraiserMeanRange.begin(), result.appraiserMeanRange.end());
  f.insert(f.end(), result.appraiserMean.begin(), result.appraiserMean.end());
  return f;
}

}  // namespace

int32_t Gauge_FigureCount(const GaugeResult& result) {
  return result.kind == kGaugeType1 ? kGaugeType1Figures : kGaugeStudyFixedFigures + 2 * result.appraisers;
}

int32_t Gauge_WriteResults(const GaugeResult& result, double* results, int32_t capacity) {
  if (capacity < 1) return 0;
  const std::vector<double> figures = result.kind == kGaugeType1 ? Type1Figures(result) : StudyFigures(result);
  const int32_t written = std::min(capacity, static_cast<int32_t>(figures.size()));
  std::copy(figures.begin(), figures.begin() + written, results + 1);
  return written;
}

int32_t Gauge_StudyFigures(const GaugeRequest& request, double* results, int32_t capacity) {
  GaugeResult result;
  if (!results || capacity < 1 || !Gauge_ComputeStudy(request, &result)) return 0;
  return Gauge_WriteResults(result, results, capacity);
}
