// The readout texts and the deviation bar of one channel, with values, limits,
// resolutions, devices and client sizes of every kind, and unit bytes that
// need not hold a terminator within their 20 characters (the units are read
// from an allocation of exactly 20 bytes per channel, so a read past them is
// a finding).
//
// Properties: every text ends within its 108-byte buffer; a readout is the
// value's "%f" text cut to its decimals and two blanks, unless that cannot fit
// (then "###"); a caption holds its unit up to the first NUL and at most 20
// characters; the device label is "ADR" device "." address; the channel table
// hands a unit over terminated after at most 20 characters; the bar's marks,
// centre and end lie inside the bar area, and its colour says whether the
// deviation is inside both limits.
#include <algorithm>
#include <memory>
#include <string>

#include "display/core/display_bar.h"
#include "display/core/display_channels.h"
#include "display/core/display_text.h"
#include "fuzz_support.h"

namespace {

std::string LibraryFixed(double value) {
  if (std::isnan(value)) return "nan";
  char text[400];
  std::snprintf(text, sizeof text, "%f", value);
  return text;
}

// "%f", then cut (not rounded) to `decimals`: 0 drops the point, 6 keeps all.
std::string CutNumber(double value, int decimals) {
  std::string text = LibraryFixed(value);
  if (text.find('.') != std::string::npos && decimals < 6) text.resize(text.size() - (decimals == 0 ? 7 : 6 - decimals));
  return text;
}

void CheckTerminated(const char* what, const char (&text)[kDisplayTextSize]) {
  FUZZ_CHECK(std::memchr(text, 0, kDisplayTextSize) != nullptr, "%s is not terminated within its buffer", what);
}

void CheckTexts(double value, double nomSize, double usl, double lsl, int16_t resolu, int16_t device, int16_t address,
                const char* unit) {
  char text[kDisplayTextSize];
  ComposeReadout(value, resolu, text);
  CheckTerminated("readout", text);
  const int decimals = resolu >= 0 && resolu <= 5 ? resolu : 6;
  const std::string number = CutNumber(value, decimals);
  const std::string expected = number.size() + 2 < kDisplayTextSize ? number + "  " : "###  ";
  FUZZ_CHECK(expected == text, "readout of %a at resolution %d is \"%s\", expected \"%s\"", value, resolu, text,
             expected.c_str());

  ComposeCaption(nomSize, unit, usl, lsl, resolu, text);
  CheckTerminated("caption", text);
  const std::string unitText(unit, strnlen(unit, kDisplayUnitLength));
  const std::string caption = text;
  FUZZ_CHECK(caption.size() >= 2 + unitText.size() && caption.compare(0, 2, "  ") == 0 &&
                 caption.find(unitText) != std::string::npos,
             "caption \"%s\" lacks its unit \"%s\"", text, unitText.c_str());
  const int captionDecimals = resolu >= 0 && resolu <= 5 ? resolu : 5;
  const std::string whole = "  " + CutNumber(nomSize, captionDecimals) + unitText + " " +
                            CutNumber(usl, captionDecimals) + "/" + CutNumber(lsl, captionDecimals);
  if (whole.size() < kDisplayTextSize) FUZZ_CHECK(whole == caption, "caption \"%s\", expected \"%s\"", text, whole.c_str());

  ComposeDeviceLabel(device, address, text);
  CheckTerminated("device label", text);
  const std::string label = "ADR" + std::to_string(device) + "." + std::to_string(address);
  FUZZ_CHECK(label == text, "device label \"%s\", expected \"%s\"", text, label.c_str());
}

void CheckBar(double value, double nomSize, double usl, double lsl, int width, int height) {
  const BarGeometry bar = ComputeBarGeometry(value, nomSize, usl, lsl, width, height);
  // 16-bit coordinates: the low 16 bits of the client size less one.
  const int x1 = static_cast<int16_t>(static_cast<uint16_t>(width) - 1), y1 = static_cast<int16_t>(static_cast<uint16_t>(height) - 1);
  FUZZ_CHECK(bar.x0 == 1 && bar.y0 == 1 && bar.x1 == x1 && bar.y1 == y1,
             "background (%d, %d)-(%d, %d)", bar.x0, bar.y0, bar.x1, bar.y1);
  const double deviation = value - nomSize;
  const bool out = std::isnan(deviation) || deviation < lsl || deviation > usl;
  FUZZ_CHECK(bar.outOfTolerance == out, "deviation %a with limits %a / %a shown %s", deviation, usl, lsl,
             bar.outOfTolerance ? "out" : "in");
  const int from = std::min(bar.x0, bar.x1), to = std::max(bar.x0, bar.x1);
  for (int x : {bar.centreX, bar.barLeft, bar.barRight, bar.upperMarkX, bar.lowerMarkX})
    FUZZ_CHECK(x >= from && x <= to, "x %d outside the bar area %d .. %d (centre %d, bar end %d, marks %d %d)", x,
               from, to, bar.centreX, bar.barRight, bar.upperMarkX, bar.lowerMarkX);
}

// The channel table takes 20 units side by side, 20 bytes each and unterminated.
void CheckChannelTable(fuzz::Input& input) {
  std::unique_ptr<char[]> units(new char[kDisplayChannelCount * kDisplayUnitLength]);
  for (int i = 0; i < kDisplayChannelCount * kDisplayUnitLength; ++i) units[i] = static_cast<char>(input.U8() | 0x20);
  int16_t flags[kDisplayChannelCount + 1] = {};
  flags[1] = 1;
  DisplayTable_StoreSettings(flags, nullptr, nullptr, units.get(), nullptr, nullptr, nullptr, nullptr);
  for (int n = 1; n <= kDisplayChannelCount; ++n) {
    DisplayChannel channel = GetDisplayChannel(n);
    FUZZ_CHECK(std::memchr(channel.Unit, 0, kDisplayUnitLength + 1) != nullptr, "unit %d not terminated", n);
    FUZZ_CHECK(std::memcmp(channel.Unit, &units[(n - 1) * kDisplayUnitLength], kDisplayUnitLength) == 0,
               "unit %d differs", n);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input(data, size);
  const double value = input.Double(), nomSize = input.Double(), usl = input.Double(), lsl = input.Double();
  const uint8_t kind = input.U8();
  const int16_t resolu = (kind & 1) ? input.I16() : static_cast<int16_t>(input.U8() % 8);
  const int16_t device = input.I16(), address = input.I16();
  const int width = (kind & 2) ? input.I32() : input.U16() % 1000, height = (kind & 4) ? input.I32() : input.U8();

  // The unit's 20 bytes, in an allocation of exactly that size.
  std::unique_ptr<char[]> unit(new char[kDisplayUnitLength]);
  for (int i = 0; i < kDisplayUnitLength; ++i) unit[i] = static_cast<char>(input.U8());

  CheckTexts(value, nomSize, usl, lsl, resolu, device, address, unit.get());
  CheckBar(value, nomSize, usl, lsl, width, height);
  if (kind & 8) CheckChannelTable(input);
  return 0;
}
