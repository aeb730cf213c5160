#include "spc/core/panel_grid.h"

#include <algorithm>
#include <cmath>

namespace {

struct Column {
  std::vector<int32_t> rows;  // row numbers in this column, ascending
  int32_t labelWidth = 0;
  int32_t valueWidth = 0;
};

int32_t FloorDiv(int32_t a, int32_t b) {
  int32_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

void Panel_PlanText(int32_t width, int32_t height, int32_t rowCount, const int32_t* labelLengths,
                    const int32_t* valueLengths, const int16_t* columns, int32_t innerGap, int32_t columnGap,
                    int32_t rowHeight, int32_t charWidth, PanelPlan* plan) {
  *plan = PanelPlan{};
  Column grid[kPanelColumns];
  for (int32_t r = 1; r <= rowCount; ++r) {
    int16_t c = columns[r];
    if (c < 0 || c >= kPanelColumns) continue;
    grid[c].rows.push_back(r);
    grid[c].labelWidth = std::max(grid[c].labelWidth, labelLengths[r]);
    grid[c].valueWidth = std::max(grid[c].valueWidth, valueLengths[r]);
  }
  int32_t textWidth = 0, mostRows = 0;
  bool any = false;
  for (const Column& column : grid) {
    if (column.rows.empty()) continue;
    textWidth += column.labelWidth + innerGap + column.valueWidth + columnGap;
    mostRows = std::max<int32_t>(mostRows, static_cast<int32_t>(column.rows.size()));
    any = true;
  }
  if (any) textWidth -= columnGap;
  plan->textWidth = textWidth;
  plan->mostRows = mostRows;
  if (rowHeight <= 0 || charWidth <= 0) return;  // no grid to place text on

  const int32_t rowsFit = FloorDiv(height - 2 * kPanelInset, rowHeight);
  const int32_t charsFit = FloorDiv(width - 2 * kPanelInset, charWidth);
  const int32_t shown = std::max(0, std::min(rowsFit, mostRows));
  const int32_t visible = std::min(charsFit, textWidth);
  plan->rowsShown = shown;
  plan->visibleChars = visible;
  const int32_t margin = kPanelInset + rowHeight / 2;
  const int32_t innerRight = width - kPanelInset;
  const int32_t firstShown = mostRows - shown;  // the last rows are kept when not all fit

  for (int32_t p = 1; p <= shown; ++p) {
    const int32_t top = kPanelInset + (p - 1) * rowHeight;
    const int32_t bottom = top + rowHeight;
    int32_t k = 0;
    for (const Column& column : grid) {
      if (column.rows.empty()) continue;
      const size_t index = static_cast<size_t>(firstShown + p - 1);
      const bool hasRow = index < column.rows.size();
      const int32_t row = hasRow ? column.rows[index] : 0;
      if (hasRow && k < visible) {
        int32_t left = margin + k * charWidth;
        int32_t right = std::min(left + labelLengths[row] * charWidth, innerRight);
        plan->cells.push_back({row, false, labelLengths[row], false, left, top, right, bottom, kPanelLabelFormat});
      }
      k += column.labelWidth + innerGap;
      if (hasRow && k < visible) {
        const int32_t end = k + column.valueWidth;
        int32_t length = valueLengths[row];
        int32_t right;
        bool blank = false;
        if (end > visible) {
          // Cut at the visible width, keeping the leading characters.
          length = std::max(0, visible - (end - length));
          right = innerRight;
          if (length == 0) blank = true;
        } else {
          right = std::min(margin + end * charWidth, innerRight);
        }
        int32_t shownLength = blank ? 1 : length;
        int32_t left = std::max(right - shownLength * charWidth, margin);
        plan->cells.push_back({row, true, length, blank, left, top, right, bottom, kPanelValueFormat});
      }
      k += column.valueWidth + columnGap;
    }
  }
}
