#include "spc/core/stat_panel_rows.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/num_format.h"

namespace {

void Copy(char* field, const char* text) {
  std::strncpy(field, text, kStatFieldSize - 1);
  field[kStatFieldSize - 1] = '\0';
}

void Integer(char* field, long long value) {
  char* end = std::to_chars(field, field + kStatFieldSize - 1, value).ptr;
  *end = '\0';
}

void Figure(char* field, double value, int16_t decimals) {
  char text[48];
  Num_FormatFixed(text, StatPanel_Narrow(value), decimals);
  Copy(field, text);
}

}  // namespace

float StatPanel_Narrow(double value) {
  if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
  if (value > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (value < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

void StatPanel_ComposeRows(const SpcRequest& request, const SpcStatistics& stats, StatRow rows[kStatRows + 1]) {
  std::memset(rows, 0, sizeof(StatRow) * (kStatRows + 1));
  const int32_t n = stats.n;
  struct RowFormat {
    const char* label;
    double value;
    int16_t decimals;  // -1: a whole number
    bool missing;      // shown as "---"
  };
  const RowFormat formats[kStatRows] = {
      {"USL", request.USL, 4, !(request.USLOnOff > 0)},
      {"Nom", request.NomSize, 4, false},
      {"LSL", request.LSL, 4, !(request.LSLOnOff > 0)},
      {"N", double(n), -1, false},
      {"+NG", double(stats.countAbove), -1, false},
      {"-NG", double(stats.countBelow), -1, false},
      {"P", stats.percentOutside, 4, n < 1},
      {"Xq", stats.mean, 4, n < 1},
      {"Max", stats.largest, 4, n < 1},
      {"Min", stats.smallest, 4, n < 1},
      {"R", stats.range, 4, n < 1},
      {"S", stats.stdDev, 4, n < 2},
      {"Cm", stats.Cm, 2, n < 2},
      {"Cmk", stats.Cmk, 2, n < 2},
      {"Cp", stats.Cp, 2, n < 2},
      {"Cpk", stats.Cpk, 2, n < 2},
  };
  for (int r = 1; r <= kStatRows; ++r) {
    const RowFormat& row = formats[r - 1];
    Copy(rows[r].label, row.label);
    if (row.missing)
      Copy(rows[r].value, "---");
    else if (row.decimals < 0)
      Integer(rows[r].value, static_cast<long long>(row.value));
    else
      Figure(rows[r].value, row.value, row.decimals);
  }
}
