// The computations of the further control charts: the plotted statistic of
// each point, the centre and σ in use (the data's own or given ones), the
// limits per point, the second series (moving ranges, the CUSUM's lower sum)
// and the run tests. Everything the figures and the page need, as plain data.
#pragma once
#include <cstdint>
#include <vector>

#include "spc/core/chart_request.h"
#include "spc/core/spc_run_tests.h"

struct ChartResult {
  ChartKind kind = ChartKind::Individuals;
  int32_t points = 0;       // k
  int32_t subgroupSize = 1; // m

  // The centre and σ the limits are made from: σ of single values; for the
  // attribute charts the centre's own spread √(p̄(1 − p̄)), √c̄, √ū. Given
  // values take the place of the data's own, which stay beside them.
  double centre = 0, sigma = 0;
  bool centreGiven = false, sigmaGiven = false;
  double ownCentre = 0, ownSigma = 0;
  double centreLine = 0;    // where the chart draws its centre: n·p̄ for the np chart, 0 for the CUSUM, else the centre

  // The limits where they are constant; else the EWMA's asymptotic ones, or
  // those at the mean sample size (p, u). The CUSUM's are h and −h.
  double upperLimit = 0, lowerLimit = 0;
  // The second chart: the moving ranges' centre and limits; the CUSUM's 0, h and −h.
  double secondCentre = 0, secondUpper = 0, secondLower = 0;
  // λ and L of the EWMA, k and h of the CUSUM; 0 for the other charts.
  double lambda = 0, L = 0, k = 0, h = 0;

  // Attribute charts: the totals and the mean sample size, and whether every
  // sample has the same size (then tests 2 to 8 apply).
  double totalInspected = 0, totalCounted = 0, meanSize = 0;
  bool equalSizes = false;

  // The run tests: those applied, and the second series' test 1 (bit 8 of a point's flags).
  uint8_t testsApplied = 0;
  bool secondTested = false;
  double zoneCentre = 0, zoneWidth = 0;  // C and the width of a zone for tests 2 to 8
  int32_t testCounts[kRunTestCount] = {};
  int32_t firstFlagged[kRunTestCount] = {};  // point number, 0 when none
  int32_t secondCount = 0;
  int32_t firstSignal = 0;                   // the first point flagged at all, 0 when none

  // Per point i = 1 .. k (element 0 unused): the plotted statistic (x_i, z_i,
  // C⁺_i, p_i, np_i, c_i, u_i), the second statistic (MR_i with MR_1 not a
  // number; C⁻_i; else 0), the limits at i and the flags of point i (bit t − 1
  // for test t, kDispersionBeyondFlag for the second series).
  std::vector<double> statistic, second, upper, lower;
  std::vector<uint16_t> flags;
};

// Checks the request (Chart_CheckRequest) and computes every figure. False for
// a refused request, and for a CUSUM whose σ is 0 or not finite (no sums can
// be standardised by it); `result` is left as it was then.
bool Chart_Compute(const ChartRequest& request, ChartResult* result);
