#include "spc/core/capability_page_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/distributions.h"
#include "core/num_format.h"
#include "spc/core/axis_scale.h"
#include "spc/core/panel_grid.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kLabelSpacing = 1.25;
constexpr int16_t kValueDecimals = 3;      // the value axes' finest step 0.0001, as on the SPC page
constexpr int16_t kCountDecimals = 7;      // counts: whole steps
constexpr double kCapabilityPanelShare = 0.40;     // of the content's width
constexpr double kHistogramShare = 0.56;   // of the plots' height
constexpr int32_t kFewestClasses = 5, kMostClasses = 30;
constexpr double kCapableIndex = 1.33;
// Percentages labelled on the probability axis where they fall inside it.
constexpr double kProbabilityPercents[] = {0.1, 1, 5, 10, 25, 50, 75, 90, 95, 99, 99.9};

// A figure as the panel shows it: rounded to `decimals` (0 .. 6), "---" where it does not exist.
std::string Text(double value, int decimals) {
  if (!std::isfinite(value)) return "---";
  constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
  const double power = kPowers[std::clamp(decimals, 0, 6)];
  const double rounded = std::round(value * power) / power;
  if (std::isfinite(rounded)) value = rounded;
  char buffer[kFixedTextSize];
  size_t length = Fmt_Fixed6(value, buffer, sizeof buffer);
  Num_CutDecimals(buffer, length, decimals);
  return buffer;
}

// Decimals that show a measured value to about a thousandth of the spread.
int ValueDecimals(double spread) {
  if (!(spread > 0) || !std::isfinite(spread)) return 4;
  return std::clamp(3 - static_cast<int>(std::floor(std::log10(spread))), 0, 6);
}

std::string Ppm(double value) { return Text(value, std::fabs(value) < 1000 ? 1 : 0); }

const char* DistributionName(int status) {
  switch (status) {
    case kFitLognormal: return "Lognormal";
    case kFitWeibull: return "Weibull";
    case kFitBoxCox: return "Box-Cox";
    default: return "Normal";
  }
}

const char* FitFailure(int status) {
  switch (status) {
    case kFitNotPositive: return "value<=0";
    case kFitNotConverged: return "no conv.";
    default: return "too few";
  }
}

AxisScale Scale(int16_t side, int32_t length, double max, double min, int16_t decimals) {
  AxisScale scale;
  scale.max = max;
  scale.min = min;
  const int16_t n = Px_Narrow16(length);
  Axis_CalcScale(side, side == 3 ? 0 : n, side == 3 ? n : 0, kLabelSpacing, &scale.max, &scale.min, &scale.step,
                 decimals, &scale.steps);
  return scale;
}

TickStrip Strip(int32_t left, int32_t top, int32_t width, int32_t height, int16_t side, const AxisScale& scale) {
  TickStrip strip;
  strip.drawn = scale.steps > 1;
  strip.left = left, strip.top = top, strip.width = width, strip.height = height;
  strip.side = side;
  strip.scale = scale;
  return strip;
}

// A plot in `area`: its caption line at the top, the label strip of its
// vertical axis (`labelChars` wide) at the left and that of its value axis at the foot.
CapabilityPlot PlotIn(const PageRect& area, int32_t labelChars, const PageLayout& page) {
  const int32_t LH = page.lineHeight, CW = page.charWidth;
  CapabilityPlot plot;
  plot.caption = {area.left, area.top, area.right, area.top + Px_Trunc(1.25 * LH)};
  plot.left = area.left + CW * labelChars + page.majorTick;
  plot.top = plot.caption.bottom + LH / 2;
  plot.width = area.right - plot.left - CW;
  plot.height = area.bottom - Px_Trunc(1.25 * LH) - page.majorTick - plot.top;
  return plot;
}

PlotBox BoxOf(const CapabilityPlot& plot) { return Plot_InnerBox(plot.left, plot.top, plot.width, plot.height); }

// A value as a pixel across the plot. A value beyond the value axis is drawn
// at the axis's value; over an axis whose span is near the largest double the
// share of the span is taken first, as its product with the plot's width
// would not be a finite double.
int32_t ValueX(const PlotBox& box, double value, double xMin, double xMax) {
  if (!(xMin < xMax)) return Plot_ValueX(box, value, xMin, xMax);
  value = std::clamp(value, xMin, xMax);
  const double width = double(box.right) - box.left;
  if (std::isfinite(width * (value - xMin))) return Plot_ValueX(box, value, xMin, xMax);
  return box.left + Px_Round(width * ((value / 2 - xMin / 2) / (xMax / 2 - xMin / 2)));
}

// The curve x -> y(x) across the box, in steps of about two pixels; pieces
// where y is not a number or leaves [yMin, yMax] are left out.
template <typename Y>
std::vector<Segment> CurveAcross(const PlotBox& box, double xMin, double xMax, double yMin, double yMax, Y y) {
  std::vector<Segment> segments;
  const int32_t steps = std::max(2, (box.right - box.left) / 2);
  bool havePrevious = false;
  int32_t px = 0, py = 0;
  for (int32_t i = 0; i <= steps; ++i) {
    const double x = xMin + (xMax - xMin) * i / steps;
    const double v = y(x);
    if (!(v >= yMin && v <= yMax)) {
      havePrevious = false;
      continue;
    }
    const int32_t cx = ValueX(box, x, xMin, xMax), cy = Plot_ValueY(box, v, yMin, yMax);
    if (havePrevious) segments.push_back({px, py, cx, cy});
    px = cx, py = cy, havePrevious = true;
  }
  return segments;
}

Segment VerticalAt(const PlotBox& box, double x, double xMin, double xMax) {
  const int32_t px = ValueX(box, x, xMin, xMax);
  return {px, box.top, px, box.bottom};
}

// The distribution the probability plot is drawn against: the fit when one was made, else the normal of x̄ and s.
DistributionFit DistributionInUse(const CapabilityFigures& figures) {
  return figures.fit.status > kFitNormal ? figures.fit : Fit_Normal(figures.mean, figures.stdDev);
}

bool Usable(const DistributionFit& fit) {
  return Fit_IsMade(fit) && (fit.status != kFitNormal || (fit.sigma > 0 && std::isfinite(fit.sigma)));
}

// The end of class c (0 .. classes) from the first value and the width, in
// halves: exact where the sum is finite, the largest double where it is not.
double ClassEnd(double front, double width, int32_t c) {
  constexpr double kLargest = std::numeric_limits<double>::max();
  return std::clamp(2 * (front / 2 + width / 2 * c), -kLargest, kLargest);
}


struct ValueRange {
  double lo, hi;
};

// The values' range widened to the limits in force and the target, and by a twentieth on each side.
ValueRange ShownRange(const CapabilityRequest& request, const std::vector<double>& sorted) {
  double lo = sorted.front(), hi = sorted.back();
  if (request.lowerInForce) lo = std::min(lo, request.LSL), hi = std::max(hi, request.LSL);
  if (request.upperInForce) lo = std::min(lo, request.USL), hi = std::max(hi, request.USL);
  if (std::isfinite(request.target) && request.target >= lo - (hi - lo) && request.target <= hi + (hi - lo))
    lo = std::min(lo, request.target), hi = std::max(hi, request.target);
  // Halves and parts of the ends, never their difference: values near the largest double have no finite span.
  double margin = hi / 20 - lo / 20;
  if (!(margin > 0)) margin = std::max(std::fabs(lo) / 100, 1e-3);
  constexpr double kLargest = std::numeric_limits<double>::max();
  return {std::max(lo - margin, -kLargest), std::min(hi + margin, kLargest)};
}

void LayOutHistogram(const CapabilityRequest& request, const CapabilityFigures& figures,
                     const std::vector<double>& sorted, const ValueRange& range, const PageRect& area,
                     CapabilityPageLayout& out) {
  const PageLayout& page = out.page;
  const int32_t n = static_cast<int32_t>(sorted.size());
  // Classes of equal width over the values' range, about √n of them.
  const int32_t classes =
      sorted.back() > sorted.front()
          ? std::clamp(static_cast<int32_t>(std::ceil(std::sqrt(double(n)))), kFewestClasses, kMostClasses)
          : 1;
  // The width and the classes' ends from the values' ends in parts, so that
  // no difference of two values (which may overflow) is ever formed.
  const double front = sorted.front(), back = sorted.back();
  double width = back / classes - front / classes;
  if (!(width > 0)) width = range.hi / 50 - range.lo / 50;
  std::vector<int32_t> counts(classes, 0);
  for (double v : sorted) {
    const double at = (v / 2 - front / 2) / (width / 2);
    ++counts[std::clamp(static_cast<int32_t>(std::isfinite(at) ? std::min(at, 1e9) : 0.0), 0, classes - 1)];
  }

  struct Kind {
    DistributionFit fit;
    Colour colour;
    std::string label;
  };
  std::vector<Kind> kinds = {
      {Fit_Normal(figures.mean, figures.stdDev), kOverallCurveColour, "normal, overall s"},
      {Fit_Normal(figures.mean, figures.sigmaWithin), kWithinCurveColour, "normal, within sigma"}};
  if (figures.fit.status > kFitNormal)
    kinds.push_back({figures.fit, kFittedCurveColour, std::string(DistributionName(figures.fit.status)) + " fit"});
  // Expected count of a class of the bars' width centred at x.
  auto expected = [&](const DistributionFit& fit, double x) {
    return n * (Fit_Cdf(fit, x + width / 2) - Fit_Cdf(fit, x - width / 2));
  };

  // The tallest of bars and curves sets the count axis.
  double tallest = *std::max_element(counts.begin(), counts.end());
  const int32_t probes = 400;
  for (const Kind& kind : kinds) {
    if (!Usable(kind.fit)) continue;
    for (int32_t i = 0; i <= probes; ++i) {
      double e = expected(kind.fit, range.lo + (range.hi - range.lo) * i / probes);
      if (std::isfinite(e)) tallest = std::max(tallest, e);
    }
  }
  const int32_t plotLength = area.bottom - area.top - 3 * page.lineHeight;
  AxisScale countAxis = Scale(3, plotLength, std::ceil(tallest * 1.08), 0, kCountDecimals);
  const int32_t countChars = std::max<int32_t>(2, SPC_ValueLabelChars(countAxis));
  CapabilityPlot& plot = out.histogram;
  plot = PlotIn(area, countChars, page);
  countAxis = Scale(3, plot.height, std::ceil(tallest * 1.08), 0, kCountDecimals);
  AxisScale valueAxis = Scale(2, plot.width, range.hi, range.lo, kValueDecimals);
  if (!(valueAxis.steps > 1)) valueAxis.min = range.lo, valueAxis.max = range.hi;
  if (!(countAxis.steps > 1)) countAxis.min = 0, countAxis.max = std::ceil(tallest * 1.08);
  const int32_t stripLeft = area.left;
  out.frequencyAxis = Strip(stripLeft, plot.top, plot.left - stripLeft, plot.height, 3, countAxis);
  out.histogramValueAxis =
      Strip(plot.left, plot.top + plot.height, plot.width, Px_Trunc(1.25 * page.lineHeight) + page.majorTick, 2,
            valueAxis);

  const PlotBox box = BoxOf(plot);
  const double xMin = valueAxis.min, xMax = valueAxis.max, yMax = countAxis.max;
  for (int32_t c = 0; c < classes; ++c) {
    if (counts[c] == 0) continue;
    out.bars.push_back({ValueX(box, ClassEnd(front, width, c), xMin, xMax), Plot_ValueY(box, counts[c], 0, yMax),
                        std::min(ValueX(box, ClassEnd(front, width, c + 1), xMin, xMax) + 1, kPixelLimit),
                        box.bottom + 1, false});
  }
  for (const Kind& kind : kinds) {
    CapabilityCurve curve;
    curve.colour = kind.colour;
    curve.label = kind.label;
    if (Usable(kind.fit))
      curve.segments =
          CurveAcross(box, xMin, xMax, 0, yMax, [&](double x) { return expected(kind.fit, x); });
    out.curves.push_back(curve);
  }
  if (request.lowerInForce) out.limitLines.push_back(VerticalAt(box, request.LSL, xMin, xMax));
  if (request.upperInForce) out.limitLines.push_back(VerticalAt(box, request.USL, xMin, xMax));
  if (std::isfinite(figures.target) && figures.target >= xMin && figures.target <= xMax)
    out.targetLine.push_back(VerticalAt(box, figures.target, xMin, xMax));
}

void LayOutProbabilityPlot(const CapabilityFigures& figures, const std::vector<double>& sorted,
                           const ValueRange& range, const PageRect& area, CapabilityPageLayout& out) {
  using namespace meridan::dist;
  const PageLayout& page = out.page;
  const int32_t n = static_cast<int32_t>(sorted.size());
  // Benard's median ranks (i - 0.3) / (n + 0.4) on the normal quantile scale.
  auto z = [](double p) { return quantile(Normal(), p); };
  const double zFirst = z((1 - 0.3) / (n + 0.4)), zLast = z((n - 0.3) / (n + 0.4));
  const double zLo = std::min(zFirst, z(0.01)) - 0.25, zHi = std::max(zLast, z(0.99)) + 0.25;
  CapabilityPlot& plot = out.probability;
  plot = PlotIn(area, 4, page);
  AxisScale valueAxis = Scale(2, plot.width, range.hi, range.lo, kValueDecimals);
  if (!(valueAxis.steps > 1)) valueAxis.min = range.lo, valueAxis.max = range.hi;
  out.probabilityValueAxis =
      Strip(plot.left, plot.top + plot.height, plot.width, Px_Trunc(1.25 * page.lineHeight) + page.majorTick, 2,
            valueAxis);
  const PlotBox box = BoxOf(plot);
  const double xMin = valueAxis.min, xMax = valueAxis.max;
  for (double percent : kProbabilityPercents) {
    const double zp = z(percent / 100);
    if (zp < zLo || zp > zHi) continue;
    const int32_t y = Plot_ValueY(box, zp, zLo, zHi);
    ProbabilityLabel label;
    label.tick = {plot.left - page.majorTick, y, plot.left, y};
    label.grid = {box.left, y, box.right, y};
    label.box = {area.left, y - page.lineHeight / 2, plot.left - page.majorTick - 1, y + page.lineHeight / 2};
    label.text = Text(percent, percent < 1 ? 1 : 0);
    out.probabilityLabels.push_back(label);
  }
  for (int32_t i = 1; i <= n; ++i) {
    const double x = sorted[i - 1];
    if (x < xMin || x > xMax) continue;
    out.points.push_back({ValueX(box, x, xMin, xMax), Plot_ValueY(box, z((i - 0.3) / (n + 0.4)), zLo, zHi)});
  }
  const DistributionFit fit = DistributionInUse(figures);
  if (Usable(fit))
    out.referenceLine = CurveAcross(box, xMin, xMax, zLo, zHi, [&](double x) {
      double p = Fit_Cdf(fit, x);
      return p > 0 && p < 1 ? z(p) : kNaN;
    });
  std::string caption;
  if (figures.fit.status > kFitNormal)
    caption = "Probability plot (%), " + std::string(DistributionName(figures.fit.status)) + " fit: A\xB2 " +
              Text(figures.fitAndersonDarling, 3) + "; normal A\xB2 " + Text(figures.andersonDarling, 3) + ", p " +
              Text(figures.andersonDarlingP, 4);
  else
    caption = "Normal probability plot (%): A\xB2 " + Text(figures.andersonDarling, 3) + ", A*\xB2 " +
              Text(figures.andersonDarlingAdjusted, 3) + ", p " + Text(figures.andersonDarlingP, 4);
  out.probabilityCaption = caption;
}

}  // namespace

std::vector<CapabilityPanelRow> CapabilityPage_PanelRows(const CapabilityRequest& request,
                                                         const CapabilityFigures& f) {
  const int d = ValueDecimals(f.stdDev);
  const std::string level = Text(100 * f.level, 0) + "%";
  std::vector<CapabilityPanelRow> rows = {
      {"n (left out)", {Text(f.nUsed, 0), Text(f.leftOut, 0), ""}},
      {"k x m", {Text(f.k, 0), Text(f.m, 0), ""}},
      {"mean", {Text(f.mean, d - 1), "", ""}},
      {"s overall", {Text(f.stdDev, d), "", ""}},
      {"s within", {Text(f.sigmaWithin, d), "", ""}},
      {"LSL, USL", {request.lowerInForce ? Text(request.LSL, d - 1) : "---",
                    request.upperInForce ? Text(request.USL, d - 1) : "---", ""}},
      {"target", {Text(f.target, d - 1), "", ""}},
      {"", {"", "", ""}},
      {"index", {"value", level + " low", "high"}, true},
      {"Pp", {Text(f.Pp, 3), Text(f.PpInterval.lower, 3), Text(f.PpInterval.upper, 3)}},
      {"Ppk", {Text(f.Ppk, 3), Text(f.PpkInterval.lower, 3), Text(f.PpkInterval.upper, 3)}},
      {"Cp", {Text(f.Cp, 3), Text(f.CpInterval.lower, 3), Text(f.CpInterval.upper, 3)}},
      {"Cpk", {Text(f.Cpk, 3), Text(f.CpkInterval.lower, 3), Text(f.CpkInterval.upper, 3)}},
      {"Cpm", {Text(f.Cpm, 3), Text(f.CpmInterval.lower, 3), Text(f.CpmInterval.upper, 3)}},
      {"", {"", "", ""}},
      {"ppm", {"observed", "overall", "within"}, true},
      {"below LSL", {Ppm(f.observed.below), Ppm(f.expectedOverall.below), Ppm(f.expectedWithin.below)}},
      {"above USL", {Ppm(f.observed.above), Ppm(f.expectedOverall.above), Ppm(f.expectedWithin.above)}},
      {"total", {Ppm(f.observed.total), Ppm(f.expectedOverall.total), Ppm(f.expectedWithin.total)}},
      {"Z bench", {"", Text(f.zBenchOverall, 2), Text(f.zBenchWithin, 2)}},
  };
  if (request.distribution != CapabilityDistribution::NormalOnly) {
    rows.push_back({"", {"", "", ""}});
    const int status = f.fit.status;
    if (status <= kFitNormal) {
      rows.push_back({"fit", {"none", FitFailure(status), ""}});
    } else {
      const char* names[][2] = {{"", ""}, {"mu log", "s log"}, {"shape", "scale"}, {"lambda", ""}};
      rows.push_back(
          {std::string(DistributionName(status)) + " fit", {names[status][0], names[status][1], "A\xB2"}, true});
      rows.push_back({"parameters", {Text(f.fit.first, 4), status == kFitBoxCox ? "" : Text(f.fit.second, 4),
                                     Text(f.fitAndersonDarling, 3)}});
      rows.push_back({"Pp Ppk fit", {Text(f.percentilePp, 3), Text(f.percentilePpk, 3), ""}});
      rows.push_back({"PPL PPU fit", {Text(f.percentilePPL, 3), Text(f.percentilePPU, 3), ""}});
      rows.push_back({"fitted ppm", {Ppm(f.expectedFitted.below), Ppm(f.expectedFitted.above),
                                     Ppm(f.expectedFitted.total)}});
    }
  }
  return rows;
}

bool CapabilityPage_Layout(const CapabilityRequest& request, const CapabilityFigures& figures, int32_t width,
                           int32_t height, double factor, CapabilityPageLayout* layout) {
  CapabilityPageLayout out;
  int32_t pageWidth = 0, pageHeight = 0;
  if (!SPC_PageSize(width, height, factor, &pageWidth, &pageHeight)) return false;
  if (pageWidth < kCapabilityPageMinWidth || pageHeight < kCapabilityPageMinHeight) return false;
  if (figures.nUsed < 2) return false;
  std::vector<double> sorted;
  for (int32_t i = 1; i <= request.count; ++i)
    if (std::isfinite(request.values[i])) sorted.push_back(request.values[i]);
  std::sort(sorted.begin(), sorted.end());

  PageLayout& page = out.page;
  const PageRect rest = SPC_LayoutFrame(width, height, factor, &page);
  page.content = true;
  const int32_t LH = page.lineHeight, gap = page.charWidth;
  const int32_t panelWidth = Px_Trunc(kCapabilityPanelShare * (rest.right - rest.left));
  const int32_t verdictHeight = Px_Trunc(2.6 * LH);
  out.panel = {rest.right - panelWidth, rest.top, rest.right, rest.bottom - verdictHeight - gap / 2};
  out.verdict = {out.panel.left, out.panel.bottom + gap / 2, rest.right, rest.bottom};
  const int32_t plotsRight = out.panel.left - gap;
  const int32_t split = rest.top + Px_Trunc(kHistogramShare * (rest.bottom - rest.top));
  const ValueRange range = ShownRange(request, sorted);
  LayOutHistogram(request, figures, sorted, range, {rest.left, rest.top, plotsRight, split}, out);
  LayOutProbabilityPlot(figures, sorted, range, {rest.left, split, plotsRight, rest.bottom}, out);

  out.rows = CapabilityPage_PanelRows(request, figures);
  // A small page keeps the first rows (the study and its indices) rather than the text panel's last ones.
  const int32_t rowsFit = std::max(0, (out.panel.bottom - out.panel.top - 2 * kPanelInset) / SPC_RowHeight());
  if (static_cast<int32_t>(out.rows.size()) > rowsFit) out.rows.resize(rowsFit);
  // With a fitted distribution its percentile Ppk decides: the normal one
  // misjudges a skewed characteristic's tail (figure 52 stays the normal verdict).
  const std::string lowerLimit = "lower " + Text(100 * figures.level, 0) + "% limit of Ppk " +
                                 Text(figures.PpkInterval.lower, 2) +
                                 (figures.capableAtLowerLimit ? " >= 1.33" : " < 1.33");
  if (figures.fit.status > kFitNormal) {
    out.capable = figures.percentilePpk >= kCapableIndex;
    out.verdictText = std::string(out.capable ? "CAPABLE" : "NOT CAPABLE") + ": Ppk (" +
                      DistributionName(figures.fit.status) + ") " + Text(figures.percentilePpk, 2) +
                      (out.capable ? " >= 1.33" : " < 1.33");
    out.verdictDetail = "normal Ppk " + Text(figures.Ppk, 2) + ", " + lowerLimit;
  } else {
    out.capable = figures.capable;
    out.verdictText = std::string(out.capable ? "CAPABLE" : "NOT CAPABLE") + ": Ppk " + Text(figures.Ppk, 2) +
                      (out.capable ? " >= 1.33" : " < 1.33");
    out.verdictDetail = lowerLimit;
  }
  *layout = out;
  return true;
}
