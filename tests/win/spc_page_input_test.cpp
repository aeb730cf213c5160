// Create_SPCBitmap through MERIDAN.dll with what a macro should not pass but
// may: no values, file names that cannot take a file, page sizes that cannot
// be made, requests outside the contract, values that are not numbers, every
// chart kind; and that a request leaves no drawing object or memory behind.
#include "spc_page_support.h"

namespace {

using namespace spctest;

// ---- no values, bad input

TEST_F(SpcPage, NoValuesWriteNoFileAndReleaseEverything) {
  Request request;
  request.values.resize(1);
  request.Write(File(L"warm.bmp"));
  size_t before = GdiObjects();
  EXPECT_EQ(request.Write(File(L"none.bmp")), 0);
  EXPECT_FALSE(wintest::FileExists(File(L"none.bmp")));
  EXPECT_EQ(GdiObjects(), before);
}

// The memory a page is drawn into is kept from one request to the next: what
// earlier pages left in it never shows on a later one.
TEST_F(SpcPage, APageAfterPagesOfOtherSizesAndKindsIsThePageDrawnFirst) {
  Request request;
  std::string first = Written(request, L"first.bmp").bytes;
  Request wider = RunChartOf(Values(3000, 10, 0.4));
  wider.width = 1000, wider.height = 700;
  Request smaller;
  smaller.typ = 24, smaller.width = 500, smaller.height = 400, smaller.factor = 1.5;
  Request sameSize;
  sameSize.typ = 16, sameSize.values = Values(125, 10.2, 0.3), sameSize.title = "Another page";
  for (const Request* other : {&wider, &smaller, &sameSize}) {
    EXPECT_TRUE(Written(*other, L"other.bmp").Valid());
    EXPECT_EQ(Written(request, L"again.bmp").bytes, first);
  }
}

TEST_F(SpcPage, APageOfTheSizeBeforeMakesNoNewObjectAndOneTooLargeKeepsTheBitmapThere) {
  Request request;
  request.Write(File(L"warm.bmp"));
  size_t objects = GdiObjects();
  std::string before = Written(request, L"before.bmp").bytes;
  EXPECT_EQ(GdiObjects(), objects);
  Request tooLarge = request;
  tooLarge.width = 32767, tooLarge.height = 32767;
  EXPECT_EQ(tooLarge.Write(File(L"large.bmp")), 0);
  EXPECT_EQ(GdiObjects(), objects);
  EXPECT_EQ(Written(request, L"after.bmp").bytes, before);
}

TEST_F(SpcPage, FileThatCannotBeMadeIsLeftOutWithoutHarm) {
  Request request;
  EXPECT_EQ(request.Write(dir + L"no such folder\\page.bmp"), 0);
  EXPECT_FALSE(wintest::FileExists(dir + L"no such folder\\page.bmp"));
  EXPECT_EQ(Create_SPCBitmap(nullptr, nullptr, 800, 600, 1, "t", 11, request.values.data(), request.Count(), 10, 10.5,
                             9.5, 1, 1, 5, 3),
            0);
  EXPECT_EQ(request.Write(dir), 0);  // a folder, not a file
  PageFile page = Written(request);  // and the next request works as before
  EXPECT_TRUE(page.Valid());
}

TEST_F(SpcPage, AReadOnlyFileIsLeftAsItWas) {
  std::wstring name = File(L"kept.bmp");
  ASSERT_TRUE(wintest::WriteFileBytes(name, "an earlier page"));
  SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY);
  Request request;
  EXPECT_EQ(request.Write(name), 0);
  EXPECT_EQ(wintest::ReadFileBytes(name), "an earlier page");
  SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(Written(request, L"kept.bmp").Valid());  // writable again, it is replaced
}

TEST_F(SpcPage, PageSizesThatCannotBeMadeWriteNoFile) {
  struct Size {
    int32_t width, height;
    double factor;
  } sizes[] = {{0, 600, 1},
               {800, -600, 1},
               {-800, -600, -1},
               {800, 600, 0},
               {800, 600, -2},
               {800, 600, std::numeric_limits<double>::quiet_NaN()},
               {800, 600, std::numeric_limits<double>::infinity()},
               {800, 600, 1e-6},
               {1 << 30, 600, 1},
               {32767, 32767, 1}};  // four gigabytes of pixels
  size_t before = GdiObjects();
  int n = 0;
  for (const Size& size : sizes) {
    Request request;
    request.width = size.width;
    request.height = size.height;
    request.factor = size.factor;
    std::wstring name = File((L"size" + std::to_wstring(++n) + L".bmp").c_str());
    EXPECT_EQ(request.Write(name), 0);
    EXPECT_FALSE(wintest::FileExists(name)) << size.width << " x " << size.height << " x " << size.factor;
  }
  EXPECT_EQ(GdiObjects(), before);
}

TEST_F(SpcPage, RequestsOutsideTheContractWriteNoFile) {
  Request zeroSample;
  zeroSample.sampleSize = 0;
  EXPECT_EQ(zeroSample.Write(File(L"a.bmp")), 0);
  Request tooMany;
  tooMany.values = Values(65536);
  EXPECT_EQ(tooMany.Write(File(L"b.bmp")), 0);
  std::string name = Narrow(File(L"c.bmp"));
  EXPECT_EQ(Create_SPCBitmap(nullptr, name.c_str(), 800, 600, 1, "t", 11, nullptr, 25, 10, 10.5, 9.5, 1, 1, 5, 3), 0);
  for (const wchar_t* file : {L"a.bmp", L"b.bmp", L"c.bmp"}) EXPECT_FALSE(wintest::FileExists(File(file))) << file;
}

TEST_F(SpcPage, ValuesThatAreNotNumbersStillGiveAPage) {
  Request request;
  request.values[3] = std::numeric_limits<double>::quiet_NaN();
  request.values[40] = std::numeric_limits<double>::infinity();
  request.values[41] = -std::numeric_limits<double>::infinity();
  EXPECT_TRUE(Written(request).Valid());
  request.typ = 1;
  EXPECT_TRUE(Written(request, L"run.bmp").Valid());
  request.usl = std::numeric_limits<double>::quiet_NaN();
  request.values = Values(50, 1e300, 1e300);
  EXPECT_TRUE(Written(request, L"huge.bmp").Valid());
}

TEST_F(SpcPage, EveryChartKindGivesAPage) {
  for (uint32_t typ : {0u, 5u, 10u, 11u, 12u, 13u, 14u, 15u, 16u, 17u, 18u, 19u, 20u, 22u, 24u, 26u, 29u, 30u, 45u,
                       0xFFFFu}) {
    Request request;
    request.typ = typ;
    for (uint32_t norm : {0u, 1u, 2u, 3u, 7u}) {
      request.norm = norm;
      EXPECT_TRUE(Written(request).Valid()) << "typ " << typ << " SPCNorm " << norm;
    }
  }
}

TEST_F(SpcPage, WindowThatIsGoneFallsBackToTheScreen) {
  Request request;
  EXPECT_EQ(request.Write(File(L"gone.bmp"), reinterpret_cast<HWND>(0x7FFF0)), 0);
  EXPECT_TRUE(PageFile(File(L"gone.bmp")).Valid());
}

TEST_F(SpcPage, PageScaleIsBackToOneAfterEveryRequest) {
  Request request;
  request.factor = 2;
  request.Write(File(L"a.bmp"));
  // The library's scale is its own; what shows it is that a factor-1 page right after is the same as before.
  Request plain;
  PageFile first = Written(plain, L"b.bmp");
  request.values.resize(1);  // a request without values ends the same way
  request.Write(File(L"c.bmp"));
  PageFile second = Written(plain, L"d.bmp");
  EXPECT_EQ(first.bytes, second.bytes);
}

// ---- resources

TEST_F(SpcPage, AThousandRequestsLeaveNoDrawingObjectOrMemoryBehind) {
  Request small;
  small.width = 200;
  small.height = 150;
  Request empty = small;
  empty.values.resize(1);
  Request failing = small;
  failing.width = 32767;
  failing.height = 32767;
  std::wstring name = File(L"page.bmp");
  std::wstring unwritable = dir + L"missing\\page.bmp";
  // Warm up: the first requests make what the system keeps for the process (font cache and the like).
  for (int i = 0; i < 5; ++i) small.Write(name), empty.Write(name), failing.Write(name);
  size_t objects = GdiObjects();
  size_t blocks, bytes;
  HeapUse(&blocks, &bytes);
  for (int i = 0; i < 1000; ++i) {
    switch (i % 4) {
      case 0: small.Write(name); break;
      case 1: empty.Write(name); break;
      case 2: small.Write(unwritable); break;
      default: failing.Write(name); break;
    }
  }
  size_t blocksAfter, bytesAfter;
  HeapUse(&blocksAfter, &bytesAfter);
  EXPECT_EQ(GdiObjects(), objects);
  EXPECT_LT(blocksAfter, blocks + 100) << "heap blocks " << blocks << " -> " << blocksAfter;
  EXPECT_LT(bytesAfter, bytes + 256 * 1024) << "heap bytes " << bytes << " -> " << bytesAfter;
  EXPECT_TRUE(PageFile(name).Valid());
}

}  // namespace
