#include "spc/core/plot_geometry.h"

#include <cmath>

#include "spc/core/draw_math.h"

namespace {

int32_t Clamp(int64_t value) {
  if (value > kPixelLimit) return kPixelLimit;
  if (value < -kPixelLimit) return -kPixelLimit;
  return static_cast<int32_t>(value);
}

int32_t ClampDouble(double value) {
  if (std::isnan(value)) return 0;
  if (value > kPixelLimit) return kPixelLimit;
  if (value < -kPixelLimit) return -kPixelLimit;
  return static_cast<int32_t>(value);
}

bool Inside(double value, double min, double max) { return min <= value && value <= max; }

Segment Horizontal(const PlotBox& box, int32_t y) { return {box.left, y, box.right, y}; }
Segment Vertical(const PlotBox& box, int32_t x) { return {x, box.top, x, box.bottom}; }

}  // namespace

int32_t Px_Round(double value) { return ClampDouble(std::floor(value + 0.5)); }
int32_t Px_Floor(double value) { return ClampDouble(std::floor(value)); }
int32_t Px_Trunc(double value) { return ClampDouble(std::trunc(value)); }

int16_t Px_Narrow16(int32_t value) {
  if (value > INT16_MAX) return INT16_MAX;
  if (value < INT16_MIN) return INT16_MIN;
  return static_cast<int16_t>(value);
}

int16_t Px_Trunc16(double value) { return Px_Narrow16(Px_Trunc(value)); }

int16_t SPC_RowHeight() { return Px_Trunc16(15.0 * SPC_GetScale()); }
int16_t SPC_CharWidth() { return Px_Trunc16(7.0 * SPC_GetScale()); }

PlotBox Plot_InnerBox(int32_t left, int32_t top, int32_t width, int32_t height) {
  return {Clamp(int64_t{left} + 2), Clamp(int64_t{top} + 2), Clamp(int64_t{left} + width - 2),
          Clamp(int64_t{top} + height - 2)};
}

bool Plot_RangeUsable(double min, double max) {
  return std::isfinite(min) && std::isfinite(max) && std::isfinite(max - min) && max != min;
}

int32_t Plot_ValueY(const PlotBox& box, double value, double min, double max) {
  double span = double(box.bottom) - box.top;
  return Clamp(int64_t{box.bottom} - Px_Round(span * (value - min) / (max - min)));
}

int32_t Plot_ValueX(const PlotBox& box, double value, double min, double max) {
  double span = double(box.right) - box.left;
  return Clamp(int64_t{box.left} + Px_Round(span * (value - min) / (max - min)));
}

std::vector<double> Plot_GridValues(double lo, double hi, double step, int32_t count) {
  std::vector<double> values;
  if (step == 0 || !std::isfinite(step) || !std::isfinite(lo)) return values;
  double start = step * std::ceil(lo / step);
  for (int32_t i = 0; i <= count; ++i) {
    double value = start + i * step;
    if (value <= hi) values.push_back(value);
  }
  return values;
}

bool ControlChart_SamplesUsable(int32_t firstSample, int32_t lastSample) {
  return int64_t{lastSample} - firstSample + 2 != 0;
}

int32_t ControlChart_SampleX(const PlotBox& box, int32_t i, int32_t firstSample, int32_t lastSample) {
  double span = double(box.right) - box.left;
  double positions = double(lastSample) - firstSample + 2;
  return Clamp(int64_t{box.left} + Px_Round(span * i / positions));
}

bool ControlChart_GridX(const PlotBox& box, double z, int32_t firstSample, int32_t lastSample, int32_t* x) {
  int64_t samples = int64_t{lastSample} - firstSample + 1;
  int64_t intervals = int64_t{lastSample} - firstSample;
  if (samples == 0 || intervals == 0) return false;
  int64_t span = int64_t{box.right} - box.left;
  int64_t g = span / samples;  // a margin of one sample's width at each end
  *x = Clamp(box.left + g + Px_Round(double(span - 2 * g) * (z - firstSample) / double(intervals)));
  return true;
}

bool ControlChart_JoinSegment(const PlotBox& box, double yMin, double yMax, int32_t xPrev, double prev, int32_t xCur,
                              double cur, Segment* segment) {
  if (std::isnan(prev) || std::isnan(cur)) return false;
  int32_t middle = static_cast<int32_t>((int64_t{xPrev} + xCur) / 2);
  if (prev < yMin)
    segment->x0 = middle, segment->y0 = box.bottom;
  else if (prev > yMax)
    segment->x0 = middle, segment->y0 = box.top - 1;
  else
    segment->x0 = xPrev, segment->y0 = Plot_ValueY(box, prev, yMin, yMax);
  if (cur < yMin)
    segment->x1 = middle, segment->y1 = box.bottom;
  else if (cur > yMax)
    segment->x1 = middle, segment->y1 = box.top;
  else
    segment->x1 = xCur, segment->y1 = Plot_ValueY(box, cur, yMin, yMax);
  return true;
}

int ControlChart_Zone(double value, const double upper[3], const double lower[3], int16_t lineMask) {
  for (int pair = 0; pair < 3; ++pair)
    if ((lineMask & (1 << pair)) && (value > upper[pair] || value < lower[pair])) return pair + 1;
  return 0;
}

int ControlChart_PenWidth(double scale) { return scale > 1.5 ? 2 : 1; }

MarkerReach ControlChart_MarkerReach(double scale) {
  double s = scale / 1.5;
  if (!(s >= 1)) s = 1;  // also for a scale that is not a number
  return {Px_Trunc(3 * s), Px_Trunc(4 * s), Px_Trunc(2 * s)};
}

double Normal_Density(double x, double mean, double sigma) {
  double exponent = -((x - mean) * (x - mean)) / (2 * sigma * sigma);
  return Math_PowF(2.7182817f, exponent) / (sigma * 2.5066283f);
}

void Histogram_Plan(const HistogramInput& in, HistogramPlan* plan) {
  *plan = HistogramPlan{};
  const PlotBox box = Plot_InnerBox(in.left, in.top, in.width, in.height);
  const bool lying = in.lying == 1;
  const bool valueUsable = Plot_RangeUsable(in.valueMin, in.valueMax);
  const bool freqUsable = in.freqMax != in.freqMin;
  const double valueExtent = lying ? double(box.bottom) - box.top : double(box.right) - box.left;
  const double freqExtent = lying ? double(box.right) - box.left : double(box.bottom) - box.top;
  auto valuePixel = [&](double v) {
    return lying ? Plot_ValueY(box, v, in.valueMin, in.valueMax) : Plot_ValueX(box, v, in.valueMin, in.valueMax);
  };
  auto freqLength = [&](double f) { return Px_Round(freqExtent * (f - in.freqMin) / (double(in.freqMax) - in.freqMin)); };
  auto freqPixel = [&](double f) {
    return lying ? Clamp(int64_t{box.left} + freqLength(f)) : Clamp(int64_t{box.bottom} - freqLength(f));
  };

  if (in.gridOn == 1) {
    // Horizontal lines belong to the vertical axis, vertical lines to the horizontal one.
    std::vector<double> valueGrid = Plot_GridValues(in.valueMin, in.valueMax, in.valueGridStep, in.valueGridCount);
    std::vector<double> freqGrid = Plot_GridValues(in.freqMin, in.freqMax, in.freqGridStep, in.freqGridCount);
    const std::vector<double>& horizontal = lying ? valueGrid : freqGrid;
    const std::vector<double>& vertical = lying ? freqGrid : valueGrid;
    bool horizontalUsable = lying ? valueUsable : freqUsable;
    bool verticalUsable = lying ? freqUsable : valueUsable;
    if (horizontalUsable)
      for (double v : horizontal) plan->grid.push_back(Horizontal(box, lying ? valuePixel(v) : freqPixel(v)));
    if (verticalUsable)
      for (double v : vertical) plan->grid.push_back(Vertical(box, lying ? freqPixel(v) : valuePixel(v)));
  }

  const bool sigmaUsable = std::isfinite(in.sigma) && in.sigma > 0 && std::isfinite(in.mean);
  const int32_t barCount = in.openEnds == 1 ? in.classes + 2 : in.classes;
  double fitSum = 0;
  int32_t fitted = 0;
  int32_t longest = 0;
  if (barCount > 0 && in.counts && valueUsable && freqUsable) {
    double classWidth = (in.classesHigh - in.classesLow) / barCount;
    for (int32_t k = 1; k <= barCount; ++k) {
      double lower = in.classesLow + (k - 1) * classWidth;
      int32_t count = in.openEnds == 1 ? in.counts[k - 1] : in.counts[k];
      int32_t length = freqLength(count);
      bool endBar = in.openEnds == 1 && (k == 1 || k == barCount);
      HistogramBar bar;
      if (lying)
        bar = {box.left, valuePixel(lower), Clamp(int64_t{box.left} + length), valuePixel(lower + classWidth), endBar};
      else
        bar = {valuePixel(lower), box.bottom, valuePixel(lower + classWidth), Clamp(int64_t{box.bottom} - length),
               endBar};
      plan->bars.push_back(bar);
      if (length > longest) longest = length;
      if (endBar || !sigmaUsable) continue;
      double density = Normal_Density(lower + classWidth / 2, in.mean, in.sigma);
      if (density > 0)
        fitSum += length / density;
      else if (length > 0)
        fitSum = INFINITY;  // a bar far out in the tail: the fit gives up and the curve takes 95 %
      if (length > 0) ++fitted;
    }
  }

  if (in.curveMode > 0 && valueExtent > 0 && valueUsable && sigmaUsable) {
    double peakDensity = Normal_Density(in.mean, in.mean, in.sigma);
    double scale = fitted > 0 ? fitSum / fitted : 0;
    double peak = std::floor(peakDensity * scale + 0.5);
    bool leaves = lying ? box.left + peak > box.right : box.bottom - peak < box.top;
    if (fitted == 0 || !(peak >= 1) || leaves) scale = freqExtent / peakDensity * 0.95f;
    if (in.curveMode == 2) scale = longest / peakDensity;
    double perPixel = (in.valueMax - in.valueMin) / valueExtent;
    int32_t previousX = 0, previousY = 0;
    for (int32_t p = 0; p <= valueExtent + 2; ++p) {
      double v = in.valueMin + (p - 1) * perPixel;
      if (!(v <= in.valueMax)) break;
      int32_t height = Px_Round(Normal_Density(v, in.mean, in.sigma) * scale);
      int32_t x = lying ? Clamp(int64_t{box.left} + height) : Clamp(int64_t{box.left} + p);
      int32_t y = lying ? Clamp(int64_t{box.bottom} - p) : Clamp(int64_t{box.bottom} - height);
      if (p > 0) plan->curve.push_back({previousX, previousY, x, y});
      previousX = x;
      previousY = y;
    }
  }

  if (valueUsable) {
    auto across = [&](double v, int32_t shift) {
      int32_t at = valuePixel(v) - shift;
      return lying ? Horizontal(box, at) : Vertical(box, at);
    };
    for (double line : {in.line1, in.line2})
      if (Inside(line, in.valueMin, in.valueMax)) plan->limitLines.push_back(across(line, 0));
    if (Inside(in.mean, in.valueMin, in.valueMax)) {
      plan->meanLines.push_back(across(in.mean, 0));
      plan->meanLines.push_back(across(in.mean, 1));  // one pixel higher (lying) or to the left (standing)
    }
  }
}
