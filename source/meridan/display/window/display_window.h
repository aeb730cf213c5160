// The routines that run the readout window and the identifiers of its
// controls. Everything here runs on the thread that opened the window.
#pragma once
#include <windows.h>

#include "display/window/display_state.h"

// Controls of row n (1 to 20) have these identifiers plus n.
constexpr int kDeviceLabelBase = 10;
constexpr int kCaptionBase = 30;
constexpr int kBarAreaBase = 50;
constexpr int kReadoutBase = 70;
constexpr int kFirstRowControl = 11;
constexpr int kLastRowControl = 90;

// Sent to the window to (re)start its one-shot refresh timer.
constexpr UINT kArmRefreshMessage = WM_USER + 1;
constexpr UINT_PTR kRefreshTimer = 100;
constexpr UINT kRefreshDelayMs = 100;

// Writes the texts of every row in use and draws its deviation bar.
void UpdateDisplay(HWND window);

INT_PTR CALLBACK DisplayDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
