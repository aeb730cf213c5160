// Geometry of the page of the further control charts (Create_ChartBitmap), in
// the style of the SPC page: its frame, title band, fonts and tick lengths,
// the figures panel at the right, the chart with its axes, the moving range
// chart under the individuals chart with the histogram beside them, and the
// limits drawn point by point where they vary. Platform-free: the page's GDI
// code only walks this.
#pragma once
#include <cstdint>
#include <vector>

#include "spc/core/chart_statistics.h"
#include "spc/core/page_layout.h"
#include "spc/core/plot_geometry.h"
#include "spc/core/spc_request.h"

// Share of the page's width taken by the figures panel (its labels are longer than the SPC page's).
constexpr double kChartPanelShare = 0.22;
// On pages whose fonts are large for their width the panel widens to hold this many characters (its longest
// label, the gap and a value of four decimals), up to this share of the width.
constexpr int32_t kChartPanelChars = 21;
constexpr double kChartPanelMostShare = 0.4;

struct ChartPageLayout {
  // The parts as the SPC page names them: `location` is the chart, `dispersion`
  // the moving range chart (dispersionShown), `histogram` the individuals'
  // histogram (histogramShown), `panel` the figures panel.
  PageLayout page;
  bool histogramShown = false;
  // Limits that differ from point to point (p and u with varying sizes, the
  // EWMA's exact limits): the chart draws no constant limit lines, and the
  // page draws these paths and marks the points beyond their own limits.
  bool varyingLimits = false;
  std::vector<Segment> upperPath, lowerPath;
  // The CUSUM's two sums as the chart plots them: C⁺_i at i, −C⁻_i at kSeriesStride + i.
  std::vector<double> twoSums;
};

// Lays out the page of a computed chart. `classes` are the histogram classes
// of the individual readings (individuals chart only; may be null for the
// others). The page scale must already hold `factor`; call only with a size
// that SPC_PageSize accepts.
void Chart_LayoutPage(const ChartResult& result, const HistogramClasses* classes, int32_t width, int32_t height,
                      double factor, ChartPageLayout* layout);

// The limits of points 1 .. count (limits[i]) as a path over a chart area:
// steps centred on each point (each limit holds for its own sample), or,
// `joined`, straight lines from point to point (the EWMA's smoothly widening
// limits). Cut to the plot's inner box; limits that are not numbers leave a gap.
std::vector<Segment> Chart_LimitPath(const ChartArea& area, const double* limits, int32_t count, bool joined);

// The request of the run chart whose histogram classes the individuals chart
// shows: the readings, with the control limits spanning the classes as the
// tolerance limits span them on the SPC page.
SpcRequest Chart_HistogramRequest(const double* values, int32_t count, double upperLimit, double lowerLimit);
