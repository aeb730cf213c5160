#include "spc/core/spc_run_tests.h"

#include <cmath>

namespace {

// +1 strictly above centre + distance, -1 strictly below centre - distance, else 0 (also for not a number).
int SideBeyond(double value, double centre, double distance) {
  if (value > centre + distance) return 1;
  if (value < centre - distance) return -1;
  return 0;
}

// +1 rising, -1 falling, 0 equal (or not a number).
int Step(double before, double after) {
  if (after > before) return 1;
  if (after < before) return -1;
  return 0;
}

// Each test looks at the `points` points that end at point `last`.

bool BeyondLimits(const RunTestSeries& s, int32_t last) {
  const double upper = s.upperLimits ? s.upperLimits[last] : s.upperLimit;
  const double lower = s.lowerLimits ? s.lowerLimits[last] : s.lowerLimit;
  return s.high[last] > upper || s.low[last] < lower;
}

bool NineOnOneSide(const RunTestSeries& s, int32_t last) {
  const int side = SideBeyond(s.low[last], s.centre, 0.0);
  for (int32_t i = last - 8; i < last; ++i)
    if (side == 0 || SideBeyond(s.low[i], s.centre, 0.0) != side) return false;
  return true;
}

bool SixRisingOrFalling(const RunTestSeries& s, int32_t last) {
  const int direction = Step(s.low[last - 1], s.low[last]);
  for (int32_t i = last - 4; i < last; ++i)
    if (direction == 0 || Step(s.low[i - 1], s.low[i]) != direction) return false;
  return true;
}

bool FourteenAlternating(const RunTestSeries& s, int32_t last) {
  for (int32_t i = last - 12; i <= last; ++i) {
    const int step = Step(s.low[i - 1], s.low[i]);
    if (step == 0 || (i > last - 12 && step == Step(s.low[i - 2], s.low[i - 1]))) return false;
  }
  return true;
}

// `needed` of the last `points` points beyond `zones` zone widths on one side, the last point among them.
bool ManyBeyond(const RunTestSeries& s, int32_t last, int32_t points, int32_t needed, double zones) {
  const double distance = zones * s.zone;
  const int side = SideBeyond(s.low[last], s.centre, distance);
  if (side == 0) return false;
  int32_t beyond = 0;
  for (int32_t i = last - points + 1; i <= last; ++i)
    if (SideBeyond(s.low[i], s.centre, distance) == side) ++beyond;
  return beyond >= needed;
}

bool TwoOfThreeBeyondTwoSigma(const RunTestSeries& s, int32_t last) { return ManyBeyond(s, last, 3, 2, 2.0); }

bool FourOfFiveBeyondOneSigma(const RunTestSeries& s, int32_t last) { return ManyBeyond(s, last, 5, 4, 1.0); }

bool FifteenWithinOneSigma(const RunTestSeries& s, int32_t last) {
  const double upper = s.centre + s.zone, lower = s.centre - s.zone;
  for (int32_t i = last - 14; i <= last; ++i)
    if (!(lower <= s.low[i] && s.low[i] <= upper)) return false;
  return true;
}

bool EightBeyondOneSigmaBothSides(const RunTestSeries& s, int32_t last) {
  bool above = false, below = false;
  for (int32_t i = last - 7; i <= last; ++i) {
    const int side = SideBeyond(s.low[i], s.centre, s.zone);
    if (side == 0) return false;
    (side > 0 ? above : below) = true;
  }
  return above && below;
}

struct RunTestDefinition {
  int32_t points;  // the points the pattern spans, ending at the point it flags
  bool (*completes)(const RunTestSeries& series, int32_t last);
};

// Test t is row t - 1.
constexpr RunTestDefinition kRunTests[kRunTestCount] = {
    {1, BeyondLimits},
    {9, NineOnOneSide},
    {6, SixRisingOrFalling},
    {14, FourteenAlternating},
    {3, TwoOfThreeBeyondTwoSigma},
    {5, FourOfFiveBeyondOneSigma},
    {15, FifteenWithinOneSigma},
    {8, EightBeyondOneSigmaBothSides},
};

bool IsNumber(const RunTestSeries& s, int32_t j) { return !std::isnan(s.low[j]) && !std::isnan(s.high[j]); }

}  // namespace

void SPC_FlagRunTests(const RunTestSeries& series, uint8_t tests, uint16_t* flags) {
  int32_t numbersInARow = 0;
  for (int32_t j = 1; j <= series.count; ++j) {
    // A pattern can only span points that are all numbers.
    numbersInARow = IsNumber(series, j) ? numbersInARow + 1 : 0;
    for (int t = 0; t < kRunTestCount; ++t) {
      const RunTestDefinition& test = kRunTests[t];
      if ((tests >> t & 1) && numbersInARow >= test.points && test.completes(series, j))
        flags[j] = static_cast<uint16_t>(flags[j] | 1u << t);
    }
  }
}

RunTestSeries SPC_LocationTestSeries(const SpcResult& result) {
  const ControlLimits& limits = result.limits;
  RunTestSeries series;
  series.low = SPC_LocationSeries();
  series.high = limits.seriesCount == 2 ? series.low + kSeriesStride : series.low;
  series.count = result.seriesWritten ? result.stats.k : 0;
  series.upperLimit = limits.upperControl;
  series.lowerLimit = limits.lowerControl;
  series.centre = result.limitsCentre;
  series.zone = (limits.upperControl - result.limitsCentre) / 3.0;
  return series;
}

RunTestSeries SPC_DispersionTestSeries(const SpcResult& result) {
  const ControlLimits& limits = result.limits;
  RunTestSeries series;
  series.low = series.high = SPC_DispersionSeries();
  series.count = result.dispersionWritten ? result.stats.k : 0;
  series.upperLimit = limits.dispersionUpper;
  series.lowerLimit = limits.dispersionLower;
  series.centre = limits.dispersionCentre;
  return series;
}

void SPC_RunTestsOfRequest(const SpcResult& result, uint8_t tests, SpcRunTests* outcome) {
  *outcome = SpcRunTests{};
  const int32_t k = result.stats.k > 0 ? result.stats.k : 0;
  outcome->flags.assign(static_cast<size_t>(k) + 1, 0);
  outcome->applied = tests & result.runTestsAllowed;
  outcome->dispersionTested = (outcome->applied & 1) && result.dispersionWritten;
  if (outcome->applied) SPC_FlagRunTests(SPC_LocationTestSeries(result), outcome->applied, outcome->flags.data());
  if (outcome->dispersionTested) {
    // Test 1 of the dispersion chart has a bit of its own in the subgroup's flags.
    std::vector<uint16_t> dispersion(outcome->flags.size(), 0);
    SPC_FlagRunTests(SPC_DispersionTestSeries(result), 1, dispersion.data());
    for (int32_t j = 1; j <= k; ++j)
      if (dispersion[j]) outcome->flags[j] = static_cast<uint16_t>(outcome->flags[j] | kDispersionBeyondFlag);
  }
  for (int32_t j = 1; j <= k; ++j) {
    const uint16_t f = outcome->flags[j];
    for (int t = 0; t < kRunTestCount; ++t)
      if (f >> t & 1) {
        ++outcome->counts[t];
        if (!outcome->firstFlagged[t]) outcome->firstFlagged[t] = j;
      }
    if (f & kDispersionBeyondFlag) ++outcome->dispersionCount;
  }
}

bool SPC_PointMarked(const RunTestSeries& series, int32_t plotted, int32_t j, uint16_t flags) {
  if (!flags) return false;
  if (series.high == series.low) return true;
  // On a two-series chart only the points beyond a limit are flagged: mark the value that is beyond.
  return plotted == 1 ? series.low[j] < series.lowerLimit : series.high[j] > series.upperLimit;
}
