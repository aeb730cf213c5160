// The parts of the gauge page's layout, one file each: the panels' rows
// (gauge_page_text.cpp) and the charts' contents (gauge_page_charts.cpp),
// used by Gauge_LayoutPage.
#pragma once
#include <vector>

#include "gauge/core/gauge_page_layout.h"

std::vector<GaugePanelRow> Gauge_Type1PanelRows(const GaugeResult& result);
std::vector<GaugePanelRow> Gauge_AnovaPanelRows(const GaugeResult& result);
std::vector<GaugePanelRow> Gauge_ComponentsPanelRows(const GaugeResult& result);

// A chart's frame rectangle (the cell it may fill) and what it shows along
// its values, before the axis is scaled and the plot placed.
struct GaugeCell {
  int32_t left, top, right, bottom;
};

// Places a chart in its cell: caption line at the top, category strip at the
// foot, value axis at the left over [low, high] (widened to a scaled axis).
// Returns the chart with its plot placed and its value axis; `box` is the plot's
// inner box for the contents.
struct GaugeChartFrame {
  GaugeChart chart;
  PlotBox box;
  double yMin, yMax;
};
GaugeChartFrame Gauge_PlaceChart(const GaugeCell& cell, const std::string& caption, double low, double high,
                                 const PageLayout& page);

// Where category i of count goes across the plot (1-based), and its label under the plot.
int32_t Gauge_CategoryX(const PlotBox& box, double i, int32_t count);
void Gauge_CategoryLabel(GaugeChartFrame* frame, const std::string& text, double i, int32_t count,
                         const PageLayout& page);

// The charts of a study (type 1: readings in order and histogram; types 2 and 3: the six charts).
void Gauge_Type1Charts(const GaugeRequest& request, const GaugeResult& result, const GaugeCell& run,
                       const GaugeCell& histogram, GaugePageLayout* layout);
void Gauge_StudyCharts(const GaugeRequest& request, const GaugeResult& result, const GaugeCell cells[6],
                       GaugePageLayout* layout);
