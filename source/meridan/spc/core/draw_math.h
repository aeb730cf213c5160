// The arithmetic shared by the SPC drawing routines: the page scale, colour
// shading and single-precision rounding. No platform calls.
#pragma once
#include <cstdint>

using Colour = uint32_t;  // red in bits 0-7, green 8-15, blue 16-23

constexpr Colour Rgb(unsigned red, unsigned green, unsigned blue) { return red | (green << 8) | (blue << 16); }

// Page scale of the running chart request (1.0 between requests); every size
// derived from the page scale reads it.
void SPC_SetScale(double scale);
double SPC_GetScale();

// Each channel times `factor` (in single precision), rounded half up, capped at 255; top byte cleared.
Colour Color_Shade(Colour colour, float factor);

float Round_Floor(float value);
float Round_Ceil(float value);
double Math_PowF(float base, double exponent);
