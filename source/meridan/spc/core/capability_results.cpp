#include "spc/core/capability_results.h"

void Capability_FigureArray(const CapabilityFigures& f, double (&a)[kCapabilityResultCount + 1]) {
  a[0] = 0.0;
  a[kCapN] = f.nUsed;
  a[kCapLeftOut] = f.leftOut;
  a[kCapMean] = f.mean;
  a[kCapStdDev] = f.stdDev;
  a[kCapSigmaWithin] = f.sigmaWithin;
  a[kCapK] = f.k;
  a[kCapM] = f.m;
  a[kCapPp] = f.Pp;
  a[kCapPPL] = f.PPL;
  a[kCapPPU] = f.PPU;
  a[kCapPpk] = f.Ppk;
  a[kCapCp] = f.Cp;
  a[kCapCPL] = f.CPL;
  a[kCapCPU] = f.CPU;
  a[kCapCpk] = f.Cpk;
  a[kCapCpm] = f.Cpm;
  a[kCapPpLower] = f.PpInterval.lower;
  a[kCapPpUpper] = f.PpInterval.upper;
  a[kCapPpkLower] = f.PpkInterval.lower;
  a[kCapPpkUpper] = f.PpkInterval.upper;
  a[kCapCpLower] = f.CpInterval.lower;
  a[kCapCpUpper] = f.CpInterval.upper;
  a[kCapCpkLower] = f.CpkInterval.lower;
  a[kCapCpkUpper] = f.CpkInterval.upper;
  a[kCapCpmLower] = f.CpmInterval.lower;
  a[kCapCpmUpper] = f.CpmInterval.upper;
  a[kCapObservedBelow] = f.observed.below;
  a[kCapObservedAbove] = f.observed.above;
  a[kCapObservedTotal] = f.observed.total;
  a[kCapOverallBelow] = f.expectedOverall.below;
  a[kCapOverallAbove] = f.expectedOverall.above;
  a[kCapOverallTotal] = f.expectedOverall.total;
  a[kCapWithinBelow] = f.expectedWithin.below;
  a[kCapWithinAbove] = f.expectedWithin.above;
  a[kCapWithinTotal] = f.expectedWithin.total;
  a[kCapZBenchOverall] = f.zBenchOverall;
  a[kCapZBenchWithin] = f.zBenchWithin;
  a[kCapAndersonDarling] = f.andersonDarling;
  a[kCapAndersonDarlingAdjusted] = f.andersonDarlingAdjusted;
  a[kCapAndersonDarlingP] = f.andersonDarlingP;
  a[kCapDistribution] = f.fit.status;
  a[kCapFirstParameter] = f.fit.first;
  a[kCapSecondParameter] = f.fit.second;
  a[kCapFitAndersonDarling] = f.fitAndersonDarling;
  a[kCapPercentilePp] = f.percentilePp;
  a[kCapPercentilePPL] = f.percentilePPL;
  a[kCapPercentilePPU] = f.percentilePPU;
  a[kCapPercentilePpk] = f.percentilePpk;
  a[kCapFittedBelow] = f.expectedFitted.below;
  a[kCapFittedAbove] = f.expectedFitted.above;
  a[kCapFittedTotal] = f.expectedFitted.total;
  a[kCapCapable] = f.capable ? 1.0 : 0.0;
  a[kCapCapableAtLowerLimit] = f.capableAtLowerLimit ? 1.0 : 0.0;
  a[kCapTarget] = f.target;
  a[kCapLevel] = f.level;
}

int32_t Capability_WriteResults(const CapabilityFigures& figures, double* results, int32_t capacity) {
  if (!results || capacity < 1) return 0;
  double array[kCapabilityResultCount + 1];
  Capability_FigureArray(figures, array);
  int32_t count = capacity < kCapabilityResultCount ? capacity : kCapabilityResultCount;
  for (int32_t i = 1; i <= count; ++i) results[i] = array[i];
  return count;
}

int32_t Capability_Statistics(const double* values, int32_t count, int32_t SampleSize, uint32_t SPCNorm,
                              double NomSize, double USL, double LSL, uint32_t USLOnOff, uint32_t LSLOnOff,
                              const double* options, int32_t optionCount, double* results, int32_t capacity) {
  if (!results || capacity < 1) return 0;
  CapabilityRequest request;
  if (!Capability_ReadRequest(values, count, SampleSize, SPCNorm, NomSize, USL, LSL, USLOnOff, LSLOnOff, options,
                              optionCount, &request))
    return 0;
  CapabilityFigures figures;
  Capability_Compute(request, &figures);
  return Capability_WriteResults(figures, results, capacity);
}
