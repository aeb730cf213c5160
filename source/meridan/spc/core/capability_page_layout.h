// Geometry and texts of the capability page: the histogram of the values with
// the normal curves of the overall s and the within σ̂ (and the fitted
// distribution's), the limits and the target; the probability plot against
// the distribution in use with its Anderson–Darling figures; the panel of
// indices, intervals and parts per million, and the verdict. Platform-free:
// the page's GDI code only walks this.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "spc/core/capability_study.h"
#include "spc/core/page_layout.h"
#include "spc/core/plot_geometry.h"

constexpr Colour kOverallCurveColour = Rgb(0, 0, 200);
constexpr Colour kWithinCurveColour = Rgb(200, 0, 200);
constexpr Colour kFittedCurveColour = Rgb(0, 150, 0);
constexpr Colour kCapableColour = Rgb(0, 170, 0);
constexpr Colour kNotCapableColour = Rgb(220, 0, 0);

// The smallest page with room for the three parts, in pixels.
constexpr int32_t kCapabilityPageMinWidth = 320;
constexpr int32_t kCapabilityPageMinHeight = 240;

// A curve of the histogram, its colour and its legend text.
struct CapabilityCurve {
  Colour colour = 0;
  std::string label;
  std::vector<Segment> segments;
};

// A plot's box (as given to Plot_FillAndFrame) and its caption line above it.
struct CapabilityPlot {
  int32_t left = 0, top = 0, width = 0, height = 0;
  PageRect caption{};
};

// A label of the probability axis at its row, with its tick.
struct ProbabilityLabel {
  PageRect box{};
  Segment tick{};
  Segment grid{};
  std::string text;
};

struct PlotPoint {
  int32_t x, y;
};

// A row of the panel: a label and up to three figures (value, lower, upper;
// or observed, overall, within).
struct CapabilityPanelRow {
  std::string label;
  std::string values[3];
  bool heading = false;  // a table's column names, shown in the heading colour
};

struct CapabilityPageLayout {
  PageLayout page;  // sizes, fonts, frame and title band

  CapabilityPlot histogram;
  TickStrip histogramValueAxis, frequencyAxis;
  std::vector<HistogramBar> bars;
  std::vector<CapabilityCurve> curves;  // overall, within, then the fitted one when there is one
  std::vector<Segment> limitLines;
  std::vector<Segment> targetLine;

  CapabilityPlot probability;
  TickStrip probabilityValueAxis;
  std::vector<ProbabilityLabel> probabilityLabels;
  std::vector<PlotPoint> points;
  std::vector<Segment> referenceLine;  // the distribution in use: straight for the normal
  std::string probabilityCaption;

  PageRect panel{};
  std::vector<CapabilityPanelRow> rows;
  PageRect verdict{};
  bool capable = false;
  std::string verdictText, verdictDetail;
};

// Lays out the page of a computed study. False for a page that cannot be made
// (SPC_PageSize refuses it, or it is smaller than the minimum) or a study
// with fewer than two values that are numbers. The page scale must already
// hold `factor`.
bool CapabilityPage_Layout(const CapabilityRequest& request, const CapabilityFigures& figures, int32_t width,
                           int32_t height, double factor, CapabilityPageLayout* layout);

// The panel's rows of a study (also what the page's test reads back).
std::vector<CapabilityPanelRow> CapabilityPage_PanelRows(const CapabilityRequest& request,
                                                         const CapabilityFigures& figures);
