// The readout window through the real exports of MERIDAN.dll, headless under
// Wine: which rows show, the window's size, the texts, the bar pixels, the
// refresh after a repaint, resizing, showing and hiding, and that nothing is
// read outside the callers' arrays and nothing is leaked.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "display_probe.h"
#include "display_window_probe.h"
#include "meridan_api.h"

namespace {

using namespace readout;

class ReadoutWindow : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(probe::CountLibraryCalls()); }
  void TearDown() override {
    Display_DeInit();
    probe::PumpFor(20);
  }

  // Opens the window and lets its first refresh run.
  HWND Open(ChannelSetup& setup, const char* title, HWND owner = nullptr) {
    Display_Init(owner, title, setup.flags, setup.devices, setup.addresses, setup.units, setup.nomSizes, setup.usls,
                 setup.lsls, setup.resolus);
    probe::PumpFor(250);
    return WindowTitled(title);
  }
  HWND OpenOnly(std::initializer_list<int> channels, const char* title) {
    ChannelSetup setup;
    setup.UseOnly(channels);
    return Open(setup, title);
  }
  HWND OpenAll(const char* title) {
    ChannelSetup setup;
    setup.UseAll();
    return Open(setup, title);
  }

  static void Show(std::initializer_list<std::pair<int, double>> values, int errorChannel = 0) {
    double mv[21] = {};
    int16_t errors[21] = {};
    for (auto [n, value] : values) mv[n] = value;
    if (errorChannel) errors[errorChannel] = 1;
    Display_ShowValues(mv, errors);
  }
};

// Calls while no window is open take nothing, draw nothing and make nothing.
void ExpectNothingDoneWhileClosed(const char* when) {
  SCOPED_TRACE(when);
  probe::Counts before = probe::TheCounts();
  int windows = DialogsOfThisThread();
  double values[21] = {};
  int16_t errors[21] = {};
  Display_ShowValues(values, errors);
  Display_ShowValues(nullptr, nullptr);
  EXPECT_EQ(Display_ShowDisplay(1), 0);
  EXPECT_EQ(Display_ShowDisplay(0), 0);
  Display_DeInit();
  probe::PumpFor(20);
  const probe::Counts& after = probe::TheCounts();
  EXPECT_EQ(after.objectsMade, before.objectsMade);
  EXPECT_EQ(after.dcsTaken, before.dcsTaken);
  EXPECT_EQ(after.dialogsMade, before.dialogsMade);
  EXPECT_EQ(DialogsOfThisThread(), windows);
}

// Runs first in this binary, before any window was opened.
TEST_F(ReadoutWindow, CallsBeforeTheFirstInitDoNothing) { ExpectNothingDoneWhileClosed("before Display_Init"); }

TEST_F(ReadoutWindow, ChannelsOneToThreeShowTheirRowsInAWindowThreeTwentiethsHigh) {
  HWND window = OpenOnly({1, 2, 3}, "rows 1-3");
  ASSERT_TRUE(window);
  for (int n = 1; n <= 3; ++n) EXPECT_TRUE(RowShown(window, n)) << "row " << n;
  for (int n = 4; n <= 20; ++n) EXPECT_TRUE(RowHidden(window, n)) << "row " << n;
  EXPECT_EQ(ClientSize(window).cy, TemplateClientHeight(window) * 3 / 20);
  EXPECT_GE(PlaceOf(window, IDOK).top, ClientSize(window).cy) << "the OK button lies below the client area";
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(ReadoutWindow, ChannelsOneTwoAndFiveShowThoseRowsAndRowFiveFallsBelowTheWindow) {
  HWND window = OpenOnly({1, 2, 5}, "rows 1 2 5");
  ASSERT_TRUE(window);
  EXPECT_TRUE(RowShown(window, 1));
  EXPECT_TRUE(RowShown(window, 2));
  EXPECT_TRUE(RowHidden(window, 3));
  EXPECT_TRUE(RowHidden(window, 4));
  EXPECT_TRUE(RowShown(window, 5));
  for (int n = 6; n <= 20; ++n) EXPECT_TRUE(RowHidden(window, n)) << "row " << n;
  int height = ClientSize(window).cy;
  EXPECT_EQ(height, TemplateClientHeight(window) * 3 / 20);
  EXPECT_GE(PlaceOf(window, 55).top, height) << "row 5 keeps its place below the visible area";
  EXPECT_LT(PlaceOf(window, 52).bottom, height);
}

TEST_F(ReadoutWindow, AllTwentyChannelsKeepTheTemplateSizeWithTheOkButtonInside) {
  HWND window = OpenAll("all rows");
  ASSERT_TRUE(window);
  for (int n = 1; n <= 20; ++n) EXPECT_TRUE(RowShown(window, n)) << "row " << n;
  RECT units = {0, 0, 448, 277};
  MapDialogRect(window, &units);
  EXPECT_EQ(ClientSize(window).cx, units.right);
  EXPECT_EQ(ClientSize(window).cy, units.bottom);
  RECT ok = PlaceOf(window, IDOK);
  EXPECT_GT(ok.top, 0);
  EXPECT_LE(ok.bottom, units.bottom);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, IDOK)));
}

TEST_F(ReadoutWindow, OkButtonAndCloseRequestOnlyHideTheWindow) {
  HWND window = OpenAll("ok hides");
  ASSERT_TRUE(window);
  Show({{1, 10.1}, {20, 9.9}});
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
  probe::PumpFor(20);
  ASSERT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(Display_ShowDisplay(1), 0) << "the window was hidden before";
  EXPECT_TRUE(IsWindowVisible(window));
  for (int n = 1; n <= 20; ++n) EXPECT_TRUE(RowShown(window, n)) << "row " << n;
  EXPECT_EQ(Text(window, 71), "10.100  ");
  EXPECT_EQ(Text(window, 90), "9.900  ");

  SendMessageW(window, WM_CLOSE, 0, 0);
  probe::PumpFor(20);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(ReadoutWindow, FlagsOtherThanOneGiveNoRowAndAreNeverWritten) {
  ChannelSetup setup;
  setup.UseOnly({1, 2, 3, 4});
  setup.flags[2] = 2;
  setup.flags[3] = -1;
  setup.flags[4] = 0;
  HWND window = Open(setup, "flags");
  ASSERT_TRUE(window);
  EXPECT_TRUE(RowShown(window, 1));
  for (int n = 2; n <= 4; ++n) EXPECT_TRUE(RowHidden(window, n)) << "row " << n;
  Show({{1, 10}, {2, 10}, {3, 10}, {4, 10}});
  EXPECT_EQ(Text(window, 71), "10.000  ");
  for (int n = 2; n <= 4; ++n) {
    EXPECT_EQ(Text(window, 10 + n), "ADR8.88") << "the template's placeholder stays in row " << n;
    EXPECT_EQ(Text(window, 70 + n), "") << "row " << n;
  }
}

TEST_F(ReadoutWindow, RowsShowZeroWithLabelsAndCaptionsBeforeTheFirstValues) {
  ChannelSetup setup;
  setup.Use(1, 8, 88, "mm", 25, 0.02, -0.01, 3);
  HWND window = Open(setup, "first refresh");
  ASSERT_TRUE(window);
  EXPECT_EQ(Text(window, 11), "ADR8.88");
  EXPECT_EQ(Text(window, 31), "  25.000mm                   0.020/-0.010");
  EXPECT_EQ(Text(window, 71), "0.000  ");
}

TEST_F(ReadoutWindow, TextsOfLabelsCaptionsAndReadoutsAfterShowValues) {
  ChannelSetup setup;
  setup.Use(1, 8, 88, "mm", 25, 0.02, -0.01, 3);
  setup.Use(2, -1, 5, "in", 12, 0.5, -0.5, 0);
  setup.Use(3, 3, -7, "um", 1.23456789, 0.0000089, -0.25, 7);
  setup.Use(4, -32768, 32767, "", 0, 0, 0, 3);
  std::memcpy(setup.units + 20 * 3, "mm\0", 3);
  setup.Use(5, 1, 1, "abcdefghijklmnopqrst", 1, 0, 0, 1);  // 20 characters, no NUL: taken whole
  setup.Use(6, 1, 2, "uvw", 1, 0, 0, 1);
  HWND window = Open(setup, "texts");
  ASSERT_TRUE(window);
  Show({{1, 1.9999996}, {2, 12.7}, {3, 1.23456789}, {4, 1.23456789}});
  EXPECT_EQ(Text(window, 11), "ADR8.88");
  EXPECT_EQ(Text(window, 12), "ADR-1.5");
  EXPECT_EQ(Text(window, 13), "ADR3.-7");
  EXPECT_EQ(Text(window, 14), "ADR-32768.32767");
  EXPECT_EQ(Text(window, 31), "  25.000mm                   0.020/-0.010");
  EXPECT_EQ(Text(window, 32), "  12in                   0/-0");
  EXPECT_EQ(Text(window, 33), "  1.23456um                   0.00000/-0.25000");
  EXPECT_EQ(Text(window, 34), "  0.000mm 0.000/0.000");
  EXPECT_EQ(Text(window, 35), "  1.0abcdefghijklmnopqrst 0.0/0.0");
  EXPECT_EQ(Text(window, 71), "2.000  ");
  EXPECT_EQ(Text(window, 72), "12  ");
  EXPECT_EQ(Text(window, 73), "1.234568  ");
  EXPECT_EQ(Text(window, 74), "1.234  ");
  Show({{2, -0.5}});
  EXPECT_EQ(Text(window, 72), "-0  ");
}

TEST_F(ReadoutWindow, ErrorShowsErrOnlyInItsRowAndTheNextValueComesBack) {
  HWND window = OpenOnly({1, 2}, "err");
  ASSERT_TRUE(window);
  Show({{1, 10.2}, {2, 10.3}}, 2);
  EXPECT_EQ(Text(window, 71), "10.200  ");
  EXPECT_EQ(Text(window, 72), "Err");
  EXPECT_EQ(Text(window, 32), "  10.000mm                   0.500/-0.500") << "the caption keeps its text";
  Show({{1, 10.2}, {2, 10.3}});
  EXPECT_EQ(Text(window, 72), "10.300  ");
}

TEST_F(ReadoutWindow, LabelsAndCaptionsAreWrittenOnlyByTheFirstUpdate) {
  HWND window = OpenOnly({1}, "captions once");
  ASSERT_TRUE(window);
  SetDlgItemTextA(window, 11, "mine");
  SetDlgItemTextA(window, 31, "mine too");
  Show({{1, 10.1}});
  EXPECT_EQ(Text(window, 11), "mine");
  EXPECT_EQ(Text(window, 31), "mine too");
  EXPECT_EQ(Text(window, 71), "10.100  ");
}

TEST_F(ReadoutWindow, ValuesShownWhileHiddenAppearWhenShownAgain) {
  HWND window = OpenOnly({1}, "hidden");
  ASSERT_TRUE(window);
  EXPECT_NE(Display_ShowDisplay(0), 0) << "the window was visible before";
  EXPECT_FALSE(IsWindowVisible(window));
  Show({{1, 10.4}});
  EXPECT_EQ(Text(window, 71), "10.400  ");
  Display_ShowDisplay(5);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(Text(window, 71), "10.400  ");
}

TEST_F(ReadoutWindow, ShowDisplayCountsOnlyTheLowSixteenBits) {
  HWND window = OpenOnly({1}, "show state");
  ASSERT_TRUE(window);
  Display_ShowDisplay(0x10000);
  EXPECT_FALSE(IsWindowVisible(window));
  Display_ShowDisplay(0x10001);
  EXPECT_TRUE(IsWindowVisible(window));
  Display_ShowDisplay(0xFFFF0000u);
  EXPECT_FALSE(IsWindowVisible(window));
  Display_ShowDisplay(0xFFFFFFFFu);
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(ReadoutWindow, TheWindowIsATopmostDialogWithTheHeadlineAndEightyOneControls) {
  HWND window = OpenOnly({1}, "Gauge readout 1");
  ASSERT_TRUE(window);
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_FALSE(style & WS_SYSMENU) << "no close box";
  EXPECT_EQ(ChildWindows(window), 81);
  char className[32] = "";
  GetClassNameA(window, className, sizeof className);
  EXPECT_STREQ(className, "#32770");
}

// Control colours: text black everywhere; backgrounds and brushes from the palette.
TEST_F(ReadoutWindow, ControlsTakeTheirColoursFromThePalette) {
  HWND window = OpenOnly({1}, "colours");
  ASSERT_TRUE(window);
  HDC dc = CreateCompatibleDC(nullptr);
  struct Case {
    UINT message;
    COLORREF background;
  } cases[] = {{WM_CTLCOLORDLG, kBackground},         {WM_CTLCOLORSTATIC, kBackground},
               {WM_CTLCOLORBTN, RGB(212, 208, 200)},  {WM_CTLCOLOREDIT, RGB(255, 255, 242)},
               {WM_CTLCOLORLISTBOX, RGB(255, 255, 242)}, {WM_CTLCOLORSCROLLBAR, RGB(212, 208, 200)}};
  for (const Case& c : cases) {
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(window, c.message, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(GetDlgItem(window, 71))));
    LOGBRUSH made{};
    ASSERT_TRUE(brush && GetObjectW(brush, sizeof made, &made)) << "message " << std::hex << c.message;
    EXPECT_EQ(made.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(made.lbColor, c.background) << "message " << std::hex << c.message;
    EXPECT_EQ(GetBkColor(dc), c.background);
    EXPECT_EQ(GetTextColor(dc), kBlack);
  }
  // Not handled: the platform's default answer, none of the palette's brushes.
  auto messageBoxBrush = reinterpret_cast<HBRUSH>(
      SendMessageW(window, WM_CTLCOLORMSGBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
  for (const Case& c : cases) {
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(window, c.message, reinterpret_cast<WPARAM>(dc), 0));
    EXPECT_NE(messageBoxBrush, brush) << "message " << std::hex << c.message;
  }
  DeleteDC(dc);
  HDC windowDc = GetDC(window);
  RECT readout = PlaceOf(window, 71);
  EXPECT_EQ(GetPixel(windowDc, readout.right + 2, readout.top + 2), kBackground) << "dialog background";
  ReleaseDC(window, windowDc);
}


class ReadoutBars : public ReadoutWindow {
 protected:
  HWND OpenOneChannel(const char* title) {
    ChannelSetup setup;
    setup.Use(1, 1, 1, "mm", 10.0, 0.5, -0.5, 3);
    return Open(setup, title);
  }
};

TEST_F(ReadoutBars, WithinToleranceTheBarIsGreenWithRedMarks) {
  HWND window = OpenOneChannel("green bar");
  ASSERT_TRUE(window);
  Show({{1, 10.5}});  // at the upper limit: 0.5 / 0.6 of the half-width
  BarArea bar(window, 1);
  ASSERT_GT(bar.Width(), 100);
  EXPECT_EQ(bar.PixelAt(0.1), kGreen);
  EXPECT_EQ(bar.PixelAt(0.5), kGreen);
  EXPECT_EQ(bar.PixelAt(0.78), kGreen);
  EXPECT_EQ(bar.PixelAt(0.9), kBackground) << "the bar ends at 5/6 of the half-width";
  EXPECT_EQ(bar.PixelAt(-0.5), kBackground) << "nothing left of the centre";
  EXPECT_TRUE(bar.Near(bar.At(0.5 / 0.6), kRed)) << "upper mark";
  EXPECT_TRUE(bar.Near(bar.At(-0.5 / 0.6), kRed)) << "lower mark";
  EXPECT_TRUE(bar.Near(bar.At(0), kBlack)) << "centre line";
}

TEST_F(ReadoutBars, OutOfToleranceTheBarIsRedWithGreenMarks) {
  HWND window = OpenOneChannel("red bar");
  ASSERT_TRUE(window);
  Show({{1, 10.55}});  // 0.55 / 0.6 of the half-width
  BarArea bar(window, 1);
  EXPECT_EQ(bar.PixelAt(0.3), kRed);
  EXPECT_EQ(bar.PixelAt(0.88), kRed);
  EXPECT_EQ(bar.PixelAt(0.96), kBackground);
  EXPECT_TRUE(bar.Near(bar.At(0.5 / 0.6), kGreen)) << "upper mark over the bar";
  EXPECT_TRUE(bar.Near(bar.At(-0.5 / 0.6), kGreen)) << "lower mark";
  EXPECT_TRUE(bar.Near(bar.At(0), kBlack)) << "centre line";
}

TEST_F(ReadoutBars, AFarValueDrawsARedBarToTheEndOfTheBarArea) {
  HWND window = OpenOneChannel("far value");
  ASSERT_TRUE(window);
  Show({{1, 100}});
  BarArea bar(window, 1);
  EXPECT_EQ(bar.Pixel(bar.Width() - 3), kRed);
  EXPECT_EQ(bar.PixelAt(0.97), kRed);
  Show({{1, -100}});
  EXPECT_EQ(bar.Pixel(2), kRed);
  EXPECT_EQ(bar.PixelAt(0.5), kBackground) << "the previous bar is drawn over";
}

TEST_F(ReadoutBars, ANegativeDeviationExtendsLeftOfTheCentre) {
  HWND window = OpenOneChannel("left bar");
  ASSERT_TRUE(window);
  Show({{1, 9.75}});  // -0.25 / 0.6 of the half-width
  BarArea bar(window, 1);
  EXPECT_EQ(bar.PixelAt(-0.3), kGreen);
  EXPECT_EQ(bar.PixelAt(-0.5), kBackground);
  EXPECT_EQ(bar.PixelAt(0.3), kBackground);
}

TEST_F(ReadoutBars, AnErrorClearsTheBarAndTheNextValueDrawsItAgain) {
  HWND window = OpenOneChannel("err bar");
  ASSERT_TRUE(window);
  Show({{1, 10.3}});
  BarArea bar(window, 1);
  ASSERT_EQ(bar.PixelAt(0.3), kGreen);
  Show({{1, 10.3}}, 1);
  probe::PumpFor(30);
  EXPECT_EQ(bar.PixelAt(0.3), kBackground);
  EXPECT_EQ(bar.PixelAt(0), kBackground) << "no centre line either";
  Show({{1, 10.3}});
  EXPECT_EQ(bar.PixelAt(0.3), kGreen);
}

TEST_F(ReadoutBars, BarsComeBackAboutATenthOfASecondAfterARepaint) {
  HWND window = OpenOneChannel("repaint");
  ASSERT_TRUE(window);
  Show({{1, 10.3}});
  BarArea bar(window, 1);
  ASSERT_EQ(bar.PixelAt(0.3), kGreen);
  // Timed from before the repaint: the refresh timer is armed inside it, and on a
  // busy machine painting the rows after that can take a while.
  ULONGLONG repainted = GetTickCount64();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(bar.PixelAt(0.3), kBackground) << "the repaint wipes the bar";
  ULONGLONG back = 0;
  while (!back && GetTickCount64() - repainted < 3000) {
    probe::PumpFor(5);
    if (bar.PixelAt(0.3) == kGreen) back = GetTickCount64();
  }
  ASSERT_NE(back, 0u) << "the bar did not come back";
  // A window timer never fires early; the upper bound only keeps a busy machine from failing the run.
  EXPECT_GE(back - repainted, 90u);
  EXPECT_LT(back - repainted, 1000u);
}

TEST_F(ReadoutBars, OneRepaintGivesOneRefreshOnly) {
  HWND window = OpenOneChannel("one refresh");
  ASSERT_TRUE(window);
  long before = probe::TheCounts().dcsTaken;
  probe::PumpFor(400);
  EXPECT_EQ(probe::TheCounts().dcsTaken, before) << "no refresh without a repaint";
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  probe::PumpFor(600);
  EXPECT_EQ(probe::TheCounts().dcsTaken, before + 1) << "one update drawing the one bar, then the timer stops";
}

TEST_F(ReadoutBars, RepeatedRepaintsPutTheRefreshOff) {
  HWND window = OpenOneChannel("repaints");
  ASSERT_TRUE(window);
  Show({{1, 10.3}});
  BarArea bar(window, 1);
  ULONGLONG start = GetTickCount64();
  int checked = 0;
  while (GetTickCount64() - start < 300) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ULONGLONG repainted = GetTickCount64();
    probe::PumpFor(30);
    // The refresh is due 100 ms after the last repaint: on a machine busy with
    // other tests the pump can take that long, and then the bar is rightly back.
    if (GetTickCount64() - repainted < 80) {
      ++checked;
      EXPECT_EQ(bar.PixelAt(0.3), kBackground) << "refreshed while repaints kept coming";
    }
  }
  EXPECT_GT(checked, 0) << "no repaint came within the refresh delay of the last";
  probe::PumpFor(250);
  EXPECT_EQ(bar.PixelAt(0.3), kGreen);
}

// Lets the window grow beyond the small screen of the headless driver, which
// the default sizing rules would otherwise hold it to.
WNDPROC dialogWindowProcedure;

LRESULT CALLBACK AllowLargeWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallWindowProcW(dialogWindowProcedure, window, message, wParam, lParam);
  if (message == WM_GETMINMAXINFO) {
    auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
    limits->ptMaxTrackSize = {10000, 10000};
    limits->ptMaxSize = {10000, 10000};
  }
  return result;
}

TEST_F(ReadoutWindow, ResizingToTwiceTheWidthStretchesTheRowsButNotTheOkButton) {
  HWND window = OpenOnly({1, 2, 3}, "resize");
  ASSERT_TRUE(window);
  dialogWindowProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AllowLargeWindow)));
  // After opening, the rows sit at their reference places (the shrink relaid them out).
  std::vector<RECT> before;
  for (int id = 11; id <= 90; ++id) before.push_back(PlaceOf(window, id));
  RECT ok = PlaceOf(window, IDOK);
  SIZE client = ClientSize(window);
  RECT outer;
  GetWindowRect(window, &outer);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + client.cx, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_EQ(ClientSize(window).cx, 2 * client.cx);
  ASSERT_EQ(ClientSize(window).cy, client.cy);
  for (int id = 11; id <= 90; ++id) {
    RECT now = PlaceOf(window, id), then = before[id - 11];
    EXPECT_EQ(now.left, 2 * then.left) << "control " << id;
    EXPECT_EQ(now.right - now.left, 2 * (then.right - then.left)) << "control " << id;
    EXPECT_EQ(now.top, then.top) << "control " << id;
    EXPECT_EQ(now.bottom - now.top, then.bottom - then.top) << "control " << id;
  }
  RECT okNow = PlaceOf(window, IDOK);
  EXPECT_EQ(std::memcmp(&okNow, &ok, sizeof ok), 0) << "the OK button stays put";
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(dialogWindowProcedure));
}

TEST_F(ReadoutWindow, ResizingWithNoChannelInUseMovesNothingAndDoesNotFail) {
  ChannelSetup setup;
  HWND window = Open(setup, "no rows");
  ASSERT_TRUE(window);
  for (int n = 1; n <= 20; ++n) EXPECT_TRUE(RowHidden(window, n)) << "row " << n;
  RECT before = PlaceOf(window, 51);
  RECT outer;
  GetWindowRect(window, &outer);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left - 100, outer.bottom - outer.top + 80,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  probe::PumpFor(150);
  RECT after = PlaceOf(window, 51);
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
  Show({{1, 1.0}});
  EXPECT_EQ(Text(window, 71), "");
}

TEST_F(ReadoutWindow, NoArrayIsReadBeforeElementOneOrAfterElementTwenty) {
  using probe::FencedArray;
  for (probe::FenceSide side : {probe::kBelowFirst, probe::kAboveLast}) {
    SCOPED_TRACE(side == probe::kBelowFirst ? "element 0 unreadable" : "element 21 unreadable");
    FencedArray<int16_t> flags(21, side), devices(21, side), addresses(21, side), resolus(21, side);
    FencedArray<double> nomSizes(21, side), usls(21, side), lsls(21, side), values(21, side);
    FencedArray<int16_t> errors(21, side);
    // The units are 400 characters from their first: the fence lies just before or just after them.
    FencedArray<char> units(side == probe::kBelowFirst ? 401 : 400, side);
    char* unitText = side == probe::kBelowFirst ? units.data() + 1 : units.data();
    std::memset(unitText, ' ', 400);
    for (int n = 1; n <= 20; ++n) {
      flags[n] = 1;
      devices[n] = 7;
      addresses[n] = static_cast<int16_t>(n);
      resolus[n] = 2;
      nomSizes[n] = 5.0;
      usls[n] = 0.1;
      lsls[n] = -0.1;
      values[n] = 5.0 + n / 100.0;
      errors[n] = 0;
      unitText[20 * (n - 1)] = 'm';
    }
    Display_Init(nullptr, "fenced", flags.data(), devices.data(), addresses.data(), unitText, nomSizes.data(),
                 usls.data(), lsls.data(), resolus.data());
    probe::PumpFor(200);
    Display_ShowValues(values.data(), errors.data());
    HWND window = WindowTitled("fenced");
    ASSERT_TRUE(window);
    EXPECT_EQ(Text(window, 11), "ADR7.1");
    EXPECT_EQ(Text(window, 30), "ADR7.20");
    EXPECT_EQ(Text(window, 50), "  5.00m" + std::string(20, ' ') + "0.10/-0.10");
    EXPECT_EQ(Text(window, 71), "5.01  ");
    EXPECT_EQ(Text(window, 90), "5.20  ");
    Display_DeInit();
  }
}

TEST_F(ReadoutWindow, ElementZeroChangesNothing) {
  ChannelSetup setup;
  setup.UseOnly({1});
  setup.flags[0] = 1;
  setup.devices[0] = 99;
  HWND window = Open(setup, "element 0");
  ASSERT_TRUE(window);
  EXPECT_EQ(ChildWindows(window), 81);
  for (int n = 2; n <= 20; ++n) EXPECT_TRUE(RowHidden(window, n)) << "row " << n;
  double values[21] = {99.0, 10.25};
  int16_t errors[21] = {1, 0};
  Display_ShowValues(values, errors);
  EXPECT_EQ(Text(window, 71), "10.250  ");
}

TEST_F(ReadoutWindow, CallsAfterDeInitDoNothing) {
  HWND window = OpenOnly({1}, "closed");
  ASSERT_TRUE(window);
  Display_DeInit();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(probe::TheCounts().live.empty()) << "palette brushes left after Display_DeInit";
  ExpectNothingDoneWhileClosed("after Display_DeInit");
}

TEST_F(ReadoutWindow, CallsAfterAFailedCreationDoNothing) {
  ChannelSetup setup;
  setup.UseOnly({1});
  probe::failNextDialog = true;
  Display_Init(nullptr, "never made", setup.flags, setup.devices, setup.addresses, setup.units, setup.nomSizes,
               setup.usls, setup.lsls, setup.resolus);
  EXPECT_FALSE(probe::failNextDialog) << "the window was not asked for";
  EXPECT_EQ(WindowTitled("never made"), nullptr);
  EXPECT_TRUE(probe::TheCounts().live.empty()) << "palette brushes kept without a window";
  ExpectNothingDoneWhileClosed("after a failed creation");
}

TEST_F(ReadoutWindow, AWindowDestroyedWithItsOwnerIsNeverDrawnIntoAgain) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(owner);
  ChannelSetup setup;
  setup.UseOnly({1});
  HWND window = Open(setup, "owned", owner);
  ASSERT_TRUE(window);
  EXPECT_EQ(GetWindow(window, GW_OWNER), owner);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(window)) << "owned windows go with their owner";
  ExpectNothingDoneWhileClosed("after the owner was destroyed");
  EXPECT_TRUE(probe::TheCounts().live.empty());
}

TEST_F(ReadoutWindow, ASecondInitClosesTheFirstWindow) {
  ChannelSetup first, second;
  first.UseOnly({1});
  second.UseOnly({1, 2});
  int windows = DialogsOfThisThread();
  HWND old = Open(first, "first window");
  ASSERT_TRUE(old);
  HWND now = Open(second, "second window");
  ASSERT_TRUE(now);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(DialogsOfThisThread(), windows + 1);
  Show({{1, 10.1}, {2, 10.2}});
  EXPECT_EQ(Text(now, 72), "10.200  ");
  Display_DeInit();
  EXPECT_FALSE(IsWindow(now));
  EXPECT_EQ(DialogsOfThisThread(), windows);
  EXPECT_TRUE(probe::TheCounts().live.empty());
}

TEST_F(ReadoutWindow, EachUpdateMakesAndDeletesItsNineDrawingObjects) {
  ChannelSetup setup;
  setup.UseAll();
  ASSERT_TRUE(Open(setup, "nine objects"));
  probe::Counts before = probe::TheCounts();
  size_t palette = before.live.size();
  Show({{1, 10.1}}, 3);
  const probe::Counts& after = probe::TheCounts();
  EXPECT_EQ(after.objectsMade - before.objectsMade, 9);
  EXPECT_EQ(after.objectsDeleted - before.objectsDeleted, 9);
  EXPECT_EQ(after.live.size(), palette) << "only the palette's eight brushes live on";
  EXPECT_EQ(palette, 8u);
  EXPECT_EQ(after.dcsTaken - before.dcsTaken, 19) << "one drawing context per row drawn (row 3 has an error)";
  EXPECT_EQ(after.dcsReleased - before.dcsReleased, 19);
}

TEST_F(ReadoutWindow, NothingLeaksOverAThousandUpdatesAndTenOpenCloseCycles) {
  const probe::Counts start = probe::TheCounts();
  DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  int windows = DialogsOfThisThread();
  HWND window = OpenAll("thousand updates");
  ASSERT_TRUE(window);
  for (int update = 0; update < 1000; ++update) {
    double values[21];
    int16_t errors[21] = {};
    for (int n = 1; n <= 20; ++n) values[n] = 10.0 + 0.05 * ((update + n) % 25 - 12);
    errors[1 + update % 20] = static_cast<int16_t>(update % 7 == 0);
    Display_ShowValues(values, errors);
    if (update % 100 == 0) probe::PumpFor(1);
  }
  Display_DeInit();
  std::vector<HWND> opened;
  for (int cycle = 0; cycle < 10; ++cycle) {
    opened.push_back(OpenAll("cycle"));
    Show({{1, 10.0 + cycle / 100.0}});
    Display_DeInit();
  }
  probe::PumpFor(50);
  const probe::Counts& end = probe::TheCounts();
  EXPECT_TRUE(end.live.empty()) << end.live.size() << " pens or brushes never deleted";
  EXPECT_EQ(end.failedDeletes, start.failedDeletes);
  EXPECT_EQ(end.objectsMade - start.objectsMade, end.objectsDeleted - start.objectsDeleted);
  EXPECT_GE(end.objectsMade - start.objectsMade, 9 * 1000 + 11 * 8);
  EXPECT_EQ(end.dcsTaken - start.dcsTaken, end.dcsReleased - start.dcsReleased);
  EXPECT_EQ(end.dialogsMade - start.dialogsMade, 11);
  for (HWND old : opened) EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(DialogsOfThisThread(), windows);
  // Where the platform counts GDI objects per process (Windows does; Wine answers 0), it agrees.
  DWORD gdiAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (gdiBefore != 0) {
    EXPECT_LE(gdiAfter, gdiBefore + 2);
  }
}

}  // namespace
