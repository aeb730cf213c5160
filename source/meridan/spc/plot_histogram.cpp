// The histogram plot with its fitted normal curve.
#include "spc/draw_math.h"
#include "spc/draw_primitives.h"
#include "spc/plot_geometry.h"
#include "spc/spc_drawing.h"

namespace {

enum Slot {
  kBackPen = 0,
  kLightPen = 1,
  kDarkPen = 2,
  kMeanPen = 3,
  kGridPen = 4,
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
  MakePen(handles, kBackPen, PS_SOLID, 1, backColour);
  HPEN lightPen = MakePen(handles, kLightPen, PS_SOLID, 1, Color_Shade(frameColour, 1.15f));
  HPEN darkPen = MakePen(handles, kDarkPen, PS_SOLID, 1, Color_Shade(frameColour, 0.65f));
  HPEN meanPen = MakePen(handles, kMeanPen, PS_DASHDOT, 1, RGB(0, 0, 0));
  HPEN gridPen = MakePen(handles, kGridPen, PS_DOT, 1, Color_Shade(backColour, 0.5f));
  HPEN limitPen = MakePen(handles, kLimitPen, PS_SOLID, 2, lineColour);
  HPEN curvePen = MakePen(handles, kCurvePen, PS_SOLID, 2, curveColour);
  HBRUSH backBrush = MakeBrush(handles, kBackBrush, backColour);
  HBRUSH barBrush = MakeBrush(handles, kBarBrush, barColour);
  HBRUSH endBarBrush = MakeBrush(handles, kEndBarBrush, endBarColour);
  SetBkColor(dc, backColour);
  Draw_Frame3D(left, top, left + width, top + height, dc, backBrush, 2, framePenA, framePenB, darkPen, lightPen);

  HistogramPlan plan;
  Histogram_Plan({left, top, width, height, lying, openEnds, classes, counts, freqMin, freqMax, valueMin, valueMax,
                  classesHigh, classesLow, line1, line2, mean, sigma, curveMode, gridOn, freqGridStep, freqGridCount,
                  valueGridStep, valueGridCount},
                 &plan);
  Lines(dc, gridPen, plan.grid);
  SelectObject(dc, framePenA);
  for (const HistogramBar& bar : plan.bars) {
    SelectObject(dc, bar.endBar ? endBarBrush : barBrush);
    Rectangle(dc, bar.left, bar.top, bar.right, bar.bottom);
  }
  Lines(dc, curvePen, plan.curve);
  Lines(dc, limitPen, plan.limitLines);
  Lines(dc, meanPen, plan.meanLines);
}
