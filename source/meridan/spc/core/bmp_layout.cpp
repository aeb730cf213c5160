#include "spc/core/bmp_layout.h"

namespace {

void Put16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
  Put16(at, value);
  Put16(at + 2, value >> 16);
}

}  // namespace

uint16_t Bmp_RoundBits(uint32_t planesTimesBits) {
  static const uint16_t kSteps[] = {1, 4, 8, 16, 24};
  for (uint16_t step : kSteps)
    if (planesTimesBits <= step) return step;
  return 32;
}

bool Bmp_ComputeLayout(int32_t width, int32_t height, uint16_t planes, uint16_t bitsPerPixel, BmpLayout* layout) {
  *layout = BmpLayout{};
  if (width <= 0 || height <= 0) return false;
  uint16_t bits = Bmp_RoundBits(uint32_t{planes} * bitsPerPixel);
  uint64_t colours = bits < 24 ? uint64_t{1} << bits : 0;
  uint64_t rowSize = (uint64_t(width) * bits + 31) / 32 * 4;
  uint64_t imageSize = rowSize * uint64_t(height);
  uint64_t pixelOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize + 4 * colours;
  uint64_t fileSize = pixelOffset + imageSize;
  if (fileSize > UINT32_MAX) return false;
  *layout = BmpLayout{width,
                      height,
                      planes,
                      bitsPerPixel,
                      bits,
                      static_cast<uint32_t>(colours),
                      static_cast<uint32_t>(rowSize),
                      static_cast<uint32_t>(imageSize),
                      static_cast<uint32_t>(pixelOffset),
                      static_cast<uint32_t>(fileSize)};
  return true;
}

void Bmp_WriteFileHeader(const BmpLayout& layout, uint8_t header[kBmpFileHeaderSize]) {
  header[0] = 'B';
  header[1] = 'M';
  Put32(header + 2, layout.fileSize);
  Put16(header + 6, 0);
  Put16(header + 8, 0);
  Put32(header + 10, layout.pixelOffset);
}

void Bmp_WriteInfoHeader(const BmpLayout& layout, uint8_t header[kBmpInfoHeaderSize]) {
  Put32(header + 0, kBmpInfoHeaderSize);
  Put32(header + 4, static_cast<uint32_t>(layout.width));
  Put32(header + 8, static_cast<uint32_t>(layout.height));  // positive: rows bottom-up
  Put16(header + 12, layout.planes);
  Put16(header + 14, layout.bitsPerPixel);
  Put32(header + 16, 0);  // uncompressed
  Put32(header + 20, layout.imageSize);
  Put32(header + 24, 0);
  Put32(header + 28, 0);
  Put32(header + 32, layout.colours);
  Put32(header + 36, 0);
}
