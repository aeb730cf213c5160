// The character grid of the text panel: which row goes on which screen row,
// where each label and value text stands and how much of it is shown. All
// positions are whole character cells; the glyph widths play no part.
// Platform-free; Panel_DrawText draws from this.
#pragma once
#include <cstdint>
#include <vector>

constexpr int32_t kPanelColumns = 10;
constexpr int32_t kPanelFieldSize = 100;  // code units per label or value field, terminator included
constexpr int32_t kPanelInset = 3;        // frame width around the text area

constexpr uint32_t kPanelLabelFormat = 36;  // left-aligned, vertically centred, single line
constexpr uint32_t kPanelValueFormat = 38;  // right-aligned, vertically centred, single line

struct PanelCell {
  int32_t row;       // row record drawn (1 .. rowCount)
  bool isValue;      // false: the label field, true: the value field
  int32_t length;    // code units of the field to draw, from its start
  bool blank;        // draw a single blank instead (a value cut away entirely)
  int32_t left, top, right, bottom;
  uint32_t format;
};

// The single letters are the names the panel's description gives these
// figures; the drawing code and the tests use them too.
struct PanelPlan {
  int32_t textWidth;    // N: characters of all columns with their gaps
  int32_t mostRows;     // O: rows of the fullest column
  int32_t rowsShown;    // M: rows that fit, at most O (the last O - M rows are the ones shown)
  int32_t visibleChars; // V: characters that fit across the text area, at most N
  std::vector<PanelCell> cells;  // in drawing order; the row's colour is set before its label
};

// Rows 1 .. rowCount: labelLengths[r], valueLengths[r] (code units, at most
// 99) and columns[r]; rows whose column is outside 0 .. 9 are left out.
// rowHeight and charWidth are the grid's cell size in pixels.
void Panel_PlanText(int32_t width, int32_t height, int32_t rowCount, const int32_t* labelLengths,
                    const int32_t* valueLengths, const int16_t* columns, int32_t innerGap, int32_t columnGap,
                    int32_t rowHeight, int32_t charWidth, PanelPlan* plan);
