// The platform-free parts of the readout window: the row texts with their
// "%f" cutting rules and 108-character bound, the channel table, and where a
// deviation bar and its marks fall in a bar area.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "display/core/display_bar.h"
#include "display/core/display_channels.h"
#include "display/core/display_text.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();

std::string Readout(double value, int16_t resolu) {
  char text[kDisplayTextSize];
  ComposeReadout(value, resolu, text);
  return text;
}

std::string Caption(double nomSize, const char* unit, double usl, double lsl, int16_t resolu) {
  char text[kDisplayTextSize];
  ComposeCaption(nomSize, unit, usl, lsl, resolu, text);
  return text;
}

std::string Label(int16_t device, int16_t address) {
  char text[kDisplayTextSize];
  ComposeDeviceLabel(device, address, text);
  return text;
}

// Runs first in this binary: nothing has filled the table yet.
TEST(ChannelTable, NoChannelIsInUseBeforeTheFirstSettings) {
  for (int n = 1; n <= 20; ++n) {
    DisplayChannel channel = GetDisplayChannel(n);
    EXPECT_EQ(channel.Flags, 0) << "channel " << n;
    EXPECT_EQ(channel.Value, 0.0) << "channel " << n;
    EXPECT_STREQ(channel.Unit, "") << "channel " << n;
  }
}

TEST(ReadoutText, ResolutionZeroCutsDecimalsAndPointWithoutRounding) {
  EXPECT_EQ(Readout(12.7, 0), "12  ");
  EXPECT_EQ(Readout(-0.5, 0), "-0  ");
  EXPECT_EQ(Readout(0.0, 0), "0  ");
}

TEST(ReadoutText, SixDecimalFormattingRoundsBeforeTheCut) {
  EXPECT_EQ(Readout(1.9999996, 3), "2.000  ");
  EXPECT_EQ(Readout(1.23456789, 3), "1.234  ");
  EXPECT_EQ(Readout(-0.0000004, 3), "-0.000  ");
}

TEST(ReadoutText, ResolutionsOneToFiveKeepThatManyDecimals) {
  EXPECT_EQ(Readout(3.14159265, 1), "3.1  ");
  EXPECT_EQ(Readout(3.14159265, 2), "3.14  ");
  EXPECT_EQ(Readout(3.14159265, 4), "3.1415  ");
  EXPECT_EQ(Readout(3.14159265, 5), "3.14159  ");
  EXPECT_EQ(Readout(-25.01999, 2), "-25.01  ");
}

TEST(ReadoutText, OtherResolutionsShowSixDecimals) {
  EXPECT_EQ(Readout(1.23456789, 6), "1.234568  ");
  EXPECT_EQ(Readout(1.23456789, 7), "1.234568  ");
  EXPECT_EQ(Readout(1.23456789, -1), "1.234568  ");
  EXPECT_EQ(Readout(1.23456789, 32767), "1.234568  ");
}

TEST(ReadoutText, NumbersWithoutDigitsAreNotCut) {
  EXPECT_EQ(Readout(kNaN, 3), "nan  ");
  EXPECT_EQ(Readout(kNaN, 0), "nan  ");
  EXPECT_EQ(Readout(kInfinity, 0), "inf  ");
  EXPECT_EQ(Readout(-kInfinity, 5), "-inf  ");
}

TEST(ReadoutText, LongestReadoutThatFitsIsShownWhole) {
  // 2^346 = 14334366...: 105 digits, with the two blanks 107 characters.
  std::string text = Readout(std::ldexp(1.0, 346), 0);
  EXPECT_EQ(text.size(), 107u);
  EXPECT_EQ(text.substr(0, 8), "14334366");
  EXPECT_EQ(text.substr(105), "  ");
}

TEST(ReadoutText, ReadoutTooLongForItsBufferShowsHashMarks) {
  EXPECT_EQ(Readout(std::ldexp(1.0, 349), 0), "###  ");  // 106 digits and two blanks: 108
  EXPECT_EQ(Readout(1e200, 0), "###  ");
  EXPECT_EQ(Readout(-1e300, 3), "###  ");
  EXPECT_EQ(Readout(std::numeric_limits<double>::max(), 7), "###  ");
}

TEST(CaptionText, NominalSizeUnitAndBothTolerances) {
  EXPECT_EQ(Caption(25, "mm", 0.02, -0.01, 3), "  25.000mm 0.020/-0.010");
  EXPECT_EQ(Caption(12.5, "in", 0.5, -0.25, 0), "  12in 0/-0");
}

TEST(CaptionText, OtherResolutionsShowFiveDecimalsCutNotRounded) {
  // "%f" gives 1.234568 and -0.000009: one character is cut from each.
  EXPECT_EQ(Caption(1.23456789, "mm", 0.0000089, -0.0000089, 7), "  1.23456mm 0.00000/-0.00000");
  EXPECT_EQ(Caption(2, "", 0.1, -0.1, -3), "  2.00000 0.10000/-0.10000");
}

TEST(CaptionText, UnitEndsAtItsFirstNulOrAfterTwentyCharacters) {
  EXPECT_EQ(Caption(1, "mm\0ignored", 0, 0, 1), "  1.0mm 0.0/0.0");
  const char padded[] = "mm                  ";  // "mm" and 18 blanks
  EXPECT_EQ(Caption(1, padded, 0, 0, 1), "  1.0mm                   0.0/0.0");
  const char noTerminator[21] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o',
                                 'p', 'q', 'r', 's', 't', 'X'};
  EXPECT_EQ(Caption(1, noTerminator, 0, 0, 1), "  1.0abcdefghijklmnopqrst 0.0/0.0");
  EXPECT_EQ(Caption(1, nullptr, 0, 0, 1), "  1.0 0.0/0.0");
}

TEST(CaptionText, CaptionTooLongForItsBufferShowsOnlyTheLongNumbersAsHashMarks) {
  // 2^286 has 87 digits: whole, 2 + 91 + 2 + 1 + 5 + 1 + 6 = 108 characters.
  EXPECT_EQ(Caption(std::ldexp(1.0, 286), "mm", 0.02, -0.01, 3), "  ###mm 0.020/-0.010");
  EXPECT_EQ(Caption(1e300, "mm", 1e300, -1e300, 0), "  ###mm ###/###");
  // 2^285 = 62165404...: 86 digits, 107 characters, fits and stays whole.
  std::string fits = Caption(std::ldexp(1.0, 285), "mm", 0.02, -0.01, 3);
  EXPECT_EQ(fits.size(), 107u);
  EXPECT_EQ(fits.substr(0, 10), "  62165404");
  EXPECT_EQ(fits.substr(fits.size() - 19), ".000mm 0.020/-0.010");
}

TEST(RowTexts, NoTextEverExceedsItsBuffer) {
  const char unit[] = "UUUUUUUUUUUUUUUUUUUU";
  for (int exponent = -10; exponent <= 308; exponent += 7) {
    double value = std::pow(10.0, exponent) * 9.87654321;
    for (int16_t resolu = -1; resolu <= 7; ++resolu) {
      char text[kDisplayTextSize];
      ComposeCaption(-value, unit, value, -value, resolu, text);
      EXPECT_LT(std::strlen(text), kDisplayTextSize);
      ComposeReadout(-value, resolu, text);
      EXPECT_LT(std::strlen(text), kDisplayTextSize);
    }
  }
}

TEST(DeviceLabel, SignedDeviceAndAddress) {
  EXPECT_EQ(Label(8, 88), "ADR8.88");
  EXPECT_EQ(Label(-1, 5), "ADR-1.5");
  EXPECT_EQ(Label(-32768, 32767), "ADR-32768.32767");
  EXPECT_EQ(Label(0, -7), "ADR0.-7");
}

TEST(NumberCut, CutsDecimalsFromTheSixDecimalText) {
  char text[16];
  EXPECT_EQ(FormatCutNumber(2.71828, 2, text, sizeof text), 4u);
  EXPECT_STREQ(text, "2.71");
  EXPECT_EQ(FormatCutNumber(2.71828, 6, text, sizeof text), 8u);
  EXPECT_STREQ(text, "2.718280");
  FormatCutNumber(123456789.0, 1, text, 6);
  EXPECT_STREQ(text, "12345");
}

TEST(ResolutionRule, ReadoutAndCaptionDecimals) {
  for (int16_t r = 0; r <= 5; ++r) {
    EXPECT_EQ(ReadoutDecimals(r), r);
    EXPECT_EQ(CaptionDecimals(r), r);
  }
  EXPECT_EQ(ReadoutDecimals(6), 6);
  EXPECT_EQ(CaptionDecimals(6), 5);
  EXPECT_EQ(ReadoutDecimals(-32768), 6);
  EXPECT_EQ(CaptionDecimals(-1), 5);
}

// Arrays of 21 elements: element 0 holds a value that must never show up.
struct Settings {
  int16_t flags[21], devices[21], addresses[21], resolus[21];
  double nomSizes[21], usls[21], lsls[21];
  char units[401];
  Settings() {
    for (int n = 0; n <= 20; ++n) {
      flags[n] = n == 0 ? 1 : (n % 2 ? 1 : 0);
      devices[n] = static_cast<int16_t>(n == 0 ? 999 : n);
      addresses[n] = static_cast<int16_t>(n == 0 ? 999 : 100 + n);
      resolus[n] = static_cast<int16_t>(n == 0 ? 9 : n % 6);
      nomSizes[n] = n == 0 ? 999.0 : 10.0 * n;
      usls[n] = n == 0 ? 999.0 : 0.01 * n;
      lsls[n] = n == 0 ? -999.0 : -0.02 * n;
    }
    std::memset(units, 'x', 400);
    units[400] = '\0';
  }
  void Store() const {
    DisplayTable_StoreSettings(flags, devices, addresses, units, nomSizes, usls, lsls, resolus);
  }
};

TEST(ChannelTable, SettingsOfChannelNComeFromElementN) {
  Settings settings;
  std::memcpy(settings.units + 20 * 2, "mm", 2);  // channel 3
  settings.Store();
  DisplayChannel third = GetDisplayChannel(3);
  EXPECT_EQ(third.Flags, 1);
  EXPECT_EQ(third.Device, 3);
  EXPECT_EQ(third.Address, 103);
  EXPECT_EQ(third.NomSize, 30.0);
  EXPECT_EQ(third.USL, 0.03);
  EXPECT_EQ(third.LSL, -0.06);
  EXPECT_EQ(third.Resolu, 3);
  EXPECT_EQ(std::string(third.Unit), "mmxxxxxxxxxxxxxxxxxx");
  EXPECT_EQ(GetDisplayChannel(4).Flags, 0);
  EXPECT_EQ(GetDisplayChannel(20).Address, 120);
}

bool SameChannel(const DisplayChannel& a, const DisplayChannel& b) {
  return a.Flags == b.Flags && a.Device == b.Device && a.Address == b.Address && std::strcmp(a.Unit, b.Unit) == 0 &&
         a.NomSize == b.NomSize && a.USL == b.USL && a.LSL == b.LSL && a.Resolu == b.Resolu && a.Value == b.Value &&
         a.Error == b.Error;
}

TEST(ChannelTable, ElementZeroOfEveryArrayIsIgnored) {
  Settings settings;
  settings.Store();
  DisplayChannel before[21];
  for (int n = 1; n <= 20; ++n) before[n] = GetDisplayChannel(n);
  settings.flags[0] = 0;
  settings.devices[0] = -5;
  settings.addresses[0] = -5;
  settings.resolus[0] = 0;
  settings.nomSizes[0] = settings.usls[0] = settings.lsls[0] = 12345.0;
  settings.Store();
  for (int n = 1; n <= 20; ++n) EXPECT_TRUE(SameChannel(before[n], GetDisplayChannel(n))) << "channel " << n;

  double values[21];
  int16_t errors[21];
  for (int n = 0; n <= 20; ++n) values[n] = n, errors[n] = 0;
  values[0] = -1, errors[0] = 1;
  DisplayTable_StoreValues(values, errors);
  for (int n = 1; n <= 20; ++n) {
    EXPECT_EQ(GetDisplayChannel(n).Value, static_cast<double>(n));
    EXPECT_EQ(GetDisplayChannel(n).Error, 0);
  }
}

TEST(ChannelTable, UnitOfTwentyCharactersWithoutNulIsTakenWholeAndTerminated) {
  Settings settings;
  settings.Store();
  for (int n = 1; n <= 20; ++n) EXPECT_EQ(std::string(GetDisplayChannel(n).Unit), std::string(20, 'x'));
}

TEST(ChannelTable, UnitKeepsItsBlanksAndEndsAtANul) {
  Settings settings;
  std::memcpy(settings.units, "mm                  ", 20);
  std::memcpy(settings.units + 20, "in\0xxxxxxxxxxxxxxxxx", 20);
  settings.Store();
  EXPECT_EQ(std::string(GetDisplayChannel(1).Unit), "mm                  ");
  EXPECT_EQ(std::string(GetDisplayChannel(2).Unit), "in");
}

TEST(ChannelTable, NewSettingsResetValueAndError) {
  Settings settings;
  settings.Store();
  double values[21];
  int16_t errors[21];
  for (int n = 0; n <= 20; ++n) values[n] = 5.0, errors[n] = 1;
  DisplayTable_StoreValues(values, errors);
  EXPECT_EQ(GetDisplayChannel(7).Value, 5.0);
  settings.Store();
  for (int n = 1; n <= 20; ++n) {
    EXPECT_EQ(GetDisplayChannel(n).Value, 0.0);
    EXPECT_EQ(GetDisplayChannel(n).Error, 0);
  }
}

TEST(ChannelTable, ValuesReachEveryChannelInUseOrNot) {
  Settings settings;
  settings.Store();
  double values[21];
  int16_t errors[21];
  for (int n = 0; n <= 20; ++n) values[n] = 0.5 * n, errors[n] = static_cast<int16_t>(n == 4 ? -3 : 0);
  DisplayTable_StoreValues(values, errors);
  EXPECT_EQ(GetDisplayChannel(2).Value, 1.0);  // not in use
  EXPECT_EQ(GetDisplayChannel(19).Value, 9.5);
  EXPECT_EQ(GetDisplayChannel(4).Error, -3);
}

TEST(ChannelTable, NullArraysNeitherCrashNorInventSettings) {
  Settings settings;
  settings.Store();
  DisplayTable_StoreSettings(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  for (int n = 1; n <= 20; ++n) {
    DisplayChannel channel = GetDisplayChannel(n);
    EXPECT_EQ(channel.Flags, 0);
    EXPECT_STREQ(channel.Unit, "");
    EXPECT_EQ(channel.NomSize, 0.0);
  }
  double values[21] = {0, 7.5};
  DisplayTable_StoreValues(values, nullptr);
  DisplayTable_StoreValues(nullptr, nullptr);
  EXPECT_EQ(GetDisplayChannel(1).Value, 7.5);
  EXPECT_EQ(GetDisplayChannel(1).Error, 0);
}

TEST(ChannelTable, NumbersOutsideOneToTwentyAreNotInUse) {
  Settings settings;
  settings.Store();
  EXPECT_EQ(GetDisplayChannel(0).Flags, 0);
  EXPECT_EQ(GetDisplayChannel(21).Flags, 0);
  EXPECT_EQ(GetDisplayChannel(-1).Flags, 0);
}

// A bar area with a client area of 242 x 14 pixels: x0 = 1, x1 = 241, so the
// centre is at 121 and the half-width 120 pixels.
const int kWidth = 242, kHeight = 14;

TEST(BarPlacement, BackgroundLiesOnePixelInsideTheClientArea) {
  BarGeometry bar = ComputeBarGeometry(10, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_EQ(bar.x0, 1);
  EXPECT_EQ(bar.y0, 1);
  EXPECT_EQ(bar.x1, 241);
  EXPECT_EQ(bar.y1, 13);
  EXPECT_EQ(bar.centreX, 121);
  EXPECT_EQ(bar.barLeft, 121);
  EXPECT_EQ(bar.barRight, 121);
}

TEST(BarPlacement, DeviationAtTheUpperLimitIsGreenAndReachesFiveSixthsOfTheHalfWidth) {
  BarGeometry bar = ComputeBarGeometry(10.5, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_FALSE(bar.outOfTolerance);
  EXPECT_EQ(bar.barRight, 221);  // 121 + 120 / 1.2
  EXPECT_EQ(bar.upperMarkX, 221);
  EXPECT_EQ(bar.lowerMarkX, 21);
}

TEST(BarPlacement, DeviationAtTheLowerLimitIsWithinTolerance) {
  BarGeometry bar = ComputeBarGeometry(9.5, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_FALSE(bar.outOfTolerance);
  EXPECT_EQ(bar.barRight, 21);
}

TEST(BarPlacement, NegativeDeviationExtendsLeftOfTheCentre) {
  BarGeometry bar = ComputeBarGeometry(9.75, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_FALSE(bar.outOfTolerance);
  EXPECT_EQ(bar.barLeft, 121);
  EXPECT_EQ(bar.barRight, 71);  // 121 - 120 * 0.25 / 0.6
}

TEST(BarPlacement, DeviationBeyondTheLimitIsRedAndClampedToTheEnd) {
  BarGeometry beyond = ComputeBarGeometry(10.75, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_TRUE(beyond.outOfTolerance);
  EXPECT_EQ(beyond.barRight, 241);
  BarGeometry far = ComputeBarGeometry(100, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_TRUE(far.outOfTolerance);
  EXPECT_EQ(far.barRight, 241);
  BarGeometry farBelow = ComputeBarGeometry(-1e300, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_TRUE(farBelow.outOfTolerance);
  EXPECT_EQ(farBelow.barRight, 1);
}

// Half-width 384, range 0.1: 384 x -0.1 / 0.1 rounds to -384.00000000000006,
// which would put the bar's end at x 0, one pixel left of the bar area.
TEST(BarPlacement, FarDeviationEndsAtTheEndOfTheBarAreaWhateverTheRounding) {
  BarGeometry bar = ComputeBarGeometry(-5, 0, 0, 0, 770, kHeight);
  EXPECT_EQ(bar.x0, 1);
  EXPECT_EQ(bar.centreX, 385);
  EXPECT_EQ(bar.barRight, 1);
  EXPECT_EQ(ComputeBarGeometry(5, 0, 0, 0, 770, kHeight).barRight, 769);
}

// Coordinates are 16-bit: a client size keeps its low 16 bits, and none overflows the "less one".
TEST(BarPlacement, ClientSizesOfAnyMagnitudeGiveSixteenBitCoordinates) {
  BarGeometry smallest = ComputeBarGeometry(10, 10, 0.5, -0.5, INT_MIN, INT_MIN);
  EXPECT_EQ(smallest.x1, -1);
  EXPECT_EQ(smallest.y1, -1);
  BarGeometry wrapped = ComputeBarGeometry(10, 10, 0.5, -0.5, 65536 + 242, 14);
  EXPECT_EQ(wrapped.x1, 241);
  EXPECT_EQ(wrapped.centreX, 121);
}

TEST(BarPlacement, MarksOfUnequalTolerancesUseTheLargerOneForTheRange) {
  // Range 1.2 * 0.02 = 0.024: the upper mark at 121 + 120 / 1.2, the lower at 121 - 50.
  BarGeometry bar = ComputeBarGeometry(25.0, 25.0, 0.02, -0.01, kWidth, kHeight);
  EXPECT_EQ(bar.upperMarkX, 221);
  EXPECT_EQ(bar.lowerMarkX, 71);
}

TEST(BarPlacement, ZeroTolerancesPutBothMarksOnTheCentreAndAnyDeviationIsRed) {
  BarGeometry bar = ComputeBarGeometry(5.05, 5.0, 0, 0, kWidth, kHeight);
  EXPECT_EQ(bar.upperMarkX, 121);
  EXPECT_EQ(bar.lowerMarkX, 121);
  EXPECT_TRUE(bar.outOfTolerance);
  EXPECT_NEAR(bar.barRight, 181, 1);  // range 0.1: 121 + 120 * 0.05 / 0.1
  EXPECT_FALSE(ComputeBarGeometry(5.0, 5.0, 0, 0, kWidth, kHeight).outOfTolerance);
}

TEST(BarPlacement, ValueThatIsNotANumberIsRedWithNoBar) {
  BarGeometry bar = ComputeBarGeometry(kNaN, 10, 0.5, -0.5, kWidth, kHeight);
  EXPECT_TRUE(bar.outOfTolerance);
  EXPECT_EQ(bar.barRight, bar.centreX);
  EXPECT_EQ(bar.upperMarkX, 221);
}

// Out of tolerance means below the lower or above the upper limit; a limit that
// is not a number is never passed, so it puts nothing out of tolerance.
TEST(BarPlacement, LimitThatIsNotANumberPutsNoDeviationOutOfTolerance) {
  EXPECT_FALSE(ComputeBarGeometry(10.2, 10, kNaN, kNaN, kWidth, kHeight).outOfTolerance);
  EXPECT_FALSE(ComputeBarGeometry(10.7, 10, kNaN, -0.5, kWidth, kHeight).outOfTolerance);
  EXPECT_TRUE(ComputeBarGeometry(9.2, 10, kNaN, -0.5, kWidth, kHeight).outOfTolerance);
  EXPECT_FALSE(ComputeBarGeometry(9.2, 10, 0.5, kNaN, kWidth, kHeight).outOfTolerance);
  EXPECT_TRUE(ComputeBarGeometry(10.7, 10, 0.5, kNaN, kWidth, kHeight).outOfTolerance);
  // A reading that is not a number stays out of tolerance whatever the limits.
  EXPECT_TRUE(ComputeBarGeometry(kNaN, 10, kNaN, kNaN, kWidth, kHeight).outOfTolerance);
}

// With one limit not a number the other one alone spans the bar area, in
// whichever order they come: range 1.2 * 0.5, the mark at 121 + 120 / 1.2.
TEST(BarPlacement, OneLimitThatIsNotANumberLeavesTheOtherToSpanTheBar) {
  BarGeometry lowerMissing = ComputeBarGeometry(10.25, 10, 0.5, kNaN, kWidth, kHeight);
  EXPECT_EQ(lowerMissing.upperMarkX, 221);
  EXPECT_EQ(lowerMissing.lowerMarkX, 121);
  EXPECT_EQ(lowerMissing.barRight, 171);  // 121 + 120 * 0.25 / 0.6
  BarGeometry upperMissing = ComputeBarGeometry(9.75, 10, kNaN, -0.5, kWidth, kHeight);
  EXPECT_EQ(upperMissing.lowerMarkX, 21);
  EXPECT_EQ(upperMissing.upperMarkX, 121);
  EXPECT_EQ(upperMissing.barRight, 71);  // 121 - 120 * 0.25 / 0.6
}

TEST(BarPlacement, LimitsThatAreNotNumbersStayInsideTheBarArea) {
  BarGeometry bar = ComputeBarGeometry(10.2, 10, kNaN, kNaN, kWidth, kHeight);
  EXPECT_GE(bar.barRight, bar.x0);
  EXPECT_LE(bar.barRight, bar.x1);
  EXPECT_EQ(bar.upperMarkX, 121);
  EXPECT_EQ(bar.lowerMarkX, 121);
  BarGeometry unbounded = ComputeBarGeometry(kInfinity, 10, kInfinity, -kInfinity, kWidth, kHeight);
  EXPECT_GE(unbounded.barRight, unbounded.x0);
  EXPECT_LE(unbounded.barRight, unbounded.x1);
  EXPECT_GE(unbounded.upperMarkX, unbounded.x0);
  EXPECT_LE(unbounded.upperMarkX, unbounded.x1);
}

}  // namespace
