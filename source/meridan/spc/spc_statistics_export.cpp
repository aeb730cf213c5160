// Create_SPCStatistics: the computations of Create_SPCBitmap, handed back as numbers.
#include <windows.h>

#include "meridan_api.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_request_options.h"
#include "spc/core/spc_run_test_figures.h"
#include "spc/core/spc_run_tests.h"
#include "spc/core/spc_statistics_results.h"
#include "spc/spc_request_lock.h"

extern "C" int32_t WINAPI Create_SPCStatistics(uint32_t typ, const double* meaval, int32_t numofval, double NomSize,
                                               double USL, double LSL, uint32_t USLOnOff, uint32_t LSLOnOff,
                                               int32_t SampleSize, uint32_t SPCNorm, double* results) {
  if (!results) return 0;
  const SpcRequest request =
      SPC_RequestOfArguments(typ, meaval, numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, SampleSize, SPCNorm);
  std::lock_guard<std::mutex> turn(SPC_RequestLock());
  SpcResult result;
  if (!SPC_ComputeRequest(request, result)) return 0;
  SPC_WriteStatisticsResults(result, results);
  return kStatisticsResultCount;
}

// Create_SPCStatisticsEx: the same figures, then the run tests of the request
// and what its limits were made from, never past the caller's capacity.
extern "C" int32_t WINAPI Create_SPCStatisticsEx(uint32_t typ, const double* meaval, int32_t numofval,
                                                 double NomSize, double USL, double LSL, uint32_t USLOnOff,
                                                 uint32_t LSLOnOff, int32_t SampleSize, uint32_t SPCNorm,
                                                 const double* options, int32_t optionCount, double* results,
                                                 int32_t capacity) {
  SpcOptions read;
  if (!results || capacity < 1 || !SPC_ReadOptions(options, optionCount, &read)) return 0;
  const SpcRequest request =
      SPC_RequestOfArguments(typ, meaval, numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, SampleSize, SPCNorm);
  std::lock_guard<std::mutex> turn(SPC_RequestLock());
  SpcResult result;
  if (!SPC_ComputeRequest(request, result, &read.given)) return 0;
  SpcRunTests tests;
  SPC_RunTestsOfRequest(result, read.runTests, &tests);
  return SPC_WriteRunTestFigures(result, tests, results, capacity);
}
