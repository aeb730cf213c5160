// Drawing routines of the chart page beyond those of the SPC page: limits that
// vary from point to point, and the markers of the points beyond them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "spc/core/page_layout.h"
#include "spc/core/plot_geometry.h"

// Handle slots Plot_VaryingLimits fills from the first slot it is given.
constexpr int kVaryingLimitsSlots = 3;

// Draws the two limit paths (Chart_LimitPath) in `colour` with the width of
// the control chart's limit lines, then marks in `colour` every point of the
// area's first series (values[1 .. area.count]) beyond its own limits, as the
// chart marks points beyond constant limits (not from kMarkerPointLimit points on).
void Plot_VaryingLimits(HDC dc, HGDIOBJ* handles, const ChartArea& area, const std::vector<Segment>& upperPath,
                        const std::vector<Segment>& lowerPath, const double* upper, const double* lower,
                        COLORREF colour);
