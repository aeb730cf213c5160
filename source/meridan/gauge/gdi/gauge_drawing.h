// Drawing the gauge page: the page's objects are made into its own handle
// table and all deleted when the page is done.
#pragma once
#include <windows.h>

#include "gauge/core/gauge_page_layout.h"

// Draws the laid-out page into a bitmap compatible with `display` and writes
// it to `fileName`. False when the page could not be made (no memory context
// or bitmap); nothing is written then. Leaves no drawing object behind.
bool Gauge_DrawAndWritePage(HDC display, const GaugePageLayout& layout, const char* headline,
                            const wchar_t* fileName);
