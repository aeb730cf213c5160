// Limits that vary from point to point: stepped p and u limits, the EWMA's widening ones.
#include "spc/gdi/chart_drawing.h"

#include "spc/core/draw_math.h"
#include "spc/gdi/spc_drawing.h"

namespace {

enum Slot { kLimitPen = 0, kMarkerPen = 1, kMarkerBrush = 2 };
static_assert(kMarkerBrush < kVaryingLimitsSlots, "the routine's slots");

void Draw(HDC dc, const std::vector<Segment>& path) {
  for (const Segment& s : path) {
    MoveToEx(dc, s.x0, s.y0, nullptr);
    LineTo(dc, s.x1, s.y1);
  }
}

}  // namespace

void Plot_VaryingLimits(HDC dc, HGDIOBJ* handles, const ChartArea& area, const std::vector<Segment>& upperPath,
                        const std::vector<Segment>& lowerPath, const double* upper, const double* lower,
                        COLORREF colour) {
  const double scale = SPC_GetScale();
  const int w = ControlChart_PenWidth(scale);
  SelectObject(dc, MakePen(handles, kLimitPen, PS_SOLID, w + 1, colour));
  Draw(dc, upperPath);
  Draw(dc, lowerPath);
  const PlotBox box = Plot_InnerBox(area.left, area.top, area.width, area.height);
  if (!area.values || !upper || !lower || area.count >= kMarkerPointLimit || !Plot_RangeUsable(area.yMin, area.yMax) ||
      !ControlChart_SamplesUsable(area.firstSample, area.lastSample))
    return;
  SelectObject(dc, MakePen(handles, kMarkerPen, PS_SOLID, w, colour));
  SelectObject(dc, MakeBrush(handles, kMarkerBrush, colour));
  const int32_t r = ControlChart_MarkerReach(scale).dot2;
  for (int32_t i = 1; i <= area.count; ++i) {
    const double v = area.values[i];
    if (!(area.yMin <= v && v <= area.yMax) || !(v > upper[i] || v < lower[i])) continue;
    const int32_t x = ControlChart_SampleX(box, i, area.firstSample, area.lastSample);
    const int32_t y = Plot_ValueY(box, v, area.yMin, area.yMax);
    Ellipse(dc, x - r, y - r, x + r, y + r);
  }
}
