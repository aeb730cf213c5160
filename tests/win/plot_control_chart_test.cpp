// Plot_ControlChart with real GDI, drawing into a 32-bit canvas whose pixels
// are read back: limit lines, frame, markers and their colours, joining lines.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "spc/core/plot_geometry.h"
#include "spc/gdi/spc_drawing.h"
#include "spc_draw_support.h"
#include "spc_page_support.h"

namespace {

using namespace spctest;
using namespace drawtest;

class ControlChartPlot : public SpcDraw {
 protected:
  // Outer rectangle 0, 0, 204, 104: plot 2..202 across and 2..102 down; value v at y = 102 - 10 v;
  // point i (of samples 1..9) at x = 2 + 20 i.
  Canvas canvas{204, 104};
  std::vector<double> values = std::vector<double>(2 * 70000 + 1, 5.0);
  Slots slots{kControlChartSlots};
  void Plot(int32_t count, int32_t lastSample = 9, double yMin = 0, double yMax = 10, int32_t highlight = 0,
            int16_t lineMask = 6, int32_t series = 1) {
    Plot_ControlChart(canvas.dc(), slots.slot, 0, 0, 204, 104, 1, lastSample, yMin, yMax, values.data(), count, series,
                      12, -2, 8, 2, 7, 3, lineMask, 5, 0, 0, 0, 0, 0, penA, penB, kBack, kPanel, kBlue, kGreen,
                      kOrange, kRed, kPurple, 1, highlight, kWhite);
  }
  int RedRowsNear(int y) const {
    int rows = 0;
    for (int row = y - 3; row <= y + 3; ++row) rows += canvas.RowCount(kRed, row) > 150;
    return rows;
  }
};

TEST_F(ControlChartPlot, LimitLinesStandAtTheRowsTheirValuesMapTo) {
  Plot(0);
  EXPECT_GT(canvas.RowCount(kRed, 22), 150);  // upper2 = 8
  EXPECT_GT(canvas.RowCount(kRed, 82), 150);  // lower2 = 2
  EXPECT_EQ(RedRowsNear(22), 2);              // pen width 1 + 1 at scale 1
  EXPECT_GT(canvas.RowCount(kPurple, 32), 50);  // upper3 = 7, dashed
  EXPECT_LT(canvas.RowCount(kPurple, 32), 190);
  EXPECT_EQ(canvas.Count(kOrange), 0);  // pair 1 not in force
  EXPECT_GT(canvas.RowCount(kBlack, 52), 50);  // centre line, two rows
  EXPECT_GT(canvas.RowCount(kBlack, 51), 50);
}

TEST_F(ControlChartPlot, FrameIsSunkenInThePanelColourShades) {
  Plot(0);
  EXPECT_EQ(canvas.At(0, 50), Color_Shade(kPanel, 0.65f));
  EXPECT_EQ(canvas.At(202, 50), Color_Shade(kPanel, 1.15f));
  EXPECT_EQ(canvas.At(100, 95), kBack);
}

TEST_F(ControlChartPlot, MarkersTakeTheColourOfTheLimitsTheyPass) {
  values[4] = 9;    // beyond upper2: colour2
  values[6] = 7.5;  // beyond upper3 only: colour3
  values[8] = 12;   // on upper1, which is not in force: colour2
  Plot(9);
  EXPECT_EQ(canvas.At(42, 52), kGreen);    // point 2: inside
  EXPECT_EQ(canvas.At(82, 12), kRed);      // point 4
  EXPECT_EQ(canvas.At(122, 27), kPurple);  // point 6
  EXPECT_GT(canvas.Count(kBlue), 100);     // the joining lines
}

TEST_F(ControlChartPlot, PointAboveTheRangeHasNoMarkerAndItsLinesEndAtTheTop) {
  values[5] = 20;
  Plot(9);
  // points 4 and 6 at x 82 and 122: the lines reach the top edge at x 92 and 112 (end points are not painted)
  EXPECT_GT(canvas.Count(kBlue, 88, 2, 93, 4), 0);
  EXPECT_GT(canvas.Count(kBlue, 108, 2, 113, 4), 0);
  EXPECT_EQ(canvas.Count(kRed, 90, 0, 115, 10), 0);
  EXPECT_EQ(canvas.Count(kGreen, 95, 0, 110, 104), 0);
}

TEST_F(ControlChartPlot, MarkersUpTo200PointsNoneFrom201) {
  Plot(200, 201);
  EXPECT_GT(canvas.Count(kGreen), 200);
  canvas.Fill(RGB(1, 2, 3));
  Slots more(kControlChartSlots);
  Plot_ControlChart(canvas.dc(), more.slot, 0, 0, 204, 104, 1, 201, 0, 10, values.data(), 201, 1, 12, -2, 8, 2, 7, 3,
                    6, 5, 0, 0, 0, 0, 0, penA, penB, kBack, kPanel, kBlue, kGreen, kOrange, kRed, kPurple, 1, 0,
                    kWhite);
  EXPECT_EQ(canvas.Count(kGreen), 0);
  EXPECT_GT(canvas.Count(kBlue), 150);
}

TEST_F(ControlChartPlot, SecondSeriesLies70000EntriesOn) {
  for (int i = 1; i <= 9; ++i) values[70000 + i] = 9;
  Plot(9, 9, 0, 10, 0, 6, 2);
  EXPECT_EQ(canvas.At(82, 12), kRed);  // point 4 of series 2 at 9
  EXPECT_EQ(canvas.At(82, 52), kGreen);
}

TEST_F(ControlChartPlot, HandlesFillTheirSlotsAndNoMore) {
  Plot(9);
  for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})
    EXPECT_EQ(GetObjectType(slots.slot[i]), static_cast<DWORD>(OBJ_PEN)) << "slot " << i;
  for (int i : {15, 16, 17, 18, 19})
    EXPECT_EQ(GetObjectType(slots.slot[i]), static_cast<DWORD>(OBJ_BRUSH)) << "slot " << i;
  EXPECT_EQ(slots.slot[13], nullptr);
  EXPECT_EQ(slots.slot[14], nullptr);
  EXPECT_EQ(slots.slot[20], nullptr);
  EXPECT_TRUE(slots.GuardIntact());
  LOGPEN pen{};
  GetObjectW(slots.slot[9], sizeof pen, &pen);
  EXPECT_EQ(pen.lopnWidth.x, 2);
  EXPECT_EQ(pen.lopnColor, kRed);
  GetObjectW(slots.slot[4], sizeof pen, &pen);
  EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_DOT));
  EXPECT_EQ(pen.lopnColor, Color_Shade(kBack, 0.5f));
}

TEST_F(ControlChartPlot, HighlightBarTakesTwoMoreSlots) {
  Plot(0, 9, 0, 10, 3);
  EXPECT_EQ(GetObjectType(slots.slot[13]), static_cast<DWORD>(OBJ_PEN));
  EXPECT_EQ(GetObjectType(slots.slot[20]), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(canvas.At(62, 40), kWhite);  // x(3) = 62, ten pixels wide
  EXPECT_EQ(canvas.At(57, 40), kWhite);
  EXPECT_NE(canvas.At(68, 40), kWhite);
  EXPECT_TRUE(slots.GuardIntact());
}

TEST_F(ControlChartPlot, WiderPensFromScaleTwo) {
  SPC_SetScale(2.0);
  Plot(9);
  EXPECT_EQ(RedRowsNear(22), 3);
}

TEST_F(ControlChartPlot, RangeWithoutWidthDrawsOnlyTheFrame) {
  Plot(9, 9, 5, 5);
  EXPECT_EQ(canvas.Count(kBlue), 0);
  EXPECT_EQ(canvas.Count(kGreen), 0);
  EXPECT_EQ(canvas.At(100, 50), kBack);
}

TEST_F(ControlChartPlot, ValuesThatAreNotNumbersLeaveGapsOnly) {
  values[3] = std::numeric_limits<double>::quiet_NaN();
  values[5] = std::numeric_limits<double>::infinity();
  values[7] = -1e300;
  Plot(9);
  EXPECT_EQ(canvas.At(42, 52), kGreen);
  EXPECT_EQ(canvas.At(162, 52), kGreen);  // point 8 after them
  EXPECT_GT(canvas.Count(kBlue, 88, 2, 93, 4), 0);  // lines towards the infinite point end at the top edge
}

// Thousands of points: the joining lines go to GDI in few calls (a column's
// vertical lines as one, lines that meet as polylines). The pixels must be
// those of every line drawn alone, as here, at the thin pens of scales 1 and
// 1.5 and the wide one of scale 2; with gaps, points beyond the range and
// many points to a column.
TEST_F(ControlChartPlot, ManyPointsSetThePixelsOfTheirLinesDrawnOneByOne) {
  const int32_t count = 5000;
  uint32_t state = 99;
  for (int32_t i = 1; i <= count; ++i) {
    state = state * 1664525u + 1013904223u;
    values[i] = (state >> 8) % 1100 / 100.0 - 0.5;  // some below 0 and above 10
    if (i % 613 == 0) values[i] = std::numeric_limits<double>::quiet_NaN();
    if (i % 1000 < 40) values[i] = 5.0 + (i % 3);  // runs of few values: short vertical lines
  }
  for (double scale : {1.0, 1.5, 2.0}) {
    SPC_SetScale(scale);
    Canvas batched{204, 104};
    Slots batchedSlots{kControlChartSlots};
    Plot_ControlChart(batched.dc(), batchedSlots.slot, 0, 0, 204, 104, 1, count, 0, 10, values.data(), count, 1, 12,
                      -2, 8, 2, 7, 3, 6, 5, 0, 0, 0, 0, 0, penA, penB, kBack, kPanel, kBlue, kGreen, kOrange, kRed,
                      kPurple, 1, 0, kWhite);
    Canvas single{204, 104};
    Slots singleSlots{kControlChartSlots};
    Plot_ControlChart(single.dc(), singleSlots.slot, 0, 0, 204, 104, 1, count, 0, 10, nullptr, count, 1, 12, -2, 8, 2,
                      7, 3, 6, 5, 0, 0, 0, 0, 0, penA, penB, kBack, kPanel, kBlue, kGreen, kOrange, kRed, kPurple, 1, 0,
                      kWhite);
    HPEN pen = Kept(CreatePen(PS_SOLID, ControlChart_PenWidth(scale), kBlue));
    SelectObject(single.dc(), pen);
    const PlotBox box = Plot_InnerBox(0, 0, 204, 104);
    int lines = 0;
    for (int32_t i = 2; i <= count; ++i) {
      Segment line;
      if (!ControlChart_JoinSegment(box, 0, 10, ControlChart_SampleX(box, i - 1, 1, count), values[i - 1],
                                    ControlChart_SampleX(box, i, 1, count), values[i], &line))
        continue;
      MoveToEx(single.dc(), line.x0, line.y0, nullptr);
      LineTo(single.dc(), line.x1, line.y1);
      ++lines;
    }
    SelectObject(single.dc(), GetStockObject(BLACK_PEN));
    EXPECT_GT(lines, 4900);
    int differing = 0;
    for (int y = 0; y < 104; ++y)
      for (int x = 0; x < 204; ++x) differing += batched.At(x, y) != single.At(x, y);
    EXPECT_EQ(differing, 0) << "scale " << scale;
    EXPECT_GT(batched.Count(kBlue), 2000) << "scale " << scale;
  }
}

}  // namespace
