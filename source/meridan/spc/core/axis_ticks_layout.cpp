#include "spc/core/axis_ticks_layout.h"

#include <algorithm>
#include <cmath>

#include "spc/core/draw_math.h"
#include "core/num_format.h"

namespace {

struct Strip {
  int32_t left, top, width, height;
  int16_t side;
  double max, min;
  bool Horizontal() const { return side == 0 || side == 2; }
  // x along a horizontal strip, y along a vertical one.
  // Multiplied before divided: a tick that falls on half a pixel rounds as the plots' own grid does.
  // Only where the product overflows (a range near double's limit) is the share taken first.
  int32_t Place(double v) const {
    if (Horizontal()) return Px_Round(double(left) + Px_Round(Offset(width, v)));
    return Px_Round(double(top) + height - Px_Round(Offset(height, v)));
  }
  double Offset(int32_t length, double v) const {
    double offset = length * (v - min) / (max - min);
    return std::isfinite(offset) ? offset : length * ((v - min) / (max - min));
  }
  // Whether a place lies along the strip. A multiple of the step that the
  // rounding put below min (min / step vanishing for a min of a few denormals,
  // a step finer than the values' last place) would fall off the strip's end.
  bool Along(int32_t at) const {
    int64_t from = Horizontal() ? left : top, to = from + (Horizontal() ? width : height);
    return at >= std::min(from, to) && at <= std::max(from, to);
  }
  Segment Tick(int32_t at, int32_t length) const {
    int32_t right = left + width, bottom = top + height;
    switch (side) {
      case 0: return {at, bottom - length, at, bottom};
      case 1: return {left, at, left + length, at};
      case 2: return {at, top, at, top + length};
      default: return {right - length, at, right, at};
    }
  }
};

// The first multiple of the step at or above min; where that multiple rounds
// beyond double's range (min near the largest double), the one after it.
double FirstMultiple(double min, double step) {
  double multiple = std::ceil(min / step);
  double first = step * multiple;
  return std::isfinite(first) ? first : step * (multiple + 1);
}

uint32_t FormatOf(int16_t side) {
  switch (side) {
    case 0: return kLabelFormatAbove;
    case 1: return kLabelFormatRight;
    case 2: return kLabelFormatBelow;
    default: return kLabelFormatLeft;
  }
}

}  // namespace

std::string Axis_LabelText(double value, double step) {
  char label[kFixedTextSize];
  char stepText[kFixedTextSize];
  Fmt_Fixed6(value, label, sizeof label);
  Fmt_Fixed6(step, stepText, sizeof stepText);
  Num_TrimToStep(label, stepText);
  return label;
}

void Axis_PlanTicks(int32_t left, int32_t top, int32_t width, int32_t height, int16_t side, int16_t minorLength,
                    int16_t majorLength, double spacing, double max, double min, double step, int16_t steps,
                    AxisTickPlan* plan) {
  *plan = AxisTickPlan{};
  if (steps < 1) return;
  if (step == 0 || !std::isfinite(step) || !Plot_RangeUsable(min, max)) return;
  plan->labelFormat = FormatOf(side);
  const Strip strip{left, top, width, height, side, max, min};
  const int32_t gap = Px_Round(majorLength * spacing);
  // Half the label box across the tick: a step's share of a horizontal strip,
  // one label height on a vertical one (each half rounded up in single precision).
  const int32_t halfWidth = Px_Trunc(Round_Ceil(static_cast<float>(width / steps) / 2));
  const int32_t halfHeight = Px_Trunc(Round_Ceil(static_cast<float>(spacing * SPC_RowHeight() / 2)));

  double first = FirstMultiple(min, step);
  for (int32_t q = 0; q <= steps + 1; ++q) {
    double v = first + q * step;
    if (!(v <= max) || !std::isfinite(v)) continue;  // a multiple of the step beyond double's range has no place
    int32_t at = strip.Place(v);
    if (!strip.Along(at)) continue;
    AxisMark mark;
    mark.tick = strip.Tick(at, majorLength);
    mark.label = Axis_LabelText(v, step);
    switch (side) {
      case 0: mark.left = at - halfWidth, mark.right = at + halfWidth, mark.top = top, mark.bottom = top + height - gap; break;
      case 1: mark.left = left + gap, mark.right = left + width, mark.top = at - halfHeight, mark.bottom = at + halfHeight; break;
      case 2: mark.left = at - halfWidth, mark.right = at + halfWidth, mark.top = top + gap, mark.bottom = top + height; break;
      default: mark.left = left, mark.right = left + width - gap, mark.top = at - halfHeight, mark.bottom = at + halfHeight; break;
    }
    plan->major.push_back(mark);
  }

  double minorStep = step / 5;
  double firstMinor = FirstMultiple(min, minorStep);
  for (int32_t q = 0; q <= 5 * steps + 5; ++q) {
    double v = firstMinor + q * minorStep;
    if (!(v <= max) || !std::isfinite(v)) continue;
    int32_t at = strip.Place(v);
    if (strip.Along(at)) plan->minor.push_back(strip.Tick(at, minorLength));
  }
}
