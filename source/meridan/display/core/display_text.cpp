#include "display/core/display_text.h"

#include <charconv>
#include <cstring>
#include <string>

#include "display/core/display_channels.h"
#include "core/num_format.h"

int ReadoutDecimals(int16_t resolu) { return resolu >= 0 && resolu <= 5 ? resolu : 6; }

int CaptionDecimals(int16_t resolu) { return resolu >= 0 && resolu <= 5 ? resolu : 5; }

size_t FormatCutNumber(double value, int decimals, char* text, size_t size) {
  if (size == 0) return 0;
  char fixed[kFixedTextSize];
  size_t length = Num_CutDecimals(fixed, Fmt_Fixed6(value, fixed, sizeof fixed), decimals);
  if (length > size - 1) length = size - 1;
  std::memcpy(text, fixed, length);
  text[length] = '\0';
  return length;
}

// A number as it goes into a text; past `limit` characters it is "###".
static std::string NumberText(double value, int decimals, size_t limit) {
  char number[kFixedTextSize];
  size_t length = FormatCutNumber(value, decimals, number, sizeof number);
  return length > limit ? std::string("###") : std::string(number, length);
}

static void CopyBounded(const std::string& composed, char (&text)[kDisplayTextSize]) {
  size_t length = composed.size() < kDisplayTextSize ? composed.size() : kDisplayTextSize - 1;
  std::memcpy(text, composed.data(), length);
  text[length] = '\0';
}

static void AppendInteger(std::string& text, int value) {
  char digits[16];
  text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void ComposeDeviceLabel(int16_t device, int16_t address, char (&text)[kDisplayTextSize]) {
  std::string label = "ADR";
  AppendInteger(label, device);
  label += '.';
  AppendInteger(label, address);
  CopyBounded(label, text);
}

static std::string CaptionText(double nomSize, const std::string& unit, double usl, double lsl, int decimals,
                               size_t limit) {
  return "  " + NumberText(nomSize, decimals, limit) + unit + " " + NumberText(usl, decimals, limit) + "/" +
         NumberText(lsl, decimals, limit);
}

void ComposeCaption(double nomSize, const char* unit, double usl, double lsl, int16_t resolu,
                    char (&text)[kDisplayTextSize]) {
  std::string unitText;
  for (int i = 0; unit && i < kDisplayUnitLength && unit[i]; ++i) unitText += unit[i];
  int decimals = CaptionDecimals(resolu);
  std::string caption = CaptionText(nomSize, unitText, usl, lsl, decimals, kFixedTextSize);
  if (caption.size() >= kDisplayTextSize)
    caption = CaptionText(nomSize, unitText, usl, lsl, decimals, kDisplayNumberFallbackLength);
  CopyBounded(caption, text);
}

void ComposeReadout(double value, int16_t resolu, char (&text)[kDisplayTextSize]) {
  int decimals = ReadoutDecimals(resolu);
  std::string readout = NumberText(value, decimals, kFixedTextSize) + "  ";
  if (readout.size() >= kDisplayTextSize) readout = NumberText(value, decimals, kDisplayNumberFallbackLength) + "  ";
  CopyBounded(readout, text);
}
