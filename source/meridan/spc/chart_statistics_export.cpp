// Create_ChartStatistics: the figures of the further control charts
// (individuals and moving range, EWMA, CUSUM, p, np, c, u) as numbers for the
// cells of a workbook. The computations keep nothing between requests (the
// constants table is only read), so requests from several threads need no turns.
#include <windows.h>

#include "meridan_api.h"
#include "spc/core/chart_request.h"
#include "spc/core/chart_results.h"

extern "C" int32_t WINAPI Create_ChartStatistics(uint32_t chart, const double* values, const double* sizes,
                                                 int32_t count, int32_t SampleSize, uint32_t SPCNorm,
                                                 const double* options, int32_t optionCount, double* results,
                                                 int32_t capacity) {
  ChartRequest request;
  request.chart = chart;
  request.values = values;
  request.sizes = sizes;
  request.count = count;
  request.SampleSize = SampleSize;
  request.SPCNorm = SPCNorm;
  request.options = options;
  request.optionCount = optionCount;
  // Nothing may escape into the caller's macro: a request the memory cannot hold is refused.
  try {
    return Chart_Statistics(request, results, capacity);
  } catch (...) {
    return 0;
  }
}
