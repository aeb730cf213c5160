#include "spc/core/spc_request_options.h"

#include <cmath>

bool SPC_ReadOptions(const double* options, int32_t count, SpcOptions* read) {
  *read = SpcOptions{};
  if (count < 0 || (count > 0 && !options)) return false;
  auto given = [&](int element) { return count >= element && !std::isnan(options[element]); };
  if (given(kOptionGivenCentre)) read->given.centre = options[kOptionGivenCentre];
  if (given(kOptionGivenSigma)) read->given.sigma = options[kOptionGivenSigma];
  if (given(kOptionRunTests)) {
    const double mask = options[kOptionRunTests];
    if (!(mask >= 0 && mask <= 255 && mask == std::floor(mask))) return false;
    read->runTests = static_cast<uint8_t>(mask);
  }
  if (given(kOptionMarkFlagged)) read->markFlagged = options[kOptionMarkFlagged] != 0;
  return true;
}
