// Create_SPCStatistics: the computations of Create_SPCBitmap, handed back as numbers.
#include <windows.h>

#include "meridan_api.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_statistics_results.h"

extern "C" int32_t WINAPI Create_SPCStatistics(uint32_t typ, const double* meaval, int32_t numofval, double NomSize,
                                               double USL, double LSL, uint32_t USLOnOff, uint32_t LSLOnOff,
                                               int32_t SampleSize, uint32_t SPCNorm, double* results) {
  if (!results) return 0;
  const SpcRequest request =
      SPC_RequestOfArguments(typ, meaval, numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, SampleSize, SPCNorm);
  SpcResult result;
  if (!SPC_ComputeRequest(request, result)) return 0;
  SPC_WriteStatisticsResults(result, results);
  return kStatisticsResultCount;
}
