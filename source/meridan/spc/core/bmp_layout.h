// Layout of the SPC page's bitmap file: a 14-byte file header, a 40-byte
// info header, a colour table for formats below 24 bits per pixel, then the
// rows bottom-up, each padded to 4 bytes. Plain arithmetic; the pixels come
// from the platform layer.
#pragma once
#include <cstdint>

struct BmpLayout {
  int32_t width;
  int32_t height;
  uint16_t planes;
  uint16_t bitsPerPixel;  // as the bitmap reports it
  uint16_t bits;          // planes x bits per pixel, rounded up to 1, 4, 8, 16, 24 or 32
  uint32_t colours;       // colour table entries: 2^bits below 24 bits, else 0
  uint32_t rowSize;       // bytes per row, padded to 4
  uint32_t imageSize;     // rowSize x height
  uint32_t pixelOffset;   // 14 + 40 + 4 x colours
  uint32_t fileSize;      // pixelOffset + imageSize
};

constexpr uint32_t kBmpFileHeaderSize = 14;
constexpr uint32_t kBmpInfoHeaderSize = 40;

// planes x bitsPerPixel rounded up to the next of 1, 4, 8, 16, 24, 32 (anything above 24 counts as 32).
uint16_t Bmp_RoundBits(uint32_t planesTimesBits);

// Fills `layout` for a bitmap of the given size and format. False (layout
// unusable) when the size is not positive or the file would not fit the
// header's 32-bit fields.
bool Bmp_ComputeLayout(int32_t width, int32_t height, uint16_t planes, uint16_t bitsPerPixel, BmpLayout* layout);

// The two headers, little-endian, in the order of the file.
void Bmp_WriteFileHeader(const BmpLayout& layout, uint8_t header[kBmpFileHeaderSize]);
void Bmp_WriteInfoHeader(const BmpLayout& layout, uint8_t header[kBmpInfoHeaderSize]);
