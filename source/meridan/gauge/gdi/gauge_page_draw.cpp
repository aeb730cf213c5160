// The gauge page in GDI: frames, title, legend, charts, text panels and the
// verdict band, each drawn from its place in the layout.
#include <cstring>
#include <string>
#include <vector>

#include "gauge/gdi/gauge_drawing.h"
#include "spc/core/draw_math.h"
#include "spc/core/panel_grid.h"
#include "spc/gdi/draw_primitives.h"
#include "spc/gdi/spc_drawing.h"

namespace {

// The page's handle table. Slots 0 to 39 hold the page's own fonts, pens,
// brushes and bitmap; from 40 each chart has 6 slots for its frame (the pens
// Plot_FillAndFrame makes and its background brush), from 90 each text panel
// its 5; from 100 on, the pens and brushes of the charts' colours, one per
// colour, width and kind, made when first needed.
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
  kChartFrameSlots = 40,
  kPanelAreaSlots = 90,
  kInkSlots = 100,
};
constexpr int kChartFrameSize = 6;  // Plot_FillAndFrame's pens 0 .. 4, the background brush at 5
constexpr int kMostCharts = (kPanelAreaSlots - kChartFrameSlots) / kChartFrameSize;
constexpr int kMostPanels = (kInkSlots - kPanelAreaSlots) / kPanelSlots;
static_assert(kPageBitmap < kChartFrameSlots, "the page's own objects lie before the charts' frames");

HGDIOBJ gaugeHandleTable[kHandleSlots];

// What each ink slot holds, so that a colour's pen or brush is made once per page.
enum class InkKind { SolidPen, DashedPen, Brush };
struct Ink {
  Colour colour;
  int32_t width;
  InkKind kind;
};
Ink inks[kHandleSlots];
int inkSlotsUsed = 0;

HGDIOBJ InkObject(Colour colour, int32_t width, InkKind kind) {
  for (int i = 0; i < inkSlotsUsed; ++i) {
    const Ink& ink = inks[kInkSlots + i];
    if (ink.colour == colour && ink.width == width && ink.kind == kind) return gaugeHandleTable[kInkSlots + i];
  }
  if (kInkSlots + inkSlotsUsed >= kHandleSlots)  // never with the page's few colours; a stock object, nothing to leak
    return GetStockObject(kind == InkKind::Brush ? BLACK_BRUSH : BLACK_PEN);
  HGDIOBJ object = kind == InkKind::Brush ? static_cast<HGDIOBJ>(CreateSolidBrush(colour))
                   : kind == InkKind::DashedPen ? static_cast<HGDIOBJ>(CreatePen(PS_DOT, 1, colour))
                                                : static_cast<HGDIOBJ>(CreatePen(PS_SOLID, width, colour));
  gaugeHandleTable[kInkSlots + inkSlotsUsed] = object;
  inks[kInkSlots + inkSlotsUsed] = {colour, width, kind};
  ++inkSlotsUsed;
  return object;
}

HPEN PenAt(int slot) { return static_cast<HPEN>(gaugeHandleTable[slot]); }
HFONT FontAt(int slot) { return static_cast<HFONT>(gaugeHandleTable[slot]); }

void MakeObjects(HDC display, const PageLayout& page) {
  wchar_t face[8];
  WStr_FromAnsi(face, "Tahoma");
  gaugeHandleTable[kFontA] = Font_Create(face, 0, page.fontAHeight, page.fontAWidth, 0);
  gaugeHandleTable[kFontB] = Font_Create(face, 1, page.fontBHeight, page.fontBWidth, 0);
  gaugeHandleTable[kWhitePen] = CreatePen(PS_SOLID, 1, kWhiteColour);
  gaugeHandleTable[kBlackPen] = CreatePen(PS_SOLID, 1, kBlackColour);
  gaugeHandleTable[kPageDarkPen] = CreatePen(PS_SOLID, 1, Color_Shade(kPageColour, 0.65f));
  gaugeHandleTable[kPageLightPen] = CreatePen(PS_SOLID, 1, Color_Shade(kPageColour, 1.15f));
  gaugeHandleTable[kPanelDarkPen] = CreatePen(PS_SOLID, 1, Color_Shade(kPanelColour, 0.65f));
  gaugeHandleTable[kPanelLightPen] = CreatePen(PS_SOLID, 1, Color_Shade(kPanelColour, 1.15f));
  gaugeHandleTable[kTickPen] = CreatePen(PS_SOLID, 1, kBlackColour);
  gaugeHandleTable[kPageBrush] = CreateSolidBrush(kPageColour);
  gaugeHandleTable[kPanelBrush] = CreateSolidBrush(kPanelColour);
  gaugeHandleTable[kPageBitmap] = CreateCompatibleBitmap(display, page.pageWidth, page.pageHeight);
}

void DeleteObjects() {
  for (HGDIOBJ& handle : gaugeHandleTable) {
    if (handle) DeleteObject(handle);
    handle = nullptr;
  }
  inkSlotsUsed = 0;
}

void Frame(HDC dc, const PageRect& r, int brushSlot, int16_t style, int darkSlot, int lightSlot) {
  Draw_Frame3D(r.left, r.top, r.right, r.bottom, dc, static_cast<HBRUSH>(gaugeHandleTable[brushSlot]), style,
               PenAt(kBlackPen), PenAt(kWhitePen), PenAt(darkSlot), PenAt(lightSlot));
}

void Text(HDC dc, const std::string& text, const PageRect& box, uint32_t format) {
  std::vector<wchar_t> wide(text.size() + 1);
  WStr_FromAnsi(wide.data(), text.c_str());
  RECT rect = {box.left, box.top, box.right, box.bottom};
  Text_Draw(dc, wide.data(), WStr_Len(wide.data()), &rect, format);
}

void Label(HDC dc, const GaugeLabel& label) {
  SetTextColor(dc, label.colour);
  Text(dc, label.text, label.box, label.format | DT_NOPREFIX);
}

void Box(HDC dc, const GaugeBox& box, HPEN outline) {
  SelectObject(dc, outline);
  SelectObject(dc, InkObject(box.colour, 1, InkKind::Brush));
  Rectangle(dc, box.left, box.top, box.right, box.bottom);
}

void Title(HDC dc, const GaugePageLayout& layout, const char* headline) {
  constexpr size_t kTitleBytes = 99;  // as the SPC page's title
  std::string title = headline ? std::string(headline, strnlen(headline, kTitleBytes)) : std::string();
  const PageLayout& page = layout.page;
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, FontAt(kFontB));
  SetTextColor(dc, kRedColour);
  Text(dc, title, page.titleText, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  SelectObject(dc, FontAt(kFontA));
  for (const GaugeBox& swatch : layout.legendSwatches) Box(dc, swatch, PenAt(kBlackPen));
  for (const GaugeLabel& label : layout.legend) Label(dc, label);
}

void Chart(HDC dc, const GaugePageLayout& layout, const GaugeChart& chart, int frameSlots) {
  const PageLayout& page = layout.page;
  SelectObject(dc, FontAt(kFontA));
  SetBkMode(dc, TRANSPARENT);
  for (const GaugeLabel& label : chart.labels) Label(dc, label);
  SetTextColor(dc, kBlackColour);
  for (const TickStrip* strip : {&chart.valueAxis, &chart.sampleAxis})
    if (strip->drawn)
      Axis_DrawTicks(dc, strip->left, strip->top, strip->width, strip->height, strip->side, PenAt(kTickPen),
                     FontAt(kFontA), page.minorTick, page.majorTick, 1.25, strip->scale.max, strip->scale.min,
                     strip->scale.step, strip->scale.steps);
  if (chart.width <= 0 || chart.height <= 0) return;
  Plot_FillAndFrame(dc, &gaugeHandleTable[frameSlots], kChartFrameSize - 1, chart.left, chart.top, chart.width,
                    chart.height, PenAt(kBlackPen), PenAt(kWhitePen), kPlotBackColour, kPanelColour);
  // Whatever the contents reach, they stay inside the plot's frame.
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, chart.left + 2, chart.top + 2, chart.left + chart.width - 2, chart.top + chart.height - 2);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, kPlotBackColour);
  for (const GaugeBox& bar : chart.bars) Box(dc, bar, PenAt(kBlackPen));
  for (const GaugeLine& line : chart.lines) {
    SelectObject(dc, InkObject(line.colour, line.width, line.dashed ? InkKind::DashedPen : InkKind::SolidPen));
    MoveToEx(dc, line.segment.x0, line.segment.y0, nullptr);
    LineTo(dc, line.segment.x1, line.segment.y1);
  }
  const int32_t h = layout.markerHalf;
  for (const GaugeMarker& marker : chart.markers) {
    SelectObject(dc, InkObject(marker.colour, 1, InkKind::SolidPen));
    SelectObject(dc, InkObject(marker.colour, 1, InkKind::Brush));
    Rectangle(dc, marker.x - h, marker.y - h, marker.x + h + 1, marker.y + h + 1);
  }
  const int32_t r = layout.ringRadius;
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  for (const GaugeMarker& ring : chart.rings) {
    SelectObject(dc, InkObject(ring.colour, layout.ringPenWidth, InkKind::SolidPen));
    Ellipse(dc, ring.x - r, ring.y - r, ring.x + r + 1, ring.y + r + 1);
  }
  RestoreDC(dc, saved);
}

void Panel(HDC dc, const GaugePanel& panel, int slots) {
  const int16_t rows = static_cast<int16_t>(panel.rows.size() < 200 ? panel.rows.size() : 200);
  std::vector<wchar_t> texts((rows + 1) * 2 * kPanelFieldSize, L'\0');
  std::vector<int16_t> columns(rows + 1, 0);
  std::vector<COLORREF> colours(rows + 1, kBlackColour);
  for (int r = 1; r <= rows; ++r) {
    const GaugePanelRow& row = panel.rows[r - 1];
    const std::string label = row.label.substr(0, kPanelFieldSize - 1);
    const std::string value = row.value.substr(0, kPanelFieldSize - 1);
    WStr_FromAnsi(texts.data() + r * 2 * kPanelFieldSize, label.c_str());
    WStr_FromAnsi(texts.data() + r * 2 * kPanelFieldSize + kPanelFieldSize, value.c_str());
    columns[r] = row.column;
    colours[r] = row.colour;
  }
  const PageRect& b = panel.box;
  Panel_DrawText(dc, &gaugeHandleTable[slots], b.left, b.top, b.right - b.left, b.bottom - b.top, rows, texts.data(),
                 columns.data(), colours.data(), kGaugePanelGap, kGaugePanelGap, 2, PenAt(kBlackPen),
                 PenAt(kWhitePen), RGB(255, 255, 225), RGB(255, 255, 242), FontAt(kFontA));
}

void Verdict(HDC dc, const GaugePageLayout& layout) {
  const PageRect& band = layout.verdictBand;
  if (band.right <= band.left || band.bottom <= band.top) return;
  const Colour colour = layout.verdict == GaugeVerdict::Good       ? kVerdictGoodColour
                        : layout.verdict == GaugeVerdict::Marginal ? kVerdictMarginalColour
                                                                   : kVerdictBadColour;
  Box(dc, {band.left, band.top, band.right, band.bottom, colour}, PenAt(kBlackPen));
  SelectObject(dc, FontAt(kFontB));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kWhiteColour);
  Text(dc, layout.verdictText, band, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void DrawPage(HDC dc, const GaugePageLayout& layout, const char* headline) {
  const PageLayout& page = layout.page;
  Frame(dc, page.frame, kPageBrush, 3, kPageDarkPen, kPageLightPen);
  Frame(dc, page.plotRegion, kPanelBrush, 2, kPanelDarkPen, kPanelLightPen);
  Frame(dc, page.titleBand, kPageBrush, 3, kPageDarkPen, kPageLightPen);
  Title(dc, layout, headline);
  for (size_t i = 0; i < layout.charts.size() && i < static_cast<size_t>(kMostCharts); ++i)
    Chart(dc, layout, layout.charts[i], kChartFrameSlots + static_cast<int>(i) * kChartFrameSize);
  for (size_t i = 0; i < layout.panels.size() && i < static_cast<size_t>(kMostPanels); ++i)
    Panel(dc, layout.panels[i], kPanelAreaSlots + static_cast<int>(i) * kPanelSlots);
  Verdict(dc, layout);
}

}  // namespace

bool Gauge_DrawAndWritePage(HDC display, const GaugePageLayout& layout, const char* headline,
                            const wchar_t* fileName) {
  DeleteObjects();
  MakeObjects(display, layout.page);
  HDC dc = CreateCompatibleDC(display);
  HBITMAP bitmap = static_cast<HBITMAP>(gaugeHandleTable[kPageBitmap]);
  const bool made = dc && bitmap;
  if (made) {
    HGDIOBJ original = SelectObject(dc, bitmap);
    DrawPage(dc, layout, headline);
    SelectObject(dc, original);  // the pixels are read from a bitmap that no context holds
    SPC_WriteBitmapFile(fileName, bitmap, display);
  }
  if (dc) DeleteDC(dc);
  DeleteObjects();
  return made;
}
