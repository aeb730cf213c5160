// The capability study: what Create_CapabilityStatistics is given, and the
// figures computed from it (normal indices with their confidence intervals,
// parts per million, the Anderson–Darling check of normality, and the
// percentile indices of a fitted distribution for data that are not normal).
// Plain data; no drawing here.
#pragma once
#include <cstdint>

#include "spc/core/capability_fits.h"

// What the option "distribution" asks for.
enum class CapabilityDistribution : int8_t { NormalOnly = 0, Lognormal = 1, Weibull = 2, BoxCox = 3, BestFit = 4 };

enum CapabilityOptionElement {
  kCapabilityOptionTarget = 1,        // target T; not a number: NomSize
  kCapabilityOptionLevel = 2,         // confidence level, 0.5 < level < 1; not a number: 0.95
  kCapabilityOptionDistribution = 3,  // 0 .. 4 (CapabilityDistribution); not a number: 0
  kCapabilityOptionBoxCoxLambda = 4,  // λ of the Box-Cox transform, -5 .. 5; not a number: estimated
};

constexpr int32_t kCapabilityLargestCount = 65535;
constexpr double kCapabilityDefaultLevel = 0.95;

// A request as read from the export's arguments and options; only made by
// Capability_ReadRequest, which refuses what is outside the contract.
struct CapabilityRequest {
  const double* values;  // element 0 never read; values 1 .. count
  int32_t count;
  int32_t SampleSize;
  int16_t SPCNorm;       // 0 total, 1 mean range, 2 mean standard deviation, 3 pooled
  double NomSize;
  double USL;
  double LSL;
  bool upperInForce;
  bool lowerInForce;
  double target;
  double level;
  CapabilityDistribution distribution;
  double givenLambda;    // not a number: λ estimated
};

// Reads the arguments as the export receives them (16-bit arguments in 32-bit
// slots, of which the low half counts, as in the SPC exports). False for a
// request outside the contract: count 0 or below or above 65 535, values to
// read but no array, SampleSize below 1, SPCNorm outside 0 .. 3, no limit in
// force, a limit in force that is not a finite number, both limits in force
// with LSL not below USL, a negative option count or a count without an array,
// or an option out of its range (an infinite target, a level outside
// 0.5 < level < 1, a distribution that is not a whole number 0 .. 4, a given
// λ outside -5 .. 5). Options beyond element 4 are ignored.
bool Capability_ReadRequest(const double* values, int32_t count, int32_t SampleSize, uint32_t SPCNorm,
                            double NomSize, double USL, double LSL, uint32_t USLOnOff, uint32_t LSLOnOff,
                            const double* options, int32_t optionCount, CapabilityRequest* request);

// A lower and an upper confidence limit.
struct ConfidenceInterval {
  double lower;
  double upper;
};

// Parts per million below the LSL, above the USL and their total. A side
// whose limit is not in force counts 0.
struct PartsPerMillion {
  double below;
  double above;
  double total;
};

struct CapabilityFigures {
  int32_t nUsed;           // values that are numbers
  int32_t leftOut;         // values left out (not finite)
  double mean;             // x̄
  double stdDev;           // s, divisor n - 1
  double sigmaWithin;      // σ̂ by SPCNorm; with subgroups of 1 the mean moving range / d2(2)
  double centreWithin;     // Z, the mean of the values in complete subgroups (x̄ with subgroups of 1)
  int32_t k;               // subgroups (moving ranges + 1 with subgroups of 1)
  int32_t m;               // subgroup size in use
  double withinDegreesOfFreedom;
  double Pp, PPL, PPU, Ppk;
  double Cp, CPL, CPU, Cpk;
  double Cpm;
  ConfidenceInterval PpInterval, PpkInterval, CpInterval, CpkInterval, CpmInterval;
  PartsPerMillion observed, expectedOverall, expectedWithin;
  double zBenchOverall;
  double zBenchWithin;
  double andersonDarling;          // A² against the normal with x̄ and s
  double andersonDarlingAdjusted;  // A*²
  double andersonDarlingP;
  // The fitted distribution: its status says which one was used (a
  // FitStatus code: 0 normal only, 1 lognormal, 2 Weibull, 3 Box-Cox, or a
  // negative reason why no fit was made).
  DistributionFit fit;
  double fitAndersonDarling;
  double percentilePp, percentilePPL, percentilePPU, percentilePpk;
  PartsPerMillion expectedFitted;
  bool capable;                    // Ppk ≥ 1.33
  bool capableAtLowerLimit;        // the lower confidence limit of Ppk ≥ 1.33
  double target;
  double level;
};

// Computes every figure of a request read by Capability_ReadRequest.
// Figures that cannot be had are not a number: those needing both limits
// when one is not in force, A² with fewer than 8 values, indices of a spread
// of 0, and the fit's figures without a fit. Uses the constants table (d2,
// c4) as the SPC request does.
void Capability_Compute(const CapabilityRequest& request, CapabilityFigures* figures);
