// The SPC constants table: 1001 single-precision numbers read once from
// TESSAN_SPC.TAB when the library is attached (control-chart factors by
// subgroup size m, normal quantiles at rows 500 to 1000).
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int kSpcTableSize = 1001;

// Parses the table text into the process-wide table: every entry is cleared
// first, then each data line sets one entry. Malformed lines (index above
// 1000, longer than 199 bytes, no double quote) are skipped. A text with a
// bare LF (a file written with LF line ends) is rejected whole: returns false
// and leaves the table as it was. On success the table counts as loaded.
bool SPC_ParseTable(const char* data, size_t size);

// Loads TESSAN_SPC.TAB from the current directory, else from the system
// directory, telling the user in a message box when neither works. Runs once.
void SPC_LoadTable();

bool SPC_TableLoaded();

// Entry `index` of the table; indices outside 0..1000 read as 0.
float SPC_GetConstant(int16_t index);
