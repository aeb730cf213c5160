// The histogram plot with its fitted normal curve.
#include "spc/core/draw_math.h"
#include "spc/gdi/draw_primitives.h"
#include "spc/core/plot_geometry.h"
#include "spc/gdi/spc_drawing.h"

namespace {

// Slots 0 to 4 hold the pens Plot_FillAndFrame makes.
enum Slot {
  kLimitPen = 5,
  kCurvePen = 6,
  kBackBrush = 10,
  kBarBrush = 11,
  kEndBarBrush = 12,
};

void Lines(HDC dc, HPEN pen, const std::vector<Segment>& segments) {
  if (segments.empty()) return;
  SelectObject(dc, pen);
  for (const Segment& segment : segments) {
    MoveToEx(dc, segment.x0, segment.y0, nullptr);
    LineTo(dc, segment.x1, segment.y1);
  }
}

}  // namespace

void Plot_Histogram(HDC dc, HGDIOBJ* handles, int32_t left, int32_t top, int32_t width, int32_t height, int16_t lying,
                    int16_t openEnds, int16_t classes, const int32_t* counts, int32_t freqMin, int32_t freqMax,
                    double valueMin, double valueMax, double classesHigh, double classesLow, double line1,
                    double line2, double mean, double sigma, int16_t curveMode, int16_t gridOn, double freqGridStep,
                    int16_t freqGridCount, double valueGridStep, int16_t valueGridCount, HPEN framePenA,
                    HPEN framePenB, COLORREF backColour, COLORREF frameColour, COLORREF lineColour,
                    COLORREF barColour, COLORREF endBarColour, COLORREF curveColour) {
  HPEN limitPen = MakePen(handles, kLimitPen, PS_SOLID, 2, lineColour);
  HPEN curvePen = MakePen(handles, kCurvePen, PS_SOLID, 2, curveColour);
  HBRUSH barBrush = MakeBrush(handles, kBarBrush, barColour);
  HBRUSH endBarBrush = MakeBrush(handles, kEndBarBrush, endBarColour);
  const PlotLinePens pens = Plot_FillAndFrame(dc, handles, kBackBrush, left, top, width, height, framePenA, framePenB,
                                              backColour, frameColour);

  HistogramPlan plan;
  Histogram_Plan({left, top, width, height, lying, openEnds, classes, counts, freqMin, freqMax, valueMin, valueMax,
                  classesHigh, classesLow, line1, line2, mean, sigma, curveMode, gridOn, freqGridStep, freqGridCount,
                  valueGridStep, valueGridCount},
                 &plan);
  Lines(dc, pens.grid, plan.grid);
  SelectObject(dc, framePenA);
  for (const HistogramBar& bar : plan.bars) {
    SelectObject(dc, bar.endBar ? endBarBrush : barBrush);
    Rectangle(dc, bar.left, bar.top, bar.right, bar.bottom);
  }
  Lines(dc, curvePen, plan.curve);
  Lines(dc, limitPen, plan.limitLines);
  Lines(dc, pens.centre, plan.meanLines);
}
