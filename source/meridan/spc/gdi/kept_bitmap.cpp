#include "spc/gdi/kept_bitmap.h"

namespace {

// The pixel format a compatible bitmap of `dc` gets: that of the bitmap a
// memory context holds, else that of the device.
uint32_t BitsPerPixelOf(HDC dc) {
  if (GetObjectType(dc) == OBJ_MEMDC) {
    BITMAP held;
    HGDIOBJ selected = GetCurrentObject(dc, OBJ_BITMAP);
    if (selected && GetObjectW(selected, sizeof held, &held) == sizeof held)
      return static_cast<uint32_t>(held.bmPlanes) * held.bmBitsPixel;
  }
  return static_cast<uint32_t>(GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL));
}

}  // namespace

KeptBitmap::~KeptBitmap() {
  if (bitmap) DeleteObject(bitmap);
}

HBITMAP Kept_Bitmap(KeptBitmap& kept, HDC reference, int32_t width, int32_t height) {
  const uint32_t bits = BitsPerPixelOf(reference);
#ifdef MERIDAN_SPC_REFERENCE_PAGES
  if (kept.bitmap) DeleteObject(kept.bitmap);
  kept = KeptBitmap{};
#endif
  if (kept.bitmap && kept.width == width && kept.height == height && kept.bitsPerPixel == bits) return kept.bitmap;
  HBITMAP made = CreateCompatibleBitmap(reference, width, height);
  if (!made) return nullptr;
  if (kept.bitmap) DeleteObject(kept.bitmap);
  kept.bitmap = made;
  kept.width = width;
  kept.height = height;
  kept.bitsPerPixel = bits;
  return made;
}

KeptBitmap& Kept_PageBitmap() {
  static KeptBitmap page;
  return page;
}

KeptBitmap& Kept_PanelBitmap() {
  static KeptBitmap panel;
  return panel;
}
