// The readout window's library-wide state (window handle, caption flag,
// palette) and the routines that run the window. All of it is touched only on
// the thread that opened the window.
#pragma once
#include <windows.h>

constexpr int kPaletteSlotCount = 20;

struct PaletteEntry {
  COLORREF colour;
  HBRUSH brush;  // null while the slot is empty or the palette is deleted
};

// Slot 0 to 19; any other slot is empty.
PaletteEntry GetPaletteEntry(int slot);
// Fills slots 0 to 7 with their colours and brushes; the other slots stay empty.
void CreateDisplayPalette();
// Deletes every brush of the palette; the slots become empty.
void DeleteDisplayPalette();

// The open readout window, or null while none is open (it is cleared when the
// window is destroyed, whoever destroys it, so nothing is ever drawn into a
// window that merely reuses an old handle).
extern HWND displayWindow;
// Set when the window initialises; the next update writes the device labels
// and captions too, then clears it.
extern bool captionsPending;

// Controls of row n (1 to 20) have these identifiers plus n.
constexpr int kDeviceLabelBase = 10;
constexpr int kCaptionBase = 30;
constexpr int kBarAreaBase = 50;
constexpr int kReadoutBase = 70;
constexpr int kFirstRowControl = 11;
constexpr int kLastRowControl = 90;

// Sent to the window to (re)start its one-shot refresh timer.
constexpr UINT kArmRefreshMessage = WM_USER + 1;
constexpr UINT_PTR kRefreshTimer = 100;
constexpr UINT kRefreshDelayMs = 100;

// Writes the texts of every row in use and draws its deviation bar.
void UpdateDisplay(HWND window);

INT_PTR CALLBACK DisplayDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
