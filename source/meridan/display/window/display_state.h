// The readout window's library-wide state on the window side: the window
// handle, the caption flag and the colour palette (the channel table, which
// is platform-free, is display/core/display_channels.h). Touched only on the
// thread that opened the window.
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
