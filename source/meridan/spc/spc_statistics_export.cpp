// Create_SPCStatistics: the computations of Create_SPCBitmap, handed back as numbers.
#include <windows.h>

#include "meridan_api.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_statistics_results.h"
#include "spc/spc_request_lock.h"

namespace {

int16_t Low16(uint32_t slot) { return static_cast<int16_t>(slot & 0xFFFFu); }

}  // namespace

extern "C" int32_t WINAPI Create_SPCStatistics(uint32_t typ, const double* meaval, int32_t numofval, double NomSize,
                                               double USL, double LSL, uint32_t USLOnOff, uint32_t LSLOnOff,
                                               int32_t SampleSize, uint32_t SPCNorm, double* results) {
  if (!results) return 0;
  SpcRequest request{Low16(typ), meaval,          numofval,   NomSize,       USL,
                     LSL,        Low16(USLOnOff), Low16(LSLOnOff), SampleSize, Low16(SPCNorm)};
  std::lock_guard<std::mutex> turn(SPC_RequestLock());
  SpcResult result;
  if (!SPC_ComputeRequest(request, result)) return 0;
  SPC_WriteStatisticsResults(result, results);
  return kStatisticsResultCount;
}
