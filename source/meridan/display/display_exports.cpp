// The four readout-window exports. The window belongs to the thread that
// called Display_Init; all calls come from that thread.
#include <cstdint>

#include "core/argument_slot.h"
#include "display/core/display_channels.h"
#include "display/window/display_window.h"
#include "library/library_entry.h"
#include "meridan_api.h"

static const WORD kDisplayDialogTemplate = 1;

// Destroys the open window (its refresh timer ends with it) and deletes the
// palette's brushes. With no window open there is nothing to do.
static void CloseDisplay() {
  if (displayWindow) DestroyWindow(displayWindow);
  displayWindow = nullptr;
  DeleteDisplayPalette();
}

extern "C" {

// A second Display_Init without Display_DeInit first closes the window that is
// open, so the library never loses a window it can no longer reach.
int32_t WINAPI Display_Init(HWND parent, const char* Headline, const int16_t* MVFlags, const int16_t* MVDevices,
                            const int16_t* MVAddress, const char* MVUnit, const double* MVNomSize,
                            const double* MVUSL, const double* MVLSL, const int16_t* MVResolu) {
  CloseDisplay();
  CreateDisplayPalette();
  DisplayTable_StoreSettings(MVFlags, MVDevices, MVAddress, MVUnit, MVNomSize, MVUSL, MVLSL, MVResolu);
  HWND window = CreateDialogParamW(GetLibraryInstance(), MAKEINTRESOURCEW(kDisplayDialogTemplate), parent,
                                   DisplayDialogProc, 0);
  displayWindow = window;
  if (!window) {
    // No window (an invalid owner, for instance): the display stays closed.
    DeleteDisplayPalette();
    return 0;
  }
  SetWindowTextA(window, Headline ? Headline : "");
  ShowWindow(window, SW_SHOW);
  return 0;
}

void WINAPI Display_DeInit(void) { CloseDisplay(); }

// With no window open the values are not taken and nothing is drawn.
void WINAPI Display_ShowValues(const double* MV, const int16_t* MVError) {
  if (!displayWindow) return;
  DisplayTable_StoreValues(MV, MVError);
  UpdateDisplay(displayWindow);
}

// Only the low 16 bits of state count: 0 hides the window, anything else shows it.
int32_t WINAPI Display_ShowDisplay(uint32_t state) {
  if (!displayWindow) return 0;
  return ShowWindow(displayWindow, Low16(state) != 0 ? SW_SHOW : SW_HIDE);
}

}  // extern "C"
