// A request for one of the further control charts (Create_ChartStatistics,
// Create_ChartBitmap): individuals and moving range, EWMA and CUSUM of
// subgroup means, and the attribute charts p, np, c and u. The arguments as
// the caller passed them, the options read from their array, the properties
// of each chart kind, and the check that refuses a request outside the
// contract before anything is computed. Plain data; no drawing here.
#pragma once
#include <cstdint>
#include <limits>

#include "spc/core/spc_run_tests.h"

// The chart kinds by their number in the `chart` argument.
enum class ChartKind : uint32_t { Individuals = 1, Ewma = 2, Cusum = 3, P = 4, Np = 5, C = 6, U = 7 };
constexpr uint32_t kChartKindCount = 7;

// The arguments of a request. Arrays point at element 0, which is never read.
struct ChartRequest {
  uint32_t chart = 0;              // 1 .. 7, a ChartKind
  const double* values = nullptr;  // values 1 .. count: readings, or counts D_i / c_i of the attribute charts
  const double* sizes = nullptr;   // sample sizes n_i of the p, np and u charts; may be null for the others
  int32_t count = 0;
  int32_t SampleSize = 1;          // m: readings per subgroup of the EWMA and CUSUM; 1 for the individuals chart
  uint32_t SPCNorm = 0;            // how σ is estimated from subgroups of m ≥ 2: 0 total, 1 range, 2 std. dev., 3 pooled
  const double* options = nullptr; // options 1 .. optionCount; not a number: the default
  int32_t optionCount = 0;
};

// The elements of the options array.
enum ChartOptionElement {
  kChartOptionCentre = 1,      // given centre: target μ0, or p̄, c̄, ū
  kChartOptionSigma = 2,       // given σ of single values (> 0); charts of variables only
  kChartOptionRunTests = 3,    // tests to apply, bit 0 = test 1 ... bit 7 = test 8; a whole number 0 .. 255
  kChartOptionMarkFlagged = 4, // not 0: the page marks the flagged points
  kChartOptionLambda = 5,      // EWMA weight, 0 < λ ≤ 1
  kChartOptionL = 6,           // EWMA limit width in standard errors (> 0)
  kChartOptionK = 7,           // CUSUM reference value in standard errors (≥ 0)
  kChartOptionH = 8,           // CUSUM decision interval in standard errors (> 0)
  kChartOptionHeadStart = 9,   // CUSUM head start, 0 ≤ head start < h
  kChartOptionEwmaLimits = 10, // 0 the exact, widening EWMA limits; 1 the asymptotic ones
};
constexpr int32_t kChartOptionElements = 10;

// The options in force, defaults filled in.
struct ChartOptions {
  double centre = std::numeric_limits<double>::quiet_NaN();  // not a number: the data's own
  double sigma = std::numeric_limits<double>::quiet_NaN();
  uint8_t runTests = kAllRunTests;
  bool markFlagged = false;
  double lambda = 0.2;
  double L = 3.0;
  double k = 0.5;
  double h = 5.0;
  double headStart = 0.0;
  bool asymptoticEwmaLimits = false;
};

// What sets one chart kind apart from the others.
struct ChartKindProperties {
  const char* name;      // "imr", "ewma", "cusum", "p", "np", "c", "u"
  bool attribute;        // counts: a given centre only, no given σ
  bool readsSizes;       // the sizes array is read (p, np, u)
  bool wholeItems;       // sizes are numbers of items, at least 1, and no count may exceed its size (p, np)
  bool equalSizes;       // every size must be the same (np)
  bool subgroups;        // the points are means of subgroups of m readings (EWMA, CUSUM)
  bool singleReadings;   // m must be 1 (individuals)
  uint8_t runTests;      // the tests the chart has; attribute charts with unequal sizes test 1 only
  bool secondChart;      // a second series tested against its limit (moving ranges, the CUSUM's lower sum)
};

// The properties of chart `chart`, null for a number outside 1 .. 7.
const ChartKindProperties* Chart_KindProperties(uint32_t chart);

// The largest subgroup the constants table has factors for.
constexpr int32_t kChartLargestSubgroup = 20;
// At most this many values, as for the SPC page.
constexpr int32_t kChartMostValues = 65535;

// Reads the options and checks the whole request: true when it is inside the
// contract, with the options in force in `options`. Refused: a chart number
// outside 1 .. 7; a count below 1 or above 65 535; values missing; sizes
// missing where they are read; SampleSize below 1, above 1 for the individuals
// chart, above 20 for the EWMA and CUSUM; SPCNorm outside 0 .. 3 where
// subgroups of m ≥ 2 are read; fewer than 2 points; a reading, count or size
// that is not a finite number, a count below 0, a size of 0 or below (below 1
// for p and np), a count above its size (p, np), unequal sizes (np); a
// negative optionCount or options missing; an option outside its range; a
// given σ for an attribute chart. Reads no element past count or optionCount.
bool Chart_CheckRequest(const ChartRequest& request, ChartOptions* options);

// The number of points plotted: count ÷ m for the EWMA and CUSUM, else count.
int32_t Chart_PointCount(const ChartRequest& request);
