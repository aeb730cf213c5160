// Geometry of the SPC page: sizes from the scale factor, the frame and title
// band, the statistics panel, the charts with their axis strips and the
// histogram, as the drawing routines receive them. Platform-free: the page's
// GDI code only walks this.
#pragma once
#include <cstdint>

#include "spc/core/draw_math.h"
#include "spc/core/spc_request.h"

// Colours of the page.
constexpr Colour kPageColour = Rgb(240, 233, 208);
constexpr Colour kPanelColour = Rgb(255, 255, 225);
constexpr Colour kPlotBackColour = Rgb(255, 255, 242);
constexpr Colour kLineColour = Rgb(0, 0, 200);
constexpr Colour kRedColour = Rgb(255, 0, 0);
constexpr Colour kGreenColour = Rgb(0, 200, 0);
constexpr Colour kGreyColour = Rgb(200, 200, 200);
constexpr Colour kBlackColour = Rgb(0, 0, 0);
constexpr Colour kWhiteColour = Rgb(255, 255, 255);

// Largest page side in pixels. Every coordinate of the page then fits 16 bits.
constexpr int32_t kMaxPageSide = 32767;
// A value axis is scaled only for ranges narrower than this.
constexpr double kWidestScaledRange = 1000000;
// Share of the page's width taken by the statistics panel.
constexpr double kPanelShare = 0.15;

struct PageRect {
  int32_t left, top, right, bottom;
};

struct AxisScale {
  double max = 0, min = 0, step = 0;
  int16_t steps = 0;
};

// One label strip for Axis_DrawTicks.
struct TickStrip {
  bool drawn = false;
  int32_t left = 0, top = 0, width = 0, height = 0;
  int16_t side = 0;
  AxisScale scale;
};

// What the page hands to Plot_ControlChart beyond its fixed pens and colours.
struct ChartArea {
  int32_t left = 0, top = 0, width = 0, height = 0;
  int32_t firstSample = 1, lastSample = 0;
  double yMin = 0, yMax = 0;
  const double* values = nullptr;
  int32_t count = 0, series = 1;
  double upper1 = 0, lower1 = 0, upper2 = 0, lower2 = 0, upper3 = 0, lower3 = 0;
  int16_t lineMask = 0;
  double centre = 0;
  double xGridStep = 0;
  int16_t xGridCount = 0;
  double yGridStep = 0;
  int16_t yGridCount = 0;
  Colour colour2 = kRedColour, colour3 = kRedColour;
};

// What the page hands to Plot_Histogram beyond its fixed pens and colours.
struct HistogramArea {
  int32_t left = 0, top = 0, width = 0, height = 0;
  int32_t freqMax = 0;
  double valueMin = 0, valueMax = 0;
  double line1 = 0, line2 = 0, mean = 0, sigma = 0;
  double freqGridStep = 0;
  int16_t freqGridCount = 0;
  double valueGridStep = 0;
  int16_t valueGridCount = 0;
};

struct PageLayout {
  int32_t pageWidth = 0, pageHeight = 0;
  int16_t lineHeight = 0, charWidth = 0;  // LH and CW
  int16_t minorTick = 0, majorTick = 0;    // tick lengths
  int32_t fontAHeight = 0, fontAWidth = 0, fontBHeight = 0, fontBWidth = 0;
  PageRect frame{}, plotRegion{}, titleBand{}, titleText{};
  bool content = false;  // no values: frame and title only
  PageRect panel{};
  bool controlCharts = false;  // else the run chart of the single values
  int32_t labelChars = 0;      // lab: characters of the longest value label
  int32_t histogramLabelChars = 0;  // lab2
  int32_t plotWidth = 0;       // M
  TickStrip locationAxis, sampleAxis, dispersionAxis, frequencyAxis, histogramValueAxis;
  ChartArea location;    // or the run chart
  bool dispersionShown = false;
  ChartArea dispersion;
  HistogramArea histogram;
};

// Page size from the caller's width, height and factor. False for a page that
// cannot be made: a size or factor that is not positive or not a number, a
// side of less than one pixel or more than kMaxPageSide.
bool SPC_PageSize(int32_t width, int32_t height, double factor, int32_t* pageWidth, int32_t* pageHeight);

// The parts every page has: the sizes from the factor (line height, character
// width, ticks, fonts), the frame, the plot region and the title band. Returns
// the rectangle left for the page's content, below the title band. Call only
// with a size that SPC_PageSize accepts.
PageRect SPC_LayoutFrame(int32_t width, int32_t height, double factor, PageLayout* layout);

// Lays out the page of a request whose computations are done. The page scale
// must already hold `factor` (the axis scaling reads it). Call only with a
// size that SPC_PageSize accepts.
void SPC_LayoutPage(const SpcRequest& request, const SpcResult& result, int32_t width, int32_t height, double factor,
                    PageLayout* layout);

// Characters of the longest value label of a scaled axis (0 for one tick or none).
int32_t SPC_ValueLabelChars(const AxisScale& scale);

// The axis scales of the page, for other pages drawn in its style: a vertical
// value axis over max .. min of `length` pixels (scaled only when narrower
// than kWidestScaledRange) and a horizontal sample axis.
AxisScale SPC_ScaleValueAxis(int32_t length, double max, double min);
AxisScale SPC_ScaleSampleAxis(int32_t length, double max, double min);
