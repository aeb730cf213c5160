// Gauge study requests decoded from the fuzzer's bytes: kind, sizes (small
// and sensible mostly, any 32-bit value sometimes), reference and tolerance
// of every class, an options array with any element count and values in and
// out of their ranges, a capacity, and readings of every class.
//
// Properties: a request is refused exactly when it breaks the contract as
// read here (kind, sizes, reading count, options, tolerance, NaN or infinite
// readings, no spread); a refused request writes nothing; nothing is written
// past the capacity nor to element 0, and what is written is the full
// figures' first elements bit for bit; variance components and standard
// deviations are never negative nor NaN; %contribution and %study variation
// (and the average and range method's percentages of TV) lie within 0 .. 100;
// ndc is at least 1; p-values lie within 0 .. 1 where F or t is a number;
// type 1's interval holds its bias and n counts the readings that are numbers.
#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "gauge/core/gauge_results.h"
#include "gauge/core/gauge_page_layout.h"
#include "gauge/core/gauge_study.h"
#include "spc/core/spc_table.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kUnwritten = -7.25e-301;  // in every element the library must not write

struct Decoded {
  GaugeRequest request{};
  std::vector<double> readings;  // element 0 never read
  std::vector<double> options;
  bool optionArray = true;
  int32_t capacity = 0;
};

int32_t Size(fuzz::Input& input, int32_t usual) {
  const uint8_t kind = input.U8();
  if (kind < 230) return kind % usual;
  if (kind < 250) return input.U16();
  return input.I32();
}

// An option: mostly inside its range, else any double.
double OptionValue(fuzz::Input& input, int element) {
  const uint8_t kind = input.U8();
  if (kind < 60) return kNaN;
  if (kind < 200) {
    const double unit = input.U16() / 65535.0;
    switch (element) {
      case kGaugeOptionMultiplier: return 0.5 + 10 * unit;
      case kGaugeOptionAlpha: return unit;
      case kGaugeOptionK: return 1 + 99 * unit;
      case kGaugeOptionL: return 0.5 + 8 * unit;
      case kGaugeOptionConfidence: return 0.5 + 0.4999 * unit;
      default: return unit;
    }
  }
  return input.Double();
}

Decoded Decode(fuzz::Input& input) {
  Decoded d;
  GaugeRequest& r = d.request;
  const uint8_t flags = input.U8();
  r.kind = (flags & 1) ? input.I32() : input.U8() % 5;
  r.parts = Size(input, 13);
  r.appraisers = Size(input, 6);
  r.trials = Size(input, 8);
  if (r.kind == kGaugeType1 && (flags & 2)) {  // a sound type 1 shape, more readings
    r.parts = r.appraisers = 1;
    r.trials = 2 + input.U8() % 60;
  }
  r.reference = (flags & 4) ? input.Double() : 10.0;
  r.tolerance = (flags & 8) ? input.Double() : 0.05 * (1 + input.U8() % 8);

  const uint8_t optionKind = input.U8();
  r.optionCount = optionKind < 240 ? optionKind % 8 : input.I32();
  d.optionArray = optionKind < 236 || optionKind >= 240;
  d.options.assign(8, kNaN);
  for (int e = 1; e <= std::clamp(r.optionCount, 0, 7); ++e) d.options[e] = OptionValue(input, e);
  r.options = d.optionArray ? d.options.data() : nullptr;

  const uint8_t capacityKind = input.U8();
  if (capacityKind < 100) d.capacity = capacityKind;
  else if (capacityKind < 250) d.capacity = input.U16() % 1024;
  else d.capacity = -static_cast<int32_t>(input.U8());

  // The readings: a pattern from the rest of the bytes (gauge-like values mostly, some of every class),
  // repeated up to the count; none at all when the count is outside the contract.
  std::vector<double> pattern;
  const bool wild = flags & 16;
  while (input.Left() > 0 && pattern.size() < 2048) {
    if (wild) pattern.push_back(input.Double());
    else pattern.push_back(10.0 + static_cast<int16_t>(input.U16()) / 10000.0);
  }
  if (pattern.empty()) pattern.push_back(10.0);
  const bool sizesSound = r.parts > 0 && r.appraisers > 0 && r.trials > 0 && r.parts <= kGaugeMostReadings &&
                          r.appraisers <= kGaugeMostReadings && r.trials <= kGaugeMostReadings;
  const int64_t count = sizesSound ? int64_t{r.parts} * r.appraisers * r.trials : 0;
  const int64_t readings = count <= kGaugeMostReadings ? count : 0;
  d.readings.assign(static_cast<size_t>(readings) + 1, kNaN);
  for (int64_t i = 1; i <= readings; ++i) d.readings[i] = pattern[(i - 1) % pattern.size()];
  r.readings = (flags & 32) && readings == 0 ? nullptr : d.readings.data();
  return d;
}

// The contract as the README states it, read independently of the library.
bool Acceptable(const Decoded& d) {
  const GaugeRequest& r = d.request;
  if (r.optionCount < 0 || (r.optionCount > 0 && !r.options)) return false;
  auto option = [&](int e, double byDefault) {
    return r.optionCount >= e && !std::isnan(d.options[e]) ? d.options[e] : byDefault;
  };
  const double multiplier = option(1, 6), alpha = option(2, 0.05), K = option(3, 20), L = option(4, 6),
               confidence = option(5, 0.95);
  if (!(multiplier > 0 && multiplier < HUGE_VAL) || !(alpha >= 0 && alpha <= 1) || !(K > 0 && K <= 100) ||
      !(L > 0 && L < HUGE_VAL) || !(confidence >= 0.5 && confidence < 1))
    return false;
  if (r.kind < 1 || r.kind > 3 || r.parts < 1 || r.appraisers < 1 || r.trials < 1) return false;
  if (r.parts > kGaugeMostReadings || r.appraisers > kGaugeMostReadings || r.trials > kGaugeMostReadings ||
      int64_t{r.parts} * r.appraisers * r.trials > kGaugeMostReadings || !r.readings)
    return false;
  const int32_t count = r.parts * r.appraisers * r.trials;
  double smallest = HUGE_VAL, largest = -HUGE_VAL;
  int32_t numbers = 0;
  for (int32_t i = 1; i <= count; ++i) {
    const double x = r.readings[i];
    if (std::isinf(x)) return false;
    if (std::isnan(x)) {
      if (r.kind != kGaugeType1) return false;
      continue;
    }
    ++numbers;
    smallest = std::min(smallest, x);
    largest = std::max(largest, x);
  }
  if (!(smallest < largest)) return false;  // no spread (or fewer than 2 numbers)
  if (r.kind == kGaugeType1)
    return r.parts == 1 && r.appraisers == 1 && numbers >= 2 && r.tolerance > 0 && std::isfinite(r.tolerance) &&
           std::isfinite(r.reference);
  return r.parts >= 2 && r.trials >= 2 && (r.kind == kGaugeCrossed ? r.appraisers >= 2 : r.appraisers == 1);
}

// Requests the contract accepts may still be refused when a figure overflows or a variance underflows
// to 0: readings, reference or tolerance beyond about 1e150, or a spread below about 1e-150; for type 1
// also a tolerance, K or L outside 1e-150 .. 1e150.
bool MayLeaveDoubleRange(const Decoded& d) {
  const GaugeRequest& r = d.request;
  const int32_t count = r.parts * r.appraisers * r.trials;
  double extent = std::fabs(r.kind == kGaugeType1 ? r.reference : 0.0);
  double smallest = HUGE_VAL, largest = -HUGE_VAL;
  for (int32_t i = 1; i <= count; ++i)
    if (std::isfinite(r.readings[i])) {
      extent = std::max(extent, std::fabs(r.readings[i]));
      smallest = std::min(smallest, r.readings[i]);
      largest = std::max(largest, r.readings[i]);
    }
  auto outside = [](double x) { return x > 1e150 || x < 1e-150; };
  auto option = [&](int e) { return r.optionCount >= e && r.options ? d.options[e] : kNaN; };
  return extent > 1e150 || largest - smallest < 1e-150 ||
         (r.kind == kGaugeType1 && (outside(r.tolerance) || outside(option(kGaugeOptionK)) ||
                                    outside(option(kGaugeOptionL))));
}

bool SameBits(const double& a, const double& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void CheckWithin(const double* f, int first, int last, double low, double high, const char* what) {
  for (int i = first; i <= last; ++i)
    FUZZ_CHECK(f[i] >= low && f[i] <= high, "%s: element %d is %a", what, i, f[i]);
}

void CheckP(double F, double p, int i) {
  if (std::isnan(F)) FUZZ_CHECK(std::isnan(p), "p-value %d of F NaN is %a", i, p);
  else FUZZ_CHECK(p >= 0 && p <= 1, "p-value %d is %a (F %a)", i, p, F);
}

void CheckStudyFigures(const Decoded& d, const double* f) {
  const GaugeRequest& r = d.request;
  if (r.kind == kGaugeType1) {
    FUZZ_CHECK(f[2] >= 2 && f[2] <= r.trials, "n %a of %d", f[2], r.trials);
    FUZZ_CHECK(f[4] > 0 && f[5] < f[6], "s %a, range %a .. %a", f[4], f[5], f[6]);
    FUZZ_CHECK(f[11] == f[2] - 1, "degrees of freedom %a", f[11]);
    CheckP(f[10], f[12], 12);
    FUZZ_CHECK(f[13] <= f[9] && f[9] <= f[14], "interval %a .. %a around %a", f[13], f[14], f[9]);
    FUZZ_CHECK(f[15] > 0 && f[16] <= f[15] * (1 + 1e-15), "Cg %a, Cgk %a", f[15], f[16]);
    return;
  }
  const int32_t o = r.appraisers;
  CheckWithin(f, 28, 39, 0, HUGE_VAL, "components and standard deviations");
  CheckWithin(f, 40, 47, 0, 100, "%contribution and %study variation");
  CheckWithin(f, 48, 56, 0, HUGE_VAL, "study variation and %tolerance");
  FUZZ_CHECK(f[57] >= 1, "ndc %a", f[57]);
  for (int i = 0; i < 3; ++i) CheckP(f[20 + i], f[23 + i], 23 + i);
  FUZZ_CHECK(f[26] == 0 || f[26] == 1, "interaction removed %a", f[26]);
  if (f[26] == 1) FUZZ_CHECK(f[31] == 0 && f[25] > f[27], "removed interaction: %a, p %a", f[31], f[25]);
  if (r.kind == kGaugeNoAppraiser)
    for (int i : {7, 8, 12, 13, 17, 18, 21, 22, 24, 25, 26, 29, 30, 31, 36})
      FUZZ_CHECK(f[i] == 0, "type 3 element %d is %a", i, f[i]);
  const bool averageRange = r.kind == kGaugeCrossed && r.trials <= 3 && o <= 3 && r.parts <= 10;
  if (averageRange) {
    CheckWithin(f, 59, 66, 0, HUGE_VAL, "average and range figures");
    CheckWithin(f, 67, 70, 0, 100, "average and range percentages of TV");
    FUZZ_CHECK(f[72] >= 1, "average and range ndc %a", f[72]);
    FUZZ_CHECK(f[75] >= 0 && f[75] <= double(r.parts) * o && f[75] == std::floor(f[75]), "ranges above %a", f[75]);
  } else {
    for (int i = 59; i <= 75; ++i) FUZZ_CHECK(f[i] == 0, "no average and range method: element %d is %a", i, f[i]);
  }
  CheckWithin(f, 76, 75 + o, 0, HUGE_VAL, "mean ranges");
}

// The study's page at a size taken from the capacity: every chart that has room lies on the page, and
// every reading has its marker in the charts that show readings.
void CheckPageLayout(const Decoded& d, const GaugeResult& result) {
  const uint32_t bits = static_cast<uint32_t>(d.capacity);
  const int32_t width = 40 + static_cast<int32_t>(bits % 1600), height = 30 + static_cast<int32_t>((bits / 7) % 1200);
  const double factor = bits % 3 == 0 ? 2.0 : 1.0;
  int32_t pageWidth = 0, pageHeight = 0;
  if (!SPC_PageSize(width, height, factor, &pageWidth, &pageHeight)) return;
  SPC_SetScale(factor);
  GaugePageLayout layout;
  Gauge_LayoutPage(d.request, result, width, height, factor, &layout);
  SPC_SetScale(1.0);
  for (const GaugeChart& chart : layout.charts) {
    if (chart.width <= 0 || chart.height <= 0) continue;  // no room: not drawn
    FUZZ_CHECK(chart.left >= 0 && chart.top >= 0 && chart.left + chart.width <= pageWidth &&
                   chart.top + chart.height <= pageHeight,
               "chart %d,%d %dx%d off a page of %dx%d", chart.left, chart.top, chart.width, chart.height, pageWidth,
               pageHeight);
  }
  if (d.request.kind != kGaugeType1 && layout.charts.size() == 6 && layout.charts[3].width > 0) {
    const size_t readings = size_t(d.request.parts) * d.request.appraisers * d.request.trials;
    FUZZ_CHECK(layout.charts[3].markers.size() == readings, "%zu markers for %zu readings",
               layout.charts[3].markers.size(), readings);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::LoadShippedTable();
  fuzz::Input input(data, size);
  const Decoded d = Decode(input);

  const size_t slots = static_cast<size_t>(std::max(d.capacity, 0)) + 9;  // eight beyond the capacity
  std::vector<double> figures(slots, kUnwritten);
  const int32_t written = Gauge_StudyFigures(d.request, figures.data(), d.capacity);
  FUZZ_CHECK(SameBits(figures[0], kUnwritten), "element 0 written");
  for (size_t i = static_cast<size_t>(std::max(written, 0)) + 1; i < slots; ++i)
    FUZZ_CHECK(SameBits(figures[i], kUnwritten), "element %zu written past %d (capacity %d)", i, written, d.capacity);

  const bool acceptable = Acceptable(d);
  GaugeResult result;
  const bool computed = Gauge_ComputeStudy(d.request, &result);
  FUZZ_CHECK(!computed || acceptable, "kind %d, %d x %d x %d computed against the contract", d.request.kind,
             d.request.parts, d.request.appraisers, d.request.trials);
  FUZZ_CHECK(computed || !acceptable || MayLeaveDoubleRange(d),
             "kind %d, %d x %d x %d (reference %a, tolerance %a, %d options: %a %a %a %a %a) refused",
             d.request.kind, d.request.parts, d.request.appraisers, d.request.trials, d.request.reference,
             d.request.tolerance, d.request.optionCount, d.options[1], d.options[2], d.options[3], d.options[4],
             d.options[5]);
  if (!computed || d.capacity < 1) {
    FUZZ_CHECK(written == 0, "wrote %d for a refused request or capacity %d", written, d.capacity);
    return 0;
  }
  const int32_t count = Gauge_FigureCount(result);
  FUZZ_CHECK(count == (d.request.kind == kGaugeType1 ? 20 : 75 + 2 * d.request.appraisers), "count %d", count);
  FUZZ_CHECK(written == std::min(count, d.capacity), "wrote %d of %d with capacity %d", written, count, d.capacity);
  std::vector<double> whole(static_cast<size_t>(count) + 1, kUnwritten);
  FUZZ_CHECK(Gauge_WriteResults(result, whole.data(), count) == count, "full write");
  for (int32_t i = 1; i <= written; ++i)
    FUZZ_CHECK(SameBits(figures[i], whole[i]), "element %d is %a, the full figures %a", i, figures[i], whole[i]);
  CheckStudyFigures(d, whole.data());
  CheckPageLayout(d, result);
  return 0;
}
