#include "MERIDAN_Form.h"

#include <objbase.h>

#include <cstdint>

#include "Declarations.h"
#include "MainFunctions.h"

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 300;
constexpr int kLabel1 = 1;
constexpr wchar_t kLabel1Text[] = L"MERIDAN_HELPER is running ...";

// Layout in twips (1/1440 inch): the client area and Label1 inside it.
constexpr int kClientWidth = 4560, kClientHeight = 480;
constexpr int kLabelLeft = 240, kLabelTop = 120, kLabelWidth = 3855, kLabelHeight = 375;

HWND form;
bool inTick;

int Twips(int twips, int dotsPerInch) { return MulDiv(twips, dotsPerInch, 1440); }

// Timer1: one presence count per tick, without pumping messages inside it.
// A library that cannot be reached counts as no host: the window must not
// stay open for ever.
void Timer1_Timer() {
  if (inTick) return;  // a tick while the library shows a message box of its own
  inTick = true;
  MERIDAN_IsExcelStarted_Function isExcelStarted = nullptr;
  bool close = true;
  if (SUCCEEDED(Library_Bind(LibraryExport::MERIDAN_IsExcelStarted, &isExcelStarted, IID_NULL))) {
    int16_t hosts = static_cast<int16_t>(isExcelStarted(0));
    close = hosts == 0 || closeRequested > 0;
  }
  inTick = false;
  if (close) MERIDAN_Form_Unload();
}

LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kTimer1) {
        Timer1_Timer();
        return 0;
      }
      break;
    case WM_DESTROY:
      KillTimer(window, kTimer1);
      if (window == form) form = nullptr;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool Load() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExW(instance, kFormClassName, &windowClass)) {
    windowClass.lpfnWndProc = FormProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFormClassName;
    if (!RegisterClassExW(&windowClass)) return false;
  }
  HDC screen = GetDC(nullptr);
  int dotsPerInch = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  // A thin fixed border and no title bar: the client area starts one pixel in.
  const DWORD style = WS_POPUP | WS_BORDER;
  RECT frame{0, 0, Twips(kClientWidth, dotsPerInch), Twips(kClientHeight, dotsPerInch)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int left = work.left + (work.right - work.left - width) / 2;
  int top = work.top + (work.bottom - work.top - height) / 2;
  form = CreateWindowExW(0, kFormClassName, L"MERIDAN_HELPER", style, left, top, width, height, nullptr, nullptr,
                         instance, nullptr);
  if (!form) return false;
  HWND label1 = CreateWindowExW(0, L"STATIC", kLabel1Text, WS_CHILD | WS_VISIBLE | SS_LEFT,
                                Twips(kLabelLeft, dotsPerInch), Twips(kLabelTop, dotsPerInch),
                                Twips(kLabelWidth, dotsPerInch), Twips(kLabelHeight, dotsPerInch), form,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabel1)), instance, nullptr);
  if (label1) SendMessageW(label1, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  SetTimer(form, kTimer1, kTimer1Interval, nullptr);
  return true;
}

}  // namespace

void MERIDAN_Form_ShowModal() {
  if (!form && !Load()) return;
  // Shown without taking the keyboard focus from the spreadsheet.
  ShowWindow(form, SW_SHOWNOACTIVATE);
  UpdateWindow(form);
  while (form) {
    MSG message;
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      MERIDAN_Form_Unload();
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void MERIDAN_Form_Unload() {
  if (form) DestroyWindow(form);
}
