// Axis scaling, tick placement and the number texts, on ranges, lengths,
// spacings, decimals codes and page scales of every kind and doubles of every
// class.
//
// Properties: a range that is not finite gets no steps and keeps its limits;
// a scaled axis has a positive finite step, finite limits that cover the data
// (kept as given for the sample axis), at most as many steps as fit between
// them, and steps only when a label fits; its ticks lie along their strip, no
// more of them than the steps allow; every label is the "%f" text of its value
// cut to the step's decimals; the "%f" texts equal the C library's, cut to
// their buffer and never beyond it; the cut-to-decimals texts and the
// trimming never write past their buffers.
#include <algorithm>
#include <memory>
#include <string>

#include "core/num_format.h"
#include "fuzz_support.h"
#include "spc/core/axis_scale.h"
#include "spc/core/axis_ticks_layout.h"
#include "spc/core/draw_math.h"
#include "spc/core/page_layout.h"

namespace {

// "%f" as the C library writes it; NaN without a sign, as the page shows it.
std::string LibraryFixed(double value) {
  if (std::isnan(value)) return "nan";
  char text[kFixedTextSize + 8];
  std::snprintf(text, sizeof text, "%f", value);
  return text;
}

// The label rule written out again: while the step text ends in "0" (a final
// "." counting as "0"), up to seven times, both texts lose their last character.
std::string TrimmedLabel(double value, double step) {
  std::string label = LibraryFixed(value), stepText = LibraryFixed(step);
  for (int i = 0; i < 7 && !stepText.empty(); ++i) {
    if (stepText.back() == '.') stepText.back() = '0';
    if (stepText.back() != '0') break;
    stepText.pop_back();
    if (!label.empty()) label.pop_back();
  }
  return label;
}

// A "%f" text cut to `decimals`: 0 drops the point too, below 0 or above 5 keeps all six.
std::string CutDecimals(std::string text, int decimals) {
  if (text.find('.') != std::string::npos && decimals >= 0 && decimals < 6)
    text.resize(text.size() - (decimals == 0 ? 7 : 6 - decimals));
  return text;
}

double ScaleFrom(fuzz::Input& input) {
  uint8_t kind = input.U8();
  if (kind < 200) return 0.25 + (kind % 12) * 0.25;
  return input.Double();
}

void CheckFixedTexts(fuzz::Input& input, double value) {
  const size_t size = input.U16() % (kFixedTextSize + 1);
  std::unique_ptr<char[]> buffer(new char[size ? size : 1]);
  const size_t length = Fmt_Fixed6(value, buffer.get(), size);
  if (size == 0) {
    FUZZ_CHECK(length == 0, "a buffer of no bytes got %zu characters", length);
  } else {
    const std::string expected = LibraryFixed(value).substr(0, size - 1);
    FUZZ_CHECK(length == expected.size() && expected == buffer.get(), "%a in %zu bytes: \"%s\", expected \"%s\"",
               value, size, buffer.get(), expected.c_str());
  }

  // Cut to any number of decimals, in place.
  const int cutTo = static_cast<int8_t>(input.U8());
  const std::string whole = LibraryFixed(value);
  std::unique_ptr<char[]> cutInPlace(new char[whole.size() + 1]);
  std::memcpy(cutInPlace.get(), whole.c_str(), whole.size() + 1);
  const size_t cutInPlaceLength = Num_CutDecimals(cutInPlace.get(), whole.size(), cutTo);
  FUZZ_CHECK(cutInPlaceLength == std::strlen(cutInPlace.get()) && CutDecimals(whole, cutTo) == cutInPlace.get(),
             "\"%s\" cut to %d decimals is \"%s\"", whole.c_str(), cutTo, cutInPlace.get());

  // Cut to 0 .. 5 decimals after rounding half away from zero, in a buffer of 48 bytes.
  const int16_t decimals = (input.U8() & 1) ? input.I16() : static_cast<int16_t>(input.U8() % 7);
  const float single = static_cast<float>(std::clamp(value, -3.4e38, 3.4e38));  // any float, NaN included
  std::unique_ptr<char[]> cut(new char[48]);
  std::memset(cut.get(), 'x', 48);
  cut[47] = 0;
  Num_FormatFixed(cut.get(), std::isnan(value) ? NAN : single, decimals);
  const size_t cutLength = std::strlen(cut.get());
  FUZZ_CHECK(cutLength < 48, "cut text of %zu characters", cutLength);
  if (decimals < 0 || decimals > 5) {
    FUZZ_CHECK(cutLength == 47, "decimals %d changed the buffer", decimals);
  } else if (!std::isnan(value)) {
    const double half = 0.5 / std::pow(10.0, decimals), widened = single;
    const std::string expected = CutDecimals(LibraryFixed(widened >= 0 ? widened + half : widened - half), decimals);
    FUZZ_CHECK(expected == cut.get(), "%a to %d decimals is \"%s\", expected \"%s\"", widened, decimals, cut.get(),
               expected.c_str());
  }

  // Trimming two arbitrary texts in buffers of exactly their size.
  std::string label = LibraryFixed(value), step;
  for (size_t n = input.U8() % 24; n > 0 && input.Left() > 0; --n) step += static_cast<char>(input.U8() | 1);
  std::unique_ptr<char[]> labelBuffer(new char[label.size() + 1]), stepBuffer(new char[step.size() + 1]);
  std::memcpy(labelBuffer.get(), label.c_str(), label.size() + 1);
  std::memcpy(stepBuffer.get(), step.c_str(), step.size() + 1);
  Num_TrimToStep(labelBuffer.get(), stepBuffer.get());
  const size_t removed = step.size() - std::strlen(stepBuffer.get());
  FUZZ_CHECK(removed <= 7 && std::strlen(labelBuffer.get()) == label.size() - std::min(removed, label.size()),
             "trimming took %zu from the step and %zu from the label", removed,
             label.size() - std::strlen(labelBuffer.get()));
}

void CheckTicks(fuzz::Input& input, double max, double min, double step, int16_t steps, double spacing) {
  const int32_t left = input.I16(), top = input.I16();
  const int32_t width = input.U16() % 4096, height = input.U16() % 4096;
  const int16_t side = static_cast<int16_t>(input.U8() % 4);
  const int16_t minorLength = input.U8() % 40, majorLength = input.U8() % 40;
  AxisTickPlan plan;
  Axis_PlanTicks(left, top, width, height, side, minorLength, majorLength, spacing, max, min, step, steps, &plan);
  if (steps < 1) FUZZ_CHECK(plan.major.empty() && plan.minor.empty(), "ticks on an axis of %d steps", steps);
  FUZZ_CHECK(plan.major.size() <= size_t(std::max<int>(steps, 0)) + 2, "%zu long ticks for %d steps",
             plan.major.size(), steps);
  FUZZ_CHECK(plan.minor.size() <= 5 * size_t(std::max<int>(steps, 0)) + 6, "%zu short ticks for %d steps",
             plan.minor.size(), steps);
  const bool horizontal = side == 0 || side == 2;
  const int32_t from = horizontal ? left : top, to = horizontal ? left + width : top + height;
  for (const AxisMark& mark : plan.major) {
    const int32_t at = horizontal ? mark.tick.x0 : mark.tick.y0;
    FUZZ_CHECK(at >= from - 1 && at <= to + 1, "tick at %d outside the strip %d .. %d", at, from, to);
    FUZZ_CHECK(mark.label.size() < kFixedTextSize, "label of %zu characters", mark.label.size());
  }
  // A step within a few units of the values' last place moves the ticks only now and then: no first label to expect.
  const double lastPlace = std::fabs(step * std::ceil(min / step)) * std::numeric_limits<double>::epsilon();
  if (!plan.major.empty() && step > 4 * lastPlace) {
    // The first label is that of the first multiple of the step from min on (or of
    // the next one, where that multiple rounds off the axis); -0 shows as 0.
    const double first = step * std::ceil(min / step) + 0 * step, next = first + step;
    const std::string& label = plan.major.front().label;
    FUZZ_CHECK(label == TrimmedLabel(first, step) || label == TrimmedLabel(next, step),
               "label \"%s\" on step %a, expected \"%s\" (%a)", label.c_str(), step, TrimmedLabel(first, step).c_str(),
               first);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input(data, size);
  const double scale = ScaleFrom(input);
  const uint8_t kind = input.U8();
  const int16_t side = (kind & 1) ? input.I16() : static_cast<int16_t>(input.U8() % 4);
  const int16_t lengthX = (kind & 2) ? input.I16() : static_cast<int16_t>(input.U16() % 2048);
  const int16_t lengthY = (kind & 4) ? input.I16() : static_cast<int16_t>(input.U16() % 2048);
  const double spacing = (kind & 8) ? input.Double() : 1.25;
  const int16_t decimals = (kind & 16) ? input.I16() : static_cast<int16_t>(input.U8() % 9);
  const double dataMax = input.Double();
  const double dataMin = (kind & 32) ? dataMax : input.Double();

  SPC_SetScale(scale);
  double max = dataMax, min = dataMin, step = -1;
  int16_t steps = -1;
  Axis_CalcScale(side, lengthX, lengthY, spacing, &max, &min, &step, decimals, &steps);
  const double hi = std::max(dataMax, dataMin), lo = std::min(dataMax, dataMin);
  FUZZ_CHECK(steps >= 0, "steps %d", steps);
  if (!fuzz::Finite(dataMax - dataMin) || std::isnan(dataMax) || std::isnan(dataMin)) {
    FUZZ_CHECK(steps == 0 && step == 0, "a range that is not finite got %d steps of %a", steps, step);
    FUZZ_CHECK((max == dataMax || std::isnan(dataMax)) && (min == dataMin || std::isnan(dataMin)),
               "its limits changed to %a .. %a", min, max);
  } else if (steps >= 1) {
    FUZZ_CHECK(step > 0 && fuzz::Finite(step) && fuzz::Finite(max) && fuzz::Finite(min) && max > min,
               "step %a limits %a .. %a", step, min, max);
    const double tolerance = 1e-12 * std::max({std::fabs(hi), std::fabs(lo), step});
    FUZZ_CHECK(min <= lo + tolerance && max >= hi - tolerance, "limits %a .. %a do not cover %a .. %a", min, max, lo,
               hi);
    if (decimals == 1) FUZZ_CHECK(min == lo, "the sample axis moved its start from %a to %a", lo, min);
    // A range narrower than one step (the sample axis keeps its limits) is an axis of that one step.
    if (steps > 1)
      FUZZ_CHECK(steps * step <= (max - min) * (1 + 1e-12), "%d steps of %a exceed %a .. %a", steps, step, min, max);
    const double labelHeight = std::isnan(scale) ? 0 : std::trunc(std::clamp(15 * scale, -32768.0, 32767.0));
    // Below a page scale of 1/15 a label takes no room, and every base step gets one.
    if ((side == 1 || side == 3) && labelHeight >= 1 && spacing > 0 && fuzz::Finite(spacing)) {
      const double fit = std::floor(lengthY / (labelHeight * spacing));
      FUZZ_CHECK(fit >= 1 && steps <= 2 * fit, "%d steps where %g labels fit", steps, fit);
    }
  }
  AxisScale result;
  result.max = max;
  result.min = min;
  result.step = step;
  result.steps = steps;
  const int32_t labelChars = SPC_ValueLabelChars(result);
  FUZZ_CHECK(labelChars >= 0 && size_t(labelChars) < kFixedTextSize, "label of %d characters", labelChars);
  CheckTicks(input, max, min, step, steps, spacing);
  CheckFixedTexts(input, dataMax);
  SPC_SetScale(1.0);
  return 0;
}
