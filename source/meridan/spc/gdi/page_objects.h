// What every page of the library shares: the table of its drawing objects,
// the page's own fonts, pens and brushes, the bitmap the library keeps to draw
// pages into (kept_bitmap.h), the frame and title band,
// the axis ticks in font A, and the drawing and writing of the file. A page
// lays itself out (its PageLayout holds the frame, title and fonts), then
// hands its drawing to Page_DrawAndWrite.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "spc/core/page_layout.h"

// Every drawing object of the running request has a slot; all are deleted when
// it ends. Slots 0 to 39 hold the page's own objects (the gaps are slots no
// page uses); from kFirstRoutineSlot on each page gives its drawing routines
// areas of their own.
constexpr int kHandleSlots = 300;

enum PageSlot {
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
  kFirstRoutineSlot = 45,
};

HGDIOBJ* Page_Handles();  // the table, kHandleSlots slots
HPEN Page_Pen(int slot);
HFONT Page_FontA();

// The page's frame, its plot region and the title band with the headline (its first 99 bytes) in red.
void Page_DrawFrameAndTitle(HDC dc, const PageLayout& page, const char* headline);
// Font A in black on the panel colour, as the plots' labels are drawn.
void Page_ChartText(HDC dc);
void Page_Ticks(HDC dc, const PageLayout& page, const TickStrip& strip);

// Makes the page's objects and takes the kept bitmap (in the pixel format of `parent`'s
// display, or the screen's when it is gone), calls `draw`, writes the file
// when `page.content` holds and deletes every object of the table. True when
// the file was written whole.
bool Page_DrawAndWrite(HWND parent, const char* fileName, const PageLayout& page,
                       const std::function<void(HDC)>& draw);
