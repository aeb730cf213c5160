// The figures of a chart request with its run tests, as a flat array of
// numbers for the workbook (Create_SPCStatisticsEx): elements 1 .. 48 as
// Create_SPCStatistics writes them, then the basis of the limits, the test
// counts and, one element per subgroup, the tests it breaks.
#pragma once
#include <cstdint>

#include "spc/core/spc_request.h"
#include "spc/core/spc_run_tests.h"

enum SpcRunTestFigure {
  kFigureLimitsCentre = 49,    // centre the limits were made from
  kFigureLimitsSigma = 50,     // σ̂ the limits were made from
  kFigureCentreGiven = 51,     // 1 when that centre was given, else 0 (Z of the data)
  kFigureSigmaGiven = 52,      // 1 when that σ̂ was given, else 0
  kFigureTestCounts = 53,      // 53 .. 60: points flagged by tests 1 .. 8
  kFigureDispersionCount = 61, // dispersion values beyond a dispersion limit
  kFigureFirstFlagged = 62,    // 62 .. 69: first subgroup flagged by tests 1 .. 8, 0 when none
  kFigureSubgroupFlags = 70,   // 70 on: subgroup 1, 2, ...: bits 0 .. 7 tests 1 .. 8, bit 8 the dispersion value
};

// Writes elements 1 .. 69 + k of `results`, as many as the capacity (the
// highest element the array holds) allows; element 0 is left alone. Returns
// the number of elements written (0 for a capacity below 1).
int32_t SPC_WriteRunTestFigures(const SpcResult& result, const SpcRunTests& tests, double* results,
                                int32_t capacity);
