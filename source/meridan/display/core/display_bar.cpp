#include "display/core/display_bar.h"

#include <cmath>
#include <cstdint>

static int FloorToPixel(double position, double centre) {
  return static_cast<int>(std::floor(std::isfinite(position) ? position : centre));
}

BarGeometry ComputeBarGeometry(double value, double nomSize, double usl, double lsl, int clientWidth,
                               int clientHeight) {
  BarGeometry bar{};
  // Coordinates are 16-bit, as the drawing calls of the bar took them.
  bar.x0 = 1;
  bar.y0 = 1;
  bar.x1 = static_cast<int16_t>(clientWidth - 1);
  bar.y1 = static_cast<int16_t>(clientHeight - 1);

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
  bar.centreX = FloorToPixel(mid, mid);
  bar.barLeft = bar.centreX;
  bar.barRight = FloorToPixel(mid + half * deviation / range, mid);
  bar.upperMarkX = FloorToPixel(mid + half * usl / range, mid);
  bar.lowerMarkX = FloorToPixel(mid + half * lsl / range, mid);
  return bar;
}
