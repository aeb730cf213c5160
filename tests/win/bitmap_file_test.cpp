// SPC_WriteBitmapFile with real GDI: the file written from a bitmap, and the
// files it leaves out.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "spc/gdi/spc_drawing.h"
#include "spc_draw_support.h"
#include "spc_page_support.h"

namespace {

using namespace spctest;
using namespace drawtest;

class BitmapFile : public testing::Test {
 protected:
  std::wstring dir = wintest::MakeTempDir(L"bmpfile");
  std::vector<HBITMAP> bitmaps;
  void TearDown() override {
    for (HBITMAP bitmap : bitmaps) DeleteObject(bitmap);
    wintest::RemoveTree(dir);
  }
  // Writes `bitmap` in the format of the screen's drawing context.
  static void Write(const wchar_t* path, HBITMAP bitmap) {
    HDC screen = GetDC(nullptr);
    SPC_WriteBitmapFile(path, bitmap, screen);
    ReleaseDC(nullptr, screen);
  }
  static std::string WrittenFile(const std::wstring& path, HBITMAP bitmap) {
    Write(path.c_str(), bitmap);
    return wintest::ReadFileBytes(path);
  }
  // A device-independent bitmap, deleted when the test ends; 8-bit ones with colour i = (i, 255 - i, i / 2).
  HBITMAP DibSection(int width, int height, int bits, void** pixels) {
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    for (int i = 0; i < 256; ++i) info.colours[i] = {BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
    bitmaps.push_back(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, pixels, nullptr, 0));
    return bitmaps.back();
  }
};

TEST_F(BitmapFile, DisplayBitmapIsWrittenWithHeadersAndBottomUpRows) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 801, 3);
  bitmaps.push_back(bitmap);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all = {0, 0, 801, 3};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetPixel(memory, 0, 0, RGB(255, 0, 0));
  SetPixel(memory, 800, 2, RGB(0, 0, 255));
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  std::string file = WrittenFile(dir + L"page.bmp", bitmap);
  ASSERT_NO_FATAL_FAILURE(ExpectHeadersOf32BitFile(file, 801, 3, 3204u * 3));
  // the first row in the file is the bottom one: pixel (800, 2) is blue; the last row holds (0, 0), red
  EXPECT_EQ(Le32(file, 54 + 800 * 4) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(Le32(file, 54 + 2 * 3204) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(Le32(file, 54 + 3204 + 4) & 0xFFFFFF, 0xFFFFFFu);
}

// Rows pass to the file in bands of about a megabyte: a bitmap of many bands,
// the last one short, is written row for row as its pixels lie in memory; an
// 8-bit one of several bands keeps its colour table.
TEST_F(BitmapFile, TallBitmapsAreWrittenWholeBandAfterBand) {
  void* pixels = nullptr;
  const int width = 1001, height = 1403;  // 4004 bytes a row: 261 rows a band, 6 bands
  HBITMAP bitmap = DibSection(width, height, 32, &pixels);
  auto* words = static_cast<uint32_t*>(pixels);
  for (int i = 0; i < width * height; ++i) words[i] = (static_cast<uint32_t>(i) * 2654435761u) & 0xFFFFFFu;
  std::string file = WrittenFile(dir + L"tall.bmp", bitmap);
  ASSERT_NO_FATAL_FAILURE(ExpectHeadersOf32BitFile(file, width, height, 4004u * height));
  EXPECT_EQ(file.compare(54, std::string::npos, static_cast<const char*>(pixels), 4004u * height), 0);

  void* bytes = nullptr;
  HBITMAP eightBit = DibSection(1500, 2100, 8, &bytes);  // 1500 bytes a row: 699 rows a band
  for (int i = 0; i < 1500 * 2100; ++i) static_cast<uint8_t*>(bytes)[i] = static_cast<uint8_t>(i * 7 + i / 1500);
  std::string eight = WrittenFile(dir + L"tall8.bmp", eightBit);
  ASSERT_EQ(eight.size(), 54u + 1024u + 1500u * 2100u);
  EXPECT_EQ(Le32(eight, 54 + 4 * 200), 0x006437C8u);  // colour 200: blue 200, green 55, red 100
  EXPECT_EQ(eight.compare(54 + 1024, std::string::npos, static_cast<const char*>(bytes), 1500u * 2100u), 0);
}

TEST_F(BitmapFile, TwentyFourBitRowsArePaddedToFourBytes) {
  void* pixels = nullptr;
  HBITMAP bitmap = DibSection(5, 2, 24, &pixels);
  std::memset(pixels, 0x40, 16 * 2);
  static_cast<uint8_t*>(pixels)[15] = 0;  // padding of the first row
  std::string file = WrittenFile(dir + L"odd.bmp", bitmap);
  ASSERT_EQ(file.size(), 54u + 16u * 2);
  EXPECT_EQ(Le16(file, 28), 24);
  EXPECT_EQ(Le32(file, 34), 32u);
  EXPECT_EQ(Le32(file, 46), 0u);
  EXPECT_EQ(uint8_t(file[54 + 14]), 0x40);  // last byte of the fifth pixel
}

TEST_F(BitmapFile, EightBitBitmapCarriesItsColourTable) {
  void* pixels = nullptr;
  HBITMAP bitmap = DibSection(3, 2, 8, &pixels);
  static_cast<uint8_t*>(pixels)[0] = 7;
  std::string file = WrittenFile(dir + L"palette.bmp", bitmap);
  ASSERT_EQ(file.size(), 1078u + 4u * 2);
  EXPECT_EQ(Le32(file, 10), 1078u);
  EXPECT_EQ(Le32(file, 46), 256u);
  EXPECT_EQ(uint8_t(file[54 + 4 * 7 + 0]), 7);  // colour 7: blue 7, green 248, red 3
  EXPECT_EQ(uint8_t(file[54 + 4 * 7 + 1]), 248);
  EXPECT_EQ(uint8_t(file[54 + 4 * 7 + 2]), 3);
  EXPECT_EQ(uint8_t(file[1078]), 7);
}

TEST_F(BitmapFile, ExistingFileIsReplaced) {
  std::wstring path = dir + L"old.bmp";
  ASSERT_TRUE(wintest::WriteFileBytes(path, std::string(5000, 'x')));
  void* pixels = nullptr;
  EXPECT_EQ(WrittenFile(path, DibSection(4, 4, 32, &pixels)).size(), 54u + 64u);
}

TEST_F(BitmapFile, PlaceThatCannotTakeAFileGetsNothing) {
  void* pixels = nullptr;
  HBITMAP bitmap = DibSection(4, 4, 32, &pixels);
  std::wstring missing = dir + L"no such folder\\page.bmp";
  Write(missing.c_str(), bitmap);
  EXPECT_FALSE(wintest::FileExists(missing));
  Write(nullptr, bitmap);
  Write((dir + L"none.bmp").c_str(), nullptr);
  EXPECT_FALSE(wintest::FileExists(dir + L"none.bmp"));
}

}  // namespace
