// Shared by the fuzz targets of the control charts: the eight run tests read
// as running counts over the points, independent of the library's
// window-by-window reading.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "spc/core/spc_run_tests.h"

namespace fuzz {

// The tests read as running counts over the points, independent of the
// window-by-window reading of the library: a count per pattern, reset by a
// break and by a point that is not a number.
inline std::vector<uint16_t> RunningCountFlags(const RunTestSeries& s, uint8_t tests) {
  std::vector<uint16_t> flags(static_cast<size_t>(std::max(s.count, 0)) + 1, 0);
  int32_t sideRun = 0, lastSide = 0;      // test 2
  int32_t trendSteps = 0, lastStep = 0;   // test 3, test 4
  int32_t alternatingSteps = 0;
  int32_t withinRun = 0, outsideRun = 0;  // tests 7, 8
  int32_t lastAbove = -100, lastBelow = -100;
  int32_t numbers = 0;
  const double c = s.centre, z = s.zone;
  auto side = [&](double x, double distance) { return x > c + distance ? 1 : (x < c - distance ? -1 : 0); };
  for (int32_t j = 1; j <= s.count; ++j) {
    const double x = s.low[j];
    uint16_t f = 0;
    if (std::isnan(x) || std::isnan(s.high[j])) {
      numbers = sideRun = trendSteps = alternatingSteps = withinRun = outsideRun = 0;
      lastStep = 0;
      lastAbove = lastBelow = -100;
      flags[j] = 0;
      continue;
    }
    ++numbers;
    const double upper = s.upperLimits ? s.upperLimits[j] : s.upperLimit;
    const double lower = s.lowerLimits ? s.lowerLimits[j] : s.lowerLimit;
    if (s.high[j] > upper || x < lower) f |= 1;

    const int here = side(x, 0.0);
    sideRun = (here != 0 && (sideRun == 0 || here == lastSide)) ? sideRun + 1 : (here != 0 ? 1 : 0);
    lastSide = here;
    if (sideRun >= 9) f |= 2;

    const int step = numbers >= 2 ? (x > s.low[j - 1] ? 1 : (x < s.low[j - 1] ? -1 : 0)) : 0;
    trendSteps = step == 0 ? 0 : (step == lastStep ? trendSteps + 1 : 1);
    alternatingSteps = step == 0 ? 0 : (lastStep != 0 && step == -lastStep ? alternatingSteps + 1 : 1);
    lastStep = step;
    if (trendSteps >= 5) f |= 4;
    if (alternatingSteps >= 13) f |= 8;

    for (int pattern = 0; pattern < 2; ++pattern) {  // test 5: 2 of 3 beyond 2σ; test 6: 4 of 5 beyond 1σ
      const int32_t points = pattern == 0 ? 3 : 5, needed = pattern == 0 ? 2 : 4;
      const double distance = pattern == 0 ? 2.0 * z : z;
      const int last = side(x, distance);
      if (last == 0 || numbers < points) continue;
      int32_t beyond = 0;
      for (int32_t i = j - points + 1; i <= j; ++i) beyond += side(s.low[i], distance) == last;
      if (beyond >= needed) f |= pattern == 0 ? 16 : 32;
    }

    withinRun = (c - z <= x && x <= c + z) ? withinRun + 1 : 0;
    if (withinRun >= 15) f |= 64;
    const int outside = side(x, z);
    outsideRun = outside != 0 ? outsideRun + 1 : 0;
    if (outside > 0) lastAbove = j;
    if (outside < 0) lastBelow = j;
    if (outsideRun >= 8 && lastAbove > j - 8 && lastBelow > j - 8) f |= 128;
    flags[j] = static_cast<uint16_t>(f & tests);
  }
  return flags;
}

}  // namespace fuzz
