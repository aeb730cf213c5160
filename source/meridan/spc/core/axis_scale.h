// Axis scaling: widens a data range to multiples of a step and chooses the
// step so that the labels fit the axis at the current page scale (SpcScale).
#pragma once
#include <cstdint>

// side 1 or 3: vertical axis (labels stacked, lengthY counts); any other side:
// horizontal axis (labels side by side, lengthX counts). spacing multiplies
// the room one label needs. max and min are the data range on entry and the
// axis limits on return; step is the distance between labels and steps their
// number. decimals is the code of the finest step: 0 and 5 0.01, 1 five
// samples (limits kept as given), 2 and 6 0.1, 3 0.0001, 4 0.001, 7 1, any
// other no minimum.
//
// An axis with max equal to min (or narrower than one finest step) has one
// step of the finest size; an axis on which no label fits gets steps 0 and
// step 0, and so does a range that is not finite (its limits are left alone).
void Axis_CalcScale(int16_t side, int16_t lengthX, int16_t lengthY, double spacing, double* max, double* min,
                    double* step, int16_t decimals, int16_t* steps);
