#include "spc/core/page_layout.h"

#include <algorithm>
#include <cmath>

#include "spc/core/axis_scale.h"
#include "spc/core/axis_ticks_layout.h"
#include "spc/core/plot_geometry.h"

namespace {

constexpr double kLabelSpacing = 1.25;  // large font scale: the room one label needs
constexpr int16_t kValueDecimals = 3;
constexpr int16_t kSampleDecimals = 1;
constexpr double kChartWidthShare = 0.65;
constexpr double kLocationHeightShare = 0.65;
constexpr double kDispersionHeightShare = 0.35;

// A vertical value axis over max .. min, scaled only when narrower than a million.
AxisScale ScaleValueAxis(int32_t length, double max, double min) {
  AxisScale scale;
  scale.max = max;
  scale.min = min;
  if (max - min < kWidestScaledRange)
    Axis_CalcScale(3, 0, Px_Narrow16(length), kLabelSpacing, &scale.max, &scale.min, &scale.step, kValueDecimals,
                   &scale.steps);
  return scale;
}

AxisScale ScaleHorizontalAxis(int32_t length, double max, double min) {
  AxisScale scale;
  scale.max = max;
  scale.min = min;
  Axis_CalcScale(2, Px_Narrow16(length), 0, kLabelSpacing, &scale.max, &scale.min, &scale.step, kSampleDecimals,
                 &scale.steps);
  return scale;
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

int32_t Clamp32(int64_t value) { return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

// A page too small for its parts (a strip of a page, a title band taller than
// the page) would place them partly off the bitmap: every part that covers
// any area is cut to the page. Parts of pages large enough are never changed.
void ClipSpan(int32_t& from, int32_t& to, int32_t pageSide) {
  if (to <= from) return;  // covers nothing, draws nothing
  from = std::clamp(from, 0, pageSide);
  to = std::clamp(to, 0, pageSide);
}

void ClipRect(PageRect& rect, const PageLayout& page) {
  ClipSpan(rect.left, rect.right, page.pageWidth);
  ClipSpan(rect.top, rect.bottom, page.pageHeight);
}

void ClipBox(int32_t& left, int32_t& top, int32_t& width, int32_t& height, const PageLayout& page) {
  if (width <= 0 || height <= 0) return;
  int32_t right = Clamp32(int64_t{left} + width), bottom = Clamp32(int64_t{top} + height);
  ClipSpan(left, right, page.pageWidth);
  ClipSpan(top, bottom, page.pageHeight);
  width = right - left;
  height = bottom - top;
}

void ClipToPage(PageLayout& page) {
  for (PageRect* rect : {&page.frame, &page.plotRegion, &page.titleBand, &page.titleText, &page.panel})
    ClipRect(*rect, page);
  for (TickStrip* strip :
       {&page.locationAxis, &page.sampleAxis, &page.dispersionAxis, &page.frequencyAxis, &page.histogramValueAxis})
    ClipBox(strip->left, strip->top, strip->width, strip->height, page);
  for (ChartArea* chart : {&page.location, &page.dispersion})
    ClipBox(chart->left, chart->top, chart->width, chart->height, page);
  ClipBox(page.histogram.left, page.histogram.top, page.histogram.width, page.histogram.height, page);
}

void LayOut(const SpcRequest& request, const SpcResult& result, int32_t width, int32_t height, double factor,
            PageLayout* page);

}  // namespace

int32_t SPC_ValueLabelChars(const AxisScale& scale) {
  const int32_t n = scale.steps;
  if (n <= 1) return 0;
  size_t longest = 0;
  for (int32_t i = 1; i <= n; ++i) {
    double value = scale.min + (scale.max - scale.min) * (i - 1) / (n - 1);
    longest = std::max(longest, Axis_LabelText(value, scale.step).size());
  }
  return static_cast<int32_t>(longest);
}

PageRect SPC_LayoutFrame(int32_t width, int32_t height, double factor, PageLayout* page) {
  const double f = factor;
  SPC_PageSize(width, height, factor, &page->pageWidth, &page->pageHeight);
  const int16_t LH = Px_Trunc16(15 * f);
  const int16_t CW = Px_Trunc16(7 * f);
  page->lineHeight = LH;
  page->charWidth = CW;
  const double g7 = 7 * f, g5 = 5 * f, g27 = 27 * f;
  page->minorTick = Px_Trunc16(g5);
  page->majorTick = Px_Trunc16(g7);
  // Small font A and large font B; on large pages the fonts grow less than the page.
  const double heightUnit = f > 1.5 ? 0.85 * LH : LH;
  const double widthUnit = f > 1.5 ? 0.8 * CW : CW;
  page->fontAHeight = Px_Trunc(0.75 * heightUnit);
  page->fontAWidth = Px_Trunc(0.75 * widthUnit);
  page->fontBHeight = Px_Trunc(1.25 * heightUnit);
  page->fontBWidth = Px_Trunc(1.25 * widthUnit);

  // The running rectangle shrinks as the frame, the title and the panel take their parts.
  int32_t L = 0, T = 0, R = page->pageWidth, Bm = page->pageHeight;
  page->frame = {L, T, R, Bm};
  const int32_t i5 = Px_Trunc(g5);
  L += i5, T += i5, R -= i5, Bm -= i5;
  page->plotRegion = {L, T, R, Bm};
  const int32_t i4 = Px_Trunc(4 * f), i3 = Px_Trunc(3 * f), i2 = Px_Trunc(2 * f);
  L += i4, R -= i4, T += i4, Bm -= i3;
  const int32_t band = Px_Trunc(g27);
  page->titleBand = {L + i2, T, R - i2, T + band};
  const int32_t titleTop = T + Px_Trunc((g27 - 1.25 * LH) / 2);
  page->titleText = {L + Px_Trunc(8 * f), titleTop, R - Px_Trunc(8 * f), titleTop + Px_Trunc(1.25 * LH)};
  T += band + i2;
  return {L, T, R, Bm};
}

bool SPC_PageSize(int32_t width, int32_t height, double factor, int32_t* pageWidth, int32_t* pageHeight) {
  if (width <= 0 || height <= 0 || !(factor > 0) || !std::isfinite(factor)) return false;
  double w = std::trunc(width * factor), h = std::trunc(height * factor);
  if (!(w >= 1 && h >= 1 && w <= kMaxPageSide && h <= kMaxPageSide)) return false;
  *pageWidth = static_cast<int32_t>(w);
  *pageHeight = static_cast<int32_t>(h);
  return true;
}

void SPC_LayoutPage(const SpcRequest& request, const SpcResult& result, int32_t width, int32_t height, double factor,
                    PageLayout* page) {
  LayOut(request, result, width, height, factor, page);
  ClipToPage(*page);
}

namespace {

void LayOut(const SpcRequest& request, const SpcResult& result, int32_t width, int32_t height, double factor,
            PageLayout* page) {
  *page = PageLayout{};
  // The short names are those of the page's description, so that each figure
  // below can be checked against it: f the scale factor; LH the line height
  // and CW the character width in pixels (15 and 7 at scale 1); g5, g7 and g27
  // 5, 7 and 27 pixels scaled (tick lengths and gaps; g27 the title band's
  // height); i5 the whole pixels of g5, and i4, i3, i2 those of 4, 3 and 2
  // pixels scaled; L, T, R, Bm the running rectangle's left, top, right and
  // bottom; X the number of x positions; M the width of the charts' plot; lab
  // and lab2 the characters of the longest value label of the charts and of
  // the histogram.
  const double f = factor;
  const int16_t LH = Px_Trunc16(15 * f);
  const int16_t CW = Px_Trunc16(7 * f);
  const double g7 = 7 * f;
  const PageRect rest = SPC_LayoutFrame(width, height, factor, page);
  int32_t L = rest.left, T = rest.top, R = rest.right, Bm = rest.bottom;
  page->content = result.stats.n > 0;
  if (!page->content) return;

  const int32_t panelWidth = Px_Trunc(kPanelShare * (R - L));
  page->panel = {Px_Trunc(R - kPanelShare * (R - L)), T, 0, Bm};
  page->panel.right = page->panel.left + panelWidth;
  R -= panelWidth + 3;

  const double X = result.xPositions;
  const int32_t lastSample = Px_Trunc(X);
  const int32_t chartsHeight = Bm - T;
  // Along the whole height of the charts: a value axis, a plot, and the label strip at the foot.
  const int32_t fullAxisLength = Px_Floor(chartsHeight - 2 * LH - Px_Trunc(g7) + 0.5);
  const int32_t fullPlotHeight = Px_Floor(chartsHeight - 2 * LH - Px_Trunc(g7) + 4 + 0.5);
  const int32_t footStripTop = Px_Floor(Bm - 1.25 * LH - g7 + 0.5);
  const ControlLimits& limits = result.limits;
  const SpcStatistics& stats = result.stats;
  page->controlCharts = request.typ >= 10 && stats.m >= 2;
  double lo = result.classes.lo, hi = result.classes.hi;

  // The value axis of the location chart (or of the run chart), then the sample axis under it.
  AxisScale valueAxis;
  int32_t valueLength;
  if (page->controlCharts) {
    double yMin = lo, yMax = hi;  // kinds without location limits show the values' own range
    if (limits.limitsPresent) {
      double spread = limits.upperControl - limits.lowerControl;
      yMin = limits.lowerControl - double(0.15f) * spread;
      yMax = limits.upperControl + double(0.15f) * spread;
    }
    valueLength = Px_Floor(chartsHeight * kLocationHeightShare - 2 * LH - Px_Trunc(g7) + 0.5);
    valueAxis = ScaleValueAxis(valueLength, yMax, yMin);
  } else {
    valueLength = fullAxisLength;
    valueAxis = ScaleValueAxis(valueLength, hi, lo);
    lo = valueAxis.min;  // the histogram beside the run chart shares its rounded range
    hi = valueAxis.max;
  }
  const int32_t lab = SPC_ValueLabelChars(valueAxis);
  page->labelChars = lab;
  const double M = std::floor((R - L) * kChartWidthShare - CW * lab - g7 + 0.5);
  page->plotWidth = Px_Trunc(M);
  AxisScale sampleAxis;
  if (valueAxis.steps > 1) sampleAxis = ScaleHorizontalAxis(page->plotWidth, X, 1);
  const int32_t chartLeft = Px_Floor(L + CW * lab + g7 + 0.5);
  const int32_t chartTop = Px_Trunc(T + LH / 2.0 - 2);
  const int32_t labelStripWidth = Px_Trunc(CW * lab + g7);
  const int32_t sampleStripLeft = Px_Floor(L + CW * lab + g7 + M / X + 0.5);
  const int32_t sampleStripWidth = Px_Floor(M - 2 * M / X + 0.5);
  const int32_t sampleStripHeight = Px_Floor(1.25 * LH + g7 + 0.5);
  if (sampleAxis.steps >= 0 && valueAxis.steps > 1) {
    page->locationAxis = Strip(L, Px_Trunc(T + LH / 2.0), labelStripWidth, valueLength, 3, valueAxis);
    int32_t sampleStripTop = page->controlCharts
                                 ? Px_Floor(T + chartsHeight * kLocationHeightShare - 1.25 * LH - g7 + 0.5)
                                 : footStripTop;
    page->sampleAxis = Strip(sampleStripLeft, sampleStripTop, sampleStripWidth, sampleStripHeight, 2, sampleAxis);
  }

  ChartArea& chart = page->location;
  chart.left = chartLeft;
  chart.top = chartTop;
  chart.width = Px_Floor(M + 0.5);
  chart.firstSample = 1;
  chart.lastSample = lastSample;
  chart.yMin = valueAxis.min;
  chart.yMax = valueAxis.max;
  chart.upper1 = request.USL;
  chart.lower1 = request.LSL;
  chart.centre = stats.mean;
  chart.xGridStep = sampleAxis.step;
  chart.xGridCount = sampleAxis.steps;
  chart.yGridStep = valueAxis.step;
  chart.yGridCount = valueAxis.steps;
  if (page->controlCharts) {
    chart.height = Px_Floor(chartsHeight * kLocationHeightShare + 4 - 2 * LH - Px_Trunc(g7) + 0.5);
    chart.values = SPC_LocationSeries();
    chart.count = result.seriesWritten ? std::min<int32_t>(stats.k, lastSample) : 0;
    chart.series = limits.seriesCount == 2 ? 2 : 1;
    chart.upper2 = limits.upperControl;
    chart.lower2 = limits.lowerControl;
    chart.upper3 = limits.upperWarning;
    chart.lower3 = limits.lowerWarning;
    chart.lineMask = static_cast<int16_t>(2 * (limits.limitsPresent ? 1 : 0) + 4 * (limits.warningPresent ? 1 : 0));

    // The dispersion chart below, on the same samples.
    page->dispersionShown = true;
    const int32_t dispersionLength = Px_Floor(chartsHeight * kDispersionHeightShare - LH / 2 + 0.5);
    const int32_t dispersionTop = Px_Trunc(Bm - chartsHeight * kDispersionHeightShare);
    AxisScale dispersionAxis = ScaleValueAxis(
        dispersionLength, limits.dispersionUpper + 0.15 * (limits.dispersionUpper - limits.dispersionLower), 0);
    if (dispersionAxis.steps > 1 && sampleAxis.steps >= 0)
      page->dispersionAxis = Strip(L, dispersionTop, labelStripWidth, dispersionLength, 3, dispersionAxis);
    ChartArea& spread = page->dispersion;
    spread = chart;
    spread.top = dispersionTop;
    spread.height = dispersionLength;
    spread.yMin = dispersionAxis.min;
    spread.yMax = dispersionAxis.max;
    spread.values = SPC_DispersionSeries();
    spread.count = result.dispersionWritten ? chart.count : 0;
    spread.series = 1;
    spread.upper2 = limits.dispersionUpper;
    spread.lower2 = limits.dispersionLower;
    spread.upper3 = limits.dispersionUpperWarning;
    spread.lower3 = limits.dispersionLowerWarning;
    spread.lineMask = 6;
    spread.centre = limits.dispersionCentre;
    spread.yGridStep = dispersionAxis.step;
    spread.yGridCount = dispersionAxis.steps;
  } else {
    chart.height = fullPlotHeight;
    chart.values = request.meaval;
    chart.count = std::min(request.numofval, lastSample);
    chart.lineMask = 1;
    chart.colour2 = kBlackColour;
    chart.colour3 = kBlackColour;
  }

  // The histogram lies beside the charts, its value axis level with theirs.
  AxisScale histogramValues = valueAxis;
  int32_t lab2 = 2;
  if (page->controlCharts) {
    histogramValues = ScaleValueAxis(fullAxisLength, hi, lo);
    lo = histogramValues.min;
    hi = histogramValues.max;
    lab2 = std::max(lab2, SPC_ValueLabelChars(histogramValues));
  }
  page->histogramLabelChars = lab2;
  const int32_t histogramWidth = Px_Floor(R - 2 * CW - (L + M + CW * (lab + lab2) + g7 + 0.5));
  const int32_t histogramLeft = Px_Floor(L + M + CW * (lab + lab2 + 1) + g7 + 0.5);
  const int32_t peak = Clamp32(int64_t{result.classes.peak} + 2);
  AxisScale frequencyAxis;
  if (histogramValues.steps > 1) {
    frequencyAxis = ScaleHorizontalAxis(histogramWidth, peak, 0);
    if (frequencyAxis.steps >= 0) {
      page->frequencyAxis = Strip(histogramLeft, footStripTop, histogramWidth, sampleStripHeight, 2, frequencyAxis);
      if (page->controlCharts)
        page->histogramValueAxis = Strip(Px_Floor(L + M + CW + CW * lab + 0.5), Px_Trunc(T + LH / 2.0),
                                         Px_Trunc(CW * lab2 + g7), fullAxisLength, 3, histogramValues);
    }
  }
  HistogramArea& histogram = page->histogram;
  histogram.left = histogramLeft;
  histogram.top = chartTop;
  histogram.width = histogramWidth;
  histogram.height = fullPlotHeight;
  histogram.freqMax = peak;
  histogram.valueMin = lo;
  histogram.valueMax = hi;
  histogram.line1 = request.USL;
  histogram.line2 = request.LSL;
  histogram.mean = stats.mean;
  histogram.sigma = stats.stdDev;
  histogram.freqGridStep = frequencyAxis.step;
  histogram.freqGridCount = frequencyAxis.steps;
  histogram.valueGridStep = histogramValues.step;
  histogram.valueGridCount = histogramValues.steps;
}

}  // namespace

AxisScale SPC_ScaleValueAxis(int32_t length, double max, double min) { return ScaleValueAxis(length, max, min); }

AxisScale SPC_ScaleSampleAxis(int32_t length, double max, double min) { return ScaleHorizontalAxis(length, max, min); }
