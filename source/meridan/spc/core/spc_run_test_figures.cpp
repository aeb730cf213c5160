#include "spc/core/spc_run_test_figures.h"

#include <cstddef>

#include "spc/core/spc_statistics_results.h"

namespace {
constexpr int32_t kFixedFigures = kFigureSubgroupFlags - 1;
}

int32_t SPC_WriteRunTestFigures(const SpcResult& result, const SpcRunTests& tests, double* results,
                                int32_t capacity) {
  if (capacity < 1) return 0;
  double fixed[kFixedFigures + 1] = {};
  SPC_WriteStatisticsResults(result, fixed);
  fixed[kFigureLimitsCentre] = result.limitsCentre;
  fixed[kFigureLimitsSigma] = result.limitsSigma;
  fixed[kFigureCentreGiven] = result.centreGiven ? 1 : 0;
  fixed[kFigureSigmaGiven] = result.sigmaGiven ? 1 : 0;
  for (int t = 0; t < kRunTestCount; ++t) {
    fixed[kFigureTestCounts + t] = tests.counts[t];
    fixed[kFigureFirstFlagged + t] = tests.firstFlagged[t];
  }
  fixed[kFigureDispersionCount] = tests.dispersionCount;

  const int32_t subgroups = static_cast<int32_t>(tests.flags.size()) - 1;
  const int64_t wanted = int64_t{kFixedFigures} + (subgroups > 0 ? subgroups : 0);
  const int32_t written = static_cast<int32_t>(wanted < capacity ? wanted : capacity);
  for (int32_t i = 1; i <= written; ++i)
    results[i] = i <= kFixedFigures ? fixed[i] : tests.flags[static_cast<size_t>(i - kFixedFigures)];
  return written;
}
