// Shared by the Wine tests of the SPC drawing and page: a canvas to draw
// expected pictures on, the page file read back, a chart request with its
// core layout, and counts of the process's drawing objects and heap blocks.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "meridan_api.h"
#include "spc/core/page_layout.h"
#include "spc/core/plot_geometry.h"
#include "spc/core/spc_table.h"
#include "process_use.h"
#include "win_test_support.h"

namespace spctest {

const COLORREF kPage = RGB(240, 233, 208);
const COLORREF kPanel = RGB(255, 255, 225);
const COLORREF kPlotBack = RGB(255, 255, 242);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 200, 0);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kGrey = RGB(200, 200, 200);
const COLORREF kBlue = RGB(0, 0, 200);

// A memory context over a 32-bit top-down DIB section, so pixels read back directly.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(1, 2, 3)) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    Fill(fill);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const { return dc_; }
  void Fill(COLORREF colour) {
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i)
      bits_[i] = GetBValue(colour) | GetGValue(colour) << 8 | GetRValue(colour) << 16;
  }
  COLORREF At(int x, int y) const {
    GdiFlush();
    uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int Count(COLORREF colour, int left = 0, int top = 0, int right = -1, int bottom = -1) const {
    if (right < 0) right = width_;
    if (bottom < 0) bottom = height_;
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += At(x, y) == colour;
    return n;
  }
  int RowCount(COLORREF colour, int y) const { return Count(colour, 0, y, width_, y + 1); }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

inline std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

inline uint32_t Le32(const std::string& b, size_t at) {
  return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8 | uint8_t(b[at + 2]) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
inline uint16_t Le16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

// The two headers of an uncompressed bottom-up 32-bit bitmap file, field by field, and its size.
inline void ExpectHeadersOf32BitFile(const std::string& bytes, uint32_t width, uint32_t height, uint32_t imageSize) {
  ASSERT_EQ(bytes.size(), 54u + imageSize);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(Le32(bytes, 2), bytes.size());
  EXPECT_EQ(Le32(bytes, 6), 0u);  // both reserved fields
  EXPECT_EQ(Le32(bytes, 10), 54u);
  EXPECT_EQ(Le32(bytes, 14), 40u);
  EXPECT_EQ(Le32(bytes, 18), width);
  EXPECT_EQ(Le32(bytes, 22), height);  // positive: bottom-up
  EXPECT_EQ(Le16(bytes, 26), 1);       // one plane
  EXPECT_EQ(Le16(bytes, 28), 32);
  EXPECT_EQ(Le32(bytes, 30), 0u);  // no compression
  EXPECT_EQ(Le32(bytes, 34), imageSize);
  for (size_t at : {38u, 42u, 46u, 50u}) EXPECT_EQ(Le32(bytes, at), 0u) << "offset " << at;
}

// A 32-bit bitmap file as written, addressed top-down.
struct PageFile {
  std::string bytes;
  int width = 0, height = 0;
  explicit PageFile(const std::wstring& path) : bytes(wintest::ReadFileBytes(path)) {
    if (bytes.size() < 54) return;
    width = static_cast<int>(Le32(bytes, 18));
    height = static_cast<int>(Le32(bytes, 22));
  }
  bool Valid() const { return width > 0 && bytes.size() == 54 + size_t(width) * 4 * height; }
  COLORREF At(int x, int y) const {
    size_t at = 54 + (size_t(height - 1 - y) * width + x) * 4;
    return RGB(uint8_t(bytes[at + 2]), uint8_t(bytes[at + 1]), uint8_t(bytes[at]));
  }
  int Count(COLORREF colour, int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += At(x, y) == colour;
    return n;
  }
};

using wintest::GdiObjects;
using wintest::HeapUse;

// Values about `centre`, spread evenly (deterministic) by +-spread.
inline std::vector<double> Values(int count, double centre = 10.0, double spread = 0.1) {
  std::vector<double> values{std::numeric_limits<double>::quiet_NaN()};  // element 0: never read
  for (int i = 0; i < count; ++i) values.push_back(centre + spread * std::sin(i * 2.3 + 0.4) * ((i % 5) + 1) / 5);
  return values;
}

struct Request {
  const char* title = "Shaft 10 mm";
  bool nullTitle = false;
  uint32_t typ = 11;
  std::vector<double> values = Values(125);
  double nom = 10, usl = 10.5, lsl = 9.5;
  uint32_t uslOn = 1, lslOn = 1;
  int32_t sampleSize = 5;
  uint32_t norm = 3;
  int32_t width = 800, height = 600;
  double factor = 1;
  std::string titleText;  // used instead of `title` when not empty

  int32_t Count() const { return static_cast<int32_t>(values.size()) - 1; }
  const char* Title() const { return nullTitle ? nullptr : titleText.empty() ? title : titleText.c_str(); }
  int32_t Write(const std::wstring& path, HWND parent = nullptr) const {
    std::string name = Narrow(path);
    return Create_SPCBitmap(parent, name.c_str(), width, height, factor, Title(), typ, values.data(), Count(), nom,
                            usl, lsl, uslOn, lslOn, sampleSize, norm);
  }
  SpcRequest AsRequest() const {
    return {static_cast<int16_t>(typ), values.data(), Count(), nom, usl, lsl, static_cast<int16_t>(uslOn),
            static_cast<int16_t>(lslOn), sampleSize, static_cast<int16_t>(norm)};
  }
  // The page as the core lays it out for this request.
  PageLayout Layout(SpcResult* result) const {
    SpcRequest request = AsRequest();
    EXPECT_TRUE(SPC_ComputeRequest(request, *result));
    SPC_SetScale(factor);
    PageLayout page;
    SPC_LayoutPage(request, *result, width, height, factor, &page);
    SPC_SetScale(1.0);
    return page;
  }
};

// A run chart of every single value: kind 1, one value per subgroup.
inline Request RunChartOf(std::vector<double> values) {
  Request request;
  request.typ = 1;
  request.sampleSize = 1;
  request.values = std::move(values);
  return request;
}

// A request's page as the library wrote it, beside the core's figures and layout to find things by.
struct DrawnPage {
  SpcResult result;
  PageLayout layout;
  PageFile page;
};

class SpcPage : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The same constants the library read when it loaded.
    std::string table = wintest::ReadFileBytes(wintest::BinDir() + L"TESSAN_SPC.TAB");
    SPC_ParseTable(table.data(), table.size());
  }
  void SetUp() override { dir = wintest::MakeTempDir(L"spcpage"); }
  void TearDown() override { wintest::RemoveTree(dir); }
  std::wstring File(const wchar_t* name) const { return dir + name; }
  PageFile Written(const Request& request, const wchar_t* name = L"page.bmp") {
    EXPECT_EQ(request.Write(File(name)), 0);
    return PageFile(File(name));
  }
  DrawnPage Drawn(const Request& request, const wchar_t* name = L"page.bmp") {
    SpcResult result;
    PageLayout layout = request.Layout(&result);
    return {result, layout, Written(request, name)};
  }
  std::wstring dir;
};

// Rows and columns of the plot area of a chart as Plot_ControlChart maps them.
inline int ValueRow(const ChartArea& chart, double v) {
  return Plot_ValueY(Plot_InnerBox(chart.left, chart.top, chart.width, chart.height), v, chart.yMin, chart.yMax);
}
inline int SampleColumn(const ChartArea& chart, int i) {
  return ControlChart_SampleX(Plot_InnerBox(chart.left, chart.top, chart.width, chart.height), i, chart.firstSample,
                              chart.lastSample);
}

}  // namespace spctest
