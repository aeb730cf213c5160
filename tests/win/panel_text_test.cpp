// Panel_DrawText with real GDI: the framed block of labelled values, painted
// off-screen and copied onto a 32-bit canvas whose pixels are read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "spc/gdi/kept_bitmap.h"
#include "spc/gdi/spc_drawing.h"
#include "spc_draw_support.h"
#include "spc_page_support.h"

namespace {

using namespace spctest;
using namespace drawtest;

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

TEST_F(TextPanel, HandlesAreItsPensAndBrushAndItPaintsInTheKeptBitmap) {
  Draw();
  for (int i = 0; i <= 2; ++i) EXPECT_EQ(GetObjectType(slots.slot[i]), static_cast<DWORD>(OBJ_PEN)) << i;
  EXPECT_EQ(GetObjectType(slots.slot[3]), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_TRUE(slots.GuardIntact());
  BITMAP bitmap{};
  ASSERT_EQ(GetObjectW(Kept_PanelBitmap().bitmap, sizeof bitmap, &bitmap), static_cast<int>(sizeof bitmap));
  EXPECT_EQ(bitmap.bmWidth, 150);
  EXPECT_EQ(bitmap.bmHeight, 100);
}

TEST_F(TextPanel, APanelOfTheSameSizeMakesNoNewBitmapAndPaintsOverTheLastOne) {
  Draw();
  std::vector<COLORREF> first;
  for (int y = 20; y < 120; ++y)
    for (int x = 10; x < 160; ++x) first.push_back(canvas.At(x, y));
  HBITMAP kept = Kept_PanelBitmap().bitmap;
  // Another panel in between leaves its pixels in the kept bitmap.
  WStr_Copy(texts + 200 + 100, L"999999.9999");
  Slots other{kPanelSlots};
  Panel_DrawText(canvas.dc(), other.slot, 10, 20, 150, 100, 3, texts, columns, colours, 2, 0, 0, penA, penB, kRed,
                 kOrange, font);
  WStr_Copy(texts + 200 + 100, L"10.5000");
  size_t objects = GdiObjects();
  Slots again{kPanelSlots};
  Panel_DrawText(canvas.dc(), again.slot, 10, 20, 150, 100, 3, texts, columns, colours, 2, 0, 2, penA, penB, kPanel,
                 kBack, font);
  EXPECT_EQ(Kept_PanelBitmap().bitmap, kept);
  EXPECT_EQ(GdiObjects(), objects + 4);  // its pens and brush only
  std::vector<COLORREF> second;
  for (int y = 20; y < 120; ++y)
    for (int x = 10; x < 160; ++x) second.push_back(canvas.At(x, y));
  EXPECT_EQ(first, second);
}

TEST_F(TextPanel, PlainFrameStyleZeroIsOutlinedInTheOutlineColour) {
  Draw(0);
  EXPECT_EQ(canvas.At(10, 50), kPanel);
}

}  // namespace
