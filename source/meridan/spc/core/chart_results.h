// The figures of a chart request as a flat array of numbers for the workbook
// (Create_ChartStatistics): 35 figures of the chart, then five blocks of one
// element per point: the plotted statistic, the second statistic, the upper
// and the lower limit, and the flags of each point.
#pragma once
#include <cstdint>

#include "spc/core/chart_request.h"
#include "spc/core/chart_statistics.h"

enum ChartFigure {
  kChartFigureChart = 1,           // the chart number, 1 .. 7
  kChartFigurePoints = 2,          // k, the points plotted
  kChartFigureCentre = 3,          // the centre used (target μ0, or p̄, c̄, ū)
  kChartFigureSigma = 4,           // σ used: of single readings; for p, np, c, u √(p̄(1 − p̄)), √c̄, √ū
  kChartFigureCentreGiven = 5,     // 1 when the centre was given, else 0
  kChartFigureSigmaGiven = 6,      // 1 when σ was given, else 0
  kChartFigureOwnCentre = 7,       // the data's own centre
  kChartFigureOwnSigma = 8,        // the data's own σ
  kChartFigureUpperLimit = 9,      // the upper limit where constant; EWMA asymptotic; p, u at the mean size
  kChartFigureLowerLimit = 10,     // the lower limit, likewise
  kChartFigureSecondCentre = 11,   // moving ranges' centre; CUSUM 0
  kChartFigureSecondUpper = 12,    // moving ranges' upper limit; CUSUM h
  kChartFigureSecondLower = 13,    // moving ranges' lower limit 0; CUSUM −h
  kChartFigureLambda = 14,         // EWMA λ (0 for the other charts)
  kChartFigureL = 15,              // EWMA L
  kChartFigureK = 16,              // CUSUM k
  kChartFigureH = 17,              // CUSUM h
  kChartFigureTestCounts = 18,     // 18 .. 25: points flagged by tests 1 .. 8
  kChartFigureSecondCount = 26,    // points flagged on the second chart
  kChartFigureFirstFlagged = 27,   // 27 .. 34: the first point flagged by tests 1 .. 8, 0 when none
  kChartFigureFirstSignal = 35,    // the first point flagged at all, 0 when none
};
constexpr int32_t kChartFixedFigures = 35;
constexpr int32_t kChartPointBlocks = 5;  // statistic, second statistic, upper limit, lower limit, flags

// The number of elements of the whole layout, 35 + 5k.
int64_t Chart_FigureCount(const ChartResult& result);

// Writes elements 1 .. 35 + 5k of `results` (element 0 is left alone), as
// many as the capacity (the highest element the array holds) allows. Returns
// the number written; 0 and nothing written for a capacity below 1.
int32_t Chart_WriteResults(const ChartResult& result, double* results, int32_t capacity);

// The whole figures request: computes the chart and writes its figures.
// Returns 0, writing nothing, for a refused request, results missing or a
// capacity below 1.
int32_t Chart_Statistics(const ChartRequest& request, double* results, int32_t capacity);
