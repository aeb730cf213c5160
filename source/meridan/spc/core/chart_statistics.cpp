#include "spc/core/chart_statistics.h"

#include <cmath>
#include <cstddef>

#include "spc/core/spc_request.h"
#include "spc/core/spc_table.h"

namespace {

// Moving ranges are ranges of two consecutive readings.
constexpr int kMovingRangeSpan = 2;

struct Points {
  const ChartRequest& request;
  const ChartOptions& options;
  int32_t m;
  int32_t k;
};

size_t Slots(int32_t k) { return static_cast<size_t>(k) + 1; }

double Cut(double lower) { return lower < 0 ? 0.0 : lower; }

// The mean of |x_i − x_(i−1)| over values 2 .. count.
double MeanMovingRange(const double* values, int32_t count) {
  double sum = 0;
  for (int32_t i = 2; i <= count; ++i) sum += std::fabs(values[i] - values[i - 1]);
  return sum / (count - 1);
}

// The plotted means of the k complete subgroups of m readings; readings after
// the last complete subgroup are not used.
std::vector<double> SubgroupMeans(const Points& p) {
  std::vector<double> means(Slots(p.k), 0.0);
  const double* values = p.request.values;
  for (int32_t j = 1; j <= p.k; ++j) {
    const double* subgroup = values + p.m * (j - 1);
    double sum = 0;
    for (int32_t i = 1; i <= p.m; ++i) sum += subgroup[i];
    means[j] = sum / p.m;
  }
  return means;
}

// The data's own centre and σ of single readings: with m = 1 the mean and the
// mean moving range ÷ d2(2); with subgroups the grand mean and σ̂ as the SPC
// request estimates them by SPCNorm.
void OwnCentreAndSigma(const Points& p, const std::vector<double>& means, ChartResult& r) {
  if (p.m == 1) {
    double sum = 0;
    for (int32_t i = 1; i <= p.k; ++i) sum += means[i];
    r.ownCentre = sum / p.k;
    r.ownSigma = MeanMovingRange(p.request.values, p.k) / d2(kMovingRangeSpan);
    return;
  }
  const WithinSubgroupEstimate within =
      SPC_WithinSubgroups(p.request.values, p.m, p.k, static_cast<int16_t>(p.request.SPCNorm));
  r.ownCentre = within.grandMean;
  r.ownSigma = within.sigma;
}

void TakeGivenOrOwn(const ChartOptions& options, ChartResult& r) {
  r.centreGiven = !std::isnan(options.centre);
  r.sigmaGiven = !std::isnan(options.sigma);
  r.centre = r.centreGiven ? options.centre : r.ownCentre;
  r.sigma = r.sigmaGiven ? options.sigma : r.ownSigma;
}

void ConstantLimits(ChartResult& r) {
  for (int32_t i = 1; i <= r.points; ++i) {
    r.upper[i] = r.upperLimit;
    r.lower[i] = r.lowerLimit;
  }
}

// ---- Charts of variables ---------------------------------------------------

bool Individuals(const Points& p, ChartResult& r) {
  const double* x = p.request.values;
  for (int32_t i = 1; i <= p.k; ++i) r.statistic[i] = x[i];
  r.second[1] = std::nan("");
  for (int32_t i = 2; i <= p.k; ++i) r.second[i] = std::fabs(x[i] - x[i - 1]);
  OwnCentreAndSigma(p, r.statistic, r);
  TakeGivenOrOwn(p.options, r);
  r.centreLine = r.centre;
  r.upperLimit = r.centre + 3 * r.sigma;
  r.lowerLimit = r.centre - 3 * r.sigma;
  ConstantLimits(r);
  // The moving ranges: their own mean, or from a given σ the mean a range of two readings has.
  r.secondCentre = r.sigmaGiven ? d2(kMovingRangeSpan) * r.sigma : MeanMovingRange(x, p.k);
  r.secondUpper = D4(kMovingRangeSpan) * r.secondCentre;
  r.secondLower = 0;
  r.zoneCentre = r.centre;
  r.zoneWidth = r.sigma;
  return true;
}

bool Ewma(const Points& p, ChartResult& r) {
  const std::vector<double> means = SubgroupMeans(p);
  OwnCentreAndSigma(p, means, r);
  TakeGivenOrOwn(p.options, r);
  const double lambda = p.options.lambda, L = p.options.L;
  r.lambda = lambda;
  r.L = L;
  r.centreLine = r.centre;
  const double standardError = r.sigma / std::sqrt(static_cast<double>(p.m));
  const double asymptotic = L * standardError * std::sqrt(lambda / (2 - lambda));
  r.upperLimit = r.centre + asymptotic;
  r.lowerLimit = r.centre - asymptotic;
  double z = r.centre;
  for (int32_t i = 1; i <= p.k; ++i) {
    z = lambda * means[i] + (1 - lambda) * z;
    r.statistic[i] = z;
    // The exact limits widen from the first point towards the asymptotic ones.
    const double width = p.options.asymptoticEwmaLimits
                             ? asymptotic
                             : L * standardError * std::sqrt(lambda / (2 - lambda) * (1 - std::pow(1 - lambda, 2.0 * i)));
    r.upper[i] = r.centre + width;
    r.lower[i] = r.centre - width;
  }
  return true;
}

bool Cusum(const Points& p, ChartResult& r) {
  const std::vector<double> means = SubgroupMeans(p);
  OwnCentreAndSigma(p, means, r);
  TakeGivenOrOwn(p.options, r);
  if (!(std::isfinite(r.sigma) && r.sigma > 0)) return false;  // nothing to standardise the means by
  const double k = p.options.k, h = p.options.h;
  r.k = k;
  r.h = h;
  r.centreLine = 0;
  r.upperLimit = r.secondUpper = h;
  r.lowerLimit = r.secondLower = -h;
  r.secondCentre = 0;
  ConstantLimits(r);
  const double standardError = r.sigma / std::sqrt(static_cast<double>(p.m));
  double upperSum = p.options.headStart, lowerSum = p.options.headStart;
  for (int32_t i = 1; i <= p.k; ++i) {
    const double z = (means[i] - r.centre) / standardError;
    upperSum = Cut(z - k + upperSum);
    lowerSum = Cut(-z - k + lowerSum);
    r.statistic[i] = upperSum;
    r.second[i] = lowerSum;
  }
  return true;
}

// ---- Attribute charts ------------------------------------------------------

// The spread of one item or unit: p̄(1 − p̄) for proportions (p, np), the
// mean count itself for counts of defects (c, u).
double VarianceOfOne(bool proportion, double centre) { return proportion ? centre * (1 - centre) : centre; }

bool Attribute(const Points& p, ChartResult& r) {
  const ChartKindProperties& kind = *Chart_KindProperties(p.request.chart);
  const bool proportion = kind.wholeItems;
  const bool plotsCounts = r.kind == ChartKind::Np;
  const double* counts = p.request.values;
  const double* sizes = kind.readsSizes ? p.request.sizes : nullptr;
  auto size = [&](int32_t i) { return sizes ? sizes[i] : 1.0; };  // the c chart: one inspection unit each

  r.equalSizes = true;
  for (int32_t i = 1; i <= p.k; ++i) {
    r.totalCounted += counts[i];
    r.totalInspected += size(i);
    if (size(i) != size(1)) r.equalSizes = false;
  }
  r.meanSize = r.totalInspected / p.k;
  r.ownCentre = r.totalCounted / r.totalInspected;
  r.ownSigma = std::sqrt(VarianceOfOne(proportion, r.ownCentre));
  r.centreGiven = !std::isnan(p.options.centre);
  r.centre = r.centreGiven ? p.options.centre : r.ownCentre;
  const double variance = VarianceOfOne(proportion, r.centre);
  r.sigma = std::sqrt(variance);

  // np: counts against n·p̄ ± 3√(n·p̄(1 − p̄)); p, c, u: rates against p̄ ± 3√(p̄(1 − p̄) ÷ n) and the like.
  auto centreAt = [&](double n) { return plotsCounts ? n * r.centre : r.centre; };
  auto spreadAt = [&](double n) { return plotsCounts ? std::sqrt(n * variance) : std::sqrt(variance / n); };
  for (int32_t i = 1; i <= p.k; ++i) {
    const double n = size(i);
    r.statistic[i] = plotsCounts ? counts[i] : counts[i] / n;
    r.upper[i] = centreAt(n) + 3 * spreadAt(n);
    r.lower[i] = Cut(centreAt(n) - 3 * spreadAt(n));
  }
  const double shown = r.equalSizes ? size(1) : r.meanSize;
  r.centreLine = centreAt(shown);
  r.upperLimit = centreAt(shown) + 3 * spreadAt(shown);
  r.lowerLimit = Cut(centreAt(shown) - 3 * spreadAt(shown));
  // Zones of one width exist only while the limits are the same for every sample.
  r.zoneCentre = r.centreLine;
  r.zoneWidth = (r.upperLimit - r.centreLine) / 3;
  return true;
}

// By chart number - 1.
constexpr bool (*kComputeChart[kChartKindCount])(const Points&, ChartResult&) = {
    Individuals, Ewma, Cusum, Attribute, Attribute, Attribute, Attribute};

// ---- Run tests -------------------------------------------------------------

void RunTests(const ChartKindProperties& kind, uint8_t asked, ChartResult& r) {
  const uint8_t chartHas = kind.attribute && !r.equalSizes ? uint8_t{1} : kind.runTests;
  r.testsApplied = asked & chartHas;
  r.secondTested = kind.secondChart && (r.testsApplied & 1);

  RunTestSeries plotted;
  plotted.low = plotted.high = r.statistic.data();
  plotted.count = r.points;
  plotted.upperLimits = r.upper.data();
  plotted.lowerLimits = r.lower.data();
  plotted.centre = r.zoneCentre;
  plotted.zone = r.zoneWidth;
  SPC_FlagRunTests(plotted, r.testsApplied, r.flags.data());
  if (r.secondTested) {
    RunTestSeries second;
    second.low = second.high = r.second.data();
    second.count = r.points;
    second.upperLimit = r.secondUpper;
    second.lowerLimit = r.secondLower;
    std::vector<uint16_t> beyond(Slots(r.points), 0);
    SPC_FlagRunTests(second, 1, beyond.data());
    for (int32_t i = 1; i <= r.points; ++i)
      if (beyond[i]) r.flags[i] = static_cast<uint16_t>(r.flags[i] | kDispersionBeyondFlag);
  }
  for (int32_t i = 1; i <= r.points; ++i) {
    const uint16_t f = r.flags[i];
    for (int t = 0; t < kRunTestCount; ++t)
      if (f >> t & 1) {
        ++r.testCounts[t];
        if (!r.firstFlagged[t]) r.firstFlagged[t] = i;
      }
    if (f & kDispersionBeyondFlag) ++r.secondCount;
    if (f && !r.firstSignal) r.firstSignal = i;
  }
}

}  // namespace

bool Chart_Compute(const ChartRequest& request, ChartResult* result) {
  ChartOptions options;
  if (!Chart_CheckRequest(request, &options)) return false;
  const ChartKindProperties& kind = *Chart_KindProperties(request.chart);
  ChartResult r;
  r.kind = static_cast<ChartKind>(request.chart);
  r.subgroupSize = kind.subgroups ? request.SampleSize : 1;
  r.points = Chart_PointCount(request);
  for (std::vector<double>* series : {&r.statistic, &r.second, &r.upper, &r.lower}) series->assign(Slots(r.points), 0.0);
  r.flags.assign(Slots(r.points), 0);
  const Points points{request, options, r.subgroupSize, r.points};
  if (!kComputeChart[request.chart - 1](points, r)) return false;
  RunTests(kind, options.runTests, r);
  *result = std::move(r);
  return true;
}
