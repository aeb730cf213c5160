// Create_SPCBitmap through MERIDAN.dll, read back from the file it writes:
// the headers, the page size, the frame, title and panel colours at their
// computed places, limit lines and markers where their values map to, the
// histogram and the statistics panel. Places come from the core's own layout
// of the same request (with the constants table beside the test loaded here
// as well).
#include <algorithm>

#include "spc/core/draw_math.h"
#include "spc/gdi/draw_primitives.h"
#include "spc/gdi/spc_drawing.h"
#include "spc_page_support.h"

namespace {

using namespace spctest;

// ---- the file

TEST_F(SpcPage, HeadersFieldByField) {
  ExpectHeadersOf32BitFile(Written(Request{}).bytes, 800, 600, 800u * 4 * 600);
}

TEST_F(SpcPage, OddWidthGivesRowsOf3204Bytes) {
  Request request;
  request.width = 801;
  PageFile page = Written(request);
  EXPECT_EQ(page.width, 801);
  EXPECT_EQ(Le32(page.bytes, 34), 3204u * 600);
  EXPECT_EQ(page.bytes.size(), 54u + 3204u * 600);
  // the last pixel of the bottom row is the page frame's outline, the next row starts with it again
  EXPECT_EQ(Le32(page.bytes, 54 + 800 * 4) & 0xFFFFFF, 0u);
}

TEST_F(SpcPage, FactorTwoDoublesThePage) {
  Request request;
  request.factor = 2;
  PageFile page = Written(request);
  EXPECT_EQ(page.width, 1600);
  EXPECT_EQ(page.height, 1200);
  EXPECT_TRUE(page.Valid());
  request.factor = 0.5;
  page = Written(request, L"half.bmp");
  EXPECT_EQ(page.width, 400);
  EXPECT_EQ(page.height, 300);
}

// ---- frame, title, panel

TEST_F(SpcPage, FrameRegionAndPanelColoursAtTheirPlaces) {
  Request request;
  auto [result, layout, page] = Drawn(request);
  ASSERT_TRUE(page.Valid());
  // raised page frame: outline pen B (white), light edge inside it, dark edge in from the bottom
  EXPECT_EQ(page.At(0, 300), kWhite);
  EXPECT_EQ(page.At(1, 300), Color_Shade(kPage, 1.15f));
  EXPECT_EQ(page.At(799, 300), kBlack);
  EXPECT_EQ(page.At(798, 300), Color_Shade(kPage, 0.65f));
  EXPECT_EQ(page.At(3, 300), kPage);
  // sunken plot region 5 in: dark edge, pen A inside it, panel colour within
  EXPECT_EQ(page.At(5, 300), Color_Shade(kPanel, 0.65f));
  EXPECT_EQ(page.At(6, 300), kBlack);
  EXPECT_EQ(page.At(8, 300), kPanel);
  // title band: page colour
  EXPECT_EQ(page.At(layout.titleBand.right - 5, layout.titleBand.top + 5), kPage);
  EXPECT_EQ(page.At(layout.titleBand.left, layout.titleBand.top + 5), kWhite);
  EXPECT_EQ(page.At(layout.titleBand.left + 1, layout.titleBand.top + 5), Color_Shade(kPage, 1.15f));
  // statistics panel: sunken in shades of the plot background, plot background inside
  const PageRect& panel = layout.panel;
  EXPECT_EQ(page.At(panel.left, panel.top + 100), Color_Shade(kPlotBack, 0.65f));
  EXPECT_EQ(page.At(panel.left + 1, panel.top + 100), kBlack);
  EXPECT_EQ(page.At(panel.right - 5, panel.bottom - 5), kPlotBack);
  EXPECT_EQ(page.At(panel.left - 2, panel.top + 100), kPanel);  // the gap between histogram and panel
  // a chart: sunken in shades of the panel colour, plot background inside
  const ChartArea& chart = layout.location;
  EXPECT_EQ(page.At(chart.left, chart.top + 20), Color_Shade(kPanel, 0.65f));
  EXPECT_EQ(page.At(chart.left + 1, chart.top + 20), kBlack);
}

TEST_F(SpcPage, TitleIsRedOnThePageColourInItsBand) {
  Request request;
  request.titleText = "MMMMMMMMMM";
  auto [result, layout, page] = Drawn(request);
  const PageRect& text = layout.titleText;
  EXPECT_GT(page.Count(kRed, text.left, text.top, text.left + 150, text.bottom), 100);
  EXPECT_EQ(page.Count(kRed, text.left + 200, layout.titleBand.top, layout.titleBand.right,
                       layout.titleBand.bottom), 0);
  EXPECT_EQ(page.Count(kRed, 0, 0, 800, layout.titleBand.top), 0);
}

// The title region of `page` against the title drawn here at the layout's place.
bool TitleLooksLike(const PageFile& page, const PageLayout& layout, const wchar_t* title) {
  Canvas canvas(page.width, page.height, kPage);
  HFONT font = Font_Create(L"Tahoma", 1, layout.fontBHeight, layout.fontBWidth, 0);
  SelectObject(canvas.dc(), font);
  SetTextColor(canvas.dc(), kRed);
  SetBkColor(canvas.dc(), kPage);
  RECT box = {layout.titleText.left, layout.titleText.top, layout.titleText.right, layout.titleText.bottom};
  Text_Draw(canvas.dc(), title, WStr_Len(title), &box, DT_SINGLELINE | DT_VCENTER);
  bool same = true;
  for (int y = box.top; y < box.bottom && same; ++y)
    for (int x = box.left; x < box.right && same; ++x) same = page.At(x, y) == canvas.At(x, y);
  DeleteObject(font);
  return same;
}

TEST_F(SpcPage, TitleBytesAbove127ShowAsLatin1Characters) {
  Request request;
  request.titleText = "Ma\xDF \xE4 \xB5m";
  auto [result, layout, page] = Drawn(request);
  EXPECT_TRUE(TitleLooksLike(page, layout, L"Ma\u00DF \u00E4 \u00B5m"));
  EXPECT_FALSE(TitleLooksLike(page, layout, L"Ma? ? ?m"));
}

TEST_F(SpcPage, TitleIsCutAfter99Bytes) {
  Request request;
  request.width = 2000;  // room for all of it
  request.titleText = std::string(98, 'i') + "W" + "MMMMMMMMMM";
  auto [result, layout, page] = Drawn(request);
  std::wstring first99(98, L'i');
  EXPECT_TRUE(TitleLooksLike(page, layout, (first99 + L"W").c_str()));
  EXPECT_FALSE(TitleLooksLike(page, layout, first99.c_str()));
}

TEST_F(SpcPage, NullTitleIsAnEmptyOne) {
  Request request;
  request.nullTitle = true;
  auto [result, layout, page] = Drawn(request);
  ASSERT_TRUE(page.Valid());
  EXPECT_EQ(page.Count(kRed, layout.titleBand.left, layout.titleBand.top, layout.titleBand.right,
                       layout.titleBand.bottom), 0);
}

// ---- charts

int RowCount(const PageFile& page, COLORREF colour, const ChartArea& chart, int y) {
  return page.Count(colour, chart.left + 2, y, chart.left + chart.width - 2, y + 1);
}

TEST_F(SpcPage, ControlLimitLinesAreRedAtTheRowsTheirValuesMapTo) {
  Request request;  // pooled sigma and three-sigma limits: no table constant needed
  auto [result, layout, page] = Drawn(request);
  const ChartArea& chart = layout.location;
  const int width = chart.width - 4;
  for (double limit : {result.limits.upperControl, result.limits.lowerControl}) {
    int y = ValueRow(chart, limit);
    EXPECT_GT(RowCount(page, kRed, chart, y), width * 9 / 10) << "limit " << limit << " at row " << y;
  }
  // centre line: the mean, two rows of black dashes and dots
  int centre = ValueRow(chart, result.stats.mean);
  EXPECT_GT(RowCount(page, kBlack, chart, centre), width / 3);
  EXPECT_GT(RowCount(page, kBlack, chart, centre - 1), width / 3);
  EXPECT_EQ(RowCount(page, kRed, chart, (centre + ValueRow(chart, result.limits.upperControl)) / 2 + 1) +
                RowCount(page, kRed, chart, (centre + ValueRow(chart, result.limits.upperControl)) / 2 - 1),
            0);
}

TEST_F(SpcPage, WarningAndDispersionLimitLinesAtTheirRows) {
  if (SPC_GetConstant(975) == 0 || SPC_GetConstant(425) == 0)
    GTEST_SKIP() << "the constants table beside the test lacks the warning and range-chart factors";
  Request request;
  auto [result, layout, page] = Drawn(request);
  const ChartArea& chart = layout.location;
  const int width = chart.width - 4;
  for (double warning : {result.limits.upperWarning, result.limits.lowerWarning}) {  // dashed
    int y = ValueRow(chart, warning);
    EXPECT_GT(RowCount(page, kRed, chart, y), width / 3) << "warning " << warning;
    EXPECT_LT(RowCount(page, kRed, chart, y), width * 9 / 10) << "warning " << warning;
  }
  // no red row between the upper warning and the upper control limit
  int between = (ValueRow(chart, result.limits.upperControl) + ValueRow(chart, result.limits.upperWarning)) / 2;
  EXPECT_EQ(RowCount(page, kRed, chart, between), 0);
  // the range chart's warning line lies on its limit and dashes one of the limit's two rows
  const ChartArea& spread = layout.dispersion;
  int y = ValueRow(spread, result.limits.dispersionUpper);
  ASSERT_EQ(result.limits.dispersionUpperWarning, result.limits.dispersionUpper);
  int fullest = 0;
  for (int row = y - 1; row <= y + 1; ++row) fullest = std::max(fullest, RowCount(page, kRed, spread, row));
  EXPECT_GT(fullest, width * 9 / 10);
  EXPECT_GT(RowCount(page, kRed, spread, y), width / 3);
}

TEST_F(SpcPage, MarkersAreRedBeyondALimitAndBlackInside) {
  Request request = RunChartOf(Values(30));
  request.values[7] = 10.7;  // above USL 10.5, inside the class range
  request.values[20] = 9.35;
  auto [result, layout, page] = Drawn(request);
  const ChartArea& chart = layout.location;
  ASSERT_EQ(chart.lastSample, 30);
  for (int i = 1; i <= 30; ++i) {
    COLORREF expected = (i == 7 || i == 20) ? kRed : kBlack;
    EXPECT_EQ(page.At(SampleColumn(chart, i), ValueRow(chart, request.values[i])), expected) << "point " << i;
  }
}

TEST_F(SpcPage, SubgroupMeanBeyondTheControlLimitHasARedMarker) {
  Request request;
  SpcResult result;
  // Shift subgroup 11 up until its mean lies between the upper control limit and the top of the chart.
  PageLayout layout;
  double mean = 0;
  bool placed = false;
  for (double shift = 0.01; shift < 1 && !placed; shift += 0.005) {
    request.values = Values(125);
    for (int i = 51; i <= 55; ++i) request.values[i] += shift;
    layout = request.Layout(&result);
    mean = SPC_LocationSeries()[11];
    double top = result.limits.upperControl + 0.05 * (result.limits.upperControl - result.limits.lowerControl);
    placed = mean > result.limits.upperControl && mean < top && mean < layout.location.yMax;
  }
  ASSERT_TRUE(placed);
  PageFile page = Written(request);
  const ChartArea& chart = layout.location;
  EXPECT_EQ(page.At(SampleColumn(chart, 11), ValueRow(chart, mean)), kRed);
  // a subgroup inside the warning limits (there is none when the table has no warning factor)
  for (int j = 1; j <= 25; ++j) {
    double inside = SPC_LocationSeries()[j];
    if (inside < result.limits.upperWarning && inside > result.limits.lowerWarning) {
      EXPECT_EQ(page.At(SampleColumn(chart, j), ValueRow(chart, inside)), kBlack) << "subgroup " << j;
      break;
    }
  }
}

// Black pixels inside a chart's plot area, away from its frame and its centre line.
int MarkerPixels(const PageFile& page, const ChartArea& chart, double centre) {
  int centreRow = ValueRow(chart, centre);
  int n = 0;
  for (int y = chart.top + 3; y < chart.top + chart.height - 3; ++y)
    if (y != centreRow && y != centreRow - 1)
      n += page.Count(kBlack, chart.left + 3, y, chart.left + chart.width - 3, y + 1);
  return n;
}

TEST_F(SpcPage, MarkersUpTo200PointsAndNoneFrom201) {
  Request request = RunChartOf(Values(200));
  auto [result, layout, page] = Drawn(request);
  EXPECT_GT(MarkerPixels(page, layout.location, result.stats.mean), 400);
  request.values = Values(201);
  layout = request.Layout(&result);
  page = Written(request, L"201.bmp");
  EXPECT_EQ(MarkerPixels(page, layout.location, result.stats.mean), 0);
  EXPECT_GT(page.Count(kBlue, layout.location.left, layout.location.top, layout.location.left + layout.location.width,
                       layout.location.top + layout.location.height), 300);  // the line is there
}

TEST_F(SpcPage, RunChartOfKindFiveHasTwelvePositionsAndTheLimitLines) {
  Request request = RunChartOf(Values(12));
  request.typ = 5;
  auto [result, layout, page] = Drawn(request);
  ASSERT_FALSE(layout.controlCharts);
  const ChartArea& chart = layout.location;
  EXPECT_EQ(chart.lastSample, 12);
  for (int i = 1; i <= 12; ++i)
    EXPECT_EQ(page.At(SampleColumn(chart, i), ValueRow(chart, request.values[i])), kBlack) << "point " << i;
  for (double limit : {request.usl, request.lsl})
    EXPECT_GT(RowCount(page, kRed, chart, ValueRow(chart, limit)), (chart.width - 4) * 9 / 10);
  // the histogram beside it on the same value scale: its limit lines on the same rows
  const HistogramArea& h = layout.histogram;
  int y = ValueRow(chart, request.usl);
  EXPECT_EQ(Plot_ValueY(Plot_InnerBox(h.left, h.top, h.width, h.height), request.usl, h.valueMin, h.valueMax), y);
  EXPECT_GT(page.Count(kRed, h.left + 2, y, h.left + h.width - 2, y + 1), (h.width - 4) * 9 / 10);
}

TEST_F(SpcPage, RunChartOfKindZeroShowsOnlyAsManyValuesAsSubgroups) {
  Request request;
  request.typ = 0;
  request.sampleSize = 5;
  request.values = Values(100);
  auto [result, layout, page] = Drawn(request);
  const ChartArea& chart = layout.location;
  ASSERT_EQ(chart.lastSample, 20);
  EXPECT_EQ(page.At(SampleColumn(chart, 20), ValueRow(chart, request.values[20])), kBlack);
  int right = SampleColumn(chart, 20) + 8;
  EXPECT_EQ(page.Count(kBlue, right, chart.top + 3, chart.left + chart.width - 3, chart.top + chart.height - 3), 0);

  request.typ = 1;
  layout = request.Layout(&result);
  page = Written(request, L"all.bmp");
  const ChartArea& all = layout.location;
  ASSERT_EQ(all.lastSample, 100);
  EXPECT_EQ(page.At(SampleColumn(all, 100), ValueRow(all, request.values[100])), kBlack);
}

TEST_F(SpcPage, RangeOfAMillionLeavesTheChartWithoutAxes) {
  Request request = RunChartOf(std::vector<double>{0.0, 0.0, 2e6, 5e5, 1.5e6});
  request.usl = 1e6;
  request.lsl = 0;
  auto [result, layout, page] = Drawn(request);
  ASSERT_TRUE(page.Valid());
  const ChartArea& chart = layout.location;
  // nothing but the panel colour left of the chart and below it
  int left = layout.plotRegion.left + 5;
  EXPECT_EQ(page.Count(kPanel, left, chart.top, chart.left - 1, chart.top + chart.height),
            (chart.left - 1 - left) * chart.height);
  int below = chart.top + chart.height + 1;
  EXPECT_EQ(page.Count(kPanel, chart.left, below, chart.left + chart.width, layout.plotRegion.bottom - 5),
            chart.width * (layout.plotRegion.bottom - 5 - below));
  EXPECT_GT(page.Count(kBlue, chart.left, chart.top, chart.left + chart.width, chart.top + chart.height), 50);
}

// ---- histogram

TEST_F(SpcPage, HistogramBarsAndCurveStayInTheirRectangle) {
  Request request;
  request.values = Values(500, 10, 0.2);
  auto [result, layout, page] = Drawn(request);
  const HistogramArea& h = layout.histogram;
  int inside = page.Count(kGrey, h.left, h.top, h.left + h.width, h.top + h.height);
  EXPECT_GT(inside, 1000);
  EXPECT_EQ(page.Count(kGrey, 0, 0, page.width, page.height), inside);
  int curve = page.Count(kBlue, h.left, h.top, h.left + h.width, h.top + h.height);
  EXPECT_GT(curve, 200);
  // the tallest class: its bar reaches count / (peak + 2) of the plot's width
  int tallest = 1;
  for (int c = 2; c <= 15; ++c)
    if (result.classes.counts[c] > result.classes.counts[tallest]) tallest = c;
  const PlotBox box = Plot_InnerBox(h.left, h.top, h.width, h.height);
  double lower = h.valueMin + (tallest - 1) * (h.valueMax - h.valueMin) / 15;
  double middle = lower + (h.valueMax - h.valueMin) / 30;
  int y = Plot_ValueY(box, middle, h.valueMin, h.valueMax);
  int length = static_cast<int>(std::floor((box.right - box.left) * double(result.classes.counts[tallest]) /
                                           h.freqMax + 0.5));
  EXPECT_EQ(page.At(box.left + length - 3, y), kGrey);
  EXPECT_NE(page.At(box.left + length + 2, y), kGrey);
}

// ---- statistics panel

TEST_F(SpcPage, StatisticsPanelShowsTheRowsWorkedOutByHand) {
  // 9.9, 10.0, 10.1, 10.2: mean 10.05, s = sqrt(0.05 / 3) = 0.129099, range 0.3;
  // Cm = 1 / (6 s) = 1.29; Cmk = 0.45 / (3 s) = 1.16; one value per subgroup: Cp = Cm, Cpk = Cmk.
  Request request = RunChartOf(std::vector<double>{0.0, 9.9, 10.0, 10.1, 10.2});
  auto [result, layout, page] = Drawn(request);
  const char* rows[16][2] = {{"USL", "10.5000"}, {"Nom", "10.0000"}, {"LSL", "9.5000"}, {"N", "4"},
                             {"+NG", "0"},       {"-NG", "0"},       {"P", "0.0000"},   {"Xq", "10.0500"},
                             {"Max", "10.2000"}, {"Min", "9.9000"},  {"R", "0.3000"},   {"S", "0.1291"},
                             {"Cm", "1.29"},     {"Cmk", "1.16"},    {"Cp", "1.29"},    {"Cpk", "1.16"}};
  std::vector<wchar_t> texts(17 * 200, 0);
  for (int r = 1; r <= 16; ++r) {
    WStr_FromAnsi(&texts[r * 200], rows[r - 1][0]);
    WStr_FromAnsi(&texts[r * 200 + 100], rows[r - 1][1]);
  }
  int16_t columns[17] = {};
  COLORREF colours[17] = {};
  const PageRect& panel = layout.panel;
  Canvas canvas(page.width, page.height, kPanel);
  HFONT font = Font_Create(L"Tahoma", 0, layout.fontAHeight, layout.fontAWidth, 0);
  HPEN penA = CreatePen(PS_SOLID, 1, kBlack), penB = CreatePen(PS_SOLID, 1, kWhite);
  HGDIOBJ slots[kPanelSlots] = {};
  Panel_DrawText(canvas.dc(), slots, panel.left, panel.top, panel.right - panel.left, panel.bottom - panel.top, 16,
                 texts.data(), columns, colours, 2, 0, 2, penA, penB, kPanel, kPlotBack, font);
  int differing = 0;
  for (int y = panel.top; y < panel.bottom; ++y)
    for (int x = panel.left; x < panel.right; ++x) differing += page.At(x, y) != canvas.At(x, y);
  EXPECT_EQ(differing, 0);
  // and the panel holds text at all: 16 rows of ink in black
  EXPECT_GT(page.Count(kBlack, panel.left + 3, panel.top + 3, panel.right - 3, panel.top + 3 + 16 * 15), 300);
  for (HGDIOBJ h : slots) DeleteObject(h);
  DeleteObject(font);
  DeleteObject(penA);
  DeleteObject(penB);
}

}  // namespace
