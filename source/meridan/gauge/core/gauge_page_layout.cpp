// The gauge page's geometry: the SPC page's frame and title band, then the
// charts' cells, the text panels, the verdict band and the appraisers' legend.
#include "gauge/core/gauge_page_layout.h"

#include <algorithm>
#include <cmath>

#include "gauge/core/gauge_page_parts.h"
#include "spc/core/axis_scale.h"
#include "spc/core/run_test_marks.h"

namespace {

constexpr double kLabelSpacing = 1.25;  // as the SPC page's axes
constexpr int16_t kValueDecimals = 3;   // finest step 0.0001
constexpr double kStudyChartsShare = 0.6;   // of the content's height, types 2 and 3
constexpr double kType1PanelShare = 0.23;   // of the content's width
constexpr double kRunChartShare = 0.7;      // of the type 1 charts' width
constexpr double kAnovaPanelShare = 0.5;    // of the panels' width, types 2 and 3

// The content's rectangle: inside the plot region, under the title band (as the SPC page's).
PageRect Content(const PageLayout& page, double f) {
  const int32_t i4 = Px_Trunc(4 * f), i3 = Px_Trunc(3 * f), i2 = Px_Trunc(2 * f);
  return {page.plotRegion.left + i4, page.titleBand.bottom + i2, page.plotRegion.right - i4,
          page.plotRegion.bottom - i3};
}

// The appraisers' names with a swatch of their colour, right-aligned in the
// title band, as many as fit in its right half ("..." after the last that fits).
void Legend(int32_t appraisers, GaugePageLayout* layout) {
  PageLayout& page = layout->page;
  const int32_t CW = page.charWidth, LH = page.lineHeight;
  const int32_t swatch = std::max(2, Px_Trunc(0.6 * LH));
  const int32_t top = (page.titleText.top + page.titleText.bottom - swatch) / 2;
  auto itemWidth = [&](int32_t a) {
    return swatch + CW / 2 + CW * static_cast<int32_t>(Gauge_AppraiserName(a).size()) + CW;
  };
  const int32_t room = (page.titleText.right - page.titleText.left) / 2;
  int32_t shown = 0, width = CW * 3;  // room for "..."
  while (shown < appraisers && width + itemWidth(shown + 1) <= room) width += itemWidth(++shown);
  if (shown == appraisers) width -= CW * 3;
  int32_t x = page.titleText.right - width;
  if (shown < 1) return;
  page.titleText.right = x - CW;  // the title ends before the legend
  for (int32_t a = 1; a <= shown; ++a) {
    layout->legendSwatches.push_back({x, top, x + swatch, top + swatch, Gauge_AppraiserColour(a)});
    const int32_t textLeft = x + swatch + CW / 2, textRight = x + itemWidth(a);
    layout->legend.push_back({Gauge_AppraiserName(a), {textLeft, page.titleText.top, textRight, page.titleText.bottom},
                              kBlackColour, kGaugeTextLeft});
    x = textRight;
  }
  if (shown < appraisers)
    layout->legend.push_back(
        {"...", {x, page.titleText.top, x + 3 * CW, page.titleText.bottom}, kBlackColour, kGaugeTextLeft});
}

GaugePanel Panel(int32_t left, int32_t top, int32_t right, int32_t bottom, std::vector<GaugePanelRow> rows) {
  GaugePanel panel;
  panel.box = {left, top, std::max(left, right), std::max(top, bottom)};
  panel.rows = std::move(rows);
  return panel;
}

}  // namespace

int32_t Gauge_CategoryX(const PlotBox& box, double i, int32_t count) {
  return Px_Round(box.left + (i - 0.5) * (double(box.right) - box.left) / count);
}

void Gauge_CategoryLabel(GaugeChartFrame* frame, const std::string& text, double i, int32_t count,
                         const PageLayout& page) {
  const int32_t x = Gauge_CategoryX(frame->box, i, count);
  const int32_t half = std::max<int32_t>(page.charWidth * static_cast<int32_t>(text.size()),
                                         (frame->box.right - frame->box.left) / std::max(count, 1)) / 2 + 1;
  const GaugeChart& chart = frame->chart;
  const int32_t top = chart.top + chart.height + Px_Trunc(page.majorTick * 0.5);
  frame->chart.labels.push_back(
      {text, {x - half, top, x + half, top + Px_Trunc(1.25 * page.lineHeight)}, kBlackColour, kGaugeTextCentre});
}

GaugeChartFrame Gauge_PlaceChart(const GaugeCell& cell, const std::string& caption, double low, double high,
                                 const PageLayout& page) {
  GaugeChartFrame frame{};
  const double f = SPC_GetScale();
  const int32_t LH = page.lineHeight, CW = page.charWidth;
  const int32_t plotTop = cell.top + LH;
  const int32_t plotBottom = cell.bottom - Px_Trunc(1.25 * LH + page.majorTick);
  const int32_t height = plotBottom - plotTop;

  if (!std::isfinite(low) || !std::isfinite(high) || !std::isfinite(high - low)) low = 0, high = 1;
  if (high <= low) {
    const double pad = high != 0 ? std::fabs(high) * 0.05 : 1.0;
    low -= pad, high += pad;
  }
  const double margin = 0.05 * (high - low);
  AxisScale scale;
  scale.max = std::isfinite(high + margin) ? high + margin : high;
  scale.min = std::isfinite(low - margin) ? low - margin : low;
  if (height > 4 && scale.max - scale.min < kWidestScaledRange)
    Axis_CalcScale(3, 0, Px_Narrow16(height - 4), kLabelSpacing, &scale.max, &scale.min, &scale.step,
                   kValueDecimals, &scale.steps);
  const int32_t lab = SPC_ValueLabelChars(scale);
  const int32_t stripWidth = Px_Trunc(CW * lab + 7 * f);
  const int32_t plotLeft = cell.left + stripWidth, plotRight = cell.right - CW;

  GaugeChart& chart = frame.chart;
  chart.left = plotLeft;
  chart.top = plotTop;
  chart.width = std::max(0, plotRight - plotLeft);
  chart.height = std::max(0, height);
  if (chart.width < 8 || chart.height < 8) chart.width = chart.height = 0;  // no room for a plot: left out
  if (scale.steps > 1 && chart.height > 0) {
    chart.valueAxis.drawn = true;
    chart.valueAxis.left = cell.left;
    chart.valueAxis.top = plotTop + 2;
    chart.valueAxis.width = stripWidth;
    chart.valueAxis.height = height - 4;
    chart.valueAxis.side = 3;
    chart.valueAxis.scale = scale;
  }
  chart.labels.push_back({caption, {plotLeft, cell.top, std::max(plotLeft, plotRight), plotTop}, kBlackColour,
                          kGaugeTextLeft});
  frame.box = Plot_InnerBox(chart.left, chart.top, chart.width, chart.height);
  frame.yMin = scale.min;
  frame.yMax = scale.max;
  return frame;
}

void Gauge_LayoutPage(const GaugeRequest& request, const GaugeResult& result, int32_t width, int32_t height,
                      double factor, GaugePageLayout* layout) {
  *layout = GaugePageLayout{};
  const SpcRequest noRequest{};
  const SpcResult noValues{};  // no values: the SPC page's frame, title band and fonts only
  SPC_LayoutPage(noRequest, noValues, width, height, factor, &layout->page);
  const PageLayout& page = layout->page;
  const double f = factor;
  const int32_t LH = page.lineHeight, gap = Px_Trunc(4 * f);
  layout->markerHalf = std::max(1, Px_Trunc(1.5 * f));
  layout->ringRadius = RunTest_RingRadius(f);
  layout->ringPenWidth = RunTest_RingPenWidth(f);
  layout->verdict = Gauge_Verdict(result);
  layout->verdictText = Gauge_VerdictText(result);

  const PageRect content = Content(page, f);
  const int32_t verdictHeight = Px_Trunc(1.6 * LH);
  layout->verdictBand = {content.left, content.bottom - verdictHeight, content.right, content.bottom};
  const int32_t aboveVerdict = layout->verdictBand.top - gap;
  const int32_t contentWidth = content.right - content.left;

  if (result.kind == kGaugeType1) {
    const int32_t panelLeft = content.right - Px_Trunc(kType1PanelShare * contentWidth);
    layout->panels.push_back(Panel(panelLeft, content.top, content.right, aboveVerdict, Gauge_Type1PanelRows(result)));
    const int32_t chartsRight = panelLeft - gap;
    const int32_t runRight = content.left + Px_Trunc(kRunChartShare * (chartsRight - content.left));
    Gauge_Type1Charts(request, result, {content.left, content.top, runRight, aboveVerdict},
                      {runRight, content.top, chartsRight, aboveVerdict}, layout);
  } else {
    Legend(result.appraisers, layout);
    const int32_t chartsBottom = content.top + Px_Trunc(kStudyChartsShare * (content.bottom - content.top));
    const int32_t rowHeight = (chartsBottom - content.top) / 2;
    GaugeCell cells[6];
    for (int i = 0; i < 6; ++i) {
      const int32_t column = i % 3, row = i / 3;
      cells[i] = {content.left + column * contentWidth / 3, content.top + row * rowHeight,
                  content.left + (column + 1) * contentWidth / 3, content.top + (row + 1) * rowHeight};
    }
    Gauge_StudyCharts(request, result, cells, layout);
    const int32_t split = content.left + Px_Trunc(kAnovaPanelShare * contentWidth);
    const int32_t panelsTop = chartsBottom + gap;
    layout->panels.push_back(
        Panel(content.left, panelsTop, split - gap / 2, aboveVerdict, Gauge_AnovaPanelRows(result)));
    layout->panels.push_back(
        Panel(split + gap / 2, panelsTop, content.right, aboveVerdict, Gauge_ComponentsPanelRows(result)));
  }
}
