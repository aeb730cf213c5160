// Pixel arithmetic of the SPC plots: rounding to device coordinates, the
// value and sample scales of the control chart, the joining-line clipping,
// marker zones and sizes, the normal density, and the whole geometry of the
// histogram. No platform calls: the drawing routines walk these results.
#pragma once
#include <cstdint>
#include <vector>

// Device coordinates are held within GDI's 27-bit coordinate space; NaN
// becomes 0. So no conversion of a huge or undefined figure is undefined.
constexpr int32_t kPixelLimit = (1 << 27) - 1;
int32_t Px_Round(double value);  // floor(value + 0.5)
int32_t Px_Floor(double value);
int32_t Px_Trunc(double value);  // toward zero
int16_t Px_Trunc16(double value);
int16_t Px_Narrow16(int32_t value);  // held within -32768 .. 32767

// Nominal row height (15 x page scale) and character width (7 x page scale) in whole pixels.
int16_t SPC_RowHeight();
int16_t SPC_CharWidth();

// The plot rectangle: the outer rectangle shrunk by 2 pixels on every side.
struct PlotBox {
  int32_t left, top, right, bottom;
};
PlotBox Plot_InnerBox(int32_t left, int32_t top, int32_t width, int32_t height);

// A range can place values only when its ends differ and both are finite.
bool Plot_RangeUsable(double min, double max);
// Vertical value scale: max at the top, min at the bottom.
int32_t Plot_ValueY(const PlotBox& box, double value, double min, double max);
// Horizontal value scale: min at the left, max at the right.
int32_t Plot_ValueX(const PlotBox& box, double value, double min, double max);

// Grid values: step x ceil(lo / step), then `count` steps on, kept while <= hi.
// None for a step of 0 or one that is not a finite number.
std::vector<double> Plot_GridValues(double lo, double hi, double step, int32_t count);

// Control chart: x of point i, defined unless lastSample - firstSample + 2 is 0.
bool ControlChart_SamplesUsable(int32_t firstSample, int32_t lastSample);
int32_t ControlChart_SampleX(const PlotBox& box, int32_t i, int32_t firstSample, int32_t lastSample);
// Control chart: x of the vertical grid line at sample z; false when the
// sample span gives no place (lastSample equal to firstSample, or one sample short of it).
bool ControlChart_GridX(const PlotBox& box, double z, int32_t firstSample, int32_t lastSample, int32_t* x);

struct Segment {
  int32_t x0, y0, x1, y1;
};
// The line joining point i - 1 (xPrev, prev) to point i (xCur, cur). An end
// beyond the range moves to the middle column and to the edge it crossed.
// False when either value is not a number (the line is left out).
bool ControlChart_JoinSegment(const PlotBox& box, double yMin, double yMax, int32_t xPrev, double prev, int32_t xCur,
                              double cur, Segment* segment);

// Which limits a value lies beyond: 1, 2 or 3 for the first pair in force that
// it passes (strictly), 0 when inside all of them.
int ControlChart_Zone(double value, const double upper[3], const double lower[3], int16_t lineMask);

// Markers from the page scale: pen width, and the cross and dot reaches.
struct MarkerReach {
  int32_t near3;  // trunc(3 s)
  int32_t far4;   // trunc(4 s)
  int32_t dot2;   // trunc(2 s)
};
int ControlChart_PenWidth(double scale);
MarkerReach ControlChart_MarkerReach(double scale);

// Markers are left out from this many points per series on.
constexpr int32_t kMarkerPointLimit = 201;

// e^(-(x - mean)^2 / (2 sigma^2)) / (sigma sqrt(2 pi)), with e and sqrt(2 pi) in single precision.
double Normal_Density(double x, double mean, double sigma);

// Everything the histogram plot draws, in drawing order.
struct HistogramInput {
  int32_t left, top, width, height;
  int16_t lying;
  int16_t openEnds;
  int16_t classes;
  const int32_t* counts;
  int32_t freqMin, freqMax;
  double valueMin, valueMax;
  double classesHigh, classesLow;
  double line1, line2;
  double mean, sigma;
  int16_t curveMode;
  int16_t gridOn;
  double freqGridStep;
  int16_t freqGridCount;
  double valueGridStep;
  int16_t valueGridCount;
};

struct HistogramBar {
  int32_t left, top, right, bottom;  // as given to Rectangle
  bool endBar;                       // an open-end class
};

struct HistogramPlan {
  std::vector<Segment> grid;
  std::vector<HistogramBar> bars;
  std::vector<Segment> curve;  // consecutive lines of the density curve
  std::vector<Segment> limitLines;
  std::vector<Segment> meanLines;
};

void Histogram_Plan(const HistogramInput& input, HistogramPlan* plan);
