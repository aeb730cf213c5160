// Long use in one process: chart requests of mixed kinds, sizes and factors,
// and readout updates with the window hidden, shown and resized in between.
// GDI and USER objects, kernel handles and private bytes are measured at the
// start and after every block of requests, printed, and must stay flat.
// ./run test makes a few hundred requests; ./run soak sets MERIDAN_SOAK_CHARTS
// and MERIDAN_SOAK_UPDATES to the full 10 000 and 100 000.
#include <cstdlib>
#include <cstring>

#include "spc_page_support.h"

namespace {

using namespace spctest;
using wintest::ProcessUse;

int Setting(const char* name, int fallback) {
  const char* text = std::getenv(name);
  int value = text ? std::atoi(text) : 0;
  return value > 0 ? value : fallback;
}

// How far a figure may rise over the run: handles and objects not at all (the
// kernel a handful, for what Wine opens on its own), memory a little (heap
// growth and fragmentation, not one page per request).
constexpr size_t kKernelHandlesBound = 4;
// The library keeps the memory pages are drawn into, a page bitmap and a panel
// bitmap of the last page's size, each at most the largest page of the mix
// (639 x 479 at factor 2, 32-bit pixels): the private bytes may differ by that
// much more from one measurement to the next, and by no more.
constexpr size_t kPrivateBytesBound = 4 * 1024 * 1024;
constexpr size_t kLargestPageBytes = size_t{1278} * 958 * 4;
constexpr size_t kChartPrivateBytesBound = kPrivateBytesBound + 2 * kLargestPageBytes;
constexpr size_t kHeapBlocksBound = 200;

void ExpectFlat(const ProcessUse& start, const ProcessUse& now, int done,
                size_t privateBytesBound = kPrivateBytesBound) {
  EXPECT_EQ(now.gdi, start.gdi) << "after " << done;
  EXPECT_EQ(now.user, start.user) << "after " << done;
  EXPECT_LE(now.kernel, start.kernel + kKernelHandlesBound) << "after " << done;
  EXPECT_LE(now.privateBytes, start.privateBytes + privateBytesBound) << "after " << done;
  EXPECT_LE(now.heapBlocks, start.heapBlocks + kHeapBlocksBound) << "after " << done;
}

// Request number i of the mix: every chart kind family, subgroup sizes 1 to 20,
// 1 to 2 000 values, pages from 160 x 120 to 640 x 480 at factors 0.5 to 2, and
// among them requests that write nothing (no values, a page too large, a name
// that cannot take a file) and figures alone.
Request MixedRequest(int i) {
  static const uint32_t kinds[] = {1, 10, 11, 12, 13, 14, 15, 16, 17, 18, 20, 22, 24, 26, 29, 31};
  static const double factors[] = {0.5, 1, 1, 1.25, 1.5, 2};
  Request r;
  r.typ = kinds[i % 16];
  r.sampleSize = r.typ == 1 ? 1 : 2 + (i * 7) % 19;
  r.values = Values(1 + (i * 137) % 2000, 10 + (i % 5), 0.05 + 0.01 * (i % 7));
  r.nom = 10 + (i % 5), r.usl = r.nom + 0.3, r.lsl = r.nom - 0.3;
  r.uslOn = i % 3 != 1, r.lslOn = i % 3 != 2;
  r.norm = i % 4;
  r.width = 160 + (i * 53) % 480, r.height = 120 + (i * 31) % 360;
  r.factor = factors[i % 6];
  if (i % 50 == 7) r.values.resize(1);
  if (i % 50 == 17) r.width = 32767, r.height = 32767;
  return r;
}

TEST_F(SpcPage, ChartRequestsLeaveNothingBehind) {
  const int requests = Setting("MERIDAN_SOAK_CHARTS", 300);
  const int block = requests >= 5000 ? 1000 : 100;
  std::wstring page = File(L"soak.bmp"), unwritable = dir + L"missing\\soak.bmp";
  double results[49];
  auto run = [&](int i) {
    Request r = MixedRequest(i);
    if (i % 10 == 3) {
      Create_SPCStatistics(r.typ, r.values.data(), r.Count(), r.nom, r.usl, r.lsl, r.uslOn, r.lslOn, r.sampleSize,
                           r.norm, results);
      return;
    }
    r.Write(i % 50 == 27 ? unwritable : page);
  };
  for (int i = 0; i < 60; ++i) run(i);  // what the system makes once for the process (font caches and the like)
  ProcessUse start = wintest::MeasureProcessUse();
  std::printf("chart requests: %d, measured every %d\n", requests, block);
  wintest::PrintProcessUse("start", start);
  DWORD began = GetTickCount();
  for (int done = 1; done <= requests; ++done) {
    run(done);
    if (done % block == 0 || done == requests) {
      ProcessUse now = wintest::MeasureProcessUse();
      wintest::PrintProcessUse(("after " + std::to_string(done)).c_str(), now);
      ExpectFlat(start, now, done, kChartPrivateBytesBound);
    }
  }
  std::printf("chart requests: %d in %.1f s\n", requests, (GetTickCount() - began) / 1000.0);
  EXPECT_TRUE(PageFile(page).Valid());
}

BOOL CALLBACK FindReadout(HWND window, LPARAM found) {
  wchar_t title[32];
  GetWindowTextW(window, title, 32);
  if (std::wcscmp(title, L"Soak readout") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The readout's own window among the thread's windows.
HWND ReadoutWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindReadout, reinterpret_cast<LPARAM>(&found));
  return found;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

TEST(ReadoutSoak, UpdatesWithHideShowAndResizesLeaveNothingBehind) {
  const int updates = Setting("MERIDAN_SOAK_UPDATES", 3000);
  const int block = 1000;
  int16_t flags[21], devices[21], addresses[21], resolu[21], errors[21] = {};
  double nom[21], usl[21], lsl[21], values[21] = {};
  char units[400] = {};
  for (int n = 0; n <= 20; ++n) {
    flags[n] = n >= 1 && n <= 12, devices[n] = 1 + n % 4, addresses[n] = static_cast<int16_t>(n);
    resolu[n] = static_cast<int16_t>(n % 7), nom[n] = 10 + n, usl[n] = 0.05, lsl[n] = -0.05;
  }
  for (int n = 0; n < 20; ++n) std::memcpy(units + 20 * n, n % 2 ? "mm" : "inch", n % 2 ? 2 : 4);
  ASSERT_EQ(Display_Init(nullptr, "Soak readout", flags, devices, addresses, units, nom, usl, lsl, resolu), 0);
  HWND window = ReadoutWindow();
  ASSERT_NE(window, nullptr);
  auto update = [&](int i) {
    for (int n = 1; n <= 20; ++n) {
      values[n] = nom[n] + 0.08 * std::sin(i * 0.37 + n);
      errors[n] = (i + n) % 97 == 0;
    }
    if (i % 211 == 0) values[3] = std::numeric_limits<double>::quiet_NaN();
    Display_ShowValues(values, errors);
    if (i % 500 == 100) Display_ShowDisplay(0);
    if (i % 500 == 150) Display_ShowDisplay(1);
    if (i % 300 == 0) SetWindowPos(window, nullptr, 0, 0, 300 + i % 400, 200 + i % 300, SWP_NOMOVE | SWP_NOZORDER);
    if (i % 20 == 0) PumpMessages();  // the thread dispatches, as a macro's host does
  };
  for (int i = 0; i < 600; ++i) update(i);
  PumpMessages();
  ProcessUse start = wintest::MeasureProcessUse();
  std::printf("readout updates: %d, measured every %d\n", updates, block);
  wintest::PrintProcessUse("start", start);
  DWORD began = GetTickCount();
  for (int done = 1; done <= updates; ++done) {
    update(done);
    if (done % block == 0 || done == updates) {
      PumpMessages();
      ProcessUse now = wintest::MeasureProcessUse();
      wintest::PrintProcessUse(("after " + std::to_string(done)).c_str(), now);
      ExpectFlat(start, now, done);
    }
  }
  std::printf("readout updates: %d in %.1f s\n", updates, (GetTickCount() - began) / 1000.0);
  EXPECT_EQ(ReadoutWindow(), window);
  Display_DeInit();
}

}  // namespace
