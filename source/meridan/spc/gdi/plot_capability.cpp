// The capability page's parts, drawn from the core's layout.
#include <string>
#include <vector>

#include "spc/core/panel_grid.h"
#include "spc/gdi/capability_drawing.h"
#include "spc/gdi/draw_primitives.h"
#include "spc/gdi/page_objects.h"
#include "spc/gdi/spc_drawing.h"

namespace {

// The page's areas in the handle table, from kFirstRoutineSlot on: each plot
// gets the five pens and the brush Plot_FillAndFrame makes, the panel the
// five objects of a text panel; then the page's own pens and brushes.
enum Slot {
  kHistogramSlots = kFirstRoutineSlot,  // 45 .. 50
  kProbabilitySlots = 55,               // 55 .. 60
  kPanelArea = 65,                      // 65 .. 69
  kBarBrush = 75,
  kLimitPen = 76,
  kPointPen = 77,
  kVerdictBrush = 78,
  kCurvePens = 80,  // one per curve, at most 3
};
constexpr int kPlotBackBrush = 5;  // within a plot's area
constexpr int kCurveSlots = 3;
static_assert(kHistogramSlots + kPlotBackBrush < kProbabilitySlots, "histogram and probability plot");
static_assert(kProbabilitySlots + kPlotBackBrush < kPanelArea, "probability plot and panel");
static_assert(kPanelArea + kPanelSlots <= kBarBrush, "panel and the page's own objects");
static_assert(kCurvePens + kCurveSlots <= kHandleSlots, "the curves' pens inside the table");

constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS;

std::vector<wchar_t> Wide(const std::string& text) {
  std::vector<wchar_t> wide(text.size() + 1);
  WStr_FromAnsi(wide.data(), text.c_str());
  return wide;
}

void Lines(HDC dc, HPEN pen, const std::vector<Segment>& segments) {
  if (segments.empty()) return;
  SelectObject(dc, pen);
  for (const Segment& s : segments) {
    MoveToEx(dc, s.x0, s.y0, nullptr);
    LineTo(dc, s.x1, s.y1);
  }
}

HPEN NewPen(int slot, int style, int width, COLORREF colour) { return MakePen(Page_Handles(), slot, style, width, colour); }

int32_t TextWidth(HDC dc, const std::vector<wchar_t>& text) {
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.data(), WStr_Len(text.data()), &extent);
  return extent.cx;
}

// Writes `text` from `x` in the caption box; returns where it ends.
int32_t CaptionText(HDC dc, int32_t x, const PageRect& box, const std::string& text) {
  std::vector<wchar_t> wide = Wide(text);
  RECT r = {x, box.top, box.right, box.bottom};
  Text_Draw(dc, wide.data(), WStr_Len(wide.data()), &r, kCaptionFormat);
  return x + TextWidth(dc, wide);
}

int32_t LegendEntry(HDC dc, int32_t x, const PageRect& box, HPEN pen, const std::string& text, int32_t lineLength,
                    int32_t gap) {
  if (x + lineLength >= box.right) return x;
  const int32_t y = (box.top + box.bottom) / 2;
  SelectObject(dc, pen);
  MoveToEx(dc, x, y, nullptr);
  LineTo(dc, x + lineLength, y);
  return CaptionText(dc, x + lineLength + gap / 2, box, text) + gap;
}

void DrawHistogram(HDC dc, const CapabilityPageLayout& layout, double scale) {
  const CapabilityPlot& plot = layout.histogram;
  HGDIOBJ* handles = Page_Handles() + kHistogramSlots;
  const PlotLinePens pens = Plot_FillAndFrame(dc, handles, kPlotBackBrush, plot.left, plot.top, plot.width,
                                              plot.height, Page_Pen(kBlackPen), Page_Pen(kWhitePen),
                                              kPlotBackColour, kPanelColour);
  const int width = scale > 1.5 ? 3 : 2;
  HBRUSH bars = MakeBrush(Page_Handles(), kBarBrush, kGreyColour);
  HPEN limitPen = NewPen(kLimitPen, PS_SOLID, width, kRedColour);
  SelectObject(dc, Page_Pen(kBlackPen));
  SelectObject(dc, bars);
  for (const HistogramBar& bar : layout.bars) Rectangle(dc, bar.left, bar.top, bar.right, bar.bottom);
  std::vector<HPEN> curvePens;
  for (size_t c = 0; c < layout.curves.size() && c < kCurveSlots; ++c) {
    curvePens.push_back(NewPen(kCurvePens + static_cast<int>(c), PS_SOLID, width, layout.curves[c].colour));
    Lines(dc, curvePens.back(), layout.curves[c].segments);
  }
  Lines(dc, limitPen, layout.limitLines);
  SetBkColor(dc, kPlotBackColour);
  Lines(dc, pens.centre, layout.targetLine);

  // The legend in the caption line.
  Page_ChartText(dc);
  const PageRect& caption = layout.histogram.caption;
  const int32_t gap = layout.page.charWidth * 2, lineLength = layout.page.charWidth * 3;
  int32_t x = caption.left;
  for (size_t c = 0; c < curvePens.size(); ++c)
    x = LegendEntry(dc, x, caption, curvePens[c], layout.curves[c].label, lineLength, gap);
  x = LegendEntry(dc, x, caption, limitPen, "LSL, USL", lineLength, gap);
  SetBkColor(dc, kPanelColour);
  LegendEntry(dc, x, caption, pens.centre, "target", lineLength, gap);
  Page_Ticks(dc, layout.page, layout.frequencyAxis);
  Page_Ticks(dc, layout.page, layout.histogramValueAxis);
}

void DrawProbabilityPlot(HDC dc, const CapabilityPageLayout& layout, double scale) {
  const CapabilityPlot& plot = layout.probability;
  HGDIOBJ* handles = Page_Handles() + kProbabilitySlots;
  const PlotLinePens pens = Plot_FillAndFrame(dc, handles, kPlotBackBrush, plot.left, plot.top, plot.width,
                                              plot.height, Page_Pen(kBlackPen), Page_Pen(kWhitePen),
                                              kPlotBackColour, kPanelColour);
  for (const ProbabilityLabel& label : layout.probabilityLabels) Lines(dc, pens.grid, {label.grid});
  const size_t reference = layout.curves.size() == 3 ? 2 : 0;  // the fitted curve's pen, else the overall one
  if (reference < layout.curves.size() && Page_Handles()[kCurvePens + reference])
    Lines(dc, static_cast<HPEN>(Page_Handles()[kCurvePens + reference]), layout.referenceLine);
  HPEN pointPen = NewPen(kPointPen, PS_SOLID, scale > 1.5 ? 2 : 1, kBlackColour);
  SelectObject(dc, pointPen);
  const int32_t reach = scale > 1.5 ? 3 : 2;
  for (const PlotPoint& p : layout.points) {
    MoveToEx(dc, p.x - reach, p.y - reach, nullptr);
    LineTo(dc, p.x + reach + 1, p.y + reach + 1);
    MoveToEx(dc, p.x - reach, p.y + reach, nullptr);
    LineTo(dc, p.x + reach + 1, p.y - reach - 1);
  }
  Page_ChartText(dc);
  SelectObject(dc, Page_Pen(kTickPen));
  for (const ProbabilityLabel& label : layout.probabilityLabels) {
    Lines(dc, Page_Pen(kTickPen), {label.tick});
    std::vector<wchar_t> text = Wide(label.text);
    RECT box = {label.box.left, label.box.top, label.box.right, label.box.bottom};
    Text_Draw(dc, text.data(), WStr_Len(text.data()), &box, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
  CaptionText(dc, plot.caption.left, plot.caption, layout.probabilityCaption);
  Page_Ticks(dc, layout.page, layout.probabilityValueAxis);
}

// The rows in three columns of the text panel: the label and first figure,
// then the second and the third figure under empty labels.
void DrawPanel(HDC dc, const CapabilityPageLayout& layout) {
  const int16_t rows = static_cast<int16_t>(layout.rows.size());
  const int32_t records = 3 * rows;
  std::vector<wchar_t> texts((records + 1) * 2 * kPanelFieldSize, L'\0');
  std::vector<int16_t> columns(records + 1, -1);
  std::vector<COLORREF> colours(records + 1, kBlackColour);
  for (int16_t r = 0; r < rows; ++r) {
    const CapabilityPanelRow& row = layout.rows[r];
    for (int c = 0; c < 3; ++c) {
      const int32_t record = 1 + c * rows + r;
      wchar_t* label = texts.data() + record * 2 * kPanelFieldSize;
      std::string value = row.values[c].substr(0, kPanelFieldSize - 1);
      WStr_FromAnsi(label, c == 0 ? row.label.substr(0, kPanelFieldSize - 1).c_str() : "");
      WStr_FromAnsi(label + kPanelFieldSize, value.c_str());
      columns[record] = static_cast<int16_t>(c);
      colours[record] = row.heading ? kLineColour : kBlackColour;
    }
  }
  const PageRect& p = layout.panel;
  Panel_DrawText(dc, Page_Handles() + kPanelArea, p.left, p.top, p.right - p.left, p.bottom - p.top,
                 static_cast<int16_t>(records), texts.data(), columns.data(), colours.data(), 1, 0, 2,
                 Page_Pen(kBlackPen), Page_Pen(kWhitePen), kPanelColour, kPlotBackColour, Page_FontA());
}

void DrawVerdict(HDC dc, const CapabilityPageLayout& layout) {
  const PageRect& v = layout.verdict;
  HBRUSH brush = MakeBrush(Page_Handles(), kVerdictBrush, layout.capable ? kCapableColour : kNotCapableColour);
  Draw_Frame3D(v.left, v.top, v.right, v.bottom, dc, brush, 3, Page_Pen(kBlackPen), Page_Pen(kWhitePen),
               Page_Pen(kPageDarkPen), Page_Pen(kPageLightPen));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kWhiteColour);
  const int32_t middle = (v.top + v.bottom) / 2;
  // Centred where it fits, else from the left and cut with an ellipsis.
  auto line = [&](HGDIOBJ font, const std::string& line, RECT box) {
    SelectObject(dc, font);
    std::vector<wchar_t> text = Wide(line);
    const bool fits = TextWidth(dc, text) <= box.right - box.left;
    Text_Draw(dc, text.data(), WStr_Len(text.data()), &box,
              DT_SINGLELINE | DT_VCENTER | (fits ? DT_CENTER : DT_LEFT | DT_END_ELLIPSIS));
  };
  line(Page_Handles()[kFontB], layout.verdictText, {v.left + 3, v.top + 2, v.right - 3, middle + 2});
  line(Page_FontA(), layout.verdictDetail, {v.left + 3, middle, v.right - 3, v.bottom - 2});
  SetBkMode(dc, OPAQUE);
}

}  // namespace

void Capability_DrawPage(HDC dc, const CapabilityPageLayout& layout, const char* headline) {
  Page_DrawFrameAndTitle(dc, layout.page, headline);
  const double scale = SPC_GetScale();
  DrawHistogram(dc, layout, scale);
  DrawProbabilityPlot(dc, layout, scale);
  DrawPanel(dc, layout);
  DrawVerdict(dc, layout);
}
