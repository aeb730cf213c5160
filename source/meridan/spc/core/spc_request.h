// One SPC chart request: what Create_SPCBitmap and Create_SPCStatistics are
// given, and everything computed from it before anything is drawn (overall
// statistics, capability indices, histogram classes, subgroup series and
// control limits). Plain data; no drawing here.
#pragma once
#include <cstdint>

// The arguments of a request, as the caller passed them (16-bit arguments
// already narrowed).
struct SpcRequest {
  int16_t typ;            // chart kind code
  const double* meaval;   // element 0 of the caller's values; values are elements 1 .. numofval
  int32_t numofval;
  double NomSize;
  double USL;
  double LSL;
  int16_t USLOnOff;       // limit in force when > 0
  int16_t LSLOnOff;
  int32_t SampleSize;
  int16_t SPCNorm;        // 0 total, 1 mean range, 2 mean standard deviation, 3 pooled
};

// The request of an export's arguments as they arrive, the 16-bit ones in
// 32-bit slots of which only the low half counts.
SpcRequest SPC_RequestOfArguments(uint32_t typ, const double* meaval, int32_t numofval, double NomSize, double USL,
                                  double LSL, uint32_t USLOnOff, uint32_t LSLOnOff, int32_t SampleSize,
                                  uint32_t SPCNorm);

struct SpcStatistics {
  int32_t n;
  double largest;
  double smallest;
  uint16_t countAbove;    // values above USL (limit in force)
  uint16_t countBelow;    // values below LSL (limit in force)
  double sum;
  double sumSquares;
  double mean;            // x̄
  double stdDev;          // s, divisor n - 1
  double percentOutside;
  double range;
  double Cm;
  double Cmk;
  int32_t k;              // number of subgroups
  int32_t m;              // subgroup size in use (at most 20)
  double grandMean;       // Z
  double sigmaWithin;     // σ̂
  double Cp;
  double Cpk;
};

struct ControlLimits {
  double upperControl;
  double upperWarning;
  double lowerWarning;
  double lowerControl;
  int16_t limitsPresent;
  int16_t warningPresent;
  int16_t seriesCount;
  double dispersionUpper;
  double dispersionUpperWarning;
  double dispersionCentre;
  double dispersionLowerWarning;
  double dispersionLower;
};

constexpr int kHistogramClasses = 15;

struct HistogramClasses {
  double bounds[kHistogramClasses + 1];   // bound i = lo + i (hi - lo) / 15
  int32_t counts[kHistogramClasses + 2];  // counts[1] .. counts[15]; counts[0] and counts[16] stay 0
  double lo;
  double hi;
  int32_t peak;                           // tallest class, at least 10
};

// Subgroup series, process-wide and kept between requests: location values at
// j = 1 .. k, the largest values kSeriesStride entries further on (so a plot
// reaches both from one address), dispersion values in their own array.
constexpr int kSeriesStride = 70000;
double* SPC_LocationSeries();    // 2 * kSeriesStride entries: location, then largest values
double* SPC_DispersionSeries();  // kSeriesStride entries

struct SpcResult {
  double xPositions;      // right end of the charts' x axis (left end 1), at least 10
  SpcStatistics stats;
  ControlLimits limits;
  HistogramClasses classes;
  bool seriesWritten;     // false when the scratch buffer could not be had, or no subgroup series were
                          // made (typ below 10, or m below 2)
  bool dispersionWritten; // the dispersion series holds this request's values; false when the chart kind
                          // has no dispersion chart (u mod 3 = 2): plot no dispersion points then
  // What the control limits were made from: Z and σ̂ of the data, or the values given in their place.
  double limitsCentre;
  double limitsSigma;
  bool centreGiven;
  bool sigmaGiven;
  uint8_t runTestsAllowed; // the run tests the chart kind has (bit 0 = test 1 ... bit 7 = test 8); 0 without limits
};

// Limits found earlier (historical limits): the centre and the within-subgroup
// standard deviation the control limits are made from in place of Z and σ̂ of
// the data. A value that is not a number means "from the data".
struct SpcGivenLimits {
  double centre;
  double sigma;
};

// Runs every computation of a request in order. Returns false (and computes
// nothing) for a request outside the contract: SampleSize of 0 or below,
// numofval below 0 or above 65535, or values to read but no array; with
// `given` limits also an infinite centre, or a σ̂ that is infinite, 0 or below.
// With numofval 0 the array is never read. The figures of the data (Z and σ̂
// among them) stay those of the data whatever is given.
bool SPC_ComputeRequest(const SpcRequest& request, SpcResult& result, const SpcGivenLimits* given = nullptr);

// The grand mean Z and the within-subgroup standard deviation σ̂ of k
// consecutive subgroups of m values (values[1 ..]; element 0 is never read),
// σ̂ by the SPCNorm method: 0 total, 1 mean range ÷ d2(m), 2 mean standard
// deviation ÷ c4(m), 3 pooled. Both 0 when m < 2, k < 1 or SPCNorm is another
// number. The chart requests of every kind estimate σ̂ here.
struct WithinSubgroupEstimate {
  double grandMean = 0.0;
  double sigma = 0.0;
};
WithinSubgroupEstimate SPC_WithinSubgroups(const double* values, int32_t m, int32_t k, int16_t SPCNorm);

// Standard normal quantile at p per mille, interpolated in the constants table;
// below 500 per mille it is minus the quantile at 1000 - p, from 1000 up the
// last row. 3.0 exactly from 998.64 to 998.66.
double SPC_QuantilePerMille(double p);
