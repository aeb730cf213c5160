// The constants-table parser on arbitrary text: any bytes, line ends, numbers
// and lengths. After the fuzzed text one known data line is appended, whose
// number text is fuzzed too, so every run also checks a value against the C
// library's own decimal reading.
//
// Properties: a text with a bare LF is refused and leaves the table as it was;
// any other text is accepted, leaves no entry NaN, and the appended line sets
// its entry to the number its text reads as; parsing the same text twice gives
// the same table; indices outside the table read 0.
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "spc/core/spc_table.h"

namespace {

constexpr size_t kLongestNumberText = 119;  // keeps the appended line well within 199 bytes

bool HasBareLineFeed(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return true;
  return false;
}

bool Digit(char c) { return c >= '0' && c <= '9'; }

// What atof makes of the text under the classic locale, restricted to the
// decimal notation the table uses (no hexadecimal, no "inf" or "nan"): the
// longest prefix of the form  [blanks] [sign] digits [. digits] [e [sign] digits]
// read by strtod; 0 when there is no such prefix.
double DecimalValue(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  for (; i < text.size() && Digit(text[i]); ++i) ++digits;
  if (i < text.size() && text[i] == '.')
    for (++i; i < text.size() && Digit(text[i]); ++i) ++digits;
  if (digits == 0) return 0.0;
  size_t mantissaEnd = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    size_t exponentDigits = 0;
    for (; j < text.size() && Digit(text[j]); ++j) ++exponentDigits;
    if (exponentDigits > 0) mantissaEnd = j;
  }
  std::string number = text.substr(start, mantissaEnd - start);
  return std::strtod(number.c_str(), nullptr);
}

// Single precision, rounded to nearest; beyond the largest single the result is infinite.
float Single(double value) {
  constexpr double kRoundsToInfinity = 0x1.ffffffp127;
  if (value >= kRoundsToInfinity) return std::numeric_limits<float>::infinity();
  if (value <= -kRoundsToInfinity) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

void Snapshot(float (&table)[kSpcTableSize]) {
  for (int i = 0; i < kSpcTableSize; ++i) table[i] = SPC_GetConstant(static_cast<int16_t>(i));
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input(data, size);
  const int16_t outside = input.I16();
  const int index = input.U16() % kSpcTableSize;
  std::string number;
  for (size_t length = input.U8() % (kLongestNumberText + 1); length > 0 && input.Left() > 0; --length) {
    char c = static_cast<char>(input.U8());
    number += (c == '\r' || c == '\n' || c == '"') ? 'x' : c;  // the value text ends at these
  }
  std::string text(reinterpret_cast<const char*>(input.Rest()), input.Left());
  text += "\r\n" + std::to_string(index) + " fuzzed \"" + number + "\"\r\n";

  float before[kSpcTableSize];
  Snapshot(before);
  const bool accepted = SPC_ParseTable(text.data(), text.size());
  FUZZ_CHECK(accepted == !HasBareLineFeed(text), "accepted %d", accepted);
  float after[kSpcTableSize];
  Snapshot(after);
  if (!accepted) {
    for (int i = 0; i < kSpcTableSize; ++i)
      FUZZ_CHECK(SameBits(before[i], after[i]), "entry %d changed by a refused text", i);
    return 0;
  }
  FUZZ_CHECK(SPC_TableLoaded(), "an accepted text leaves the table unloaded");
  for (int i = 0; i < kSpcTableSize; ++i) FUZZ_CHECK(!std::isnan(after[i]), "entry %d is NaN", i);
  const float expected = Single(DecimalValue(number));
  FUZZ_CHECK(after[index] == expected, "entry %d is %a, its text \"%s\" reads %a", index, after[index],
             number.c_str(), expected);
  if (outside < 0 || outside >= kSpcTableSize)
    FUZZ_CHECK(SPC_GetConstant(outside) == 0.0f, "index %d outside the table reads %a", outside,
               SPC_GetConstant(outside));

  FUZZ_CHECK(SPC_ParseTable(text.data(), text.size()), "the same text refused the second time");
  for (int i = 0; i < kSpcTableSize; ++i)
    FUZZ_CHECK(SameBits(SPC_GetConstant(static_cast<int16_t>(i)), after[i]), "entry %d differs on a second parse", i);
  return 0;
}
