// Create_SPCBitmap: a chart request from its values to the bitmap file. The
// computations and the layout are the core's; this file makes the drawing
// objects, hands each region to its routine and cleans up.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "meridan_api.h"
#include "spc/core/draw_math.h"
#include "spc/gdi/draw_primitives.h"
#include "spc/gdi/page_objects.h"
#include "spc/core/page_layout.h"
#include "spc/gdi/spc_drawing.h"
#include "spc/core/run_test_marks.h"
#include "spc/core/spc_request.h"
#include "spc/core/spc_request_options.h"
#include "spc/core/spc_run_tests.h"
#include "spc/spc_page_parts.h"
#include "spc/spc_request_lock.h"

namespace spc_page {

// The page draws its control charts without a highlight bar, so each fills
// only the slots before its highlight brush: the location chart's area then
// ends where the dispersion chart's begins, and that one where the
// histogram's begins. (With a highlight bar the brush of one chart would take
// the first slot of the next area.)
constexpr int32_t kNoHighlight = 0;
static_assert(kStatisticsPanelSlots + kPanelSlots <= kLocationChartSlots, "statistics panel and location chart");
static_assert(kLocationChartSlots + kControlChartSlotsWithoutHighlight <= kDispersionChartSlots,
              "location and dispersion chart");
static_assert(kDispersionChartSlots + kControlChartSlotsWithoutHighlight <= kHistogramPlotSlots,
              "dispersion chart and histogram");
static_assert(kHistogramPlotSlots + kHistogramSlots <= kHandleSlots, "the histogram's slots lie inside the table");
static_assert(kHistogramPlotSlots + kHistogramSlots <= kLocationRingPen && kLegendRingPen < kHandleSlots,
              "the run tests' rings after the histogram, inside the table");

constexpr size_t kTitleBytes = 99;
constexpr UINT kTitleFormat = DT_SINGLELINE | DT_VCENTER;

HGDIOBJ* Handles(int firstSlot) { return Page_Handles() + firstSlot; }

void Chart(HDC dc, const ChartArea& a, int firstSlot) {
  Plot_ControlChart(dc, Handles(firstSlot), a.left, a.top, a.width, a.height, a.firstSample, a.lastSample,
                    a.yMin, a.yMax, a.values, a.count, a.series, a.upper1, a.lower1, a.upper2, a.lower2, a.upper3,
                    a.lower3, a.lineMask, a.centre, 1, a.xGridStep, a.xGridCount, a.yGridStep, a.yGridCount,
                    Page_Pen(kBlackPen), Page_Pen(kWhitePen), kPlotBackColour, kPanelColour, kLineColour, kBlackColour,
                    kRedColour, a.colour2, a.colour3, 1, kNoHighlight, kGreenColour);
}

void Histogram(HDC dc, const HistogramArea& h, const HistogramClasses& classes) {
  Plot_Histogram(dc, Handles(kHistogramPlotSlots), h.left, h.top, h.width, h.height, 1, 0, kHistogramClasses,
                 classes.counts, 0, h.freqMax, h.valueMin, h.valueMax, h.valueMax, h.valueMin, h.line1, h.line2,
                 h.mean, h.sigma, 1, 1, h.freqGridStep, h.freqGridCount, h.valueGridStep, h.valueGridCount,
                 Page_Pen(kBlackPen), Page_Pen(kWhitePen), kPlotBackColour, kPanelColour, kRedColour, kGreyColour,
                 kRedColour, kLineColour);
}

void FlaggedPoints(HDC dc, const ChartArea& a, int penSlot, const RunTestSeries& tested, const SpcRunTests& tests,
                   uint16_t bits) {
  Plot_FlaggedPoints(dc, Handles(penSlot), a.left, a.top, a.width, a.height, a.firstSample, a.lastSample,
                     a.yMin, a.yMax, a.values, a.count, a.series, tested, tests.flags.data(), bits);
}

std::vector<wchar_t> Widened(const std::string& text) {
  std::vector<wchar_t> wide(text.size() + 1);
  WStr_FromAnsi(wide.data(), text.c_str());
  return wide;
}

int32_t TextWidth(HDC dc, HGDIOBJ font, const std::vector<wchar_t>& text) {
  SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.data(), WStr_Len(text.data()), &extent);
  return extent.cx;
}

// The legend line at the right of the title band, after a ring like those on
// the charts: in full where the title leaves room, else in its short form, cut
// with an ellipsis if even that does not fit.
void DrawLegend(HDC dc, const PageLayout& page, const char* headline, const PageMarks& marks) {
  char cut[kTitleBytes + 1] = "";
  if (headline) std::strncat(cut, headline, kTitleBytes);
  const int32_t titleEnd = page.titleText.left + TextWidth(dc, Page_Handles()[kFontB], Widened(cut));
  const double scale = SPC_GetScale();
  const int32_t r = RunTest_RingRadius(scale), gap = 4 * r;
  const int32_t room = page.titleText.right - titleEnd - gap - 2 * r;
  std::vector<wchar_t> text = Widened(marks.legend);
  int32_t width = TextWidth(dc, Page_FontA(), text);  // measured once; font A stays selected for the drawing
  if (width > room) {
    text = Widened(marks.shortLegend);
    width = TextWidth(dc, Page_FontA(), text);
  }
  SetBkColor(dc, kPageColour);
  SetTextColor(dc, kBlackColour);
  RECT box = {titleEnd + gap + 2 * r, page.titleText.top, page.titleText.right, page.titleText.bottom};
  if (box.left > box.right) box.left = box.right;
  Text_Draw(dc, text.data(), WStr_Len(text.data()), &box, kTitleFormat | DT_RIGHT | DT_END_ELLIPSIS);
  if (width > box.right - box.left) width = box.right - box.left;
  const int32_t x = box.right - width - 2 * r, y = (box.top + box.bottom) / 2;
  HPEN pen = CreatePen(PS_SOLID, RunTest_RingPenWidth(scale), kFlaggedColour);
  Page_Handles()[kLegendRingPen] = pen;
  SelectObject(dc, pen);
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  Ellipse(dc, x - r, y - r, x + r + 1, y + r + 1);
}

void DrawPage(HDC dc, const PageLayout& page, const char* headline, const SpcRequest& request,
              const SpcResult& result, const PageMarks* marks) {
  Page_DrawFrameAndTitle(dc, page, headline);
  if (!page.content) return;
  if (marks && !marks->legend.empty()) DrawLegend(dc, page, headline, *marks);
  const bool ringed = marks && marks->markFlagged && page.controlCharts;

  const PageRect& panel = page.panel;
  SPC_DrawStatisticsPanel(dc, Handles(kStatisticsPanelSlots), panel.left, panel.top, panel.right - panel.left,
                          panel.bottom - panel.top, request, result.stats, Page_Pen(kBlackPen), Page_Pen(kWhitePen),
                          Page_FontA());
  Page_ChartText(dc);
  Page_Ticks(dc, page, page.locationAxis);
  Page_Ticks(dc, page, page.sampleAxis);
  Chart(dc, page.location, kLocationChartSlots);
  if (ringed) FlaggedPoints(dc, page.location, kLocationRingPen, marks->location, marks->tests, 0xFF);
  if (page.dispersionShown) {
    Page_ChartText(dc);
    Page_Ticks(dc, page, page.dispersionAxis);
    Chart(dc, page.dispersion, kDispersionChartSlots);
    if (ringed)
      FlaggedPoints(dc, page.dispersion, kDispersionRingPen, marks->dispersion, marks->tests, kDispersionBeyondFlag);
  }
  Page_ChartText(dc);
  Page_Ticks(dc, page, page.frequencyAxis);
  Page_Ticks(dc, page, page.histogramValueAxis);
  Histogram(dc, page.histogram, result.classes);
}

// One page from its request. Without options it is today's page; with them,
// the limits may come from given values and the run tests may be marked.
void MakePage(HWND parent, const char* fileName, int32_t width, int32_t height, double factor, const char* headline,
              const SpcRequest& request, const SpcOptions* options) {
  int32_t pageWidth = 0, pageHeight = 0;
  if (!SPC_PageSize(width, height, factor, &pageWidth, &pageHeight)) return;
  std::lock_guard<std::mutex> turn(SPC_RequestLock());
  SPC_SetScale(factor);
  SpcResult result;
  if (SPC_ComputeRequest(request, result, options ? &options->given : nullptr)) {
    PageLayout page;
    SPC_LayoutPage(request, result, width, height, factor, &page);
    PageMarks marks;
    if (options) {
      // Charted against given limits, the location chart's centre line is the given centre.
      if (result.centreGiven) page.location.centre = result.limitsCentre;
      marks.markFlagged = options->markFlagged;
      SPC_RunTestsOfRequest(result, options->runTests, &marks.tests);
      marks.location = SPC_LocationTestSeries(result);
      marks.dispersion = SPC_DispersionTestSeries(result);
      marks.legend = RunTest_Legend(result, marks.tests, options->markFlagged, LegendForm::Full);
      marks.shortLegend = RunTest_Legend(result, marks.tests, options->markFlagged, LegendForm::Short);
    }
    const PageMarks* shownMarks = options ? &marks : nullptr;
    Page_DrawAndWrite(parent, fileName, page,
                      [&](HDC dc) { DrawPage(dc, page, headline, request, result, shownMarks); });
  }
  SPC_SetScale(1.0);
}

}  // namespace spc_page

using spc_page::MakePage;

extern "C" int32_t WINAPI Create_SPCBitmap(HWND parent, const char* FileName, int32_t width, int32_t height,
                                           double factor, const char* Headline, uint32_t typ, const double* meaval,
                                           int32_t numofval, double NomSize, double USL, double LSL,
                                           uint32_t USLOnOff, uint32_t LSLOnOff, int32_t SampleSize,
                                           uint32_t SPCNorm) {
  const SpcRequest request =
      SPC_RequestOfArguments(typ, meaval, numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, SampleSize, SPCNorm);
  MakePage(parent, FileName, width, height, factor, Headline, request, nullptr);
  return 0;
}

extern "C" int32_t WINAPI Create_SPCBitmapEx(HWND parent, const char* FileName, int32_t width, int32_t height,
                                             double factor, const char* Headline, uint32_t typ,
                                             const double* meaval, int32_t numofval, double NomSize, double USL,
                                             double LSL, uint32_t USLOnOff, uint32_t LSLOnOff, int32_t SampleSize,
                                             uint32_t SPCNorm, const double* options, int32_t optionCount) {
  SpcOptions read;
  if (!SPC_ReadOptions(options, optionCount, &read)) return 0;
  const SpcRequest request =
      SPC_RequestOfArguments(typ, meaval, numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, SampleSize, SPCNorm);
  MakePage(parent, FileName, width, height, factor, Headline, request, &read);
  return 0;
}
