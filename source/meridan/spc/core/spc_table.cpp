#include "spc/core/spc_table.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

float SpcTable[kSpcTableSize];
int16_t SpcTableLoaded;

constexpr size_t kLongestLine = 199;  // CR LF included

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// For a decimal text outside double's range: true when it is too large
// (atof gives infinity), false when too small (atof gives zero). The text's
// order of magnitude decides: where its first significant digit stands
// relative to the decimal point, moved by the exponent.
bool BeyondLargest(const char* text, const char* end) {
  long magnitude = 0;
  bool significant = false;
  for (; text < end && IsDigit(*text); ++text) {
    significant = significant || *text != '0';
    if (significant) ++magnitude;
  }
  if (text < end && *text == '.') {
    for (++text; text < end && IsDigit(*text); ++text) {
      if (significant) continue;
      significant = *text != '0';
      --magnitude;
    }
  }
  if (text < end && (*text == 'e' || *text == 'E')) {
    ++text;
    bool negative = text < end && *text == '-';
    if (text < end && (*text == '-' || *text == '+')) ++text;
    long exponent = 0;
    for (; text < end && IsDigit(*text); ++text)
      if (exponent < 100000) exponent = exponent * 10 + (*text - '0');  // far beyond any double already
    magnitude += negative ? -exponent : exponent;
  }
  return magnitude > 0;
}

// Reads a decimal number the way atof does under the classic locale
// (leading white space, sign, digits, fraction, exponent), whatever the
// process's locale; stops at the first character that does not fit.
double ReadNumber(const char* text, const char* end) {
  while (text < end && (*text == ' ' || (*text >= '\t' && *text <= '\r'))) ++text;
  bool negative = false;
  if (text < end && (*text == '+' || *text == '-')) negative = *text++ == '-';
  if (text == end || !(IsDigit(*text) || *text == '.')) return 0.0;
  double value = 0.0;
  if (std::from_chars(text, end, value, std::chars_format::general).ec == std::errc::result_out_of_range)
    value = BeyondLargest(text, end) ? HUGE_VAL : 0.0;
  return negative ? -value : value;
}

// Rounds to single precision; beyond its range the entry becomes an infinity
// (as the floating-point unit does), never an undefined conversion.
float ToSingle(double value) {
  constexpr double kRoundsToInfinity = 0x1.ffffffp127;  // halfway between FLT_MAX and 2^128
  if (value >= kRoundsToInfinity) return HUGE_VALF;
  if (value <= -kRoundsToInfinity) return -HUGE_VALF;
  return static_cast<float>(value);
}

// One line, its CR LF included. Malformed data lines change nothing.
void ParseLine(const char* line, size_t length) {
  if (length > kLongestLine) return;
  const char* end = line + length;
  const char* p = line;
  while (p < end && *p == ' ') ++p;
  if (p == end || !IsDigit(*p)) return;  // heading, comment or empty line
  const char* first = p;
  long index = 0;
  for (; p < end && IsDigit(*p); ++p) {
    index = index * 10 + (*p - '0');
    if (index > kSpcTableSize - 1) return;
  }
  const char* quote = static_cast<const char*>(std::memchr(first + 1, '"', end - (first + 1)));
  if (!quote) return;
  const char* value = quote + 1;
  const char* valueEnd = value;
  while (valueEnd < end && *valueEnd != '"' && *valueEnd != '\r') ++valueEnd;
  SpcTable[index] = ToSingle(ReadNumber(value, valueEnd));
}

}  // namespace

bool SPC_ParseTable(const char* data, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (data[i] == '\n' && (i == 0 || data[i - 1] != '\r')) return false;
  std::memset(SpcTable, 0, sizeof SpcTable);
  size_t start = 0;
  while (start < size) {
    size_t next = size;
    for (size_t i = start; i + 1 < size; ++i) {
      if (data[i] == '\r' && data[i + 1] == '\n') {
        next = i + 2;
        break;
      }
    }
    ParseLine(data + start, next - start);
    start = next;
  }
  SpcTableLoaded = 1;
  return true;
}

bool SPC_TableLoaded() { return SpcTableLoaded == 1; }

float SPC_GetConstant(int16_t index) {
  return (index >= 0 && index < kSpcTableSize) ? SpcTable[index] : 0.0f;
}
