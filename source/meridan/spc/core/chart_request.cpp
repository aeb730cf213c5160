#include "spc/core/chart_request.h"

#include <cmath>

namespace {

// The individuals chart has every test; so have the attribute charts while all
// their samples are of one size (the zones then have one width). The EWMA and
// CUSUM statistics are autocorrelated: only their signals count.
constexpr uint8_t kBeyondLimitsOnly = 0x01;

// By chart number - 1.
constexpr ChartKindProperties kChartKinds[kChartKindCount] = {
    // name     attribute sizes  whole  equal  subgroups single tests              second
    {"imr",     false,    false, false, false, false,    true,  kAllRunTests,      true},
    {"ewma",    false,    false, false, false, true,     false, kBeyondLimitsOnly, false},
    {"cusum",   false,    false, false, false, true,     false, kBeyondLimitsOnly, true},
    {"p",       true,     true,  true,  false, false,    false, kAllRunTests,      false},
    {"np",      true,     true,  true,  true,  false,    false, kAllRunTests,      false},
    {"c",       true,     false, false, false, false,    false, kAllRunTests,      false},
    {"u",       true,     true,  false, false, false,    false, kAllRunTests,      false},
};

bool Finite(double x) { return std::isfinite(x); }

// Reads the elements given and checks each against its range; a value that is
// not a number keeps the default.
bool ReadOptions(const ChartRequest& request, const ChartKindProperties& kind, ChartOptions* read) {
  *read = ChartOptions{};
  const int32_t count = request.optionCount;
  if (count < 0 || (count > 0 && !request.options)) return false;
  auto given = [&](int element) { return count >= element && !std::isnan(request.options[element]); };
  auto value = [&](int element) { return request.options[element]; };

  if (given(kChartOptionCentre)) {
    const double centre = value(kChartOptionCentre);
    if (!Finite(centre)) return false;
    // A given proportion lies strictly between 0 and 1, a given mean count above 0.
    if (kind.attribute && !(centre > 0 && (!kind.wholeItems || centre < 1))) return false;
    read->centre = centre;
  }
  if (given(kChartOptionSigma)) {
    // The spread of counts follows from their centre: it cannot be given.
    const double sigma = value(kChartOptionSigma);
    if (kind.attribute || !(Finite(sigma) && sigma > 0)) return false;
    read->sigma = sigma;
  }
  if (given(kChartOptionRunTests)) {
    const double mask = value(kChartOptionRunTests);
    if (!(mask >= 0 && mask <= 255 && mask == std::floor(mask))) return false;
    read->runTests = static_cast<uint8_t>(mask);
  }
  if (given(kChartOptionMarkFlagged)) read->markFlagged = value(kChartOptionMarkFlagged) != 0;
  if (given(kChartOptionLambda)) {
    read->lambda = value(kChartOptionLambda);
    if (!(read->lambda > 0 && read->lambda <= 1)) return false;
  }
  if (given(kChartOptionL)) {
    read->L = value(kChartOptionL);
    if (!(Finite(read->L) && read->L > 0)) return false;
  }
  if (given(kChartOptionK)) {
    read->k = value(kChartOptionK);
    if (!(Finite(read->k) && read->k >= 0)) return false;
  }
  if (given(kChartOptionH)) {
    read->h = value(kChartOptionH);
    if (!(Finite(read->h) && read->h > 0)) return false;
  }
  if (given(kChartOptionHeadStart)) read->headStart = value(kChartOptionHeadStart);
  // A head start at the decision interval would signal before the first point.
  if (!(read->headStart >= 0 && read->headStart < read->h)) return false;
  if (given(kChartOptionEwmaLimits)) {
    const double limits = value(kChartOptionEwmaLimits);
    if (limits != 0 && limits != 1) return false;
    read->asymptoticEwmaLimits = limits == 1;
  }
  return true;
}

bool SubgroupsSound(const ChartRequest& request, const ChartKindProperties& kind) {
  if (request.SampleSize < 1) return false;
  if (kind.singleReadings && request.SampleSize != 1) return false;
  if (kind.subgroups) {
    // The constants table has factors for subgroups of up to 20.
    if (request.SampleSize > kChartLargestSubgroup) return false;
    if (request.SampleSize >= 2 && request.SPCNorm > 3) return false;
  }
  return true;
}

// Readings of the charts of variables: finite numbers. Counts and sizes of the
// attribute charts: counts finite and not below 0; sizes finite and above 0
// (whole items: at least 1, and no more nonconforming items than items).
bool DataSound(const ChartRequest& request, const ChartKindProperties& kind) {
  for (int32_t i = 1; i <= request.count; ++i) {
    const double x = request.values[i];
    if (!Finite(x)) return false;
    if (!kind.attribute) continue;
    if (x < 0) return false;
    if (!kind.readsSizes) continue;
    const double n = request.sizes[i];
    if (!Finite(n) || !(n > 0)) return false;
    if (kind.wholeItems && (n < 1 || x > n)) return false;
    if (kind.equalSizes && n != request.sizes[1]) return false;
  }
  return true;
}

}  // namespace

const ChartKindProperties* Chart_KindProperties(uint32_t chart) {
  return chart >= 1 && chart <= kChartKindCount ? &kChartKinds[chart - 1] : nullptr;
}

int32_t Chart_PointCount(const ChartRequest& request) {
  const ChartKindProperties* kind = Chart_KindProperties(request.chart);
  if (!kind || request.SampleSize < 1 || request.count < 0) return 0;
  return kind->subgroups ? request.count / request.SampleSize : request.count;
}

bool Chart_CheckRequest(const ChartRequest& request, ChartOptions* options) {
  const ChartKindProperties* kind = Chart_KindProperties(request.chart);
  if (!kind) return false;
  if (request.count < 1 || request.count > kChartMostValues || !request.values) return false;
  if (kind->readsSizes && !request.sizes) return false;
  if (!SubgroupsSound(request, *kind)) return false;
  if (Chart_PointCount(request) < 2) return false;
  if (!ReadOptions(request, *kind, options)) return false;
  return DataSound(request, *kind);
}
