// Ticks and labels beside a plot.
#include "spc/core/axis_ticks_layout.h"
#include "spc/gdi/draw_primitives.h"
#include "core/num_format.h"
#include "spc/gdi/spc_drawing.h"

void Axis_DrawTicks(HDC dc, int32_t left, int32_t top, int32_t width, int32_t height, int16_t side, HPEN pen,
                    HFONT font, int16_t minorLength, int16_t majorLength, double spacing, double max, double min,
                    double step, int16_t steps) {
  if (steps < 1) return;
  SelectObject(dc, pen);
  SelectObject(dc, font);
  AxisTickPlan plan;
  Axis_PlanTicks(left, top, width, height, side, minorLength, majorLength, spacing, max, min, step, steps, &plan);
  wchar_t text[kFixedTextSize];
  for (const AxisMark& mark : plan.major) {
    MoveToEx(dc, mark.tick.x0, mark.tick.y0, nullptr);
    LineTo(dc, mark.tick.x1, mark.tick.y1);
    WStr_FromAnsi(text, mark.label.c_str());
    RECT box = {mark.left, mark.top, mark.right, mark.bottom};
    Text_Draw(dc, text, WStr_Len(text), &box, plan.labelFormat);
  }
  for (const Segment& tick : plan.minor) {
    MoveToEx(dc, tick.x0, tick.y0, nullptr);
    LineTo(dc, tick.x1, tick.y1);
  }
}
