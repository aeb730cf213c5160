#include "spc/gdi/page_objects.h"

#include <cstring>
#include <vector>

#include "spc/core/draw_math.h"
#include "spc/gdi/draw_primitives.h"
#include "spc/gdi/kept_bitmap.h"
#include "spc/gdi/spc_drawing.h"

namespace {

// Every drawing object of the running request; all deleted when it ends.
HGDIOBJ gdiHandleTable[kHandleSlots];

constexpr size_t kTitleBytes = 99;
constexpr UINT kTitleFormat = DT_SINGLELINE | DT_VCENTER;

HPEN Pen(int slot, COLORREF colour) {
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  gdiHandleTable[slot] = pen;
  return pen;
}

HGDIOBJ Handle(int slot) { return gdiHandleTable[slot]; }

void MakeObjects(const PageLayout& page) {
  wchar_t face[8];
  WStr_FromAnsi(face, "Tahoma");
  gdiHandleTable[kFontA] = Font_Create(face, 0, page.fontAHeight, page.fontAWidth, 0);
  gdiHandleTable[kFontB] = Font_Create(face, 1, page.fontBHeight, page.fontBWidth, 0);
  Pen(kWhitePen, kWhiteColour);
  Pen(kBlackPen, kBlackColour);
  Pen(kPageDarkPen, Color_Shade(kPageColour, 0.65f));
  Pen(kPageLightPen, Color_Shade(kPageColour, 1.15f));
  Pen(kPanelDarkPen, Color_Shade(kPanelColour, 0.65f));
  Pen(kPanelLightPen, Color_Shade(kPanelColour, 1.15f));
  Pen(kTickPen, kBlackColour);
  gdiHandleTable[kPageBrush] = CreateSolidBrush(kPageColour);
  gdiHandleTable[kPanelBrush] = CreateSolidBrush(kPanelColour);
}

void Frame(HDC dc, const PageRect& r, int brushSlot, int16_t style, int darkSlot, int lightSlot) {
  Draw_Frame3D(r.left, r.top, r.right, r.bottom, dc, static_cast<HBRUSH>(Handle(brushSlot)), style,
               Page_Pen(kBlackPen), Page_Pen(kWhitePen), Page_Pen(darkSlot), Page_Pen(lightSlot));
}

bool WritePage(const char* fileName, HBITMAP bitmap, HDC display) {
  if (!fileName) return false;
  std::vector<wchar_t> name(std::strlen(fileName) + 1);
  WStr_FromAnsi(name.data(), fileName);
  return SPC_WriteBitmapFile(name.data(), bitmap, display);
}

void DeleteObjects() {
  for (HGDIOBJ& handle : gdiHandleTable) {
    if (handle) DeleteObject(handle);
    handle = nullptr;
  }
}

}  // namespace

HGDIOBJ* Page_Handles() { return gdiHandleTable; }
HPEN Page_Pen(int slot) { return static_cast<HPEN>(gdiHandleTable[slot]); }
HFONT Page_FontA() { return static_cast<HFONT>(gdiHandleTable[kFontA]); }

void Page_DrawFrameAndTitle(HDC dc, const PageLayout& page, const char* headline) {
  Frame(dc, page.frame, kPageBrush, 3, kPageDarkPen, kPageLightPen);
  Frame(dc, page.plotRegion, kPanelBrush, 2, kPanelDarkPen, kPanelLightPen);
  Frame(dc, page.titleBand, kPageBrush, 3, kPageDarkPen, kPageLightPen);
  char cut[kTitleBytes + 1] = "";
  if (headline) {
    size_t length = 0;
    while (length < kTitleBytes && headline[length]) ++length;
    std::memcpy(cut, headline, length);
    cut[length] = '\0';
  }
  wchar_t title[kTitleBytes + 1];
  WStr_FromAnsi(title, cut);
  SetBkColor(dc, kPageColour);
  SetTextColor(dc, kRedColour);
  SelectObject(dc, Handle(kFontB));
  RECT box = {page.titleText.left, page.titleText.top, page.titleText.right, page.titleText.bottom};
  Text_Draw(dc, title, WStr_Len(title), &box, kTitleFormat);
}

void Page_ChartText(HDC dc) {
  SelectObject(dc, Page_FontA());
  SetTextColor(dc, kBlackColour);
  SetBkColor(dc, kPanelColour);
}

void Page_Ticks(HDC dc, const PageLayout& page, const TickStrip& strip) {
  if (!strip.drawn) return;
  Axis_DrawTicks(dc, strip.left, strip.top, strip.width, strip.height, strip.side, Page_Pen(kTickPen), Page_FontA(),
                 page.minorTick, page.majorTick, 1.25, strip.scale.max, strip.scale.min, strip.scale.step,
                 strip.scale.steps);
}

bool Page_DrawAndWrite(HWND parent, const char* fileName, const PageLayout& page,
                       const std::function<void(HDC)>& draw) {
  for (HGDIOBJ& handle : gdiHandleTable) handle = nullptr;
  // A window that is gone leaves the screen as the reference for the page's pixel format.
  HWND owner = parent;
  HDC display = GetDC(parent);
  if (!display && parent) {
    owner = nullptr;
    display = GetDC(nullptr);
  }
  if (!display) return false;
  MakeObjects(page);
  HDC dc = CreateCompatibleDC(display);
  // Every pixel of the kept bitmap is painted: the page's frame fills it whole.
  HBITMAP bitmap = Kept_Bitmap(Kept_PageBitmap(), display, page.pageWidth, page.pageHeight);
  bool written = false;
  if (dc && bitmap) {
    HGDIOBJ original = SelectObject(dc, bitmap);
    draw(dc);
    SelectObject(dc, original);  // the pixels are read from a bitmap that no context holds
    if (page.content) written = WritePage(fileName, bitmap, display);
  }
  ReleaseDC(owner, display);
  if (dc) DeleteDC(dc);
  DeleteObjects();
  return written;
}
