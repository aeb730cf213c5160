// The text panel: labelled values on a character grid, painted off-screen and
// copied onto the page.
#include <vector>

#include "spc/core/draw_math.h"
#include "spc/gdi/draw_primitives.h"
#include "spc/gdi/kept_bitmap.h"
#include "spc/core/panel_grid.h"
#include "spc/core/plot_geometry.h"
#include "spc/gdi/spc_drawing.h"

namespace {

// The panel is painted into the library's kept panel bitmap, which is in no slot.
enum Slot { kOutlinePen = 0, kLightPen = 1, kDarkPen = 2, kBackBrush = 3 };

constexpr int32_t kRowRecord = 2 * kPanelFieldSize;

// Code units before the terminator, within the field (at most 99).
int32_t FieldLength(const wchar_t* field) {
  int32_t length = 0;
  while (length < kPanelFieldSize - 1 && field[length]) ++length;
  return length;
}

}  // namespace

void Panel_DrawText(HDC dc, HGDIOBJ* handles, int32_t x, int32_t y, int32_t width, int32_t height, int16_t rowCount,
                    const wchar_t* texts, const int16_t* columns, const COLORREF* colours, int32_t innerGap,
                    int32_t columnGap, int16_t frameStyle, HPEN penA, HPEN penB, COLORREF outlineColour,
                    COLORREF backColour, HFONT font) {
  if (width <= 0 || height <= 0) return;
  const int32_t rows = rowCount > 0 && texts && columns && colours ? rowCount : 0;
  HPEN outlinePen = CreatePen(PS_SOLID, 1, outlineColour);
  HPEN lightPen = CreatePen(PS_SOLID, 1, Color_Shade(backColour, 1.15f));
  HPEN darkPen = CreatePen(PS_SOLID, 1, Color_Shade(backColour, 0.65f));
  HBRUSH backBrush = CreateSolidBrush(backColour);
  HBITMAP bitmap = Kept_Bitmap(Kept_PanelBitmap(), dc, width, height);
  handles[kOutlinePen] = outlinePen;
  handles[kLightPen] = lightPen;
  handles[kDarkPen] = darkPen;
  handles[kBackBrush] = backBrush;
  HDC panel = CreateCompatibleDC(dc);
  if (!panel) return;
  HGDIOBJ pageBitmap = bitmap ? SelectObject(panel, bitmap) : nullptr;
  SetBkColor(panel, backColour);
  Draw_Frame3D(0, 0, width, height, panel, backBrush, frameStyle, penA, penB, darkPen,
               frameStyle == 0 ? outlinePen : lightPen);

  std::vector<int32_t> labelLengths(rows + 1), valueLengths(rows + 1);
  for (int32_t r = 1; r <= rows; ++r) {
    labelLengths[r] = FieldLength(texts + r * kRowRecord);
    valueLengths[r] = FieldLength(texts + r * kRowRecord + kPanelFieldSize);
  }
  PanelPlan plan;
  Panel_PlanText(width, height, rows, labelLengths.data(), valueLengths.data(), columns, innerGap, columnGap,
                 SPC_RowHeight(), SPC_CharWidth(), &plan);
  SelectObject(panel, font);
  wchar_t blank[] = L" ";
  for (const PanelCell& cell : plan.cells) {
    if (!cell.isValue) SetTextColor(panel, colours[cell.row]);
    const wchar_t* field = texts + cell.row * kRowRecord + (cell.isValue ? kPanelFieldSize : 0);
    RECT box = {cell.left, cell.top, cell.right, cell.bottom};
    if (cell.blank)
      Text_Draw(panel, blank, 1, &box, cell.format);
    else
      Text_Draw(panel, field, cell.length, &box, cell.format);
  }

  BitBlt(dc, x, y, width, height, panel, 0, 0, SRCCOPY);
  if (pageBitmap) SelectObject(panel, pageBitmap);
  DeleteDC(panel);
}
