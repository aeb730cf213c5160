// Colour shading, single-precision rounding and power. Figures are worked out by
// hand in the comments.
#include <gtest/gtest.h>

#include <cmath>

#include "spc/core/draw_math.h"

namespace {

// ---- colour shading

TEST(ColorShade, WhiteStaysWhiteWhenLightened) { EXPECT_EQ(Color_Shade(0xFFFFFF, 1.15f), 0xFFFFFFu); }

TEST(ColorShade, DarkensEachChannelRoundingHalfUp) {
  EXPECT_EQ(Color_Shade(0x000080, 0.65f), 0x000053u);  // 128 x 0.65 + 0.5 = 83.7 -> 83
  // page colour (240, 233, 208) x 0.65: 156.5 -> 156, 151.95 -> 151, 135.7 -> 135
  EXPECT_EQ(Color_Shade(Rgb(240, 233, 208), 0.65f), Rgb(156, 151, 135));
}

TEST(ColorShade, ClearsTheTopByteAndKeepsChannelsAtFactorOne) {
  EXPECT_EQ(Color_Shade(0x7F123456, 1.0f), 0x00123456u);
}

TEST(ColorShade, CapsLightenedChannelsAt255) {
  EXPECT_EQ(Color_Shade(Rgb(250, 100, 0), 1.15f), Rgb(255, 115, 0));  // 287.5 -> 255, 115.5 -> 115
}

TEST(SinglePrecisionRounding, FloorsAndCeilsToWholeNumbers) {
  EXPECT_EQ(Round_Floor(-0.5f), -1.0f);
  EXPECT_EQ(Round_Floor(83.7f), 83.0f);
  EXPECT_EQ(Round_Ceil(2.1f), 3.0f);
  EXPECT_EQ(Round_Ceil(-2.9f), -2.0f);
  EXPECT_EQ(Round_Ceil(16777215.0f), 16777215.0f);
}

TEST(SinglePrecisionPower, RaisesTheNarrowedBase) {
  EXPECT_EQ(Math_PowF(2.7182817f, 1.0), static_cast<double>(2.7182817f));
  EXPECT_EQ(Math_PowF(0.1f, 1.0), static_cast<double>(0.1f));  // not 0.1: the base was narrowed
  EXPECT_DOUBLE_EQ(Math_PowF(2.0f, 0.5), std::sqrt(2.0));
}

}  // namespace
