// A request of the further control charts decoded from the fuzzer's bytes:
// any chart number, count, subgroup size and method; readings, counts and
// sizes of every class (NaN, ±∞, denormals, ±1e308, runs of equal values) or
// tame ones that make sound requests; sizes missing, equal or varying; an
// options array of any element count, null or not, each option missing, in
// its range or anywhere; a capacity for the figures from −255 to 8 191.
//
// Properties: a request is refused exactly when a plain reading of the rules
// written here says so (or, for a CUSUM, when its σ is 0 or not finite), and a
// refused one writes nothing; the figures are written up to the capacity and
// not one element further, each the element the layout puts there; limits are
// ordered, symmetric about the centre line unless cut, the attribute charts'
// lower limits cut exactly at 0 where they would fall below it, the exact
// EWMA limits inside the asymptotic ones, the CUSUM's at ±h; flags only for
// the tests the chart has and the mask asks for, test 1 exactly for the
// points strictly beyond their limits, tests 2 to 8 as the running counts
// read them, counts and first points following the flags; the data's own
// centre and σ given back reproduce every limit bit for bit; sane finite
// inputs give finite figures. The page of every charted request is laid out
// at a size and scale from the capacity's bits: its charts lie on the page,
// the limit paths inside the chart's plot, the panel and legend are worded.
#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "run_test_counts.h"
#include "spc/core/chart_request.h"
#include "spc/core/chart_page_layout.h"
#include "spc/core/chart_page_text.h"
#include "spc/core/chart_results.h"
#include "spc/core/chart_statistics.h"
#include "spc/core/draw_math.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kUnwritten = -7.25e-301;  // in every element the library must not write
constexpr int kOptionSlots = 13;           // elements 0 .. 12: two past the known ones

struct Decoded {
  ChartRequest request;
  std::vector<double> values, sizes, options;
  bool sizesArray = true, optionArray = true;
  bool ownBack = false;  // ask again with the data's own centre and σ given
  int32_t capacity = 0;
};

// An option: often missing, often inside its range, else any double.
double OptionValue(fuzz::Input& input, int element) {
  const uint8_t kind = input.U8();
  if (kind % 4 == 0) return kNaN;
  if (kind % 4 == 1) return input.Double();
  const double unit = input.U8() / 255.0;
  switch (element) {
    case kChartOptionCentre: return (kind & 4) ? unit : 10 + input.I16() / 1000.0;
    case kChartOptionSigma: return (kind & 4) ? unit : input.U16() / 1000.0;
    case kChartOptionRunTests: return (kind & 4) ? input.U8() : (kind & 8) ? 255 : input.U16() / 100.0;
    case kChartOptionLambda: return unit;
    case kChartOptionL: case kChartOptionH: return unit * 8;
    case kChartOptionK: return unit * 2;
    case kChartOptionHeadStart: return unit * 6;
    case kChartOptionEwmaLimits: return input.U8() % 3;
    default: return unit;
  }
}

Decoded Decode(fuzz::Input& input) {
  Decoded d;
  ChartRequest& r = d.request;
  const uint8_t flags = input.U8(), more = input.U8();
  r.chart = (flags & 1) ? input.U32() : 1u + input.U8() % 8;
  const uint8_t size = input.U8();
  r.SampleSize = size < 240 ? size % 23 : input.I32();
  r.SPCNorm = (flags & 2) ? input.U32() : input.U8() % 5u;
  const uint8_t count = input.U8();
  r.count = count < 200 ? count : (count < 250 ? input.U16() % 4096 : input.I32());

  const uint8_t optionKind = input.U8();
  r.optionCount = optionKind < 230 ? optionKind % kOptionSlots : input.I32();
  d.optionArray = (optionKind & 0x80) == 0 || optionKind >= 230;
  d.ownBack = (optionKind & 0x40) != 0;
  // The library reads no element past the known ones, so the slots here serve any count.
  d.options.assign(kOptionSlots, kNaN);
  for (int e = 1; e < kOptionSlots && e <= r.optionCount; ++e) d.options[static_cast<size_t>(e)] = OptionValue(input, e);

  const uint8_t capacityKind = input.U8();
  if (capacityKind < 64) d.capacity = capacityKind;
  else if (capacityKind < 128) d.capacity = kChartFixedFigures + capacityKind % 64;
  else if (capacityKind < 250) d.capacity = input.U16() % 8192;
  else d.capacity = -static_cast<int32_t>(input.U8());

  // Values and sizes: a pattern from the rest of the bytes, repeated up to the
  // count. Tame ones are readings around 10 or small whole counts, sizes from 1.
  const bool tame = flags & 4, attribute = r.chart >= 4 && r.chart <= 7;
  std::vector<double> valuePattern, sizePattern;
  while (input.Left() > 0 && valuePattern.size() < 2048) {
    if (tame) {
      valuePattern.push_back(attribute ? input.U8() % 40 : 10 + static_cast<int8_t>(input.U8()) / 100.0);
      const uint8_t s = input.U8();
      sizePattern.push_back((more & 1) ? s / 16.0 : 1 + s % 60);
    } else {
      valuePattern.push_back(input.Double());
      sizePattern.push_back(input.Double());
    }
    if (flags & 8) break;  // runs of one value
  }
  if (valuePattern.empty()) {
    valuePattern.assign(1, 10.0);
    sizePattern.assign(1, 50.0);
  }
  const bool equalSizes = more & 2, countsWithinSizes = more & 4;
  d.sizesArray = !(flags & 16);
  const int32_t values = (r.count >= 0 && r.count <= 65535) ? r.count : 0;
  d.values.assign(static_cast<size_t>(values) + 2, kNaN);  // element 0 and one past the last: never read
  d.sizes.assign(static_cast<size_t>(values) + 2, -1.0);
  for (int32_t i = 1; i <= values; ++i) {
    const size_t at = static_cast<size_t>(i - 1) % valuePattern.size();
    d.sizes[static_cast<size_t>(i)] = equalSizes ? sizePattern[0] : sizePattern[at];
    d.values[static_cast<size_t>(i)] = valuePattern[at];
    if (countsWithinSizes && d.values[static_cast<size_t>(i)] > d.sizes[static_cast<size_t>(i)])
      d.values[static_cast<size_t>(i)] = std::floor(d.sizes[static_cast<size_t>(i)]);
  }
  r.values = d.values.data();
  r.sizes = d.sizesArray ? d.sizes.data() : nullptr;
  r.options = d.optionArray ? d.options.data() : nullptr;
  return d;
}

// ---- The rules, read plainly ---------------------------------------------------

bool IsAttribute(uint32_t chart) { return chart >= 4 && chart <= 7; }
bool ReadsSizes(uint32_t chart) { return chart == 4 || chart == 5 || chart == 7; }
bool Proportion(uint32_t chart) { return chart == 4 || chart == 5; }

bool OptionsSound(const ChartRequest& r) {
  if (r.optionCount < 0 || (r.optionCount > 0 && !r.options)) return false;
  auto at = [&](int e) { return r.optionCount >= e ? r.options[e] : kNaN; };
  auto missing = [&](int e) { return std::isnan(at(e)); };
  const double centre = at(kChartOptionCentre), sigma = at(kChartOptionSigma), mask = at(kChartOptionRunTests);
  if (!missing(kChartOptionCentre)) {
    if (!std::isfinite(centre)) return false;
    if (IsAttribute(r.chart) && !(centre > 0)) return false;
    if (Proportion(r.chart) && !(centre < 1)) return false;
  }
  if (!missing(kChartOptionSigma) && (IsAttribute(r.chart) || !std::isfinite(sigma) || sigma <= 0)) return false;
  if (!missing(kChartOptionRunTests) && !(mask >= 0 && mask <= 255 && std::floor(mask) == mask)) return false;
  const double lambda = at(kChartOptionLambda);
  if (!missing(kChartOptionLambda) && !(lambda > 0 && lambda <= 1)) return false;
  for (int e : {kChartOptionL, kChartOptionH})
    if (!missing(e) && !(std::isfinite(at(e)) && at(e) > 0)) return false;
  if (!missing(kChartOptionK) && !(std::isfinite(at(kChartOptionK)) && at(kChartOptionK) >= 0)) return false;
  const double h = missing(kChartOptionH) ? 5.0 : at(kChartOptionH);
  const double start = missing(kChartOptionHeadStart) ? 0.0 : at(kChartOptionHeadStart);
  if (!(start >= 0 && start < h)) return false;
  const double limits = at(kChartOptionEwmaLimits);
  return missing(kChartOptionEwmaLimits) || limits == 0 || limits == 1;
}

bool Sound(const ChartRequest& r) {
  if (r.chart < 1 || r.chart > 7 || r.count < 1 || r.count > 65535 || !r.values) return false;
  if (ReadsSizes(r.chart) && !r.sizes) return false;
  const bool subgroups = r.chart == 2 || r.chart == 3;
  if (r.SampleSize < 1 || (r.chart == 1 && r.SampleSize != 1)) return false;
  if (subgroups && (r.SampleSize > 20 || (r.SampleSize > 1 && r.SPCNorm > 3))) return false;
  if ((subgroups ? r.count / r.SampleSize : r.count) < 2) return false;
  if (!OptionsSound(r)) return false;
  for (int32_t i = 1; i <= r.count; ++i) {
    const double x = r.values[i];
    if (!std::isfinite(x) || (IsAttribute(r.chart) && x < 0)) return false;
    if (!ReadsSizes(r.chart)) continue;
    const double n = r.sizes[i];
    if (!std::isfinite(n) || n <= 0) return false;
    if (Proportion(r.chart) && (n < 1 || x > n)) return false;
    if (r.chart == 5 && n != r.sizes[1]) return false;
  }
  return true;
}

// ---- Properties of a computed chart --------------------------------------------

bool Same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool Near(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)}); }

void CheckLimits(const ChartRequest& request, const ChartResult& r) {
  const uint32_t chart = request.chart;
  const double centre = r.centre;
  for (int32_t i = 1; i <= r.points; ++i) {
    const double upper = r.upper[static_cast<size_t>(i)], lower = r.lower[static_cast<size_t>(i)];
    if (!std::isnan(upper) && !std::isnan(lower)) FUZZ_CHECK(lower <= upper, "point %d: %a above %a", i, lower, upper);
    if (chart == 3) {
      FUZZ_CHECK(upper == r.h && lower == -r.h, "CUSUM limits %a %a at point %d", upper, lower, i);
      const double up = r.statistic[static_cast<size_t>(i)], down = r.second[static_cast<size_t>(i)];
      FUZZ_CHECK(!(up < 0) && !(down < 0), "CUSUM sums %a %a below 0", up, down);
    }
    if (chart == 2 && std::isfinite(r.upperLimit) && std::isfinite(upper))
      FUZZ_CHECK(upper <= r.upperLimit && lower >= r.lowerLimit, "EWMA point %d outside the asymptotic limits", i);
    if (IsAttribute(chart) && std::isfinite(upper) && std::isfinite(lower)) {
      const double n = ReadsSizes(chart) ? request.sizes[i] : 1.0;
      const double line = chart == 5 ? n * centre : centre;
      FUZZ_CHECK(lower >= 0, "lower limit %a of point %d below 0", lower, i);
      if (lower > 0)
        FUZZ_CHECK(Near((upper + lower) / 2, line), "point %d: %a .. %a not about %a", i, lower, upper, line);
      else
        FUZZ_CHECK(2 * line - upper <= 1e-9 * std::max(1.0, upper), "point %d cut at 0 though %a", i, 2 * line - upper);
    }
  }
  if (!std::isnan(r.upperLimit) && !std::isnan(r.lowerLimit)) FUZZ_CHECK(r.lowerLimit <= r.upperLimit, "figures 9/10");
  if (IsAttribute(chart)) FUZZ_CHECK(!(r.lowerLimit < 0), "figure 10 is %a", r.lowerLimit);
  if (chart == 1) {
    FUZZ_CHECK(r.secondLower == 0 && std::isnan(r.second[1]), "moving ranges' lower limit %a", r.secondLower);
    for (int32_t i = 2; i <= r.points; ++i)
      FUZZ_CHECK(Same(r.second[static_cast<size_t>(i)], std::fabs(request.values[i] - request.values[i - 1])),
                 "moving range %d", i);
    if (!std::isnan(r.secondUpper)) FUZZ_CHECK(r.secondUpper >= 0, "moving ranges' upper limit %a", r.secondUpper);
  }
}

void CheckFlags(const ChartRequest& request, const ChartResult& r, uint8_t mask) {
  const uint32_t chart = request.chart;
  const uint8_t chartHas = (chart == 1 || (IsAttribute(chart) && r.equalSizes)) ? 0xFF : 0x01;
  const bool second = (chart == 1 || chart == 3) && (mask & 1);
  FUZZ_CHECK(r.testsApplied == (mask & chartHas) && r.secondTested == second, "tests %#x applied, second %d",
             r.testsApplied, r.secondTested);
  if (chart == 1) FUZZ_CHECK(Same(r.zoneCentre, r.centre) && Same(r.zoneWidth, r.sigma), "individuals' zones");
  if (IsAttribute(chart) && r.equalSizes)
    FUZZ_CHECK(Same(r.zoneCentre, r.centreLine) && Same(r.zoneWidth, (r.upperLimit - r.centreLine) / 3), "zones");
  RunTestSeries plotted;
  plotted.low = plotted.high = r.statistic.data();
  plotted.count = r.points;
  plotted.upperLimits = r.upper.data();
  plotted.lowerLimits = r.lower.data();
  plotted.centre = r.zoneCentre;
  plotted.zone = r.zoneWidth;
  const std::vector<uint16_t> expected = fuzz::RunningCountFlags(plotted, r.testsApplied);
  int32_t counts[kRunTestCount] = {}, first[kRunTestCount] = {}, secondCount = 0, firstSignal = 0;
  for (int32_t i = 1; i <= r.points; ++i) {
    const size_t j = static_cast<size_t>(i);
    const uint16_t f = r.flags[j];
    FUZZ_CHECK((f & 0xFF) == expected[j], "point %d flags %#x, the running counts give %#x", i, f & 0xFF, expected[j]);
    const double x = r.statistic[j];
    if (r.testsApplied & 1)
      FUZZ_CHECK(bool(f & 1) == (x > r.upper[j] || x < r.lower[j]), "point %d (%a) against %a .. %a", i, x,
                 r.lower[j], r.upper[j]);
    const double y = r.second[j];
    const bool secondBeyond = second && (y > r.secondUpper || y < r.secondLower);
    FUZZ_CHECK(bool(f & kDispersionBeyondFlag) == secondBeyond && (f & ~0x1FFu) == 0, "point %d second flag", i);
    for (int t = 0; t < kRunTestCount; ++t)
      if (f >> t & 1) {
        ++counts[t];
        if (!first[t]) first[t] = i;
      }
    secondCount += (f & kDispersionBeyondFlag) != 0;
    if (f && !firstSignal) firstSignal = i;
  }
  for (int t = 0; t < kRunTestCount; ++t)
    FUZZ_CHECK(r.testCounts[t] == counts[t] && r.firstFlagged[t] == first[t], "test %d counts", t + 1);
  FUZZ_CHECK(r.secondCount == secondCount && r.firstSignal == firstSignal, "second count, first signal");
}

void CheckFigures(const ChartResult& r, int32_t capacity) {
  const int64_t whole = kChartFixedFigures + int64_t{5} * r.points;
  std::vector<double> figures(static_cast<size_t>(std::max(capacity, 0)) + 9, kUnwritten);
  const int32_t written = Chart_WriteResults(r, figures.data(), capacity);
  FUZZ_CHECK(written == (capacity < 1 ? 0 : std::min<int64_t>(capacity, whole)), "wrote %d of %lld, capacity %d",
             written, static_cast<long long>(whole), capacity);
  for (size_t i = static_cast<size_t>(written) + 1; i < figures.size(); ++i)
    FUZZ_CHECK(Same(figures[i], kUnwritten), "element %zu written past %d", i, written);
  FUZZ_CHECK(Same(figures[0], kUnwritten), "element 0 written");
  const double fixed[] = {0, static_cast<double>(static_cast<uint32_t>(r.kind)), static_cast<double>(r.points),
                          r.centre, r.sigma, r.centreGiven ? 1.0 : 0.0, r.sigmaGiven ? 1.0 : 0.0, r.ownCentre,
                          r.ownSigma, r.upperLimit, r.lowerLimit, r.secondCentre, r.secondUpper, r.secondLower,
                          r.lambda, r.L, r.k, r.h};
  for (int32_t i = 1; i <= std::min(written, 17); ++i) FUZZ_CHECK(Same(figures[static_cast<size_t>(i)], fixed[i]), "figure %d", i);
  for (int32_t i = 18; i <= std::min(written, 35); ++i) {
    const double expected = i <= 25 ? r.testCounts[i - 18] : i == 26 ? r.secondCount : i <= 34 ? r.firstFlagged[i - 27]
                                                                                               : r.firstSignal;
    FUZZ_CHECK(figures[static_cast<size_t>(i)] == expected, "figure %d", i);
  }
  const std::vector<double>* blocks[] = {&r.statistic, &r.second, &r.upper, &r.lower};
  for (int32_t i = kChartFixedFigures + 1; i <= written; ++i) {
    const int32_t block = (i - kChartFixedFigures - 1) / r.points, point = (i - kChartFixedFigures - 1) % r.points + 1;
    const double expected = block < 4 ? (*blocks[block])[static_cast<size_t>(point)] : r.flags[static_cast<size_t>(point)];
    FUZZ_CHECK(Same(figures[static_cast<size_t>(i)], expected), "element %d (block %d, point %d)", i, block, point);
  }
}

// Every figure of a request with sane finite inputs is a finite number.
bool SaneInputs(const Decoded& d) {
  const ChartRequest& r = d.request;
  for (int32_t i = 1; i <= r.count; ++i) {
    const double x = std::fabs(r.values[i]);
    if (x > 1e6 || (x != 0 && x < 1e-6)) return false;
    if (ReadsSizes(r.chart) && !(r.sizes[i] >= 1e-3 && r.sizes[i] <= 1e6)) return false;
  }
  for (int e = 1; e <= std::min(r.optionCount, kChartOptionElements); ++e) {
    const double o = r.options[e];
    if (!std::isnan(o) && (std::fabs(o) > 1e6 || (o != 0 && std::fabs(o) < 1e-6))) return false;
  }
  return true;
}

void CheckFinite(const ChartResult& r) {
  const double fixed[] = {r.centre, r.sigma, r.ownCentre, r.ownSigma, r.upperLimit, r.lowerLimit, r.secondCentre,
                          r.secondUpper, r.secondLower};
  for (double x : fixed) FUZZ_CHECK(std::isfinite(x), "a figure is %a", x);
  for (int32_t i = 1; i <= r.points; ++i) {
    const size_t j = static_cast<size_t>(i);
    FUZZ_CHECK(std::isfinite(r.statistic[j]) && std::isfinite(r.upper[j]) && std::isfinite(r.lower[j]) &&
                   (std::isfinite(r.second[j]) || (r.kind == ChartKind::Individuals && i == 1)),
               "point %d not finite", i);
  }
}

// The request with the given centre and σ taken out, or set to `centre` and `sigma`.
bool ComputeWith(const Decoded& d, double centre, double sigma, ChartResult* result) {
  std::vector<double> options(kOptionSlots, kNaN);
  for (int e = 1; e < kOptionSlots && e <= d.request.optionCount; ++e)
    options[static_cast<size_t>(e)] = d.options[static_cast<size_t>(e)];
  options[kChartOptionCentre] = centre;
  options[kChartOptionSigma] = sigma;
  ChartRequest request = d.request;
  request.options = options.data();
  request.optionCount = std::max(request.optionCount, kChartOptionElements);
  return Chart_Compute(request, result);
}

// The data's own centre and σ given back make the same chart, bit for bit
// (the moving ranges' centre then comes from σ: d2(2)·σ, close to their mean).
void CheckOwnBack(const Decoded& d) {
  ChartResult own, back;
  if (!ComputeWith(d, kNaN, kNaN, &own)) return;  // a CUSUM without spread
  const uint32_t chart = d.request.chart;
  const double sigma = IsAttribute(chart) ? kNaN : own.ownSigma;
  if (!ComputeWith(d, own.ownCentre, sigma, &back)) {
    const bool centreOutside = !std::isfinite(own.ownCentre) ||
                               (IsAttribute(chart) && (!(own.ownCentre > 0) || (Proportion(chart) && !(own.ownCentre < 1))));
    const bool sigmaOutside = !IsAttribute(chart) && !(std::isfinite(own.ownSigma) && own.ownSigma > 0);
    FUZZ_CHECK(centreOutside || sigmaOutside, "own centre %a, sigma %a given back refused", own.ownCentre, own.ownSigma);
    return;
  }
  FUZZ_CHECK(Same(back.upperLimit, own.upperLimit) && Same(back.lowerLimit, own.lowerLimit),
             "own figures given back changed the limits");
  if (chart == 1)
    FUZZ_CHECK(!std::isfinite(own.secondUpper) ||
                   (Near(back.secondCentre, own.secondCentre) && Near(back.secondUpper, own.secondUpper)),
               "moving ranges' centre %a, %a", back.secondCentre, own.secondCentre);
  else
    FUZZ_CHECK(Same(back.secondCentre, own.secondCentre) && Same(back.secondUpper, own.secondUpper) &&
                   Same(back.secondLower, own.secondLower),
               "second chart's lines changed");
  for (int32_t i = 1; i <= own.points; ++i) {
    const size_t j = static_cast<size_t>(i);
    FUZZ_CHECK(Same(back.upper[j], own.upper[j]) && Same(back.lower[j], own.lower[j]) &&
                   Same(back.statistic[j], own.statistic[j]) && Same(back.second[j], own.second[j]),
               "point %d changed with the own figures given back", i);
  }
}

}  // namespace

// The chart's page, laid out as Create_ChartBitmap lays it out.
void CheckPage(const ChartRequest& request, const ChartResult& r, int32_t capacity) {
  const uint32_t bits = static_cast<uint32_t>(capacity);
  const int32_t width = 1 + static_cast<int32_t>(bits % 1700), height = 1 + static_cast<int32_t>((bits / 7) % 1300);
  const double factor = 0.5 + (bits % 11) * 0.25;
  SpcResult histogram{};
  const bool individuals = r.kind == ChartKind::Individuals;
  if (individuals)
    SPC_ComputeRequest(Chart_HistogramRequest(request.values, request.count, r.upperLimit, r.lowerLimit), histogram);
  SPC_SetScale(factor);
  ChartPageLayout layout;
  Chart_LayoutPage(r, individuals ? &histogram.classes : nullptr, width, height, factor, &layout);
  SPC_SetScale(1.0);
  const PageLayout& page = layout.page;
  for (const ChartArea* a : {&page.location, &page.dispersion}) {
    FUZZ_CHECK(a->width >= 0 && a->height >= 0, "a chart of %d x %d", a->width, a->height);
    if (a->width > 0 && page.pageWidth >= 200 && page.pageHeight >= 200)
      FUZZ_CHECK(a->left >= 0 && a->top >= 0 && a->left + a->width <= page.pageWidth &&
                     a->top + a->height <= page.pageHeight,
                 "a chart off its %d x %d page", page.pageWidth, page.pageHeight);
  }
  const ChartArea& chart = page.location;
  const PlotBox box = Plot_InnerBox(chart.left, chart.top, chart.width, chart.height);
  for (const std::vector<Segment>* path : {&layout.upperPath, &layout.lowerPath})
    for (const Segment& s : *path)
      FUZZ_CHECK(std::min(s.x0, s.x1) >= box.left && std::max(s.x0, s.x1) <= box.right &&
                     std::min(s.y0, s.y1) >= box.top && std::max(s.y0, s.y1) <= box.bottom,
                 "a limit path leaves the plot");
  FUZZ_CHECK(layout.varyingLimits || (layout.upperPath.empty() && layout.lowerPath.empty()), "paths of constant limits");
  FUZZ_CHECK(Chart_PanelRows(r).size() >= 5, "a panel without its figures");
  FUZZ_CHECK(!Chart_Legend(r, true, LegendForm::Short).empty(), "marking asked for and no legend");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::LoadShippedTable();
  fuzz::Input input(data, size);
  const Decoded d = Decode(input);
  const ChartRequest& request = d.request;

  std::vector<double> results(static_cast<size_t>(std::max(d.capacity, 0)) + 9, kUnwritten);
  const int32_t written = Chart_Statistics(request, results.data(), d.capacity);
  ChartResult r;
  const bool computed = Chart_Compute(request, &r);
  const bool sound = Sound(request);
  FUZZ_CHECK(written == 0 || computed, "figures written for a refused request");
  if (computed != sound) {
    // A sound CUSUM is refused only when no σ standardises its means; with σ 1 given it is charted.
    FUZZ_CHECK(sound && request.chart == 3, "chart %u: computed %d, the rules say %d", request.chart, computed, sound);
    Decoded withSigma = d;
    withSigma.options.resize(kOptionSlots, kNaN);
    withSigma.options[kChartOptionSigma] = 1.0;
    ChartRequest retry = request;
    retry.options = withSigma.options.data();
    retry.optionCount = std::max(request.optionCount, kChartOptionElements);
    ChartResult charted;
    FUZZ_CHECK(std::isnan(d.options[kChartOptionSigma]) || request.optionCount < kChartOptionSigma,
               "a CUSUM with a given σ refused");
    FUZZ_CHECK(Chart_Compute(retry, &charted), "a CUSUM refused with σ 1 given");
  }
  if (!computed || d.capacity < 1) {
    for (double x : results) FUZZ_CHECK(Same(x, kUnwritten), "a refused request wrote its figures");
    if (!computed) return 0;
  }
  FUZZ_CHECK(r.points == (request.chart == 2 || request.chart == 3 ? request.count / request.SampleSize : request.count),
             "%d points", r.points);
  const double mask = request.optionCount >= kChartOptionRunTests ? request.options[kChartOptionRunTests] : kNaN;
  CheckLimits(request, r);
  CheckFlags(request, r, std::isnan(mask) ? uint8_t{0xFF} : static_cast<uint8_t>(mask));
  CheckFigures(r, d.capacity);
  std::vector<double> again(results.size(), kUnwritten);
  FUZZ_CHECK(Chart_WriteResults(r, again.data(), d.capacity) == written &&
                 std::memcmp(again.data(), results.data(), results.size() * sizeof(double)) == 0,
             "the figures of the whole request differ from the writer's");
  if (SaneInputs(d)) CheckFinite(r);
  if (d.ownBack) CheckOwnBack(d);
  CheckPage(request, r, d.capacity);
  return 0;
}
