// Looking into the readout window from a test: the settings a macro passes,
// finding the window, its controls' texts, places and states, and the pixels
// of a bar area.
#pragma once
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

namespace readout {

inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kBackground = RGB(240, 233, 208);

// Everything Display_Init takes, as a macro would fill it: 21-element arrays
// (element 0 unused) and the 20 units side by side, each padded to 20 characters.
struct ChannelSetup {
  int16_t flags[21] = {}, devices[21] = {}, addresses[21] = {}, resolus[21] = {};
  double nomSizes[21] = {}, usls[21] = {}, lsls[21] = {};
  char units[401] = {};

  ChannelSetup() { std::memset(units, ' ', 400); }
  void Use(int n, int16_t device, int16_t address, const char* unit, double nomSize, double usl, double lsl,
           int16_t resolu) {
    flags[n] = 1;
    devices[n] = device;
    addresses[n] = address;
    std::memcpy(units + 20 * (n - 1), unit, std::strlen(unit));
    nomSizes[n] = nomSize;
    usls[n] = usl;
    lsls[n] = lsl;
    resolus[n] = resolu;
  }
  void UseOnly(std::initializer_list<int> channels) {
    for (int n : channels) Use(n, 1, static_cast<int16_t>(n), "mm", 10.0, 0.5, -0.5, 3);
  }
  void UseAll() {
    for (int n = 1; n <= 20; ++n) Use(n, 1, static_cast<int16_t>(n), "mm", 10.0, 0.5, -0.5, 3);
  }
};

struct FoundWindow {
  const char* title;
  HWND window;
};

inline BOOL CALLBACK FindByTitle(HWND window, LPARAM found) {
  auto* wanted = reinterpret_cast<FoundWindow*>(found);
  char title[256] = "";
  GetWindowTextA(window, title, sizeof title);
  if (std::strcmp(title, wanted->title) != 0) return TRUE;
  wanted->window = window;
  return FALSE;
}

inline HWND WindowTitled(const char* title) {
  FoundWindow found{title, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindByTitle, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

inline BOOL CALLBACK CountOne(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

inline BOOL CALLBACK CountDialog(HWND window, LPARAM count) {
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  if (std::strcmp(className, "#32770") == 0) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Dialog windows of this thread (Wine adds a window of its own, "Default IME",
// when a thread makes its first window).
inline int DialogsOfThisThread() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountDialog, reinterpret_cast<LPARAM>(&count));
  return count;
}

inline int ChildWindows(HWND parent) {
  int count = 0;
  EnumChildWindows(parent, CountOne, reinterpret_cast<LPARAM>(&count));
  return count;
}

inline std::string Text(HWND window, int id) {
  char text[256] = "";
  GetDlgItemTextA(window, id, text, sizeof text);
  return text;
}

inline SIZE ClientSize(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

// A control's outer rectangle in its dialog's client coordinates.
inline RECT PlaceOf(HWND dialog, int id) {
  RECT rect;
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

inline bool RowShown(HWND window, int n) {
  for (int base : {10, 30, 50, 70}) {
    HWND control = GetDlgItem(window, base + n);
    if (!(GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) || !IsWindowEnabled(control)) return false;
  }
  return true;
}

inline bool RowHidden(HWND window, int n) {
  for (int base : {10, 30, 50, 70}) {
    HWND control = GetDlgItem(window, base + n);
    if ((GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) || IsWindowEnabled(control)) return false;
  }
  return true;
}

// Client height of the template in pixels, from the dialog's own units.
inline int TemplateClientHeight(HWND window) {
  RECT units = {0, 0, 448, 277};
  MapDialogRect(window, &units);
  return units.bottom;
}

// Pixels of the bar area of row n, read back from the window itself. Its
// client area spans x0 = 1 to x1 = width - 1 one pixel in; the centre lies
// halfway, and the bar reaches half-width * deviation / range from it, with
// range 1.2 times the larger tolerance.
class BarArea {
 public:
  BarArea(HWND window, int n) : control_(GetDlgItem(window, 50 + n)) {
    RECT client;
    GetClientRect(control_, &client);
    width_ = client.right;
    height_ = client.bottom;
    dc_ = GetDC(control_);
  }
  ~BarArea() { ReleaseDC(control_, dc_); }
  // x at `fraction` of the half-width right of the centre (negative: left)
  int At(double fraction) const {
    double x0 = 1, x1 = width_ - 1;
    return static_cast<int>(std::floor((x0 + x1) / 2 + (x1 - x0) / 2 * fraction));
  }
  int Middle() const { return height_ / 2; }
  COLORREF Pixel(int x) const { return GetPixel(dc_, x, Middle()); }
  COLORREF PixelAt(double fraction) const { return Pixel(At(fraction)); }
  // Whether `colour` is found within one pixel of x (a mark drawn two pixels wide).
  bool Near(int x, COLORREF colour) const {
    return Pixel(x - 1) == colour || Pixel(x) == colour || Pixel(x + 1) == colour;
  }
  int Width() const { return width_; }

 private:
  HWND control_;
  HDC dc_;
  int width_, height_;
};

}  // namespace readout
