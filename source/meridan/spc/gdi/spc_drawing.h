// The drawing routines of the SPC page: the two plots, the text panel and the
// statistics panel, the axis ticks, and the bitmap file writer. Each routine
// stores every pen and brush it creates in the handle slots it is given; the
// page deletes them when the request ends. The memory pages and panels are
// drawn into is the library's, kept from one request to the next
// (kept_bitmap.h): callers take turns, as chart requests do.
#pragma once
#include <windows.h>

#include <cstdint>

#include "spc/core/draw_math.h"
#include "spc/gdi/draw_primitives.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_run_tests.h"

// Creates a pen or a brush and stores it in its handle slot for the page to delete.
inline HPEN MakePen(HGDIOBJ* handles, int slot, int style, int width, COLORREF colour) {
  HPEN pen = CreatePen(style, width, colour);
  handles[slot] = pen;
  return pen;
}

inline HBRUSH MakeBrush(HGDIOBJ* handles, int slot, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  handles[slot] = brush;
  return brush;
}

// What both plots start with: the pens of their sunken frame (slots 0 to 2), their dash-dot
// centre line (3) and dotted grid (4), and the background brush in `backBrushSlot`; then the
// plot area filled and framed, with the background colour behind dotted and dashed lines.
struct PlotLinePens {
  HPEN centre, grid;
};

inline PlotLinePens Plot_FillAndFrame(HDC dc, HGDIOBJ* handles, int backBrushSlot, int32_t left, int32_t top,
                                      int32_t width, int32_t height, HPEN framePenA, HPEN framePenB,
                                      COLORREF backColour, COLORREF frameColour) {
  MakePen(handles, 0, PS_SOLID, 1, backColour);
  HPEN lightPen = MakePen(handles, 1, PS_SOLID, 1, Color_Shade(frameColour, 1.15f));
  HPEN darkPen = MakePen(handles, 2, PS_SOLID, 1, Color_Shade(frameColour, 0.65f));
  PlotLinePens pens{MakePen(handles, 3, PS_DASHDOT, 1, RGB(0, 0, 0)),
                    MakePen(handles, 4, PS_DOT, 1, Color_Shade(backColour, 0.5f))};
  HBRUSH backBrush = MakeBrush(handles, backBrushSlot, backColour);
  SetBkColor(dc, backColour);
  Draw_Frame3D(left, top, left + width, top + height, dc, backBrush, 2, framePenA, framePenB, darkPen, lightPen);
  return pens;
}

// Handle slots each routine fills from the first slot it is given.
constexpr int kControlChartSlots = 21;
// Without a highlight bar (highlightSample 0) a control chart leaves its last
// slot, the highlight brush, empty: it fills this many.
constexpr int kControlChartSlotsWithoutHighlight = 20;
constexpr int kHistogramSlots = 13;
constexpr int kPanelSlots = 4;

// One chart area: sunken frame, dotted grid, limit lines, centre line, the
// series joined by lines, and markers coloured by the limits they pass.
// Point i of series s is values[(s - 1) * 70000 + i], i from 1.
void Plot_ControlChart(HDC dc, HGDIOBJ* handles, int32_t left, int32_t top, int32_t width, int32_t height,
                       int32_t firstSample, int32_t lastSample, double yMin, double yMax, const double* values,
                       int32_t count, int32_t series, double upper1, double lower1, double upper2, double lower2,
                       double upper3, double lower3, int16_t lineMask, double centre, int16_t gridOn,
                       double xGridStep, int16_t xGridCount, double yGridStep, int16_t yGridCount, HPEN framePenA,
                       HPEN framePenB, COLORREF backColour, COLORREF frameColour, COLORREF lineColour,
                       COLORREF pointColour, COLORREF colour1, COLORREF colour2, COLORREF colour3,
                       int16_t crossMarkers, int32_t highlightSample, COLORREF highlightColour);

// Rings around the points of a chart area (the area and series as given to
// Plot_ControlChart) whose subgroup has any of `bits` in flags[j]; the pen is
// stored in `penSlot` for the page to delete.
void Plot_FlaggedPoints(HDC dc, HGDIOBJ* penSlot, int32_t left, int32_t top, int32_t width, int32_t height,
                        int32_t firstSample, int32_t lastSample, double yMin, double yMax, const double* values,
                        int32_t count, int32_t series, const RunTestSeries& tested, const uint16_t* flags,
                        uint16_t bits);

// Histogram bars (lying: growing to the right), the fitted normal curve, two
// limit lines and the mean line.
void Plot_Histogram(HDC dc, HGDIOBJ* handles, int32_t left, int32_t top, int32_t width, int32_t height, int16_t lying,
                    int16_t openEnds, int16_t classes, const int32_t* counts, int32_t freqMin, int32_t freqMax,
                    double valueMin, double valueMax, double classesHigh, double classesLow, double line1,
                    double line2, double mean, double sigma, int16_t curveMode, int16_t gridOn, double freqGridStep,
                    int16_t freqGridCount, double valueGridStep, int16_t valueGridCount, HPEN framePenA,
                    HPEN framePenB, COLORREF backColour, COLORREF frameColour, COLORREF lineColour,
                    COLORREF barColour, COLORREF endBarColour, COLORREF curveColour);

// A framed block of labelled values on a character grid, painted off-screen
// and copied onto dc at (x, y). Row r of texts is 200 code units from r * 200:
// the label in the first 100, the value text in the second 100.
void Panel_DrawText(HDC dc, HGDIOBJ* handles, int32_t x, int32_t y, int32_t width, int32_t height, int16_t rowCount,
                    const wchar_t* texts, const int16_t* columns, const COLORREF* colours, int32_t innerGap,
                    int32_t columnGap, int16_t frameStyle, HPEN penA, HPEN penB, COLORREF outlineColour,
                    COLORREF backColour, HFONT font);

// Ticks and labels of one axis in the strip beside a plot (side 0 above,
// 1 right, 2 below, 3 left). Leaves the pen and the font selected.
void Axis_DrawTicks(HDC dc, int32_t left, int32_t top, int32_t width, int32_t height, int16_t side, HPEN pen,
                    HFONT font, int16_t minorLength, int16_t majorLength, double spacing, double max, double min,
                    double step, int16_t steps);

// The statistics panel of a request at (x, y, width, height), handles from `handles` on.
void SPC_DrawStatisticsPanel(HDC dc, HGDIOBJ* handles, int32_t x, int32_t y, int32_t width, int32_t height,
                             const SpcRequest& request, const SpcStatistics& stats, HPEN penA, HPEN penB, HFONT font);

// Writes `bitmap` (in the format of `dc`'s display) as a bitmap file. A file
// that cannot be made or written completely is left out; false then.
// The rows pass through band memory the library keeps.
bool SPC_WriteBitmapFile(const wchar_t* fileName, HBITMAP bitmap, HDC dc);
