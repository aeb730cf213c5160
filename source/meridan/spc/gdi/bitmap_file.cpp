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

// Rows of one band: about a megabyte, at least one row.
constexpr uint32_t kBandBytes = 1u << 20;

int32_t BandRows(uint32_t rowSize, int32_t height) {
#ifdef MERIDAN_SPC_REFERENCE_PAGES
  return height;
#endif
  int32_t rows = static_cast<int32_t>(kBandBytes / rowSize);
  if (rows < 1) rows = 1;
  return rows < height ? rows : height;
}

// The band memory, grown when a page with longer bands comes and released
// when the library unloads; requests take turns, so one is enough.
struct Band {
  void* memory = nullptr;
  size_t size = 0;
  ~Band() {
    if (memory) VirtualFree(memory, 0, MEM_RELEASE);
  }
};

void* KeptBand(size_t size) {
  static Band band;
#ifdef MERIDAN_SPC_REFERENCE_PAGES
  if (band.memory) VirtualFree(band.memory, 0, MEM_RELEASE);
  band.memory = nullptr;
  band.size = 0;
#endif
  if (size <= band.size) return band.memory;
  void* grown = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!grown) return nullptr;  // the smaller band stays for later pages
  if (band.memory) VirtualFree(band.memory, 0, MEM_RELEASE);
  band.memory = grown;
  band.size = size;
  return grown;
}

// Rows first .. first + rows - 1, counted from the bottom, as the file holds them.
bool ReadRows(HDC dc, HBITMAP bitmap, int32_t first, int32_t rows, uint8_t* pixels, uint8_t* info) {
  return GetDIBits(dc, bitmap, first, rows, pixels, reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS) == rows;
}

}  // namespace

bool SPC_WriteBitmapFile(const wchar_t* fileName, HBITMAP bitmap, HDC dc) {
  if (!fileName || !bitmap || IsReadOnlyFile(fileName)) return false;
  BITMAP format;
  if (GetObjectW(bitmap, sizeof format, &format) != sizeof format) return false;
  BmpLayout layout;
  if (!Bmp_ComputeLayout(format.bmWidth, format.bmHeight, format.bmPlanes, format.bmBitsPixel, &layout)) return false;
  bool complete = false;

  // The rows are read back and written a band at a time, through memory the
  // library keeps: fresh memory for a whole page would cost its page faults
  // on every request.
  const int32_t bandRows = BandRows(layout.rowSize, layout.height);
  auto* pixels = static_cast<uint8_t*>(KeptBand(static_cast<size_t>(layout.rowSize) * bandRows));
  const DWORD infoSize = kBmpInfoHeaderSize + 4 * layout.colours;
  auto* info = static_cast<uint8_t*>(LocalAlloc(LPTR, infoSize));
  if (info && pixels) {
    Bmp_WriteInfoHeader(layout, info);
    // Only a complete read-back is written: a file of stale memory would pass for a page. The
    // first band is read before the file is made, and fills the colour table of the header.
    int32_t rows = bandRows < layout.height ? bandRows : layout.height;
    if (ReadRows(dc, bitmap, 0, rows, pixels, info)) {
      Bmp_WriteInfoHeader(layout, info);  // the header as laid out, whatever the read-back changed in it
      HANDLE file = File_Open(fileName, 3, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
      if (file != INVALID_HANDLE_VALUE) {
        uint8_t fileHeader[kBmpFileHeaderSize];
        Bmp_WriteFileHeader(layout, fileHeader);
        complete = WriteAll(file, fileHeader, sizeof fileHeader) && WriteAll(file, info, infoSize) &&
                        WriteAll(file, pixels, layout.rowSize * rows);
        // The later bands, each asked for with the same header as the first.
        for (int32_t first = rows; complete && first < layout.height; first += rows) {
          rows = layout.height - first < bandRows ? layout.height - first : bandRows;
          Bmp_WriteInfoHeader(layout, info);
          complete = ReadRows(dc, bitmap, first, rows, pixels, info) && WriteAll(file, pixels, layout.rowSize * rows);
        }
        CloseHandle(file);
        // A cut-off file (disk full, a failed read-back) would be taken for a page: remove it.
        if (!complete) DeleteFileW(fileName);
      }
    }
  }
  if (info) LocalFree(info);
  return complete;
}
