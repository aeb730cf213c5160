// The marks of the run tests on a chart area: a ring around every flagged
// point, drawn over what Plot_ControlChart drew, for any number of points;
// a point beyond the area's value range is ringed on its edge.
#include "spc/core/plot_geometry.h"
#include "spc/core/run_test_marks.h"
#include "spc/gdi/spc_drawing.h"

void Plot_FlaggedPoints(HDC dc, HGDIOBJ* penSlot, int32_t left, int32_t top, int32_t width, int32_t height,
                        int32_t firstSample, int32_t lastSample, double yMin, double yMax, const double* values,
                        int32_t count, int32_t series, const RunTestSeries& tested, const uint16_t* flags,
                        uint16_t bits) {
  const PlotBox box = Plot_InnerBox(left, top, width, height);
  if (!values || !Plot_RangeUsable(yMin, yMax) || !ControlChart_SamplesUsable(firstSample, lastSample)) return;
  const double scale = SPC_GetScale();
  HPEN pen = CreatePen(PS_SOLID, RunTest_RingPenWidth(scale), kFlaggedColour);
  *penSlot = pen;
  SelectObject(dc, pen);
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  const int32_t r = RunTest_RingRadius(scale);
  if (count > tested.count) count = tested.count;
  for (int32_t s = 1; s <= series; ++s) {
    const double* point = values + int64_t{s - 1} * kSeriesStride;
    for (int32_t j = 1; j <= count; ++j) {
      if (!SPC_PointMarked(tested, s, j, flags[j] & bits)) continue;
      // A point off the chart is ringed on the edge where its line leaves the area.
      const double v = point[j];
      const int32_t y = v > yMax ? box.top : v < yMin ? box.bottom : Plot_ValueY(box, v, yMin, yMax);
      const int32_t x = ControlChart_SampleX(box, j, firstSample, lastSample);
      Ellipse(dc, x - r, y - r, x + r + 1, y + r + 1);
    }
  }
}
