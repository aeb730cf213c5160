// MERIDAN_HELPER: the out-of-process automation server that offers the
// library's functions to 64-bit spreadsheet hosts (see MainFunctions).
#include <windows.h>

#include "MainFunctions.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return Helper_Run(); }
