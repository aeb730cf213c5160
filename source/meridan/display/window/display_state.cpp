// The readout window's handle, its caption flag and its colour palette.
#include "display/window/display_state.h"

HWND displayWindow;
bool captionsPending;

static PaletteEntry palette[kPaletteSlotCount];

// Slots 0 to 7; 1, 3, 5, 6 and 7 colour the window's controls.
static const COLORREF kPaletteColours[] = {
    RGB(255, 255, 242),  // 0
    RGB(240, 233, 208),  // 1: background of the window and its static controls
    RGB(240, 233, 208),  // 2
    RGB(0, 0, 0),        // 3: text of every control
    RGB(0, 0, 0),        // 4
    RGB(255, 255, 242),  // 5: background of edit and list-box controls
    RGB(212, 208, 200),  // 6: background of buttons
    RGB(212, 208, 200),  // 7: background of scroll bars
};

PaletteEntry GetPaletteEntry(int slot) {
  if (slot < 0 || slot >= kPaletteSlotCount) return PaletteEntry{};
  return palette[slot];
}

void CreateDisplayPalette() {
  DeleteDisplayPalette();  // a palette built twice must not lose its first brushes
  int slot = 0;
  for (COLORREF colour : kPaletteColours) {
    palette[slot].colour = colour;
    palette[slot].brush = CreateSolidBrush(colour);
    ++slot;
  }
}

void DeleteDisplayPalette() {
  for (PaletteEntry& entry : palette) {
    if (entry.brush) DeleteObject(entry.brush);
    entry = PaletteEntry{};
  }
}
