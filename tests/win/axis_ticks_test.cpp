// Axis_DrawTicks with real GDI: ticks and labels in the strip beside a plot.
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

TEST_F(SpcDraw, AxisTicksLeftOfThePlotWithLabelsBesideThem) {
  Canvas canvas(60, 120);
  canvas.Fill(kWhite);
  HFONT font = Kept(Font_Create(L"Tahoma", 0, 11, 5, 0));
  Axis_DrawTicks(canvas.dc(), 0, 10, 50, 100, 3, penA, font, 5, 7, 1.25, 10, 0, 2, 5);
  // value v at y = 110 - 10 v; long ticks 43..49, short ticks 45..49
  EXPECT_EQ(canvas.At(43, 90), kBlack);
  EXPECT_EQ(canvas.At(49, 90), kBlack);
  EXPECT_NE(canvas.At(50, 90), kBlack);
  EXPECT_EQ(canvas.At(45, 106), kBlack);  // short tick at 0.4 (a fifth of the step)
  EXPECT_NE(canvas.At(44, 106), kBlack);
  EXPECT_GT(canvas.Count(kWhite, 0, 80, 41, 100) , 0);
  EXPECT_LT(canvas.Count(kWhite, 0, 80, 41, 100), 41 * 20);  // the label "2" is there
  EXPECT_EQ(canvas.Count(kWhite, 41, 80, 43, 100), 2 * 20);  // gap between labels and ticks
}

TEST_F(SpcDraw, AxisTicksDrawNothingWithoutSteps) {
  Canvas canvas(60, 120);
  canvas.Fill(kWhite);
  Axis_DrawTicks(canvas.dc(), 0, 10, 50, 100, 3, penA, nullptr, 5, 7, 1.25, 10, 0, 2, 0);
  EXPECT_EQ(canvas.Count(kWhite), 60 * 120);
}

}  // namespace
