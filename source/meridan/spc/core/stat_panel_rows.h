// The sixteen rows of the statistics panel: labels, figures in their number
// formats, and "---" where a figure does not exist. Platform-free; the page
// widens them into the panel's row records.
#pragma once
#include <cstdint>

#include "spc/core/spc_request.h"

constexpr int kStatRows = 16;
constexpr int kStatFieldSize = 100;  // bytes per label or value, terminator included

struct StatRow {
  char label[kStatFieldSize];
  char value[kStatFieldSize];
};

// rows[1] .. rows[16] in panel order; rows[0] stays empty (it is not shown).
void StatPanel_ComposeRows(const SpcRequest& request, const SpcStatistics& stats, StatRow rows[kStatRows + 1]);

// A 64-bit figure as the panel shows it: narrowed to single precision, with
// values beyond its range becoming infinite rather than undefined.
float StatPanel_Narrow(double value);
