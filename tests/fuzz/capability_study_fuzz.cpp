// A capability study decoded from the fuzzer's bytes: subgroup size, method
// (any 32-bit slot), limit switches and limits of every class, values of every
// class (often positive and skewed, as a runout, or around a nominal size),
// an options array (target, level, distribution, Box-Cox λ of any value) with
// any element count, and a capacity for the figures.
//
// Properties: a request is refused (0, nothing written) exactly when it is
// outside the contract as read here; an accepted one writes min(capacity, 55)
// figures and nothing past them; every confidence interval whose limits are
// numbers contains its index; every ppm figure lies in 0 .. 10⁶ and the
// below and above parts add up to the total; a fit asked for either was made
// (the distribution asked for, or one of the three for the best fit, with
// finite parameters) or says why not (a negative code, its figures not
// numbers); without a fit the fit's figures are not numbers; the verdicts are
// 0 or 1; figures needing both limits are not numbers with one limit. The
// page of an accepted study is laid out exactly when two values are numbers,
// and its bars, curves, points and lines stay on the page.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "fuzz_support.h"
#include "spc/core/capability_page_layout.h"
#include "spc/core/capability_results.h"
#include "spc/core/capability_study.h"
#include "spc/core/spc_table.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kUnwritten = -7.25e-301;  // in every element the library must not write

void LoadShippedTable() {
  static bool loaded = false;
  if (loaded) return;
  FILE* file = std::fopen(MERIDAN_DATA_DIR "/TESSAN_SPC.TAB", "rb");
  std::vector<char> text;
  char buffer[4096];
  for (size_t got; file && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
    text.insert(text.end(), buffer, buffer + got);
  if (file) std::fclose(file);
  if (text.empty()) {
    std::fprintf(stderr, "cannot read " MERIDAN_DATA_DIR "/TESSAN_SPC.TAB\n");
    std::abort();
  }
  SPC_ParseTable(text.data(), text.size());
  loaded = true;
}

struct Decoded {
  std::vector<double> values;  // element 0 never read
  int32_t count = 0;
  bool valuesArray = true;
  int32_t sampleSize = 1;
  uint32_t norm = 0;
  double nom = 0.0, usl = 0.0, lsl = 0.0;
  uint32_t uslOn = 0, lslOn = 0;
  std::vector<double> options;  // element 0 never read
  int32_t optionCount = 0;
  bool optionArray = true;
  int32_t capacity = 0;
};

// A value of the kind the flags choose: a positive skewed reading, a size around 10, or any double.
double Reading(fuzz::Input& input, uint8_t style) {
  switch (style % 4) {
    case 0: return (1 + input.U16()) * 1e-6 * (1 + input.U8() % 8);  // runout-like, positive
    case 1: return 10.0 + input.I16() * 1e-4;
    case 2: return input.U8() % 16 == 0 ? input.Double() : (1 + input.U16()) * 1e-4;
    default: return input.Double();
  }
}

double OptionValue(fuzz::Input& input, int element) {
  const uint8_t kind = input.U8();
  if (kind < 64) return kNaN;
  if (kind < 200) {
    switch (element) {
      case kCapabilityOptionTarget: return 10.0 + input.I16() * 1e-3;
      case kCapabilityOptionLevel: return 0.5 + input.U16() / 65536.0;
      case kCapabilityOptionDistribution: return input.U8() % 6;
      case kCapabilityOptionBoxCoxLambda: return input.I16() / 6000.0;
      default: break;
    }
  }
  return input.Double();
}

Decoded Decode(fuzz::Input& input) {
  Decoded d;
  const uint8_t flags = input.U8();
  const uint8_t size = input.U8();
  d.sampleSize = size < 240 ? 1 + size % 12 : input.I32();
  d.norm = (flags & 1) ? input.U32() : input.U8() % 4;
  const uint8_t switches = input.U8();
  d.uslOn = (switches & 1) ? input.U32() : (switches >> 1) & 1;
  d.lslOn = (switches & 4) ? input.U32() : (switches >> 3) & 1;
  if (flags & 2) {
    d.nom = input.Double(), d.usl = input.Double(), d.lsl = input.Double();
  } else {
    d.nom = 10.0;
    d.usl = input.U16() * 1e-4 + ((flags & 4) ? 0.0 : 10.0);
    d.lsl = -static_cast<double>(input.U16()) * 1e-4 + ((flags & 4) ? 0.0 : 10.0);
  }
  const uint8_t countKind = input.U8();
  d.count = countKind < 220 ? countKind : (countKind < 250 ? input.U16() % 4096 : input.I32());
  d.valuesArray = (flags & 8) == 0 || d.count <= 0;

  const uint8_t optionKind = input.U8();
  d.optionCount = optionKind < 240 ? optionKind % 6 : input.I32();
  d.optionArray = (optionKind & 0x80) == 0 || optionKind >= 240;
  d.options.assign(6, kNaN);
  for (int e = 1; e <= std::clamp(d.optionCount, 0, 5); ++e) d.options[e] = OptionValue(input, e);

  const uint8_t capacityKind = input.U8();
  d.capacity = capacityKind < 200 ? capacityKind % 60 : (capacityKind < 250 ? input.U16() % 200 : -input.U8());

  // The values: a pattern from the rest of the bytes, repeated up to the count.
  const uint8_t style = input.U8();
  std::vector<double> pattern;
  while (input.Left() > 0 && pattern.size() < 4096) pattern.push_back(Reading(input, style));
  if (pattern.empty()) pattern.push_back(10.0);
  const int32_t values = (d.count >= 0 && d.count <= 65535) ? d.count : 0;
  d.values.assign(static_cast<size_t>(values) + 1, kNaN);
  for (int32_t i = 1; i <= values; ++i) d.values[i] = pattern[(i - 1) % pattern.size()];
  return d;
}

// The contract, read from the arguments here.
bool Acceptable(const Decoded& d) {
  const int16_t norm = static_cast<int16_t>(d.norm & 0xFFFF);
  const bool upper = static_cast<int16_t>(d.uslOn & 0xFFFF) > 0, lower = static_cast<int16_t>(d.lslOn & 0xFFFF) > 0;
  if (d.count < 1 || d.count > 65535 || !d.valuesArray || d.sampleSize < 1 || norm < 0 || norm > 3) return false;
  if (!upper && !lower) return false;
  if ((upper && !std::isfinite(d.usl)) || (lower && !std::isfinite(d.lsl)) || (upper && lower && !(d.lsl < d.usl)))
    return false;
  if (d.optionCount < 0 || (d.optionCount > 0 && !d.optionArray)) return false;
  auto option = [&](int e) { return e <= d.optionCount ? d.options[e] : kNaN; };
  const double target = option(1), level = option(2), distribution = option(3), lambda = option(4);
  if (std::isinf(target)) return false;
  if (!std::isnan(level) && !(level > 0.5 && level < 1)) return false;
  if (!std::isnan(distribution) && !(distribution == 0 || distribution == 1 || distribution == 2 ||
                                     distribution == 3 || distribution == 4))
    return false;
  if (!std::isnan(lambda) && !(lambda >= -5 && lambda <= 5)) return false;
  return d.capacity >= 1;
}

void CheckInterval(const double* f, int index, int lower, int upper) {
  if (std::isnan(f[lower]) || std::isnan(f[upper]) || !std::isfinite(f[index])) return;
  // The interval is made by multiplying or adding around the index: allow its last bits.
  const double slack = 1e-12 * std::fabs(f[index]);
  FUZZ_CHECK(f[lower] <= f[index] + slack && f[index] <= f[upper] + slack, "figure %d = %.17g outside %.17g .. %.17g",
             index, f[index], f[lower], f[upper]);
}

void CheckPartsPerMillion(const double* f, int below) {
  const double b = f[below], a = f[below + 1], total = f[below + 2];
  if (std::isnan(b) && std::isnan(a) && std::isnan(total)) return;
  FUZZ_CHECK(b >= 0 && b <= 1e6 && a >= 0 && a <= 1e6, "ppm %d: %.17g, %.17g", below, b, a);
  FUZZ_CHECK(total == b + a, "ppm %d: %.17g + %.17g is not %.17g", below, b, a, total);
  // Below the LSL and above the USL cannot overlap: at most all, but for a rounding of the two tails.
  FUZZ_CHECK(total <= 1e6 * (1 + 1e-12), "ppm %d total %.17g", below, total);
}

}  // namespace

// On the page; for a study whose values have no finite spread or sum (values
// near the largest double, where the plots' own scaling overflows), within
// the coordinates GDI takes.
bool OnPage(int32_t x, int32_t y, const CapabilityPageLayout& layout, bool finite) {
  if (!finite) return std::abs(x) <= kPixelLimit && std::abs(y) <= kPixelLimit;
  return x >= 0 && y >= 0 && x <= layout.page.pageWidth && y <= layout.page.pageHeight;
}

void CheckPage(const Decoded& d) {
  CapabilityRequest request;
  if (!Capability_ReadRequest(d.values.data(), d.count, d.sampleSize, d.norm, d.nom, d.usl, d.lsl, d.uslOn, d.lslOn,
                              d.options.data(), d.optionCount, &request))
    return;
  CapabilityFigures figures;
  Capability_Compute(request, &figures);
  CapabilityPageLayout layout;
  SPC_SetScale(1.0);
  const bool laid = CapabilityPage_Layout(request, figures, 400, 300, 1.0, &layout);
  FUZZ_CHECK(laid == (figures.nUsed >= 2), "page laid out %d with %d values", laid, figures.nUsed);
  if (!laid) return;
  const bool finite = std::isfinite(figures.mean) && std::isfinite(figures.stdDev);
  for (const HistogramBar& bar : layout.bars)
    FUZZ_CHECK(OnPage(bar.left, bar.top, layout, finite) && OnPage(bar.right, bar.bottom, layout, finite), "bar %d %d %d %d on %.17g .. %.17g, mean %g",
               bar.left, bar.top, bar.right, bar.bottom, layout.histogramValueAxis.scale.min,
               layout.histogramValueAxis.scale.max, figures.mean);
  for (const CapabilityCurve& curve : layout.curves)
    for (const Segment& s : curve.segments)
      FUZZ_CHECK(OnPage(s.x0, s.y0, layout, finite) && OnPage(s.x1, s.y1, layout, finite), "curve %d %d %d %d", s.x0, s.y0, s.x1, s.y1);
  for (const PlotPoint& p : layout.points) FUZZ_CHECK(OnPage(p.x, p.y, layout, finite), "point %d %d", p.x, p.y);
  for (const Segment& s : layout.referenceLine)
    FUZZ_CHECK(OnPage(s.x0, s.y0, layout, finite) && OnPage(s.x1, s.y1, layout, finite), "line %d %d %d %d", s.x0, s.y0, s.x1, s.y1);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LoadShippedTable();
  fuzz::Input input(data, size);
  const Decoded d = Decode(input);
  std::vector<double> results(kCapabilityResultCount + 8 > d.capacity + 2 ? kCapabilityResultCount + 8 : d.capacity + 2,
                              kUnwritten);
  const int32_t written = Capability_Statistics(d.valuesArray ? d.values.data() : nullptr, d.count, d.sampleSize,
                                                d.norm, d.nom, d.usl, d.lsl, d.uslOn, d.lslOn,
                                                d.optionArray ? d.options.data() : nullptr, d.optionCount,
                                                results.data(), d.capacity);
  const bool acceptable = Acceptable(d);
  FUZZ_CHECK(acceptable == (written > 0), "accepted %d, written %d", acceptable, written);
  const int32_t expected = acceptable ? std::min(d.capacity, kCapabilityResultCount) : 0;
  FUZZ_CHECK(written == expected, "written %d, expected %d", written, expected);
  FUZZ_CHECK(results[0] == kUnwritten, "element 0 written");
  for (size_t i = static_cast<size_t>(written) + 1; i < results.size(); ++i)
    FUZZ_CHECK(results[i] == kUnwritten, "element %zu written past %d", i, written);
  if (written < kCapabilityResultCount) return 0;

  const double* f = results.data();
  CheckInterval(f, kCapPp, kCapPpLower, kCapPpUpper);
  CheckInterval(f, kCapPpk, kCapPpkLower, kCapPpkUpper);
  CheckInterval(f, kCapCp, kCapCpLower, kCapCpUpper);
  CheckInterval(f, kCapCpk, kCapCpkLower, kCapCpkUpper);
  CheckInterval(f, kCapCpm, kCapCpmLower, kCapCpmUpper);
  for (int below : {kCapObservedBelow, kCapOverallBelow, kCapWithinBelow, kCapFittedBelow})
    CheckPartsPerMillion(f, below);

  const bool upper = static_cast<int16_t>(d.uslOn & 0xFFFF) > 0, lower = static_cast<int16_t>(d.lslOn & 0xFFFF) > 0;
  if (!(upper && lower))
    for (int figure : {kCapPp, kCapCp, kCapCpm, kCapPpLower, kCapPpUpper, kCapCpLower, kCapCpUpper, kCapCpmLower,
                       kCapCpmUpper, kCapPercentilePp})
      FUZZ_CHECK(std::isnan(f[figure]), "figure %d = %.17g with one limit", figure, f[figure]);

  const double asked = d.optionCount >= 3 && !std::isnan(d.options[3]) ? d.options[3] : 0.0;
  const double used = f[kCapDistribution];
  if (asked == 0) {
    FUZZ_CHECK(used == 0, "distribution %g without a fit asked for", used);
  } else if (asked == 4) {
    FUZZ_CHECK(used == 1 || used == 2 || used == 3 || used == -1 || used == -2 || used == -3, "best fit %g", used);
  } else {
    FUZZ_CHECK(used == asked || used == -1 || used == -2 || used == -3, "asked %g, used %g", asked, used);
  }
  if (used > 0) {
    FUZZ_CHECK(std::isfinite(f[kCapFirstParameter]) && std::isfinite(f[kCapSecondParameter]), "fit %g: %g, %g", used,
               f[kCapFirstParameter], f[kCapSecondParameter]);
    if (used != 3) FUZZ_CHECK(f[kCapSecondParameter] > 0, "fit %g spread %g", used, f[kCapSecondParameter]);
    if (used == 2) FUZZ_CHECK(f[kCapFirstParameter] > 0, "Weibull shape %g", f[kCapFirstParameter]);
    if (used == 3) FUZZ_CHECK(f[kCapFirstParameter] >= -5 && f[kCapFirstParameter] <= 5, "λ %g", f[kCapFirstParameter]);
  } else {
    for (int figure = kCapFirstParameter; figure <= kCapFittedTotal; ++figure)
      FUZZ_CHECK(std::isnan(f[figure]), "figure %d = %.17g without a fit", figure, f[figure]);
  }
  for (int figure : {kCapCapable, kCapCapableAtLowerLimit})
    FUZZ_CHECK(f[figure] == 0 || f[figure] == 1, "verdict %d = %g", figure, f[figure]);
  FUZZ_CHECK(f[kCapN] + f[kCapLeftOut] == d.count, "%g used + %g left out of %d", f[kCapN], f[kCapLeftOut], d.count);
  CheckPage(d);
  return 0;
}
