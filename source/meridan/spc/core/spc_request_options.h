// The options of the extended chart exports: an array of numbers (element 0
// never read) with its element count, so that later options need no new
// export. Elements beyond those known here are ignored.
#pragma once
#include <cstdint>
#include <limits>

#include "spc/core/spc_request.h"
#include "spc/core/spc_run_tests.h"

enum SpcOptionElement {
  kOptionGivenCentre = 1,  // centre of the limits; not a number: Z of the data
  kOptionGivenSigma = 2,   // σ̂ of the limits; not a number: σ̂ of the data
  kOptionRunTests = 3,     // tests to apply, bit 0 = test 1 ... bit 7 = test 8; not a number: all eight
  kOptionMarkFlagged = 4,  // not 0: the page marks the flagged points; 0 or not a number: it does not
};

struct SpcOptions {
  SpcGivenLimits given{std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
  uint8_t runTests = kAllRunTests;
  bool markFlagged = false;
};

// Reads `count` options from options[1 ..]; an element not given keeps its
// default. False for options outside the contract: a negative count, a count
// without an array, or a test mask that is not a whole number from 0 to 255.
// (The given limits are checked by the request.)
bool SPC_ReadOptions(const double* options, int32_t count, SpcOptions* read);
