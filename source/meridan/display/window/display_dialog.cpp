// DisplayDialogProc: the readout window. It keeps only the rows of the
// channels in use, shrinks itself to them, colours its controls from the
// palette, stretches its rows in proportion when resized, and runs an update
// 100 ms after every repaint so that the bars, drawn outside the paint cycle,
// come back after anything covered the window.
#include <cstdint>

#include "display/core/display_channels.h"
#include "display/window/display_window.h"

namespace {

constexpr int kRowControlCount = kLastRowControl - kFirstRowControl + 1;

struct ReferenceRect {
  int x, y, width, height;
};

// Recorded when the window initialises, read when it is resized. W0 and H0
// stay 0 until then and again once the window is destroyed.
struct ControlLayout {
  int W0, H0;
  RECT R;  // outer rectangle at initialisation, screen coordinates
  ReferenceRect rows[kRowControlCount];  // identifiers 11 to 90
};

ControlLayout layout;

const int kRowControlBases[] = {kDeviceLabelBase, kCaptionBase, kBarAreaBase, kReadoutBase};

// Shows and enables the four controls of every channel in use, hides and
// disables the others; returns the number of channels in use.
int ShowRowsInUse(HWND window) {
  int count = 0;
  for (int n = 1; n <= kDisplayChannelCount; ++n) {
    bool inUse = GetDisplayChannel(n).Flags == 1;
    for (int base : kRowControlBases) {
      HWND control = GetDlgItem(window, base + n);
      EnableWindow(control, inUse);
      ShowWindow(control, inUse ? SW_SHOW : SW_HIDE);
    }
    count += inUse ? 1 : 0;
  }
  return count;
}

void RecordLayout(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  layout.W0 = client.right;
  layout.H0 = client.bottom;
  GetWindowRect(window, &layout.R);
  for (int id = kFirstRowControl; id <= kLastRowControl; ++id) {
    RECT outer{};
    GetWindowRect(GetDlgItem(window, id), &outer);
    ReferenceRect& row = layout.rows[id - kFirstRowControl];
    row.x = outer.left - layout.R.left - 2;
    row.y = outer.top - (layout.R.bottom - layout.H0) + 2;
    row.width = outer.right - outer.left;
    row.height = outer.bottom - outer.top;
  }
}

// The client area keeps the top rows of the template, as many as there are
// channels in use; the rows themselves stay where they are.
void ShrinkToRowsInUse(HWND window, int count) {
  int H1 = layout.H0 * count / kDisplayChannelCount;
  const RECT& R = layout.R;
  int height = (R.bottom - layout.H0 + H1) - R.top;
  layout.H0 = H1;
  MoveWindow(window, R.left, R.top, R.right - R.left, height, TRUE);
}

int Scale(int length, int now, int reference) {
  return static_cast<int>(static_cast<int64_t>(length) * now / reference);
}

void RelayoutRows(HWND window) {
  // With no row in use the reference height is 0: the rows are all hidden and stay put.
  if (layout.W0 == 0 || layout.H0 == 0) return;
  RECT client;
  GetClientRect(window, &client);
  int W = client.right, H = client.bottom;
  for (int id = kFirstRowControl; id <= kLastRowControl; ++id) {
    const ReferenceRect& row = layout.rows[id - kFirstRowControl];
    MoveWindow(GetDlgItem(window, id), Scale(row.x, W, layout.W0), Scale(row.y, H, layout.H0),
               Scale(row.width, W, layout.W0), Scale(row.height, H, layout.H0), TRUE);
  }
}

INT_PTR ControlColours(WPARAM dc, int backgroundSlot) {
  PaletteEntry background = GetPaletteEntry(backgroundSlot);
  SetTextColor(reinterpret_cast<HDC>(dc), GetPaletteEntry(3).colour);
  SetBkColor(reinterpret_cast<HDC>(dc), background.colour);
  return reinterpret_cast<INT_PTR>(background.brush);
}

}  // namespace

INT_PTR CALLBACK DisplayDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      int count = ShowRowsInUse(window);
      RecordLayout(window);
      ShrinkToRowsInUse(window, count);
      captionsPending = true;
      SendMessageW(window, kArmRefreshMessage, 0, 0);
      return TRUE;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      SendMessageW(window, kArmRefreshMessage, 0, 0);
      return FALSE;
    }
    case kArmRefreshMessage:
      SetTimer(window, kRefreshTimer, kRefreshDelayMs, nullptr);
      return FALSE;
    case WM_TIMER:
      if (wParam != kRefreshTimer) return FALSE;
      KillTimer(window, kRefreshTimer);
      UpdateDisplay(window);
      return FALSE;
    case WM_SIZE:
      RelayoutRows(window);
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    case WM_COMMAND:
      // OK, cancel and the close request only hide this modeless window.
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(window, 0);
      return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
      return ControlColours(wParam, 1);
    case WM_CTLCOLORBTN:
      return ControlColours(wParam, 6);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return ControlColours(wParam, 5);
    case WM_CTLCOLORSCROLLBAR:
      return ControlColours(wParam, 7);
    case WM_DESTROY:
      if (window == displayWindow) displayWindow = nullptr;
      layout = ControlLayout{};
      return FALSE;
    default:
      return FALSE;
  }
}
