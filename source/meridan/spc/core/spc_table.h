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

// The rows by what they hold, for subgroups of m values (2 to 20), each
// entry widened from single precision. The names are those of the published
// control-chart tables: lower-case c4 and d2 divide a mean subgroup spread to
// estimate sigma; upper-case B5, B6, D1 and D2 multiply sigma into the limits
// of the dispersion charts.
inline double SPC_TableRow(int row) { return static_cast<double>(SPC_GetConstant(static_cast<int16_t>(row))); }

// Factor of the median charts: multiplies sigma / root m.
inline double MedianFactor(int m) { return SPC_TableRow(m); }
// Divisor of the mean subgroup standard deviation.
inline double c4(int m) { return SPC_TableRow(100 + m); }
// Divisor of the mean subgroup range.
inline double d2(int m) { return SPC_TableRow(250 + m); }
// Lower and upper factor of the standard-deviation chart.
inline double B5(int m) { return SPC_TableRow(330 + m); }
inline double B6(int m) { return SPC_TableRow(360 + m); }
// Lower and upper factor of the range chart.
inline double D1(int m) { return SPC_TableRow(390 + m); }
inline double D2(int m) { return SPC_TableRow(420 + m); }
// Upper factor of the range chart times the mean range (D2 ÷ d2): the moving
// range chart's upper limit is D4(2) × the mean moving range.
inline double D4(int m) { return D2(m) / d2(m); }

// The standard normal quantile at perMille / 1000, for 500 to 1000 per mille.
inline double NormalQuantile(int perMille) { return SPC_TableRow(perMille); }
