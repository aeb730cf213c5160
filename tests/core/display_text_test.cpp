// The texts of a readout row: the "%f" cutting rules of the readout and the
// caption, the device label and the 108-character bound.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

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

}  // namespace
