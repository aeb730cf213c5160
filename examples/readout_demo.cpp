// Demo of the readout window, as a macro would drive it: initialise the kit,
// open the window for six simulated gauges, push their readings a few times a
// second while dispatching the window's messages, then take a picture of the
// window itself (title bar included) as a BMP file.
//   readout_demo.exe [picture.bmp] [seconds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "meridan_api.h"

namespace {

const char kHeadline[] = "MERIDAN readout: simulated gauges";

struct Gauge {
  int16_t device, address;
  const char* unit;
  double nomSize, usl, lsl;
  int16_t resolu;
};

// Nominal sizes of the stand-in kit's gauges, with tolerances of one and a half
// to two standard deviations, so that now and then a reading falls outside.
const Gauge kGauges[] = {
    {1, 1, "mm", 25.000, 0.020, -0.020, 3},  {1, 2, "mm", 30.000, 0.020, -0.020, 3},
    {1, 3, "mm", 35.000, 0.015, -0.025, 3},  {2, 1, "mm", 12.5000, 0.0030, -0.0030, 4},
    {3, 1, "mm", 0.000, 0.008, -0.008, 3},   {4, 1, "mm", 100.00, 0.04, -0.04, 2},
};
const int kChannels = sizeof kGauges / sizeof kGauges[0];

void PumpFor(DWORD milliseconds) {
  ULONGLONG end = GetTickCount64() + milliseconds;
  for (ULONGLONG now; (now = GetTickCount64()) < end;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

void PutLE(std::vector<unsigned char>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// The whole window as the screen would show it, read through its window DC.
bool CaptureWindow(HWND window, const char* path) {
  RECT outer;
  GetWindowRect(window, &outer);
  int width = outer.right - outer.left, height = outer.bottom - outer.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as the file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HDC windowDc = GetWindowDC(window);
  HDC memoryDc = CreateCompatibleDC(windowDc);
  HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  HGDIOBJ original = SelectObject(memoryDc, bitmap);
  BOOL copied = BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
  GdiFlush();

  // Written as 24 bits per pixel: the fourth byte of a 32-bit screen pixel is
  // not an alpha value, and a 32-bit file would let viewers take it for one.
  uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
  std::vector<unsigned char> file;
  file.push_back('B');
  file.push_back('M');
  PutLE(file, 14 + 40 + imageBytes, 4);
  PutLE(file, 0, 4);
  PutLE(file, 14 + 40, 4);
  PutLE(file, 40, 4);
  PutLE(file, static_cast<uint32_t>(width), 4);
  PutLE(file, static_cast<uint32_t>(height), 4);
  PutLE(file, 1, 2);
  PutLE(file, 24, 2);
  PutLE(file, BI_RGB, 4);
  PutLE(file, imageBytes, 4);
  PutLE(file, 2835, 4);  // 72 dots per inch
  PutLE(file, 2835, 4);
  PutLE(file, 0, 4);
  PutLE(file, 0, 4);
  const auto* source = static_cast<const unsigned char*>(pixels);
  for (int row = 0; row < height; ++row) {
    const unsigned char* pixel = source + static_cast<size_t>(row) * width * 4;
    for (int x = 0; x < width; ++x, pixel += 4) file.insert(file.end(), pixel, pixel + 3);
    for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad) file.push_back(0);
  }

  SelectObject(memoryDc, original);
  DeleteObject(bitmap);
  DeleteDC(memoryDc);
  ReleaseDC(window, windowDc);

  FILE* out = copied ? std::fopen(path, "wb") : nullptr;
  if (!out) return false;
  bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  const char* picture = argc > 1 ? argv[1] : "readout.bmp";
  int seconds = argc > 2 ? std::atoi(argv[2]) : 3;

  int16_t reserved = 0;
  if (int16_t status = static_cast<int16_t>(MERIDAN_Init(&reserved, 1, "", nullptr, 0)); status != 0)
    std::printf("MERIDAN_Init answered %d\n", status);

  // Arrays of 21 elements: element n is channel n, element 0 is not used.
  int16_t flags[21] = {}, devices[21] = {}, addresses[21] = {}, resolus[21] = {};
  double nomSizes[21] = {}, usls[21] = {}, lsls[21] = {};
  // Each unit ends at a NUL: blanks padding a unit would stay in the caption.
  char units[401] = {};
  for (int n = 1; n <= kChannels; ++n) {
    const Gauge& gauge = kGauges[n - 1];
    flags[n] = 1;
    devices[n] = gauge.device;
    addresses[n] = gauge.address;
    std::memcpy(units + 20 * (n - 1), gauge.unit, std::strlen(gauge.unit));
    nomSizes[n] = gauge.nomSize;
    usls[n] = gauge.usl;
    lsls[n] = gauge.lsl;
    resolus[n] = gauge.resolu;
  }
  Display_Init(nullptr, kHeadline, flags, devices, addresses, units, nomSizes, usls, lsls, resolus);
  HWND window = FindWindowA(nullptr, kHeadline);
  if (!window) {
    std::printf("the readout window did not open\n");
    return 1;
  }

  std::printf("round");
  for (int n = 1; n <= kChannels; ++n) std::printf("   ADR%d.%d", kGauges[n - 1].device, kGauges[n - 1].address);
  std::printf("\n");
  int rounds = seconds * 5;
  for (int round = 1; round <= rounds; ++round) {
    double values[21] = {};
    int16_t errors[21] = {};
    std::printf("%5d", round);
    for (int n = 1; n <= kChannels; ++n) {
      int16_t status = static_cast<int16_t>(MERIDAN_Value(devices[n], addresses[n], &values[n]));
      errors[n] = status != 0;
      if (errors[n])
        std::printf(" %9s", "Err");
      else
        std::printf(" %9.4f", values[n]);
    }
    std::printf("\n");
    Display_ShowValues(values, errors);
    PumpFor(200);
  }

  PumpFor(250);  // let the refresh after the last repaint draw the bars
  bool captured = CaptureWindow(window, picture);
  std::printf(captured ? "window captured into %s\n" : "could not write %s\n", picture);
  Display_DeInit();
  MERIDAN_DeInit();
  return captured ? 0 : 1;
}
