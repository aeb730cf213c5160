// The GDI helpers of the SPC drawing with real GDI: bevelled frames, fonts,
// text and the UTF-16 string routines, read back from a 32-bit canvas.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "spc/gdi/draw_primitives.h"
#include "spc_draw_support.h"
#include "spc_page_support.h"

namespace {

using namespace spctest;
using namespace drawtest;

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

}  // namespace
