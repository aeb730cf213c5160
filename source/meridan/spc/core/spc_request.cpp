#include "spc/core/spc_request.h"

#include <cmath>

#include "core/argument_slot.h"
#include "spc/core/spc_table.h"

namespace {

// ---- Chart kinds -----------------------------------------------------------
// The chart kind code: the tens choose how the location limits are made, the
// units digit u what is plotted per subgroup, u mod 3 the dispersion chart.

enum class LimitRule { None, ShewhartMean, ShewhartMedian, ShewhartSingle, AcceptanceMean, AcceptanceMedian,
                       AcceptanceSingle };
enum class Plotted { Mean, Median, Extremes };  // Extremes: smallest value, largest value kept beside it
enum class Dispersion { StdDev, Range, None };

struct ChartKind {
  bool controlCharts;  // typ 10 and above: location and dispersion charts, subgroup series written
  LimitRule limits;
  Plotted plotted;
  Dispersion dispersion;
  int16_t warningPresent;
  int16_t seriesCount;
  uint8_t runTests;
};

struct UnitsRow {
  Plotted plotted;
  Dispersion dispersion;
};

// By the units digit.
constexpr UnitsRow kUnits[10] = {
    {Plotted::Mean, Dispersion::StdDev},       {Plotted::Mean, Dispersion::Range},
    {Plotted::Mean, Dispersion::None},         {Plotted::Median, Dispersion::StdDev},
    {Plotted::Median, Dispersion::Range},      {Plotted::Median, Dispersion::None},
    {Plotted::Extremes, Dispersion::StdDev},   {Plotted::Extremes, Dispersion::Range},
    {Plotted::Extremes, Dispersion::None},     {Plotted::Extremes, Dispersion::StdDev},
};

struct LocationRow {
  LimitRule limits;
  int16_t warningPresent;
  int16_t seriesCount;
  uint8_t runTests;  // the run tests that apply to the location chart
};

// The means and medians charts have all eight run tests; the single-values and
// acceptance charts only the points beyond a limit.
constexpr uint8_t kEveryRunTest = 0xFF, kBeyondLimitsOnly = 0x01;

// By family (below 10, Shewhart 1x, acceptance 2x, 30 and above) and plotted value.
// From 30 up there is no limit rule: one series, no limit lines.
constexpr int kFamilies = 4;
constexpr LocationRow kLocation[kFamilies][3] = {
    {{LimitRule::None, 0, 1, 0}, {LimitRule::None, 0, 1, 0}, {LimitRule::None, 0, 1, 0}},
    {{LimitRule::ShewhartMean, 1, 1, kEveryRunTest},
     {LimitRule::ShewhartMedian, 1, 1, kEveryRunTest},
     {LimitRule::ShewhartSingle, 1, 2, kBeyondLimitsOnly}},
    {{LimitRule::AcceptanceMean, 0, 1, kBeyondLimitsOnly},
     {LimitRule::AcceptanceMedian, 0, 1, kBeyondLimitsOnly},
     {LimitRule::AcceptanceSingle, 0, 2, kBeyondLimitsOnly}},
    {{LimitRule::None, 0, 1, 0}, {LimitRule::None, 0, 1, 0}, {LimitRule::None, 0, 1, 0}},
};

ChartKind ChartKindOf(int16_t typ) {
  if (typ < 0) return {false, LimitRule::None, Plotted::Mean, Dispersion::None, 0, 1, 0};
  int family = typ / 10 < kFamilies ? typ / 10 : kFamilies - 1;
  const UnitsRow& units = kUnits[typ % 10];
  const LocationRow& location = kLocation[family][static_cast<int>(units.plotted)];
  return {family > 0, location.limits, units.plotted, units.dispersion, location.warningPresent,
          location.seriesCount, location.runTests};
}

// ---- Arithmetic helpers ----------------------------------------------------

// Square root of a sum-of-squares difference: rounding can leave it slightly
// below zero when all values are equal, which means no spread at all.
double SpreadRoot(double radicand) { return radicand < 0.0 ? 0.0 : std::sqrt(radicand); }

double LocationSeries[2 * kSeriesStride];
double DispersionSeries[kSeriesStride];

constexpr int kLargestSubgroup = 20;

// ---- Steps of a request ----------------------------------------------------

double XPositions(const SpcRequest& request) {
  int32_t positions = request.typ == 1 ? request.numofval : request.numofval / request.SampleSize;
  return positions < 10 ? 10.0 : static_cast<double>(positions);
}

// Built with MERIDAN_SPC_REFERENCE_LOOPS (the benchmark's second copy), the
// request runs the loops it had before they were made cheaper: the same
// figures, bit for bit, at the old cost, for the comparison in one run.
#ifdef MERIDAN_SPC_REFERENCE_LOOPS
constexpr bool kReferenceLoops = true;
#else
constexpr bool kReferenceLoops = false;
#endif

void OverallPassThroughStatistics(const SpcRequest& request, SpcStatistics& stats) {
  const double* values = request.meaval;
  stats.largest = stats.smallest = values[1];
  for (int32_t i = 1; i <= stats.n; ++i) {
    double x = values[i];
    if (x > stats.largest) stats.largest = x;
    if (x < stats.smallest) stats.smallest = x;
    if (request.USLOnOff > 0 && x > request.USL) ++stats.countAbove;
    if (request.LSLOnOff > 0 && x < request.LSL) ++stats.countBelow;
    stats.sum += x;
    stats.sumSquares += x * x;
  }
}

void OverallPass(const SpcRequest& request, SpcStatistics& stats) {
  stats.n = request.numofval;
  if (stats.n < 1) return;  // the caller's array is not read at all
  if (kReferenceLoops) return OverallPassThroughStatistics(request, stats);
  const double* values = request.meaval;
  // Figures in locals, so that they stay in registers: written through `stats`
  // they would be stored and loaded again for every value, as the values
  // might lie under them. The additions are in the same order.
  const int32_t n = stats.n;
  double largest = values[1], smallest = values[1], sum = stats.sum, sumSquares = stats.sumSquares;
  // Counted as 16-bit figures, as the statistics hold them.
  uint16_t countAbove = stats.countAbove, countBelow = stats.countBelow;
  const bool upperOn = request.USLOnOff > 0, lowerOn = request.LSLOnOff > 0;
  const double usl = request.USL, lsl = request.LSL;
  for (int32_t i = 1; i <= n; ++i) {
    double x = values[i];
    if (x > largest) largest = x;
    if (x < smallest) smallest = x;
    countAbove = static_cast<uint16_t>(countAbove + (upperOn && x > usl));
    countBelow = static_cast<uint16_t>(countBelow + (lowerOn && x < lsl));
    sum += x;
    sumSquares += x * x;
  }
  stats.largest = largest;
  stats.smallest = smallest;
  stats.countAbove = countAbove;
  stats.countBelow = countBelow;
  stats.sum = sum;
  stats.sumSquares = sumSquares;
}

void OverallFigures(SpcStatistics& stats) {
  int32_t n = stats.n;
  if (n >= 1) {
    stats.mean = stats.sum / n;
    stats.percentOutside = static_cast<double>(stats.countAbove + stats.countBelow) * 100.0 / n;
  }
  if (n >= 2) stats.stdDev = SpreadRoot((stats.sumSquares - n * stats.mean * stats.mean) / (n - 1));
  stats.range = stats.largest - stats.smallest;
}

// Cm/Cmk from s and x̄, or Cp/Cpk from σ̂ and Z: the cases are tried in order.
void Capability(const SpcRequest& request, double spread, double centre, double& index, double& indexK) {
  index = indexK = 0.0;
  if (!(spread > 0.0)) return;
  bool upper = request.USLOnOff > 0, lower = request.LSLOnOff > 0;
  if (upper && lower) {
    index = (request.USL - request.LSL) / (6 * spread);
    double nearest = request.USL - centre;
    if (centre - request.LSL < nearest) nearest = centre - request.LSL;
    indexK = nearest / (3 * spread);
  }
  if (lower && request.USLOnOff == 0) {
    index = (request.NomSize - request.LSL) / (3 * spread);
    indexK = (centre - request.LSL) / (3 * spread);
  }
  if (request.LSLOnOff == 0 && upper) {
    index = (request.USL - request.NomSize) / (3 * spread);
    indexK = (request.USL - centre) / (3 * spread);
  }
}

// Bounds that are numbers and never fall from one to the next.
static_assert(kHistogramClasses == 15, "the halvings below find one of 16 counts of bounds");
bool BoundsAscend(const double* bounds) {
  for (int i = 0; i <= kHistogramClasses; ++i)
    if (!std::isfinite(bounds[i]) || (i > 0 && bounds[i] < bounds[i - 1])) return false;
  return true;
}

// Counts each value in the class i with bounds[i - 1] <= x < bounds[i], the
// first such class (a value in none is not counted). With ascending bounds the
// class is found from the number of upper bounds at or below the value: that
// many classes lie wholly below it, so only the next can hold it, and it does
// when its lower bound is at or below the value (a value below every bound or
// not a number is in none). Bounds that do not ascend are searched in order.
void CountClasses(const double* values, int32_t n, HistogramClasses& classes) {
  const double* bounds = classes.bounds;
  int32_t counts[kHistogramClasses + 2] = {};
  if (!kReferenceLoops && BoundsAscend(bounds)) {
    for (int32_t v = 1; v <= n; ++v) {
      const double x = values[v];
      // The upper bounds at or below x are bounds 1 .. below: found in four halvings, without branches.
      int below = 0;
      below += (bounds[below + 8] <= x) * 8;
      below += (bounds[below + 4] <= x) * 4;
      below += (bounds[below + 2] <= x) * 2;
      below += bounds[below + 1] <= x;
      const int i = below + 1;
      if (i <= kHistogramClasses && bounds[i - 1] <= x) ++counts[i];
    }
  } else {
    for (int32_t v = 1; v <= n; ++v) {
      const double x = values[v];
      for (int i = 1; i <= kHistogramClasses; ++i) {
        if (bounds[i - 1] <= x && x < bounds[i]) {
          ++counts[i];
          break;
        }
      }
    }
  }
  for (int i = 0; i <= kHistogramClasses + 1; ++i) classes.counts[i] += counts[i];
}

void Histogram(const SpcRequest& request, const SpcStatistics& stats, HistogramClasses& classes) {
  double lo = request.LSL, hi = request.USL;
  if (stats.n >= 1) {  // without values only the limits span the classes
    if (stats.smallest < lo) lo = stats.smallest;
    if (stats.largest > hi) hi = stats.largest;
  }
  hi = hi + (hi - lo) / kHistogramClasses;
  lo = lo - (hi - lo) / kHistogramClasses;
  if (lo == hi) {
    hi = hi + 0.01;
    lo = lo - 0.01;
  }
  // Beyond about 1e14 a hundredth vanishes in the rounding and all classes would
  // be empty: equal values then get a range of a millionth of their size.
  if (lo == hi && std::isfinite(hi)) {
    double spread = std::fabs(hi) * 0x1p-20;
    hi = hi + spread;
    lo = lo - spread;
  }
  for (int i = 0; i <= kHistogramClasses; ++i) classes.bounds[i] = lo + i * (hi - lo) / kHistogramClasses;
  // Values a few units in the last place apart can lose the widening in the
  // rounding, leaving the largest on the top bound, outside every class: the
  // top bound then moves just above it.
  if (stats.n >= 1 && std::isfinite(stats.largest) && !(classes.bounds[kHistogramClasses] > stats.largest)) {
    hi = std::nextafter(stats.largest, HUGE_VAL);
    classes.bounds[kHistogramClasses] = hi;
  }
  classes.lo = lo;
  classes.hi = hi;
  CountClasses(request.meaval, stats.n, classes);
  int32_t peak = 0;
  for (int i = 1; i <= kHistogramClasses; ++i)
    if (classes.counts[i] > peak) peak = classes.counts[i];
  classes.peak = peak < 10 ? 10 : peak + 1;
}

void ShewhartLimits(double centre, double a, ControlLimits& limits) {
  limits.upperControl = centre + SPC_QuantilePerMille(998.65) * a;
  limits.upperWarning = centre + NormalQuantile(975) * a;
  limits.lowerWarning = centre - NormalQuantile(975) * a;
  limits.lowerControl = centre - SPC_QuantilePerMille(998.65) * a;
}

// Acceptance charts: a distance f·σ̂ inside the specification limits, whether
// the limits are in force or not.
void AcceptanceLimits(const SpcRequest& request, double f, double sigma, ControlLimits& limits) {
  limits.upperControl = request.USL - f * sigma;
  limits.lowerControl = request.LSL + f * sigma;
  if (limits.upperControl < limits.lowerControl) {
    double upper = limits.upperControl;
    limits.upperControl = limits.lowerControl;
    limits.lowerControl = upper;
  }
}

void LocationLimits(const SpcRequest& request, LimitRule rule, const SpcStatistics& stats, ControlLimits& limits) {
  const int32_t m = stats.m;
  const double z = stats.grandMean, sigma = stats.sigmaWithin, rootM = std::sqrt(static_cast<double>(m));
  switch (rule) {
    case LimitRule::None: break;
    case LimitRule::ShewhartMean: ShewhartLimits(z, sigma / rootM, limits); break;
    case LimitRule::ShewhartMedian: ShewhartLimits(z, MedianFactor(m) * sigma / rootM, limits); break;
    case LimitRule::ShewhartSingle: {
      // Quantiles at which all m single values of a subgroup stay inside with 99.73 % and 95 %.
      double pA = (std::pow(0.9973, 1.0 / m) + 1) * 500;
      double pW = (std::pow(0.95, 1.0 / m) + 1) * 500;
      limits.upperControl = z + SPC_QuantilePerMille(pA) * sigma;
      limits.upperWarning = z + SPC_QuantilePerMille(pW) * sigma;
      limits.lowerWarning = z - SPC_QuantilePerMille(pW) * sigma;
      limits.lowerControl = z - SPC_QuantilePerMille(pA) * sigma;
      break;
    }
    case LimitRule::AcceptanceMean:
      AcceptanceLimits(request, NormalQuantile(950) + NormalQuantile(900) / rootM, sigma, limits);
      break;
    case LimitRule::AcceptanceMedian:
      AcceptanceLimits(request, NormalQuantile(950) + NormalQuantile(900) * MedianFactor(m) / rootM, sigma,
                       limits);
      break;
    case LimitRule::AcceptanceSingle: {
      // The base is 1 - 0.9 as double arithmetic gives it, two units in the last place below the double
      // nearest to 0.1. The quantile between two table rows is interpolated, so those bits reach the
      // limits: the literal keeps them exactly as they have always been.
      double f = NormalQuantile(950) - SPC_QuantilePerMille(std::pow(0.09999999999999998, 1.0 / m) * 1000);
      AcceptanceLimits(request, f, sigma, limits);
      break;
    }
  }
}

void DispersionLimits(const ChartKind& kind, const SpcStatistics& stats, ControlLimits& limits) {
  const int32_t m = stats.m;
  double upper, lower;
  switch (kind.dispersion) {
    case Dispersion::StdDev: upper = B6(m); lower = B5(m); break;
    case Dispersion::Range: upper = D2(m); lower = D1(m); break;
    default: return;  // no dispersion chart: all five stay 0
  }
  const double sigma = stats.sigmaWithin;
  limits.dispersionUpper = limits.dispersionUpperWarning = upper * sigma;
  limits.dispersionLower = limits.dispersionLowerWarning = lower * sigma;
  limits.dispersionCentre = (upper + lower) * sigma / 2;
}

void ControlLimitsOf(const SpcRequest& request, const ChartKind& kind, const SpcStatistics& stats,
                     ControlLimits& limits) {
  limits.seriesCount = 1;
  if (stats.m < 2) return;  // no subgroups: no limits at all
  // Kinds from 30 up make no location limits, so they draw no limit lines.
  limits.limitsPresent = (kind.controlCharts && kind.limits == LimitRule::None) ? 0 : 1;
  limits.warningPresent = kind.warningPresent;
  limits.seriesCount = kind.seriesCount;
  LocationLimits(request, kind.limits, stats, limits);
  DispersionLimits(kind, stats, limits);
}

// The median of positions 1 .. m by the exchange sort the medians have
// always had. With a value that is not a number it is no sort at all, and
// equal zeros of either sign can end in either order: the median then is
// whatever this order of exchanges leaves in the middle.
double ExchangeSortMedian(double* values, int32_t m) {
  for (int32_t i = 1; i <= m - 1; ++i)
    for (int32_t l = i + 1; l <= m; ++l)
      if (values[l] < values[i]) {
        double held = values[i];
        values[i] = values[l];
        values[l] = held;
      }
  return m % 2 == 1 ? values[(m + 1) / 2] : (values[m / 2] + values[m / 2 + 1]) / 2;
}

// Values among which equal ones have equal bits: no value that is not a
// number, no zero (of either sign).
bool EqualMeansSameBits(const double* values, int32_t m) {
  bool plain = true;
  for (int32_t i = 1; i <= m; ++i) plain &= values[i] == values[i] && values[i] != 0.0;
  return plain;
}

// Batcher's merge exchange sort of n positions as its fixed list of
// compare-exchanges (Knuth, TAOCP 5.2.2, algorithm M): O(n log^2 n) of them,
// the same for every subgroup of n, so there is no branch on the values to
// mispredict (for 20 values 97 against the exchange sort's 190 comparisons).
constexpr int kNetworkPairs = 128;
struct SortNetwork {
  uint8_t low[kNetworkPairs];
  uint8_t high[kNetworkPairs];
  int count;
};

constexpr SortNetwork MergeExchangeNetwork(int n) {
  SortNetwork network{};
  int t = 0;
  while ((1 << t) < n) ++t;
  for (int p = t > 0 ? 1 << (t - 1) : 0; p > 0; p /= 2) {
    int q = 1 << (t - 1), r = 0, d = p;
    for (;;) {
      for (int i = 0; i + d < n; ++i)
        if ((i & p) == r) {
          network.low[network.count] = static_cast<uint8_t>(i);
          network.high[network.count] = static_cast<uint8_t>(i + d);
          ++network.count;
        }
      if (q == p) break;
      d = q - p;
      q /= 2;
      r = p;
    }
  }
  return network;
}

struct SortNetworks {
  SortNetwork bySize[kLargestSubgroup + 1];
};

constexpr SortNetworks MakeSortNetworks() {
  SortNetworks networks{};
  for (int n = 0; n <= kLargestSubgroup; ++n) networks.bySize[n] = MergeExchangeNetwork(n);
  return networks;
}

constexpr SortNetworks kSortNetworks = MakeSortNetworks();
static_assert(kSortNetworks.bySize[kLargestSubgroup].count <= kNetworkPairs, "the largest network fits its list");

// The median of positions 1 .. m (the order of the values changes). Where
// equal values have equal bits every sort leaves the same middle values as
// the exchange sort, so they are sorted by the network rather than in m^2
// comparisons; otherwise the exchange sort decides, as it always has.
double Median(double* values, int32_t m) {
  if (!kReferenceLoops && EqualMeansSameBits(values, m)) {
    const SortNetwork& network = kSortNetworks.bySize[m];
    double* sorted = values + 1;
    for (int c = 0; c < network.count; ++c) {
      const double a = sorted[network.low[c]], b = sorted[network.high[c]];
      sorted[network.low[c]] = b < a ? b : a;
      sorted[network.high[c]] = b < a ? a : b;
    }
    return m % 2 == 1 ? values[(m + 1) / 2] : (values[m / 2] + values[m / 2 + 1]) / 2;
  }
  return ExchangeSortMedian(values, m);
}

// Fills the subgroup series. The scratch subgroup lives on the stack (at most
// 20 values), so there is no allocation that could fail.
void SubgroupValues(const SpcRequest& request, const ChartKind& kind, const SpcStatistics& stats) {
  const int32_t m = stats.m;
  double scratch[kLargestSubgroup + 1];
  double* location = LocationSeries;
  double* largestSeries = LocationSeries + kSeriesStride;
  for (int32_t j = 1; j <= stats.k; ++j) {
    const double* values = request.meaval + m * (j - 1);
    double sum = values[1], squares = values[1] * values[1], smallest = values[1], largest = values[1];
    scratch[1] = values[1];
    for (int32_t i = 2; i <= m; ++i) {
      double x = values[i];
      scratch[i] = x;
      sum += x;
      squares += x * x;
      if (x < smallest) smallest = x;
      if (x > largest) largest = x;
    }
    switch (kind.plotted) {
      case Plotted::Mean: location[j] = sum / m; break;
      case Plotted::Median: location[j] = Median(scratch, m); break;
      case Plotted::Extremes:
        location[j] = smallest;
        largestSeries[j] = largest;
        break;
    }
    switch (kind.dispersion) {
      case Dispersion::StdDev: DispersionSeries[j] = SpreadRoot((squares - sum * sum / m) / (m - 1)); break;
      case Dispersion::Range: DispersionSeries[j] = largest - smallest; break;
      case Dispersion::None: DispersionSeries[j] = 0.0; break;  // nothing of an earlier request stays
    }
  }
}

}  // namespace

SpcRequest SPC_RequestOfArguments(uint32_t typ, const double* meaval, int32_t numofval, double NomSize, double USL,
                                  double LSL, uint32_t USLOnOff, uint32_t LSLOnOff, int32_t SampleSize,
                                  uint32_t SPCNorm) {
  return SpcRequest{Low16Signed(typ), meaval, numofval, NomSize, USL, LSL, Low16Signed(USLOnOff),
                    Low16Signed(LSLOnOff), SampleSize, Low16Signed(SPCNorm)};
}

WithinSubgroupEstimate SPC_WithinSubgroups(const double* values, int32_t m, int32_t k, int16_t SPCNorm) {
  WithinSubgroupEstimate estimate;
  if (m < 2 || k < 1 || SPCNorm < 0 || SPCNorm > 3) return estimate;
  double sumAll = 0.0, squaresAll = 0.0, pooled = 0.0, sumOfDeviations = 0.0, sumOfRanges = 0.0;
  for (int32_t j = 1; j <= k; ++j) {
    const double* subgroup = values + m * (j - 1);
    double sum = 0.0, squares = 0.0, smallest = 1e17, largest = -1e17;
    for (int32_t i = 1; i <= m; ++i) {
      double x = subgroup[i];
      sum += x;
      squares += x * x;
      if (x > largest) largest = x;
      if (x < smallest) smallest = x;
    }
    sumAll += sum;
    squaresAll += squares;
    pooled += squares - sum * sum / m;
    sumOfDeviations += SpreadRoot((squares - sum * sum / m) / (m - 1));
    sumOfRanges += largest - smallest;
  }
  int32_t used = m * k;
  estimate.grandMean = sumAll / used;
  switch (SPCNorm) {
    case 3: estimate.sigma = SpreadRoot(pooled / ((m - 1) * k)); break;
    case 2: estimate.sigma = (sumOfDeviations / k) / c4(m); break;
    case 1: estimate.sigma = (sumOfRanges / k) / d2(m); break;
    default: estimate.sigma = SpreadRoot((squaresAll - sumAll * sumAll / used) / (used - 1)); break;
  }
  return estimate;
}

double* SPC_LocationSeries() { return LocationSeries; }

double* SPC_DispersionSeries() { return DispersionSeries; }

double SPC_QuantilePerMille(double p) {
  if (std::isnan(p)) return p;
  // Below the median the normal quantile is the mirror image of the one above.
  if (p < 500.0) return -SPC_QuantilePerMille(1000.0 - p);
  if (p >= 998.64 && p <= 998.66) return 3.0;
  double whole = std::floor(p);
  int a = whole <= 1000.0 ? static_cast<int>(whole) : 1000;
  int b = a + 1 <= 1000 ? a + 1 : 1000;
  if (a == b) return NormalQuantile(a);  // from 1000 per mille up: the last row, whatever p is
  return (NormalQuantile(b) - NormalQuantile(a)) * (p - a) + NormalQuantile(a);
}

bool SPC_ComputeRequest(const SpcRequest& request, SpcResult& result, const SpcGivenLimits* given) {
  if (request.SampleSize <= 0 || request.numofval < 0 || request.numofval > 65535) return false;
  if (request.numofval > 0 && !request.meaval) return false;
  const bool centreGiven = given && !std::isnan(given->centre), sigmaGiven = given && !std::isnan(given->sigma);
  if (centreGiven && !std::isfinite(given->centre)) return false;
  if (sigmaGiven && !(std::isfinite(given->sigma) && given->sigma > 0.0)) return false;
  result = SpcResult{};
  const ChartKind kind = ChartKindOf(request.typ);
  SpcStatistics& stats = result.stats;

  result.xPositions = XPositions(request);
  OverallPass(request, stats);
  OverallFigures(stats);
  Capability(request, stats.stdDev, stats.mean, stats.Cm, stats.Cmk);
  Histogram(request, stats, result.classes);

  // Consecutive subgroups; k counts with the size given, at most 20 values are used per subgroup.
  stats.k = request.numofval / request.SampleSize;
  stats.m = request.SampleSize > kLargestSubgroup ? kLargestSubgroup : request.SampleSize;
  const WithinSubgroupEstimate within = SPC_WithinSubgroups(request.meaval, stats.m, stats.k, request.SPCNorm);
  stats.grandMean = within.grandMean;
  stats.sigmaWithin = within.sigma;
  if (stats.m < 2) {
    stats.Cp = stats.Cm;
    stats.Cpk = stats.Cmk;
  } else {
    Capability(request, stats.sigmaWithin, stats.grandMean, stats.Cp, stats.Cpk);
  }
  // The limits come from the same formulas, fed with what was given in place of the data's Z and σ̂.
  SpcStatistics basis = stats;
  if (centreGiven) basis.grandMean = given->centre;
  if (sigmaGiven) basis.sigmaWithin = given->sigma;
  ControlLimitsOf(request, kind, basis, result.limits);
  result.limitsCentre = basis.grandMean;
  result.limitsSigma = basis.sigmaWithin;
  result.centreGiven = centreGiven;
  result.sigmaGiven = sigmaGiven;

  if (kind.controlCharts && stats.m >= 2) {
    result.runTestsAllowed = kind.runTests;
    SubgroupValues(request, kind, stats);
    result.seriesWritten = true;
    result.dispersionWritten = kind.dispersion != Dispersion::None;
  }
  return true;
}
