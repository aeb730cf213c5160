// The parts of the SPC page that the other pages in its style draw with: the
// handle table of the running request with its slots, the page's own drawing
// objects, the frame, the title band and its legend line, axis ticks, a
// control chart area, the histogram, the rings of flagged points, and drawing
// a page into its bitmap file. Defined in spc_page.cpp; call only while
// holding SPC_RequestLock, with the page scale set.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "spc/core/page_layout.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_run_tests.h"

namespace spc_page {

// The page's handle table: every drawing object of a request has a slot, and
// all of them are deleted when the request ends. Slots 0 to 39 hold the
// page's own fonts, pens, brushes and bitmap (the gaps are slots the page does
// not use). From 45 on each drawing routine gets an area of its own, which it
// fills from the area's first slot: the statistics panel (a text panel, from
// 45), the location chart (55), the dispersion chart (75) and the histogram
// (95); the rest stay empty.
constexpr int kHandleSlots = 300;

enum Slot {
  kFontA = 0,
  kFontB = 1,
  kWhitePen = 10,
  kBlackPen = 11,
  kPageDarkPen = 13,
  kPageLightPen = 14,
  kPanelDarkPen = 16,
  kPanelLightPen = 17,
  kTickPen = 18,
  kPageBrush = 30,
  kPanelBrush = 31,
  kPageBitmap = 39,
  kStatisticsPanelSlots = 45,
  kLocationChartSlots = 55,
  kDispersionChartSlots = 75,
  kHistogramPlotSlots = 95,
  kLocationRingPen = 110,
  kDispersionRingPen = 111,
  kLegendRingPen = 112,
};

// What the extended page adds: the run tests' marks and the legend line.
struct PageMarks {
  bool markFlagged = false;
  SpcRunTests tests;
  RunTestSeries location, dispersion;
  std::string legend, shortLegend;  // empty: no legend line
};

extern HGDIOBJ gdiHandleTable[kHandleSlots];

HGDIOBJ Handle(int slot);
HPEN PenAt(int slot);
HFONT FontA();
// The page's frame, plot region and title band (with the title), as on every page.
void Frame(HDC dc, const PageRect& r, int brushSlot, int16_t style, int darkSlot, int lightSlot);
void DrawTitle(HDC dc, const PageLayout& page, const char* headline);
// Font A, black on the panel colour: what the ticks and charts expect selected.
void ChartText(HDC dc);
void Ticks(HDC dc, const PageLayout& page, const TickStrip& strip);
void Chart(HDC dc, const ChartArea& a, int firstSlot);
void Histogram(HDC dc, const HistogramArea& h, const HistogramClasses& classes);
void FlaggedPoints(HDC dc, const ChartArea& a, int penSlot, const RunTestSeries& tested, const SpcRunTests& tests,
                   uint16_t bits);
// The legend line of `marks` at the right of the title band.
void DrawLegend(HDC dc, const PageLayout& page, const char* headline, const PageMarks& marks);
// Makes the page's objects, draws the page into its bitmap with `drawPage`,
// writes the file (a page with content only) and deletes every object of the table.
void DrawAndWrite(HWND parent, const char* fileName, const PageLayout& page,
                  const std::function<void(HDC)>& drawPage);

}  // namespace spc_page
