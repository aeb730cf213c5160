// Create_CapabilityStatistics: the figures of a capability study, handed back as numbers.
#include <windows.h>

#include "meridan_api.h"
#include "spc/core/capability_results.h"

// The study keeps nothing between calls and writes no process-wide series
// (its within σ̂ comes from a chart request of kind 0), so calls from several
// threads need no turn.
extern "C" int32_t WINAPI Create_CapabilityStatistics(const double* values, int32_t count, int32_t SampleSize,
                                                      uint32_t SPCNorm, double NomSize, double USL, double LSL,
                                                      uint32_t USLOnOff, uint32_t LSLOnOff, const double* options,
                                                      int32_t optionCount, double* results, int32_t capacity) {
  return Capability_Statistics(values, count, SampleSize, SPCNorm, NomSize, USL, LSL, USLOnOff, LSLOnOff, options,
                               optionCount, results, capacity);
}
