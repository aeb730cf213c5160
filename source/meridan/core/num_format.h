// Number texts shown to users: the fixed "%f" conversion (six decimals, a
// point as decimal separator whatever the locale), then cut to the wanted
// number of decimals.
#pragma once
#include <cstddef>
#include <cstdint>

// Longest "%f" text of any double, terminator included.
constexpr size_t kFixedTextSize = 320;

// Writes `value` as "%f" would under the classic locale: fixed notation,
// rounded to six decimals, "-" for negatives; "nan", "inf" and "-inf" for the
// values that have no digits. Cut to `size` - 1 characters. Returns the length.
size_t Fmt_Fixed6(double value, char* buffer, size_t size);

// Cuts the "%f" text `text` of `length` characters to `decimals` decimals (0
// also removes the point, 6 and above or below 0 keep all) and terminates it
// there. "nan", "inf" and "-inf" have no point and stay whole. Returns the new
// length.
size_t Num_CutDecimals(char* text, size_t length, int decimals);

// Rounds half away from zero to `decimals` (0 to 5) and cuts the "%f" text
// there; `buffer` holds at least 48 bytes. Other `decimals` leave it unchanged.
void Num_FormatFixed(char* buffer, float value, int16_t decimals);

// Cuts an axis label (a "%f" text) to the decimals its step has: up to seven
// times, a step text ending in "." gets a "0" there, and while the step text
// ends in "0" its last character is removed; the label keeps as many
// decimals as the step then has (Num_CutDecimals).
void Num_TrimToStep(char* label, char* step);
