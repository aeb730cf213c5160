// The export that hands the figures of a chart request to a macro, without
// drawing anything. 16-bit arguments arrive in 32-bit slots; only their low
// 16 bits count.
#pragma once
#include <cstdint>

extern "C" {

// Runs the computations of a chart request and writes elements 1 .. 48 of
// `results` (element 0 untouched); returns 48. A request outside the contract
// (SampleSize 0 or below, numofval below 0 or above 65535, no values or no
// results array to go with them) returns 0 and leaves `results` untouched.
int32_t __stdcall Create_SPCStatistics(uint32_t typ, const double* meaval, int32_t numofval, double NomSize,
                                       double USL, double LSL, uint32_t USLOnOff, uint32_t LSLOnOff,
                                       int32_t SampleSize, uint32_t SPCNorm, double* results);
}
