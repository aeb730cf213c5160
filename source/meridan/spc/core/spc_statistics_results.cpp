#include "spc/core/spc_statistics_results.h"

namespace {
constexpr int kFiguresBeforeClasses = kStatisticsResultCount - kHistogramClasses;  // elements 1 .. 33
}

void SPC_WriteStatisticsResults(const SpcResult& result, double* results) {
  const SpcStatistics& stats = result.stats;
  const ControlLimits& limits = result.limits;
  const HistogramClasses& classes = result.classes;
  const double figures[kFiguresBeforeClasses] = {
      static_cast<double>(stats.n), stats.mean, stats.stdDev, stats.smallest, stats.largest, stats.range,
      static_cast<double>(stats.countAbove), static_cast<double>(stats.countBelow), stats.percentOutside, stats.Cm,
      stats.Cmk, static_cast<double>(stats.k), static_cast<double>(stats.m), stats.grandMean, stats.sigmaWithin,
      stats.Cp, stats.Cpk, limits.upperControl, limits.upperWarning, limits.lowerWarning, limits.lowerControl,
      static_cast<double>(limits.limitsPresent), static_cast<double>(limits.warningPresent),
      static_cast<double>(limits.seriesCount), limits.dispersionUpper, limits.dispersionUpperWarning,
      limits.dispersionCentre, limits.dispersionLowerWarning, limits.dispersionLower, result.xPositions, classes.lo,
      classes.hi, static_cast<double>(classes.peak)};
  for (int i = 0; i < kFiguresBeforeClasses; ++i) results[1 + i] = figures[i];
  for (int c = 1; c <= kHistogramClasses; ++c) results[kFiguresBeforeClasses + c] = classes.counts[c];
}
