// Create_ChartBitmap: the page of one of the further control charts, drawn
// with the SPC page's parts (its handle table, objects, frame, title band,
// legend line, ticks, chart areas, histogram and rings) behind the same
// request lock. The computations and the layout are the core's.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "meridan_api.h"
#include "spc/core/chart_page_layout.h"
#include "spc/core/chart_page_text.h"
#include "spc/core/chart_request.h"
#include "spc/core/chart_statistics.h"
#include "spc/core/panel_grid.h"
#include "spc/gdi/chart_drawing.h"
#include "spc/gdi/draw_primitives.h"
#include "spc/gdi/spc_drawing.h"
#include "spc/spc_page_parts.h"
#include "spc/spc_request_lock.h"

namespace {

using namespace spc_page;

// Beside the SPC page's slots: the rings of the CUSUM's lower sum and of the
// moving ranges take the dispersion chart's ring pen, the limits that vary
// take their own area.
constexpr int kVaryingLimitSlots = 120;
static_assert(kLegendRingPen < kVaryingLimitSlots && kVaryingLimitSlots + kVaryingLimitsSlots <= kHandleSlots,
              "the varying limits' slots after the SPC page's, inside the table");

// The page scale of the running request, back to 1 when it ends however it ends.
struct PageScale {
  explicit PageScale(double factor) { SPC_SetScale(factor); }
  ~PageScale() { SPC_SetScale(1.0); }
  PageScale(const PageScale&) = delete;
  PageScale& operator=(const PageScale&) = delete;
};

// Everything the drawing reads, made before the first drawing object (nothing is allocated while drawing).
struct ChartPage {
  const ChartResult& result;
  const std::vector<StatRow>& panelRows;
  const ChartPageLayout& layout;
  const HistogramClasses& classes;
  const PageMarks& marks;
};

// At most this many rows: the panel's records live on the stack while it is drawn.
constexpr int kMostPanelRows = 24;

void DrawPanel(HDC dc, const PageRect& panel, const std::vector<StatRow>& rows) {
  const int16_t rowCount = static_cast<int16_t>(std::min<size_t>(rows.size() - 1, kMostPanelRows));
  wchar_t texts[(kMostPanelRows + 1) * 2 * kPanelFieldSize] = {};
  int16_t columns[kMostPanelRows + 1] = {};   // one column
  COLORREF colours[kMostPanelRows + 1] = {};  // black text
  for (int r = 1; r <= rowCount; ++r) {
    WStr_FromAnsi(&texts[r * 2 * kPanelFieldSize], rows[r].label);
    WStr_FromAnsi(&texts[r * 2 * kPanelFieldSize + kPanelFieldSize], rows[r].value);
  }
  Panel_DrawText(dc, Page_Handles() + kStatisticsPanelSlots, panel.left, panel.top, panel.right - panel.left,
                 panel.bottom - panel.top, rowCount, texts, columns, colours, 2, 0, 2,
                 Page_Pen(kBlackPen), Page_Pen(kWhitePen), kPanelColour, kPlotBackColour, Page_FontA());
}

// One series of an area tested as a single series: every flagged point is ringed.
RunTestSeries Tested(const double* values, int32_t count) {
  RunTestSeries tested;
  tested.low = tested.high = values;
  tested.count = count;
  return tested;
}

void RingFlagged(HDC dc, const ChartPage& p) {
  const PageLayout& page = p.layout.page;
  const SpcRunTests& tests = p.marks.tests;
  ChartArea upper = page.location;
  upper.series = 1;
  FlaggedPoints(dc, upper, kLocationRingPen, Tested(upper.values, upper.count), tests,
                p.result.kind == ChartKind::Cusum ? 1 : kAllRunTests);
  if (p.result.kind == ChartKind::Cusum) {
    ChartArea lower = upper;
    lower.values += kSeriesStride;
    FlaggedPoints(dc, lower, kDispersionRingPen, Tested(lower.values, lower.count), tests, kDispersionBeyondFlag);
  } else if (page.dispersionShown) {
    const ChartArea& ranges = page.dispersion;
    FlaggedPoints(dc, ranges, kDispersionRingPen, Tested(ranges.values, ranges.count), tests, kDispersionBeyondFlag);
  }
}

void DrawChartPage(HDC dc, const char* headline, const ChartPage& p) {
  const PageLayout& page = p.layout.page;
  Page_DrawFrameAndTitle(dc, page, headline);
  if (!p.marks.legend.empty()) DrawLegend(dc, page, headline, p.marks);
  DrawPanel(dc, page.panel, p.panelRows);

  Page_ChartText(dc);
  Page_Ticks(dc, page, page.locationAxis);
  Page_Ticks(dc, page, page.sampleAxis);
  if (page.location.width > 0) {
    Chart(dc, page.location, kLocationChartSlots);
    if (p.layout.varyingLimits)
      Plot_VaryingLimits(dc, Page_Handles() + kVaryingLimitSlots, page.location, p.layout.upperPath,
                         p.layout.lowerPath, p.result.upper.data(), p.result.lower.data(), kRedColour);
  }
  if (page.dispersionShown) {
    Page_ChartText(dc);
    Page_Ticks(dc, page, page.dispersionAxis);
    if (page.dispersion.width > 0) Chart(dc, page.dispersion, kDispersionChartSlots);
  }
  if (p.marks.markFlagged && page.location.width > 0) RingFlagged(dc, p);
  if (p.layout.histogramShown) {
    Page_ChartText(dc);
    Page_Ticks(dc, page, page.frequencyAxis);
    Page_Ticks(dc, page, page.histogramValueAxis);
    Histogram(dc, page.histogram, p.classes);
  }
}

int32_t MakeChartPage(HWND parent, const char* fileName, int32_t width, int32_t height, double factor,
                      const char* headline, const ChartRequest& request) {
  ChartResult result;
  if (!Chart_Compute(request, &result)) return MERIDAN_CHART_REQUEST_REFUSED;
  int32_t pageWidth = 0, pageHeight = 0;
  if (!SPC_PageSize(width, height, factor, &pageWidth, &pageHeight)) return MERIDAN_CHART_PAGE_SIZE_REFUSED;
  if (!fileName || !*fileName) return MERIDAN_CHART_NO_FILE_NAME;
  ChartOptions options;
  Chart_CheckRequest(request, &options);

  std::lock_guard<std::mutex> turn(SPC_RequestLock());
  const PageScale scale(factor);
  // The individuals' histogram: the classes of the readings, spanning the control limits as well.
  auto histogram = std::make_unique<SpcResult>();
  const bool individuals = result.kind == ChartKind::Individuals;
  if (individuals)
    SPC_ComputeRequest(Chart_HistogramRequest(request.values, request.count, result.upperLimit, result.lowerLimit),
                       *histogram);
  auto layout = std::make_unique<ChartPageLayout>();
  Chart_LayoutPage(result, individuals ? &histogram->classes : nullptr, width, height, factor, layout.get());
  PageMarks marks;
  marks.markFlagged = options.markFlagged;
  marks.tests.flags = result.flags;
  marks.legend = Chart_Legend(result, options.markFlagged, LegendForm::Full);
  marks.shortLegend = Chart_Legend(result, options.markFlagged, LegendForm::Short);
  const std::vector<StatRow> panelRows = Chart_PanelRows(result);
  const ChartPage page{result, panelRows, *layout, histogram->classes, marks};
  Page_DrawAndWrite(parent, fileName, layout->page, [&](HDC dc) { DrawChartPage(dc, headline, page); });
  return MERIDAN_CHART_PAGE_DRAWN;
}

}  // namespace

extern "C" int32_t WINAPI Create_ChartBitmap(HWND parent, const char* FileName, int32_t width, int32_t height,
                                             double factor, const char* Headline, uint32_t chart,
                                             const double* values, const double* sizes, int32_t count,
                                             int32_t SampleSize, uint32_t SPCNorm, const double* options,
                                             int32_t optionCount) {
  ChartRequest request;
  request.chart = chart;
  request.values = values;
  request.sizes = sizes;
  request.count = count;
  request.SampleSize = SampleSize;
  request.SPCNorm = SPCNorm;
  request.options = options;
  request.optionCount = optionCount;
  // Nothing may escape into the caller's macro: a page the memory cannot hold is not made.
  try {
    return MakeChartPage(parent, FileName, width, height, factor, Headline, request);
  } catch (...) {
    return MERIDAN_CHART_PAGE_NOT_MADE;
  }
}
