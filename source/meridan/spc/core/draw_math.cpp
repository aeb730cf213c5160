#include "spc/core/draw_math.h"

#include <cfloat>
#include <cmath>

// Every pixel and figure is worked out in plain double (and single) precision.
static_assert(FLT_EVAL_METHOD == 0, "floating-point expressions must not be evaluated in extended precision");

namespace {
double SpcScale = 1.0;
}

void SPC_SetScale(double scale) { SpcScale = scale; }

double SPC_GetScale() { return SpcScale; }

float Round_Floor(float value) { return static_cast<float>(std::floor(static_cast<double>(value))); }

float Round_Ceil(float value) { return static_cast<float>(std::ceil(static_cast<double>(value))); }

double Math_PowF(float base, double exponent) { return std::pow(static_cast<double>(base), exponent); }

Colour Color_Shade(Colour colour, float factor) {
  Colour shaded = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    float channel = static_cast<float>((colour >> shift) & 0xFFu);
    float scaled = Round_Floor(channel * factor + 0.5f);
    // Factors are never negative; a NaN factor leaves the channel dark instead of undefined.
    unsigned value = scaled >= 255.0f ? 255u : (scaled > 0.0f ? static_cast<unsigned>(scaled) : 0u);
    shaded |= value << shift;
  }
  return shaded;
}
