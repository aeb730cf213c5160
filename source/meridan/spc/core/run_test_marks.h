// How the page shows the run tests: the ring drawn around each flagged point
// (in a colour of its own, so it stands apart from the red markers beyond the
// limits and shows also where the chart has too many points for markers), and
// the legend line in the title band. Platform-free: the page's GDI code draws these.
#pragma once
#include <cstdint>
#include <string>

#include "spc/core/draw_math.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_run_tests.h"

constexpr Colour kFlaggedColour = Rgb(255, 128, 0);

// Ring around a flagged point, from the page scale: radius trunc(6 s) and pen
// width trunc(2 s), s being the marker size (page scale / 1.5, at least 1).
int32_t RunTest_RingRadius(double scale);
int RunTest_RingPenWidth(double scale);

// The legend line: the tests that fired with their counts when the page marks
// flagged points, and the given centre and standard deviation when the limits
// were made from them, for example
// "Historical limits: centre 10.0000, sigma 0.0500   Run tests: 1 beyond limits (2), 2 nine on one side (3)",
// or in its short form (for a title band with less room)
// "Historical limits 10.0000 / 0.0500   Run tests (points): 1 (2), 2 (3)".
// Empty when there is nothing to say (no marking, limits from the data).
enum class LegendForm { Full, Short };
std::string RunTest_Legend(const SpcResult& result, const SpcRunTests& tests, bool markFlagged, LegendForm form);

// The short name of run test t (1 .. 8), "beyond limits" for test 1; empty outside.
const char* RunTest_Name(int t);
