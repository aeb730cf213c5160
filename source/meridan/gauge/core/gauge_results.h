// The figures of a gauge study as a flat array of numbers for the workbook
// (Create_GaugeStudyStatistics): element i of the caller's array for
// i = 1 .. count, never past the capacity (the highest element the array holds).
//
// Type 1 (20 figures): 1 kind, 2 n, 3 x̄, 4 s, 5 smallest, 6 largest,
// 7 reference, 8 tolerance, 9 bias, 10 t, 11 degrees of freedom, 12 p-value,
// 13 and 14 the confidence interval of the bias, 15 Cg, 16 Cgk,
// 17 %Var(repeatability), 18 %Var(repeatability and bias), 19 K, 20 L.
//
// Types 2 and 3 (75 + 2 o figures): 1 kind, 2 parts, 3 appraisers, 4 trials,
// 5 readings; 6 - 10 degrees of freedom (part, appraiser, interaction,
// repeatability, total); 11 - 15 sums of squares (same order); 16 - 19 mean
// squares (part, appraiser, interaction, repeatability); 20 - 22 F (part,
// appraiser, interaction); 23 - 25 p-values (same); 26 interaction removed (1)
// or kept (0); 27 alpha; variance components 28 repeatability,
// 29 reproducibility, 30 appraiser, 31 interaction, 32 GRR, 33 part, 34 total;
// standard deviations 35 EV, 36 AV, 37 GRR, 38 PV, 39 TV; %contribution
// 40 - 43 (repeatability, reproducibility, GRR, part); %study variation 44 - 47
// (same); study variation 48 - 52 (EV, AV, GRR, PV, TV); %tolerance 53 - 56
// (EV, AV, GRR, PV; 0 without a tolerance); 57 ndc; 58 multiplier; average and
// range method 59 R̿, 60 X_diff, 61 Rp, 62 EV, 63 AV, 64 GRR, 65 PV, 66 TV,
// 67 - 70 %EV, %AV, %GRR, %PV of TV, 71 %GRR of the tolerance, 72 ndc, 73 and
// 74 the range chart's upper and lower limit, 75 the number of ranges above the
// upper limit (59 - 75 all 0 where the method has no constants); then R̄ of
// appraisers 1 .. o, then X̄ of appraisers 1 .. o.
#pragma once
#include <cstdint>

#include "gauge/core/gauge_study.h"

constexpr int32_t kGaugeType1Figures = 20;
constexpr int32_t kGaugeStudyFixedFigures = 75;

enum GaugeStudyFigure {
  kFigureGaugeDegreesOfFreedom = 6,
  kFigureGaugeSumsOfSquares = 11,
  kFigureGaugeMeanSquares = 16,
  kFigureGaugeF = 20,
  kFigureGaugeP = 23,
  kFigureGaugeInteractionRemoved = 26,
  kFigureGaugeComponents = 28,
  kFigureGaugeSigmas = 35,
  kFigureGaugeContribution = 40,
  kFigureGaugeStudyVariationPercent = 44,
  kFigureGaugeStudyVariation = 48,
  kFigureGaugeTolerancePercent = 53,
  kFigureGaugeNdc = 57,
  kFigureGaugeAverageRange = 59,
  kFigureGaugeAverageRangePercent = 67,
  kFigureGaugeAverageRangeNdc = 72,
  kFigureGaugeRangesAbove = 75,
};

// The number of figures of a computed study: 20 for type 1, 75 + 2 o else.
int32_t Gauge_FigureCount(const GaugeResult& result);

// Writes elements 1 .. min(count, capacity) of `results` (element 0 is left
// alone) and returns how many; 0 for a capacity below 1.
int32_t Gauge_WriteResults(const GaugeResult& result, double* results, int32_t capacity);

// A request's figures, computed and written: 0 with nothing written for a
// refused request, no array or a capacity below 1.
int32_t Gauge_StudyFigures(const GaugeRequest& request, double* results, int32_t capacity);
