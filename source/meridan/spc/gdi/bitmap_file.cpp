// Writing the SPC page as a bitmap file.
#include "spc/core/bmp_layout.h"
#include "spc/gdi/file_open.h"
#include "spc/gdi/spc_drawing.h"

namespace {

// A page that its owner has made read-only stays as it is. Windows refuses to
// replace it anyway; asked first, it is refused the same on every system
// (a process with the rights to write anything, such as Wine run by root).
bool IsReadOnlyFile(const wchar_t* fileName) {
  DWORD attributes = GetFileAttributesW(fileName);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
         !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteAll(HANDLE file, const void* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}

}  // namespace

bool SPC_WriteBitmapFile(const wchar_t* fileName, HBITMAP bitmap, HDC dc) {
  if (!fileName || !bitmap || IsReadOnlyFile(fileName)) return false;
  BITMAP format;
  if (GetObjectW(bitmap, sizeof format, &format) != sizeof format) return false;
  BmpLayout layout;
  if (!Bmp_ComputeLayout(format.bmWidth, format.bmHeight, format.bmPlanes, format.bmBitsPixel, &layout)) return false;
  bool complete = false;

  const DWORD infoSize = kBmpInfoHeaderSize + 4 * layout.colours;
  auto* info = static_cast<uint8_t*>(LocalAlloc(LPTR, infoSize));
  void* pixels = GlobalAlloc(GMEM_FIXED, layout.imageSize);
  if (info && pixels) {
    Bmp_WriteInfoHeader(layout, info);
    // Only a complete read-back is written: a file of stale memory would pass for a page.
    if (GetDIBits(dc, bitmap, 0, layout.height, pixels, reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS) ==
        layout.height) {
      Bmp_WriteInfoHeader(layout, info);  // the header as laid out, whatever the read-back changed in it
      HANDLE file = File_Open(fileName, 3, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
      if (file != INVALID_HANDLE_VALUE) {
        uint8_t fileHeader[kBmpFileHeaderSize];
        Bmp_WriteFileHeader(layout, fileHeader);
        complete = WriteAll(file, fileHeader, sizeof fileHeader) && WriteAll(file, info, infoSize) &&
                        WriteAll(file, pixels, layout.imageSize);
        CloseHandle(file);
        // A cut-off file (disk full) would be taken for a page: remove it.
        if (!complete) DeleteFileW(fileName);
      }
    }
  }
  if (pixels) GlobalFree(pixels);
  if (info) LocalFree(info);
  return complete;
}
