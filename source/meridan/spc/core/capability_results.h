// The figures of a capability study as a flat array of numbers for the
// workbook (Create_CapabilityStatistics): element i of the caller's array for
// i = 1 .. 55, cut at the caller's capacity.
#pragma once
#include <cstdint>

#include "spc/core/capability_study.h"

constexpr int32_t kCapabilityResultCount = 55;

// The elements, by name for the macro module. Element 41 is the distribution
// used (0 normal only, 1 lognormal, 2 Weibull, 3 Box-Cox) or, when a fit was
// asked for and none could be made, why: -1 a value is 0 or below, -2 the
// Weibull shape did not converge, -3 fewer than two different values (the
// fit's figures 42 .. 51 are then not numbers, the normal ones stay).
enum CapabilityFigure {
  kCapN = 1, kCapLeftOut, kCapMean, kCapStdDev, kCapSigmaWithin, kCapK, kCapM,
  kCapPp, kCapPPL, kCapPPU, kCapPpk, kCapCp, kCapCPL, kCapCPU, kCapCpk, kCapCpm,
  kCapPpLower, kCapPpUpper, kCapPpkLower, kCapPpkUpper, kCapCpLower, kCapCpUpper, kCapCpkLower, kCapCpkUpper,
  kCapCpmLower, kCapCpmUpper,
  kCapObservedBelow, kCapObservedAbove, kCapObservedTotal,
  kCapOverallBelow, kCapOverallAbove, kCapOverallTotal, kCapWithinBelow, kCapWithinAbove, kCapWithinTotal,
  kCapZBenchOverall, kCapZBenchWithin,
  kCapAndersonDarling, kCapAndersonDarlingAdjusted, kCapAndersonDarlingP,
  kCapDistribution, kCapFirstParameter, kCapSecondParameter, kCapFitAndersonDarling,
  kCapPercentilePp, kCapPercentilePPL, kCapPercentilePPU, kCapPercentilePpk,
  kCapFittedBelow, kCapFittedAbove, kCapFittedTotal,
  kCapCapable, kCapCapableAtLowerLimit, kCapTarget, kCapLevel,
};
static_assert(kCapLevel == kCapabilityResultCount, "the last figure is element 55");

// All 55 figures, element i at index i (index 0 unused).
void Capability_FigureArray(const CapabilityFigures& figures, double (&array)[kCapabilityResultCount + 1]);

// Writes elements 1 .. min(capacity, 55) of `results` (element 0 is left
// alone) and returns how many; 0 and nothing written for a capacity of 0 or
// below or no array.
int32_t Capability_WriteResults(const CapabilityFigures& figures, double* results, int32_t capacity);

// The whole export behind Create_CapabilityStatistics: reads the request,
// computes and writes. 0 and nothing written for a refused request.
int32_t Capability_Statistics(const double* values, int32_t count, int32_t SampleSize, uint32_t SPCNorm,
                              double NomSize, double USL, double LSL, uint32_t USLOnOff, uint32_t LSLOnOff,
                              const double* options, int32_t optionCount, double* results, int32_t capacity);
