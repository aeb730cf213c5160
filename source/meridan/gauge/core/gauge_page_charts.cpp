// The contents of the gauge page's charts, in page pixels: type 1's readings
// in order and histogram; for types 2 and 3 the components of variation, the
// range and means charts by appraiser, the readings by part and by appraiser
// and the appraiser x part interaction.
#include <algorithm>
#include <cmath>
#include <vector>

#include "gauge/core/gauge_compute.h"
#include "gauge/core/gauge_page_parts.h"
#include "spc/core/axis_scale.h"
#include "spc/core/run_test_marks.h"

namespace {

void Line(GaugeChart* chart, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Colour colour, int32_t width = 1,
          bool dashed = false) {
  chart->lines.push_back({{x0, y0, x1, y1}, colour, width, dashed});
}

// A level line across the plot at value v (left out when v is not a number or off the axis).
void Level(GaugeChartFrame* frame, double v, Colour colour, bool dashed = false) {
  if (!(v >= frame->yMin && v <= frame->yMax)) return;
  const int32_t y = Plot_ValueY(frame->box, v, frame->yMin, frame->yMax);
  Line(&frame->chart, frame->box.left, y, frame->box.right, y, colour, 1, dashed);
}

int32_t Y(const GaugeChartFrame& frame, double v) { return Plot_ValueY(frame.box, v, frame.yMin, frame.yMax); }

// The caption's legend: coloured words right-aligned on the caption line, where they fit beside the caption.
void CaptionLegend(GaugeChartFrame* frame, const std::vector<std::pair<std::string, Colour>>& words,
                   const PageLayout& page) {
  const GaugeLabel caption = frame->chart.labels.front();  // a copy: the labels grow below
  const int32_t CW = page.charWidth;
  int32_t width = 0;
  for (const auto& word : words) width += CW * static_cast<int32_t>(word.first.size() + 1);
  width += CW;  // a margin at the right end
  const int32_t captionEnd = caption.box.left + CW * static_cast<int32_t>(caption.text.size());
  int32_t x = caption.box.right - width;
  if (x < captionEnd) return;
  for (const auto& word : words) {
    const int32_t right = x + CW * static_cast<int32_t>(word.first.size() + 1);
    frame->chart.labels.push_back({word.first, {x, caption.box.top, right, caption.box.bottom}, word.second,
                                   kGaugeTextRight});
    x = right;
  }
}

// Every part number where they fit, else every k-th.
void PartLabels(GaugeChartFrame* frame, int32_t parts, const PageLayout& page) {
  const int32_t room = std::max(1, frame->box.right - frame->box.left);
  const int32_t widest = page.charWidth * (static_cast<int32_t>(std::to_string(parts).size()) + 1);
  const int32_t every = std::max<int32_t>(1, (widest * parts + room - 1) / room);
  for (int32_t p = 1; p <= parts; p += every) Gauge_CategoryLabel(frame, std::to_string(p), p, parts, page);
}

struct StudyValues {
  int32_t n, o, r;
  std::vector<double> cellMean, cellRange;  // appraiser a, part p at (a - 1) n + p - 1
  std::vector<double> partMean;
  double lowest, highest;                   // of all readings
  double Rbarbar, grandMean;
};

StudyValues ValuesOf(const GaugeRequest& request, const GaugeResult& result) {
  StudyValues v{request.parts, request.appraisers, request.trials, {}, {}, {}, 0, 0, 0, 0};
  v.cellMean.resize(static_cast<size_t>(v.n) * v.o);
  v.cellRange.resize(v.cellMean.size());
  v.lowest = v.highest = request.readings[1];
  for (int32_t a = 1; a <= v.o; ++a)
    for (int32_t p = 1; p <= v.n; ++p) {
      v.cellMean[(a - 1) * v.n + p - 1] = Gauge_Mean(v.r, [&](int32_t t) { return Gauge_Reading(request, a, p, t); });
      v.cellRange[(a - 1) * v.n + p - 1] = Gauge_CellRange(request, a, p);
      for (int32_t t = 1; t <= v.r; ++t) {
        v.lowest = std::min(v.lowest, Gauge_Reading(request, a, p, t));
        v.highest = std::max(v.highest, Gauge_Reading(request, a, p, t));
      }
    }
  for (int32_t p = 1; p <= v.n; ++p)
    v.partMean.push_back(Gauge_Mean(v.o, [&](int32_t a) { return v.cellMean[(a - 1) * v.n + p - 1]; }));
  v.Rbarbar = Gauge_Mean(v.o, [&](int32_t a) { return result.appraiserMeanRange[a - 1]; });
  v.grandMean = Gauge_Mean(v.o, [&](int32_t a) { return result.appraiserMean[a - 1]; });
  return v;
}

void Marker(GaugeChart* chart, int32_t x, int32_t y, Colour colour) { chart->markers.push_back({x, y, colour}); }

void ComponentsChart(const GaugeResult& result, const GaugeCell& cell, const PageLayout& page, GaugePageLayout* out) {
  const GaugeComponents& c = result.components;
  const bool withTolerance = Gauge_UsableTolerance(result.tolerance) > 0;
  // Groups GRR, repeatability, reproducibility, part; bars %contribution, %study variation, %tolerance.
  const int index[4] = {2, 0, 1, 3};
  double highest = 100;
  for (int g = 0; g < 4; ++g)
    if (withTolerance) highest = std::max(highest, c.tolerancePercent[index[g]]);
  GaugeChartFrame frame = Gauge_PlaceChart(cell, "Components of variation", 0, highest, page);
  if (frame.chart.width > 0) {
    const int32_t bars = withTolerance ? 3 : 2;
    const double slot = (double(frame.box.right) - frame.box.left) / 4;
    const double barWidth = slot * 0.8 / bars;
    const Colour colours[3] = {kContributionColour, kStudyVariationColour, kToleranceColour};
    const char* names[4] = {"GRR", "Repeat", "Reprod", "Part"};
    for (int g = 0; g < 4; ++g) {
      const double values[3] = {c.contribution[index[g]], c.studyVariationPercent[index[g]],
                                c.tolerancePercent[index[g]]};
      for (int b = 0; b < bars; ++b) {
        const double left = frame.box.left + g * slot + slot * 0.1 + b * barWidth;
        const double v = std::min(values[b], frame.yMax);
        frame.chart.bars.push_back({Px_Round(left), Y(frame, v), Px_Round(left + barWidth) + 1,
                                    Y(frame, std::max(0.0, frame.yMin)) + 1, colours[b]});
      }
      Gauge_CategoryLabel(&frame, names[g], g + 1, 4, page);
    }
    std::vector<std::pair<std::string, Colour>> legend = {{"%Contr", kContributionColour},
                                                          {"%SV", kStudyVariationColour}};
    if (withTolerance) legend.push_back({"%Tol", kToleranceColour});
    CaptionLegend(&frame, legend, page);
  }
  out->charts.push_back(frame.chart);
}

// The range or the means chart: one value per part and appraiser, the appraisers side by side.
void ByAppraiserChart(const StudyValues& v, const std::vector<double>& values, const char* caption, double centre,
                      double upper, double lower, bool ringAbove, const GaugeCell& cell, const PageLayout& page,
                      GaugePageLayout* out) {
  double low = *std::min_element(values.begin(), values.end()), high = *std::max_element(values.begin(), values.end());
  for (double limit : {upper, lower, centre})
    if (std::isfinite(limit)) low = std::min(low, limit), high = std::max(high, limit);
  GaugeChartFrame frame = Gauge_PlaceChart(cell, caption, low, high, page);
  if (frame.chart.width > 0) {
    const int32_t count = v.n * v.o;
    for (int32_t a = 1; a <= v.o; ++a) {
      if (a > 1) {  // a separator between the appraisers' blocks
        const int32_t x = Gauge_CategoryX(frame.box, (a - 1) * v.n + 0.5, count);
        Line(&frame.chart, x, frame.box.top, x, frame.box.bottom, kSeparatorColour, 1, true);
      }
      Gauge_CategoryLabel(&frame, Gauge_AppraiserName(a), (a - 1) * v.n + (v.n + 1) / 2.0, count, page);
    }
    Level(&frame, upper, kLimitColour);
    Level(&frame, lower, kLimitColour);
    Level(&frame, centre, kCentreColour);
    for (int32_t a = 1; a <= v.o; ++a) {
      const Colour colour = Gauge_AppraiserColour(a);
      for (int32_t p = 1; p <= v.n; ++p) {
        const int32_t i = (a - 1) * v.n + p;
        const int32_t x = Gauge_CategoryX(frame.box, i, count), y = Y(frame, values[i - 1]);
        if (p > 1)
          Line(&frame.chart, Gauge_CategoryX(frame.box, i - 1, count), Y(frame, values[i - 2]), x, y, colour);
        Marker(&frame.chart, x, y, colour);
        if (ringAbove && values[i - 1] > upper) frame.chart.rings.push_back({x, y, kFlaggedColour});
      }
    }
  }
  out->charts.push_back(frame.chart);
}

void ReadingsByPart(const GaugeRequest& request, const StudyValues& v, const GaugeCell& cell, const PageLayout& page,
                    GaugePageLayout* out) {
  GaugeChartFrame frame = Gauge_PlaceChart(cell, "Readings by part", v.lowest, v.highest, page);
  if (frame.chart.width > 0) {
    const double slot = (double(frame.box.right) - frame.box.left) / v.n;
    const double spread = std::min(slot * 0.6, 4.0 * out->markerHalf * v.o);
    for (int32_t p = 1; p <= v.n; ++p) {
      const int32_t centre = Gauge_CategoryX(frame.box, p, v.n);
      if (p > 1)
        Line(&frame.chart, Gauge_CategoryX(frame.box, p - 1, v.n), Y(frame, v.partMean[p - 2]), centre,
             Y(frame, v.partMean[p - 1]), kCentreColour);
      for (int32_t a = 1; a <= v.o; ++a) {
        const int32_t x = Px_Round(centre + (v.o > 1 ? spread * ((a - 1.0) / (v.o - 1) - 0.5) : 0.0));
        for (int32_t t = 1; t <= v.r; ++t)
          Marker(&frame.chart, x, Y(frame, Gauge_Reading(request, a, p, t)), Gauge_AppraiserColour(a));
      }
    }
    PartLabels(&frame, v.n, page);
  }
  out->charts.push_back(frame.chart);
}

void ReadingsByAppraiser(const GaugeRequest& request, const GaugeResult& result, const StudyValues& v,
                         const GaugeCell& cell, const PageLayout& page, GaugePageLayout* out) {
  GaugeChartFrame frame = Gauge_PlaceChart(cell, "Readings by appraiser", v.lowest, v.highest, page);
  if (frame.chart.width > 0) {
    const double slot = (double(frame.box.right) - frame.box.left) / v.o;
    for (int32_t a = 1; a <= v.o; ++a) {
      const int32_t x = Gauge_CategoryX(frame.box, a, v.o), y = Y(frame, result.appraiserMean[a - 1]);
      for (int32_t p = 1; p <= v.n; ++p)
        for (int32_t t = 1; t <= v.r; ++t)
          Marker(&frame.chart, x, Y(frame, Gauge_Reading(request, a, p, t)), Gauge_AppraiserColour(a));
      const int32_t half = Px_Round(slot * 0.25);
      Line(&frame.chart, x - half, y, x + half, y, kCentreColour, 2);  // the appraiser's mean
      if (a > 1)
        Line(&frame.chart, Gauge_CategoryX(frame.box, a - 1, v.o), Y(frame, result.appraiserMean[a - 2]), x, y,
             kCentreColour);
      Gauge_CategoryLabel(&frame, Gauge_AppraiserName(a), a, v.o, page);
    }
  }
  out->charts.push_back(frame.chart);
}

void Interaction(const StudyValues& v, const GaugeCell& cell, const PageLayout& page, GaugePageLayout* out) {
  const double low = *std::min_element(v.cellMean.begin(), v.cellMean.end());
  const double high = *std::max_element(v.cellMean.begin(), v.cellMean.end());
  GaugeChartFrame frame = Gauge_PlaceChart(cell, "Appraiser x part interaction", low, high, page);
  if (frame.chart.width > 0) {
    const int32_t width = std::max(1, Px_Trunc(1.5 * SPC_GetScale()));
    for (int32_t a = 1; a <= v.o; ++a)
      for (int32_t p = 1; p <= v.n; ++p) {
        const int32_t x = Gauge_CategoryX(frame.box, p, v.n), y = Y(frame, v.cellMean[(a - 1) * v.n + p - 1]);
        if (p > 1)
          Line(&frame.chart, Gauge_CategoryX(frame.box, p - 1, v.n), Y(frame, v.cellMean[(a - 1) * v.n + p - 2]), x,
               y, Gauge_AppraiserColour(a), width);
        Marker(&frame.chart, x, y, Gauge_AppraiserColour(a));
      }
    PartLabels(&frame, v.n, page);
  }
  out->charts.push_back(frame.chart);
}

}  // namespace

void Gauge_StudyCharts(const GaugeRequest& request, const GaugeResult& result, const GaugeCell cells[6],
                       GaugePageLayout* layout) {
  const PageLayout& page = layout->page;
  const StudyValues v = ValuesOf(request, result);
  ComponentsChart(result, cells[0], page, layout);
  double upper, lower;
  Gauge_RangeChartLimits(v.r, v.Rbarbar, &upper, &lower);
  ByAppraiserChart(v, v.cellRange, "Range by appraiser", v.Rbarbar, upper, lower, true, cells[1], page, layout);
  // The means' limits X̿ -/+ A2 R̿, from the same table row as the range chart's.
  double meansUpper = std::nan(""), meansLower = std::nan("");
  const double A2R = Gauge_MeanChartReach(v.r, v.Rbarbar);
  if (std::isfinite(A2R)) meansUpper = v.grandMean + A2R, meansLower = v.grandMean - A2R;
  ByAppraiserChart(v, v.cellMean, "Mean by appraiser", v.grandMean, meansUpper, meansLower, false, cells[2], page,
                   layout);
  ReadingsByPart(request, v, cells[3], page, layout);
  ReadingsByAppraiser(request, result, v, cells[4], page, layout);
  Interaction(v, cells[5], page, layout);
}

void Gauge_Type1Charts(const GaugeRequest& request, const GaugeResult& result, const GaugeCell& run,
                       const GaugeCell& histogram, GaugePageLayout* layout) {
  const PageLayout& page = layout->page;
  const GaugeType1& g = result.type1;
  const double reach = result.options.K / 200.0 * result.tolerance;
  const double upper = result.reference + reach, lower = result.reference - reach;
  const double low = std::min({g.smallest, lower, g.mean}), high = std::max({g.largest, upper, g.mean});
  GaugeChartFrame frame = Gauge_PlaceChart(run, "Readings in order", low, high, page);
  const int32_t count = request.trials;
  GaugeChart& chart = frame.chart;
  if (chart.width > 0) {
    Level(&frame, upper, kLimitColour);
    Level(&frame, lower, kLimitColour);
    Level(&frame, result.reference, kCentreColour);
    Level(&frame, g.mean, kMeanLineColour, true);
    const Colour colour = Gauge_AppraiserColour(1);
    int32_t previousX = 0, previousY = 0;
    bool previous = false;
    for (int32_t t = 1; t <= count; ++t) {
      const double x = Gauge_Reading(request, 1, 1, t);
      if (std::isnan(x)) {
        previous = false;  // a reading not taken breaks the line
        continue;
      }
      const int32_t px = Gauge_CategoryX(frame.box, t, count), py = Y(frame, x);
      if (previous) Line(&chart, previousX, previousY, px, py, colour);
      Marker(&chart, px, py, colour);
      previousX = px, previousY = py, previous = true;
    }
    // The reading numbers under the plot, from the first reading's place to the last's.
    AxisScale numbers;
    numbers.max = count;
    numbers.min = 1;
    const int32_t first = Gauge_CategoryX(frame.box, 1, count), last = Gauge_CategoryX(frame.box, count, count);
    Axis_CalcScale(2, Px_Narrow16(last - first), 0, 1.25, &numbers.max, &numbers.min, &numbers.step, 1,
                   &numbers.steps);
    if (numbers.steps > 0 && last > first) {
      chart.sampleAxis = {true, first, chart.top + chart.height, last - first,
                          Px_Trunc(1.25 * page.lineHeight + page.majorTick), 2, numbers};
    }
    CaptionLegend(&frame, {{"reference", kCentreColour}, {"+/-K/200 T", kLimitColour}, {"mean", kMeanLineColour}},
                  page);
  }
  layout->charts.push_back(chart);

  // The histogram beside it, on the same value axis: classes over the readings' range, bars growing to the right.
  GaugeChartFrame bars = Gauge_PlaceChart(histogram, "Histogram", low, high, page);
  bars.chart.valueAxis.drawn = false;  // the run chart's axis serves both
  const int32_t shift = frame.chart.left - run.left;
  bars.chart.left = histogram.left + std::min<int32_t>(page.charWidth, shift);
  bars.chart.width = std::max(0, histogram.right - page.charWidth - bars.chart.left);
  if (bars.chart.width < 8 || bars.chart.height < 8) bars.chart.width = bars.chart.height = 0;  // no room
  bars.chart.labels.front().box.left = bars.chart.left;
  bars.yMin = frame.yMin;
  bars.yMax = frame.yMax;
  bars.box = Plot_InnerBox(bars.chart.left, bars.chart.top, bars.chart.width, bars.chart.height);
  if (bars.chart.width > 0 && bars.chart.height > 0) {
    const int32_t classes = std::clamp(static_cast<int32_t>(std::ceil(std::sqrt(double(g.n)))), 3, 20);
    const double width = (g.largest - g.smallest) / classes;
    std::vector<int32_t> counts(classes, 0);
    for (int32_t t = 1; t <= count; ++t) {
      const double x = Gauge_Reading(request, 1, 1, t);
      if (std::isnan(x)) continue;
      const double at = std::floor((x - g.smallest) / width);
      counts[at >= 0 ? static_cast<size_t>(std::min(at, classes - 1.0)) : 0] += 1;
    }
    const int32_t peak = *std::max_element(counts.begin(), counts.end());
    const double span = (double(bars.box.right) - bars.box.left) * 0.9;
    for (int32_t k = 0; k < classes; ++k) {
      if (counts[k] == 0) continue;
      const double from = g.smallest + k * width, to = k + 1 == classes ? g.largest : from + width;
      bars.chart.bars.push_back({bars.box.left, Y(bars, to), Px_Round(bars.box.left + span * counts[k] / peak) + 1,
                                 Y(bars, from) + 1, kHistogramColour});
    }
    Level(&bars, upper, kLimitColour);
    Level(&bars, lower, kLimitColour);
    Level(&bars, result.reference, kCentreColour);
    Level(&bars, g.mean, kMeanLineColour, true);
  }
  layout->charts.push_back(bars.chart);
}
