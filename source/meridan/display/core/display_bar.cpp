#include "display/core/display_bar.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// The pixel of a position, never outside the bar area: a deviation at the end
// of the range can round a hair beyond it (half x d / range is not always
// exactly half).
static int FloorToPixel(double position, double centre, int from, int to) {
  double pixel = std::floor(std::isfinite(position) ? position : centre);
  return static_cast<int>(std::clamp(pixel, double(std::min(from, to)), double(std::max(from, to))));
}

BarGeometry ComputeBarGeometry(double value, double nomSize, double usl, double lsl, int clientWidth,
                               int clientHeight) {
  BarGeometry bar{};
  // Coordinates are 16-bit, as the drawing calls of the bar took them.
  bar.x0 = 1;
  bar.y0 = 1;
  // Taken in 16 bits before the subtraction, so no client size can overflow it.
  bar.x1 = static_cast<int16_t>(static_cast<uint16_t>(clientWidth) - 1);
  bar.y1 = static_cast<int16_t>(static_cast<uint16_t>(clientHeight) - 1);

  // A limit that is not a number does not count, so the other one alone spans the bar.
  double largest = std::fmax(std::fabs(usl), std::fabs(lsl));
  double range = 1.2 * largest;
  if (range == 0 || std::isnan(range)) range = 0.1;  // also when both limits are not numbers

  double deviation = value - nomSize;
  // Out of tolerance below the lower or above the upper limit; a reading that is
  // not a number can be neither, yet it is never shown as good.
  bar.outOfTolerance = std::isnan(deviation) || deviation < lsl || deviation > usl;
  if (deviation < -range) deviation = -range;
  if (deviation > range) deviation = range;

  double mid = (bar.x0 + bar.x1) / 2.0;
  double half = (bar.x1 - bar.x0) / 2.0;
  bar.centreX = FloorToPixel(mid, mid, bar.x0, bar.x1);
  bar.barLeft = bar.centreX;
  bar.barRight = FloorToPixel(mid + half * deviation / range, mid, bar.x0, bar.x1);
  bar.upperMarkX = FloorToPixel(mid + half * usl / range, mid, bar.x0, bar.x1);
  bar.lowerMarkX = FloorToPixel(mid + half * lsl / range, mid, bar.x0, bar.x1);
  return bar;
}
