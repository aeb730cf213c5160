// The computations of a gauge study, one file each, called by
// Gauge_ComputeStudy once the request has been checked.
#pragma once
#include <cmath>

#include "gauge/core/gauge_study.h"

// The reading of appraiser a, part p and trial t (all 1-based).
inline double Gauge_Reading(const GaugeRequest& request, int32_t a, int32_t p, int32_t t) {
  const int64_t index = 1 + ((int64_t{a} - 1) * request.parts + (p - 1)) * int64_t{request.trials} + (t - 1);
  return request.readings[index];
}

// The mean of count values value(1) .. value(count), summed as distances from
// the first: a run of equal values has exactly that value as its mean, and
// values far from 0 lose fewer digits.
template <typename ValueAt>
double Gauge_Mean(int32_t count, ValueAt value) {
  const double first = value(1);
  double distances = 0.0;
  for (int32_t i = 2; i <= count; ++i) distances += value(i) - first;
  return first + distances / count;
}

// The tails the studies need, with the same bits in the 32-bit and the 64-bit
// build (gauge_tails.cpp says why): P(|T| > |t|) of Student's t; the t above
// which a share (0 .. 0.5] of the distribution lies; and P(F > f) of Fisher's
// F, 0 for an infinite f, not a number for f not a number.
double Gauge_StudentTwoSidedP(double t, double degreesOfFreedom);
double Gauge_StudentQuantileAbove(double share, double degreesOfFreedom);
double Gauge_UpperTailF(double f, double d1, double d2);

// Type 1 over the readings that are numbers. False when fewer than 2 of them
// are numbers, a reading is infinite, every reading is the same (s = 0: the
// gauge's resolution hides its repeatability) or a figure overflows.
bool Gauge_ComputeType1(const GaugeRequest& request, const GaugeOptions& options, GaugeType1* type1);

// The crossed ANOVA (type 2) or the one-way ANOVA of part (type 3) over a
// checked, balanced study. False when every reading is the same or the sums
// of squares overflow.
bool Gauge_ComputeAnova(const GaugeRequest& request, double alpha, GaugeAnova* anova);

// The variance components of the model the ANOVA settled on, and the
// standard deviations, percentages and ndc that follow. False when their
// total is not above 0.
bool Gauge_ComputeComponents(const GaugeRequest& request, const GaugeAnova& anova, const GaugeOptions& options,
                             GaugeComponents* components);

// R̄ and X̄ of every appraiser, and the average and range method where its
// constants exist.
void Gauge_ComputeAverageRange(const GaugeRequest& request, const GaugeOptions& options, GaugeResult* result);

// The range chart's limits D4 R̿ and D3 R̿ for ranges of `trials` readings:
// D4 = D2 / d2 and D3 = D1 / d2 of the constants table (its rows give the
// limit factors in units of sigma; over d2 they apply to R̿). Not a number
// for a size the table has no row for.
void Gauge_RangeChartLimits(int32_t trials, double Rbarbar, double* upper, double* lower);

// How far the means chart's limits lie from X̿: A2 R̿ with A2 = 3 / (d2 root
// trials); not a number where the table has no d2.
double Gauge_MeanChartReach(int32_t trials, double Rbarbar);

// ⌊1.41 PV / GRR⌋, at least 1. With no part variation the parts make one
// category; a GRR of 0 (or one so small beside PV that the ratio overflows)
// gives +infinity: the data show no measurement error at all.
double Gauge_DistinctCategories(double PV, double GRR);

// The tolerance the percentages are taken of: T when it is above 0 and
// finite, else 0 (types 2 and 3: no tolerance given).
inline double Gauge_UsableTolerance(double T) { return (T > 0 && std::isfinite(T)) ? T : 0.0; }
