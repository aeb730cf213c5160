// Plot_Histogram with real GDI, drawing into a 32-bit canvas whose pixels are
// read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "spc/gdi/spc_drawing.h"
#include "spc_draw_support.h"
#include "spc_page_support.h"

namespace {

using namespace spctest;
using namespace drawtest;

class HistogramPlot : public SpcDraw {
 protected:
  // Plot 2..102 across, 2..202 down; classes 0..1 .. 3..4 at y 202..152 .. 52..2; frequency 0..10 over 100 pixels.
  Canvas canvas{104, 204};
  int32_t counts[6] = {0, 2, 5, 5, 2, 0};
  Slots slots{kHistogramSlots};
  void Plot(int16_t curveMode = 1) {
    Plot_Histogram(canvas.dc(), slots.slot, 0, 0, 104, 204, 1, 0, 4, counts, 0, 10, 0, 4, 4, 0, 3.5, 0.5, 2, 1,
                   curveMode, 1, 5, 2, 1, 4, penA, penB, kBack, kPanel, kRed, kGrey, kOrange, kBlue);
  }
};

TEST_F(HistogramPlot, BarsGrowRightToTheirCounts) {
  Plot(0);
  EXPECT_EQ(canvas.At(20, 130), kGrey);  // class 2 (count 5): x 2..52
  EXPECT_EQ(canvas.At(45, 130), kGrey);
  EXPECT_NE(canvas.At(60, 130), kGrey);
  EXPECT_EQ(canvas.At(15, 180), kGrey);  // class 1 (count 2): x 2..22
  EXPECT_NE(canvas.At(30, 180), kGrey);
  EXPECT_EQ(canvas.Count(kOrange), 0);  // no open ends
}

TEST_F(HistogramPlot, CurvePeaksAtTheFittedLengthBesideTheMean) {
  Plot(1);
  int rightmost = 0;
  for (int x = 0; x < 104; ++x)
    if (canvas.Count(kBlue, x, 0, x + 1, 204) > 0) rightmost = x;
  // fitted peak 59 pixels from the plot's left edge (see the geometry test), pen 2 wide
  EXPECT_GE(rightmost, 61);
  EXPECT_LE(rightmost, 62);
  EXPECT_GT(canvas.Count(kBlue, 55, 95, 64, 110), 0);
}

TEST_F(HistogramPlot, LimitAndMeanLinesAcrossThePlot) {
  Plot(0);
  EXPECT_GT(canvas.RowCount(kRed, 27), 90);   // 3.5
  EXPECT_GT(canvas.RowCount(kRed, 177), 90);  // 0.5
  EXPECT_GT(canvas.RowCount(kBlack, 102), 20);
  EXPECT_GT(canvas.RowCount(kBlack, 101), 20);
}

TEST_F(HistogramPlot, HandlesFillTheirSlotsAndNoMore) {
  Plot();
  for (int i = 0; i <= 6; ++i) EXPECT_EQ(GetObjectType(slots.slot[i]), static_cast<DWORD>(OBJ_PEN)) << i;
  for (int i = 7; i <= 9; ++i) EXPECT_EQ(slots.slot[i], nullptr) << i;
  for (int i = 10; i <= 12; ++i) EXPECT_EQ(GetObjectType(slots.slot[i]), static_cast<DWORD>(OBJ_BRUSH)) << i;
  EXPECT_TRUE(slots.GuardIntact());
}

TEST_F(HistogramPlot, SigmaZeroAndEmptyRangesDrawWithoutTheCurve) {
  Plot_Histogram(canvas.dc(), slots.slot, 0, 0, 104, 204, 1, 0, 4, counts, 0, 10, 0, 4, 4, 0, 3.5, 0.5, 2, 0, 1, 1,
                 5, 2, 1, 4, penA, penB, kBack, kPanel, kRed, kGrey, kOrange, kBlue);
  EXPECT_EQ(canvas.Count(kBlue), 0);
  EXPECT_GT(canvas.Count(kGrey), 100);
}

}  // namespace
