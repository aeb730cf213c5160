// Where the ticks and labels of one axis strip go: long ticks with a label at
// every step, short ticks at every fifth of a step. Platform-free; the label
// strip is drawn by Axis_DrawTicks from this.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "spc/core/plot_geometry.h"

// DrawTextW formats of the labels, by the side of the plot the strip lies on.
constexpr uint32_t kLabelFormatAbove = 41;  // centred, bottom-aligned, single line
constexpr uint32_t kLabelFormatRight = 36;  // left-aligned, vertically centred, single line
constexpr uint32_t kLabelFormatBelow = 33;  // centred, top-aligned, single line
constexpr uint32_t kLabelFormatLeft = 38;   // right-aligned, vertically centred, single line

struct AxisMark {
  Segment tick;
  std::string label;  // the value cut to the decimals of the step
  int32_t left, top, right, bottom;
};

struct AxisTickPlan {
  uint32_t labelFormat = 0;
  std::vector<AxisMark> major;  // in drawing order, each with its label
  std::vector<Segment> minor;
};

// The strip (left, top, width, height) lies on `side` of the plot: 0 above,
// 1 right, 2 below, 3 left. Empty when steps is below 1, or when the step or
// the range cannot place a tick (a step of 0, max equal to min, not finite).
// A tick whose place the rounding puts off the strip is left out.
// Reads the page scale for the label height.
void Axis_PlanTicks(int32_t left, int32_t top, int32_t width, int32_t height, int16_t side, int16_t minorLength,
                    int16_t majorLength, double spacing, double max, double min, double step, int16_t steps,
                    AxisTickPlan* plan);

// The label text of value v on an axis of step `step` ("%f", then cut to the step's decimals).
std::string Axis_LabelText(double value, double step);
