// Cost of one Display_ShowValues with all 20 channels in use (20 readout
// texts set, 20 bars drawn, nine pens and brushes made and deleted), beside
// two baselines measured in the same run: one SetWindowTextA on one of the
// window's static controls, and the floor of any such update, the same 20
// texts and 20 bars written by hand with the same kind of calls (a drawing
// context per bar area, two rectangles, three lines).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "../source/meridan/meridan_api.h"

namespace {

double Seconds() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Call>
double MicrosecondsPerCall(int calls, Call call) {
  for (int i = 0; i < 10; ++i) call();  // warm up
  double start = Seconds();
  for (int i = 0; i < calls; ++i) call();
  return (Seconds() - start) * 1e6 / calls;
}

double Median(double (&samples)[5]) {
  std::sort(samples, samples + 5);
  return samples[2];
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void DrawOneBarByHand(HWND barArea, double fraction) {
  HDC dc = GetDC(barArea);
  RECT client;
  GetClientRect(barArea, &client);
  HBRUSH background = CreateSolidBrush(RGB(240, 233, 208)), green = CreateSolidBrush(RGB(0, 255, 0));
  HPEN outline = CreatePen(PS_SOLID, 1, RGB(240, 233, 208)), mark = CreatePen(PS_SOLID, 2, RGB(255, 0, 0));
  HGDIOBJ oldBrush = SelectObject(dc, background), oldPen = SelectObject(dc, outline);
  int mid = client.right / 2;
  Rectangle(dc, 1, 1, client.right - 1, client.bottom - 1);
  SelectObject(dc, green);
  Rectangle(dc, mid, 1, mid + static_cast<int>(mid * fraction), client.bottom - 1);
  SelectObject(dc, mark);
  for (int x : {mid, mid / 6, mid * 11 / 6}) {
    MoveToEx(dc, x, 2, nullptr);
    LineTo(dc, x, client.bottom - 2);
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(background);
  DeleteObject(green);
  DeleteObject(outline);
  DeleteObject(mark);
  ReleaseDC(barArea, dc);
}

}  // namespace

int main() {
  const char title[] = "display bench";
  int16_t flags[21], devices[21], addresses[21], resolus[21];
  double nomSizes[21], usls[21], lsls[21];
  char units[401] = {};
  for (int n = 1; n <= 20; ++n) {
    flags[n] = 1;
    devices[n] = 1;
    addresses[n] = static_cast<int16_t>(n);
    resolus[n] = 3;
    nomSizes[n] = 10.0;
    usls[n] = 0.5;
    lsls[n] = -0.5;
    std::memcpy(units + 20 * (n - 1), "mm", 2);
  }
  Display_Init(nullptr, title, flags, devices, addresses, units, nomSizes, usls, lsls, resolus);
  HWND window = FindWindowA(nullptr, title);
  if (!window) {
    std::printf("the readout window did not open\n");
    return 1;
  }
  for (int i = 0; i < 30; ++i) {
    Pump();
    Sleep(10);
  }

  // Five alternating rounds of each; the medians are compared, so that other
  // work on the machine during one round does not decide the ratio.
  const int calls = 100;
  int step = 0;
  double values[21] = {};
  int16_t errors[21] = {};
  HWND readout = GetDlgItem(window, 71);
  double update[5], byHand[5], oneText[5];
  for (int round = 0; round < 5; ++round) {
    update[round] = MicrosecondsPerCall(calls, [&] {
      ++step;
      for (int n = 1; n <= 20; ++n) values[n] = 10.0 + 0.01 * ((step + n) % 80 - 40);
      Display_ShowValues(values, errors);
    });
    byHand[round] = MicrosecondsPerCall(calls, [&] {
      ++step;
      for (int n = 1; n <= 20; ++n) {
        SetDlgItemTextA(window, 70 + n, step % 2 ? "10.123  " : "10.456  ");
        DrawOneBarByHand(GetDlgItem(window, 50 + n), (step % 10) / 10.0);
      }
    });
    oneText[round] = MicrosecondsPerCall(calls * 10, [&] {
      ++step;
      SetWindowTextA(readout, step % 2 ? "10.123  " : "10.456  ");
    });
    Pump();
  }
  Display_DeInit();

  double u = Median(update), h = Median(byHand), t = Median(oneText);
  std::printf("medians of 5 rounds under this machine's load:\n");
  std::printf("Display_ShowValues, 20 channels in use: %9.1f us per call\n", u);
  std::printf("the same 20 texts and 20 bars by hand:   %9.1f us (update = %.2f x)\n", h, u / h);
  std::printf("one SetWindowTextA on a static control:  %9.1f us (update = %.1f x)\n", t, u / t);
  return 0;
}
