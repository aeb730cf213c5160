// The run tests of a control chart: eight patterns of points that a process in
// control rarely shows (a point beyond a limit, runs on one side, trends,
// alternation, points far from or hugging the centre). Each test flags the
// point that completes its pattern and every later point while the pattern
// goes on. Plain arithmetic on the subgroup series; no drawing here.
#pragma once
#include <cstdint>
#include <vector>

#include "spc/core/spc_request.h"

constexpr int kRunTestCount = 8;
constexpr uint8_t kAllRunTests = 0xFF;
// In the flags of a subgroup, beside bits 0 to 7 (tests 1 to 8 on the location
// chart): the dispersion value beyond a dispersion limit.
constexpr uint16_t kDispersionBeyondFlag = 1u << kRunTestCount;

// One plotted series as the tests read it, points j = 1 .. count.
struct RunTestSeries {
  const double* low = nullptr;   // tested against the lower limit, and by tests 2 to 8
  const double* high = nullptr;  // tested against the upper limit: the largest values of a two-series chart,
                                 // else the same array as `low`
  int32_t count = 0;
  double upperLimit = 0, lowerLimit = 0;  // test 1: strictly above, strictly below
  // Limits that vary from point to point (j = 1 .. count), in place of the two above; null: the constant ones.
  const double* upperLimits = nullptr;
  const double* lowerLimits = nullptr;
  double centre = 0, zone = 0;            // C and the zone width σ of tests 2 to 8
};

// Sets bit t - 1 of flags[j] (j = 1 .. count) for each test t among `tests`
// that point j breaks; other bits are left as they are. A point that is not a
// number breaks every pattern it falls in and is never flagged.
void SPC_FlagRunTests(const RunTestSeries& series, uint8_t tests, uint16_t* flags);

// The series a computed request's tests read: the location chart (zones from
// the centre the limits were made from, σ = (upper control limit - C) / 3) and
// the dispersion chart (its own limits, test 1 only).
RunTestSeries SPC_LocationTestSeries(const SpcResult& result);
RunTestSeries SPC_DispersionTestSeries(const SpcResult& result);

struct SpcRunTests {
  uint8_t applied = 0;            // the tests asked for that the chart kind has
  bool dispersionTested = false;  // test 1 asked for and the chart has a dispersion chart
  int32_t counts[kRunTestCount] = {};
  int32_t firstFlagged[kRunTestCount] = {};  // subgroup number, 0 when none
  int32_t dispersionCount = 0;
  std::vector<uint16_t> flags;  // flags[j] for subgroups j = 1 .. k; flags[0] stays 0
};

// The tests among `tests` (bit 0 = test 1 ... bit 7 = test 8) that the chart
// kind of a computed request has, over its k subgroups. Run charts and kinds
// without limits have none: every count 0, every flag 0.
void SPC_RunTestsOfRequest(const SpcResult& result, uint8_t tests, SpcRunTests* outcome);

// Whether point j of plotted series `plotted` (1; 2 for the largest values of
// a two-series chart) carries the mark of a flagged point, given the flags of
// subgroup j that concern this chart: every flagged point, but on a
// two-series chart only the value beyond its limit.
bool SPC_PointMarked(const RunTestSeries& series, int32_t plotted, int32_t j, uint16_t flags);
