// The SPC drawing routines with real GDI: primitives, the two plots, the text
// panel, the axis ticks and the bitmap file writer, each drawing into a
// 32-bit canvas whose pixels are read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "spc/core/draw_math.h"
#include "spc/gdi/draw_primitives.h"
#include "spc/gdi/file_open.h"
#include "spc/gdi/spc_drawing.h"
#include "spc_page_support.h"

namespace {

using namespace spctest;

const COLORREF kBack = kPlotBack;
const COLORREF kOrange = RGB(255, 128, 0);
const COLORREF kPurple = RGB(128, 0, 128);

// Handle slots with a guard area behind them that no routine may touch.
struct Slots {
  static constexpr int kGuard = 8;
  HGDIOBJ slot[40];
  explicit Slots(int used) : used_(used) {
    for (HGDIOBJ& h : slot) h = nullptr;
    for (int i = used; i < used + kGuard; ++i) slot[i] = reinterpret_cast<HGDIOBJ>(0x5A5A);
  }
  ~Slots() {
    for (int i = 0; i < used_; ++i)
      if (slot[i]) DeleteObject(slot[i]);
  }
  bool GuardIntact() const {
    for (int i = used_; i < used_ + kGuard; ++i)
      if (slot[i] != reinterpret_cast<HGDIOBJ>(0x5A5A)) return false;
    return true;
  }
  int used_;
};

class SpcDraw : public testing::Test {
 protected:
  void SetUp() override { SPC_SetScale(1.0); }
  void TearDown() override {
    for (HGDIOBJ object : kept_) DeleteObject(object);
    SPC_SetScale(1.0);
  }
  // A pen, brush, font or bitmap the test makes, deleted when it ends.
  template <typename Object>
  Object Kept(Object object) {
    kept_.push_back(object);
    return object;
  }
  std::vector<HGDIOBJ> kept_;
  HPEN penA = Kept(CreatePen(PS_SOLID, 1, kBlack)), penB = Kept(CreatePen(PS_SOLID, 1, kWhite));
};

// ---- primitives

TEST_F(SpcDraw, SunkenFrameIsDarkAtTopLeftAndLightAtBottomRight) {
  Canvas canvas(40, 30);
  HPEN dark = Kept(CreatePen(PS_SOLID, 1, Color_Shade(kPanel, 0.65f)));
  HPEN light = Kept(CreatePen(PS_SOLID, 1, Color_Shade(kPanel, 1.15f)));
  HBRUSH fill = Kept(CreateSolidBrush(kPanel));
  Draw_Frame3D(0, 0, 40, 30, canvas.dc(), fill, 2, penA, penB, dark, light);
  EXPECT_EQ(canvas.At(0, 15), Color_Shade(kPanel, 0.65f));   // dark left edge
  EXPECT_EQ(canvas.At(20, 0), Color_Shade(kPanel, 0.65f));   // dark top edge
  EXPECT_EQ(canvas.At(1, 15), kBlack);                       // pen A inside it
  EXPECT_EQ(canvas.At(20, 28), Color_Shade(kPanel, 1.15f));  // light line at bottom - 2
  EXPECT_EQ(canvas.At(38, 15), Color_Shade(kPanel, 1.15f));  // and at right - 2
  EXPECT_EQ(canvas.At(39, 15), kWhite);                      // the rectangle's outline in pen B
  EXPECT_EQ(canvas.At(20, 15), kPanel);
}

TEST_F(SpcDraw, RaisedFrameHasPenAAtBottomRightAndLightAtTopLeft) {
  Canvas canvas(40, 30);
  HPEN dark = Kept(CreatePen(PS_SOLID, 1, kGrey));
  HPEN light = Kept(CreatePen(PS_SOLID, 1, kRed));
  HBRUSH fill = Kept(CreateSolidBrush(kPanel));
  Draw_Frame3D(0, 0, 40, 30, canvas.dc(), fill, 3, penA, penB, dark, light);
  EXPECT_EQ(canvas.At(20, 29), kBlack);  // pen A along bottom - 1
  EXPECT_EQ(canvas.At(39, 15), kBlack);  // and right - 1
  EXPECT_EQ(canvas.At(20, 28), kGrey);   // dark pen inside
  EXPECT_EQ(canvas.At(1, 15), kRed);     // light pen at left + 1
  EXPECT_EQ(canvas.At(20, 1), kRed);     // and top + 1
  EXPECT_EQ(canvas.At(0, 15), kWhite);   // outline in pen B
}

TEST_F(SpcDraw, PlainFrameIsOutlinedWithTheLightPenForStyleZero) {
  Canvas canvas(20, 20);
  HBRUSH fill = Kept(CreateSolidBrush(kPanel));
  HPEN light = Kept(CreatePen(PS_SOLID, 1, kGreen));
  Draw_Frame3D(0, 0, 20, 20, canvas.dc(), fill, 0, penA, penB, penA, light);
  EXPECT_EQ(canvas.At(0, 10), kGreen);
  EXPECT_EQ(canvas.At(10, 10), kPanel);
  Draw_Frame3D(0, 0, 20, 20, canvas.dc(), fill, 1, penA, penB, penA, light);
  EXPECT_EQ(canvas.At(0, 10), kBlack);
}

TEST_F(SpcDraw, FontCarriesSizeWeightItalicAndCharacterSet) {
  HFONT font = Kept(Font_Create(L"Tahoma", 0x0201 | 2, 18, 8, 900));
  LOGFONTW record{};
  ASSERT_EQ(GetObjectW(font, sizeof record, &record), static_cast<int>(sizeof record));
  EXPECT_EQ(record.lfHeight, 18);
  EXPECT_EQ(record.lfWidth, 8);
  EXPECT_EQ(record.lfEscapement, 900);
  EXPECT_EQ(record.lfOrientation, 900);
  EXPECT_EQ(record.lfWeight, 700);
  EXPECT_EQ(record.lfItalic, 1);
  EXPECT_EQ(record.lfCharSet, 2);
  EXPECT_STREQ(record.lfFaceName, L"Tahoma");
  font = Kept(Font_Create(L"Tahoma", 0, 11, 5, 0));
  GetObjectW(font, sizeof record, &record);
  EXPECT_EQ(record.lfWeight, 400);
  EXPECT_EQ(record.lfItalic, 0);
}

TEST_F(SpcDraw, FontFaceNameLongerThanTheRecordIsCut) {
  HFONT font = Kept(Font_Create(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij", 0, 10, 0, 0));
  LOGFONTW record{};
  GetObjectW(font, sizeof record, &record);
  EXPECT_EQ(std::wstring(record.lfFaceName), L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
}

TEST_F(SpcDraw, TextDrawReturnsTheHeightDrawTextGives) {
  Canvas canvas(100, 40);
  RECT box = {0, 0, 100, 40};
  RECT same = box;
  EXPECT_EQ(Text_Draw(canvas.dc(), L"Xq", 2, &box, 36), DrawTextW(canvas.dc(), L"Xq", 2, &same, 36));
}

TEST_F(SpcDraw, WideStringRoutines) {
  wchar_t text[32] = L"stale";
  WStr_FromAnsi(text, "\xE4" "b");
  EXPECT_EQ(text[0], 0x00E4);
  EXPECT_EQ(WStr_Len(text), 2);
  WStr_FromAnsi(text, "");
  EXPECT_EQ(text[0], 0);
  WStr_Copy(text, L"Cp");
  WStr_Cat(text, L"k");
  EXPECT_STREQ(text, L"Cpk");
  EXPECT_EQ(WStr_Len(L""), 0);
}

TEST_F(SpcDraw, FileOpenModesGiveAccessAndSharing) {
  std::wstring dir = wintest::MakeTempDir(L"fileopen");
  std::wstring path = dir + L"f.bin";
  HANDLE file = File_Open(path.c_str(), 3, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, "abc", 3, &written, nullptr));
  // not shared: a second opening fails while the first is open
  HANDLE second = File_Open(path.c_str(), 1, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(second, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  // mode 0: no access rights, yet the file can be queried
  HANDLE query = File_Open(path.c_str(), 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  ASSERT_NE(query, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(query, nullptr), 3u);
  char byte;
  DWORD read = 0;
  EXPECT_FALSE(ReadFile(query, &byte, 1, &read, nullptr));
  CloseHandle(query);
  HANDLE shared = File_Open(path.c_str(), 1 | 4, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  HANDLE again = File_Open(path.c_str(), 1 | 4, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  EXPECT_NE(again, INVALID_HANDLE_VALUE);
  CloseHandle(shared);
  CloseHandle(again);
  wintest::RemoveTree(dir);
}

// ---- control chart plot

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

// ---- histogram plot

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

// ---- text panel

class TextPanel : public SpcDraw {
 protected:
  Canvas canvas{220, 160};
  wchar_t texts[4 * 200] = {};
  int16_t columns[4] = {};
  COLORREF colours[4] = {kBlack, kBlack, kRed, kBlue};
  HFONT font = Kept(Font_Create(L"Tahoma", 0, 11, 5, 0));
  Slots slots{kPanelSlots};
  void SetUp() override {
    SpcDraw::SetUp();
    const wchar_t* rows[3][2] = {{L"USL", L"10.5000"}, {L"N", L"125"}, {L"Xq", L"10.0123"}};
    for (int r = 1; r <= 3; ++r) {
      WStr_Copy(texts + r * 200, rows[r - 1][0]);
      WStr_Copy(texts + r * 200 + 100, rows[r - 1][1]);
    }
  }
  void Draw(int16_t frameStyle = 2) {
    Panel_DrawText(canvas.dc(), slots.slot, 10, 20, 150, 100, 3, texts, columns, colours, 2, 0, frameStyle, penA,
                   penB, kPanel, kBack, font);
  }
  // Pixels of a colour like `red` in the band of screen row p.
  int Reddish(int p) const {
    int n = 0;
    for (int y = 20 + 3 + (p - 1) * 15; y < 20 + 3 + p * 15; ++y)
      for (int x = 10; x < 160; ++x) {
        COLORREF c = canvas.At(x, y);
        n += GetRValue(c) > 150 && GetGValue(c) < 120 && GetBValue(c) < 120;
      }
    return n;
  }
};

TEST_F(TextPanel, PaintsItsFrameAndBackgroundAtItsPlace) {
  Draw();
  EXPECT_EQ(canvas.At(5, 50), RGB(1, 2, 3));  // left of the panel: untouched
  EXPECT_EQ(canvas.At(10, 50), Color_Shade(kBack, 0.65f));
  EXPECT_EQ(canvas.At(11, 50), kBlack);
  EXPECT_EQ(canvas.At(150, 110), kBack);
  EXPECT_EQ(canvas.At(165, 50), RGB(1, 2, 3));
}

TEST_F(TextPanel, TextStaysInsideItsCellsInTheRowsColour) {
  Draw();
  // label column 3 wide, gap 2, values 7 wide: characters 0..11 from the margin 10 (3 + 15 div 2)
  for (int y = 20 + 3; y < 20 + 3 + 45; ++y)
    for (int x = 10 + 10 + 12 * 7 + 1; x < 157; ++x) ASSERT_EQ(canvas.At(x, y), kBack) << x << "," << y;
  for (int y = 20 + 3 + 45; y < 117; ++y)
    for (int x = 13; x < 157; ++x) ASSERT_EQ(canvas.At(x, y), kBack) << x << "," << y;
  EXPECT_EQ(Reddish(1), 0);
  EXPECT_GT(Reddish(2), 5);
  EXPECT_EQ(Reddish(3), 0);
}

TEST_F(TextPanel, RowInAColumnOutsideTheGridIsLeftOut) {
  columns[2] = 10;
  Draw();
  EXPECT_EQ(Reddish(2), 0);
  int bluish = 0;
  for (int y = 20 + 3 + 15; y < 20 + 3 + 30; ++y)
    for (int x = 10; x < 160; ++x) bluish += GetBValue(canvas.At(x, y)) > 150 && GetRValue(canvas.At(x, y)) < 120;
  EXPECT_GT(bluish, 5);  // row 3 moves up to the second screen row
}

TEST_F(TextPanel, HandlesAreItsPensBrushAndBitmap) {
  Draw();
  for (int i = 0; i <= 2; ++i) EXPECT_EQ(GetObjectType(slots.slot[i]), static_cast<DWORD>(OBJ_PEN)) << i;
  EXPECT_EQ(GetObjectType(slots.slot[3]), static_cast<DWORD>(OBJ_BRUSH));
  BITMAP bitmap{};
  ASSERT_EQ(GetObjectW(slots.slot[4], sizeof bitmap, &bitmap), static_cast<int>(sizeof bitmap));
  EXPECT_EQ(bitmap.bmWidth, 150);
  EXPECT_EQ(bitmap.bmHeight, 100);
  EXPECT_TRUE(slots.GuardIntact());
}

TEST_F(TextPanel, PlainFrameStyleZeroIsOutlinedInTheOutlineColour) {
  Draw(0);
  EXPECT_EQ(canvas.At(10, 50), kPanel);
}

// ---- axis ticks

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

// ---- bitmap file

class BitmapFile : public testing::Test {
 protected:
  std::wstring dir = wintest::MakeTempDir(L"bmpfile");
  std::vector<HBITMAP> bitmaps;
  void TearDown() override {
    for (HBITMAP bitmap : bitmaps) DeleteObject(bitmap);
    wintest::RemoveTree(dir);
  }
  // Writes `bitmap` in the format of the screen's drawing context.
  static void Write(const wchar_t* path, HBITMAP bitmap) {
    HDC screen = GetDC(nullptr);
    SPC_WriteBitmapFile(path, bitmap, screen);
    ReleaseDC(nullptr, screen);
  }
  static std::string WrittenFile(const std::wstring& path, HBITMAP bitmap) {
    Write(path.c_str(), bitmap);
    return wintest::ReadFileBytes(path);
  }
  // A device-independent bitmap, deleted when the test ends; 8-bit ones with colour i = (i, 255 - i, i / 2).
  HBITMAP DibSection(int width, int height, int bits, void** pixels) {
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    for (int i = 0; i < 256; ++i) info.colours[i] = {BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
    bitmaps.push_back(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, pixels, nullptr, 0));
    return bitmaps.back();
  }
};

TEST_F(BitmapFile, DisplayBitmapIsWrittenWithHeadersAndBottomUpRows) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 801, 3);
  bitmaps.push_back(bitmap);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all = {0, 0, 801, 3};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetPixel(memory, 0, 0, RGB(255, 0, 0));
  SetPixel(memory, 800, 2, RGB(0, 0, 255));
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  std::string file = WrittenFile(dir + L"page.bmp", bitmap);
  ASSERT_NO_FATAL_FAILURE(ExpectHeadersOf32BitFile(file, 801, 3, 3204u * 3));
  // the first row in the file is the bottom one: pixel (800, 2) is blue; the last row holds (0, 0), red
  EXPECT_EQ(Le32(file, 54 + 800 * 4) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(Le32(file, 54 + 2 * 3204) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(Le32(file, 54 + 3204 + 4) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(BitmapFile, TwentyFourBitRowsArePaddedToFourBytes) {
  void* pixels = nullptr;
  HBITMAP bitmap = DibSection(5, 2, 24, &pixels);
  std::memset(pixels, 0x40, 16 * 2);
  static_cast<uint8_t*>(pixels)[15] = 0;  // padding of the first row
  std::string file = WrittenFile(dir + L"odd.bmp", bitmap);
  ASSERT_EQ(file.size(), 54u + 16u * 2);
  EXPECT_EQ(Le16(file, 28), 24);
  EXPECT_EQ(Le32(file, 34), 32u);
  EXPECT_EQ(Le32(file, 46), 0u);
  EXPECT_EQ(uint8_t(file[54 + 14]), 0x40);  // last byte of the fifth pixel
}

TEST_F(BitmapFile, EightBitBitmapCarriesItsColourTable) {
  void* pixels = nullptr;
  HBITMAP bitmap = DibSection(3, 2, 8, &pixels);
  static_cast<uint8_t*>(pixels)[0] = 7;
  std::string file = WrittenFile(dir + L"palette.bmp", bitmap);
  ASSERT_EQ(file.size(), 1078u + 4u * 2);
  EXPECT_EQ(Le32(file, 10), 1078u);
  EXPECT_EQ(Le32(file, 46), 256u);
  EXPECT_EQ(uint8_t(file[54 + 4 * 7 + 0]), 7);  // colour 7: blue 7, green 248, red 3
  EXPECT_EQ(uint8_t(file[54 + 4 * 7 + 1]), 248);
  EXPECT_EQ(uint8_t(file[54 + 4 * 7 + 2]), 3);
  EXPECT_EQ(uint8_t(file[1078]), 7);
}

TEST_F(BitmapFile, ExistingFileIsReplaced) {
  std::wstring path = dir + L"old.bmp";
  ASSERT_TRUE(wintest::WriteFileBytes(path, std::string(5000, 'x')));
  void* pixels = nullptr;
  EXPECT_EQ(WrittenFile(path, DibSection(4, 4, 32, &pixels)).size(), 54u + 64u);
}

TEST_F(BitmapFile, PlaceThatCannotTakeAFileGetsNothing) {
  void* pixels = nullptr;
  HBITMAP bitmap = DibSection(4, 4, 32, &pixels);
  std::wstring missing = dir + L"no such folder\\page.bmp";
  Write(missing.c_str(), bitmap);
  EXPECT_FALSE(wintest::FileExists(missing));
  Write(nullptr, bitmap);
  Write((dir + L"none.bmp").c_str(), nullptr);
  EXPECT_FALSE(wintest::FileExists(dir + L"none.bmp"));
}

}  // namespace
