// Checks a gauge study request against the contract of its kind (a table of
// what each kind asks of its shape), reads its options, and runs the study.
#include <algorithm>
#include <cmath>

#include "gauge/core/gauge_compute.h"
#include "gauge/core/gauge_study.h"

namespace {

// What each kind of study asks of its shape. A bound of 0 means "no bound".
struct GaugeKindRule {
  int32_t kind;
  int32_t leastParts, mostParts;
  int32_t leastAppraisers, mostAppraisers;
  int32_t leastTrials;
  bool needsReference;      // a finite reference and a finite tolerance above 0 (Cg, Cgk and the bias rest on them)
  bool leavesOutNaN;        // a reading that is not a number is left out (else the study is refused)
};

constexpr GaugeKindRule kKindRules[] = {
    {kGaugeType1, 1, 1, 1, 1, 2, true, true},
    {kGaugeCrossed, 2, 0, 2, 0, 2, false, false},
    {kGaugeNoAppraiser, 2, 0, 1, 1, 2, false, false},
};

const GaugeKindRule* RuleOf(int32_t kind) {
  for (const GaugeKindRule& rule : kKindRules)
    if (rule.kind == kind) return &rule;
  return nullptr;
}

bool Within(int32_t value, int32_t least, int32_t most) { return value >= least && (most == 0 || value <= most); }

bool ShapeFits(const GaugeRequest& r, const GaugeKindRule& rule) {
  if (!Within(r.parts, rule.leastParts, rule.mostParts) ||
      !Within(r.appraisers, rule.leastAppraisers, rule.mostAppraisers) || r.trials < rule.leastTrials)
    return false;
  // Each size first, so that their product cannot overflow.
  if (r.parts > kGaugeMostReadings || r.appraisers > kGaugeMostReadings || r.trials > kGaugeMostReadings) return false;
  const int64_t readings = int64_t{r.parts} * r.appraisers * r.trials;
  if (readings > kGaugeMostReadings || !r.readings) return false;
  if (rule.needsReference && !(r.tolerance > 0 && std::isfinite(r.tolerance) && std::isfinite(r.reference)))
    return false;
  return true;
}

// Balanced studies only: every reading must be a finite number. And a study
// whose readings are all the same has nothing to tell apart.
bool ReadingsUsable(const GaugeRequest& r) {
  const int64_t readings = int64_t{r.parts} * r.appraisers * r.trials;
  bool spread = false;
  for (int64_t i = 1; i <= readings; ++i) {
    if (!std::isfinite(r.readings[i])) return false;
    spread = spread || r.readings[i] != r.readings[1];
  }
  return spread;
}

}  // namespace

bool Gauge_ReadOptions(const double* options, int32_t count, GaugeOptions* read) {
  *read = GaugeOptions{};
  if (count < 0 || (count > 0 && !options)) return false;
  auto given = [&](int element) { return count >= element && !std::isnan(options[element]); };
  double* slots[kGaugeOptionCount + 1] = {nullptr, &read->multiplier, &read->alpha, &read->K, &read->L,
                                          &read->confidence};
  for (int element = 1; element <= kGaugeOptionCount; ++element)
    if (given(element)) *slots[element] = options[element];
  const GaugeOptions& o = *read;
  return o.multiplier > 0 && std::isfinite(o.multiplier) && o.alpha >= 0 && o.alpha <= 1 && o.K > 0 && o.K <= 100 &&
         o.L > 0 && std::isfinite(o.L) && o.confidence >= 0.5 && o.confidence < 1;
}

bool Gauge_ComputeStudy(const GaugeRequest& request, GaugeResult* result) {
  const GaugeKindRule* rule = RuleOf(request.kind);
  GaugeOptions options;
  if (!rule || !Gauge_ReadOptions(request.options, request.optionCount, &options) || !ShapeFits(request, *rule))
    return false;
  if (!rule->leavesOutNaN && !ReadingsUsable(request)) return false;

  GaugeResult computed{};
  computed.kind = request.kind;
  computed.parts = request.parts;
  computed.appraisers = request.appraisers;
  computed.trials = request.trials;
  computed.readings = request.parts * request.appraisers * request.trials;
  computed.reference = request.reference;
  computed.tolerance = request.tolerance;
  computed.options = options;
  if (request.kind == kGaugeType1) {
    if (!Gauge_ComputeType1(request, options, &computed.type1)) return false;
  } else {
    if (!Gauge_ComputeAnova(request, options.alpha, &computed.anova) ||
        !Gauge_ComputeComponents(request, computed.anova, options, &computed.components))
      return false;
    Gauge_ComputeAverageRange(request, options, &computed);
  }
  *result = std::move(computed);
  return true;
}

double Gauge_CellRange(const GaugeRequest& request, int32_t appraiser, int32_t part) {
  double smallest = Gauge_Reading(request, appraiser, part, 1), largest = smallest;
  for (int32_t t = 2; t <= request.trials; ++t) {
    const double x = Gauge_Reading(request, appraiser, part, t);
    smallest = std::min(smallest, x);
    largest = std::max(largest, x);
  }
  return largest - smallest;
}

double Gauge_DistinctCategories(double PV, double GRR) {
  if (PV == 0) return 1.0;
  return std::max(1.0, std::floor(1.41 * PV / GRR));
}
