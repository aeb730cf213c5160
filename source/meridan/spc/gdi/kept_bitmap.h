// Memory that pages are drawn into, kept from one request to the next. A fresh
// bitmap costs the page faults of all its memory on every request, and on some
// machines that is most of a small page's time; a kept one costs nothing.
// Built with MERIDAN_SPC_REFERENCE_PAGES (the benchmark's second library),
// pages are drawn as before: a fresh bitmap every time, each joining line
// alone, the file's rows read back into fresh memory in one go.
#pragma once
#include <windows.h>

#include <cstdint>

// One kept bitmap of the size and pixel format last asked for. The library
// owns it: it is not in any request's handle table, and it is deleted when the
// library unloads. Callers take turns (the chart request lock).
struct KeptBitmap {
  HBITMAP bitmap = nullptr;
  int32_t width = 0, height = 0;
  uint32_t bitsPerPixel = 0;  // the format it was made for (planes x bits)
  ~KeptBitmap();
};

// A bitmap of width x height compatible with `reference` (a display context,
// or a memory context whose selected bitmap gives the format), kept in `kept`.
// A different size or format replaces it: the new bitmap is made first, so a
// size that cannot be made leaves the kept one as it was and returns null.
// Its pixels are whatever the last request left: the caller paints them all.
HBITMAP Kept_Bitmap(KeptBitmap& kept, HDC reference, int32_t width, int32_t height);

// The bitmaps every page draws into: the page itself and the statistics panel.
KeptBitmap& Kept_PageBitmap();
KeptBitmap& Kept_PanelBitmap();
