#include "core/num_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

size_t Fmt_Fixed6(double value, char* buffer, size_t size) {
  if (size == 0) return 0;
  char text[kFixedTextSize];
  size_t length;
  if (std::isnan(value)) {
    std::strcpy(text, "nan");
    length = 3;
  } else if (std::isinf(value)) {
    std::strcpy(text, value < 0 ? "-inf" : "inf");
    length = value < 0 ? 4 : 3;
  } else {
    length = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6).ptr - text;
  }
  if (length > size - 1) length = size - 1;
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  return length;
}

size_t Num_CutDecimals(char* text, size_t length, int decimals) {
  const char* point = static_cast<const char*>(std::memchr(text, '.', length));
  if (!point || decimals < 0 || decimals >= 6) return length;
  size_t kept = static_cast<size_t>(point - text) + (decimals == 0 ? 0 : 1 + decimals);
  if (kept < length) length = kept;  // a "%f" text always has the six decimals to cut
  text[length] = '\0';
  return length;
}

void Num_FormatFixed(char* buffer, float value, int16_t decimals) {
  static const double kHalf[] = {0.5, 0.05, 0.005, 0.0005, 0.00005, 0.000005};
  if (decimals < 0 || decimals > 5) return;
  double x = value;
  double rounded = x >= 0 ? x + kHalf[decimals] : x - kHalf[decimals];
  Num_CutDecimals(buffer, Fmt_Fixed6(rounded, buffer, 48), decimals);
}

void Num_TrimToStep(char* label, char* step) {
  int cuts = 0;
  for (; cuts < 7; ++cuts) {
    size_t stepLength = std::strlen(step);
    if (stepLength == 0) break;
    if (step[stepLength - 1] == '.') step[stepLength - 1] = '0';
    if (step[stepLength - 1] != '0') break;
    step[stepLength - 1] = '\0';
  }
  // Each cut took a trailing zero of the six decimals; the seventh, the point.
  Num_CutDecimals(label, std::strlen(label), cuts >= 6 ? 0 : 6 - cuts);
}
