#include "spc/core/chart_results.h"

#include <cstddef>

namespace {

// Element i (36 on) of the per-point blocks: block b (0 .. 4) of point j (1 .. k).
double PointElement(const ChartResult& r, int64_t i) {
  const int64_t offset = i - kChartFixedFigures - 1;
  const size_t j = static_cast<size_t>(offset % r.points) + 1;
  switch (offset / r.points) {
    case 0: return r.statistic[j];
    case 1: return r.second[j];
    case 2: return r.upper[j];
    case 3: return r.lower[j];
    default: return r.flags[j];
  }
}

}  // namespace

int64_t Chart_FigureCount(const ChartResult& result) {
  return kChartFixedFigures + int64_t{kChartPointBlocks} * result.points;
}

int32_t Chart_WriteResults(const ChartResult& r, double* results, int32_t capacity) {
  if (capacity < 1 || !results) return 0;
  double fixed[kChartFixedFigures + 1] = {};
  fixed[kChartFigureChart] = static_cast<double>(static_cast<uint32_t>(r.kind));
  fixed[kChartFigurePoints] = r.points;
  fixed[kChartFigureCentre] = r.centre;
  fixed[kChartFigureSigma] = r.sigma;
  fixed[kChartFigureCentreGiven] = r.centreGiven ? 1 : 0;
  fixed[kChartFigureSigmaGiven] = r.sigmaGiven ? 1 : 0;
  fixed[kChartFigureOwnCentre] = r.ownCentre;
  fixed[kChartFigureOwnSigma] = r.ownSigma;
  fixed[kChartFigureUpperLimit] = r.upperLimit;
  fixed[kChartFigureLowerLimit] = r.lowerLimit;
  fixed[kChartFigureSecondCentre] = r.secondCentre;
  fixed[kChartFigureSecondUpper] = r.secondUpper;
  fixed[kChartFigureSecondLower] = r.secondLower;
  fixed[kChartFigureLambda] = r.lambda;
  fixed[kChartFigureL] = r.L;
  fixed[kChartFigureK] = r.k;
  fixed[kChartFigureH] = r.h;
  for (int t = 0; t < kRunTestCount; ++t) {
    fixed[kChartFigureTestCounts + t] = r.testCounts[t];
    fixed[kChartFigureFirstFlagged + t] = r.firstFlagged[t];
  }
  fixed[kChartFigureSecondCount] = r.secondCount;
  fixed[kChartFigureFirstSignal] = r.firstSignal;

  const int64_t wanted = Chart_FigureCount(r);
  const int32_t written = static_cast<int32_t>(wanted < capacity ? wanted : capacity);
  for (int32_t i = 1; i <= written; ++i) results[i] = i <= kChartFixedFigures ? fixed[i] : PointElement(r, i);
  return written;
}

int32_t Chart_Statistics(const ChartRequest& request, double* results, int32_t capacity) {
  if (capacity < 1 || !results) return 0;
  ChartResult result;
  if (!Chart_Compute(request, &result)) return 0;
  return Chart_WriteResults(result, results, capacity);
}
