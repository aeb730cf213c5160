// Number texts: "%f" under any locale, cut (not rounded again) to the decimals wanted.
#include "core/num_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

namespace {

std::string Fixed(double value) {
  char text[kFixedTextSize];
  Fmt_Fixed6(value, text, sizeof text);
  return text;
}

std::string Formatted(float value, int16_t decimals) {
  char text[48] = "untouched";
  Num_FormatFixed(text, value, decimals);
  return text;
}

TEST(FixedText, MatchesPrintfPercentF) {
  EXPECT_EQ(Fixed(0.0), "0.000000");
  EXPECT_EQ(Fixed(-2.5), "-2.500000");
  EXPECT_EQ(Fixed(1.9999996), "2.000000");
  EXPECT_EQ(Fixed(1.23456789), "1.234568");
  EXPECT_EQ(Fixed(1e20), "100000000000000000000.000000");
  EXPECT_EQ(Fixed(-0.0000004), "-0.000000");
}

TEST(FixedText, HasNoDigitsForNanAndInfinity) {
  EXPECT_EQ(Fixed(std::numeric_limits<double>::quiet_NaN()), "nan");
  EXPECT_EQ(Fixed(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(Fixed(-std::numeric_limits<double>::infinity()), "-inf");
}

TEST(FixedText, IgnoresTheLocaleInForce) {
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "German_Germany.1252"))
    GTEST_SKIP() << "no locale with a decimal comma here";
  EXPECT_EQ(Fixed(1.5), "1.500000");
  std::setlocale(LC_NUMERIC, "C");
}

TEST(FixedText, LongestDoubleFitsAndShortBuffersAreCut) {
  EXPECT_EQ(Fixed(-1.7976931348623157e308).size(), 317u);
  char small[5];
  EXPECT_EQ(Fmt_Fixed6(123.5, small, sizeof small), 4u);
  EXPECT_STREQ(small, "123.");
}

TEST(FormatFixed, RoundsHalfAwayFromZeroThenCuts) {
  EXPECT_EQ(Formatted(1.23456f, 4), "1.2346");
  EXPECT_EQ(Formatted(-2.5f, 0), "-3");
  EXPECT_EQ(Formatted(-0.00001f, 4), "-0.0000");
  EXPECT_EQ(Formatted(2.5f, 0), "3");
  EXPECT_EQ(Formatted(0.0f, 2), "0.00");
}

TEST(FormatFixed, ShowsTheSinglePrecisionValue) {
  // 12345.678901 is 12345.6787109375 in single precision.
  EXPECT_EQ(Formatted(12345.678901f, 4), "12345.6787");
  // 1.005 is 1.00499999523 in single precision; plus 0.005 it prints as 1.010000.
  EXPECT_EQ(Formatted(1.005f, 2), "1.01");
}

TEST(FormatFixed, SinglePrecisionDecidesTheLastDigit) {
  // 200.00005 is 200.0000458 in single precision: plus 0.00005 it prints as 200.000096.
  EXPECT_EQ(Formatted(200.00005f, 4), "200.0000");
  EXPECT_EQ(Formatted(-200.00005f, 4), "-200.0000");
  // 100.00005 is 100.0000534, so it does round up.
  EXPECT_EQ(Formatted(100.00005f, 4), "100.0001");
  // 1234567.891 is 1234567.875: plus 0.005, 1234567.880000.
  EXPECT_EQ(Formatted(1234567.891f, 2), "1234567.88");
  // Integers above 2^24 lose their last bit: 16777217 is 16777216.
  EXPECT_EQ(Formatted(16777217.0f, 0), "16777216");
  // 0.1 is 0.100000001: the added half does not reach the next digit.
  EXPECT_EQ(Formatted(0.1f, 5), "0.10000");
}

TEST(FormatFixed, SixDigitTextRoundsBeforeTheCut) {
  // 1.2345649 plus 0.000005 is 1.2345699, which "%f" writes as 1.234570.
  EXPECT_EQ(Formatted(1.2345649f, 5), "1.23457");
  // 0.9999996 plus 0.5 prints as 1.500000: still 1 with no decimals.
  EXPECT_EQ(Formatted(0.9999996f, 0), "1");
  EXPECT_EQ(Formatted(0.125f, 2), "0.13");
  EXPECT_EQ(Formatted(-0.125f, 2), "-0.13");
}

TEST(FormatFixed, LargestFloatFitsIn48Bytes) {
  std::string text = Formatted(-3.4028235e38f, 5);
  EXPECT_EQ(text.size(), 46u);
  EXPECT_EQ(text.substr(0, 8), "-3402823");
}

TEST(FormatFixed, OtherDecimalCountsLeaveTheBufferAlone) {
  EXPECT_EQ(Formatted(1.0f, 6), "untouched");
  EXPECT_EQ(Formatted(1.0f, -1), "untouched");
}

TEST(FormatFixed, NanAndInfinityStayWhole) {
  EXPECT_EQ(Formatted(std::numeric_limits<float>::quiet_NaN(), 4), "nan");
  EXPECT_EQ(Formatted(-std::numeric_limits<float>::infinity(), 0), "-inf");
}

// The one cut both the readout and the chart page use: 30.0197 with three
// decimals reads 30.019 (cut, not rounded again).
TEST(CutDecimals, CutsTheSixDecimalTextAndLeavesTextsWithoutAPoint) {
  struct Case {
    const char* text;
    int decimals;
    const char* expected;
  };
  const Case cases[] = {{"30.019700", 3, "30.019"}, {"30.019700", 0, "30"},      {"-0.500000", 1, "-0.5"},
                        {"30.019700", 6, "30.019700"}, {"30.019700", -1, "30.019700"}, {"-inf", 0, "-inf"},
                        {"nan", 2, "nan"}};
  for (const Case& c : cases) {
    char text[32];
    std::strcpy(text, c.text);
    size_t length = Num_CutDecimals(text, std::strlen(text), c.decimals);
    EXPECT_STREQ(text, c.expected) << c.text << " to " << c.decimals;
    EXPECT_EQ(length, std::strlen(c.expected)) << c.text << " to " << c.decimals;
  }
}

TEST(TrimToStep, KeepsTheDecimalsOfTheStep) {
  char label[32] = "12.500000", step[32] = "0.250000";
  Num_TrimToStep(label, step);
  EXPECT_STREQ(label, "12.50");
  char label2[32] = "15.000000", step2[32] = "5.000000";
  Num_TrimToStep(label2, step2);
  EXPECT_STREQ(label2, "15");
  char label3[32] = "0.300000", step3[32] = "0.100000";
  Num_TrimToStep(label3, step3);
  EXPECT_STREQ(label3, "0.3");
}

TEST(TrimToStep, StopsAfterSevenCuts) {
  // A step of 10 would lose its own digits; seven cuts are the most.
  char label[32] = "20.000000", step[32] = "10.000000";
  Num_TrimToStep(label, step);
  EXPECT_STREQ(label, "20");
  EXPECT_STREQ(step, "10");
}

}  // namespace
