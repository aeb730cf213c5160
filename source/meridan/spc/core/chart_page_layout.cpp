#include "spc/core/chart_page_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// As on the SPC page: with the histogram the charts take this share of the
// width, and the individuals chart and the moving range chart share the height.
constexpr double kChartWidthShare = 0.65;
constexpr double kMainHeightShare = 0.65;
constexpr double kSecondHeightShare = 0.35;
// The value range of a chart reaches this share of its span beyond its outermost figures.
constexpr double kRangeMargin = 0.1;

struct Range {
  double lo = HUGE_VAL, hi = -HUGE_VAL;
  void Add(double value) {
    if (!std::isfinite(value)) return;
    lo = std::min(lo, value);
    hi = std::max(hi, value);
  }
};

// The range widened by its margin; a range of one value gets a span of its own.
Range Widened(Range range) {
  if (!(range.lo <= range.hi)) return Range{0, 1};
  double span = range.hi - range.lo;
  if (!(span > 0)) span = range.hi != 0 ? std::fabs(range.hi) : 1.0;
  range.lo -= kRangeMargin * span;
  range.hi += kRangeMargin * span;
  return range;
}

// The chart shows every point, every limit and the centre line.
Range MainRange(const ChartResult& r) {
  Range range;
  const bool cusum = r.kind == ChartKind::Cusum;
  for (int32_t i = 1; i <= r.points; ++i) {
    range.Add(r.statistic[i]);
    if (cusum) range.Add(-r.second[i]);
    range.Add(r.upper[i]);
    range.Add(r.lower[i]);
  }
  range.Add(r.centreLine);
  return Widened(range);
}

double LargestOf(const std::vector<double>& series, int32_t count, double atLeast) {
  double largest = atLeast;
  for (int32_t i = 1; i <= count; ++i)
    if (std::isfinite(series[i])) largest = std::max(largest, series[i]);
  return largest;
}

bool ConstantLimits(const ChartResult& r) {
  for (int32_t i = 2; i <= r.points; ++i)
    if (r.upper[i] != r.upper[1] || r.lower[i] != r.lower[1]) return false;
  return true;
}

TickStrip Strip(int32_t left, int32_t top, int32_t width, int32_t height, int16_t side, const AxisScale& scale) {
  TickStrip strip;
  strip.drawn = true;
  strip.left = left;
  strip.top = top;
  strip.width = width;
  strip.height = height;
  strip.side = side;
  strip.scale = scale;
  return strip;
}

// A part without area on a page too small for it is left out.
void DropIfEmpty(ChartArea& area) {
  if (area.width <= 0 || area.height <= 0) area.width = area.height = 0;
}

}  // namespace

SpcRequest Chart_HistogramRequest(const double* values, int32_t count, double upperLimit, double lowerLimit) {
  SpcRequest request{};
  request.typ = 0;  // a run chart: statistics and classes only
  request.meaval = values;
  request.numofval = count;
  request.NomSize = (upperLimit + lowerLimit) / 2;
  request.USL = upperLimit;
  request.LSL = lowerLimit;
  request.SampleSize = 1;
  return request;
}

std::vector<Segment> Chart_LimitPath(const ChartArea& area, const double* limits, int32_t count, bool joined) {
  std::vector<Segment> path;
  const PlotBox box = Plot_InnerBox(area.left, area.top, area.width, area.height);
  if (!limits || count < 1 || area.width <= 0 || area.height <= 0 || !Plot_RangeUsable(area.yMin, area.yMax) ||
      !ControlChart_SamplesUsable(area.firstSample, area.lastSample))
    return path;
  auto x = [&](int32_t i) { return ControlChart_SampleX(box, i, area.firstSample, area.lastSample); };
  auto y = [&](double v) { return std::clamp(Plot_ValueY(box, v, area.yMin, area.yMax), box.top, box.bottom); };
  auto drawn = [](double v) { return !std::isnan(v); };
  if (joined && count >= 2) {
    for (int32_t i = 2; i <= count; ++i)
      if (drawn(limits[i - 1]) && drawn(limits[i])) path.push_back({x(i - 1), y(limits[i - 1]), x(i), y(limits[i])});
    return path;
  }
  // The step of point i reaches halfway to the points beside it.
  auto edge = [&](int32_t i) { return static_cast<int32_t>((int64_t{x(i)} + x(i + 1)) / 2); };
  for (int32_t i = 1; i <= count; ++i) {
    if (!drawn(limits[i])) continue;
    const int32_t level = y(limits[i]);
    path.push_back({edge(i - 1), level, edge(i), level});
    if (i < count && drawn(limits[i + 1])) {
      const int32_t next = y(limits[i + 1]);
      if (next != level) path.push_back({edge(i), level, edge(i), next});
    }
  }
  return path;
}

namespace {

void LayOut(const ChartResult& result, const HistogramClasses* classes, int32_t width, int32_t height, double factor,
            ChartPageLayout* layout) {
  PageLayout& page = layout->page;
  // The frame, the title band, the fonts and the ticks are the SPC page's own:
  // laid out as for a request without values, which has nothing else.
  const SpcRequest noValues{};
  const SpcResult nothing{};
  SPC_LayoutPage(noValues, nothing, width, height, factor, &page);
  page.content = true;

  // The names are those of the SPC page's layout (LH line height, CW character
  // width, g7 7 pixels scaled, L T R Bm the running rectangle, M the width of
  // the charts' plot, lab and lab2 the characters of the longest value labels).
  const double f = factor;
  const int16_t LH = page.lineHeight, CW = page.charWidth;
  const double g7 = 7 * f;
  const int32_t L = page.plotRegion.left + Px_Trunc(4 * f);
  int32_t R = page.plotRegion.right - Px_Trunc(4 * f);
  const int32_t T = page.titleBand.bottom + Px_Trunc(2 * f);
  const int32_t Bm = page.plotRegion.bottom - Px_Trunc(3 * f);
  // The panel's text starts half a line in from its frame (3 pixels) and needs a character to spare.
  const int32_t panelWidth =
      std::min(std::max(Px_Trunc(kChartPanelShare * (R - L)), (kChartPanelChars + 1) * CW + LH / 2 + 6),
               Px_Trunc(kChartPanelMostShare * (R - L)));
  page.panel = {R - panelWidth, T, R, Bm};
  R -= panelWidth + 3;

  const int32_t k = result.points;
  const int32_t lastSample = std::max(k, 10);
  const double X = lastSample;
  const int32_t chartsHeight = Bm - T;
  const bool individuals = result.kind == ChartKind::Individuals;
  layout->histogramShown = individuals && classes;
  page.controlCharts = true;
  page.dispersionShown = individuals;
  const double mainShare = individuals ? kMainHeightShare : 1.0;

  const Range range = MainRange(result);
  const int32_t valueLength = Px_Floor(chartsHeight * mainShare - 2 * LH - Px_Trunc(g7) + 0.5);
  const AxisScale valueAxis = SPC_ScaleValueAxis(valueLength, range.hi, range.lo);
  const int32_t lab = SPC_ValueLabelChars(valueAxis);
  page.labelChars = lab;
  const double M = layout->histogramShown ? std::floor((R - L) * kChartWidthShare - CW * lab - g7 + 0.5)
                                          : std::floor((R - L) - CW * lab - g7 - CW + 0.5);
  page.plotWidth = Px_Trunc(M);
  AxisScale sampleAxis;
  if (valueAxis.steps > 1) sampleAxis = SPC_ScaleSampleAxis(page.plotWidth, X, 1);
  const int32_t labelStripWidth = Px_Trunc(CW * lab + g7);
  const int32_t sampleStripHeight = Px_Floor(1.25 * LH + g7 + 0.5);
  if (sampleAxis.steps >= 0 && valueAxis.steps > 1) {
    page.locationAxis = Strip(L, Px_Trunc(T + LH / 2.0), labelStripWidth, valueLength, 3, valueAxis);
    page.sampleAxis = Strip(Px_Floor(L + CW * lab + g7 + M / X + 0.5),
                            Px_Floor(T + chartsHeight * mainShare - 1.25 * LH - g7 + 0.5),
                            Px_Floor(M - 2 * M / X + 0.5), sampleStripHeight, 2, sampleAxis);
  }

  ChartArea& chart = page.location;
  chart.left = Px_Floor(L + CW * lab + g7 + 0.5);
  chart.top = Px_Trunc(T + LH / 2.0 - 2);
  chart.width = Px_Floor(M + 0.5);
  chart.height = valueLength + 4;
  chart.firstSample = 1;
  chart.lastSample = lastSample;
  chart.yMin = valueAxis.min;
  chart.yMax = valueAxis.max;
  chart.count = std::min(k, lastSample);
  chart.centre = result.centreLine;
  chart.xGridStep = sampleAxis.step;
  chart.xGridCount = sampleAxis.steps;
  chart.yGridStep = valueAxis.step;
  chart.yGridCount = valueAxis.steps;
  if (result.kind == ChartKind::Cusum) {
    // Both sums on one chart, the lower one drawn below zero.
    layout->twoSums.assign(2 * static_cast<size_t>(kSeriesStride), 0.0);
    for (int32_t i = 1; i <= chart.count; ++i) {
      layout->twoSums[i] = result.statistic[i];
      layout->twoSums[kSeriesStride + i] = -result.second[i];
    }
    chart.values = layout->twoSums.data();
    chart.series = 2;
  } else {
    chart.values = result.statistic.data();
  }
  layout->varyingLimits = !ConstantLimits(result);
  if (!layout->varyingLimits) {
    chart.upper2 = result.upper[1];
    chart.lower2 = result.lower[1];
    chart.lineMask = 2;
  }
  DropIfEmpty(chart);
  if (layout->varyingLimits) {
    const bool joined = result.kind == ChartKind::Ewma;
    layout->upperPath = Chart_LimitPath(chart, result.upper.data(), chart.count, joined);
    layout->lowerPath = Chart_LimitPath(chart, result.lower.data(), chart.count, joined);
  }
  if (!individuals) return;

  // The moving ranges under the individuals, on the same samples.
  const int32_t secondLength = Px_Floor(chartsHeight * kSecondHeightShare - LH / 2 + 0.5);
  const int32_t secondTop = Px_Trunc(Bm - chartsHeight * kSecondHeightShare);
  const double secondTopValue = LargestOf(result.second, k, result.secondUpper);
  const AxisScale secondAxis = SPC_ScaleValueAxis(secondLength, secondTopValue * (1 + 1.5 * kRangeMargin), 0);
  if (secondAxis.steps > 1 && sampleAxis.steps >= 0)
    page.dispersionAxis = Strip(L, secondTop, labelStripWidth, secondLength, 3, secondAxis);
  ChartArea& second = page.dispersion;
  second = chart;
  second.top = secondTop;
  second.height = secondLength;
  second.yMin = secondAxis.min;
  second.yMax = secondAxis.max;
  second.values = result.second.data();
  second.series = 1;
  second.upper2 = result.secondUpper;
  second.lower2 = result.secondLower;
  second.lineMask = 2;
  second.centre = result.secondCentre;
  second.yGridStep = secondAxis.step;
  second.yGridCount = secondAxis.steps;
  DropIfEmpty(second);
  if (!layout->histogramShown) return;

  // The histogram beside the two charts, over their whole height, as on the SPC page.
  const int32_t fullAxisLength = Px_Floor(chartsHeight - 2 * LH - Px_Trunc(g7) + 0.5);
  const AxisScale values = SPC_ScaleValueAxis(fullAxisLength, classes->hi, classes->lo);
  const int32_t lab2 = std::max(2, SPC_ValueLabelChars(values));
  page.histogramLabelChars = lab2;
  const int32_t histogramWidth = Px_Floor(R - 2 * CW - (L + M + CW * (lab + lab2) + g7 + 0.5));
  const int32_t histogramLeft = Px_Floor(L + M + CW * (lab + lab2 + 1) + g7 + 0.5);
  const int32_t peak = classes->peak + 2;
  AxisScale frequencyAxis;
  if (values.steps > 1) {
    frequencyAxis = SPC_ScaleSampleAxis(histogramWidth, peak, 0);
    if (frequencyAxis.steps >= 0) {
      page.frequencyAxis = Strip(histogramLeft, Px_Floor(Bm - 1.25 * LH - g7 + 0.5), histogramWidth,
                                 sampleStripHeight, 2, frequencyAxis);
      page.histogramValueAxis = Strip(Px_Floor(L + M + CW + CW * lab + 0.5), Px_Trunc(T + LH / 2.0),
                                      Px_Trunc(CW * lab2 + g7), fullAxisLength, 3, values);
    }
  }
  HistogramArea& histogram = page.histogram;
  histogram.left = histogramLeft;
  histogram.top = chart.top;
  histogram.width = std::max(histogramWidth, 0);
  histogram.height = std::max(Px_Floor(chartsHeight - 2 * LH - Px_Trunc(g7) + 4 + 0.5), 0);
  histogram.freqMax = peak;
  histogram.valueMin = values.min;
  histogram.valueMax = values.max;
  histogram.line1 = result.upperLimit;
  histogram.line2 = result.lowerLimit;
  histogram.mean = result.centre;
  histogram.sigma = result.sigma;
  histogram.freqGridStep = frequencyAxis.step;
  histogram.freqGridCount = frequencyAxis.steps;
  histogram.valueGridStep = values.step;
  histogram.valueGridCount = values.steps;
  if (histogram.width == 0 || histogram.height == 0) layout->histogramShown = false;
}

}  // namespace

void Chart_LayoutPage(const ChartResult& result, const HistogramClasses* classes, int32_t width, int32_t height,
                      double factor, ChartPageLayout* layout) {
  *layout = ChartPageLayout{};
  LayOut(result, classes, width, height, factor, layout);
  // On a page too small for them the label strips have no room: they are left out.
  PageLayout& page = layout->page;
  for (TickStrip* strip :
       {&page.locationAxis, &page.sampleAxis, &page.dispersionAxis, &page.frequencyAxis, &page.histogramValueAxis})
    if (strip->width <= 0 || strip->height <= 0) strip->drawn = false;
  if (page.panel.right <= page.panel.left || page.panel.bottom <= page.panel.top) page.panel = {0, 0, 0, 0};
}
