// The status window "MERIDAN_HELPER is running ..." and its host watch: a
// 300 ms timer that counts the running spreadsheet hosts through the library
// and unloads the window when none runs any more, when a client asked the
// helper to close, or when the library cannot be reached.
#pragma once
#include <windows.h>

// Loads the window if needed, shows it and dispatches all of the thread's
// messages until the window has been unloaded.
void MERIDAN_Form_ShowModal();

// Unloads the window (its timer stops with it).
void MERIDAN_Form_Unload();

// The window class name, by which tests and tools find the window.
constexpr wchar_t kFormClassName[] = L"MERIDAN_Form";
