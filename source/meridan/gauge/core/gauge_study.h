// One gauge study request: what Create_GaugeStudyStatistics and the gauge page
// are given, and everything computed from it before anything is drawn. Plain
// data; no drawing here.
//
// Readings are one caller array (element 0 never read): the reading of
// appraiser a (1 .. o), part p (1 .. n) and trial t (1 .. r) is element
// 1 + ((a - 1) n + (p - 1)) r + (t - 1).
#pragma once
#include <cstdint>
#include <vector>

enum GaugeKind : int32_t {
  kGaugeType1 = 1,         // one reference part, one appraiser: Cg and Cgk
  kGaugeCrossed = 2,       // n parts x o appraisers x r trials: gauge R&R
  kGaugeNoAppraiser = 3,   // automated gauge (o = 1): one-way ANOVA of part
};

// Elements of the options array (element 0 never read; not a number or not
// given: the default). Elements past the last known one are ignored.
enum GaugeOptionElement {
  kGaugeOptionMultiplier = 1,  // study variation = multiplier x sigma; default 6 (5.15 in older manuals)
  kGaugeOptionAlpha = 2,       // the interaction is pooled into repeatability when its p-value is above; 0.05
  kGaugeOptionK = 3,           // type 1: percent of the tolerance the gauge may take up; 20
  kGaugeOptionL = 4,           // type 1: the spread in standard deviations; 6
  kGaugeOptionConfidence = 5,  // type 1: confidence level of the bias interval; 0.95
};
constexpr int kGaugeOptionCount = 5;

struct GaugeOptions {
  double multiplier = 6.0;
  double alpha = 0.05;
  double K = 20.0;
  double L = 6.0;
  double confidence = 0.95;
};

// The arguments of a request as the caller passed them (the kind already
// narrowed from its 16-bit slot).
struct GaugeRequest {
  int32_t kind;
  const double* readings;  // element 0 never read
  int32_t parts;           // n
  int32_t appraisers;      // o
  int32_t trials;          // r; for type 1 the number of readings
  double reference;        // type 1: the reference part's value
  double tolerance;        // USL - LSL; types 2 and 3: not above 0 (or not a number) means none
  const double* options;   // element 0 never read
  int32_t optionCount;
};

constexpr int32_t kGaugeMostReadings = 65535;

struct GaugeType1 {
  int32_t n;               // readings that are numbers
  double mean, s, smallest, largest;
  double bias;             // mean - reference
  double t, degreesOfFreedom, pValue;  // t test of bias = 0, two-sided
  double biasLow, biasHigh;            // confidence interval of the bias
  double Cg, Cgk;
  double percentRepeatability;         // %Var(repeatability) = K / Cg
  double percentRepeatabilityBias;     // %Var(repeatability and bias) = K / Cgk
};

// The ANOVA table: rows part, appraiser, part x appraiser, repeatability, total.
enum GaugeAnovaRow { kRowPart, kRowAppraiser, kRowInteraction, kRowRepeatability, kRowTotal, kAnovaRows };

struct GaugeAnova {
  double df[kAnovaRows];
  double ss[kAnovaRows];
  double ms[kRowTotal];         // no mean square of the total
  double F[kRowRepeatability];  // part, appraiser, interaction
  double p[kRowRepeatability];
  bool interactionRemoved;      // pooled into repeatability (its p-value above alpha)
};

// Variances of the model in use (the additive one when the interaction is
// removed), each at least 0, and what follows from them.
struct GaugeComponents {
  double repeatability, reproducibility, appraiser, interaction, grr, part, total;
  double EV, AV, GRR, PV, TV;                 // standard deviations
  double contribution[4];                     // % of the total variance: EV, AV (reproducibility), GRR, PV
  double studyVariationPercent[4];            // % of TV: EV, AV, GRR, PV
  double studyVariation[5];                   // multiplier x EV, AV, GRR, PV, TV
  double tolerancePercent[4];                 // % of the tolerance: EV, AV, GRR, PV; 0 without a tolerance
  double ndc;                                 // number of distinct categories
};

// The average and range method; every figure 0 where it does not apply
// (only 2 or 3 trials, 2 or 3 appraisers and 2 to 10 parts have constants).
struct GaugeAverageRange {
  bool applies;
  double Rbarbar, Xdiff, Rp;
  double EV, AV, GRR, PV, TV;
  double percentOfTV[4];                      // EV, AV, GRR, PV
  double grrPercentOfTolerance;               // 100 x multiplier x GRR / T; 0 without a tolerance
  double ndc;
  double upperRangeLimit, lowerRangeLimit;    // D4 R̿ and D3 R̿
  int32_t rangesAbove;                        // ranges of one part by one appraiser above D4 R̿
};

struct GaugeResult {
  int32_t kind;
  int32_t parts, appraisers, trials, readings;
  double reference, tolerance;
  GaugeOptions options;
  GaugeType1 type1;                      // kind 1 only
  GaugeAnova anova;                      // kinds 2 and 3
  GaugeComponents components;
  GaugeAverageRange averageRange;
  std::vector<double> appraiserMeanRange;  // R̄ of appraiser a at a - 1
  std::vector<double> appraiserMean;       // X̄ of appraiser a at a - 1
};

// Reads the options (see GaugeOptionElement). False for options outside
// their range: multiplier not above 0, alpha outside 0 .. 1, K not in
// (0, 100], L not above 0, confidence outside 0.5 .. 1 (1 itself has no
// finite interval), an infinite value, a negative count or a count without
// an array.
bool Gauge_ReadOptions(const double* options, int32_t count, GaugeOptions* read);

// Runs every computation of a request. Returns false, and leaves `result`
// alone, for a request outside the contract (see README, "Gauge studies").
bool Gauge_ComputeStudy(const GaugeRequest& request, GaugeResult* result);

// The range of the readings of part p by appraiser a (1-based) in a study the
// request describes (types 2 and 3), for the page's range chart.
double Gauge_CellRange(const GaugeRequest& request, int32_t appraiser, int32_t part);
