// The parts of the SPC page that the other pages in its style draw with, beside
// what every page shares (spc/gdi/page_objects.h): the SPC page's areas in the
// handle table, a control chart area, the histogram, the rings of flagged
// points and the legend line of the title band. Defined in spc_page.cpp; call
// only while holding SPC_RequestLock, with the page scale set.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "spc/core/page_layout.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_run_tests.h"
#include "spc/gdi/page_objects.h"

namespace spc_page {

// The SPC page's areas in the page's handle table: each drawing routine fills
// its area from the area's first slot: the statistics panel (a text panel,
// from 45), the location chart (55), the dispersion chart (75) and the
// histogram (95); the rest stay empty.
enum Slot {
  kStatisticsPanelSlots = kFirstRoutineSlot,
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

// A control chart area, its first handle slot given.
void Chart(HDC dc, const ChartArea& a, int firstSlot);
void Histogram(HDC dc, const HistogramArea& h, const HistogramClasses& classes);
// Rings round the points of `tested` that the tests in `bits` flagged.
void FlaggedPoints(HDC dc, const ChartArea& a, int penSlot, const RunTestSeries& tested, const SpcRunTests& tests,
                   uint16_t bits);
// The legend line of `marks` at the right of the title band.
void DrawLegend(HDC dc, const PageLayout& page, const char* headline, const PageMarks& marks);

}  // namespace spc_page
