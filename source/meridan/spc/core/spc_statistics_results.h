// The figures of a chart request as a flat array of numbers for the
// workbook (Create_SPCStatistics): element i of the caller's array for i = 1 .. 48.
#pragma once
#include "spc/core/spc_request.h"

constexpr int kStatisticsResultCount = 48;

// Writes elements 1 .. 48 of `results` (element 0 is left alone):
//  1 n, 2 mean, 3 standard deviation s, 4 smallest, 5 largest, 6 range,
//  7 count above USL, 8 count below LSL, 9 percentage outside, 10 Cm, 11 Cmk,
// 12 k, 13 m, 14 Z, 15 within-subgroup standard deviation, 16 Cp, 17 Cpk,
// 18 upper control, 19 upper warning, 20 lower warning, 21 lower control,
// 22 limitsPresent, 23 warningPresent, 24 seriesCount,
// 25 .. 29 dispersion upper, upper warning, centre, lower warning, lower,
// 30 number of x positions, 31 histogram class range low end, 32 high end,
// 33 peak count, 34 .. 48 the counts of classes 1 to 15.
void SPC_WriteStatisticsResults(const SpcResult& result, double* results);
