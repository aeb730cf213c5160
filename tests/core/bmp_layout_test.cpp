// Bitmap file headers: sizes, colour tables, row padding and the fields as
// written, worked out by hand in the comments.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "spc/core/bmp_layout.h"

namespace {

uint32_t Read32(const uint8_t* at) { return at[0] | at[1] << 8 | at[2] << 16 | uint32_t(at[3]) << 24; }
uint16_t Read16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

// ---- bitmap file headers

TEST(BmpLayout, ThirtyTwoBitPageHasNoColourTableAndFourBytesAPixel) {
  BmpLayout layout;
  ASSERT_TRUE(Bmp_ComputeLayout(801, 600, 1, 32, &layout));
  EXPECT_EQ(layout.rowSize, 3204u);
  EXPECT_EQ(layout.imageSize, 3204u * 600);
  EXPECT_EQ(layout.colours, 0u);
  EXPECT_EQ(layout.pixelOffset, 54u);
  EXPECT_EQ(layout.fileSize, 54u + 3204u * 600);
}

TEST(BmpLayout, EightBitPageCarriesAFullColourTable) {
  BmpLayout layout;
  ASSERT_TRUE(Bmp_ComputeLayout(801, 3, 1, 8, &layout));
  EXPECT_EQ(layout.colours, 256u);
  EXPECT_EQ(layout.pixelOffset, 1078u);
  EXPECT_EQ(layout.rowSize, 804u);  // 801 bytes padded to 4
  EXPECT_EQ(layout.fileSize, 1078u + 804u * 3);
}

TEST(BmpLayout, OddWidthRowsArePaddedToFourBytes) {
  BmpLayout layout;
  ASSERT_TRUE(Bmp_ComputeLayout(3, 1, 1, 24, &layout));
  EXPECT_EQ(layout.rowSize, 12u);  // 9 bytes of pixels, 3 of padding
  ASSERT_TRUE(Bmp_ComputeLayout(17, 1, 1, 1, &layout));
  EXPECT_EQ(layout.rowSize, 4u);
  EXPECT_EQ(layout.colours, 2u);
}

TEST(BmpLayout, BitsRoundUpToTheFormatsAFileCanHold) {
  EXPECT_EQ(Bmp_RoundBits(1), 1);
  EXPECT_EQ(Bmp_RoundBits(2), 4);
  EXPECT_EQ(Bmp_RoundBits(15), 16);
  EXPECT_EQ(Bmp_RoundBits(24), 24);
  EXPECT_EQ(Bmp_RoundBits(25), 32);
  EXPECT_EQ(Bmp_RoundBits(64), 32);
}

TEST(BmpLayout, RejectsEmptySizesAndFilesBeyondThirtyTwoBits) {
  BmpLayout layout;
  EXPECT_FALSE(Bmp_ComputeLayout(0, 10, 1, 32, &layout));
  EXPECT_FALSE(Bmp_ComputeLayout(10, -1, 1, 32, &layout));
  EXPECT_FALSE(Bmp_ComputeLayout(40000, 40000, 1, 32, &layout));  // 6.4 GB
  EXPECT_TRUE(Bmp_ComputeLayout(32767, 8191, 1, 32, &layout));
}

TEST(BmpLayout, HeadersAreWrittenFieldByFieldLittleEndian) {
  BmpLayout layout;
  ASSERT_TRUE(Bmp_ComputeLayout(801, 2, 1, 32, &layout));
  uint8_t file[14], info[40];
  Bmp_WriteFileHeader(layout, file);
  Bmp_WriteInfoHeader(layout, info);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Read32(file + 2), 54u + 6408u);
  EXPECT_EQ(Read16(file + 6), 0);
  EXPECT_EQ(Read16(file + 8), 0);
  EXPECT_EQ(Read32(file + 10), 54u);
  EXPECT_EQ(Read32(info + 0), 40u);
  EXPECT_EQ(Read32(info + 4), 801u);
  EXPECT_EQ(Read32(info + 8), 2u);
  EXPECT_EQ(Read16(info + 12), 1);
  EXPECT_EQ(Read16(info + 14), 32);
  EXPECT_EQ(Read32(info + 16), 0u);
  EXPECT_EQ(Read32(info + 20), 6408u);
  for (int offset : {24, 28, 32, 36}) EXPECT_EQ(Read32(info + offset), 0u) << "offset " << offset;
}

}  // namespace
