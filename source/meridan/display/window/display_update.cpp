// UpdateDisplay: the texts of every row in use, and its deviation bar drawn
// straight into the bar area. The bars are not part of any paint cycle, so
// whatever repaints a bar area wipes its bar until the next update.
#include "display/core/display_bar.h"
#include "display/core/display_channels.h"
#include "display/core/display_text.h"
#include "display/window/display_window.h"

namespace {

// The brushes and pens of one update, made at its start and deleted at its end.
enum DrawingSlot {
  kBackgroundBrush,
  kBackgroundPen,
  kRedBrush,
  kRedPen,
  kGreenBrush,
  kGreenPen,
  kRedMarkPen,    // marks over a green bar
  kGreenMarkPen,  // marks over a red bar
  kCentrePen,
  kMadeObjectCount,
  kDrawingSlotCount = 30
};

struct DrawingObjectKind {
  bool isPen;
  int width;
  COLORREF colour;
};

const DrawingObjectKind kDrawingObjectKinds[kMadeObjectCount] = {
    {false, 0, RGB(240, 233, 208)}, {true, 1, RGB(240, 233, 208)}, {false, 0, RGB(255, 0, 0)},
    {true, 1, RGB(255, 0, 0)},      {false, 0, RGB(0, 255, 0)},    {true, 1, RGB(0, 255, 0)},
    {true, 2, RGB(255, 0, 0)},      {true, 2, RGB(0, 255, 0)},     {true, 2, RGB(0, 0, 0)},
};

void DrawVerticalLine(HDC dc, int x, int top, int bottom) {
  MoveToEx(dc, x, top, nullptr);
  LineTo(dc, x, bottom);
}

void DrawBar(HWND barArea, const DisplayChannel& channel, const HGDIOBJ* objects) {
  HDC dc = barArea ? GetDC(barArea) : nullptr;
  if (!dc) return;
  RECT client;
  GetClientRect(barArea, &client);
  BarGeometry bar =
      ComputeBarGeometry(channel.Value, channel.NomSize, channel.USL, channel.LSL, client.right, client.bottom);

  HGDIOBJ originalBrush = SelectObject(dc, objects[kBackgroundBrush]);
  HGDIOBJ originalPen = SelectObject(dc, objects[kBackgroundPen]);
  Rectangle(dc, bar.x0, bar.y0, bar.x1, bar.y1);

  SelectObject(dc, objects[bar.outOfTolerance ? kRedBrush : kGreenBrush]);
  SelectObject(dc, objects[bar.outOfTolerance ? kRedPen : kGreenPen]);
  Rectangle(dc, bar.barLeft, bar.y0, bar.barRight, bar.y1);

  SelectObject(dc, objects[kCentrePen]);
  DrawVerticalLine(dc, bar.centreX, bar.y0, bar.y1);

  SelectObject(dc, objects[bar.outOfTolerance ? kGreenMarkPen : kRedMarkPen]);
  DrawVerticalLine(dc, bar.upperMarkX, bar.y0 + 1, bar.y1 - 1);
  DrawVerticalLine(dc, bar.lowerMarkX, bar.y0 + 1, bar.y1 - 1);

  SelectObject(dc, originalBrush);
  SelectObject(dc, originalPen);
  ReleaseDC(barArea, dc);
}

void WriteLabelAndCaption(HWND window, int n, const DisplayChannel& channel) {
  char text[kDisplayTextSize];
  ComposeDeviceLabel(channel.Device, channel.Address, text);
  SetDlgItemTextA(window, kDeviceLabelBase + n, text);
  ComposeCaption(channel.NomSize, channel.Unit, channel.USL, channel.LSL, channel.Resolu, text);
  SetDlgItemTextA(window, kCaptionBase + n, text);
}

}  // namespace

void UpdateDisplay(HWND window) {
  HGDIOBJ drawingObjects[kDrawingSlotCount] = {};
  for (int slot = 0; slot < kMadeObjectCount; ++slot) {
    const DrawingObjectKind& kind = kDrawingObjectKinds[slot];
    drawingObjects[slot] = kind.isPen ? static_cast<HGDIOBJ>(CreatePen(PS_SOLID, kind.width, kind.colour))
                                      : static_cast<HGDIOBJ>(CreateSolidBrush(kind.colour));
  }

  for (int n = 1; n <= kDisplayChannelCount; ++n) {
    DisplayChannel channel = GetDisplayChannel(n);
    if (channel.Flags != 1) continue;
    if (captionsPending) WriteLabelAndCaption(window, n, channel);
    if (channel.Error != 0) {
      // The empty text makes the bar area repaint itself plain, which clears its bar.
      SetDlgItemTextA(window, kBarAreaBase + n, "");
      SetDlgItemTextA(window, kReadoutBase + n, "Err");
      continue;
    }
    char readout[kDisplayTextSize];
    ComposeReadout(channel.Value, channel.Resolu, readout);
    SetDlgItemTextA(window, kReadoutBase + n, readout);
    DrawBar(GetDlgItem(window, kBarAreaBase + n), channel, drawingObjects);
  }

  captionsPending = false;
  for (HGDIOBJ object : drawingObjects)
    if (object) DeleteObject(object);
}
