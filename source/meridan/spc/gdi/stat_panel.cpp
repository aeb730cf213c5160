// The statistics panel at the right of the SPC page.
#include "spc/gdi/draw_primitives.h"
#include "spc/core/panel_grid.h"
#include "spc/gdi/spc_drawing.h"
#include "spc/core/stat_panel_rows.h"

void SPC_DrawStatisticsPanel(HDC dc, HGDIOBJ* handles, int32_t x, int32_t y, int32_t width, int32_t height,
                             const SpcRequest& request, const SpcStatistics& stats, HPEN penA, HPEN penB, HFONT font) {
  StatRow rows[kStatRows + 1];
  StatPanel_ComposeRows(request, stats, rows);
  wchar_t texts[(kStatRows + 1) * 2 * kPanelFieldSize] = {};
  int16_t columns[kStatRows + 1] = {};   // one column
  COLORREF colours[kStatRows + 1] = {};  // black text
  for (int r = 1; r <= kStatRows; ++r) {
    WStr_FromAnsi(texts + r * 2 * kPanelFieldSize, rows[r].label);
    WStr_FromAnsi(texts + r * 2 * kPanelFieldSize + kPanelFieldSize, rows[r].value);
  }
  Panel_DrawText(dc, handles, x, y, width, height, kStatRows, texts, columns, colours, 2, 0, 2, penA, penB,
                 RGB(255, 255, 225), RGB(255, 255, 242), font);
}
