// Drawing the capability page from its layout, with the page's shared objects.
#pragma once
#include <windows.h>

#include "spc/core/capability_page_layout.h"

// The whole page: frame and title, histogram, probability plot, panel and verdict.
void Capability_DrawPage(HDC dc, const CapabilityPageLayout& layout, const char* headline);
