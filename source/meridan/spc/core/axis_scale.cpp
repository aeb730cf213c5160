#include "spc/core/axis_scale.h"

#include <cmath>

#include "spc/core/draw_math.h"
#include "core/num_format.h"

namespace {

constexpr int16_t kSampleAxis = 1;  // decimals code of the sample axis: steps of at least 5, limits kept

// Finest step by decimals code: the single-precision values of the decimal
// steps, widened (so 0.01 is slightly below 0.01).
constexpr double kFinestSteps[] = {0.01f, 5.0, 0.1f, 0.0001f, 0.001f, 0.01f, 0.1f, 1.0f};
constexpr int kFinestStepCodes = sizeof kFinestSteps / sizeof kFinestSteps[0];

double FinestStep(int16_t decimals) {
  return decimals >= 0 && decimals < kFinestStepCodes ? kFinestSteps[decimals] : 0.0;
}

// A range whose "%f" text ends in j zeros starts from a step of about 10^(j - 7).
double BaseStep(double range) {
  char text[kFixedTextSize];
  size_t length = Fmt_Fixed6(range, text, sizeof text);
  double r = static_cast<double>(0.000001f);
  for (size_t i = length - 1; i >= 1 && text[i] == '0'; --i) r *= 10;
  return r / 10;
}

// Toward zero and within 16 bits; NaN gives 0.
double Truncated16(double value) {
  if (std::isnan(value)) return 0.0;
  if (value > 32767.0) return 32767.0;
  if (value < -32768.0) return -32768.0;
  return std::trunc(value);
}

// Characters cut from a "%f" sample label so that it keeps the decimals of r.
size_t LabelCut(double r) {
  if (r == static_cast<double>(0.0001f)) return 2;
  if (r == static_cast<double>(0.001f)) return 3;
  if (r == static_cast<double>(0.01f)) return 4;
  if (r == static_cast<double>(0.1f)) return 5;
  if (r >= 1.0) return 7;
  return 0;
}

// Longest of up to ten sample labels spread evenly from lo to hi; an axis of
// one step has the two labels at its ends.
size_t LongestSampleLabel(double lo, double hi, double r, double h) {
  int count = h < 10.0 ? static_cast<int>(h) : 10;
  if (count < 2) count = 2;
  size_t cut = LabelCut(r), longest = 0;
  for (int i = 0; i < count; ++i) {
    char text[kFixedTextSize];
    size_t length = Fmt_Fixed6(lo + (hi - lo) * i / (count - 1), text, sizeof text);
    length = length > cut ? length - cut : 0;
    if (length > longest) longest = length;
  }
  return longest;
}

// How many labels fit along the axis; 0 when not one does (or the sizes make no sense).
double LabelsThatFit(bool vertical, int16_t lengthX, int16_t lengthY, double spacing, double lo, double hi, double r,
                     double h) {
  double scale = SPC_GetScale();
  double room;
  if (vertical) {
    double labelHeight = Truncated16(15 * scale);
    room = lengthY / (labelHeight * spacing);
  } else {
    double charWidth = Truncated16(7 * scale);
    room = lengthX / (charWidth * static_cast<double>(LongestSampleLabel(lo, hi, r, h)) * spacing);
  }
  if (!(room >= 1.0)) return 0.0;
  return room > 32767.0 ? 32767.0 : std::trunc(room);
}

// 12.3 becomes 13, 1.23 becomes 1.3, 0.123 becomes 0.13, 0.0123 becomes 0.013.
double SimpleStep(double r) {
  if (r >= 10) return std::ceil(r);
  if (r >= 1) return std::ceil(10 * r) / 10;
  if (r >= static_cast<double>(0.1f)) return std::ceil(100 * r) / 100;
  if (r >= static_cast<double>(0.01f)) return std::ceil(1000 * r) / 1000;
  return r;
}

}  // namespace

void Axis_CalcScale(int16_t side, int16_t lengthX, int16_t lengthY, double spacing, double* max, double* min,
                    double* step, int16_t decimals, int16_t* steps) {
  if (!max || !min || !step || !steps) return;
  *step = 0.0;
  *steps = 0;
  double hi = *max, lo = *min;
  if (hi < lo) {
    hi = *min;
    lo = *max;
  }
  if (!std::isfinite(hi - lo)) return;
  const bool vertical = side == 1 || side == 3;

  double r = BaseStep(hi - lo);
  double finest = FinestStep(decimals);
  if (r < finest) r = finest;
  if (decimals != kSampleAxis) {
    double roundedLo = std::floor(lo / r) * r, roundedHi = std::ceil(hi / r) * r;
    if (!std::isfinite(roundedHi - roundedLo)) return;
    lo = roundedLo;
    hi = roundedHi;
  }
  double h = std::trunc((hi - lo) / r);  // whole base steps between the limits

  // Max equal to min, a range narrower than one step, or a horizontal axis of
  // one step (whose sample labels would divide by zero): an axis of one step r.
  if (h < 1.0 || *max == *min || (!vertical && h < 2.0)) {
    if (hi == lo) hi = lo + r;
    *max = hi;
    *min = lo;
    if (hi > lo && LabelsThatFit(vertical, lengthX, lengthY, spacing, lo, hi, r, 1.0) >= 1.0) {
      *step = r;
      *steps = 1;
    }
    return;
  }
  *max = hi;
  *min = lo;
  double fit = LabelsThatFit(vertical, lengthX, lengthY, spacing, lo, hi, r, h);
  double labels = h < fit ? h : fit;
  if (labels < 1.0) return;  // not even one label fits
  r = SimpleStep(std::ceil(h / labels) * r);
  *step = r;
  *steps = static_cast<int16_t>(Truncated16((hi - lo) / r));
}
